// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "othersettings.h"
#include "testseed.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(MissionSetting)

// The Mission settings as the Other text holds them: what a written value reads as, what the
// window writes back, and that applying a change touches only its own line.
class tst_OtherSettings : public QObject
{
    Q_OBJECT

private:
    static MissionSetting settingIn(const QString &text, const char *key)
    {
        for (const MissionSetting &s : readMissionSettings(text)) {
            if (QLatin1StringView(s.row->key) == QLatin1StringView(key))
                return s;
        }
        qFatal("no row %s", key);
    }
    static MissionSetting with(const char *key, bool set, const QString &value = {},
                               const QStringList &flags = {})
    {
        MissionSetting s;
        s.row = config::findKeySetting(QString::fromLatin1(key));
        s.set = set;
        s.value = value;
        s.flags = flags;
        return s;
    }

private Q_SLOTS:
    void rowsAreKnownKeysTheFormDoesNotHold()
    {
        for (const config::KeySetting &row : config::keySettings()) {
            const QString key = QLatin1StringView(row.key);
            QVERIFY2(config::detail::isKnownKey(key), row.key);
            QCOMPARE(config::findKeySetting(key.toUpper()), &row);
            QVERIFY2(QByteArray(row.help).size() > 0 && QByteArray(row.source).size() > 0, row.key);
            if (row.type == config::SettingType::Choice || row.type == config::SettingType::FlagSet)
                QVERIFY2(!row.choices.empty(), row.key);
        }
        for (const char *formKey : {"OnLoadIntro", "OnLoadMission", "respawn", "respawnDelay",
                                    "respawnDialog", "disabledAI", "showMap", "minScore"})
            QVERIFY2(!config::findKeySetting(QString::fromLatin1(formKey)), formKey);
    }

