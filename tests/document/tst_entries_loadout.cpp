// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "entries.h"
#include "textlines.h"

#include <QTest>

Q_DECLARE_METATYPE(LoadoutRow)
Q_DECLARE_METATYPE(MPParamsValues)

// Exact texts of the loadout rows and of the MP parameter entry.
class tst_EntriesLoadout : public QObject
{
    Q_OBJECT

private:
    static LoadoutRow on(const QString &cls, const QString &qty) { return {cls, qty, true}; }
    static LoadoutRow off(const QString &cls, const QString &qty) { return {cls, qty, false}; }

private Q_SLOTS:
    void loadoutBlock_data()
    {
        QTest::addColumn<QList<LoadoutRow>>("rows");
        QTest::addColumn<QString>("expected");

        QTest::newRow("one empty row")
            << QList<LoadoutRow>{on({}, {})} << crlfLines({"class ", "{ count=; };"});
        QTest::newRow("one row") << QList<LoadoutRow>{on("RifleA", "4")}
                                 << crlfLines({"class RifleA", "{ count=4; };"});
        QTest::newRow("rows 1 and 3, row order")
            << QList<LoadoutRow>{on("A", "1"), off("B", "2"), on("C", "3")}
            << crlfLines({"class A", "{ count=1; };", "class C", "{ count=3; };"});
        QTest::newRow("all off") << QList<LoadoutRow>{off("A", "1"), off({}, {}), off("C", "3")}
                                 << QString();
        QTest::newRow("no rows") << QList<LoadoutRow>{} << QString();
        QTest::newRow("copied as typed")
            << QList<LoadoutRow>{on(" M16 \"x\"", "four "), on("B", "")}
            << crlfLines({"class  M16 \"x\"", "{ count=four ; };", "class B", "{ count=; };"});
        QTest::newRow("all seven")
            << QList<LoadoutRow>{on("1", "a"), on("2", "b"), on("3", "c"), on("4", "d"),
                                 on("5", "e"), on("6", "f"), on("7", "g")}
            << crlfLines({"class 1", "{ count=a; };", "class 2", "{ count=b; };", "class 3",
                          "{ count=c; };", "class 4", "{ count=d; };", "class 5", "{ count=e; };",
                          "class 6", "{ count=f; };", "class 7", "{ count=g; };"});
    }

    // The same rules hold for both frames, each of which ends up in its own block.
    void loadoutBlock()
    {
        QFETCH(QList<LoadoutRow>, rows);
        QFETCH(QString, expected);
        QCOMPARE(loadoutEntries(rows, {}).weapons, expected);
        QCOMPARE(loadoutEntries(rows, {}).magazines, QString());
        QCOMPARE(loadoutEntries({}, rows).magazines, expected);
        QCOMPARE(loadoutEntries({}, rows).weapons, QString());
    }

    void loadoutBlocksAreIndependent()
    {
        const LoadoutBlocks blocks =
            loadoutEntries({on("W", "1"), off("X", "9")}, {off("Y", "9"), on("M", "2")});
        QCOMPARE(blocks.weapons, crlfLines({"class W", "{ count=1; };"}));
        QCOMPARE(blocks.magazines, crlfLines({"class M", "{ count=2; };"}));
    }

    void mpParams_data()
    {
        QTest::addColumn<MPParamsValues>("values");
        QTest::addColumn<QString>("expected");

        QTest::newRow("example") << MPParamsValues{"Alpha", "0", "Time limit", "10,20", "A,B", "10"}
                                 << crlfLines({"class Alpha {", "\t// paramsArray[0]",
                                               "\ttitle=\"Time limit\";", "\tvalues[]={10,20};",
                                               "\ttexts[]={A,B};", "\tdefault=10;", "\t};", ""});
        QTest::newRow("empty number")
            << MPParamsValues{"C", "", "T", "1", "\"one\"", "1"}
            << crlfLines({"class C {", "\t// paramsArray[]", "\ttitle=\"T\";", "\tvalues[]={1};",
                          "\ttexts[]={\"one\"};", "\tdefault=1;", "\t};", ""});
        QTest::newRow("blanks and quotes kept")
            << MPParamsValues{" ", " 7 ", "say \"hi\"", "1, 2,3", "a", " "}
            << crlfLines({"class   {", "\t// paramsArray[ 7 ]", "\ttitle=\"say \"hi\"\";",
                          "\tvalues[]={1, 2,3};", "\ttexts[]={a};", "\tdefault= ;", "\t};", ""});
        QTest::newRow("all empty")
            << MPParamsValues{}
            << crlfLines({"class  {", "\t// paramsArray[]", "\ttitle=\"\";", "\tvalues[]={};",
                          "\ttexts[]={};", "\tdefault=;", "\t};", ""});
    }

    void mpParams()
    {
        QFETCH(MPParamsValues, values);
        QFETCH(QString, expected);
        QCOMPARE(mpParamsEntry(values), expected);
    }
};

QTEST_APPLESS_MAIN(tst_EntriesLoadout)
#include "tst_entries_loadout.moc"
