// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionclasses.h"
#include "testseed.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Endings = u"respawn = 3;\n"
                        u"class CfgDebriefing\n"
                        u"{\n"
                        u"\tclass End1\n"
                        u"\t{\n"
                        u"\t\ttitle = \"Mission Completed\";\n"
                        u"\t\tsubtitle = \"\";\n"
                        u"\t\tpicture = \"b_inf\"; // the map icon\n"
                        u"\t\tpictureColor[] = {0.0,0.3,0.6,1};\n"
                        u"\t};\n"
                        u"\tclass Loser: End1\n"
                        u"\t{\n"
                        u"\t\ttitle = \"Lost\";\n"
                        u"\t};\n"
                        u"};\n"
                        u"// the end\n"_s;

// A CfgRemoteExec as missions write it: one-line entries, a declared one and one from a macro.
const QString Remote = u"#define F(N,T) class N { allowedTargets = T; };\n"
                       u"class CfgRemoteExec\n"
                       u"{\n"
                       u"\tclass Functions\n"
                       u"\t{\n"
                       u"\t\tmode = 1; // listed only\n"
                       u"\t\tjip = 0;\n"
                       u"\t\tclass BIS_fnc_a { allowedTargets = 2; };\n"
                       u"\t\tclass tag_fnc_b;\n"
                       u"\t\tF(tag_fnc_c,1)\n"
                       u"\t};\n"
                       u"};\n"_s;

int attributeIndex(ClassKind kind, const QString &key, bool own = false)
{
    const auto attributes = own ? classTable(kind).ownAttributes : classTable(kind).attributes;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (key == QLatin1StringView(attributes[i].key))
            return int(i);
    }
    return -1;
}

// One edit as the window makes it: "set ENTRY KEY VALUE" (an array's elements separated by
// commas), "unset ENTRY KEY", "remove ENTRY", "rename ENTRY NAME", "add NAME"; a class's own
// value: "own KEY VALUE", "unown KEY".
void edit(MissionClass &c, const QString &command)
{
    const QStringList words = command.split(u' ');
    if (words[0] == u"own" || words[0] == u"unown") {
        AttributeValue &value = c.values[attributeIndex(c.kind, words[1], true)];
        value.set = words[0] == u"own";
        value.value = value.set ? words[2] : QString();
        return;
    }
    if (words[0] == u"add") {
        c.entries << newClassEntry(c.kind, words[1]);
        return;
    }
    ClassEntry &entry = c.entries[words[1].toInt()];
    if (words[0] == u"remove") {
        c.entries.removeAt(words[1].toInt());
    } else if (words[0] == u"rename") {
        entry.name = words[2];
    } else {
        const int i = attributeIndex(c.kind, words[2]);
        QVERIFY(i >= 0);
        AttributeValue &value = entry.values[i];
        value.set = words[0] == u"set";
        const QString text = words.mid(3).join(u' ');
        value.value = value.set ? text : QString();
        const AttributeType type = classTable(c.kind).attributes[std::size_t(i)].type;
        value.elements =
            value.set && (type == AttributeType::Colour || type == AttributeType::Names)
                ? text.split(u',')
                : QStringList();
        if (!value.elements.isEmpty())
            value.value.clear();
    }
}

const QString Functions = u"respawn = 3;\n"
                          u"class CfgFunctions\n"
                          u"{\n"
                          u"\tclass TAG\n"
                          u"\t{\n"
                          u"\t\ttag = \"MY\";\n"
                          u"\t\tclass Common\n"
                          u"\t\t{\n"
                          u"\t\t\tfile = \"scripts\\common\"; // shared\n"
                          u"\t\t\tclass init { postInit = 1; };\n"
                          u"\t\t\tclass log {};\n"
                          u"\t\t};\n"
                          u"\t\t#include \"more.hpp\"\n"
                          u"\t};\n"
                          u"\tclass Old: TAG {};\n"
                          u"};\n"_s;

// The node at "0/1/2" (tag, category, function) and the list that holds it.
QList<FunctionNode> &siblingsOf(MissionFunctions &f, const QStringList &path)
{
    QList<FunctionNode> *list = &f.tags;
    for (qsizetype i = 0; i + 1 < path.size(); ++i)
        list = &(*list)[path[i].toInt()].children;
    return *list;
}

