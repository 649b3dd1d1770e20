// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "longlines.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

using namespace Qt::StringLiterals;

// A box switches to wrapping anywhere once text holding a run longer than
// LongestRunWrappedAtWords arrives, wherever in a large text it stands, and only then.
class tst_longlines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wrapsAnywhere_data()
    {
        constexpr qsizetype Longest = LongLines::LongestRunWrappedAtWords;
        const QString lines = QStringLiteral("x = 1;\n").repeated(5000);
        const QString run(Longest + 1, u'a');
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("at"); // where `added` goes into `start`
        QTest::addColumn<QString>("added");
        QTest::addColumn<bool>("anywhere");
        QTest::newRow("many short lines") << QString() << 0 << lines << false;
        QTest::newRow("a long run in the middle")
            << QString() << 0 << lines + run + u'\n' + lines << true;
        QTest::newRow("a run exactly as long as allowed")
            << QString() << 0 << lines + QString(Longest, u'a') + u'\n' + lines << false;
        QTest::newRow("no-break spaces do not break a run")
            << QString() << 0
            << QString(Longest / 2, u'a') + QChar::Nbsp + QString(Longest / 2, u'a') << true;
        QTest::newRow("long words, each short enough")
            << QString() << 0 << (QString(Longest, u'a') + u' ').repeated(3) << false;
        // A run is made of the inserted text and the line around it; a break ends it.
        const QString line = lines + QString(Longest - 100, u'b') + lines;
        QTest::newRow("inserted at the end of a long line")
            << line << int(lines.size() + Longest - 100)
            << QString(Longest / 2, u'c') + u' ' + QString(Longest / 2, u'd') << true;
        QTest::newRow("inserted before a long line, after a break")
            << line << int(lines.size()) << QStringLiteral("\n") + QString(Longest, u'c') + u' '
            << false;
    }
    void wrapsAnywhere()
    {
        QFETCH(QString, start);
        QFETCH(int, at);
        QFETCH(QString, added);
        QFETCH(bool, anywhere);
        QPlainTextEdit box;
        box.setPlainText(start);
        LongLines::guard(&box);
        QTextCursor cursor(box.document());
        cursor.setPosition(at);
        cursor.insertText(added);
        QCOMPARE(box.wordWrapMode() == QTextOption::WrapAnywhere, anywhere);
    }

    // A line longer than LongestLineShown is cut there and ended with the note; other lines
    // and the breaks between them stay, one LF each once anything is cut. Every character
    // that is shown is found where shownOffset() says; one that is not, at its note.
    void shownCut_data()
    {
        constexpr qsizetype Longest = LongLines::LongestLineShown;
        const QString longest(Longest, u'a');
        const QString longer = u"x=\""_s + QString(Longest * 2, u'b') + u"\";"_s;
        QTest::addColumn<QString>("whole");
        QTest::addColumn<int>("cuts");
        QTest::newRow("short lines") << QStringLiteral("a=1;\r\nb=2;\n") << 0;
        QTest::newRow("as long as shown") << longest + u"\r\n"_s + longest << 0;
        QTest::newRow("one line") << longer << 1;
        QTest::newRow("between short lines, CR LF")
            << u"a=1;\r\n"_s + longer + u"\r\nb=2;\r\n"_s << 1;
        QTest::newRow("two, with every kind of break")
            << longer + u"\r"_s + longer + u"\n\u2029c;\u2028"_s + longest + u"a"_s << 3;
        QTest::newRow("a character of two halves at the cut")
            << QString(Longest - 1, u'a') + QString::fromUtf16(u"\U0001F600").repeated(3) << 1;
        QString entries;
        for (int i = 0; entries.size() <= Longest * 3; ++i)
            entries += u"a%1=1;"_s.arg(i);
        QTest::newRow("short entries on one line") << entries + u"\r\n"_s + entries << 2;
    }
    void shownCut()
    {
        QFETCH(QString, whole);
        QFETCH(int, cuts);
        const LongLines::ShownText shown = LongLines::shownText(whole);
        QCOMPARE(shown.cuts.size(), cuts);
        QCOMPARE(LongLines::hasOverlongLine(whole), cuts > 0);
        if (cuts == 0) {
            QCOMPARE(shown.text, whole);
            return;
        }
        QString lf = whole;
        lf.replace(u"\r\n"_s, u"\n"_s);
        for (QChar &c : lf) {
            if (c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
                c = u'\n';
        }
        const QStringList lines = shown.text.split(u'\n');
        QCOMPARE(lines.size(), lf.split(u'\n').size());
        for (const QString &line : lines)
            QVERIFY(line.size() <=
                    LongLines::LongestLineShown + LongLines::cutNote(lf.size()).size());
        int cut = 0;
        for (qsizetype i = 0; i < lf.size(); ++i) {
            const qsizetype at = shown.shownOffset(i);
            while (cut < cuts && i >= shown.cuts[cut].to)
                ++cut;
            if (cut < cuts && i >= shown.cuts[cut].from) {
                const LongLines::ShownText::Cut &c = shown.cuts[cut];
                QCOMPARE(at, c.shownAt);
                QVERIFY(!shown.text[c.shownAt - 1].isHighSurrogate());
                QCOMPARE(shown.text.mid(c.shownAt, c.noteLength),
                         LongLines::cutNote(c.to - c.from));
            } else {
                QCOMPARE(shown.text[at], lf[i]);
            }
        }
    }
};

QTEST_MAIN(tst_longlines)
#include "tst_longlines.moc"
