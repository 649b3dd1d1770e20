// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addsound.h"
#include "entryfixture.h"

class tst_addSound : public QObject, private EntryDialogTest<addSound>
{
    Q_OBJECT

private:
    QString code() const { return main->document.code(CodeBox::mainSoundCode); }
    void fillRequired()
    {
        typeFields(dialog, {"soundClassName", "Boom", "soundFileLocation", "boom.ogg"});
    }

    const EntryDialogTraits traits{CodeBox::mainSoundCode,
                                   "addSoundButton",
                                   "cancelSoundButton",
                                   {"soundClassName", "C", "soundSoundName", "N",
                                    "soundFileLocation", "F", "soundVolume", "-3", "soundPitch",
                                    "0.9", "soundTitles", "\"T\""}};

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("mainSoundActive")}, QStringLiteral("addSoundButton"),
                          {CodeBox::mainSoundCode}));
    }
    void cleanup() { closeAll(); }

    void opensWithStartValuesAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addSound"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add sound"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(main->allLocked());
        QVERIFY(hasEntryFonts(dialog));
        QCOMPARE(field("soundVolume")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(field("soundPitch")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        for (const char *name :
             {"soundClassName", "soundSoundName", "soundFileLocation", "soundTitles"})
            QCOMPARE(field(name)->text(), QString());
        QCOMPARE(field("soundVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("soundPitch")->text(), QStringLiteral("1.0"));
        QVERIFY(checkBox("soundNameEnabled")->isChecked());
        QVERIFY(checkBox("soundTitlesEnabled")->isChecked());
        QVERIFY(looksSwitchedOn(field("soundSoundName")));
        QVERIFY(looksSwitchedOn(field("soundTitles")));
        QCOMPARE(QApplication::focusWidget(), field("soundClassName"));
        QCOMPARE(tabOrder(dialog, field("soundClassName")),
                 (QStringList{"soundClassName", "soundSoundName", "soundNameEnabled",
                              "soundFileLocation", "soundVolume", "soundPitch", "soundTitles",
                              "soundTitlesEnabled", "addSoundButton", "cancelSoundButton"}));
    }

    void closeRoutesReleaseMain_data() { closeRouteRows(); }
    void closeRoutesReleaseMain()
    {
        QFETCH(QString, route);
        checkCloseRoute(route, *main, dialog, *prompts, traits);
    }

    void enterAddsNothing() { checkEnterAddsNothing(*main, dialog, traits); }

    void emptyRequiredFieldFails_data()
    {
        requiredFieldRows({"soundClassName", "soundFileLocation", "soundVolume", "soundPitch"});
    }
    void emptyRequiredFieldFails()
    {
        QFETCH(QString, emptied);
        checkRequiredField(emptied, *main, dialog, *prompts, traits);
    }

    void addAtOnceFailsOnce()
    {
        click(button("addSoundButton"));
        QCOMPARE(prompts->beeps, 1);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(code().isEmpty());
    }

    void entryText_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("required only")
            << QStringList{"soundClassName", "Boom", "soundFileLocation", "boom.ogg"}
            << crlfLines({"class Boom {", "\tname=\"\";", "\tsound[]={\"boom.ogg\", db+0, 1.0};",
                          "\ttitles[]={};", "\t};", ""});
        QTest::newRow("every field typed")
            << QStringList{"soundClassName",    "Bang",     "soundSoundName", "Big bang",
                           "soundFileLocation", "s\\b.wss", "soundVolume",    "-5",
                           "soundPitch",        "1.2",      "soundTitles",    "0, \"Bang!\""}
            << crlfLines({"class Bang {", "\tname=\"Big bang\";",
                          "\tsound[]={\"s\\b.wss\", db-5, 1.2};", "\ttitles[]={0, \"Bang!\"};",
                          "\t};", ""});
        QTest::newRow("blanks pass and are written")
            << QStringList{"soundClassName", " ", "soundFileLocation", " ", "soundVolume", " ",
                           "soundPitch",     " ", "soundTitles",       " "}
            << crlfLines({"class   {", "\tname=\"\";", "\tsound[]={\" \", db ,  };",
                          "\ttitles[]={ };", "\t};", ""});
    }
    void entryText()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, entry);
        typeFields(dialog, typed);
        click(button("addSoundButton"));
        QCOMPARE(code(), entry);
        QCOMPARE(prompts->beeps, 0);
    }

    void twoEntriesInARowAndStartValuesOnReopening()
    {
        fillRequired();
        retype(field("soundTitles"), QStringLiteral("x"));
        click(checkBox("soundNameEnabled"));
        click(button("addSoundButton"));
        const QString first = code();
        reopen();
        QCOMPARE(field("soundClassName")->text(), QString());
        QCOMPARE(field("soundTitles")->text(), QString());
        QCOMPARE(field("soundVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("soundPitch")->text(), QStringLiteral("1.0"));
        QVERIFY(checkBox("soundNameEnabled")->isChecked());
        QVERIFY(looksSwitchedOn(field("soundSoundName")));
        typeFields(dialog, {"soundClassName", "Two", "soundFileLocation", "two.ogg"});
        click(button("addSoundButton"));
        QCOMPARE(code(), first + crlfLines({"class Two {", "\tname=\"\";",
                                            "\tsound[]={\"two.ogg\", db+0, 1.0};", "\ttitles[]={};",
                                            "\t};", ""}));
        QVERIFY(code().contains(QStringLiteral("\t};\r\n\r\nclass Two {\r\n")));
    }

    void appendsAfterHandEditsWithoutBreak()
    {
        main->document.setCode(CodeBox::mainSoundCode, QStringLiteral("x"));
        fillRequired();
        click(button("addSoundButton"));
        QVERIFY(code().startsWith(QStringLiteral("xclass Boom {\r\n")));
    }

    void enabledSwitchesEmptyAndGrey_data()
    {
        QTest::addColumn<QString>("switchName");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("writtenLine");
        QTest::newRow("name") << "soundNameEnabled"
                              << "soundSoundName"
                              << "\tname=\"\";\r\n";
        QTest::newRow("titles") << "soundTitlesEnabled"
                                << "soundTitles"
                                << "\ttitles[]={};\r\n";
    }
    void enabledSwitchesEmptyAndGrey()
    {
        QFETCH(QString, switchName);
        QFETCH(QString, fieldName);
        QFETCH(QString, writtenLine);
        QCheckBox *box = checkBox(switchName.toLatin1());
        QLineEdit *governed = field(fieldName.toLatin1());
        fillRequired();
        retype(governed, QStringLiteral("typed"));
        click(box);
        QCOMPARE(governed->text(), QString());
        QVERIFY(looksSwitchedOff(governed));
        click(box);
        QCOMPARE(governed->text(), QString());
        QVERIFY(looksSwitchedOn(governed));
        retype(governed, QStringLiteral("again"));
        click(box);
        click(button("addSoundButton"));
        QVERIFY(code().contains(writtenLine));
        QVERIFY(!code().contains(QStringLiteral("again")));
    }
};

QTEST_MAIN(tst_addSound)
#include "tst_addsound.moc"