// One edit as the Functions window makes it, on the node at a path: "set PATH KEY VALUE",
// "unset PATH KEY", "rename PATH NAME", "remove PATH", "add PARENT NAME" ("-" for none).
void editFunctions(MissionFunctions &f, const QString &command)
{
    const QStringList words = command.split(u' ');
    if (words[0] == u"add") {
        const QStringList parent = words[1] == u"-" ? QStringList() : words[1].split(u'/');
        QList<FunctionNode> &list =
            parent.isEmpty() ? f.tags : siblingsOf(f, parent)[parent.last().toInt()].children;
        list << newFunctionNode(FunctionLevel(parent.size()), words[2]);
        return;
    }
    const QStringList path = words[1].split(u'/');
    QList<FunctionNode> &list = siblingsOf(f, path);
    FunctionNode &node = list[path.last().toInt()];
    if (words[0] == u"remove") {
        list.removeAt(path.last().toInt());
    } else if (words[0] == u"rename") {
        node.entry.name = words[2];
    } else {
        const auto attributes = functionLevelTable(FunctionLevel(path.size() - 1)).attributes;
        qsizetype i = 0;
        while (i < qsizetype(attributes.size()) && words[2] != QLatin1StringView(attributes[i].key))
            ++i;
        QVERIFY(i < qsizetype(attributes.size()));
        node.entry.values[i] = {};
        node.entry.values[i].set = words[0] == u"set";
        if (node.entry.values[i].set)
            node.entry.values[i].value = words.mid(3).join(u' ');
    }
}

} // namespace

