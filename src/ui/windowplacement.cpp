#include "windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace WindowPlacement {

namespace {

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QRect availableArea(const QWidget *window, const QWidget *reference)
{
    QScreen *screen = reference ? reference->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void place(QWidget *window, const QWidget *reference, const QRect &area, QMargins margins)
{
    const QRect available = availableArea(window, reference);
    if (available.isEmpty())
        return;
    QRect frame(QPoint(), window->size().grownBy(margins));
    frame.moveCenter((area.isNull() ? available : area).center());
    // Title bar and menus first: a window larger than the screen hangs off its bottom right.
    frame.moveLeft(qMax(available.left(), qMin(frame.left(), available.right() - frame.width())));
    frame.moveTop(qMax(available.top(), qMin(frame.top(), available.bottom() - frame.height())));
    window->move(frame.topLeft()); // move() places the frame's top-left corner
}

// Centres the window again once the window manager has put its frame around it, which
// happens some time after it is shown and is not always announced by a move. Gives up after
// three seconds (a busy machine may take that long), so that a window the user has moved since
// stays where it is.
class Recentre : public QObject
{
public:
    Recentre(QWidget *window, const QWidget *reference, const QRect &area)
        : QObject(window), m_window(window), m_reference(reference), m_area(area)
    {
        connect(&m_timer, &QTimer::timeout, this, &Recentre::check);
        m_timer.start(20);
    }

private:
    void check()
    {
        if (++m_checks > 150) {
            deleteLater();
            return;
        }
        if (!m_window->isVisible())
            return;
        const QMargins margins = frameMargins(m_window);
        if (margins.isNull())
            return;
        place(m_window, m_reference, m_area, margins);
        m_timer.stop();
        deleteLater();
    }

    QWidget *m_window;
    QPointer<const QWidget> m_reference;
    QRect m_area;
    QTimer m_timer;
    int m_checks = 0;
};

} // namespace

void centre(QWidget *window, const QWidget *reference, const QRect &area)
{
    const QMargins own = frameMargins(window);
    const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
    const bool framed = frameless || (window->isVisible() && !own.isNull());
    place(window, reference, area, framed || !reference ? own : frameMargins(reference));
    if (!framed)
        new Recentre(window, reference, area);
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
