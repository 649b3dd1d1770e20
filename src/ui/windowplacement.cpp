// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowplacement.h"

#include "windowsystem.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <utility>

#if __has_include(<xcb/xproto.h>)
#include <xcb/xproto.h>
#define MERROW_HAVE_XCB_EVENTS
#endif

namespace WindowPlacement {

namespace {

// The window system's own figure. QWidget::frameGeometry() keeps the margins of the last move
// or resize, which may have come before the window manager framed the window, and would then
// stay empty or wrong until the next one.
//
// Null while the frame is not known. Before the window manager has announced its frame
// (_NET_FRAME_EXTENTS), the toolkit works the margins out from the window the manager wrapped
// around this one; openbox makes that window 1 × 1 first and sizes it later, which gives
// margins such as (0, 0, -676, -606): a frame smaller than the window is no frame yet.
QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    const QMargins margins = handle ? handle->frameMargins() : QMargins();
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0)
        return {};
    return margins;
}

QRect availableArea(const QWidget *window, const QWidget *reference)
{
    QScreen *screen = reference ? reference->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Where the window itself goes, at `size`, so that its frame, with `margins`, is centred on
// `area`.
QRect placement(const QWidget *window, const QWidget *reference, const QRect &area,
                const QSize &size, QMargins margins)
{
    const QRect available = availableArea(window, reference);
    if (available.isEmpty())
        return QRect(window->pos(), size);
    QRect frame(QPoint(), size.grownBy(margins));
    frame.moveCenter((area.isNull() ? available : area).center());
    // Title bar and menus first: a window larger than the screen hangs off its bottom right.
    frame.moveLeft(qMax(available.left(), qMin(frame.left(), available.right() - frame.width())));
    frame.moveTop(qMax(available.top(), qMin(frame.top(), available.bottom() - frame.height())));
    // The window itself is placed inside the frame, so that the result does not depend on a
    // frame size the toolkit may not have caught up with.
    return QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), size);
}

// Asks for `wanted` unless the window is there already; returns whether it asked. A shown window
// is compared with, and moved and resized through, its native window, in one request: the
// widget holds what was last asked for, the native window what the window system last
// reported. Resizing the widget alone would send the new size with the position the native
// window last heard of, which may be one already asked to leave: on a busy machine openbox
// granted such a request and put a window's title bar off the top of the screen.
bool moveTo(QWidget *window, const QRect &wanted)
{
    QWindow *handle = window->windowHandle();
    if (handle && window->isVisible()) {
        if (handle->geometry() == wanted)
            return false;
        handle->setGeometry(wanted);
        return true;
    }
    if (window->geometry() == wanted)
        return false;
    window->setGeometry(wanted);
    return true;
}

// Whether the window system has the window at `wanted`, as far as it can be asked.
bool standsAt(const QWidget *window, const QRect &wanted)
{
    const std::optional<QRect> held = WindowSystem::heldGeometry(window->internalWinId());
    if (!held)
        return true;
    const qreal ratio = window->devicePixelRatio();
    return *held == QRect((QPointF(wanted.topLeft()) * ratio).toPoint(),
                          (QSizeF(wanted.size()) * ratio).toSize());
}

// Returns where the window belongs, and whether it had to be asked to go there.
std::pair<QRect, bool> place(QWidget *window, const QWidget *reference, const QRect &area,
                             QMargins margins)
{
    QSize size = window->size();
    // A window that can be resized is made to fit the screen once its own frame is known (a
    // resizable one may have a border its owner lacks).
    if (window->minimumSize() != window->maximumSize()) {
        const QRect available = availableArea(window, reference);
        if (!available.isEmpty())
            size = size.boundedTo(available.size().shrunkBy(margins))
                       .expandedTo(window->minimumSize());
    }
    const QRect wanted = placement(window, reference, area, size, margins);
    return {wanted, moveTo(window, wanted)};
}

