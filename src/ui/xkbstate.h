// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

// The Num Lock and Caps Lock lamps as the X server's keyboard extension reports them.
class XkbState
{
public:
    // nullptr when the application does not run on X11 or the server has no XKB.
    static std::unique_ptr<XkbState> open();
    ~XkbState();

    struct Lamps
    {
        bool numLock = false;
        bool capsLock = false;
    };
    Lamps read() const;

private:
    XkbState() = default;
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};
