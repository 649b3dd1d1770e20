// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addmusic.h"
#include "entryfixture.h"

class tst_addMusic : public QObject, private EntryDialogTest<addMusic>
{
    Q_OBJECT

private:
    QString code() const { return main->document.code(CodeBox::mainMusicCode); }
    void fillRequired()
    {
        typeFields(dialog, {"musicClassName", "Boom", "musicFileLocation", "boom.ogg"});
    }

    const EntryDialogTraits traits{CodeBox::mainMusicCode,
                                   "addMusicButton",
                                   "cancelMusicButton",
                                   {"musicClassName", "C", "musicMusicName", "N",
                                    "musicFileLocation", "F", "musicVolume", "-3", "musicPitch",
                                    "0.9"}};

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("mainMusicActive")}, QStringLiteral("addMusicButton"),
                          {CodeBox::mainMusicCode}));
    }
    void cleanup() { closeAll(); }

    void opensWithStartValuesAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addMusic"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add music"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(main->allLocked());
        QVERIFY(hasEntryFonts(dialog));
        QCOMPARE(field("musicVolume")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(field("musicPitch")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        for (const char *name : {"musicClassName", "musicMusicName", "musicFileLocation"})
            QCOMPARE(field(name)->text(), QString());
        QCOMPARE(field("musicVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("musicPitch")->text(), QStringLiteral("1.0"));
        QVERIFY(checkBox("musicNameEnabled")->isChecked());
        QVERIFY(looksSwitchedOn(field("musicMusicName")));
        QCOMPARE(QApplication::focusWidget(), field("musicClassName"));
        QCOMPARE(tabOrder(dialog, field("musicClassName")),
                 (QStringList{"musicClassName", "musicMusicName", "musicNameEnabled",
                              "musicFileLocation", "musicVolume", "musicPitch", "addMusicButton",
                              "cancelMusicButton"}));
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
        requiredFieldRows({"musicClassName", "musicFileLocation", "musicVolume", "musicPitch"});
    }
    void emptyRequiredFieldFails()
    {
        QFETCH(QString, emptied);
        checkRequiredField(emptied, *main, dialog, *prompts, traits);
    }

    void addAtOnceFailsOnce()
    {
        click(button("addMusicButton"));
        QCOMPARE(prompts->beeps, 1);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(code().isEmpty());
    }

    void entryText_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("required only")
            << QStringList{"musicClassName", "Boom", "musicFileLocation", "boom.ogg"}
            << crlfLines({"class Boom {", "\tname=\"\";", "\tsound[]={\"boom.ogg\", db+0, 1.0};",
                          "\t};", ""});
        QTest::newRow("every field typed")
            << QStringList{"musicClassName",    "Bang",     "musicMusicName", "Big bang",
                           "musicFileLocation", "s\\b.wss", "musicVolume",    "-5",
                           "musicPitch",        "1.2"}
            << crlfLines({"class Bang {", "\tname=\"Big bang\";",
                          "\tsound[]={\"s\\b.wss\", db-5, 1.2};", "\t};", ""});
        QTest::newRow("blanks pass and are written")
            << QStringList{"musicClassName", " ", "musicFileLocation", " ",
                           "musicVolume",    " ", "musicPitch",        " "}
            << crlfLines({"class   {", "\tname=\"\";", "\tsound[]={\" \", db ,  };", "\t};", ""});
    }
    void entryText()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, entry);
        typeFields(dialog, typed);
        click(button("addMusicButton"));
        QCOMPARE(code(), entry);
        QCOMPARE(prompts->beeps, 0);
    }

    void twoEntriesInARowAndStartValuesOnReopening()
    {
        fillRequired();
        retype(field("musicMusicName"), QStringLiteral("x"));
        click(checkBox("musicNameEnabled"));
        click(button("addMusicButton"));
        const QString first = code();
        reopen();
        QCOMPARE(field("musicClassName")->text(), QString());
        QCOMPARE(field("musicMusicName")->text(), QString());
        QCOMPARE(field("musicVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("musicPitch")->text(), QStringLiteral("1.0"));
        QVERIFY(checkBox("musicNameEnabled")->isChecked());
        QVERIFY(looksSwitchedOn(field("musicMusicName")));
        typeFields(dialog, {"musicClassName", "Two", "musicFileLocation", "two.ogg"});
        click(button("addMusicButton"));
        QCOMPARE(code(), first + crlfLines({"class Two {", "\tname=\"\";",
                                            "\tsound[]={\"two.ogg\", db+0, 1.0};", "\t};", ""}));
        QVERIFY(code().contains(QStringLiteral("\t};\r\n\r\nclass Two {\r\n")));
    }

    void appendsAfterHandEditsWithoutBreak()
    {
        main->document.setCode(CodeBox::mainMusicCode, QStringLiteral("x"));
        fillRequired();
        click(button("addMusicButton"));
        QVERIFY(code().startsWith(QStringLiteral("xclass Boom {\r\n")));
    }

    void enabledSwitchesEmptyAndGrey_data()
    {
        QTest::addColumn<QString>("switchName");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("writtenLine");
        QTest::newRow("name") << "musicNameEnabled"
                              << "musicMusicName"
                              << "\tname=\"\";\r\n";
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
        click(button("addMusicButton"));
        QVERIFY(code().contains(writtenLine));
        QVERIFY(!code().contains(QStringLiteral("again")));
    }
};

QTEST_MAIN(tst_addMusic)
#include "tst_addmusic.moc"