// Centres the window again once the window manager has put its frame around it. That happens
// some time after the window is shown, and the frame's size arrives as a property of the
// window, before or after the window is exposed, moved or activated, and without an event of
// the toolkit's own; so each of these is a moment to look whether the frame is known yet.
// Until the window has the input, a window manager may still move it or change its frame
// (on a busy machine its answers come late and in any order): each such change puts it back.
// Once it has the input in its place, it has settled, and a move is the user's.
class FrameWatch : public QObject, public QAbstractNativeEventFilter
{
public:
    FrameWatch(QWidget *window, const QWidget *reference, const QRect &area)
        : QObject(window), m_window(window), m_reference(reference), m_area(area)
    {
        window->installEventFilter(this);
        if (QWindow *handle = window->windowHandle())
            handle->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FrameWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            // The window's own handle exists once it is shown, if not before.
            if (watched == m_window && m_window->windowHandle())
                m_window->windowHandle()->installEventFilter(this);
            look();
            break;
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            look();
            break;
        default:
            break;
        }
        return false;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
#ifdef MERROW_HAVE_XCB_EVENTS
        if (eventType != "xcb_generic_event_t")
            return false;
        // A property (the frame's size) or the place changed: the window system's answers to a
        // request come as these, also when the toolkit sees no change in them.
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const auto type = event->response_type & 0x7f;
        const WId id = m_window->internalWinId();
        if ((type == XCB_PROPERTY_NOTIFY &&
             reinterpret_cast<const xcb_property_notify_event_t *>(event)->window == id) ||
            (type == XCB_CONFIGURE_NOTIFY &&
             reinterpret_cast<const xcb_configure_notify_event_t *>(event)->window == id))
            look();
#else
        Q_UNUSED(eventType);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    // Looks once the event at hand has been handled: the toolkit reads the frame's size anew
    // only after it has seen the property change.
    void look()
    {
        if (m_looking)
            return;
        m_looking = true;
        QMetaObject::invokeMethod(this, &FrameWatch::check, Qt::QueuedConnection);
    }

    void check()
    {
        m_looking = false;
        if (!m_window->isVisible())
            return;
        const QMargins margins = frameMargins(m_window);
        // A frameless window has no margins to wait for; it is still put back until settled.
        if (margins.isNull() && !m_window->windowFlags().testFlag(Qt::FramelessWindowHint))
            return;
        // Settled once it has the input where the window system, not only the toolkit, has it
        // in its place: a request still unanswered may yet be refused or changed.
        const auto [wanted, asked] = place(m_window, m_reference, m_area, margins);
        if (asked) {
            // A window manager that keeps moving it elsewhere has the last word.
            if (++m_requests < MaxRequests)
                return;
        } else if (!m_window->isActiveWindow() || !standsAt(m_window, wanted)) {
            return;
        }
        // Settled: a window the user moves afterwards stays where it is put.
        QCoreApplication::instance()->removeNativeEventFilter(this);
        m_window->removeEventFilter(this);
        if (QWindow *handle = m_window->windowHandle())
            handle->removeEventFilter(this);
        deleteLater();
    }

    QWidget *m_window;
    QPointer<const QWidget> m_reference;
    QRect m_area;
    bool m_looking = false;
    static constexpr int MaxRequests = 12;
    int m_requests = 0;
};

} // namespace

QSize fitOnScreen(const QWidget *window, const QWidget *reference, const QSize &wanted)
{
    const QRect available = availableArea(window, reference);
    if (available.isEmpty())
        return wanted;
    QMargins margins = frameMargins(window);
    if (margins.isNull() && reference)
        margins = frameMargins(reference->window());
    return wanted.boundedTo(available.size().shrunkBy(margins));
}

QRect frameGeometry(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameGeometry() : window->frameGeometry();
}

void centre(QWidget *window, const QWidget *reference, const QRect &area)
{
    const QMargins own = frameMargins(window);
    const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
    const bool framed = frameless || (window->isVisible() && !own.isNull());
    place(window, reference, area, framed || !reference ? own : frameMargins(reference));
    if (!framed || frameless)
        new FrameWatch(window, reference, area);
}

void keepAbove(QWidget *window, const QWidget *owner)
{
    if (!owner)
        return;
    window->winId(); // creates the native window whose transient parent is set
    if (QWindow *ownerWindow = owner->window()->windowHandle())
        window->windowHandle()->setTransientParent(ownerWindow);
}

} // namespace WindowPlacement
