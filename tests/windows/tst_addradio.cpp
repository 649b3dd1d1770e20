// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addradio.h"
#include "entryfixture.h"

class tst_addRadio : public QObject, private EntryDialogTest<addRadio>
{
    Q_OBJECT

private:
    QString code() const { return main->document.code(CodeBox::mainRadioCode); }
    QCheckBox *nameSwitch() { return control<QCheckBox>(dialog, "radioNameEnabled"); }
    void fillRequired()
    {
        typeFields(dialog, {"radioClassName", "Msg1", "radioFileLocation", "msg1.ogg",
                            "radioTitles", "\"Hello\""});
    }

    const EntryDialogTraits traits{CodeBox::mainRadioCode,
                                   "addRadioButton",
                                   "cancelRadioButton",
                                   {"radioClassName", "C", "radioRadioName", "N",
                                    "radioFileLocation", "F.ogg", "radioVolume", "-3", "radioPitch",
                                    "0.9", "radioTitles", "\"T\""}};

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("mainRadioActive")}, QStringLiteral("addRadioButton"),
                          {CodeBox::mainRadioCode}));
    }
    void cleanup() { closeAll(); }

    void opensWithStartValuesAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addRadio"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add radio"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(main->allLocked());
        QVERIFY(hasEntryFonts(dialog));
        QCOMPARE(field("radioVolume")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(field("radioPitch")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(field("radioClassName")->text(), QString());
        QCOMPARE(field("radioRadioName")->text(), QString());
        QCOMPARE(field("radioFileLocation")->text(), QString());
        QCOMPARE(field("radioVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("radioPitch")->text(), QStringLiteral("1.0"));
        QCOMPARE(field("radioTitles")->text(), QString());
        QVERIFY(nameSwitch()->isChecked());
        QVERIFY(looksSwitchedOn(field("radioRadioName")));
        QCOMPARE(QApplication::focusWidget(), field("radioClassName"));
        QCOMPARE(tabOrder(dialog, field("radioClassName")),
                 (QStringList{"radioClassName", "radioRadioName", "radioNameEnabled",
                              "radioFileLocation", "radioVolume", "radioPitch", "radioTitles",
                              "addRadioButton", "cancelRadioButton"}));
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
        requiredFieldRows(
            {"radioClassName", "radioFileLocation", "radioVolume", "radioPitch", "radioTitles"});
    }
    void emptyRequiredFieldFails()
    {
        QFETCH(QString, emptied);
        checkRequiredField(emptied, *main, dialog, *prompts, traits);
    }

    void addAtOnceFailsOnce()
    {
        click(button("addRadioButton"));
        QCOMPARE(prompts->beeps, 1);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(code().isEmpty());
    }

    void entryText_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("required only, start volume and pitch")
            << QStringList{"radioClassName", "Msg1",        "radioFileLocation",
                           "msg1.ogg",       "radioTitles", "\"Hello\""}
            << crlfLines({"class Msg1 {", "\tname=\"\";", "\tsound[]={\"msg1.ogg\", db+0, 1.0};",
                          "\ttitle=\"Hello\";", "\t};", ""});
        QTest::newRow("every field typed")
            << QStringList{"radioClassName",    "Msg2",         "radioRadioName", "Alpha one",
                           "radioFileLocation", "sound\\a.wss", "radioVolume",    "-5",
                           "radioPitch",        "0.8",          "radioTitles",    "$STR_A"}
            << crlfLines({"class Msg2 {", "\tname=\"Alpha one\";",
                          "\tsound[]={\"sound\\a.wss\", db-5, 0.8};", "\ttitle=$STR_A;", "\t};",
                          ""});
        QTest::newRow("blanks pass and are written")
            << QStringList{"radioClassName", " ", "radioFileLocation", "  ", "radioVolume", " ",
                           "radioPitch",     " ", "radioTitles",       " "}
            << crlfLines({"class   {", "\tname=\"\";", "\tsound[]={\"  \", db ,  };", "\ttitle= ;",
                          "\t};", ""});
        QTest::newRow("nothing checked or escaped")
            << QStringList{"radioClassName",    "a b",  "radioRadioName", "say \"hi\"",
                           "radioFileLocation", "x\"y", "radioVolume",    "loud",
                           "radioPitch",        "high", "radioTitles",    "no quotes"}
            << crlfLines({"class a b {", "\tname=\"say \"hi\"\";",
                          "\tsound[]={\"x\"y\", dbloud, high};", "\ttitle=no quotes;", "\t};", ""});
    }
    void entryText()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, entry);
        typeFields(dialog, typed);
        click(button("addRadioButton"));
        QCOMPARE(code(), entry);
        QCOMPARE(prompts->beeps, 0);
    }

    void twoEntriesInARowAndStartValuesOnReopening()
    {
        fillRequired();
        retype(field("radioRadioName"), QStringLiteral("first"));
        retype(field("radioVolume"), QStringLiteral("7"));
        click(button("addRadioButton"));
        const QString first = code();
        reopen();
        QCOMPARE(field("radioRadioName")->text(), QString());
        QCOMPARE(field("radioClassName")->text(), QString());
        QCOMPARE(field("radioVolume")->text(), QStringLiteral("+0"));
        QCOMPARE(field("radioPitch")->text(), QStringLiteral("1.0"));
        QVERIFY(main->allLocked());
        typeFields(dialog,
                   {"radioClassName", "Msg2", "radioFileLocation", "b.ogg", "radioTitles", "t"});
        click(button("addRadioButton"));
        QCOMPARE(code(), first + crlfLines({"class Msg2 {", "\tname=\"\";",
                                            "\tsound[]={\"b.ogg\", db+0, 1.0};", "\ttitle=t;",
                                            "\t};", ""}));
        QVERIFY(code().startsWith(QStringLiteral("class Msg1 {\r\n")));
        QVERIFY(code().contains(QStringLiteral("\t};\r\n\r\nclass Msg2 {\r\n")));
    }

    void appendsAfterHandEditsWithoutBreak()
    {
        main->document.setCode(CodeBox::mainRadioCode, QStringLiteral("// mine\r\nlast"));
        fillRequired();
        click(button("addRadioButton"));
        QVERIFY(code().startsWith(QStringLiteral("// mine\r\nlastclass Msg1 {\r\n")));
        QVERIFY(code().endsWith(QStringLiteral("\t};\r\n\r\n")));
    }

    // A name greyed out is emptied, so the entry never carries a name the user switched off.
    void nameSwitchEmptiesAndGreys()
    {
        fillRequired();
        retype(field("radioRadioName"), QStringLiteral("Alpha"));
        click(nameSwitch());
        QVERIFY(!nameSwitch()->isChecked());
        QCOMPARE(field("radioRadioName")->text(), QString());
        QVERIFY(looksSwitchedOff(field("radioRadioName")));
        click(nameSwitch());
        QVERIFY(looksSwitchedOn(field("radioRadioName")));
        QCOMPARE(field("radioRadioName")->text(), QString());
        retype(field("radioRadioName"), QStringLiteral("Bravo"));
        click(nameSwitch());
        click(button("addRadioButton"));
        QVERIFY(code().contains(QStringLiteral("\r\n\tname=\"\";\r\n")));
        QVERIFY(!code().contains(QStringLiteral("Bravo")));
    }
};

QTEST_MAIN(tst_addRadio)
#include "tst_addradio.moc"
