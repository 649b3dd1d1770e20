// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "secondarywindow.h"

#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWindow>

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
            QTimer::singleShot(0, this, [this] {
                if (m_locked && isVisible()) {
                    raise();
                    activateWindow();
                }
            });
    });
}

void SecondaryWindow::releaseOwner()
{
    if (!m_locked || !m_owner)
        return;
    m_locked = false;
    disconnect(m_handBack);
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
