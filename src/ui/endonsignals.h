// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QObject;

// The requests to end the program that come from outside its windows (a logout, a closed
// terminal, Ctrl+C, `kill`) end the event loop as closing the window does, so that the run's
// settings folder and the rest are cleaned up on the way out.
namespace EndOnSignals {

// Call once the application exists; `owner` keeps what watches for the signals.
void install(QObject *owner);
// Whether such a request has ended an event loop.
bool received();

} // namespace EndOnSignals
