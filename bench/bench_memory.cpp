// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Peak resident memory of the editor at start-up, holding a 10 MiB document, and with the
// preview of it open. Peak memory only grows, so each state is measured in a process of its own:
// run without arguments, the program starts itself once per state and prints both.
#include "benchsupport.h"
#include "windowsupport.h"

#include "generator.h"
#include "mainwindow.h"
#include "previewcheck.h"
#include "savepreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>

#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// For comparison: `text` put into a bare shown text box; prints how much the peak grew.
int measureTextBox(int argc, char **argv, QString (*makeText)())
{
    QApplication app(argc, argv);
    QString text = makeText();
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

void closeOthers(QWidget *main)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != main && w->isVisible())
            w->close();
    }
    bench::settle();
}

// The realistic 10 MiB file opened into the shown main window, and with `preview` its preview
// opened after that: prints how much the peak grew with that step alone.
int measureOpened(int argc, char **argv, bool preview)
{
    QApplication app(argc, argv);
    const QString &path = bench::realisticFilePath();
    Main main;
    bench::showAndPaint(&main);
    long before = peakResidentKiB();
    if (!main.openFile(path))
        return 1;
    bench::showAndPaint(&main);
    closeOthers(&main);
    if (preview) {
        before = peakResidentKiB();
        main.mnuCreate()->trigger();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *shown = qobject_cast<savePreview *>(w)) {
                bench::showAndPaint(shown);
                // The check's tree is part of what the preview costs.
                while (shown->check()->isChecking())
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
        }
    }
    std::printf("%ld\n", peakResidentKiB() - before);
    return 0;
}

// The peak of `merrow-editor --check path`, the program as a user runs it, from the kernel's
// account of the finished child (its output goes to /dev/null).
long checkPeak(const QString &path)
{
    const QByteArray program =
        QFile::encodeName(QDir(QCoreApplication::applicationDirPath())
                              .absoluteFilePath(QStringLiteral("../src/app/merrow-editor")));
    const QByteArray file = QFile::encodeName(path);
    char check[] = "--check";
    char *const arguments[] = {const_cast<char *>(program.constData()), check,
                               const_cast<char *>(file.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    struct rusage usage = {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1; // 1 is a file with errors, which is still a finished check
    return usage.ru_maxrss;
}

QString generatedText()
{
    EditorDocument document;
    bench::fillCodeBoxes(document, bench::LargeText);
    return generate(document).text;
}

QString realisticText()
{
    return bench::realisticFileText();
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

long runChild(const QString &mode, const QStringList &arguments = {})
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{mode} + arguments);
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
        return measureTextBox(argc, argv, generatedText);
    if (argc > 1 && qstrcmp(argv[1], "textbox-realistic") == 0)
        return measureTextBox(argc, argv, realisticText);
    if (argc > 1 && qstrcmp(argv[1], "opened") == 0)
        return measureOpened(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "opened-preview") == 0)
        return measureOpened(argc, argv, true);

    QCoreApplication app(argc, argv);
    const long startup = runChild(QStringLiteral("startup"));
    const long document = runChild(QStringLiteral("document"));
    const long loaded = runChild(QStringLiteral("previewed"));
    const long textBox = runChild(QStringLiteral("textbox"));
    const long realisticBox = runChild(QStringLiteral("textbox-realistic"));
    const long opened = runChild(QStringLiteral("opened"));
    const long openedPreview = runChild(QStringLiteral("opened-preview"));
    const long check = checkPeak(bench::realisticFilePath());
    if (startup <= 0 || document <= 0 || loaded <= 0 || textBox <= 0 || realisticBox <= 0 ||
        opened <= 0 || openedPreview <= 0 || check <= 0) {
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
    // The realistic file: what opening it and previewing it add to the peak, against what the
    // same text adds in a bare text box.
    const auto pair = [realisticBox](const char *title, long subject, double target) {
        const double ratio = double(subject) / double(realisticBox);
        std::printf("%-14s %9.1f MiB %9.1f MiB %7.2fx %7.1fx %s\n", title, subject / 1024.0,
                    realisticBox / 1024.0, ratio, target, ratio <= target ? "met" : "MISSED");
    };
    std::printf("\n%-14s %13s %13s %8s %8s\n", "memory pair", "subject", "text box", "ratio",
                "target");
    pair("open memory", opened, 1.2);
    pair("preview memory", openedPreview, 2.0);
    // --check against the size of the file it reads.
    const double fileKiB = double(bench::realisticFileText().toUtf8().size()) / 1024.0;
    const double checkRatio = double(check) / fileKiB;
    std::printf("%-14s %9.1f MiB %9.1f MiB %7.2fx %7.1fx %s\n", "check memory", check / 1024.0,
                fileKiB / 1024.0, checkRatio, 5.0, checkRatio <= 5.0 ? "met" : "MISSED");
    return 0;
}
