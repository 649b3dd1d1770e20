// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// The window the window manager calls active (_NET_ACTIVE_WINDOW on X11). Elsewhere, and
// without an X server, there is none to ask.
namespace ActiveWindow {

// The atom whose change on the root window announces a new active window; 0 when there is none.
quint32 announcingAtom();
// The window the window manager holds active now, or 0 for none (or when it cannot be asked).
quintptr current();

} // namespace ActiveWindow
