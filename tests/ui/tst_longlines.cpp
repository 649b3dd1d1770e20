// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "longlines.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

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
};

QTEST_MAIN(tst_longlines)
#include "tst_longlines.moc"
