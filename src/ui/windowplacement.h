#pragma once

class QWidget;

// Where the program's secondary windows appear. They have no QWidget parent, because a child
// window is disabled together with the main window that they lock; these helpers give them
// the placement a child would have had.
namespace WindowPlacement {

// Centres `window` on the screen of `reference` (or on the primary screen).
void centreOnScreen(QWidget *window, const QWidget *reference);

// Keeps `window` above `owner`'s window (transient for it), so that a window that locks the
// main window can never hide behind it.
void keepAbove(QWidget *window, const QWidget *owner);

} // namespace WindowPlacement
