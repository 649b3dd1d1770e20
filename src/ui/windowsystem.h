// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QtGlobal>

#include <optional>

// What the window system itself holds about a window, asked of it directly (the X server on
// X11). The toolkit's own figures hold the last request as well as the last answer, and so may
// show a place the window has not reached. Elsewhere there is nothing to ask.
namespace WindowSystem {

// Where the window stands on the screen now, in the window system's pixels, without its frame.
std::optional<QRect> heldGeometry(quintptr window);

} // namespace WindowSystem
