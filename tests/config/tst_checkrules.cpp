// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The check's rules: what the game reports as an error, the values its documentation allows,
// the mission folder's files, one note instead of a cascade, and comments that silence a
// diagnostic. One row per rule, with the rows that must not be flagged beside it.

#include "configreader.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace config;

namespace {

// "LINE:COLUMN severity [name]" per diagnostic, one a line.
QString found(const ReadResult &r)
{
    QStringList lines;
    for (const Diagnostic &d : r.diagnostics) {
        const char *severity = d.severity == Severity::Error     ? "error"
                               : d.severity == Severity::Warning ? "warning"
                                                                 : "note";
        lines << QStringLiteral("%1:%2 %3 [%4]")
                     .arg(d.position.line)
                     .arg(d.position.column)
                     .arg(QLatin1StringView(severity), diagnosticName(d.kind));
    }
    return lines.join(u'\n');
}

// The mission folder of the rows: these files exist (compared without regard to case).
const QStringList MissionFiles = {"sounds/wolf.ogg",
                                  "sounds/alarm.wss",
                                  "music/intro.ogg",
                                  "radio/call.ogg",
                                  "images/load.paa",
                                  "overview.jpg",
                                  "functions",
                                  "functions/misc",
                                  "functions/misc/fn_a.sqf",
                                  "fns/fn_b.sqf",
                                  "fns",
                                  "fn/fn_c.fsm",
                                  "fn"};

bool missionFileExists(const QString &path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    for (const QString &f : MissionFiles) {
        if (f.compare(p, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

class tst_checkrules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // A missing ';' the game reports; the one before '}' or the end it reads on without.
        QTest::newRow("';' missing at the end of a line") << "x = 1\ny = 2;"
                                                          << "1:6 error [missing-semicolon]";
        // Before a '}' the game reads on too, but logs "Missing ';' prior '}'" (and a binarizer
        // refuses the file): a warning, at the '}'.
        QTest::newRow("';' missing before '}'") << "class A { x = 1 };"
                                                << "1:17 warning [missing-semicolon]";
        QTest::newRow("';' missing before '}' on the next line")
            << "class A {\n  x = 1\n};"
            << "3:1 warning [missing-semicolon]";
        QTest::newRow("';' missing at the end") << "x = 1"
                                                << "";
        QTest::newRow("'};' missing its ';' before '}'") << "class A { class B {} };"
                                                         << "1:22 warning [missing-semicolon]";
        QTest::newRow("'};' missing its ';' at the end") << "class A { class B {}; }"
                                                         << "";
        // respawn
        QTest::newRow("respawn number") << "respawn = 3;"
                                        << "";
        QTest::newRow("respawn name") << "respawn = \"base\";"
                                      << "";
        QTest::newRow("respawn name unquoted") << "respawn = GROUP;"
                                               << "";
        QTest::newRow("respawn out of range") << "respawn = 9;"
                                              << "1:11 warning [respawn-value]";
        QTest::newRow("respawn misspelt") << "respawn = \"BASEE\";"
                                          << "1:11 warning [respawn-value]";
        QTest::newRow("respawn not whole") << "respawn = 2.5;"
                                           << "1:11 warning [respawn-value]";
        // Delays
        QTest::newRow("delay number") << "respawnDelay = 10;"
                                      << "";
        QTest::newRow("delay in quotes") << "reviveDelay = \"6\";"
                                         << "";
        QTest::newRow("delay worked out") << "respawnDelay = 5*60;"
                                          << "";
        QTest::newRow("delay as text") << "respawnDelay = \"ten\";"
                                       << "1:16 warning [number-value]";
        QTest::newRow("wreck time as a word") << "wreckRemovalMaxTime = long;"
                                              << "1:23 warning [number-value]";
        // respawnVehicle (since 2.18): three of the six modes
        QTest::newRow("vehicle respawn number") << "respawnVehicle = 3;"
                                                << "";
        QTest::newRow("vehicle respawn name") << "respawnVehicle = \"instant\";"
                                              << "";
        QTest::newRow("vehicle respawn as a bird") << "respawnVehicle = 1;"
                                                   << "1:18 warning [respawn-value]";
        QTest::newRow("vehicle respawn name the game turns into NONE")
            << "respawnVehicle = GROUP;"
            << "1:18 warning [respawn-value]";
        // Header
        QTest::newRow("game type known") << "class Header { gameType = Coop; };"
                                         << "";
        QTest::newRow("game type Survive") << "class Header { gameType = Survive; };"
                                           << "";
        QTest::newRow("game type Apex") << "class Header { gameType = \"Apex\"; };"
                                        << "";
        QTest::newRow("game type Warlords") << "class Header { gameType = Warlords; };"
                                            << "";
        QTest::newRow("game type by its name, not its class")
            << "class Header { gameType = Survival; };"
            << "1:27 warning [game-type]";
        QTest::newRow("game type dropped in 2.00") << "class Header { gameType = ZCoop; };"
                                                   << "1:27 warning [game-type]";
        QTest::newRow("game type other case") << "class Header { gameType = \"ctf\"; };"
                                              << "";
        QTest::newRow("game type unknown") << "class Header { gameType = Coopp; };"
                                           << "1:27 warning [game-type]";
        QTest::newRow("game type outside Header") << "gameType = Coopp;"
                                                  << "";
        QTest::newRow("players in order") << "class Header { minPlayers = 1; maxPlayers = 10; };"
                                          << "";
        QTest::newRow("players equal") << "class Header { minPlayers = 4; maxPlayers = 4; };"
                                       << "";
        QTest::newRow("min above max") << "class Header {\nminPlayers = 12;\nmaxPlayers = 10;\n};"
                                       << "2:14 warning [player-count]";
        QTest::newRow("player count as text") << "class Header { maxPlayers = many; };"
                                              << "1:29 warning [number-value]";
        // Params
        QTest::newRow("params default among values")
            << "class Params { class T { values[] = {0, 1, 2}; texts[] = {\"a\", \"b\", \"c\"}; "
               "default = 1; }; };"
            << "";
        QTest::newRow("params default missing")
            << "class Params { class T {\nvalues[] = {0, 1};\ndefault = 3;\n}; };"
            << "3:11 warning [params-default]";
        QTest::newRow("params texts too short")
            << "class Params { class T {\nvalues[] = {0, 1};\ntexts[] = {\"a\"};\n}; };"
            << "3:11 warning [params-texts]";
        QTest::newRow("params from a function") << "class Params { class T { default = 3; }; };"
                                                << "";
        // CfgSounds' list
        QTest::newRow("sounds listed have classes")
            << "class CfgSounds { sounds[] = {\"wolf\"}; class Wolf { sound[] = "
               "{\"sounds\\wolf.ogg\", 1, 1}; }; };"
            << "";
        QTest::newRow("sound listed without class")
            << "class CfgSounds { sounds[] = {\"wolf\", \"bear\"}; class wolf {}; };"
            << "1:39 warning [sound-class]";
        QTest::newRow("empty sounds list") << "class CfgSounds { sounds[] = {}; };"
                                           << "";
        // CfgRemoteExec
        QTest::newRow("remote exec in range")
            << "class CfgRemoteExec { class Functions { mode = 1; jip = 0; class f { "
               "allowedTargets = 2; }; }; };"
            << "";
        QTest::newRow("remote exec mode")
            << "class CfgRemoteExec { class Commands { mode = 3; }; };"
            << "1:47 warning [remote-exec-value]";
        QTest::newRow("remote exec targets")
            << "class CfgRemoteExec { class Functions { class f { allowedTargets = -1; }; }; };"
            << "1:68 warning [remote-exec-value]";
        // Duplicate classes at one level, and the same name one level down
        QTest::newRow("class twice") << "class A {};\nclass a {};"
                                     << "2:1 warning [duplicate-name]";
        QTest::newRow("same name on two levels") << "class A { class A {}; };"
                                                 << "";
        // Mission folder
        QTest::newRow("sound found") << "class CfgSounds { class w { sound[] = "
                                        "{\"SOUNDS\\Wolf.ogg\", 1, 1}; }; };"
                                     << "";
        QTest::newRow("sound found with its extension")
            << "class CfgMusic { class i { sound[] = {\"music\\intro\", 1, 1}; }; };"
            << "";
        QTest::newRow("sound missing")
            << "class CfgRadio { class r { sound[] = {\"radio\\gone.ogg\", 1, 1}; }; };"
            << "1:39 warning [file-not-found]";
        QTest::newRow("addon sound") << "class CfgSounds { class w { sound[] = "
                                        "{\"\\a3\\sounds\\x.wss\", 1, 1}; }; };"
                                     << "";
        QTest::newRow("sound of a mod") << "class CfgSounds { class w { sound[] = "
                                           "{\"@mod\\x.wss\", 1, 1}; }; };"
                                        << "";
        QTest::newRow("sound of the game without '\\'")
            << "class CfgSounds { class w { sound[] = {\"A3\\Sounds_F\\x.wss\", 1, 1}; }; };"
            << "";
        QTest::newRow("sound outside the folder")
            << "class CfgSounds { class w { sound[] = {\"..\\x.ogg\", 1, 1}; }; };"
            << "1:40 warning [file-outside-mission]";
        QTest::newRow("sound that goes in and out again")
            << "class CfgSounds { class w { sound[] = {\"sounds\\..\\..\\x.ogg\", 1, 1}; }; };"
            << "1:40 warning [file-outside-mission]";
        QTest::newRow("sound on another drive")
            << "class CfgSounds { class w { sound[] = {\"C:\\x.ogg\", 1, 1}; }; };"
            << "1:40 warning [file-outside-mission]";
        QTest::newRow("picture of the game without '\\'")
            << "loadScreen = \"a3\\ui_f\\data\\x.paa\";"
            << "";
        QTest::newRow("procedural texture") << "overviewPicture = \"#(argb,8,8,3)color(0,0,0,1)\";"
                                            << "";
        QTest::newRow("picture outside the folder") << "loadScreen = \"..\\pics\\x.paa\";"
                                                    << "1:14 warning [file-outside-mission]";
        QTest::newRow("pictures") << "loadScreen = \"images\\load.paa\";\noverviewPicture = "
                                     "\"overview\";\nloadScreen = \"none.paa\";"
                                  << "3:1 warning [duplicate-name]\n3:14 warning [file-not-found]";
        QTest::newRow("function files")
            << "class CfgFunctions { class T { class misc { class a {}; class z {}; };\n"
               "class other { file = \"fns\"; class b {}; };\n"
               "class third { file = \"fn\"; class c { ext = \".fsm\"; }; };\n"
               "class fourth { class d { file = \"x\\fn_d.sqf\"; }; }; }; };"
            << "1:57 warning [file-not-found]\n4:33 warning [file-not-found]";
        QTest::newRow("functions declared without a body")
            << "class CfgFunctions { class T { class misc { class a; class z; }; }; };"
            << "1:54 warning [file-not-found]";
        QTest::newRow("function file outside the folder")
            << "class CfgFunctions { class T { class c { class f { file = \"..\\f.sqf\"; }; }; "
               "}; };"
            << "1:59 warning [file-outside-mission]";
        QTest::newRow("function folder outside the folder")
            << "class CfgFunctions { class T { class c { file = \"..\\fns\"; class f; class g "
               "{}; }; }; };"
            << "1:49 warning [file-outside-mission]";
        QTest::newRow("function folder missing")
            << "class CfgFunctions { class T { class c { file = \"gone\"; }; }; };"
            << "1:49 warning [file-not-found]";
        // One note for names that may come from an include that was not read
        QTest::newRow("macros of a missing include")
            << "#include \"macros.hpp\"\nclass CfgFunctions {\nFUNC(a);\nFUNC(b);\n};\n"
               "respawnDelay = DELAY;"
            << "1:1 warning [include-not-found]\n3:1 note [from-missing-include]";
        QTest::newRow("an include not followed")
            << "#include \"macros.hpp\"\nclass CfgFunctions {\nFUNC(a);\n};"
            << "3:1 note [from-missing-include]";
        QTest::newRow("the same without the include") << "class CfgFunctions {\nFUNC(a);\n};"
                                                      << "2:5 error [syntax]";
        // Unclosed classes and a stray word at the start
        QTest::newRow("class closes where it goes back out")
            << "class Header\n{\n    maxPlayers = 4;\nrespawn = 3;\nclass Params {};\n"
            << "4:1 error [unclosed-block]\n1:1 note [unclosed-block]";
        QTest::newRow("class open at the end")
            << "class A {\nx = 1;\n"
            << "2:7 error [unclosed-block]\n1:1 note [unclosed-block]";
        QTest::newRow("one report for nested classes") << "class A {\n  class B {\n    x = 1;\n"
                                                       << "3:11 error [unclosed-block]\n"
                                                          "2:3 note [unclosed-block]";
        QTest::newRow("stray word at the start") << "x// the mission\n\nclass Header {};"
                                                 << "1:1 error [syntax]";
        // Silencing comments
        QTest::newRow("silenced on the line") << "respawn = 9; // check: ignore respawn-value"
                                              << "";
        QTest::newRow("silenced from the line before")
            << "/* check: ignore respawn-value, number-value */\nrespawn = 9;"
            << "";
        QTest::newRow("silencing names another kind")
            << "// check: ignore number-value\nrespawn = 9;"
            << "2:11 warning [respawn-value]";
        QTest::newRow("silencing reaches one line only")
            << "// check: ignore respawn-value\n\nrespawn = 9;"
            << "3:11 warning [respawn-value]";
        QTest::newRow("silencing text in a string does nothing")
            << "x = \"check: ignore respawn-value\";\nrespawn = 9;"
            << "2:11 warning [respawn-value]";
    }
    void rules()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        ReadOptions options;
        options.styleNotes = false;
        options.fileExists = missionFileExists;
        // Without a loader (the preview) includes are not followed at all.
        if (qstrcmp(QTest::currentDataTag(), "an include not followed") != 0)
            options.includeLoader = [](const QString &, const QString &) { return IncludedFile{}; };
        // A name that leads out of the mission folder is never looked for.
        QStringList asked;
        options.fileExists = [&asked](const QString &path) {
            asked << path;
            return missionFileExists(path);
        };
        const ReadResult kept = readConfig(text, options);
        QCOMPARE(found(kept), expected);
        for (const QString &path : std::as_const(asked))
            QVERIFY2(!path.startsWith(u"..") && !path.contains(u":") && !path.contains(u"..\\..") &&
                         !path.startsWith(u"a3", Qt::CaseInsensitive),
                     qPrintable(path));
        // --check keeps no tree; the rules see the same.
        options.keepEntries = false;
        QCOMPARE(found(readConfig(text, options)), expected);
    }

    // Every rule runs without the tree too, in memory bounded by the statements a class keeps:
    // a class of many statements past that bound still reads, and rules that need the whole
    // class are skipped instead of guessing.
    void manyStatementsWithoutTree()
    {
        QString text = u"class CfgSounds {\nsounds[] = {\"s119999\"};\n"_qs;
        for (int i = 0; i < 120'000; ++i)
            text += QStringLiteral("class s%1 {};\n").arg(i);
        text += u"};\nrespawn = 9;\n"_qs;
        ReadOptions options;
        options.keepEntries = false;
        const ReadResult r = readConfig(text, options);
        QCOMPARE(found(r), u"120004:11 warning [respawn-value]"_qs);
        QVERIFY(r.entries.isEmpty());
    }

    // The help topic "Checking a file" lists every diagnostic name, and only those.
    void helpListsEveryName()
    {
        QFile page(QStringLiteral(MERROW_HELP_DIR "/checking.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        QSet<QString> listed;
        static const QRegularExpression Row(QStringLiteral("<td><code>\\[([a-z-]+)\\]</code>"));
        for (auto it = Row.globalMatch(html); it.hasNext();)
            listed.insert(it.next().captured(1));
        QSet<QString> names;
        for (int k = 0; k <= int(DiagnosticKind::OutOfMemory); ++k)
            names.insert(diagnosticName(DiagnosticKind(k)));
        QCOMPARE(listed, names);
    }
};

QTEST_GUILESS_MAIN(tst_checkrules)
#include "tst_checkrules.moc"
