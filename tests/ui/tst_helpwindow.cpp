#include "helpcontent.h"
#include "helpwindow.h"
#include "userprompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <QRandomGenerator>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray testFile(const char *path = HELP_TEST_FILE)
{
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QList<HelpWindow *> helpWindows()
{
    QList<HelpWindow *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *help = qobject_cast<HelpWindow *>(w))
            found << help;
    }
    return found;
}

QString notice()
{
    return QStringLiteral("The help file Merrow_Editor_Help.chm could not be opened.");
}

} // namespace

class tst_HelpWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QWidget> owner;
    QString startDir;

    // Opens help the way the main window's F1 does.
    HelpWindow *openHelp()
    {
        UserPrompts::instance().showHelp(owner.get());
        const QList<HelpWindow *> windows = helpWindows();
        return windows.size() == 1 ? windows.first() : nullptr;
    }
    void installHelpFile() { writeAll(dir->filePath(HelpWindow::fileName), testFile()); }

    static void clickText(QTextBrowser *browser, const QString &text)
    {
        QTextCursor cursor = browser->document()->find(text);
        QVERIFY2(!cursor.isNull(), qPrintable(text));
        cursor.setPosition(cursor.selectionStart() + 2);
        const QPoint at = browser->cursorRect(cursor).center();
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!testFile().isEmpty(), HELP_TEST_FILE);
        startDir = QDir::currentPath();
        HelpContent::setReaderProgram(QStringLiteral(MERROW_EDITOR_PATH));
    }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(QDir::setCurrent(dir->path()));
        owner = std::make_unique<QWidget>();
        owner->show();
    }
    void cleanup()
    {
        owner.reset(); // takes its help window along
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(helpWindows().isEmpty());
        QDir::setCurrent(startDir);
        dir.reset();
    }

    void showsTheDefaultTopic()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->isFileOpen());
        QVERIFY(!help->parentWidget());
        QVERIFY(!help->isModal());
        QVERIFY(owner->isEnabled());
        QCOMPARE(help->windowTitle(), QStringLiteral("Merrow Editor Test Help"));
        QCOMPARE(help->browser()->source(),
                 HelpBrowser::topicUrl(QStringLiteral("/pages/start.htm")));
        QVERIFY(
            help->browser()->toPlainText().contains(QStringLiteral("Welcome to the test help")));
    }

    void withoutDefaultTopicShowsTheFirstPage()
    {
        writeAll(dir->filePath(HelpWindow::fileName), testFile(HELP_NO_DEFAULT_FILE));
        HelpWindow *help = openHelp();
        QVERIFY(help->isFileOpen());
        QCOMPARE(help->browser()->source(),
                 HelpBrowser::topicUrl(QStringLiteral("/pages/second.htm")));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("The second page")));
    }

    void oneWindowPerOwner()
    {
        installHelpFile();
        HelpWindow *first = openHelp();
        QVERIFY(first);
        QCOMPARE(openHelp(), first);

        QWidget other;
        UserPrompts::instance().showHelp(&other);
        QCOMPARE(helpWindows().size(), 2);
    }

    void followsLinksInsideTheFile()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        QTextBrowser *browser = help->browser();
        clickText(browser, QStringLiteral("Second page"));
        QCOMPARE(browser->source(), HelpBrowser::topicUrl(QStringLiteral("/pages/second.htm")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("The second page")));

        // An older page in the 8-bit code page, without a declared character set.
        clickText(browser, QStringLiteral("Third page"));
        QCOMPARE(browser->source(), HelpBrowser::topicUrl(QStringLiteral("/pages/third.htm#top")));
        QVERIFY2(browser->toPlainText().contains(QStringLiteral("Caf\u00E9 \u20AC page")),
                 qPrintable(browser->toPlainText()));
        QTest::mouseClick(help->findChild<QToolButton *>(QStringLiteral("helpBack")),
                          Qt::LeftButton);

        auto *back = help->findChild<QToolButton *>(QStringLiteral("helpBack"));
        QVERIFY(back && back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Welcome to the test help")));
    }

    void loadsPicturesFromInsideTheFile()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        const QVariant data = help->browser()->loadResource(QTextDocument::ImageResource,
                                                            QUrl(QStringLiteral("marker.xpm")));
        QCOMPARE(data.value<QImage>().size(), QSize(7, 5));
        // And it is what the page shows.
        const QVariant shown = help->browser()->document()->resource(
            QTextDocument::ImageResource, QUrl(QStringLiteral("marker.xpm")));
        QVERIFY(shown.isValid());
    }

    void loadsNothingFromOutside()
    {
        installHelpFile();
        // Files a link could reach if it were resolved on disk.
        writeAll(dir->filePath(QStringLiteral("outside.htm")), "<p>Read from disk</p>");
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(dir->filePath(QStringLiteral("outside.png"))));

        HelpWindow *help = openHelp();
        HelpBrowser *browser = help->browser();
        const QUrl start = browser->source();
        QSignalSpy clicked(browser, &QTextBrowser::anchorClicked);

        clickText(browser, QStringLiteral("Outside link"));
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(browser->source(), start);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Welcome to the test help")));

        // A relative link climbing above the file's root stays inside the file.
        clickText(browser, QStringLiteral("Escaping link"));
        QCOMPARE(clicked.size(), 2);
        QVERIFY(!browser->toPlainText().contains(QStringLiteral("Read from disk")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("is not in the help file")));

        const QUrl onDisk = QUrl::fromLocalFile(dir->filePath(QStringLiteral("outside.png")));
        QVERIFY(
            browser->loadResource(QTextDocument::ImageResource, onDisk).toByteArray().isEmpty());
        const QVariant viaDocument =
            browser->document()->resource(QTextDocument::ImageResource, onDisk);
        QVERIFY(viaDocument.toByteArray().isEmpty());
        QVERIFY(browser
                    ->loadResource(QTextDocument::HtmlResource,
                                   QUrl(QStringLiteral("http://example.com/outside.htm")))
                    .toByteArray()
                    .isEmpty());
    }

    void unusableFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("not a help file")
            << QByteArray("<html>plain page</html>").repeated(100) << true;
        QTest::newRow("cut after the header") << testFile().left(600) << true;
        QTest::newRow("cut in half") << testFile().left(testFile().size() / 2) << true;
    }
    void unusableFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (present)
            writeAll(dir->filePath(HelpWindow::fileName), content);

        HelpWindow *help = openHelp();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(!help->isFileOpen());
        QVERIFY(help->browser()->toPlainText().startsWith(notice()));
        QVERIFY(owner->isEnabled());
    }

    void anyCutOfTheFileIsSurvived()
    {
        const QByteArray whole = testFile();
        const QString path = dir->filePath(QStringLiteral("cut.chm"));
        HelpWindow help;
        for (qsizetype size = 0; size < whole.size(); size += 97) {
            writeAll(path, whole.left(size));
            if (!help.openFile(path))
                QCOMPARE(help.browser()->toPlainText(),
                         QStringLiteral("The help file cut.chm could not be opened."));
        }
    }

    void fileAddedLaterIsFound()
    {
        HelpWindow *help = openHelp();
        QVERIFY(help->browser()->toPlainText().startsWith(notice()));
        // A missing file's notice says where it was looked for.
        QVERIFY(help->browser()->toPlainText().contains(QDir::toNativeSeparators(dir->path())));
        installHelpFile();
        QCOMPARE(openHelp(), help);
        QVERIFY(help->isFileOpen());
        QVERIFY(
            help->browser()->toPlainText().contains(QStringLiteral("Welcome to the test help")));
    }

    // Damaged files are read in another process: whatever a changed byte makes the reader do
    // (crash, loop, allocate), the window shows a page or the notice, and this process lives.
    void damagedFilesAreSurvived()
    {
        const QByteArray whole = testFile();
        const quint32 seed = qEnvironmentVariableIsSet("MERROW_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("MERROW_SEED"))
                                 : QRandomGenerator::global()->generate();
        qInfo("MERROW_SEED=%u", seed);
        QRandomGenerator random(seed);
        HelpContent::setTimeLimit(3000);
        const QString path = dir->filePath(QStringLiteral("damaged.chm"));
        HelpWindow help;
        int opened = 0;
        for (int i = 0; i < 200; ++i) {
            QByteArray damaged = whole;
            for (int n = 1 + random.bounded(4); n > 0; --n)
                damaged[random.bounded(damaged.size())] = char(random.bounded(256));
            writeAll(path, damaged);
            if (help.openFile(path)) {
                ++opened;
                help.browser()->setSource(
                    HelpBrowser::topicUrl(QStringLiteral("/pages/second.htm")));
            } else {
                QCOMPARE(help.browser()->toPlainText(),
                         QStringLiteral("The help file damaged.chm could not be opened."));
            }
        }
        HelpContent::setTimeLimit(10000);
        qInfo("%d of 200 damaged files still opened", opened);
    }

    // What the reading process may do with a file that breaks it: crash, hang, stop half way
    // or write nonsense. The window shows the notice in time each way and this process lives.
    void readerFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$");
        QTest::newRow("runs out of memory") << QByteArray("kill -KILL $$");
        QTest::newRow("hangs") << QByteArray("exec sleep 60");
        QTest::newRow("stops half way")
            << QByteArray("printf 'merrow-help 1\\n\\005\\0\\0\\0/a.h'");
        QTest::newRow("writes nonsense") << QByteArray("head -c 100000 /dev/urandom");
        QTest::newRow("writes without end") << QByteArray("exec cat /dev/zero");
    }
    void readerFailures()
    {
        QFETCH(QByteArray, script);
        installHelpFile();
        const QString reader = dir->filePath(QStringLiteral("reader.sh"));
        writeAll(reader, "#!/bin/sh\n" + script + "\n");
        QVERIFY(QFile::setPermissions(reader, QFile::ReadOwner | QFile::ExeOwner));
        HelpContent::setReaderProgram(reader);
        HelpContent::setTimeLimit(1500);
        HelpWindow *help = openHelp();
        HelpContent::setReaderProgram(QStringLiteral(MERROW_EDITOR_PATH));
        HelpContent::setTimeLimit(10000);
        QVERIFY(!help->isFileOpen());
        QVERIFY(help->browser()->toPlainText().startsWith(notice()));
    }

    // Only regular files are read: a FIFO would block its reader for ever.
    void notARegularFile()
    {
        const QString fifo = dir->filePath(HelpWindow::fileName);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        HelpWindow *help = openHelp();
        QVERIFY(!help->isFileOpen());
        QVERIFY(help->browser()->toPlainText().startsWith(notice()));
    }

    // A page naming pictures and style sheets by absolute paths, climbing paths, other schemes
    // and bare names gets placeholders: no file on disk is even opened.
    void opensNoFileOutside()
    {
        installHelpFile();
        const QString probe = QStringLiteral("/tmp/merrow-help-probe");
        QDir(probe).removeRecursively();
        QVERIFY(QDir().mkpath(probe));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        for (const char *name : {"absolute.png", "climbing.png", "file.png"})
            QVERIFY(picture.save(QDir(probe).filePath(QString::fromLatin1(name))));
        writeAll(QDir(probe).filePath(QStringLiteral("style.css")), "body { color: red }");
        QCOMPARE(::mkfifo(QFile::encodeName(probe + QStringLiteral("/fifo")).constData(), 0600), 0);
        for (const char *name : {"probe.png", "other.chm", "style.css"})
            QVERIFY(picture.save(dir->filePath(QString::fromLatin1(name)), "PNG"));

        HelpWindow *help = openHelp();
        QVERIFY(help->isFileOpen());
        const int watcher = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watcher >= 0);
        for (const QString &folder : {probe, dir->path()})
            QVERIFY(::inotify_add_watch(watcher, QFile::encodeName(folder).constData(),
                                        IN_OPEN | IN_ACCESS) >= 0);
        help->browser()->setSource(HelpBrowser::topicUrl(QStringLiteral("/pages/outside.htm")));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Names that lead")));
        help->browser()->grab(); // lays out and paints every picture
        QCoreApplication::processEvents();

        char events[4096];
        const ssize_t got = ::read(watcher, events, sizeof events);
        ::close(watcher);
        QDir(probe).removeRecursively();
        QCOMPARE(got, ssize_t(-1));
    }

    // A page with a very long word wraps it anywhere instead of laying it out for minutes.
    void longWordsWrapAnywhere()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        help->browser()->setHtml(QStringLiteral("<p>") + QString(200000, u'w') +
                                 QStringLiteral("</p>"));
        QCOMPARE(help->browser()->wordWrapMode(), QTextOption::WrapAnywhere);
    }

    void closedWindowIsMadeAgain()
    {
        installHelpFile();
        QPointer<HelpWindow> help = openHelp();
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        QVERIFY(openHelp());
    }
};

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
