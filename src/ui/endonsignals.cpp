// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "endonsignals.h"

#include <QCoreApplication>

#ifndef Q_OS_WIN
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace EndOnSignals {

namespace {

bool ended = false;

#ifndef Q_OS_WIN
// A handler may do next to nothing, so it only writes a byte into a pipe that the event loop
// watches.
int pipeEnds[2] = {-1, -1};

void handler(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
#endif

} // namespace

bool received()
{
    return ended;
}

void install(QObject *owner)
{
#ifdef Q_OS_WIN
    // Windows sends a program without a console no signals: a logout or shutdown arrives as
    // the session's end, which the toolkit answers by ending the event loop itself.
    Q_UNUSED(owner);
#else
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte = 0;
        while (::read(pipeEnds[0], &byte, 1) > 0) {
        }
        ended = true;
        // Every running loop ends, a modal dialog's too.
        QCoreApplication::exit(0);
    });
    struct sigaction action
    {
    };
    action.sa_handler = &handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
#endif
}

} // namespace EndOnSignals
