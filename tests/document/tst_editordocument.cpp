// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editordocument.h"

#include <QMetaEnum>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

class tst_EditorDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designStateHasEverySwitchOnAndStartTexts()
    {
        EditorDocument doc;
        for (int i = 0; i < SwitchCount; ++i) {
            QCOMPARE(doc.value(Switch(i)), 1);
            QVERIFY(doc.isEnabled(Switch(i)));
        }
        QCOMPARE(doc.text(Field::avgScoreText), QStringLiteral("2500"));
        QCOMPARE(doc.code(CodeBox::mainOtherCode), QStringLiteral("// Other code\r\n"));
        QCOMPARE(doc.respawnMode(), RespawnMode::None);
        for (int i = 0; i < FragmentCount; ++i)
            QVERIFY(doc.fragment(Fragment(i)).isEmpty());
    }

    void startUpState_data()
    {
        QTest::addColumn<Switch>("sw");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("enabled");

        for (Switch s : {Switch::missionStringEnabled, Switch::missionTimeEnabled, Switch::gpsCheck,
                         Switch::compassCheck, Switch::watchCheck, Switch::mapCheck,
                         Switch::notepadCheck, Switch::briefingCheck, Switch::debriefingCheck})
            QTest::newRow(switchName(s)) << s << 1 << true;
        for (Switch s :
             {Switch::introStringEnabled, Switch::introTimeEnabled, Switch::disabledaiCheck,
              Switch::scoreEnabled, Switch::mainIdentityActive, Switch::mainRadioActive,
              Switch::mainSoundActive, Switch::mainMusicActive, Switch::mainLoadoutActive,
              Switch::respawnActive, Switch::paramsActive, Switch::mainOtherActive})
            QTest::newRow(switchName(s)) << s << 0 << true;
        for (Switch s : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck,
                         Switch::dialogCheck})
            QTest::newRow(switchName(s)) << s << 0 << false;
    }
    void startUpState()
    {
        QFETCH(Switch, sw);
        QFETCH(int, value);
        QFETCH(bool, enabled);

        EditorDocument doc;
        doc.applyStartUp();
        QCOMPARE(doc.value(sw), value);
        QCOMPARE(doc.isEnabled(sw), enabled);
    }

    void startUpSlotsAndTexts()
    {
        EditorDocument doc;
        doc.applyStartUp();
        QCOMPARE(doc.fragment(Fragment::disabledAI), QStringLiteral("disabledAI=FALSE;\r\n"));
        QCOMPARE(doc.fragment(Fragment::gps), QString());
        QCOMPARE(doc.fragment(Fragment::respawnDialog), QString());
        QCOMPARE(doc.text(Field::minScoreText), QStringLiteral("0"));
        QCOMPARE(doc.text(Field::maxScoreText), QStringLiteral("5000"));
        QCOMPARE(doc.text(Field::delayText), QStringLiteral("10"));
        QCOMPARE(doc.text(Field::vehicleDelayText), QStringLiteral("10"));
        QCOMPARE(doc.text(Field::minPlayersValue), QStringLiteral("2"));
        QCOMPARE(doc.text(Field::maxPlayersValue), QStringLiteral("10"));
        QCOMPARE(doc.text(Field::typeValue), QString());
        QCOMPARE(doc.respawnMode(), RespawnMode::None);
    }

    void respawnActiveCascade()
    {
        EditorDocument doc;
        doc.applyStartUp();
        doc.setSwitch(Switch::respawnActive, 1);
        for (Switch s : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck,
                         Switch::dialogCheck}) {
            QVERIFY(doc.isEnabled(s));
            QCOMPARE(doc.value(s), 0); // enabling checks nothing
            doc.setSwitch(s, 1);
        }
        doc.setRespawnMode(RespawnMode::Group);

        QSignalSpy changes(&doc, &EditorDocument::switchChanged);
        doc.setSwitch(Switch::respawnActive, 0);
        QCOMPARE(changes.count(), 4); // respawnActive and the three it unchecks
        for (Switch s : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck}) {
            QCOMPARE(doc.value(s), 0);
            QVERIFY(!doc.isEnabled(s));
        }
        QCOMPARE(doc.value(Switch::dialogCheck), 1);
        QVERIFY(!doc.isEnabled(Switch::dialogCheck));

        doc.setSwitch(Switch::respawnActive, 1);
        QCOMPARE(doc.value(Switch::respawnCheck), 0);
        QCOMPARE(doc.value(Switch::dialogCheck), 1);
        QVERIFY(doc.isEnabled(Switch::dialogCheck));
        QCOMPARE(doc.respawnMode(), RespawnMode::Group);
    }

    void stringSwitchEmptiesItsText_data()
    {
        QTest::addColumn<Switch>("sw");
        QTest::addColumn<Field>("field");
        QTest::newRow("intro") << Switch::introStringEnabled << Field::introString;
        QTest::newRow("mission") << Switch::missionStringEnabled << Field::missionString;
    }
    void stringSwitchEmptiesItsText()
    {
        QFETCH(Switch, sw);
        QFETCH(Field, field);
        EditorDocument doc;
        doc.setText(field, QStringLiteral("Loading..."));
        doc.setSwitch(sw, 0);
        QCOMPARE(doc.text(field), QString());
        doc.setSwitch(sw, 1);
        QCOMPARE(doc.text(field), QString());
    }

    void otherSwitchesKeepTexts()
    {
        EditorDocument doc;
        doc.setCode(CodeBox::mainIdentityCode, QStringLiteral("class a {\r\n\t};\r\n\r\n"));
        doc.setText(Field::delayText, QStringLiteral("30"));
        doc.setSwitch(Switch::mainIdentityActive, 0);
        doc.setSwitch(Switch::respawnActive, 0);
        doc.setSwitch(Switch::scoreEnabled, 0);
        doc.setSwitch(Switch::mainIdentityActive, 1);
        QCOMPARE(doc.code(CodeBox::mainIdentityCode), QStringLiteral("class a {\r\n\t};\r\n\r\n"));
        QCOMPARE(doc.text(Field::delayText), QStringLiteral("30"));
        QCOMPARE(doc.text(Field::avgScoreText), QStringLiteral("2500"));
    }

    void accessorySlotFollowsItsSwitch()
    {
        EditorDocument doc;
        doc.applyStartUp();
        doc.setSwitch(Switch::gpsCheck, 0);
        QCOMPARE(doc.fragment(Fragment::gps), QStringLiteral("ShowGPS=0;\r\n"));
        doc.setSwitch(Switch::gpsCheck, 1);
        QCOMPARE(doc.fragment(Fragment::gps), QStringLiteral("ShowGPS=1;\r\n"));
        doc.setSwitch(Switch::disabledaiCheck, 1);
        QCOMPARE(doc.fragment(Fragment::disabledAI), QStringLiteral("disabledAI=TRUE;\r\n"));
    }

    void settingTheSameValueRunsNothing()
    {
        EditorDocument doc;
        doc.applyStartUp();
        QSignalSpy changes(&doc, &EditorDocument::switchChanged);
        QSignalSpy texts(&doc, &EditorDocument::textChanged);
        doc.setSwitch(Switch::introStringEnabled, 0);
        doc.setSwitch(Switch::gpsCheck, 1);
        doc.setText(Field::avgScoreText, QStringLiteral("2500"));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(texts.count(), 0);
    }

    void appendPutsNothingBetween()
    {
        EditorDocument doc;
        QSignalSpy appended(&doc, &EditorDocument::codeAppended);
        const QString entry = QStringLiteral("class a {\r\n\t};\r\n\r\n");
        doc.appendCode(CodeBox::mainRadioCode, entry);
        doc.appendCode(CodeBox::mainRadioCode, entry);
        QCOMPARE(doc.code(CodeBox::mainRadioCode), entry + entry);
        QCOMPARE(appended.count(), 2);
        QCOMPARE(appended.at(1).at(1).toString(), entry);

        doc.setCode(CodeBox::mainSoundCode, QStringLiteral("// hand edit"));
        doc.appendCode(CodeBox::mainSoundCode, entry);
        QCOMPARE(doc.code(CodeBox::mainSoundCode), QStringLiteral("// hand edit") + entry);
    }

    void codeBoxesHoldCrLf_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("held");
        QTest::newRow("LF") << "a\nb\n"
                            << "a\r\nb\r\n";
        QTest::newRow("CR") << "a\rb"
                            << "a\r\nb";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\r\nb";
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << "a\r\nb";
        QTest::newRow("blank lines") << "\n\n"
                                     << "\r\n\r\n";
    }
    void codeBoxesHoldCrLf()
    {
        QFETCH(QString, given);
        QFETCH(QString, held);
        EditorDocument doc;
        doc.setCode(CodeBox::paramsCode, given);
        QCOMPARE(doc.code(CodeBox::paramsCode), held);
        doc.setCode(CodeBox::paramsCode, QString());
        doc.appendCode(CodeBox::paramsCode, given);
        QCOMPARE(doc.code(CodeBox::paramsCode), held);
    }

    void staleCodeIsFetchedOnceWhenRead()
    {
        EditorDocument doc;
        QString widgetText = QStringLiteral("typed\nline");
        int fetches = 0;
        doc.setCodeSource(CodeBox::mainMusicCode, [&] {
            ++fetches;
            return widgetText;
        });
        doc.markCodeStale(CodeBox::mainMusicCode);
        doc.markCodeStale(CodeBox::mainMusicCode);
        QCOMPARE(fetches, 0);
        QCOMPARE(doc.code(CodeBox::mainMusicCode), QStringLiteral("typed\r\nline"));
        QCOMPARE(doc.code(CodeBox::mainMusicCode), QStringLiteral("typed\r\nline"));
        QCOMPARE(fetches, 1);

        // An append after typing keeps what was typed in front of the entry.
        widgetText = QStringLiteral("typed more");
        doc.markCodeStale(CodeBox::mainMusicCode);
        doc.appendCode(CodeBox::mainMusicCode, QStringLiteral("x\r\n"));
        QCOMPARE(doc.code(CodeBox::mainMusicCode), QStringLiteral("typed morex\r\n"));
    }

    void createStoresSlotsAndIsRepeatable()
    {
        EditorDocument doc;
        doc.applyStartUp();
        const QString first = doc.create();
        QCOMPARE(doc.generatedText(), first);
        QCOMPARE(doc.fragment(Fragment::gps), QStringLiteral("ShowGPS=1;\r\n"));
        QCOMPARE(doc.fragment(Fragment::missionString), QStringLiteral("OnLoadMission=\"\";\r\n"));
        QCOMPARE(doc.create(), first);

        // Nothing of an earlier run survives into the next one but through the document.
        doc.setSwitch(Switch::mainOtherActive, 1);
        doc.create();
        QVERIFY(doc.generatedText().endsWith(QStringLiteral("// Other code\r\n")));
        doc.setSwitch(Switch::mainOtherActive, 0);
        QCOMPARE(doc.create(), first);
        QCOMPARE(doc.fragment(Fragment::other), QString());
    }

    void namesMatchControls()
    {
        QCOMPARE(switchName(Switch::disabledaiCheck), "disabledaiCheck");
        QCOMPARE(switchName(Switch::mainOtherActive), "mainOtherActive");
        QCOMPARE(fieldName(Field::vehicleDelayText), "vehicleDelayText");
        QCOMPARE(codeBoxName(CodeBox::mainLoadoutMagazinesCode), "mainLoadoutMagazinesCode");
        QCOMPARE(respawnOptionName(RespawnMode::Side), "sideOption");
    }

    // The counts are spelled after the last enumerator; one added behind it must not fall
    // out of the arrays, and every value needs a name of its own for its control.
    void everyValueHasItsOwnName()
    {
        QCOMPARE(QMetaEnum::fromType<Switch>().keyCount(), SwitchCount);
        QCOMPARE(QMetaEnum::fromType<Field>().keyCount(), FieldCount);
        QCOMPARE(QMetaEnum::fromType<CodeBox>().keyCount(), CodeBoxCount);
        QSet<QByteArray> names;
        const auto add = [&](const char *name) {
            return name && !names.contains(name) && (names << name, true);
        };
        for (int i = 0; i < SwitchCount; ++i)
            QVERIFY(add(switchName(Switch(i))));
        for (int i = 0; i < FieldCount; ++i)
            QVERIFY(add(fieldName(Field(i))));
        for (int i = 0; i < CodeBoxCount; ++i)
            QVERIFY(add(codeBoxName(CodeBox(i))));
        for (int i = 0; i < RespawnModeCount; ++i)
            QVERIFY(add(respawnOptionName(RespawnMode(i))));
    }

    // Over random switch changes and Creates: an accessory, time or score slot holds what the
    // generator makes of it once its switch has changed or Create has run, and is empty before;
    // a section slot is empty after its switch went off.
    void slotsFollowRandomChanges()
    {
        const std::pair<Switch, Fragment> kept[] = {
            {Switch::introTimeEnabled, Fragment::introTime},
            {Switch::scoreEnabled, Fragment::score},
            {Switch::disabledaiCheck, Fragment::disabledAI},
            {Switch::gpsCheck, Fragment::gps},
            {Switch::debriefingCheck, Fragment::debriefing}};
        QRandomGenerator random(20261207);
        for (int run = 0; run < 50; ++run) {
            EditorDocument doc;
            QSet<Switch> changed;
            bool created = false;
            for (int step = 0; step < 40; ++step) {
                const Switch s = Switch(random.bounded(SwitchCount));
                const int before = doc.value(s);
                doc.setSwitch(s, int(random.bounded(2)));
                if (doc.value(s) != before)
                    changed << s;
                if (random.bounded(8) == 0)
                    created = !doc.create().isEmpty();
                for (const auto &[gate, slot] : kept) {
                    QCOMPARE(doc.fragment(slot), changed.contains(gate) || created
                                                     ? generateFragment(doc, slot)
                                                     : QString());
                }
                if (!doc.isChecked(Switch::mainRadioActive) && s == Switch::mainRadioActive)
                    QCOMPARE(doc.fragment(Fragment::radio), QString());
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_EditorDocument)
#include "tst_editordocument.moc"
