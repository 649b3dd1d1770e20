// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

// The Num Lock and Caps Lock lamps as the system reports them: the X server's keyboard
// extension, or the keyboard state of Windows.
class LockLamps
{
public:
    // nullptr where the lamps cannot be read (another platform, an X server without XKB).
    static std::unique_ptr<LockLamps> open();
    ~LockLamps();

    struct Lamps
    {
        bool numLock = false;
        bool capsLock = false;
    };
    Lamps read() const;

private:
    LockLamps() = default;
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};
