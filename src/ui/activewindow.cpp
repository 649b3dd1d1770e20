// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "activewindow.h"

#include <QGuiApplication>

#ifdef MERROW_HAVE_XKB
// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt's names; keep them in this file.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace ActiveWindow {

#ifdef MERROW_HAVE_XKB
namespace {

Display *display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

} // namespace

quint32 announcingAtom()
{
    Display *d = display();
    return d ? quint32(XInternAtom(d, "_NET_ACTIVE_WINDOW", False)) : 0;
}

quintptr current()
{
    Display *d = display();
    if (!d)
        return 0;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    quintptr window = 0;
    if (XGetWindowProperty(d, DefaultRootWindow(d), Atom(announcingAtom()), 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        data && count == 1)
        window = quintptr(*reinterpret_cast<Window *>(data));
    if (data)
        XFree(data);
    return window;
}
#else
quint32 announcingAtom()
{
    return 0;
}

quintptr current()
{
    return 0;
}
#endif

} // namespace ActiveWindow