class tst_missionclasses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Opening and OK without an edit gives back every byte, whatever the text.
    void untouchedTextStays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("endings") << Endings;
        QTest::newRow("crlf") << QString(Endings).replace(u"\n"_s, u"\r\n"_s);
        QTest::newRow("none") << u"respawn = 3;"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("one line") << u"class CfgDebriefing {class A {title=\"x\";};};"_s;
        QTest::newRow("macro") << u"#define T \"x\"\nclass CfgNotifications { class N { title = T; "
                                  u"color[] = {1,1,1,1}; sound = \"a\"; }; };"_s;
        QTest::newRow("ifdef") << u"#ifdef X\nclass CfgDebriefing { class A {}; };\n#endif\n"_s;
        QTest::newRow("twice") << u"class CfgDebriefing {};\nclass CfgDebriefing {};\n"_s;
        QTest::newRow("broken") << u"class CfgDebriefing { class A { title = ; };"_s;
        QTest::newRow("remote") << Remote;
        QTest::newRow("remote twice")
            << u"class CfgRemoteExec { class Commands { mode = 0; }; class commands {}; };"_s;
    }
    void untouchedTextStays()
    {
        QFETCH(QString, text);
        for (int kind = 0; kind < ClassKindCount; ++kind) {
            const MissionClass c = readMissionClass(text, ClassKind(kind));
            QCOMPARE(applyMissionClass(text, c), text);
        }
    }

    // What the editor shows and what it keeps as written.
    void reading()
    {
        const MissionClass c = readMissionClass(Endings, ClassKind::Endings);
        QVERIFY(c.present && !c.readOnly);
        QCOMPARE(c.entries.size(), 2);
        const ClassEntry &end1 = c.entries[0];
        QCOMPARE(end1.name, u"End1"_s);
        QVERIFY(!end1.readOnly);
        QCOMPARE(end1.values[attributeIndex(ClassKind::Endings, u"title"_s)].value,
                 u"Mission Completed"_s);
        const AttributeValue &subtitle =
            end1.values[attributeIndex(ClassKind::Endings, u"subtitle"_s)];
        QVERIFY(subtitle.set && subtitle.value.isEmpty());
        QVERIFY(!end1.values[attributeIndex(ClassKind::Endings, u"description"_s)].set);
        QCOMPARE(end1.values[attributeIndex(ClassKind::Endings, u"pictureColor"_s)].elements,
                 QStringList({u"0.0"_s, u"0.3"_s, u"0.6"_s, u"1"_s}));
        QVERIFY(c.entries[1].readOnly); // inherits, shown without the class's indentation
        QCOMPARE(c.entries[1].written, u"class Loser: End1\n{\n\ttitle = \"Lost\";\n};"_s);

        const MissionClass macro = readMissionClass(
            u"#define T \"x\"\nclass CfgNotifications { class N { title = T; duration = 2; }; };"_s,
            ClassKind::Notifications);
        const ClassEntry &n = macro.entries.value(0);
        QVERIFY(n.values[0].readOnly && n.values[0].written == u"T"_s);
        QVERIFY(!n.values[attributeIndex(ClassKind::Notifications, u"duration"_s)].readOnly);
        QVERIFY(readMissionClass(u"class CfgDebriefing {};\nclass cfgdebriefing {};"_s,
                                 ClassKind::Endings)
                    .readOnly);
        QVERIFY(!readMissionClass(u"x = 1;"_s, ClassKind::Notifications).present);
    }

    // A section's own values, its declared entries, and what it keeps as written.
    void readingRemote()
    {
        const MissionClass f = readMissionClass(Remote, ClassKind::RemoteFunctions);
        QVERIFY(f.present && !f.readOnly);
        QCOMPARE(f.values[0].value, u"1"_s);
        QCOMPARE(f.values[1].value, u"0"_s);
        QCOMPARE(f.entries.size(), 3);
        QCOMPARE(f.entries[0].values[0].value, u"2"_s);
        QVERIFY(!f.entries[1].readOnly && !f.entries[1].values[0].set); // class tag_fnc_b;
        QVERIFY(f.entries[2].readOnly);
        QCOMPARE(f.entries[2].written, u"F(tag_fnc_c,1)"_s);
        QVERIFY(!readMissionClass(Remote, ClassKind::RemoteCommands).present);
        // Beyond the choices, or not a whole number: kept as written.
        const MissionClass odd =
            readMissionClass(u"class CfgRemoteExec { class Commands { mode = 3; jip = 1.0; }; };"_s,
                             ClassKind::RemoteCommands);
        QVERIFY(odd.values[0].readOnly && odd.values[0].written == u"3"_s);
        QVERIFY(odd.values[1].readOnly);
        const MissionClass twice = readMissionClass(
            u"class CfgRemoteExec {};\nclass CfgRemoteExec {};"_s, ClassKind::RemoteFunctions);
        QVERIFY(twice.present && twice.readOnly);
    }

    // Each edit changes exactly the lines it should.
    void edits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("expected");
        const int endings = int(ClassKind::Endings), notes = int(ClassKind::Notifications);
        QTest::newRow("value") << Endings << endings << QStringList{u"set 0 title Won"_s}
                               << QString(Endings).replace(u"Mission Completed"_s, u"Won"_s);
        QTest::newRow("quote") << Endings << endings << QStringList{u"set 0 subtitle say \"hi\""_s}
                               << QString(Endings).replace(u"subtitle = \"\""_s,
                                                           u"subtitle = \"say \"\"hi\"\"\""_s);
        QTest::newRow("colour element")
            << Endings << endings << QStringList{u"set 0 pictureColor 0.0,0.3,0.6,0.5"_s}
            << QString(Endings).replace(u"0.6,1}"_s, u"0.6,0.5}"_s);
        QTest::newRow("unset with its comment")
            << Endings << endings << QStringList{u"unset 0 picture"_s}
            << QString(Endings).remove(u"\t\tpicture = \"b_inf\"; // the map icon\n"_s);
        QTest::newRow("new key after the last")
            << Endings << endings << QStringList{u"set 0 description Done."_s}
            << QString(Endings).replace(u"1};\n"_s, u"1};\n\t\tdescription = \"Done.\";\n"_s);
        QTest::newRow("rename") << Endings << endings << QStringList{u"rename 0 Win"_s}
                                << QString(Endings).replace(u"class End1\n"_s, u"class Win\n"_s);
        QTest::newRow("remove")
            << Endings << endings << QStringList{u"remove 0"_s}
            << QString(Endings).remove(
                   u"\tclass End1\n\t{\n\t\ttitle = \"Mission Completed\";\n\t\tsubtitle = \"\";\n"
                   u"\t\tpicture = \"b_inf\"; // the map icon\n\t\tpictureColor[] = "
                   u"{0.0,0.3,0.6,1};\n"
                   u"\t};\n"_s);
        QTest::newRow("add at the end of the body")
            << Endings << endings << QStringList{u"add End2"_s, u"set 2 title Ok"_s}
            << QString(Endings).replace(
                   u"\t};\n};\n"_s,
                   u"\t};\n\tclass End2\n\t{\n\t\ttitle = \"Ok\";\n\t\tsubtitle = \"\";\n"
                   u"\t\tdescription = \"\";\n\t\tpictureBackground = \"\";\n\t\tpicture = \"\";\n"
                   u"\t\tpictureColor[] = {0.0,0.3,0.6,1};\n\t};\n};\n"_s);
        QTest::newRow("first notification appends the class")
            << u"respawn = 3;\r\n"_s << notes << QStringList{u"add Hello"_s}
            << u"respawn = 3;\r\nclass CfgNotifications\r\n{\r\n\tclass Hello\r\n\t{\r\n"
               u"\t\ttitle = \"\";\r\n\t\ticonPicture = \"\";\r\n\t\ticonText = \"\";\r\n"
               u"\t\tdescription = \"\";\r\n\t\tcolor[] = {1, 1, 1, 1};\r\n\t\tduration = 5;\r\n"
               u"\t\tpriority = 0;\r\n\t};\r\n};\r\n"_s;
        QTest::newRow("one line class")
            << u"class CfgNotifications {class N {title=\"a\";};};"_s << notes
            << QStringList{u"set 0 duration 3"_s, u"set 0 difficulty netStats"_s}
            << u"class CfgNotifications {class N {title=\"a\"; duration=3; "
               u"difficulty[]={\"netStats\"}"
               u";};};"_s;
        QTest::newRow("empty body")
            << u"class CfgDebriefing\n{\n    class A\n    {\n    };\n};\n"_s << endings
            << QStringList{u"set 0 title T"_s}
            << u"class CfgDebriefing\n{\n    class A\n    {\n        title = \"T\";\n    };\n};\n"_s;
        QTest::newRow("unknown keys stay")
            << u"class CfgNotifications { class N { sound = \"x\"; duration = 1; }; };"_s << notes
            << QStringList{u"set 0 duration 2"_s}
            << u"class CfgNotifications { class N { sound = \"x\"; duration = 2; }; };"_s;
        const int functions = int(ClassKind::RemoteFunctions),
                  commands = int(ClassKind::RemoteCommands);
        QTest::newRow("section value") << Remote << functions << QStringList{u"own mode 2"_s}
                                       << QString(Remote).replace(u"mode = 1;"_s, u"mode = 2;"_s);
        QTest::newRow("section value off") << Remote << functions << QStringList{u"unown jip"_s}
                                           << QString(Remote).remove(u"\t\tjip = 0;\n"_s);
        QTest::newRow("entry value on its line")
            << Remote << functions << QStringList{u"set 0 allowedTargets 1"_s, u"set 0 jip 1"_s}
            << QString(Remote).replace(u"{ allowedTargets = 2; }"_s,
                                       u"{ allowedTargets = 1; jip = 1; }"_s);
        QTest::newRow("declared entry gets a body")
            << Remote << functions << QStringList{u"set 1 allowedTargets 2"_s}
            << QString(Remote).replace(u"class tag_fnc_b;"_s,
                                       u"class tag_fnc_b { allowedTargets = 2; };"_s);
        QTest::newRow("rename declared")
            << Remote << functions << QStringList{u"rename 1 tag_fnc_x"_s}
            << QString(Remote).replace(u"tag_fnc_b"_s, u"tag_fnc_x"_s);
        QTest::newRow("remove macro entry") << Remote << functions << QStringList{u"remove 2"_s}
                                            << QString(Remote).remove(u"\t\tF(tag_fnc_c,1)\n"_s);
        QTest::newRow("add on one line as its neighbours")
            << Remote << functions << QStringList{u"remove 0"_s, u"add fnc_new"_s}
            << QString(Remote)
                   .remove(u"\t\tclass BIS_fnc_a { allowedTargets = 2; };\n"_s)
                   .replace(u"1)\n"_s, u"1)\n\t\tclass fnc_new { allowedTargets = 0; };\n"_s);
        QTest::newRow("new section in the class")
            << Remote << commands << QStringList{u"own mode 0"_s, u"add setDir"_s}
            << QString(Remote).replace(u"\t};\n};\n"_s,
                                       u"\t};\n\tclass Commands\n\t{\n\t\tmode = 0;\n"
                                       u"\t\tclass setDir\n\t\t{\n\t\t\tallowedTargets = 0;\n"
                                       u"\t\t};\n\t};\n};\n"_s);
        QTest::newRow("section value at the top of its body")
            << u"class CfgRemoteExec {\n  class Functions {\n    class a {};\n  };\n};\n"_s
            << functions << QStringList{u"own jip 1"_s}
            << u"class CfgRemoteExec {\n  class Functions {\n    jip = 1;\n    class a {};\n"
               u"  };\n};\n"_s;
        QTest::newRow("first section appends the class")
            << u"respawn = 3;\r\n"_s << functions << QStringList{u"own mode 1"_s}
            << u"respawn = 3;\r\nclass CfgRemoteExec\r\n{\r\n\tclass Functions\r\n\t{\r\n"
               u"\t\tmode = 1;\r\n\t};\r\n};\r\n"_s;
        QTest::newRow("untouched section writes nothing")
            << u"x = 1;\n"_s << commands << QStringList{} << u"x = 1;\n"_s;
        QTest::newRow("read-only section untouched")
            << u"class CfgRemoteExec { class Functions: Base { mode = 1; }; };"_s << functions
            << QStringList{u"remove 0"_s}
            << u"class CfgRemoteExec { class Functions: Base { mode = 1; }; };"_s;
        QTest::newRow("read-only class untouched")
            << u"class CfgDebriefing: Base { class A {}; };"_s << endings
            << QStringList{u"remove 0"_s} << u"class CfgDebriefing: Base { class A {}; };"_s;
    }
    void edits()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QStringList, commands);
        QFETCH(QString, expected);
        MissionClass c = readMissionClass(text, ClassKind(kind));
        if (c.readOnly && c.entries.isEmpty())
            c.entries << newClassEntry(c.kind, u"A"_s); // a stand-in for any change
        for (const QString &command : commands)
            edit(c, command);
        const QString after = applyMissionClass(text, c);
        QCOMPARE(after, expected);
        // What was written reads back as what was asked.
        if (!c.readOnly) {
            const MissionClass back = readMissionClass(after, c.kind);
            QCOMPARE(back.entries.size(), c.entries.size());
            for (qsizetype i = 0; i < c.entries.size(); ++i)
                QCOMPARE(back.entries[i].values, c.entries[i].values);
            QCOMPARE(back.values, c.values);
        }
    }

    // Open and OK without an edit keeps every byte of the functions too.
    void functionsUntouched_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("functions") << Functions;
        QTest::newRow("crlf") << QString(Functions).replace(u"\n"_s, u"\r\n"_s);
        QTest::newRow("macro") << u"#define F(n) class n {};\nclass CfgFunctions { class T { "
                                  u"class C { F(a) class b { ext = X; }; }; }; };"_s;
        QTest::newRow("ifdef in a tag")
            << u"class CfgFunctions { class T {\n#ifdef D\nclass C {};\n#endif\n}; };"_s;
        QTest::newRow("twice") << u"class CfgFunctions {};\nclass cfgfunctions {};\n"_s;
        QTest::newRow("broken") << u"class CfgFunctions { class T { class C { class f {"_s;
    }
    void functionsUntouched()
    {
        QFETCH(QString, text);
        QCOMPARE(applyMissionFunctions(text, readMissionFunctions(text)), text);
    }

    // Each edit of the tree changes only its own lines.
    void functionEdits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("expected");
        const auto with = [](const QString &from, const QString &to) {
            return QString(Functions).replace(from, to);
        };
        QTest::newRow("category folder") << Functions << QStringList{u"set 0/0 file fn"_s}
                                         << with(u"\"scripts\\common\""_s, u"\"fn\""_s);
        QTest::newRow("tag unset") << Functions << QStringList{u"unset 0 tag"_s}
                                   << with(u"\t\ttag = \"MY\";\n"_s, QString());
        QTest::newRow("switch unset on a one-line class")
            << Functions << QStringList{u"unset 0/0/0 postInit"_s}
            << with(u"{ postInit = 1; }"_s, u"{ }"_s);
        QTest::newRow("key into an empty body")
            << Functions << QStringList{u"set 0/0/1 preInit 1"_s}
            << with(u"class log {};"_s, u"class log {\n\t\t\t\tpreInit = 1;\n\t\t\t};"_s);
        const QString bare = u"class CfgFunctions\n{\n\tclass T\n\t{\n\t\tclass C\n\t\t{\n"
                             u"\t\t\tclass f {};\n\t\t};\n\t};\n};\n"_s;
        QTest::newRow("folder before the functions")
            << bare << QStringList{u"set 0/0 file fn"_s, u"add 0/0 g"_s}
            << QString(bare).replace(
                   u"\t\t\tclass f {};\n"_s,
                   u"\t\t\tfile = \"fn\";\n\t\t\tclass f {};\n\t\t\tclass g {};\n"_s);
        QTest::newRow("rename function") << Functions << QStringList{u"rename 0/0/1 write"_s}
                                         << with(u"class log {}"_s, u"class write {}"_s);
        QTest::newRow("rename tag") << Functions << QStringList{u"rename 0 NEW"_s}
                                    << with(u"class TAG\n"_s, u"class NEW\n"_s);
        QTest::newRow("remove function")
            << Functions << QStringList{u"remove 0/0/0"_s}
            << with(u"\t\t\tclass init { postInit = 1; };\n"_s, QString());
        QTest::newRow("remove tag with its include")
            << Functions << QStringList{u"remove 0"_s}
            << with(Functions.mid(Functions.indexOf(u"\tclass TAG"_s),
                                  Functions.indexOf(u"\tclass Old"_s) -
                                      Functions.indexOf(u"\tclass TAG"_s)),
                    QString());
        QTest::newRow("remove read-only tag") << Functions << QStringList{u"remove 1"_s}
                                              << with(u"\tclass Old: TAG {};\n"_s, QString());
        QTest::newRow("add function")
            << Functions << QStringList{u"add 0/0 spawn"_s}
            << with(u"\t\t\tclass log {};\n"_s, u"\t\t\tclass log {};\n\t\t\tclass spawn {};\n"_s);
        QTest::newRow("add category with a function")
            << Functions << QStringList{u"add 0 Ai"_s, u"add 0/1 think"_s}
            << with(u"\t\t#include \"more.hpp\"\n"_s,
                    u"\t\t#include \"more.hpp\"\n\t\tclass Ai\n\t\t{\n\t\t\tclass think {};\n"
                    u"\t\t};\n"_s);
        const QString byMacro = u"class CfgFunctions { class GVAR(core) { class C {}; }; };"_s;
        QTest::newRow("tag named by a macro stays")
            << byMacro << QStringList{u"add - T"_s} << byMacro;
        const QString made = u"class CfgFunctions {\n\tFUNCTIONS(MRW)\n};\n"_s;
        QTest::newRow("tags made by a macro: nothing changes")
            << made << QStringList{u"add - T"_s} << made;
        QTest::newRow("first tag appends the class")
            << u"respawn = 3;\n"_s
            << QStringList{u"add - MY"_s, u"add 0 Cat"_s, u"add 0/0 f"_s, u"set 0/0/0 postInit 1"_s}
            << u"respawn = 3;\nclass CfgFunctions\n{\n\tclass MY\n\t{\n\t\tclass Cat\n\t\t{\n"
               u"\t\t\tclass f\n\t\t\t{\n\t\t\t\tpostInit = 1;\n\t\t\t};\n\t\t};\n\t};\n};\n"_s;
    }
    void functionEdits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, commands);
        QFETCH(QString, expected);
        MissionFunctions f = readMissionFunctions(text);
        for (const QString &command : commands)
            editFunctions(f, command);
        const QString after = applyMissionFunctions(text, f);
        QCOMPARE(after, expected);
        // What was written reads back as what was asked.
        if (f.readOnly)
            return;
        const MissionFunctions back = readMissionFunctions(after);
        QCOMPARE(back.tags.size(), f.tags.size());
        for (qsizetype t = 0; t < f.tags.size(); ++t) {
            QCOMPARE(back.tags[t].entry.name, f.tags[t].entry.name);
            if (!f.tags[t].entry.readOnly)
                QCOMPARE(back.tags[t].children.size(), f.tags[t].children.size());
        }
    }

    // CfgFunctions and CfgRemoteExec's Functions section in one text are read each as if
    // alone, and an edit of either changes only its own class.
    void functionsBesideRemoteExecution()
    {
        const QString text = Functions + Remote;
        QCOMPARE(readMissionFunctions(text), readMissionFunctions(Functions));
        for (const ClassKind kind : {ClassKind::RemoteFunctions, ClassKind::RemoteCommands})
            QCOMPARE(readMissionClass(text, kind), readMissionClass(Remote, kind));

        MissionFunctions f = readMissionFunctions(text);
        editFunctions(f, u"add 0/0 spawn"_s);
        editFunctions(f, u"set 0 tag NEW"_s);
        QCOMPARE(applyMissionFunctions(text, f),
                 QString(Functions)
                         .replace(u"\t\t\tclass log {};\n"_s,
                                  u"\t\t\tclass log {};\n\t\t\tclass spawn {};\n"_s)
                         .replace(u"tag = \"MY\""_s, u"tag = \"NEW\""_s) +
                     Remote);

        MissionClass section = readMissionClass(text, ClassKind::RemoteFunctions);
        edit(section, u"own mode 2"_s);
        edit(section, u"add MY_fnc_spawn"_s);
        MissionClass alone = readMissionClass(Remote, ClassKind::RemoteFunctions);
        edit(alone, u"own mode 2"_s);
        edit(alone, u"add MY_fnc_spawn"_s);
        QCOMPARE(applyMissionClass(text, section), Functions + applyMissionClass(Remote, alone));
        QVERIFY(applyMissionClass(Remote, alone) != Remote);
    }

    // Where the game looks for a function's file.
    void functionFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        const QString head = u"class CfgFunctions { class T { class Cat { "_s;
        QTest::newRow("default") << head + u"class f {}; }; }; };"_s
                                 << u"functions\\Cat\\fn_f.sqf"_s;
        QTest::newRow("category folder, trailing backslash")
            << head + u"file = \"a\\b\\\"; class f {}; }; }; };"_s << u"a\\b\\fn_f.sqf"_s;
        QTest::newRow("fsm") << head + u"class f { ext = \".fsm\"; }; }; }; };"_s
                             << u"functions\\Cat\\fn_f.fsm"_s;
        QTest::newRow("own file, whatever ext says")
            << head + u"file = \"x\"; class f { file = \"y\\z.sqf\"; ext = \".fsm\"; }; }; }; };"_s
            << u"y\\z.sqf"_s;
        QTest::newRow("macro decides")
            << u"#define D \"d\"\n"_s + head + u"file = D; class f {}; }; }; };"_s << QString();
    }
    void functionFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        const MissionFunctions f = readMissionFunctions(text);
        const FunctionNode &category = f.tags.value(0).children.value(0);
        QCOMPARE(functionFilePath(category, category.children.value(0)), path);
    }

    // Texts pieced together from the format's tokens, broken ones included: reading and writing
    // back untouched keeps every byte, and adding or removing an entry never crashes or
    // touches the text before the class.
    void randomTextsStay()
    {
        const QStringList tokens{u"class "_s,
                                 u"CfgDebriefing"_s,
                                 u"CfgNotifications"_s,
                                 u"CfgFunctions"_s,
                                 u" End1"_s,
                                 u": End1"_s,
                                 u"{"_s,
                                 u"}"_s,
                                 u";"_s,
                                 u"\n"_s,
                                 u"\r\n"_s,
                                 u"\t"_s,
                                 u"title = "_s,
                                 u"\"x\""_s,
                                 u"color[] = {1,0,0,1}"_s,
                                 u"#ifdef X\n"_s,
                                 u"#endif\n"_s,
                                 u"// note\n"_s,
                                 u"duration=5"_s,
                                 u"CfgRemoteExec"_s,
                                 u" Functions"_s,
                                 u"mode = 1"_s};
        QRandomGenerator generator(testSeed(20261208));
        auto *random = &generator;
        for (int round = 0; round < 500; ++round) {
            QString text;
            for (int n = random->bounded(40); n > 0; --n)
                text += tokens[random->bounded(tokens.size())];
            for (int kind = 0; kind < ClassKindCount; ++kind) {
                MissionClass c = readMissionClass(text, ClassKind(kind));
                QCOMPARE(applyMissionClass(text, c), text);
                if (!c.entries.isEmpty())
                    c.entries.removeFirst();
                c.entries << newClassEntry(c.kind, u"Added"_s);
                const QString after = applyMissionClass(text, c);
                if (c.readOnly)
                    QCOMPARE(after, text);
            }
            MissionFunctions f = readMissionFunctions(text);
            QCOMPARE(applyMissionFunctions(text, f), text);
            if (!f.tags.isEmpty())
                f.tags.removeFirst();
            f.tags << newFunctionNode(FunctionLevel::Tag, u"Added"_s);
            (void)applyMissionFunctions(text, f);
        }
    }

    // Each help page lists its classes' keys in the tables' order, with the tables' help.
    void helpListsEveryKey_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("kinds");
        QTest::newRow("endings") << u"endings.htm"_s
                                 << QList<int>{int(ClassKind::Endings),
                                               int(ClassKind::Notifications)};
        // Both sections share their keys: listed once.
        QTest::newRow("remote execution")
            << u"remoteexec.htm"_s << QList<int>{int(ClassKind::RemoteFunctions)};
    }
    void helpListsEveryKey()
    {
        QFETCH(QString, file);
        QFETCH(QList<int>, kinds);
        QFile page(QStringLiteral(MERROW_HELP_DIR "/") + file);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        static const QRegularExpression row(
            u"<tr><td><code>(\\w+)(?:\\[\\])?</code></td>.*<td>([^<]*)</td></tr>"_s);
        QStringList listed, tables;
        for (auto it = row.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            listed << m.captured(1) + u' ' + m.captured(2).replace(u"&quot;"_s, u"\""_s);
        }
        for (const int kind : kinds) {
            for (const auto &attributes : {classTable(ClassKind(kind)).ownAttributes,
                                           classTable(ClassKind(kind)).attributes}) {
                for (const ClassAttribute &a : attributes)
                    tables << QLatin1StringView(a.key) + u' ' + QString::fromUtf8(a.help);
            }
        }
        QCOMPARE(listed, tables);
    }

    // The Functions help lists each level's keys in the table's order, with the table's help.
    void functionsHelpListsEveryKey()
    {
        QFile page(QStringLiteral(MERROW_HELP_DIR "/functions.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        static const QRegularExpression row(
            u"<tr><td><code>(\\w+)</code></td><td>\\w+</td><td>([^<]*)</td></tr>"_s);
        QStringList listed, tables;
        for (auto it = row.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            listed << m.captured(1) + u' ' +
                          m.captured(2).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s);
        }
        for (int level = 0; level < FunctionLevelCount; ++level) {
            for (const ClassAttribute &a : functionLevelTable(FunctionLevel(level)).attributes)
                tables << QLatin1StringView(a.key) + u' ' + QString::fromUtf8(a.help);
        }
        QCOMPARE(listed, tables);
    }

    // Random edits of random entries always read back as asked and never touch the text
    // outside the class.
    void randomEditsReadBack()
    {
        QRandomGenerator generator(testSeed(20261208));
        auto *random = &generator;
        const QStringList keys{u"title"_s, u"subtitle"_s, u"description"_s, u"picture"_s};
        for (int round = 0; round < 200; ++round) {
            MissionClass c = readMissionClass(Endings, ClassKind::Endings);
            for (int n = random->bounded(1, 5); n > 0; --n) {
                const int pick = random->bounded(4);
                if (pick == 0)
                    c.entries << newClassEntry(c.kind, u"E%1"_s.arg(round * 10 + n));
                else if (pick == 1 && c.entries.size() > 1)
                    c.entries.removeAt(random->bounded(c.entries.size()));
                else if (!c.entries.isEmpty() && !c.entries[0].readOnly)
                    edit(c, u"%1 0 %2 v%3"_s
                                .arg(pick == 2 ? u"set"_s : u"unset"_s,
                                     keys[random->bounded(keys.size())])
                                .arg(round));
            }
            const QString after = applyMissionClass(Endings, c);
            QVERIFY(after.startsWith(u"respawn = 3;\nclass CfgDebriefing\n{\n"_s));
            QVERIFY(after.endsWith(u"};\n// the end\n"_s));
            const MissionClass back = readMissionClass(after, c.kind);
            QCOMPARE(back.entries.size(), c.entries.size());
            for (qsizetype i = 0; i < c.entries.size(); ++i) {
                QCOMPARE(back.entries[i].name, c.entries[i].name);
                if (!c.entries[i].readOnly)
                    QCOMPARE(back.entries[i].values, c.entries[i].values);
            }
        }
    }

    // Random edits of both sections' own values and entries, applied one section after the
    // other as the window hands them back, read back as asked and keep the macro's line.
    void randomRemoteEditsReadBack()
    {
        QRandomGenerator generator(testSeed(20261208));
        auto *random = &generator;
        for (int round = 0; round < 200; ++round) {
            QList<MissionClass> sections;
            QString after = Remote;
            for (const ClassKind kind : {ClassKind::RemoteFunctions, ClassKind::RemoteCommands}) {
                MissionClass c = readMissionClass(Remote, kind);
                for (int n = random->bounded(1, 6); n > 0; --n) {
                    const int pick = random->bounded(5);
                    const QString number = QString::number(random->bounded(2));
                    if (pick == 0)
                        edit(c, (random->bounded(2) ? u"own mode "_s : u"own jip "_s) + number);
                    else if (pick == 1)
                        c.entries << newClassEntry(kind, u"f%1_%2"_s.arg(round).arg(n));
                    else if (pick == 2 && !c.entries.isEmpty())
                        c.entries.removeAt(random->bounded(c.entries.size()));
                    else if (!c.entries.isEmpty() && !c.entries[0].readOnly)
                        edit(c,
                             (pick == 3 ? u"set 0 jip "_s : u"unset 0 allowedTargets "_s) + number);
                }
                after = applyMissionClass(after, c);
                sections << c;
            }
            QVERIFY(after.startsWith(u"#define F(N,T) class N { allowedTargets = T; };\n"_s));
            for (const MissionClass &c : sections) {
                const MissionClass back = readMissionClass(after, c.kind);
                QCOMPARE(back.values, c.values);
                QCOMPARE(back.entries.size(), c.entries.size());
                for (qsizetype i = 0; i < c.entries.size(); ++i) {
                    QCOMPARE(back.entries[i].name, c.entries[i].name);
                    if (!c.entries[i].readOnly)
                        QCOMPARE(back.entries[i].values, c.entries[i].values);
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(tst_missionclasses)
#include "tst_missionclasses.moc"
