// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// The editor's command line. The modes that need no window (help, version, checking files,
// reading a help file for the help window) run here, before any window system is touched,
// so that they work without a display.
struct CommandLine
{
    // Set when the program is done: the exit code of a mode that ran without windows, or 2
    // for a command line that could not be understood.
    std::optional<int> exitCode;
    // The description file to open into the form, if one was named.
    QString fileToOpen;

    static CommandLine run(int argc, char *argv[]);

    // Whether the environment names a display to open the window on. A platform chosen by name
    // other than X11 (offscreen, Wayland) is taken at its word.
    static bool displayNamed();
    // What the user reads when no window can be opened.
    static QString noDisplayMessage();
};
