// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "commandline.h"
#include "mainwindow.h"
#include "runsettings.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// The toolkit ends the process with an abort when it cannot reach a display. While the
// application is made, its messages are held back: if it fails, the user reads one sentence
// and the exit code is 1; if it succeeds, they are passed on as they came.
struct StartMessages
{
    struct Held
    {
        QtMsgType type;
        QByteArray category;
        QString text;
    };
    static inline QtMessageHandler previous = nullptr;
    static inline QList<Held> held;

    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtFatalMsg) {
            std::fputs(qPrintable(CommandLine::noDisplayMessage() + u'\n'), stderr);
            std::fflush(stderr);
            std::_Exit(1);
        }
        held.append({type, QByteArray(context.category), text});
    }
    static void start() { previous = qInstallMessageHandler(&handler); }
    static void finish()
    {
        qInstallMessageHandler(previous);
        for (const Held &message : std::exchange(held, {})) {
            const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
            previous(message.type, context, message.text);
        }
    }
};

// SIGTERM and SIGHUP (a logout, a closed terminal, `kill`) end the event loop as closing the
// window does, so that the run's settings folder and the rest are cleaned up on the way out.
// A handler may do next to nothing, so it only writes a byte into a pipe that the event loop
// watches.
struct EndOnSignals
{
    static inline int pipe[2] = {-1, -1};
    static inline bool received = false;

    static void handler(int)
    {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(pipe[1], &byte, 1);
        errno = saved;
    }
    static void install(QObject *owner)
    {
        if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        auto *notifier = new QSocketNotifier(pipe[0], QSocketNotifier::Read, owner);
        QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
            char byte = 0;
            while (::read(pipe[0], &byte, 1) > 0) {
            }
            received = true;
            // Every running loop ends, a modal dialog's too.
            QCoreApplication::exit(0);
        });
        struct sigaction action
        {
        };
        action.sa_handler = &handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGTERM, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("merrow-editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MERROW_VERSION));
    const CommandLine commandLine = CommandLine::run(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode;
    if (!CommandLine::displayNamed()) {
        std::fputs(qPrintable(CommandLine::noDisplayMessage() + u'\n'), stderr);
        return 1;
    }

    StartMessages::start();
    QApplication app(argc, argv);
    StartMessages::finish();
    // Before the settings folder exists, so that no signal can leave it behind.
    EndOnSignals::install(&app);
    // Only once the display was reached: a run that cannot start leaves no folder behind.
    RunSettings::keepWithinRun();
    // Ties the windows to the installed desktop entry, for the task bar's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.merroweditor.MerrowEditor"));
    Q_INIT_RESOURCE(merrow);
    Main window;
    // Windows without an owner (message boxes, the Save As dialog) show the icon the form
    // already decoded, instead of decoding the file a second time.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    if (!commandLine.fileToOpen.isEmpty())
        window.openFile(commandLine.fileToOpen);
    // A signal taken while the file was opened has ended that loop, not this one yet.
    if (EndOnSignals::received)
        return 0;
    return app.exec();
}
