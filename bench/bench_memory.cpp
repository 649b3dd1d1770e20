// Peak resident memory of the editor at start-up, holding a 10 MiB document, and with the
// preview of it open. Peak memory only grows, so each state is measured in a process of its own:
// run without arguments, the program starts itself once per state and prints both.
#include "benchsupport.h"
#include "windowsupport.h"

#include "generator.h"
#include "mainwindow.h"
#include "savepreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
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

enum class State { StartUp, Document, Previewed };

// For comparison: the generated text of the same document put into a bare text box.
int measureBareTextBox(int argc, char **argv)
{
    QApplication app(argc, argv);
    QString text;
    {
        EditorDocument document;
        bench::fillCodeBoxes(document, bench::LargeText);
        text = generate(document).text;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QPlainTextEdit edit;
    edit.resize(600, 400);
    bench::showAndPaint(&edit);
    const long before = peakResidentKiB();
    edit.setPlainText(text);
    QCoreApplication::processEvents();
    std::printf("%ld\n", peakResidentKiB() - before);
    return 0;
}

int measure(int argc, char **argv, State state)
{
    QApplication app(argc, argv);
    Main main;
    bench::showAndPaint(&main);
    if (state != State::StartUp) {
        bench::switchSectionsOn(main.document());
        bench::fillCodeBoxes(main.document(), bench::LargeText);
        QCoreApplication::processEvents();
    }
    if (state == State::Previewed) {
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
        return measure(argc, argv, State::StartUp);
    if (argc > 1 && qstrcmp(argv[1], "document") == 0)
        return measure(argc, argv, State::Document);
    if (argc > 1 && qstrcmp(argv[1], "previewed") == 0)
        return measure(argc, argv, State::Previewed);
    if (argc > 1 && qstrcmp(argv[1], "textbox") == 0)
        return measureBareTextBox(argc, argv);

    QCoreApplication app(argc, argv);
    const long startup = runChild(QStringLiteral("startup"));
    const long document = runChild(QStringLiteral("document"));
    const long loaded = runChild(QStringLiteral("previewed"));
    const long textBox = runChild(QStringLiteral("textbox"));
    if (startup <= 0 || document <= 0 || loaded <= 0 || textBox <= 0) {
        std::fprintf(stderr, "bench_memory: a measuring run failed\n");
        return 1;
    }
    std::printf("%-10s %8.1f MiB at start-up, %.1f MiB with the 10 MiB document in the boxes, "
                "%.1f MiB with the preview open as well (%.1fx start-up)\n",
                "memory", startup / 1024.0, document / 1024.0, loaded / 1024.0,
                double(loaded) / startup);
    std::printf("%-10s %8.1f MiB more peak memory for setPlainText() of the generated text in a "
                "bare text box\n",
                "(textbox)", textBox / 1024.0);
    return 0;
}
