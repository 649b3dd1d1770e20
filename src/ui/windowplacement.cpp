#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WindowPlacement {

void centreOnScreen(QWidget *window, const QWidget *reference)
{
    QScreen *screen = reference ? reference->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
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
