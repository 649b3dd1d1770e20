#include "commandline.h"
#include "mainwindow.h"
#include "runsettings.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("merrow-editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MERROW_VERSION));
    const CommandLine commandLine = CommandLine::run(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    RunSettings::keepWithinRun();
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry, for the task bar's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.merroweditor.MerrowEditor"));
    Q_INIT_RESOURCE(merrow);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    Main window;
    window.show();
    if (!commandLine.fileToOpen.isEmpty())
        window.openFile(commandLine.fileToOpen);
    return app.exec();
}
