// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helpcontent.h"
#include "helpwindow.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

#include <QTimer>
#include <csignal>
#include <sys/prctl.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

// The windows on a real X server with a real window manager (Xvfb and openbox, started by the
// test itself): what the X server holds of ownership, activation and stacking, and input sent
// through the server as a user's would be. The offscreen platform has no window manager, so
// none of this can be seen there.
namespace {

Display *display()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

Window windowProperty(Window of, const char *name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    Window result = 0;
    if (XGetWindowProperty(display(), of, XInternAtom(display(), name, False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data && count == 1)
        result = *reinterpret_cast<Window *>(data);
    if (data)
        XFree(data);
    return result;
}

Window transientFor(const QWidget *w)
{
    Window owner = 0;
    return XGetTransientForHint(display(), Window(w->winId()), &owner) ? owner : 0;
}

Window activeWindow()
{
    return windowProperty(DefaultRootWindow(display()), "_NET_ACTIVE_WINDOW");
}

// The managed windows from bottom to top.
QList<Window> stacking()
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QList<Window> list;
    if (XGetWindowProperty(display(), DefaultRootWindow(display()),
                           XInternAtom(display(), "_NET_CLIENT_LIST_STACKING", False), 0, 1024,
                           False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data) {
        for (unsigned long i = 0; i < count; ++i)
            list << reinterpret_cast<Window *>(data)[i];
    }
    if (data)
        XFree(data);
    return list;
}

// The time of the last user input the program saw in `w`'s window, as it tells the window
// manager: it changes once the program has handled a click there, even on a locked window.
unsigned long userTime(const QWidget *w)
{
    Window holder = windowProperty(Window(w->winId()), "_NET_WM_USER_TIME_WINDOW");
    if (!holder)
        holder = Window(w->winId());
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    unsigned long result = 0;
    if (XGetWindowProperty(display(), holder, XInternAtom(display(), "_NET_WM_USER_TIME", False), 0,
                           1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1)
        result = *reinterpret_cast<unsigned long *>(data);
    if (data)
        XFree(data);
    return result;
}

// Input through the X server, as from the user's mouse and keyboard. xdotool returns once
// the server has the input; each caller waits for what the input must bring about.
void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

void clickAt(const QPoint &global, int clicks = 1)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
             QString::number(global.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
             QString::number(clicks), QStringLiteral("--delay"), QStringLiteral("60"),
             QStringLiteral("1")});
}

void pressKey(const char *key)
{
    xdotool({QStringLiteral("key"), QString::fromLatin1(key)});
}

// The frame as the X server has it now: the window where the server holds it, widened by the
// decorations the window manager says it drew around it (_NET_FRAME_EXTENTS). The toolkit's own
// figures may still hold a position it asked for and the window manager has not granted yet.
// The window manager's own parent window is no measure: metacity makes it larger than the
// frame by invisible borders to grab for resizing, and not by the same amount on every side.
QRect frameOf(const QWidget *w)
{
    const Window window = Window(w->winId());
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display(), window, &root, &x, &y, &width, &height, &border, &depth);
    XTranslateCoordinates(display(), window, root, 0, 0, &x, &y, &child);
    long left = 0, right = 0, top = 0, bottom = 0;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display(), window, XInternAtom(display(), "_NET_FRAME_EXTENTS", False),
                           0, 4, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 4) {
        const long *extents = reinterpret_cast<const long *>(data);
        left = extents[0];
        right = extents[1];
        top = extents[2];
        bottom = extents[3];
    }
    if (data)
        XFree(data);
    return QRect(int(x - left), int(y - top), int(width + left + right),
                 int(height + top + bottom));
}

// A point of `main` that `cover` does not hide.
QPoint uncoveredPointOf(const QWidget *main, const QWidget *cover)
{
    const QRect inside = main->geometry().adjusted(4, 40, -4, -24);
    const QRect hidden = frameOf(cover).adjusted(-4, -4, 4, 4);
    for (int y = inside.top(); y < inside.bottom(); y += 8) {
        for (int x = inside.left(); x < inside.right(); x += 4) {
            if (!hidden.contains(x, y))
                return {x, y};
        }
    }
    return {};
}

QWidget *visibleTopLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

// Whether the window manager has put its frame around `w`.
bool framed(const QWidget *w)
{
    return w->isVisible() && !w->windowHandle()->frameMargins().isNull();
}

