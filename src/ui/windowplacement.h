// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QRect;
class QSize;
class QWidget;

// Where the program's windows appear. Secondary windows have no QWidget parent, because a
// child window is disabled together with the main window that they lock; these helpers give
// them the placement and ownership a child would have had.
namespace WindowPlacement {

// Moves `window` so that its frame, title bar included, is centred on `area` (on the
// available area of `reference`'s screen when `area` is null), keeping its top-left corner
// on that screen so that a window larger than a small screen can still be reached. Until
// the window manager has framed the window, its frame is estimated from `reference`'s; the
// window is centred once more when the window manager has framed it, whatever order the
// window system's events come in.
void centre(QWidget *window, const QWidget *reference, const QRect &area);

// The largest part of `wanted` that, with its frame (estimated from `reference`'s until the
// window has one), fits on the available area of `reference`'s screen.
QSize fitOnScreen(const QWidget *window, const QWidget *reference, const QSize &wanted);

// The frame of `window` as the window system has it now, title bar included.
QRect frameGeometry(const QWidget *window);

// Keeps `window` above `owner`'s window: transient for it, as the window system sees it too.
void keepAbove(QWidget *window, const QWidget *owner);

} // namespace WindowPlacement
