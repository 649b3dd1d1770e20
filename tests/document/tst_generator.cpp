// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editordocument.h"
#include "generator.h"
#include "textlines.h"

#include <QTest>

// Whole-file golden comparisons of the generated description text.
class tst_Generator : public QObject
{
    Q_OBJECT

private:
    // The text generated after start-up: the golden file saved from the start state, less the
    // CR LF that saving adds.
    static QString startStateText()
    {
        const QByteArray saved = testData(QStringLiteral("startstate.ext"));
        return QString::fromLatin1(saved.chopped(2));
    }
    // Lines 1 to 15 of a file generated after start-up.
    static QStringList headerAndFixedLines()
    {
        return startStateText().split(QStringLiteral("\r\n")).mid(0, 15);
    }

    static void startUp(EditorDocument &doc) { doc.applyStartUp(); }

private Q_SLOTS:
    void startState()
    {
        EditorDocument doc;
        startUp(doc);
        const QString expected = startStateText();
        QCOMPARE(generate(doc).text, expected);
        QCOMPARE(expected.count(QStringLiteral("\r\n")), 25);
        QCOMPARE(expected, crlfLines(headerAndFixedLines() + emptyLines(10)));
    }

    void everySwitchOff()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::missionStringEnabled, 0);
        doc.setSwitch(Switch::missionTimeEnabled, 0);
        for (Switch s :
             {Switch::gpsCheck, Switch::compassCheck, Switch::watchCheck, Switch::mapCheck,
              Switch::notepadCheck, Switch::briefingCheck, Switch::debriefingCheck})
            doc.setSwitch(s, 0);
        const QStringList lines =
            QStringList{
                QStringLiteral("// description.ext file created in Merrow Editor by Tandry"),
                QString(),
                QString(),
                QStringLiteral("OnLoadIntroTime=FALSE;"),
                QStringLiteral("OnLoadMissionTime=FALSE;"),
                QString(),
                QStringLiteral("disabledAI=FALSE;"),
                QStringLiteral("ShowGPS=0;"),
                QStringLiteral("showCompass=0;"),
                QStringLiteral("showWatch=0;"),
                QStringLiteral("showMap=0;"),
                QStringLiteral("showNotePad=0;"),
                QStringLiteral("briefing=0;"),
                QStringLiteral("debriefing=0;"),
            } +
            emptyLines(10);
        QCOMPARE(generate(doc).text, crlfLines(lines));
    }

    void everythingOn()
    {
        // The design state: every switch checked and enabled, every section written.
        EditorDocument doc;
        doc.setText(Field::introString, QStringLiteral("Intro"));
        doc.setText(Field::typeValue, QStringLiteral("CTF"));
        doc.setRespawnMode(RespawnMode::Base);
        const QStringList lines = QStringList{
            QStringLiteral("// description.ext file created in Merrow Editor by Tandry"),
            QString(),
            QStringLiteral("OnLoadIntro=\"Intro\";"),
            QStringLiteral("OnLoadMission=\"\";"),
            QString(),
            QStringLiteral("OnLoadIntroTime=TRUE;"),
            QStringLiteral("OnLoadMissionTime=TRUE;"),
            QString(),
            QStringLiteral("disabledAI=TRUE;"),
            QStringLiteral("ShowGPS=1;"),
            QStringLiteral("showCompass=1;"),
            QStringLiteral("showWatch=1;"),
            QStringLiteral("showMap=1;"),
            QStringLiteral("showNotePad=1;"),
            QStringLiteral("briefing=1;"),
            QStringLiteral("debriefing=1;"),
            QString(),
            QStringLiteral("minScore=0;"),
            QStringLiteral("avgScore=2500;"),
            QStringLiteral("maxScore=5000;"),
            QString(),
            QStringLiteral("class CfgIdentities"),
            QStringLiteral("{"),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class CfgRadio"),
            QStringLiteral("{"),
            QStringLiteral("sounds[]={};"),
            QString(),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class CfgSounds"),
            QStringLiteral("{"),
            QStringLiteral("sounds[]={};"),
            QString(),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class CfgMusic"),
            QStringLiteral("{"),
            QStringLiteral("tracks[]={};"),
            QString(),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class Weapons"),
            QStringLiteral("{"),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class Magazines"),
            QStringLiteral("{"),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("class Header"),
            QStringLiteral("{"),
            QStringLiteral("gameType=CTF;"),
            QStringLiteral("minPlayers=2;"),
            QStringLiteral("maxPlayers=10;"),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("respawn=3;"),
            QStringLiteral("respawnDelay=10;"),
            QStringLiteral("respawnVehicleDelay=10;"),
            QStringLiteral("respawnDialog=1;"),
            QString(),
            QStringLiteral("class Params"),
            QStringLiteral("{"),
            QStringLiteral("};"),
            QString(),
            QStringLiteral("// Other code"),
        };
        QCOMPARE(generate(doc).text, crlfLines(lines));
    }

    // One section switched on with its code box empty, everything else as at start.
    void sectionOnWithEmptyBox_data()
    {
        QTest::addColumn<Switch>("section");
        QTest::addColumn<int>("separatorsBefore");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<int>("separatorsAfter");

        QTest::newRow("identity") << Switch::mainIdentityActive << 2
                                  << QStringList{"class CfgIdentities", "{", "};"} << 8;
        QTest::newRow("radio") << Switch::mainRadioActive << 3
                               << QStringList{"class CfgRadio", "{", "sounds[]={};", "", "};"} << 7;
        QTest::newRow("sounds") << Switch::mainSoundActive << 4
                                << QStringList{"class CfgSounds", "{", "sounds[]={};", "", "};"}
                                << 6;
        QTest::newRow("music") << Switch::mainMusicActive << 5
                               << QStringList{"class CfgMusic", "{", "tracks[]={};", "", "};"} << 5;
        QTest::newRow("loadout") << Switch::mainLoadoutActive << 6
                                 << QStringList{"class Weapons",   "{", "};", "",
                                                "class Magazines", "{", "};"}
                                 << 4;
        QTest::newRow("params") << Switch::paramsActive << 9
                                << QStringList{"class Params", "{", "};"} << 1;
        QTest::newRow("other") << Switch::mainOtherActive << 10 << QStringList{"// Other code"}
                               << 0;
        QTest::newRow("score") << Switch::scoreEnabled << 1
                               << QStringList{"minScore=0;", "avgScore=2500;", "maxScore=5000;"}
                               << 9;
    }
    void sectionOnWithEmptyBox()
    {
        QFETCH(Switch, section);
        QFETCH(int, separatorsBefore);
        QFETCH(QStringList, block);
        QFETCH(int, separatorsAfter);

        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(section, 1);
        const QString expected = crlfLines(headerAndFixedLines() + emptyLines(separatorsBefore) +
                                           block + emptyLines(separatorsAfter));
        QCOMPARE(generate(doc).text, expected);
    }

    void respawnModes_data()
    {
        QTest::addColumn<RespawnMode>("mode");
        QTest::addColumn<QString>("line");
        QTest::newRow("NONE") << RespawnMode::None << "respawn=0;";
        QTest::newRow("BIRD") << RespawnMode::Bird << "respawn=1;";
        QTest::newRow("INSTANT") << RespawnMode::Instant << "respawn=2;";
        QTest::newRow("BASE") << RespawnMode::Base << "respawn=3;";
        QTest::newRow("GROUP") << RespawnMode::Group << "respawn=4;";
        QTest::newRow("SIDE") << RespawnMode::Side << "respawn=5;";
    }
    void respawnModes()
    {
        QFETCH(RespawnMode, mode);
        QFETCH(QString, line);

        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::respawnActive, 1);
        doc.setSwitch(Switch::respawnCheck, 1);
        doc.setRespawnMode(mode);
        const QStringList header{"class Header",   "{", "gameType=;", "minPlayers=2;",
                                 "maxPlayers=10;", "};"};
        const QString expected =
            crlfLines(headerAndFixedLines() + emptyLines(7) + header + emptyLines(1) +
                      QStringList{line, "respawnDialog=0;"} + emptyLines(2));
        QCOMPARE(generate(doc).text, expected);

        // The mode alone writes nothing while the respawn switch is off.
        doc.setSwitch(Switch::respawnCheck, 0);
        QCOMPARE(generate(doc).fragments[int(Fragment::respawn)], QString());
    }

    void secondWorkedExample()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::respawnActive, 1);
        const QStringList header{"class Header",   "{", "gameType=;", "minPlayers=2;",
                                 "maxPlayers=10;", "};"};
        const QString expected =
            crlfLines(headerAndFixedLines() + emptyLines(7) + header + emptyLines(1) +
                      QStringList{"respawnDialog=0;"} + emptyLines(2));
        QCOMPARE(generate(doc).text, expected);
    }

    void radioEntryInsideItsClass()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::mainRadioActive, 1);
        const QString entry =
            QStringLiteral("class msg1 {\r\n\tname=\"\";\r\n\tsound[]={\"radio\\msg1.ogg\", "
                           "db+0, 1.0};\r\n\ttitle=\"Go\";\r\n\t};\r\n\r\n");
        doc.appendCode(CodeBox::mainRadioCode, entry);
        const QStringList block{"class CfgRadio",
                                "{",
                                "sounds[]={};",
                                "",
                                "class msg1 {",
                                "\tname=\"\";",
                                "\tsound[]={\"radio\\msg1.ogg\", db+0, 1.0};",
                                "\ttitle=\"Go\";",
                                "\t};",
                                "",
                                "};"};
        QCOMPARE(generate(doc).text,
                 crlfLines(headerAndFixedLines() + emptyLines(3) + block + emptyLines(7)));
    }

    void respawnDialogCases_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("enabled, unchecked") << true << 0 << "respawnDialog=0;\r\n";
        QTest::newRow("enabled, checked") << true << 1 << "respawnDialog=1;\r\n";
        QTest::newRow("disabled, unchecked") << false << 0 << "";
        QTest::newRow("disabled, checked") << false << 1 << "";
    }
    void respawnDialogCases()
    {
        QFETCH(bool, enabled);
        QFETCH(int, value);
        QFETCH(QString, fragment);

        EditorDocument doc;
        doc.setEnabled(Switch::dialogCheck, enabled);
        doc.setSwitch(Switch::dialogCheck, value);
        QCOMPARE(generateFragment(doc, Fragment::respawnDialog), fragment);
    }

    // Values pass into the file exactly as typed, and the layout has no hidden extras.
    void typedValues_data()
    {
        QTest::addColumn<Switch>("gate");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Fragment>("fragment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("delay abc") << Switch::delayCheck << Field::delayText << "abc"
                                   << Fragment::respawnDelay << "respawnDelay=abc;\r\n";
        QTest::newRow("vehicle delay blank")
            << Switch::vehicleDelayCheck << Field::vehicleDelayText << " " << Fragment::vehicleDelay
            << "respawnVehicleDelay= ;\r\n";
        QTest::newRow("quote in intro")
            << Switch::introStringEnabled << Field::introString << "say \"hi\""
            << Fragment::introString << "OnLoadIntro=\"say \"hi\"\";\r\n";
        QTest::newRow("empty mission") << Switch::missionStringEnabled << Field::missionString << ""
                                       << Fragment::missionString << "OnLoadMission=\"\";\r\n";
        QTest::newRow("score words")
            << Switch::scoreEnabled << Field::avgScoreText << "lots" << Fragment::score
            << "minScore=0;\r\navgScore=lots;\r\nmaxScore=5000;\r\n";
        QTest::newRow("game type")
            << Switch::respawnActive << Field::typeValue << "\"DM\"" << Fragment::header
            << "class Header\r\n{\r\ngameType=\"DM\";\r\nminPlayers=2;\r\nmaxPlayers=10;\r\n};\r\n";
    }
    void typedValues()
    {
        QFETCH(Switch, gate);
        QFETCH(Field, field);
        QFETCH(QString, typed);
        QFETCH(Fragment, fragment);
        QFETCH(QString, expected);

        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::respawnActive, 1);
        doc.setSwitch(gate, 1);
        doc.setText(field, typed);
        QCOMPARE(generate(doc).fragments[int(fragment)], expected);
    }

    void codeWithoutTrailingBreakGetsBraceOnItsLastLine()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::mainIdentityActive, 1);
        doc.setCode(CodeBox::mainIdentityCode, QStringLiteral("class a {\r\n\t};"));
        QCOMPARE(generate(doc).fragments[int(Fragment::identity)],
                 QStringLiteral("class CfgIdentities\r\n{\r\nclass a {\r\n\t};};\r\n"));
    }

    void otherCodeEndsTheFileAsTyped()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::mainOtherActive, 1);
        doc.setCode(CodeBox::mainOtherCode, QStringLiteral("x=1;"));
        QVERIFY(generate(doc).text.endsWith(QStringLiteral("\r\n\r\nx=1;")));
    }

    void uncheckedAccessoryWritesItsZeroLine()
    {
        EditorDocument doc;
        startUp(doc);
        doc.setSwitch(Switch::notepadCheck, 0);
        const QString text = generate(doc).text;
        QVERIFY(text.contains(QStringLiteral("\r\nshowNotePad=0;\r\nbriefing=1;\r\n")));
    }

    void generateChangesNothing()
    {
        EditorDocument doc;
        startUp(doc);
        const QString before = doc.fragment(Fragment::disabledAI);
        const GeneratedFile file = generate(doc);
        QCOMPARE(doc.fragment(Fragment::disabledAI), before);
        QCOMPARE(doc.fragment(Fragment::gps), QString());
        QCOMPARE(doc.generatedText(), QString());
        QCOMPARE(file.fragments[int(Fragment::gps)], QStringLiteral("ShowGPS=1;\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Generator)
#include "tst_generator.moc"
