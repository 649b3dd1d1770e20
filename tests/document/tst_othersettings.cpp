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

    static MissionSetting withChannels(bool perChannel, const QList<ChannelSwitch> &channels)
    {
        MissionSetting s = with("disableChannels", true);
        s.perChannel = perChannel;
        s.channels = channels;
        return s;
    }
    // What the window shows of a setting, in one line.
    static QString stateOf(const MissionSetting &s)
    {
        QStringList parts;
        if (!s.value.isEmpty())
            parts << u"value "_qs + s.value;
        if (!s.expression.isEmpty())
            parts << u"expression "_qs + s.expression;
        if (!s.flags.isEmpty())
            parts << u"flags "_qs + s.flags.join(u'|');
        QStringList channels;
        for (const ChannelSwitch &c : s.channels)
            channels << QStringLiteral("%1%2%3")
                            .arg(c.channel)
                            .arg(c.chat ? "c" : "")
                            .arg(c.voice ? "v" : "");
        if (!channels.isEmpty() || s.perChannel)
            parts << (s.perChannel ? u"per channel "_qs : u"channels "_qs) + channels.join(u' ');
        return parts.join(u"; "_qs);
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
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("written");
        auto row = [&](const char *name, const char *text, const char *key, bool readOnly,
                       const char *state, const char *written) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(key) << readOnly
                                << QString::fromUtf8(state) << QString::fromUtf8(written);
        };
        row("text", "author = \"Tandry\";", "author", false, "value Tandry", "\"Tandry\"");
        row("text quotes", "author = \"say \"\"hi\"\"\";", "author", false, "value say \"hi\"",
            "\"say \"\"hi\"\"\"");
        row("string reference", "author = $STR_myAuthor;", "author", false, "value $STR_myAuthor",
            "$STR_myAuthor");
        row("string reference quoted", "onLoadName = \"$STR_name\";", "onLoadName", false,
            "value $STR_name", "$STR_name");
        row("unquoted word that is no reference", "author = Tandry;", "author", true, "", "");
        row("path", "loadScreen = \"pics\\load.paa\";", "loadScreen", false, "value pics\\load.paa",
            "\"pics\\load.paa\"");
        row("path is no reference", "loadScreen = $STR_pic;", "loadScreen", true, "", "");
        row("number", "corpseLimit = 60;", "corpseLimit", false, "value 60", "60");
        row("number below range", "corpseLimit = -1;", "corpseLimit", true, "", "");
        row("number not whole", "corpseRemovalMinTime = 1.5;", "corpseRemovalMinTime", true, "",
            "");
        row("distance real missions use", "minPlayerDistance = 15000;", "minPlayerDistance", false,
            "value 15000", "15000");
        row("delay real missions use", "reviveForceRespawnDelay = 99999;",
            "reviveForceRespawnDelay", false, "value 99999", "99999");
        row("time as an expression", "corpseRemovalMaxTime = 30*60;", "corpseRemovalMaxTime", false,
            "value 1800; expression 30*60", "30*60");
        row("expression with spaces and brackets", "wreckRemovalMaxTime = (1 + 2) * 60;",
            "wreckRemovalMaxTime", false, "value 180; expression (1 + 2) * 60", "(1 + 2) * 60");
        row("expression of decimals, whole", "wreckRemovalMinTime = 1.5*60;", "wreckRemovalMinTime",
            false, "value 90; expression 1.5*60", "1.5*60");
        row("expression not whole", "wreckRemovalMinTime = 7/2;", "wreckRemovalMinTime", true, "",
            "");
        row("expression below range", "wreckLimit = 2-5;", "wreckLimit", true, "", "");
        row("expression with a name", "wreckLimit = 2*LIMIT;", "wreckLimit", true, "", "");
        row("choice", "respawnOnStart = -1;", "respawnOnStart", false, "value -1", "-1");
        row("choice true", "saving = true;", "saving", false, "value 1", "1");
        row("choice FALSE", "saving = FALSE;", "saving", false, "value 0", "0");
        row("choice undocumented", "saving = 2;", "saving", true, "", "");
        row("choice quoted", "saving = \"0\";", "saving", true, "", "");
        row("macro", "#define ADMINS 1\nenableDebugConsole = ADMINS;", "enableDebugConsole", true,
            "", "");
        row("evaluated", "corpseLimit = __EVAL(5*2);", "corpseLimit", true, "", "");
        row("debug console players",
            "enableDebugConsole[] = {\"76561198000000001\", \"76561198000000002\"};",
            "enableDebugConsole", false, "value players; flags 76561198000000001|76561198000000002",
            "{\"76561198000000001\", \"76561198000000002\"}");
        row("debug console players as numbers", "enableDebugConsole[] = {76561198000000001};",
            "enableDebugConsole", true, "", "");
        row("templates", "respawnTemplates[] = {\"Tickets\", \"menuposition\"};",
            "respawnTemplates", false, "flags Tickets|MenuPosition",
            "{\"Tickets\", \"MenuPosition\"}");
        row("templates empty", "respawnTemplates[] = {};", "respawnTemplates", false, "", "{}");
        row("a side's templates", "respawnTemplatesGuer[] = {\"wave\", \"Mine\"};",
            "respawnTemplatesGuer", false, "flags Wave|Mine", "{\"Wave\", \"Mine\"}");
        row("template of a mod", "respawnTemplates[] = {\"Exile\", \"Counter\"};",
            "respawnTemplates", false, "flags Exile|Counter", "{\"Exile\", \"Counter\"}");
        row("template twice", "respawnTemplates[] = {\"Wave\", \"wave\"};", "respawnTemplates",
            true, "", "");
        row("templates appended", "respawnTemplates[] += {\"Tickets\"};", "respawnTemplates", true,
            "", "");
        row("templates not an array", "respawnTemplates = \"Tickets\";", "respawnTemplates", true,
            "", "");
        row("channels", "disableChannels[] = {2, 0};", "disableChannels", false, "channels 2c 0c",
            "{2, 0}");
        row("channels with voice", "disableChannels[] = {{0,false,true},{1,true,true}};",
            "disableChannels", false, "per channel 0v 1cv", "{{0, false, true}, {1, true, true}}");
        row("channels with voice as numbers", "disableChannels[] = {{5, 1, 0}};", "disableChannels",
            false, "per channel 5c", "{{5, true, false}}");
        row("channels of both forms", "disableChannels[] = {0, {1, true, true}};",
            "disableChannels", true, "", "");
        row("channel listed twice", "disableChannels[] = {{1, true, true}, {1, false, true}};",
            "disableChannels", true, "", "");
        row("channel unknown", "disableChannels[] = {{9, true, true}};", "disableChannels", true,
            "", "");
        row("channels quoted", "disableChannels[] = {\"0\"};", "disableChannels", true, "", "");
        row("inside ifdef", "#define DEBUG\n#ifdef DEBUG\nsaving = 0;\n#endif", "saving", true, "",
            "");
        row("inside ifdef switched off", "#ifdef DEBUG\nsaving = 0;\n#endif", "saving", true, "",
            "");
        row("twice", "saving = 0;\nsaving = 1;", "saving", true, "", "");
        row("key case", "CORPSELIMIT = 7;", "corpseLimit", false, "value 7", "7");
    }
    void valueStateAndWriteBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(bool, readOnly);
        QFETCH(QString, state);
        QFETCH(QString, written);
        const MissionSetting s = settingIn(text, key.toLatin1().constData());
        QVERIFY(s.set);
        QCOMPARE(s.readOnly, readOnly);
        if (readOnly) {
            QVERIFY(!s.written.isEmpty());
            QCOMPARE(stateOf(s), QString());
            // The window hands a read-only setting back as it got it; nothing changes.
            MissionSetting off = s;
            off.set = false;
            QCOMPARE(applyMissionSettings(text, {off}), text);
            return;
        }
        QCOMPARE(stateOf(s), state);
        QCOMPARE(settingValueText(s), written);
        // Handed back unchanged, it is not rewritten.
        QCOMPARE(applyMissionSettings(text, {s}), text);
    }

    void expressionValues_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("whole");
        QTest::newRow("product") << u"30*60"_qs << qint64(1800) << true;
        QTest::newRow("precedence") << u"2+3*4"_qs << qint64(14) << true;
        QTest::newRow("brackets") << u"(2+3)*4"_qs << qint64(20) << true;
        QTest::newRow("minus") << u"10 - -2"_qs << qint64(12) << true;
        QTest::newRow("division whole") << u"3600/2"_qs << qint64(1800) << true;
        QTest::newRow("division not whole") << u"7/2"_qs << qint64(0) << false;
        QTest::newRow("by zero") << u"1/0"_qs << qint64(0) << false;
        QTest::newRow("a name") << u"2*x"_qs << qint64(0) << false;
        QTest::newRow("unclosed") << u"(2*3"_qs << qint64(0) << false;
        QTest::newRow("trailing operator") << u"2*"_qs << qint64(0) << false;
        QTest::newRow("deep") << QString(40, u'(') + u'1' + QString(40, u')') << qint64(0) << false;
    }
    void expressionValues()
    {
        QFETCH(QString, expression);
        QFETCH(qint64, value);
        QFETCH(bool, whole);
        const std::optional<qint64> v = wholeExpressionValue(expression);
        QCOMPARE(v.has_value(), whole);
        if (whole)
            QCOMPARE(*v, value);
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
            << withChannels(false, {{1, true, false}, {6, true, false}})
            << QStringLiteral("disableChannels[]={1, 6};\n");
        // The per-channel form, laid out as real missions lay it out.
        const QString channels = QStringLiteral("disableChannels[]={\n"
                                                "\t{0,false,true},\t\t// Global\n"
                                                "\t{1,false,false},\t// Side\n"
                                                "\t{2,true,true}\t\t// Command\n"
                                                "};\n");
        QTest::newRow("one channel's voice: only that word changes")
            << channels << withChannels(true, {{0, false, true}, {1, false, true}, {2, true, true}})
            << QStringLiteral("disableChannels[]={\n"
                              "\t{0,false,true},\t\t// Global\n"
                              "\t{1,false,true},\t// Side\n"
                              "\t{2,true,true}\t\t// Command\n"
                              "};\n");
        QTest::newRow("a channel added in the file's layout")
            << channels
            << withChannels(
                   true, {{0, false, true}, {1, false, false}, {2, true, true}, {5, false, true}})
            << QStringLiteral("disableChannels[]={\n"
                              "\t{0,false,true},\t\t// Global\n"
                              "\t{1,false,false},\t// Side\n"
                              "\t{2,true,true},\t\t// Command\n"
                              "\t{5,false,true}\n"
                              "};\n");
        QTest::newRow("a channel taken out with its comment")
            << channels << withChannels(true, {{0, false, true}, {2, true, true}})
            << QStringLiteral("disableChannels[]={\n"
                              "\t{0,false,true},\t\t// Global\n"
                              "\t{2,true,true}\t\t// Command\n"
                              "};\n");
        QTest::newRow("the last channel taken out")
            << channels << withChannels(true, {{0, false, true}, {1, false, false}})
            << QStringLiteral("disableChannels[]={\n"
                              "\t{0,false,true},\t\t// Global\n"
                              "\t{1,false,false}\t// Side\n"
                              "};\n");
        QTest::newRow("the short form gains voice: each element in the per-channel form")
            << QStringLiteral("disableChannels[] = {0, 2}; // no global\n")
            << withChannels(true, {{0, true, true}, {2, true, false}})
            << QStringLiteral("disableChannels[] = {{0, true, true}, {2, true, false}}; // no "
                              "global\n");
        QTest::newRow("switches written as numbers stay numbers")
            << QStringLiteral("disableChannels[] = {{0,1,1}};\n")
            << withChannels(true, {{0, 1, 0}, {3, 0, 1}})
            << QStringLiteral("disableChannels[] = {{0,1,0}, {3,0,1}};\n");
        QTest::newRow("new key in the per-channel form")
            << QString() << withChannels(true, {{0, false, true}, {1, true, true}})
            << QStringLiteral("disableChannels[] = {{0, false, true}, {1, true, true}};");
        // Respawn templates: a mod's name is kept, the user's own added in the file's style.
        QTest::newRow("own template added, the mod's kept")
            << QStringLiteral("respawnTemplates[]={\"Exile\",\"Tickets\"};\n")
            << with("respawnTemplates", true, {}, {"Exile", "Tickets", "MyRespawn"})
            << QStringLiteral("respawnTemplates[]={\"Exile\",\"Tickets\",\"MyRespawn\"};\n");
        QTest::newRow("own template removed")
            << QStringLiteral("respawnTemplates[] = { \"Exile\", \"Counter\" };\n")
            << with("respawnTemplates", true, {}, {"Counter"})
            << QStringLiteral("respawnTemplates[] = { \"Counter\" };\n");
        QTest::newRow("a template as spelled in the file is kept")
            << QStringLiteral("respawnTemplates[] = {\"menuposition\"};\n")
            << with("respawnTemplates", true, {}, {"MenuPosition", "Tickets"})
            << QStringLiteral("respawnTemplates[] = {\"menuposition\", \"Tickets\"};\n");
        // The debug console: a choice, or the players allowed.
        MissionSetting players = with("enableDebugConsole", true, PlayerListChoice,
                                      {"76561198000000001", "76561198000000002"});
        QTest::newRow("debug console from a choice to players")
            << QStringLiteral("enableDebugConsole = 1; // admins\n") << players
            << QStringLiteral("enableDebugConsole[] = {\"76561198000000001\", "
                              "\"76561198000000002\"}; // admins\n");
        QTest::newRow("debug console from players to a choice")
            << QStringLiteral("EnableDebugConsole [] = {\"76561198000000001\"};\n")
            << with("enableDebugConsole", true, "2") << QStringLiteral("EnableDebugConsole = 2;\n");
        QTest::newRow("debug console player added")
            << QStringLiteral("enableDebugConsole[] = {\n\t\"76561198000000001\" // me\n};\n")
            << players
            << QStringLiteral("enableDebugConsole[] = {\n\t\"76561198000000001\", // me\n"
                              "\t\"76561198000000002\"\n};\n");
        QTest::newRow("new debug console players")
            << QString() << players
            << QStringLiteral("enableDebugConsole[] = {\"76561198000000001\", "
                              "\"76561198000000002\"};");
        // String table references stay unquoted; a quoted one stays quoted.
        QTest::newRow("reference replaced by a reference")
            << QStringLiteral("author = $STR_author;\n") << with("author", true, "$STR_team")
            << QStringLiteral("author = $STR_team;\n");
        QTest::newRow("reference replaced by text")
            << QStringLiteral("author = $STR_author;\n") << with("author", true, "Tandry")
            << QStringLiteral("author = \"Tandry\";\n");
        QTest::newRow("quoted reference stays quoted")
            << QStringLiteral("author = \"$STR_a\";\n") << with("author", true, "$STR_b")
            << QStringLiteral("author = \"$STR_b\";\n");
        QTest::newRow("text replaced by a reference")
            << QStringLiteral("author = \"Tandry\";\n") << with("author", true, "$STR_b")
            << QStringLiteral("author = $STR_b;\n");
        QTest::newRow("new reference unquoted")
            << QString() << with("onLoadName", true, "$STR_name")
            << QStringLiteral("onLoadName = $STR_name;");
        // Times written as expressions.
        MissionSetting expression = with("corpseRemovalMaxTime", true, "1800");
        expression.expression = QStringLiteral("30*60");
        QTest::newRow("expression kept while its value is")
            << QStringLiteral("corpseRemovalMaxTime = 30*60;\n") << expression
            << QStringLiteral("corpseRemovalMaxTime = 30*60;\n");
        QTest::newRow("expression replaced by a new value")
            << QStringLiteral("corpseRemovalMaxTime = 30*60; // half an hour\n")
            << with("corpseRemovalMaxTime", true, "1200")
            << QStringLiteral("corpseRemovalMaxTime = 1200; // half an hour\n");
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
    // leave the other entries as they were. Arrays keep the elements they had in their order,
    // new ones after them, as the window asks.
    void randomSettingsRoundTrip()
    {
        const quint32 seed = testSeed(20261208);
        QRandomGenerator rng(seed);
        const QStringList texts{"", "Op \"Dawn\"", "é €", "x;y {a} // b", "pics\\a.paa"};
        const QStringList ownNames{"Exile", "MyRespawn", "Wasteland"};
        const QStringList ids{"76561198000000001", "76561198000000002", "76561198000000003"};
        QString text = QStringLiteral("// kept\r\nclass CfgX { b = 2; };\r\nunknownKey = 5;\r\n");
        auto keepSome = [&rng](QStringList list) {
            list.removeIf([&rng](const QString &) { return rng.bounded(3) == 0; });
            return list;
        };
        // Names that were not there before: one taken out and put back keeps its place.
        auto addSome = [&rng](QStringList list, const QStringList &before,
                              const QStringList &from) {
            for (const QString &name : from) {
                if (rng.bounded(3) == 0 && !before.contains(name, Qt::CaseInsensitive))
                    list << name;
            }
            return list;
        };
        for (int round = 0; round < 300; ++round) {
            QList<MissionSetting> wanted = readMissionSettings(text);
            for (MissionSetting &s : wanted) {
                if (rng.bounded(3) != 0)
                    continue;
                const bool wasSet = s.set;
                s.set = rng.bounded(2) == 1;
                s.value.clear();
                s.expression.clear();
                const QStringList flagsBefore = wasSet ? s.flags : QStringList();
                const QList<ChannelSwitch> channelsBefore =
                    wasSet ? s.channels : QList<ChannelSwitch>();
                s.flags.clear();
                s.channels.clear();
                s.perChannel = false;
                if (!s.set)
                    continue;
                switch (s.row->type) {
                case config::SettingType::Text:
                    s.value = rng.bounded(4) == 0 ? u"$STR_line"_qs + QString::number(round)
                                                  : texts[rng.bounded(int(texts.size()))];
                    break;
                case config::SettingType::FilePath:
                    s.value = texts[rng.bounded(int(texts.size()))];
                    break;
                case config::SettingType::Number:
                    if (rng.bounded(4) == 0) {
                        const int a = rng.bounded(1, 100), b = rng.bounded(1, 100);
                        s.expression = QStringLiteral("%1*%2").arg(a).arg(b);
                        s.value = QString::number(a * b);
                    } else {
                        s.value = QString::number(rng.bounded(s.row->minimum, 100000));
                    }
                    break;
                case config::SettingType::Choice:
                    if (s.row->form == config::SettingForm::PlayerList && rng.bounded(3) == 0) {
                        s.value = QLatin1StringView(PlayerListChoice);
                        s.flags = addSome(keepSome(flagsBefore), flagsBefore, ids);
                    } else {
                        s.value = QLatin1StringView(
                            s.row->choices[rng.bounded(quint32(s.row->choices.size()))].value);
                    }
                    break;
                case config::SettingType::FlagSet:
                    if (s.row->form == config::SettingForm::ChannelVoice) {
                        s.perChannel = rng.bounded(2) == 1;
                        QList<ChannelSwitch> channels = channelsBefore;
                        channels.removeIf(
                            [&rng](const ChannelSwitch &) { return rng.bounded(3) == 0; });
                        for (const config::SettingChoice &c : s.row->choices) {
                            const int channel = QLatin1StringView(c.value).toInt();
                            if (rng.bounded(3) == 0 &&
                                std::none_of(
                                    channelsBefore.begin(), channelsBefore.end(),
                                    [&](const ChannelSwitch &k) { return k.channel == channel; }))
                                channels << ChannelSwitch{channel};
                        }
                        for (ChannelSwitch &c : channels) {
                            c.chat = !s.perChannel || rng.bounded(2) == 1;
                            c.voice = s.perChannel && rng.bounded(2) == 1;
                        }
                        s.channels = channels;
                        // {} reads as the short form.
                        s.perChannel = s.perChannel && !channels.isEmpty();
                    } else {
                        QStringList choices;
                        for (const config::SettingChoice &c : s.row->choices)
                            choices << QLatin1StringView(c.value);
                        s.flags = addSome(keepSome(flagsBefore), flagsBefore, choices + ownNames);
                    }
                    break;
                }
            }
            text = applyMissionSettings(text, wanted);
            QList<MissionSetting> read = readMissionSettings(text);
            for (MissionSetting &s : read)
                s.written.clear();
            for (qsizetype i = 0; i < read.size(); ++i)
                QVERIFY2(read[i] == wanted[i],
                         qPrintable(QStringLiteral("%1: read %2, wanted %3 in\n%4")
                                        .arg(QLatin1StringView(read[i].row->key), stateOf(read[i]),
                                             stateOf(wanted[i]), text)));
            QVERIFY(text.startsWith(u"// kept\r\nclass CfgX { b = 2; };\r\nunknownKey = 5;\r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_OtherSettings)
#include "tst_othersettings.moc"
