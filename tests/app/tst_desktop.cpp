#include "helpcontent.h"
#include "helpwindow.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <QThread>
#include <QTimer>

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

// Input through the X server, as from the user's mouse and keyboard.
void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
    QTest::qWait(150);
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

// A point of `main` that `cover` does not hide.
QPoint uncoveredPointOf(const QWidget *main, const QWidget *cover)
{
    const QRect inside = main->geometry().adjusted(4, 40, -4, -24);
    const QRect hidden = cover->frameGeometry().adjusted(-4, -4, 4, 4);
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

// The distance of a window's frame centre from a point, in pixels along each axis.
int offCentre(const QWidget *w, const QPoint &centre)
{
    const QPoint d = w->frameGeometry().center() - centre;
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
        clickAt(beside, clicks);
        QTRY_COMPARE(activeWindow(), Window(cover->winId()));
        QCOMPARE(QApplication::activeWindow(), cover);
        QVERIFY(stacking().indexOf(Window(cover->winId())) >
                stacking().indexOf(Window(main->winId())));
    }

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<Main>();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QTest::qWait(200);
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
        QTRY_VERIFY2(offCentre(dialog, screenCentre) <= 1,
                     qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                    .arg(dialog->frameGeometry().x())
                                    .arg(dialog->frameGeometry().y())
                                    .arg(dialog->frameGeometry().width())
                                    .arg(dialog->frameGeometry().height())));

        clickBesideKeepsInput(dialog, 2);

        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("radioClassName"));
        QTRY_COMPARE(QApplication::focusWidget(), name);
        // Add with empty fields: the message comes, Enter dismisses it.
        QTimer::singleShot(400, [] { pressKey("Return"); });
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

    // Help is owned by the main window and opens centred on it.
    void helpIsOwnedAndCentred()
    {
        main->mnuHelpContents()->trigger();
        QPointer<QWidget> help;
        QTRY_VERIFY((help = visibleTopLevel(QStringLiteral("helpWindow"))));
        QCOMPARE(transientFor(help), Window(main->winId()));
        QTRY_VERIFY(offCentre(help, main->frameGeometry().center()) <= 1);
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

    // On a screen smaller than a window, its title bar and top-left corner stay on screen.
    void smallScreen()
    {
        const QRect screen = main->screen()->availableGeometry();
        if (screen.width() > 700)
            QSKIP("The screen is not small; the small-screen run checks this");
        QTRY_VERIFY(main->frameGeometry().topLeft().x() >= screen.left());
        QVERIFY(main->frameGeometry().top() >= screen.top());
        main->mnuCreate()->trigger();
        QPointer<QWidget> preview;
        QTRY_VERIFY((preview = visibleTopLevel(QStringLiteral("savePreview"))));
        QTest::qWait(300);
        QVERIFY(preview->frameGeometry().left() >= screen.left());
        QVERIFY(preview->frameGeometry().top() >= screen.top());
    }
};

namespace {

// Xvfb on a free display, with openbox managing it; both end with the test.
class Desktop
{
public:
    bool start(const QString &size)
    {
        m_server.setProgram(QStringLiteral("Xvfb"));
        m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                               QStringLiteral("-screen"), QStringLiteral("0"),
                               size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        m_server.start();
        if (!m_server.waitForStarted(5000) || !m_server.waitForReadyRead(10000))
            return false;
        const QByteArray number = m_server.readAllStandardOutput().trimmed();
        if (number.isEmpty())
            return false;
        qputenv("DISPLAY", ":" + number);
        m_manager.setProgram(QStringLiteral("openbox"));
        m_manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_manager.start();
        if (!m_manager.waitForStarted(5000))
            return false;
        QThread::msleep(700); // openbox takes over the screen
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
    QProcess m_server;
    QProcess m_manager;
};

} // namespace

int main(int argc, char *argv[])
{
    const QString size = qEnvironmentVariable("MERROW_SCREEN", QStringLiteral("1024x768"));
    Desktop desktop;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        qInfo("SKIP: Xvfb, openbox or xdotool is missing (scripts/setup installs them)");
        return 0;
    }
    if (!desktop.start(size)) {
        qWarning("Xvfb with openbox could not be started");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    HelpContent::setReaderProgram(QStringLiteral(MERROW_EDITOR_PATH));
    tst_Desktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
