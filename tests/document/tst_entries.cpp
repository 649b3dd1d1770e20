// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "entries.h"
#include "textlines.h"

#include <QTest>

class tst_entries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("expected");

        QTest::newRow("class with no values")
            << classEntry(QStringLiteral("Empty"), {}) << crlfLines({"class Empty {", "\t};", ""});
        QTest::newRow("identity") << identityEntry({"Sgt1", "John", "Face20", "None", "Dan", "1.0"})
                                  << crlfLines({"class Sgt1 {", "\tname=\"John\";",
                                                "\tface=\"Face20\";", "\tglasses=\"None\";",
                                                "\tspeaker=\"Dan\";", "\tpitch=1.0;", "\t};", ""});
        QTest::newRow("identity, empty values keep their quotes")
            << identityEntry({"", "", "", "", "", ""})
            << crlfLines({"class  {", "\tname=\"\";", "\tface=\"\";", "\tglasses=\"\";",
                          "\tspeaker=\"\";", "\tpitch=;", "\t};", ""});
        QTest::newRow("radio") << radioEntry({"Msg1", "", "msg1.ogg", "+0", "1.0", "\"Hello\""})
                               << crlfLines({"class Msg1 {", "\tname=\"\";",
                                             "\tsound[]={\"msg1.ogg\", db+0, 1.0};",
                                             "\ttitle=\"Hello\";", "\t};", ""});
        QTest::newRow("sound") << soundEntry(
                                      {"Boom", "Big", "boom.ogg", "-5", "0.8", "0, \"Boom\""})
                               << crlfLines({"class Boom {", "\tname=\"Big\";",
                                             "\tsound[]={\"boom.ogg\", db-5, 0.8};",
                                             "\ttitles[]={0, \"Boom\"};", "\t};", ""});
        QTest::newRow("sound, no titles")
            << soundEntry({"S", "", "s", "3", "1", ""})
            << crlfLines({"class S {", "\tname=\"\";", "\tsound[]={\"s\", db3, 1};",
                          "\ttitles[]={};", "\t};", ""});
        QTest::newRow("music") << musicEntry({"Track1", "Theme", "music\\t1.ogg", "+0", "1.0"})
                               << crlfLines({"class Track1 {", "\tname=\"Theme\";",
                                             "\tsound[]={\"music\\t1.ogg\", db+0, 1.0};", "\t};",
                                             ""});
        // Whatever is typed goes through untouched: no trimming, escaping or recoding.
        QTest::newRow("values copied as typed")
            << musicEntry({" a\tb ", "\"q\" \\", "ä€😀", " ", ""})
            << crlfLines({"class  a\tb  {", "\tname=\"\"q\" \\\";", "\tsound[]={\"ä€😀\", db , };",
                          "\t};", ""});
    }
    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(QString, expected);
        QCOMPARE(entry, expected);
    }

    // Every line break is CR LF, so an entry never introduces a lone CR or LF.
    void onlyCrLfBreaks()
    {
        const QString entry = soundEntry({"A", "B", "C", "D", "E", "F"});
        QCOMPARE(entry.count(u'\n'), 6);
        QCOMPARE(entry.count(QStringLiteral("\r\n")), 6);
        QCOMPARE(entry.count(u'\r'), 6);
    }
};

QTEST_GUILESS_MAIN(tst_entries)
#include "tst_entries.moc"