// Where a window's frame belongs when it is centred on `area`: its top-left corner kept on
// the screen's available area.
QPoint centredFramePosition(const QWidget *w, const QRect &area)
{
    const QRect screen = w->screen()->availableGeometry();
    QRect frame(QPoint(), frameOf(w).size());
    frame.moveCenter(area.center());
    return {qMax(screen.left(), qMin(frame.left(), screen.right() - frame.width())),
            qMax(screen.top(), qMin(frame.top(), screen.bottom() - frame.height()))};
}

QString describePlacement(const QWidget *w, const QRect &area)
{
    const QRect f = frameOf(w), g = w->geometry();
    return QStringLiteral("%11: frame %1,%2 %3x%4, inside %5,%6, centred on %7,%8 %9x%10")
        .arg(f.x())
        .arg(f.y())
        .arg(f.width())
        .arg(f.height())
        .arg(g.x())
        .arg(g.y())
        .arg(area.x())
        .arg(area.y())
        .arg(area.width())
        .arg(area.height())
        .arg(w->objectName());
}

// The distance of a window's frame centre from a point, in pixels along each axis.
int offCentre(const QWidget *w, const QPoint &centre)
{
    const QPoint d = frameOf(w).center() - centre;
    return qMax(qAbs(d.x()), qAbs(d.y()));
}

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<Main> main;

    template <typename T = QWidget> T *find(const char *name) const
    {
        return main->findChild<T *>(QString::fromLatin1(name));
    }
    void switchOn(const char *name, int page)
    {
        main->items()->setCurrentIndex(page);
        auto *box = find<QCheckBox>(name);
        if (!box->isChecked())
            box->click();
    }
    // Clicks on the main window beside `cover` and checks that the input stays with it.
    void clickBesideKeepsInput(QWidget *cover, int clicks = 1)
    {
        const QPoint beside = uncoveredPointOf(main.get(), cover);
        QVERIFY(!beside.isNull());
        const unsigned long before = userTime(main.get());
        clickAt(beside, clicks);
        QTRY_VERIFY_WITH_TIMEOUT(userTime(main.get()) != before, 20000);
        // The window manager and the program may each take a moment to agree again.
        QTRY_VERIFY2_WITH_TIMEOUT(
            activeWindow() == Window(cover->winId()) && QApplication::activeWindow() == cover,
            qPrintable(QStringLiteral("active in X: %1 (cover %2, main %3); in Qt: %4")
                           .arg(activeWindow())
                           .arg(cover->winId())
                           .arg(main->winId())
                           .arg(QApplication::activeWindow()
                                    ? QApplication::activeWindow()->objectName()
                                    : QStringLiteral("none"))),
            20000);
        QVERIFY(stacking().indexOf(Window(cover->winId())) >
                stacking().indexOf(Window(main->winId())));
    }

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<Main>();
        main->show();
        // On a busy machine the window manager may take longer than the default five seconds.
        QVERIFY(QTest::qWaitForWindowActive(main.get(), 20000));
        // The main window centres itself once it is framed; the windows it opens are placed
        // by it.
        const QRect screen = main->screen()->availableGeometry();
        QTRY_VERIFY2_WITH_TIMEOUT(framed(main.get()) &&
                                      frameOf(main.get()).topLeft() ==
                                          centredFramePosition(main.get(), screen),
                                  qPrintable(describePlacement(main.get(), screen)), 20000);
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != main.get() && w->isVisible())
                w->close();
        }
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The preview is owned by the main window in the X server too, stays above it when the
    // locked main window is clicked, and keeps the input.
    void previewStaysAboveAndKeepsInput()
    {
        main->mnuCreate()->trigger();
        QPointer<QWidget> preview;
        QTRY_VERIFY((preview = visibleTopLevel(QStringLiteral("savePreview"))));
        QCOMPARE(transientFor(preview), Window(main->winId()));
        QTRY_COMPARE(activeWindow(), Window(preview->winId()));
        clickBesideKeepsInput(preview);
        QVERIFY(!main->isEnabled());
    }

    // An entry dialog: a double-click on the locked main window leaves the input with the
    // dialog; after the required-field message the dialog has the input again, on the field
    // that had it, so Esc closes it; then the Add button has the focus again.
    void entryDialogKeepsInput()
    {
        switchOn("mainRadioActive", 2);
        auto *add = find<QPushButton>("addRadioButton");
        clickAt(add->mapToGlobal(add->rect().center()));
        QPointer<QWidget> dialog;
        QTRY_VERIFY((dialog = visibleTopLevel(QStringLiteral("addRadio"))));
        QCOMPARE(transientFor(dialog), Window(main->winId()));
        QTRY_COMPARE(activeWindow(), Window(dialog->winId()));
        const QPoint screenCentre = dialog->screen()->availableGeometry().center();
        // Placed once its frame is known: the same generous wait as the other placements.
        QTRY_VERIFY2_WITH_TIMEOUT(
            offCentre(dialog, screenCentre) <= 1,
            qPrintable(describePlacement(dialog, dialog->screen()->availableGeometry())), 20000);

        clickBesideKeepsInput(dialog, 2);

        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("radioClassName"));
        QTRY_COMPARE(QApplication::focusWidget(), name);
        // Add with empty fields: the message comes, Enter dismisses it once it has the input.
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && activeWindow() == Window(box->winId())) {
                answer.stop();
                pressKey("Return");
            }
        });
        answer.start(20);
        auto *addEntry = dialog->findChild<QPushButton *>(QStringLiteral("addRadioButton"));
        addEntry->click();
        QTRY_COMPARE(activeWindow(), Window(dialog->winId()));
        QTRY_COMPARE(QApplication::focusWidget(), name);
        pressKey("Escape");
        QTRY_VERIFY(!dialog);
        QTRY_COMPARE(activeWindow(), Window(main->winId()));
        QTRY_COMPARE(QApplication::focusWidget(), add);
    }

    // The about box keeps the input when the main window is clicked.
    void aboutKeepsInput()
    {
        main->mnuAbout()->trigger();
        QPointer<QWidget> box;
        QTRY_VERIFY((box = visibleTopLevel(QStringLiteral("about"))));
        QCOMPARE(transientFor(box), Window(main->winId()));
        QTRY_COMPARE(activeWindow(), Window(box->winId()));
        clickBesideKeepsInput(box);
    }

    // Mission settings, opened by its shortcut, is owned by the main window and has the input;
    // Esc closes it and gives the input back to the main window.
    void missionSettingsKeepsInput()
    {
        pressKey("ctrl+e");
        QPointer<QWidget> settings;
        QTRY_VERIFY((settings = visibleTopLevel(QStringLiteral("missionSettings"))));
        QCOMPARE(transientFor(settings), Window(main->winId()));
        QTRY_COMPARE(activeWindow(), Window(settings->winId()));
        QVERIFY(!main->isEnabled());
        pressKey("Escape");
        QTRY_VERIFY(!settings);
        QTRY_COMPARE(activeWindow(), Window(main->winId()));
        QVERIFY(main->isEnabled());
    }

    // Help is owned by the main window and opens centred on it.
    void helpIsOwnedAndCentred()
    {
        main->mnuHelpContents()->trigger();
        QPointer<QWidget> help;
        QTRY_VERIFY((help = visibleTopLevel(QStringLiteral("helpWindow"))));
        QCOMPARE(transientFor(help), Window(main->winId()));
        // The help window is placed once its frame is known, which under a sanitizer can take
        // far longer than the default wait.
        QTRY_VERIFY2_WITH_TIMEOUT(offCentre(help, frameOf(main.get()).center()) <= 1,
                                  qPrintable(describePlacement(help, frameOf(main.get()))), 20000);
        QVERIFY(main->isEnabled());
    }

    // After Create from a code box, closing the preview gives the code box the focus back.
    void focusReturnsToTheCodeBox()
    {
        switchOn("mainOtherActive", 7);
        auto *code = find<QPlainTextEdit>("mainOtherCode");
        code->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), code);
        pressKey("ctrl+F2");
        QPointer<QWidget> preview;
        QTRY_VERIFY((preview = visibleTopLevel(QStringLiteral("savePreview"))));
        QTRY_COMPARE(activeWindow(), Window(preview->winId()));
        preview->close();
        QTRY_COMPARE(activeWindow(), Window(main->winId()));
        QTRY_COMPARE(QApplication::focusWidget(), code);
    }

    // Every secondary window, opened again and again (as on a busy machine, where the window
    // manager's answers come late and in any order), settles with its frame centred where it
    // belongs and wholly on the screen when it fits there.
    void everyOpeningIsPlaced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("onOwner");
        QTest::newRow("preview") << u"savePreview"_qs << false;
        QTest::newRow("help") << u"helpWindow"_qs << true;
        QTest::newRow("mission settings") << u"missionSettings"_qs << true;
        QTest::newRow("endings and notifications") << u"endingsNotifications"_qs << true;
        QTest::newRow("remote execution") << u"remoteExecution"_qs << true;
        QTest::newRow("functions") << u"functionsLibrary"_qs << true;
        QTest::newRow("about") << u"about"_qs << false;
    }
    void everyOpeningIsPlaced()
    {
        QFETCH(QString, name);
        QFETCH(bool, onOwner);
        const int rounds = qEnvironmentVariableIntValue("MERROW_OPENINGS") > 0
                               ? qEnvironmentVariableIntValue("MERROW_OPENINGS")
                               : 6;
        const QRect screen = main->screen()->availableGeometry();
        for (int round = 0; round < rounds; ++round) {
            if (name == u"savePreview")
                main->mnuCreate()->trigger();
            else if (name == u"helpWindow")
                main->mnuHelpContents()->trigger();
            else if (name == u"missionSettings")
                main->mnuMissionSettings()->trigger();
            else if (name == u"endingsNotifications")
                main->mnuEndings()->trigger();
            else if (name == u"remoteExecution")
                main->mnuRemoteExec()->trigger();
            else if (name == u"functionsLibrary")
                main->mnuFunctions()->trigger();
            else
                main->mnuAbout()->trigger();
            QPointer<QWidget> window;
            QTRY_VERIFY((window = visibleTopLevel(name)));
            const QRect area = onOwner ? frameOf(main.get()) : screen;
            const QPoint centre = area.center();
            const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
            QTRY_VERIFY2_WITH_TIMEOUT(
                (frameless || framed(window)) &&
                    frameOf(window).topLeft() == centredFramePosition(window, area),
                qPrintable(
                    QStringLiteral("round %1: %2").arg(round).arg(describePlacement(window, area))),
                20000);
            // Settled: the window manager has had its say and the window is where it was put.
            QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), Window(window->winId()), 20000);
            QVERIFY2(offCentre(window, centre) <= 1 || !screen.contains(frameOf(window)),
                     qPrintable(describePlacement(window, area)));
            if (frameOf(window).width() <= screen.width() &&
                frameOf(window).height() <= screen.height())
                QVERIFY2(screen.contains(frameOf(window)),
                         qPrintable(describePlacement(window, area)));
            window->close();
            QTRY_VERIFY(!window);
        }
    }

    // On a small screen (800 × 600 and less) every window fits wholly on the screen: the
    // windows larger than it give up what does not fit.
    void smallScreen()
    {
        const QRect screen = main->screen()->availableGeometry();
        if (screen.width() > 900)
            QSKIP("The screen is not small; the small-screen runs check this");
        QTRY_VERIFY(frameOf(main.get()).topLeft().x() >= screen.left());
        QVERIFY(frameOf(main.get()).top() >= screen.top());
        const QList<std::pair<QAction *, QString>> openers = {
            {main->mnuCreate(), u"savePreview"_qs},
            {main->mnuHelpContents(), u"helpWindow"_qs},
            {main->mnuMissionSettings(), u"missionSettings"_qs},
            {main->mnuEndings(), u"endingsNotifications"_qs},
            {main->mnuRemoteExec(), u"remoteExecution"_qs},
            {main->mnuFunctions(), u"functionsLibrary"_qs},
        };
        for (const auto &[action, name] : openers) {
            action->trigger();
            QPointer<QWidget> window;
            QTRY_VERIFY((window = visibleTopLevel(name)));
            QTRY_VERIFY_WITH_TIMEOUT(framed(window), 20000);
            QTRY_VERIFY2_WITH_TIMEOUT(screen.contains(frameOf(window)),
                                      qPrintable(describePlacement(window, screen)), 20000);
            window->close();
            QTRY_VERIFY(!window);
        }
    }
};

