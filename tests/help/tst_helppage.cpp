// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helphtml.h"
#include "helppage.h"
#include "testseed.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

QByteArray nested(const char *open, const char *close, int depth, const char *inner = "end")
{
    return QByteArray(open).repeated(depth) + inner + QByteArray(close).repeated(depth);
}

// What the browser gets must hold whatever the page was: the nesting within the limits, no
// control characters, no link and no at-rule. Gives what is wrong, or nothing.
QString shapeProblem(const QString &html)
{
    for (const QChar c : html) {
        if ((c < u' ' && c != u'\t' && c != u'\n' && c != u'\r') || c == QChar(0xFFFD) ||
            (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return QStringLiteral("character U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    int depth = 0, tables = 0, lists = 0;
    bool inStyle = false;
    HelpHtml::Scanner scanner(html);
    for (auto token = scanner.next(); token != HelpHtml::Scanner::End; token = scanner.next()) {
        if (token == HelpHtml::Scanner::Text) {
            if (inStyle && scanner.text().contains(u'@'))
                return QStringLiteral("an at-rule");
            continue;
        }
        const QString &tag = scanner.tagName();
        if (tag == u"link")
            return QStringLiteral("a link");
        if (tag == u"style")
            inStyle = !scanner.isClosing();
        const int step = scanner.isClosing() ? -1 : 1;
        if (QStringList{QStringLiteral("img"), QStringLiteral("br"), QStringLiteral("hr"),
                        QStringLiteral("meta")}
                .contains(tag))
            continue;
        depth += step;
        tables += tag == u"table" ? step : 0;
        lists += tag == u"ul" || tag == u"ol" || tag == u"dl" ? step : 0;
        if (depth > HelpPage::DeepestNesting || tables > HelpPage::DeepestTables ||
            lists > HelpPage::DeepestLists || depth < 0)
            return QStringLiteral("nesting %1, tables %2, lists %3 at <%4%5>")
                .arg(depth)
                .arg(tables)
                .arg(lists)
                .arg(scanner.isClosing() ? QStringLiteral("/") : QString(), tag);
    }
    return depth == 0 ? QString() : QStringLiteral("%1 elements left open").arg(depth);
}

} // namespace

class tst_HelpPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Crafted pages: each comes out in a shape the browser lays out quickly, with its text,
    // or as its source below the notice.
    void craftedPages_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("asSource");
        QTest::addColumn<QString>("shows");
        QTest::newRow("3,000 nested tables")
            << nested("<table><tr><td>", "</td></tr></table>", 3000) << true << "&lt;table&gt;";
        QTest::newRow("500 nested tables, closed by the end")
            << QByteArray("<table><tr><td>").repeated(500) + "end" << false << "end";
        QTest::newRow("50,000 nested list items")
            << nested("<ul><li>", "</li></ul>", 50000) << true << "&lt;ul&gt;";
        QTest::newRow("100,000 nested divs")
            << nested("<div>", "</div>", 100000) << true << "&lt;div&gt;";
        QTest::newRow("2,000 nested bold") << nested("<b>", "</b>", 2000) << false << "end";
        QTest::newRow("lists of lists within limits")
            << nested("<ul><li>a", "</ul>", 3000, "") + "end" << false << "end";
        QTest::newRow("a page too large")
            << QByteArray(HelpPage::LargestPage + 1, 'x') << true << QString(100, u'x');
        QTest::newRow("control characters and invalid bytes")
            << QByteArray("<p title=\"a\x01&#1;b\">c") + QByteArray(1, '\0') +
                   "\x1b\x7f\x81&#0;&#x9b;&#xD800;d&#233;</p>"
            << false << "cd&#233;";
        QTest::newRow("a script") << QByteArray("<script>if (a<b) x();</script>end") << false
                                  << "end";
    }
    void craftedPages()
    {
        QFETCH(QByteArray, page);
        QFETCH(bool, asSource);
        QFETCH(QString, shows);
        const qsizetype before = HelpHtml::workSteps;
        const HelpPage::Prepared prepared = HelpPage::prepare(page);
        // Work in proportion to the page, whatever it holds.
        QVERIFY(HelpHtml::workSteps - before <= 40 * page.size() + 1000);
        QCOMPARE(prepared.asSource, asSource);
        QVERIFY2(prepared.html.contains(shows), qPrintable(prepared.html.left(300)));
        if (asSource)
            QVERIFY(prepared.html.contains(HelpPage::sourceNotice()));
        const QString problem = shapeProblem(prepared.html);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Style sheets come from the reader only, without what would make the browser fetch
    // another file.
    void styleSheets()
    {
        QStringList asked;
        const HelpPage::StyleSheetReader reader =
            [&](const QString &href) -> std::optional<QByteArray> {
            asked << href;
            if (href == u"style.css")
                return QByteArray("@import url(/dev/zero); p { color: red }\n"
                                  "\\40 import \"x.css\"; body { background: url(fifo) }");
            if (href == u"deep.css")
                return QByteArray("a { b: f(").repeated(20);
            return std::nullopt;
        };
        const HelpPage::Prepared prepared = HelpPage::prepare(
            "<link rel=stylesheet href=style.css><link rel=\"STYLESHEET\" href='deep.css'>"
            "<link rel=stylesheet href=/dev/zero><link rel=icon href=other.css>"
            "<style>@import 'a.css'; h1 { margin: 0 }</style><p>text</p>",
            reader);
        QCOMPARE(asked, QStringList({QStringLiteral("style.css"), QStringLiteral("deep.css"),
                                     QStringLiteral("/dev/zero")}));
        QVERIFY(prepared.html.contains(u"p { color: red }"));
        QVERIFY(prepared.html.contains(u"h1 { margin: 0 }"));
        QVERIFY(!prepared.html.contains(u"b: f("));
        const QString problem = shapeProblem(prepared.html);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Seeded mutations of the test pages: the shape holds, and a page that comes out as a
    // page comes out the same when prepared again (what the browser gets is what was
    // checked).
    void mutatedPages()
    {
        const QDir pages(QStringLiteral(HELP_TEST_PAGES));
        QList<QByteArray> originals;
        for (const QString &name : pages.entryList({QStringLiteral("*.htm")})) {
            QFile file(pages.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            originals << file.readAll();
        }
        QVERIFY(originals.size() >= 4);
        QRandomGenerator random(testSeed(20261209));
        const char pieces[][10] = {"<",       ">",    "\"",   "'",       "&#",   "</",
                                   "<table>", "<li>", "<ul>", "<style>", "\x01", "\xff"};
        for (int i = 0; i < 2000; ++i) {
            QByteArray page = originals[random.bounded(originals.size())];
            for (int n = 1 + random.bounded(6); n > 0 && !page.isEmpty(); --n) {
                const qsizetype at = random.bounded(page.size());
                switch (random.bounded(3)) {
                case 0:
                    page[at] = char(page[at] ^ (1 << random.bounded(8)));
                    break;
                case 1:
                    page.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                    break;
                default:
                    page.remove(at, random.bounded(40));
                }
            }
            const HelpPage::Prepared prepared = HelpPage::prepare(page);
            const QString problem = shapeProblem(prepared.html);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(problem + QStringLiteral(" in\n") + QString::fromLatin1(page)));
            if (!prepared.asSource)
                QCOMPARE(HelpPage::prepare(prepared.html.toUtf8()).html, prepared.html);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HelpPage)
#include "tst_helppage.moc"
