// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up as the user sees it: a whole process started until its window is mapped on an X
// server, the editor against a bare Qt window of the same outline (bench_barewindow). Both
// run on an Xvfb of their own without a window manager; this program watches the root window
// for the first MapNotify of a new top-level window, so the wait ends on the event itself.
#include "benchsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <X11/Xlib.h>

#include <sys/select.h>

#include <deque>

namespace {

struct Server
{
    QProcess process;
    QByteArray display;
    Display *connection = nullptr;

    bool start()
    {
        process.setProgram(QStringLiteral("Xvfb"));
        process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                              QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        process.start();
        if (!process.waitForStarted(5000))
            return false;
        QByteArray number;
        const QDeadlineTimer named(30000);
        while (!number.endsWith('\n')) {
            if (named.hasExpired() || !process.waitForReadyRead(int(named.remainingTime())))
                return false;
            number += process.readAllStandardOutput();
        }
        display = ':' + number.trimmed();
        connection = XOpenDisplay(display.constData());
        if (!connection)
            return false;
        XSelectInput(connection, DefaultRootWindow(connection), SubstructureNotifyMask);
        XSync(connection, True);
        return true;
    }

    ~Server()
    {
        if (connection)
            XCloseDisplay(connection);
        process.terminate();
        process.waitForFinished(5000);
    }

    // Waits for a top-level window to be mapped, at most `deadline`.
    bool waitForMap(const QDeadlineTimer &deadline)
    {
        const int fd = ConnectionNumber(connection);
        while (!deadline.hasExpired()) {
            while (XPending(connection)) {
                XEvent event;
                XNextEvent(connection, &event);
                if (event.type == MapNotify && !event.xmap.override_redirect)
                    return true;
            }
            fd_set read;
            FD_ZERO(&read);
            FD_SET(fd, &read);
            timeval wait{0, 100000};
            select(fd + 1, &read, nullptr, nullptr, &wait);
        }
        return false;
    }
};

Server &server()
{
    static Server s;
    return s;
}

QString sibling(const QString &relative)
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(relative);
}

// Starts `program` and waits until its window is mapped: the seconds that took, or a negative
// number when no window came. Ending the program again is not timed.
double launchOnce(Server &x, const QProcessEnvironment &environment, const QString &program)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setProgram(program);
    XSync(x.connection, True); // drops what earlier runs left
    QElapsedTimer clock;
    clock.start();
    child.start();
    const bool mapped = x.waitForMap(QDeadlineTimer(60000));
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    child.terminate();
    if (!child.waitForFinished(10000)) {
        child.kill();
        child.waitForFinished(10000);
    }
    return mapped ? seconds : -1;
}

QString editorProgram()
{
    return sibling(QStringLiteral("../src/app/merrow-editor"));
}
QString bareProgram()
{
    return sibling(QStringLiteral("bench_barewindow"));
}

// The bare window's times from the editor's rounds, not yet reported.
std::deque<double> &bareTimes()
{
    static std::deque<double> times;
    return times;
}

// Each round of the editor's benchmark launches the editor, then the bare window, and keeps
// the bare window's time for its own benchmark: on a machine whose load changes during the
// run both sides meet the same load. Run alone, the bare window's benchmark launches itself.
void launch(benchmark::State &state, bool editor)
{
    Server &x = server();
    if (!x.connection && !x.start()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(x.display));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (auto _ : state) {
        double seconds = -1;
        if (editor) {
            seconds = launchOnce(x, environment, editorProgram());
            const double bare = launchOnce(x, environment, bareProgram());
            if (bare >= 0)
                bareTimes().push_back(bare);
        } else if (!bareTimes().empty()) {
            seconds = bareTimes().front();
            bareTimes().pop_front();
        } else {
            seconds = launchOnce(x, environment, bareProgram());
        }
        if (seconds < 0) {
            state.SkipWithError("no window was mapped");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void Launch_Editor(benchmark::State &state)
{
    launch(state, true);
}
BENCHMARK(Launch_Editor)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void Launch_BareWindow(benchmark::State &state)
{
    launch(state, false);
}
BENCHMARK(Launch_BareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::printf("bench_launch: Xvfb is missing (scripts/setup installs it)\n");
        return 0;
    }
    return bench::runAll(argc, argv, {{"launch", "Launch_Editor", "Launch_BareWindow", 1.1}});
}