    // The value in the text, the window's state for it, and what it writes back.
    void valueStateAndWriteBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("written");
        const QStringList none;
        auto row = [&](const char *name, const char *text, const char *key, bool readOnly,
                       const QString &value, const QStringList &flags, const QString &written) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(key) << readOnly
                                << value << flags << written;
        };
        row("text", "author = \"Tandry\";", "author", false, "Tandry", none, "\"Tandry\"");
        row("text quotes", "author = \"say \"\"hi\"\"\";", "author", false, "say \"hi\"", none,
            "\"say \"\"hi\"\"\"");
        row("path", "loadScreen = \"pics\\load.paa\";", "loadScreen", false, "pics\\load.paa", none,
            "\"pics\\load.paa\"");
        row("number", "corpseLimit = 60;", "corpseLimit", false, "60", none, "60");
        row("number below range", "corpseLimit = -1;", "corpseLimit", true, {}, none, {});
        row("number not whole", "corpseRemovalMinTime = 1.5;", "corpseRemovalMinTime", true, {},
            none, {});
        row("choice", "respawnOnStart = -1;", "respawnOnStart", false, "-1", none, "-1");
        row("choice true", "saving = true;", "saving", false, "1", none, "1");
        row("choice FALSE", "saving = FALSE;", "saving", false, "0", none, "0");
        row("choice undocumented", "saving = 2;", "saving", true, {}, none, {});
        row("choice quoted", "saving = \"0\";", "saving", true, {}, none, {});
        row("macro", "#define ADMINS 1\nenableDebugConsole = ADMINS;", "enableDebugConsole", true,
            {}, none, {});
        row("expression", "corpseLimit = __EVAL(5*2);", "corpseLimit", true, {}, none, {});
        row("templates", "respawnTemplates[] = {\"Tickets\", \"menuposition\"};",
            "respawnTemplates", false, {}, {"MenuPosition", "Tickets"},
            "{\"MenuPosition\", \"Tickets\"}");
        row("templates empty", "respawnTemplates[] = {};", "respawnTemplates", false, {}, none,
            "{}");
        row("template of a mod", "respawnTemplates[] = {\"Exile\"};", "respawnTemplates", true, {},
            none, {});
        row("templates appended", "respawnTemplates[] += {\"Tickets\"};", "respawnTemplates", true,
            {}, none, {});
        row("templates not an array", "respawnTemplates = \"Tickets\";", "respawnTemplates", true,
            {}, none, {});
        row("channels", "disableChannels[] = {2, 0};", "disableChannels", false, {}, {"0", "2"},
            "{0, 2}");
        row("channels with voice", "disableChannels[] = {{0, true, true}};", "disableChannels",
            true, {}, none, {});
        row("channels quoted", "disableChannels[] = {\"0\"};", "disableChannels", true, {}, none,
            {});
        row("inside ifdef", "#define DEBUG\n#ifdef DEBUG\nsaving = 0;\n#endif", "saving", true, {},
            none, {});
        row("inside ifdef switched off", "#ifdef DEBUG\nsaving = 0;\n#endif", "saving", true, {},
            none, {});
        row("twice", "saving = 0;\nsaving = 1;", "saving", true, {}, none, {});
        row("key case", "CORPSELIMIT = 7;", "corpseLimit", false, "7", none, "7");
    }
    void valueStateAndWriteBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(bool, readOnly);
        QFETCH(QString, value);
        QFETCH(QStringList, flags);
        QFETCH(QString, written);
        const MissionSetting s = settingIn(text, key.toLatin1().constData());
        QVERIFY(s.set);
        QCOMPARE(s.readOnly, readOnly);
        if (readOnly) {
            QVERIFY(!s.written.isEmpty());
            // The window hands a read-only setting back as it got it; nothing changes.
            MissionSetting off = s;
            off.set = false;
            QCOMPARE(applyMissionSettings(text, {off}), text);
            return;
        }
        QCOMPARE(s.value, value);
        QCOMPARE(s.flags, flags);
        QCOMPARE(settingValueText(s), written);
    }

    // One change against a text with comments, a class and several settings: the expected
    // text differs from the original only in that setting's line.
    void applyingOneSettingChangesOnlyItsLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<MissionSetting>("change");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("// settings\r\n"
                                            "saving = 0; // no saves\r\n"
                                            "corpseLimit=60;\r\n"
                                            "class CfgX\r\n{\r\n  a = 1;\r\n};\r\n");
        QTest::newRow("replace keeps the key's spelling and comment")
            << text << with("saving", true, "1")
            << QStringLiteral("// settings\r\nsaving = 1; // no saves\r\ncorpseLimit=60;\r\n"
                              "class CfgX\r\n{\r\n  a = 1;\r\n};\r\n");
        QTest::newRow("switched off loses its line and comment")
            << text << with("saving", false)
            << QStringLiteral("// settings\r\ncorpseLimit=60;\r\nclass CfgX\r\n{\r\n  a = 1;\r\n"
                              "};\r\n");
        QTest::newRow("new key after the last setting, not in the class")
            << text << with("respawnTemplates", true, {}, {"Tickets"})
            << QStringLiteral("// settings\r\nsaving = 0; // no saves\r\ncorpseLimit=60;\r\n"
                              "respawnTemplates[] = {\"Tickets\"};\r\n"
                              "class CfgX\r\n{\r\n  a = 1;\r\n};\r\n");
        QTest::newRow("new key at the top without settings")
            << QStringLiteral("class CfgX {};\n") << with("author", true, "A \"B\"")
            << QStringLiteral("author = \"A \"\"B\"\"\";\nclass CfgX {};\n");
        QTest::newRow("into an empty box")
            << QString() << with("wreckLimit", true, "3") << QStringLiteral("wreckLimit = 3;");
        QTest::newRow("new key after a last line without a break")
            << QStringLiteral("a = 1;") << with("skipLobby", true, "1")
            << QStringLiteral("a = 1;\r\nskipLobby = 1;");
        QTest::newRow("last line without a break switched off")
            << QStringLiteral("a = 1;\nsaving = 0;") << with("saving", false)
            << QStringLiteral("a = 1;");
        QTest::newRow("a setting sharing its line keeps the other")
            << QStringLiteral("saving = 0; a = 1;\n") << with("saving", false)
            << QStringLiteral("a = 1;\n");
        QTest::newRow("array value replaced in place")
            << QStringLiteral("disableChannels[]={0};\n")
            << with("disableChannels", true, {}, {"1", "6"})
            << QStringLiteral("disableChannels[]={1, 6};\n");
        QTest::newRow("unchanged is not rewritten")
            << QStringLiteral("saving = true;\n") << with("saving", true, "1")
            << QStringLiteral("saving = true;\n");
    }
    void applyingOneSettingChangesOnlyItsLine()
    {
        QFETCH(QString, text);
        QFETCH(MissionSetting, change);
        QFETCH(QString, expected);
        QCOMPARE(applyMissionSettings(text, {change}), expected);
    }

    // Random settings applied to a text with other entries read back as they were asked, and
    // leave the other entries as they were.
    void randomSettingsRoundTrip()
    {
        const quint32 seed = testSeed(20261208);
        QRandomGenerator rng(seed);
        const QStringList texts{"", "Op \"Dawn\"", "é €", "x;y {a} // b", "pics\\a.paa"};
        QString text = QStringLiteral("// kept\r\nclass CfgX { b = 2; };\r\nunknownKey = 5;\r\n");
        for (int round = 0; round < 200; ++round) {
            QList<MissionSetting> wanted = readMissionSettings(text);
            for (MissionSetting &s : wanted) {
                if (rng.bounded(3) != 0)
                    continue;
                s.set = rng.bounded(2) == 1;
                s.value.clear();
                s.flags.clear();
                if (!s.set)
                    continue;
                switch (s.row->type) {
                case config::SettingType::Text:
                case config::SettingType::FilePath:
                    s.value = texts[rng.bounded(int(texts.size()))];
                    break;
                case config::SettingType::Number:
                    s.value = QString::number(rng.bounded(s.row->minimum, s.row->maximum + 1));
                    break;
                case config::SettingType::Choice:
                    s.value = QLatin1StringView(
                        s.row->choices[rng.bounded(quint32(s.row->choices.size()))].value);
                    break;
                case config::SettingType::FlagSet:
                    for (const config::SettingChoice &c : s.row->choices) {
                        if (rng.bounded(2))
                            s.flags << QLatin1StringView(c.value);
                    }
                    break;
                }
            }
            text = applyMissionSettings(text, wanted);
            QList<MissionSetting> read = readMissionSettings(text);
            for (MissionSetting &s : read)
                s.written.clear();
            QCOMPARE(read, wanted);
            QVERIFY(text.startsWith(u"// kept\r\nclass CfgX { b = 2; };\r\nunknownKey = 5;\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_OtherSettings)
#include "tst_othersettings.moc"
