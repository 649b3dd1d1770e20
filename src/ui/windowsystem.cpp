// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowsystem.h"

#include <QGuiApplication>

#ifdef MERROW_HAVE_XKB
// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt's names; keep them in this file.
#include <X11/Xlib.h>
#endif

namespace WindowSystem {

std::optional<QRect> heldGeometry(quintptr window)
{
#ifdef MERROW_HAVE_XKB
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *d = x11 ? x11->display() : nullptr;
    if (!d)
        return std::nullopt;
    ::Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, ::Window(window), &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(d, ::Window(window), root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return QRect(x, y, int(width), int(height));
#else
    Q_UNUSED(window);
    return std::nullopt;
#endif
}

} // namespace WindowSystem
