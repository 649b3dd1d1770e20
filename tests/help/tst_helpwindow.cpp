// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktopservices.h"
#include "helpcontent.h"
#include "helphtml.h"
#include "helppage.h"
#include "helpsitemap.h"
#include "helpwindow.h"
#include "longlines.h"
#include "testseed.h"
#include "textlines.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtEndian>

#include <QRandomGenerator>

#include <functional>

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

QStringList itemTexts(const QListWidget *list, bool shownOnly = true)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        if (!shownOnly || !list->item(row)->isHidden())
            texts << list->item(row)->text();
    }
    return texts;
}

// A help file's content as the reading process hands it over, holding `objects`.
HelpContent contentOf(const QList<std::pair<QByteArray, QByteArray>> &objects)
{
    QByteArray stream("merrow-help 1\n");
    const auto add = [&stream](const QByteArray &bytes) {
        const quint32 size = qToLittleEndian(quint32(bytes.size()));
        stream += QByteArray(reinterpret_cast<const char *>(&size), 4) + bytes;
    };
    for (const auto &[path, data] : objects) {
        add(path);
        add(data);
    }
    add(QByteArray());
    config::Result<HelpContent> content = HelpContent::fromStream(stream);
    return std::move(*content);
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
    HelpContent::Reader reader;
    QString startDir;

    // Opens help the way the main window's F1 does.
    HelpWindow *openHelp()
    {
        DesktopServices::instance().showHelp(owner.get());
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
        // Help opens as the main window opens it; this program is its own help reader.
        DesktopServices::setHelpViewer(
            [this](QWidget *owner) { HelpWindow::showFor(owner, reader); });
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
        DesktopServices::instance().showHelp(&other);
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
                QVERIFY(help.browser()->toPlainText().startsWith(
                    QStringLiteral("The help file cut.chm could not be opened. It ")));
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
        const quint32 seed = testSeed(20261210);
        QRandomGenerator random(seed);
        const QString path = dir->filePath(QStringLiteral("damaged.chm"));
        HelpWindow help(nullptr, {QString(), 3000});
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
                QVERIFY(help.browser()->toPlainText().startsWith(
                    QStringLiteral("The help file damaged.chm could not be opened. It ")));
            }
        }
        qInfo("%d of 200 damaged files still opened", opened);
    }

    // What the reading process may do with a file that breaks it: crash, hang, stop half way
    // or write nonsense. The window shows the notice in time each way and this process lives.
    void readerFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("why"); // the notice's last sentence
        const QString unreadable = QStringLiteral("It could not be read; it may be damaged.");
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << unreadable;
        QTest::newRow("runs out of memory") << QByteArray("kill -KILL $$") << unreadable;
        QTest::newRow("hangs") << QByteArray("exec sleep 60")
                               << QStringLiteral("Reading it took too long.");
        QTest::newRow("stops half way") << QByteArray("printf 'merrow-help 1\\n\\005\\0\\0\\0/a.h'")
                                        << QStringLiteral("It is damaged.");
        QTest::newRow("writes nonsense")
            << QByteArray("head -c 100000 /dev/urandom") << QStringLiteral("It is damaged.");
        // Either limit may come first on a busy machine.
        QTest::newRow("writes without end")
            << QByteArray("exec cat /dev/zero")
            << QStringLiteral(
                   "It holds more than the help window can show.|Reading it took too long.");
    }
    void readerFailures()
    {
        QFETCH(QByteArray, script);
        installHelpFile();
        QFETCH(QString, why);
        const QString program = dir->filePath(QStringLiteral("reader.sh"));
        writeAll(program, "#!/bin/sh\n" + script + "\n");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        this->reader = {program, 1500};
        HelpWindow *help = openHelp();
        this->reader = {};
        QVERIFY(!help->isFileOpen());
        QVERIFY(help->browser()->toPlainText().startsWith(notice()));
        const QString shown = help->browser()->toPlainText();
        const QStringList answers = why.split(u'|');
        QVERIFY2(std::any_of(answers.cbegin(), answers.cend(),
                             [&](const QString &w) { return shown.endsWith(w); }),
                 qPrintable(shown));
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

    // A page naming pictures and style sheets (linked, imported, url() in a sheet, the same
    // name as both, a FIFO, a device) by absolute paths, climbing paths, other schemes and
    // bare names gets placeholders: no file on disk is even opened. Nor by a resource of any
    // type asked for directly.
    void opensNoFileOutside()
    {
        installHelpFile();
        const QString probe = QStringLiteral("/tmp/merrow-help-probe");
        QDir(probe).removeRecursively();
        QVERIFY(QDir().mkpath(probe));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        for (const char *name : {"absolute.png", "climbing.png", "file.png", "background.png",
                                 "body.png", "table.png", "cell.png"})
            QVERIFY(picture.save(QDir(probe).filePath(QString::fromLatin1(name))));
        for (const char *name : {"style.css", "imported.css", "escaped.css"})
            writeAll(QDir(probe).filePath(QString::fromLatin1(name)), "body { color: red }");
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
        QVERIFY(!help->browser()->toPlainText().contains(QStringLiteral("red")));
        const QStringList names{probe + QStringLiteral("/style.css"),
                                QStringLiteral("../../../../tmp/merrow-help-probe/fifo"),
                                QStringLiteral("file://") + probe + QStringLiteral("/fifo"),
                                QStringLiteral("/dev/zero"),
                                QStringLiteral("style.css"),
                                QStringLiteral("data:text/css,body{color:red}")};
        for (const int type :
             {int(QTextDocument::HtmlResource), int(QTextDocument::ImageResource),
              int(QTextDocument::StyleSheetResource), int(QTextDocument::MarkdownResource),
              int(QTextDocument::UserResource), int(QTextDocument::UserResource) + 7}) {
            for (const QString &name : names) {
                const QVariant answer = help->browser()->loadResource(type, QUrl(name));
                // An answer of every kind, but for pages a picture (see loadResource).
                QVERIFY(!answer.isNull());
                const bool page =
                    type == QTextDocument::HtmlResource || type == QTextDocument::MarkdownResource;
                QVERIFY2(page || answer.value<QImage>().size() == QSize(1, 1), qPrintable(name));
                QVERIFY(!answer.toString().contains(QStringLiteral("red")));
            }
        }

        char events[4096];
        const ssize_t got = ::read(watcher, events, sizeof events);
        ::close(watcher);
        QDir(probe).removeRecursively();
        QCOMPARE(got, ssize_t(-1));
    }

    // Pages that took the window down, shown in it: each is laid out and painted, and shows
    // its last words or its source below the notice.
    void craftedPagesAreShown()
    {
        const QString probe = dir->filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(probe).constData(), 0600), 0);
        const QByteArray fifo = QFile::encodeName(probe);
        const auto nested = [](const char *open, const char *close, int depth) {
            return QByteArray(open).repeated(depth) + "last words" +
                   QByteArray(close).repeated(depth);
        };
        const QList<std::pair<QByteArray, QByteArray>> pages{
            {"/tables.htm", nested("<table><tr><td>", "</td></tr></table>", 3000)},
            {"/tables500.htm", nested("<table><tr><td>", "", 500)},
            {"/items.htm", nested("<ul><li>", "</li></ul>", 50000)},
            {"/divs.htm", nested("<div>", "</div>", 100000)},
            {"/fifo.htm", "<link rel=stylesheet href=\"" + fifo + "\"><img src=\"" + fifo +
                              "\"><img src=\"file://" + fifo + "\"><p>last words</p>"},
            {"/controls.htm", QByteArray("<p>\x01\x02\x1b[31m\x7f\x81\x9b&#27;&#xfffe;") +
                                  QByteArray(1000, '\0') + "last words</p>"},
        };
        const HelpContent content = contentOf(pages);
        HelpBrowser browser;
        browser.setContent(&content);
        browser.resize(640, 480);
        LongLines::guard(&browser);
        for (const auto &[path, page] : pages) {
            browser.setSource(HelpBrowser::topicUrl(QString::fromLatin1(path)));
            browser.grab();
            const QString shown = browser.toPlainText();
            QVERIFY2(shown.contains(QStringLiteral("last words")) ||
                         shown.startsWith(HelpPage::sourceNotice()),
                     path.constData());
            QVERIFY2(!shown.contains(QChar(0x1b)) && !shown.contains(QChar(0)), path.constData());
        }
    }

    // Seeded mutations of the shipped help file: each is opened and every topic of its
    // contents, every index entry and every search result is shown.
    void mutatedShippedHelpIsShown()
    {
        QFile shipped(QStringLiteral(HELP_SHIPPED_FILE));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QByteArray whole = shipped.readAll();
        QRandomGenerator random(testSeed(20261211));
        const QString path = dir->filePath(QStringLiteral("mutant.chm"));
        HelpWindow help(nullptr, {QString(), 5000});
        auto *tree = help.findChild<QTreeWidget *>(QStringLiteral("helpContents"));
        auto *index = help.findChild<QListWidget *>(QStringLiteral("helpIndex"));
        auto *field = help.findChild<QLineEdit *>(QStringLiteral("helpSearchField"));
        auto *results = help.findChild<QListWidget *>(QStringLiteral("helpSearchResults"));
        int opened = 0, shown = 0, asSource = 0;
        // MERROW_MUTANTS makes a longer run.
        const int mutants = qEnvironmentVariableIntValue("MERROW_MUTANTS") > 0
                                ? qEnvironmentVariableIntValue("MERROW_MUTANTS")
                                : 6;
        for (int i = 0; i < mutants; ++i) {
            QByteArray mutant = whole;
            for (int n = 1 + random.bounded(4); n > 0; --n) {
                const qsizetype at = random.bounded(mutant.size());
                mutant[at] = random.bounded(2) ? char(mutant[at] ^ (1 << random.bounded(8)))
                                               : char(random.bounded(256));
            }
            writeAll(path, mutant);
            if (!help.openFile(path))
                continue;
            ++opened;
            const auto showing = [&] {
                help.browser()->document()->size(); // lays the whole page out
                ++shown;
                asSource += help.browser()->toPlainText().startsWith(HelpPage::sourceNotice());
            };
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                Q_EMIT tree->itemActivated(*it, 0);
                showing();
            }
            for (int row = 0; row < index->count(); ++row) {
                Q_EMIT index->itemActivated(index->item(row));
                showing();
            }
            // A word nearly every page holds.
            field->setText(QStringLiteral("the"));
            Q_EMIT field->returnPressed();
            for (int row = 0; row < results->count(); ++row) {
                Q_EMIT results->itemActivated(results->item(row));
                showing();
            }
            help.browser()->grab();
        }
        qInfo("%d of %d mutants opened; %d pages shown, %d as their source", opened, mutants, shown,
              asSource);
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

    void contentsTree()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        auto *tree = help->findChild<QTreeWidget *>(QStringLiteral("helpContents"));
        QVERIFY(tree);
        QStringList shape;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QString indent((*it)->parent() ? 1 : 0, u'-');
            shape << indent + (*it)->text(0);
        }
        // The "site properties" object is no entry; nesting follows the lists.
        QCOMPARE(shape,
                 QStringList({QStringLiteral("Start & welcome"), QStringLiteral("-Second page"),
                              QStringLiteral("More pages"), QStringLiteral("-Third page")}));

        // A backslash path and a name of the file's own pages in another spelling both open.
        QTreeWidgetItem *second = tree->topLevelItem(0)->child(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(second).center());
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("The second page")));
        QTreeWidgetItem *third = tree->topLevelItem(1)->child(0);
        Q_EMIT tree->itemActivated(third, 0);
        QCOMPARE(help->browser()->source(),
                 HelpBrowser::topicUrl(QStringLiteral("/pages/third.htm#top")));

        // A heading without a page opens and closes; the page shown stays.
        QTreeWidgetItem *heading = tree->topLevelItem(1);
        QVERIFY(heading->isExpanded());
        Q_EMIT tree->itemClicked(heading, 0);
        QVERIFY(!heading->isExpanded());
        QCOMPARE(help->browser()->source().path(), QStringLiteral("/pages/third.htm"));

        // The tree follows pages reached by links and history too.
        QTest::mouseClick(help->findChild<QToolButton *>(QStringLiteral("helpHome")),
                          Qt::LeftButton);
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        // Keys move through the topics, each shown on the way, each once in the history.
        QTest::keyClick(tree, Qt::Key_Down);
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("The second page")));
        QTest::keyClick(tree, Qt::Key_Return);
        help->browser()->backward();
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Welcome")));
    }

    void indexTypeToFind_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("opens");
        const QStringList all{QStringLiteral("Caf\u00E9"), QStringLiteral("markers"),
                              QStringLiteral("page two"), QStringLiteral("second page"),
                              QStringLiteral("welcome")};
        // The entry pointing at the web is left out.
        QTest::newRow("nothing typed")
            << QString() << all << all.first() << "Caf\u00E9 \u20AC page";
        QTest::newRow("start of a keyword, any case")
            << QStringLiteral("CAF") << QStringList{all[0]} << all[0] << "Caf\u00E9 \u20AC page";
        QTest::newRow("a keyword starting so comes first")
            << QStringLiteral("page") << QStringList{all[2], all[3]} << all[2] << "The second page";
        QTest::newRow("inside a keyword") << QStringLiteral("elco") << QStringList{all[4]} << all[4]
                                          << "Welcome to the test help";
        QTest::newRow("no keyword")
            << QStringLiteral("zz") << QStringList() << QString() << "Welcome to the test help";
    }
    void indexTypeToFind()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosen);
        QFETCH(QString, opens);
        installHelpFile();
        HelpWindow *help = openHelp();
        auto *filter = help->findChild<QLineEdit *>(QStringLiteral("helpIndexFilter"));
        auto *index = help->findChild<QListWidget *>(QStringLiteral("helpIndex"));
        QVERIFY(filter && index);
        QTest::keyClicks(filter, typed);
        QCOMPARE(itemTexts(index), shown);
        QCOMPARE(index->currentItem() ? index->currentItem()->text() : QString(), chosen);
        QTest::keyClick(filter, Qt::Key_Return);
        QVERIFY2(help->browser()->toPlainText().contains(opens),
                 qPrintable(help->browser()->toPlainText()));
    }

    void indexKeysMoveFromTheFilter()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        auto *filter = help->findChild<QLineEdit *>(QStringLiteral("helpIndexFilter"));
        auto *index = help->findChild<QListWidget *>(QStringLiteral("helpIndex"));
        QTest::keyClicks(filter, QStringLiteral("page"));
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(index->currentItem()->text(), QStringLiteral("second page"));
        QCOMPARE(filter->text(), QStringLiteral("page"));
    }

    void search_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("titles");
        const QString start = QStringLiteral("Start"), second = QStringLiteral("Second"),
                      third = QStringLiteral("Third");
        QTest::newRow("one page") << QStringLiteral("welcome") << QStringList{start};
        // Most uses first, then by title; the title alone is no hit.
        QTest::newRow("any case, ranked")
            << QStringLiteral("PAGE") << QStringList{second, start, third};
        QTest::newRow("start of a word, 8-bit page") << QStringLiteral("caf") << QStringList{third};
        QTest::newRow("every word needed")
            << QStringLiteral("second welcome") << QStringList{start};
        QTest::newRow("tags are no text") << QStringLiteral("href") << QStringList();
        QTest::newRow("no page") << QStringLiteral("nowhere") << QStringList();
    }
    void search()
    {
        QFETCH(QString, question);
        QFETCH(QStringList, titles);
        installHelpFile();
        HelpWindow *help = openHelp();
        auto *field = help->findChild<QLineEdit *>(QStringLiteral("helpSearchField"));
        auto *results = help->findChild<QListWidget *>(QStringLiteral("helpSearchResults"));
        QVERIFY(field && results && help->findChild<QWidget *>(QStringLiteral("helpSearch")));
        QTest::keyClicks(field, question);
        QTest::keyClick(field, Qt::Key_Return);
        if (titles.isEmpty()) {
            QCOMPARE(results->count(), 1); // the line that says nothing was found
            QCOMPARE(results->item(0)->flags(), Qt::NoItemFlags);
            return;
        }
        QCOMPARE(itemTexts(results), titles);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                          results->visualItemRect(results->item(titles.size() - 1)).center());
        QCOMPARE(help->browser()->documentTitle(), titles.last());
    }

    void sitemapTopicPaths_data()
    {
        QTest::addColumn<QString>("sitemap");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("path");
        QTest::newRow("relative") << "/toc.hhc"
                                  << "a/page.htm"
                                  << "/a/page.htm";
        QTest::newRow("beside a sitemap in a folder") << "/h/toc.hhc"
                                                      << "page.htm#x"
                                                      << "/h/page.htm#x";
        QTest::newRow("backslashes") << "/toc.hhc"
                                     << "a\\page.htm"
                                     << "/a/page.htm";
        QTest::newRow("climbing stays inside") << "/h/toc.hhc"
                                               << "../../../p.htm"
                                               << "/p.htm";
        QTest::newRow("file's own page") << "/toc.hhc"
                                         << "ms-its:x.chm::/a/p.htm"
                                         << "/a/p.htm";
        QTest::newRow("file's own page, old form") << "/toc.hhc"
                                                   << "mk:@MSITStore:C:\\x.chm::/p.htm"
                                                   << "/p.htm";
        QTest::newRow("web") << "/toc.hhc"
                             << "http://example.com/p.htm"
                             << "";
        QTest::newRow("file on disk") << "/toc.hhc"
                                      << "file:///etc/passwd"
                                      << "";
        QTest::newRow("nothing") << "/toc.hhc"
                                 << "  "
                                 << "";
    }
    void sitemapTopicPaths()
    {
        QFETCH(QString, sitemap);
        QFETCH(QString, local);
        QFETCH(QString, path);
        QCOMPARE(HelpSitemap::topicPath(sitemap, local), path);
    }

    // A damaged contents or index may hold any bytes: parsing it ends, soon, and whatever
    // entries it finds stay within the limits the window relies on.
    void damagedSitemapsAreParsed()
    {
        const QByteArray whole = testData(QStringLiteral("help/contents.hhc"));
        QRandomGenerator random(testSeed(20261211));
        for (int i = 0; i < 300; ++i) {
            QByteArray damaged = whole;
            for (int n = 1 + random.bounded(8); n > 0; --n)
                damaged[random.bounded(damaged.size())] = char(random.bounded(256));
            damaged = damaged.left(random.bounded(damaged.size() + 1));
            for (const HelpSitemap::Entry &entry : HelpSitemap::parse(damaged))
                QVERIFY(entry.depth >= 0 && entry.depth <= HelpSitemap::DeepestLevel);
        }
        // Inputs that would take quadratic time or unbounded depth from a naive reader. Work
        // is counted, not timed: per byte, four times the input may take at most a sixteenth
        // more steps.
        const QByteArray entry("<UL><OBJECT type=\"text/sitemap\"><param name=Name value=x>");
        const QList<std::function<QByteArray(qsizetype)>> hostile{
            [](qsizetype size) { return QByteArray("<a b=\"").repeated(size / 6); },
            [](qsizetype size) { return QByteArray("<a b='>").repeated(size / 7); },
            [](qsizetype size) { return QByteArray("<!--<").repeated(size / 5); },
            [](qsizetype size) { return QByteArray("&#").repeated(size / 2); },
            [](qsizetype size) { return QByteArray(size, '<'); },
            [&entry](qsizetype size) { return entry.repeated(size / entry.size()); },
        };
        const auto steps = [](const QByteArray &input) {
            const qsizetype before = HelpHtml::workSteps;
            const QList<HelpSitemap::Entry> entries = HelpSitemap::parse(input);
            HelpHtml::pageText(HelpHtml::decode(input));
            [&] {
                QVERIFY(entries.size() <= HelpSitemap::MostEntries);
                for (const HelpSitemap::Entry &e : entries)
                    QVERIFY(e.depth <= HelpSitemap::DeepestLevel);
            }();
            return qint64(HelpHtml::workSteps - before);
        };
        constexpr qsizetype Small = 1024 * 1024;
        for (const auto &make : hostile) {
            const QByteArray small = make(Small), large = make(4 * Small);
            const qint64 smallSteps = steps(small), largeSteps = steps(large);
            QVERIFY(smallSteps >= small.size());
            QVERIFY2(16 * largeSteps * small.size() <= 17 * smallSteps * large.size(),
                     qPrintable(QStringLiteral("%1: %2 steps for %3 bytes, %4 for %5")
                                    .arg(QString::fromLatin1(small.left(12)))
                                    .arg(smallSteps)
                                    .arg(small.size())
                                    .arg(largeSteps)
                                    .arg(large.size())));
        }
    }

    // The look follows the desktop: a page shown while the palette turns dark takes the new
    // link colour, and the page itself sets no colours.
    void followsThePalette()
    {
        installHelpFile();
        HelpWindow *help = openHelp();
        const QPalette light = QApplication::palette();
        QPalette dark = light;
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Link, QColor(0x66, 0xaa, 0xff));
        QApplication::setPalette(dark);
        QCoreApplication::processEvents(); // the palette reaches the widgets by posted events
        const QTextDocument *page = help->browser()->document();
        const QColor link =
            page->find(QStringLiteral("Second page")).charFormat().foreground().color();
        const bool textColoured = page->find(QStringLiteral("Welcome"))
                                      .charFormat()
                                      .hasProperty(QTextFormat::ForegroundBrush);
        QApplication::setPalette(light);
        QCoreApplication::processEvents();
        QCOMPARE(link, dark.color(QPalette::Link));
        QVERIFY(!textColoured);
    }

    // The help that ships: every topic of its contents and index opens in the window, and
    // every link and picture of every page is found inside the file.
    void shippedHelpIsComplete()
    {
        HelpWindow help;
        QVERIFY2(help.openFile(QStringLiteral(HELP_SHIPPED_FILE)), HELP_SHIPPED_FILE);
        const HelpContent *content = help.content();
        HelpBrowser *browser = help.browser();
        const QString missing = QStringLiteral("is not in the help file");
        auto opened = [&](const QString &topic) {
            const QString page = topic.section(u'#', 0, 0);
            return browser->source().path() == page && content->read(page) &&
                   !browser->toPlainText().contains(missing) &&
                   !browser->toPlainText().trimmed().isEmpty();
        };
        auto *tree = help.findChild<QTreeWidget *>(QStringLiteral("helpContents"));
        int topics = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it, ++topics) {
            const QString topic = (*it)->data(0, Qt::UserRole).toString();
            Q_EMIT tree->itemActivated(*it, 0);
            QVERIFY2(opened(topic), qPrintable((*it)->text(0) + QStringLiteral(": ") + topic));
        }
        auto *index = help.findChild<QListWidget *>(QStringLiteral("helpIndex"));
        for (int row = 0; row < index->count(); ++row, ++topics) {
            const QString topic = index->item(row)->data(Qt::UserRole).toString();
            Q_EMIT index->itemActivated(index->item(row));
            QVERIFY2(opened(topic),
                     qPrintable(index->item(row)->text() + QStringLiteral(": ") + topic));
        }
        QVERIFY(topics > 50);

        int pages = 0;
        for (const QString &path : content->paths()) {
            if (!HelpContent::isPage(path))
                continue;
            ++pages;
            browser->setSource(HelpBrowser::topicUrl(path));
            const QString page = HelpHtml::decode(*content->read(path));
            HelpHtml::Scanner scanner(page); // views the page, which must outlive it
            for (auto token = scanner.next(); token != HelpHtml::Scanner::End;
                 token = scanner.next()) {
                for (const char *name : {"href", "src"}) {
                    const QString reference = scanner.attribute(QLatin1StringView(name));
                    if (token != HelpHtml::Scanner::Tag || reference.isEmpty())
                        continue;
                    const QUrl target = browser->source().resolved(QUrl(reference));
                    const QString where = path + QStringLiteral(": ") + reference;
                    QVERIFY2(target.scheme() == HelpBrowser::scheme, qPrintable(where));
                    QVERIFY2(content->read(target.path(QUrl::FullyDecoded)), qPrintable(where));
                    if (scanner.tagName() == u"img")
                        QVERIFY2(browser->loadResource(QTextDocument::ImageResource, target)
                                         .value<QImage>()
                                         .width() > 1,
                                 qPrintable(where));
                }
            }
        }
        QVERIFY(pages >= 20);
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

    // Esc closes the help wherever the focus is in it, and only Esc without modifiers.
    void escapeCloses_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("page") << QStringLiteral("helpBrowser");
        QTest::newRow("contents") << QStringLiteral("helpContents");
        QTest::newRow("index filter") << QStringLiteral("helpIndexFilter");
        QTest::newRow("search field") << QStringLiteral("helpSearchField");
    }
    void escapeCloses()
    {
        QFETCH(QString, focus);
        installHelpFile();
        QPointer<HelpWindow> help = openHelp();
        QVERIFY(help && help->isFileOpen());
        auto *target = help->findChild<QWidget *>(focus);
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(help->isVisible());
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(!help);
    }
};

int main(int argc, char *argv[])
{
    if (const std::optional<int> code = HelpContent::serveIfAsked(argc, argv))
        return *code;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_HelpWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_helpwindow.moc"
