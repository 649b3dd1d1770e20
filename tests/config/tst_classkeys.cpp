// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "classkeys.h"
#include "knownkeys.h"

#include <QTest>

using config::KeyContext;
using config::keyContextAt;

namespace {

QStringList namesIn(const QStringList &path)
{
    QStringList names;
    for (const config::KeyInfo &key : config::keysIn(path))
        names << key.written();
    return names;
}

} // namespace

class tst_ClassKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Where the cursor stands ("|" marks it), from the text before it.
    void context_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("root");
        QTest::addColumn<bool>("atKey");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("prefix");
        const QStringList top;
        const QStringList sounds{u"CfgSounds"_qs};
        QTest::newRow("empty") << u"|"_qs << top << true << top << QString();
        QTest::newRow("typing at the top")
            << u"saving = 1;\ncorp|"_qs << top << true << top << u"corp"_qs;
        QTest::newRow("after a value") << u"saving = |"_qs << top << false << top << QString();
        QTest::newRow("typing a value") << u"respawn = BA|"_qs << top << false << top << QString();
        QTest::newRow("inside a class")
            << u"class CfgSounds\n{\n  class s1\n  {\n    na|"_qs << top << true
            << QStringList{u"CfgSounds"_qs, u"s1"_qs} << u"na"_qs;
        QTest::newRow("class with a base")
            << u"class A : B {\n |"_qs << top << true << QStringList{u"A"_qs} << QString();
        QTest::newRow("after a closed class")
            << u"class A { x = 1; };\n|"_qs << top << true << top << QString();
        QTest::newRow("declaration") << u"class A;\n|"_qs << top << true << top << QString();
        QTest::newRow("inside an array") << u"a[] = {1, |"_qs << top << false << top << QString();
        QTest::newRow("after an array")
            << u"a[] = {1, 2};\n|"_qs << top << true << top << QString();
        QTest::newRow("braces in a string") << u"class A { t = \"{ class X {\"; // }\n  |"_qs << top
                                            << true << QStringList{u"A"_qs} << QString();
        QTest::newRow("braces in a block comment")
            << u"/* class X { */ |"_qs << top << true << top << QString();
        QTest::newRow("in a line comment") << u"// sav|"_qs << top << false << top << QString();
        QTest::newRow("in a string") << u"author = \"sav|"_qs << top << false << top << QString();
        QTest::newRow("in a directive") << u"#include \"a|"_qs << top << false << top << QString();
        QTest::newRow("after a directive")
            << u"#define X 1\nsa|"_qs << top << true << top << u"sa"_qs;
        QTest::newRow("a box's root") << u"class s1 {\n  ti|"_qs << sounds << true
                                      << QStringList{u"CfgSounds"_qs, u"s1"_qs} << u"ti"_qs;
        QTest::newRow("a class name") << u"class Cfg|"_qs << top << true << top << u"Cfg"_qs;
        QTest::newRow("unbalanced close") << u"};\n};\nsa|"_qs << top << true << top << u"sa"_qs;
    }
    void context()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, root);
        QFETCH(bool, atKey);
        QFETCH(QStringList, path);
        QFETCH(QString, prefix);
        const qsizetype cursor = text.indexOf(u'|');
        const KeyContext c = keyContextAt(QStringView(text).first(cursor), root);
        QCOMPARE(c.atKey, atKey);
        if (!atKey)
            return;
        QCOMPARE(c.classPath, path);
        QCOMPARE(c.prefix, prefix);
        QCOMPARE(text.mid(c.prefixStart, prefix.size()), prefix);
    }

    // The keys offered inside each known class, and what is not offered there.
    void keysOfClasses_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("notOffered");
        QTest::newRow("top level")
            << QStringList()
            << QStringList{u"author"_qs,  u"corpseLimit"_qs, u"respawnTemplates[]"_qs,
                           u"respawn"_qs, u"CfgSounds"_qs,   u"disableChannels[]"_qs}
            << QStringList{u"name"_qs, u"title"_qs};
        QTest::newRow("a sound") << QStringList{u"cfgsounds"_qs, u"any"_qs}
                                 << QStringList{u"name"_qs, u"sound[]"_qs, u"titles[]"_qs}
                                 << QStringList{u"author"_qs, u"title"_qs};
        QTest::newRow("CfgSounds") << QStringList{u"CfgSounds"_qs} << QStringList{u"sounds[]"_qs}
                                   << QStringList{u"name"_qs};
        QTest::newRow("a parameter")
            << QStringList{u"Params"_qs, u"p"_qs}
            << QStringList{u"title"_qs, u"values[]"_qs, u"texts[]"_qs, u"default"_qs}
            << QStringList{u"sound[]"_qs};
        QTest::newRow("remote functions")
            << QStringList{u"CfgRemoteExec"_qs, u"Functions"_qs}
            << QStringList{u"mode"_qs, u"jip"_qs} << QStringList{u"allowedTargets"_qs};
        QTest::newRow("one remote function")
            << QStringList{u"CfgRemoteExec"_qs, u"Functions"_qs, u"f"_qs}
            << QStringList{u"allowedTargets"_qs, u"jip"_qs} << QStringList{u"mode"_qs};
        QTest::newRow("a function")
            << QStringList{u"CfgFunctions"_qs, u"T"_qs, u"C"_qs, u"f"_qs}
            << QStringList{u"file"_qs, u"postInit"_qs} << QStringList{u"tag"_qs};
        QTest::newRow("unknown class")
            << QStringList{u"MyClass"_qs} << QStringList() << QStringList{u"author"_qs, u"name"_qs};
    }
    void keysOfClasses()
    {
        QFETCH(QStringList, path);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, notOffered);
        const QStringList names = namesIn(path);
        for (const QString &n : offered)
            QVERIFY2(names.contains(n), qPrintable(n));
        for (const QString &n : notOffered)
            QVERIFY2(!names.contains(n), qPrintable(n));
        // Sorted, once each, and every one found again by its name.
        for (qsizetype i = 1; i < names.size(); ++i)
            QVERIFY2(names[i - 1].compare(names[i], Qt::CaseInsensitive) < 0, qPrintable(names[i]));
        for (const config::KeyInfo &key : config::keysIn(path)) {
            QVERIFY(!key.help.isEmpty());
            QCOMPARE(config::findKeyIn(path, key.written().toUpper())->name, key.name);
        }
    }

    // Every key offered at the top level is one the checker knows, so completion never
    // suggests what the check then calls unknown.
    void topLevelKeysAreKnown()
    {
        for (const config::KeyInfo &key : config::keysIn({}))
            QVERIFY2(config::detail::isKnownKey(key.name), qPrintable(key.name));
    }

    void helpText_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("help");
        QTest::newRow("a Mission setting")
            << QStringList() << u"corpseManagerMode"_qs
            << u"corpseManagerMode (choice)\nWhich dead bodies the corpse manager removes.\n"
               u"Values: 0 None, 1 All, 2 Only those that can respawn, 3 All but those that can "
               u"respawn\nDefault: 0 in single player, 2 in multiplayer"_qs;
        QTest::newRow("a number without an upper bound")
            << QStringList() << u"corpseLimit"_qs
            << u"corpseLimit (number)\n"
               u"Bodies up to which the longest stay applies; above it, the shortest.\n"
               u"Values: 0 or more\nDefault: 15"_qs;
        QTest::newRow("an array, written with brackets")
            << QStringList{u"CfgSounds"_qs, u"s"_qs} << u"titles[]"_qs
            << u"titles[] (array)\nSubtitles: pairs of a start time in seconds and a text."_qs;
        QTest::newRow("a class") << QStringList() << u"cfgremoteexec"_qs
                                 << u"CfgRemoteExec (class)\n"
                                    u"Which functions and commands remoteExec may run."_qs;
    }
    void helpText()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, key);
        QFETCH(QString, help);
        const std::optional<config::KeyInfo> info = config::findKeyIn(path, key);
        QVERIFY(info);
        QCOMPARE(config::keyHelpText(*info), help);
    }
};

QTEST_APPLESS_MAIN(tst_ClassKeys)
#include "tst_classkeys.moc"
