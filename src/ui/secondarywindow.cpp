// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "secondarywindow.h"

#include "activewindow.h"
#include "windowplacement.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

#include <functional>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#endif

// Calls back when a mouse button is released over the owner's window, as the X server reports
// it, and when the window manager makes a window other than `window` the active one (or none).
class SecondaryWindow::OwnerClicks : public QAbstractNativeEventFilter
{
public:
    OwnerClicks(QWidget *owner, QWidget *window, std::function<void()> clicked)
        : m_owner(owner->winId()), m_window(window->winId()),
          m_activeAtom(ActiveWindow::announcingAtom()), m_clicked(std::move(clicked))
    {
        qApp->installNativeEventFilter(this);
    }
    ~OwnerClicks() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
#if __has_include(<xcb/xcb.h>)
        if (type == "xcb_generic_event_t") {
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            const int kind = event->response_type & 0x7f;
            if (kind == XCB_BUTTON_RELEASE &&
                static_cast<const xcb_button_release_event_t *>(message)->event == m_owner) {
                m_handingBack = true;
                m_clicked();
            }
            // Under load openbox can end a click on the locked owner with no window active (or
            // the owner), although the program gave the input to this window: until the window
            // manager has made this window active, it is asked for again. Another program made
            // active is the user's choice and left alone.
            if (kind == XCB_PROPERTY_NOTIFY && m_handingBack && m_activeAtom != 0 &&
                static_cast<const xcb_property_notify_event_t *>(message)->atom == m_activeAtom) {
                const quintptr active = ActiveWindow::current();
                if (active == m_window)
                    m_handingBack = false;
                else if (active == 0 || active == m_owner)
                    m_clicked();
                else
                    m_handingBack = false;
            }
        }
#else
        Q_UNUSED(type);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    WId m_owner;
    WId m_window;
    quint32 m_activeAtom;
    // A click on the owner was handed back and the window manager has not said it agrees yet.
    bool m_handingBack = false;
    std::function<void()> m_clicked;
};

SecondaryWindow::SecondaryWindow(QWidget *owner, Qt::WindowFlags flags, Locking locking,
                                 Placement placement)
    : QWidget(nullptr, flags), m_owner(owner), m_locking(locking), m_placement(placement)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window must still end the program while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (owner) {
        setWindowIcon(owner->windowIcon());
        // A window outliving its owner would have no one to hand the input back to.
        connect(owner, &QObject::destroyed, this, &QObject::deleteLater);
    }
    if (locking == Locking::LocksOwner)
        setWindowModality(Qt::WindowModal);
}

SecondaryWindow::~SecondaryWindow()
{
    // Destroyed without a close (the program shutting down): still hand the owner back.
    releaseOwner();
}

void SecondaryWindow::setLockedControls(const QList<QWidget *> &controls)
{
    m_lockedControls.clear();
    for (QWidget *control : controls)
        m_lockedControls.append(control);
}

void SecondaryWindow::open()
{
    WindowPlacement::keepAbove(this, m_owner);
    const bool onOwner = m_placement == Placement::OwnerCentre && m_owner;
    WindowPlacement::centre(this, m_owner,
                            onOwner ? WindowPlacement::frameGeometry(m_owner) : QRect());
    show();
    raise();
    activateWindow();
}

void SecondaryWindow::showEvent(QShowEvent *event)
{
    lockOwner();
    QWidget::showEvent(event);
}

void SecondaryWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    if (m_enterAppliesNothing &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SecondaryWindow::closeEvent(QCloseEvent *event)
{
    const bool hadInput = isActiveWindow();
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    releaseOwner();
    // A window that leaves its owner free hands the input back too when it had it, so that
    // the keys typed next reach the main window rather than no window.
    if (hadInput && m_owner && m_locking == Locking::LeavesOwnerFree && m_owner->isVisible())
        m_owner->activateWindow();
}

void SecondaryWindow::lockOwner()
{
    if (m_locked || !m_owner || m_locking != Locking::LocksOwner)
        return;
    m_locked = true;
    QWidget *focus = QApplication::focusWidget();
    m_ownerFocus = focus && focus->window() == m_owner->window() ? focus : m_owner->focusWidget();
    m_owner->setEnabled(false);
    for (QWidget *control : std::as_const(m_lockedControls)) {
        if (control)
            control->setEnabled(false);
    }
    // A window manager may give the input to the locked owner when it is clicked, although
    // this window is modal to it; the input is handed straight back, as to a modal dialog.
    m_handBack = connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *now) {
        if (m_locked && m_owner && now && now == m_owner->window()->windowHandle())
            handBackLater();
    });
    // The owner may get the input before the click that gave it reaches the program; a hand-back
    // asked for then carries an older time than that click, and a window manager that prevents
    // focus stealing refuses it. Asked again once the click has arrived, it carries the click's
    // time and is granted. The toolkit drops clicks on a window behind a modal one before any
    // event filter sees them, so they are watched for as the window system sends them.
    m_ownerClicks =
        std::make_unique<OwnerClicks>(m_owner->window(), this, [this] { handBackLater(); });
}

void SecondaryWindow::handBackLater()
{
    QTimer::singleShot(0, this, [this] {
        if (m_locked && isVisible()) {
            raise();
            activateWindow();
        }
    });
}

void SecondaryWindow::releaseOwner()
{
    if (!m_locked || !m_owner)
        return;
    m_locked = false;
    disconnect(m_handBack);
    m_ownerClicks.reset();
    m_owner->setEnabled(true);
    for (QWidget *control : std::as_const(m_lockedControls)) {
        if (control)
            control->setEnabled(true);
    }
    m_owner->activateWindow();
    if (m_ownerFocus && m_ownerFocus->isEnabled() && m_ownerFocus->isVisible())
        m_ownerFocus->setFocus(Qt::ActiveWindowFocusReason);
    else
        m_owner->setFocus(Qt::ActiveWindowFocusReason);
}
