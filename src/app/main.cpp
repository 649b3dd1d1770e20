// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "commandline.h"
#include "endonsignals.h"
#include "helpcontent.h"
#include "mainwindow.h"
#include "runsettings.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QList>

#include <cstdio>
#include <cstdlib>
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

} // namespace

int main(int argc, char *argv[])
{
    // The help window reads help files with this program, started again as their reader.
    if (const std::optional<int> code = HelpContent::serveIfAsked(argc, argv))
        return *code;
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
    if (EndOnSignals::received())
        return 0;
    return app.exec();
}
