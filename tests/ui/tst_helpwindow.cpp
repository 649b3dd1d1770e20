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
        QCOMPARE(QImage::fromData(data.toByteArray()).size(), QSize(7, 5));
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
        QCOMPARE(help->browser()->toPlainText(), notice());
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
        QCOMPARE(help->browser()->toPlainText(), notice());
        installHelpFile();
        QCOMPARE(openHelp(), help);
        QVERIFY(help->isFileOpen());
        QVERIFY(
            help->browser()->toPlainText().contains(QStringLiteral("Welcome to the test help")));
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
