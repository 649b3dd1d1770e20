// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "locklamps.h"

#include <QGuiApplication>

#ifdef MERROW_HAVE_XKB
// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt's names; keep them in this file.
#include <X11/XKBlib.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

struct LockLamps::Connection
{
#ifdef MERROW_HAVE_XKB
    Display *display = nullptr;
    bool ownsDisplay = false;
    unsigned numMask = 0;
    unsigned capsMask = 0;
#endif
};

LockLamps::~LockLamps()
{
#ifdef MERROW_HAVE_XKB
    if (m_connection && m_connection->ownsDisplay)
        XCloseDisplay(m_connection->display);
#endif
}

std::unique_ptr<LockLamps> LockLamps::open()
{
#if defined(Q_OS_WIN)
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return nullptr;
    return std::unique_ptr<LockLamps>(new LockLamps);
#elif defined(MERROW_HAVE_XKB)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto connection = std::make_unique<Connection>();
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        connection->display = x11->display();
    if (!connection->display) {
        connection->display = XOpenDisplay(nullptr);
        connection->ownsDisplay = connection->display != nullptr;
    }
    if (!connection->display)
        return nullptr;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(connection->display, &opcode, &event, &error, &major, &minor)) {
        if (connection->ownsDisplay)
            XCloseDisplay(connection->display);
        return nullptr;
    }
    // Lamp numbers depend on the keymap; look them up by name, falling back to the usual
    // order (Caps Lock first, Num Lock second).
    auto lampMask = [&](const char *name, unsigned fallback) {
        int index = -1;
        Atom atom = XInternAtom(connection->display, name, False);
        if (atom != 0 &&
            XkbGetNamedIndicator(connection->display, atom, &index, nullptr, nullptr, nullptr) &&
            index >= 0 && index < 32)
            return 1u << index;
        return fallback;
    };
    connection->capsMask = lampMask("Caps Lock", 1u << 0);
    connection->numMask = lampMask("Num Lock", 1u << 1);
    std::unique_ptr<LockLamps> state(new LockLamps);
    state->m_connection = std::move(connection);
    return state;
#else
    return nullptr;
#endif
}

LockLamps::Lamps LockLamps::read() const
{
    Lamps lamps;
#if defined(Q_OS_WIN)
    // The low bit tells whether the key is toggled on.
    lamps.numLock = (::GetKeyState(VK_NUMLOCK) & 1) != 0;
    lamps.capsLock = (::GetKeyState(VK_CAPITAL) & 1) != 0;
#elif defined(MERROW_HAVE_XKB)
    unsigned state = 0;
    if (XkbGetIndicatorState(m_connection->display, XkbUseCoreKbd, &state) == Success) {
        lamps.numLock = (state & m_connection->numMask) != 0;
        lamps.capsLock = (state & m_connection->capsMask) != 0;
    }
#endif
    return lamps;
}
