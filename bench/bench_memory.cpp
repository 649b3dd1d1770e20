// Peak resident memory of the editor at start-up and holding a 10 MiB document with the
// preview open. Peak memory only grows, so each state is measured in a process of its own:
// run without arguments, the program starts itself once per state and prints both.
#include "benchsupport.h"
#include "windowsupport.h"

#include "mainwindow.h"
#include "savepreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace {

// The peak resident set of this process so far, in KiB.
long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int measure(int argc, char **argv, bool loaded)
{
    QApplication app(argc, argv);
    Main main;
    bench::showAndPaint(&main);
    if (loaded) {
        bench::switchSectionsOn(main.document());
        bench::fillCodeBoxes(main.document(), bench::LargeText);
        main.mnuCreate()->trigger();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<savePreview *>(w))
                bench::showAndPaint(w);
        }
    }
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

long runChild(const QString &mode)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {mode});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    if (argc > 1 && qstrcmp(argv[1], "startup") == 0)
        return measure(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "loaded") == 0)
        return measure(argc, argv, true);

    QCoreApplication app(argc, argv);
    const long startup = runChild(QStringLiteral("startup"));
    const long loaded = runChild(QStringLiteral("loaded"));
    if (startup <= 0 || loaded <= 0) {
        std::fprintf(stderr, "bench_memory: a measuring run failed\n");
        return 1;
    }
    std::printf("%-10s %11.1f MiB (start-up) %8.1f MiB (10 MiB document, preview open) "
                "%7.2fx\n",
                "memory", startup / 1024.0, loaded / 1024.0, double(loaded) / startup);
    return 0;
}