namespace {

bool connects(const QByteArray &displayName)
{
    Display *d = XOpenDisplay(displayName.constData());
    if (d)
        XCloseDisplay(d);
    return d;
}

// Whether a window manager has taken over the screen of `displayName`. It says so on the root
// window (_NET_SUPPORTING_WM_CHECK) as it starts; openbox does so before it has finished
// starting, and a window mapped then is managed but never given the input, so openbox is
// asked to run a command of ours once it is running, which sets a property of our own.
constexpr char ReadyProperty[] = "_MERROW_WM_READY";

bool managerRunning(const QByteArray &displayName, const char *property)
{
    Display *d = XOpenDisplay(displayName.constData());
    if (!d)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const bool running =
        XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, property, False), 0, 1, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && count >= 1;
    if (data)
        XFree(data);
    XCloseDisplay(d);
    return running;
}

// Xvfb on a free display (-noreset: the checks below connect and leave again, and a server
// that resets when its last client leaves would throw out a window manager starting then),
// with a window manager managing it (openbox unless MERROW_WM names
// another, such as metacity); both end with the test.
class Desktop
{
public:
    static QString manager()
    {
        return qEnvironmentVariable("MERROW_WM", QStringLiteral("openbox"));
    }

    bool start(const QString &size)
    {
        // Should this test die (a sanitizer's report ends it at once), the server and the manager
        // go with it rather than keep the test's output open, which CTest would wait on.
        for (QProcess *p : {&m_server, &m_manager})
            p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_server.setProgram(QStringLiteral("Xvfb"));
        m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                               QStringLiteral("-screen"), QStringLiteral("0"),
                               size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp"), QStringLiteral("-noreset")});
        m_server.start();
        if (!m_server.waitForStarted(5000))
            return failed("Xvfb did not start");
        // The display's number, on a line of its own once the server is ready.
        QByteArray number;
        QDeadlineTimer numbered(30000);
        while (!number.endsWith('\n')) {
            if (numbered.hasExpired() || !m_server.waitForReadyRead(int(numbered.remainingTime())))
                return failed("Xvfb did not name its display");
            number += m_server.readAllStandardOutput();
        }
        number = number.trimmed();
        qputenv("DISPLAY", ":" + number);
        // The server answers on its socket before a client may connect there.
        QDeadlineTimer serverUp(30000);
        while (!connects(":" + number)) {
            if (serverUp.hasExpired() || m_server.state() != QProcess::Running)
                return failed("Xvfb did not accept connections");
            m_server.waitForFinished(20);
        }
        m_manager.setProgram(manager());
        const bool openbox = manager() == u"openbox";
        if (openbox)
            m_manager.setArguments(
                {QStringLiteral("--startup"), QStringLiteral("xprop -root -f %1 8s -set %1 1")
                                                  .arg(QLatin1String(ReadyProperty))});
        m_manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_manager.start();
        if (!m_manager.waitForStarted(5000))
            return failed("the window manager did not start");
        // Until the manager has taken over the screen, windows would be mapped unmanaged.
        QDeadlineTimer deadline(30000);
        while (
            !managerRunning(":" + number, openbox ? ReadyProperty : "_NET_SUPPORTING_WM_CHECK")) {
            if (deadline.hasExpired() || m_manager.state() != QProcess::Running)
                return failed("the window manager did not take over the screen");
            m_manager.waitForFinished(20); // a short pause that also notices an early exit
        }
        return true;
    }
    ~Desktop()
    {
        for (QProcess *p : {&m_manager, &m_server}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }

private:
    static bool failed(const char *why)
    {
        qWarning("%s", why);
        return false;
    }

    QProcess m_server;
    QProcess m_manager;
};

} // namespace

int main(int argc, char *argv[])
{
    // The main window reads help files with the program it runs in: this one.
    if (const std::optional<int> code = HelpContent::serveIfAsked(argc, argv))
        return *code;
    const QString size = qEnvironmentVariable("MERROW_SCREEN", QStringLiteral("1024x768"));
    Desktop desktop;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(Desktop::manager()).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        qInfo("SKIP: Xvfb, %s or xdotool is missing (scripts/setup installs them)",
              qPrintable(Desktop::manager()));
        return 0;
    }
    if (!desktop.start(size)) {
        qWarning("Xvfb with %s could not be started", qPrintable(Desktop::manager()));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    tst_Desktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
