// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addidentity.h"
#include "entryfixture.h"

class tst_addIdentity : public QObject, private EntryDialogTest<addIdentity>
{
    Q_OBJECT

private:
    QString code() const { return main->document.code(CodeBox::mainIdentityCode); }
    static QStringList allTyped()
    {
        return {"idClassName", "Sgt1", "idName",    "John Smith", "idFace",  "Face20",
                "idGlasses",   "None", "idSpeaker", "Dan",        "idPitch", "1.1"};
    }

    const EntryDialogTraits traits{CodeBox::mainIdentityCode, "addIdentityButton",
                                   "cancelIdentityButton", allTyped()};

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("mainIdentityActive")},
                          QStringLiteral("addIdentityButton"), {CodeBox::mainIdentityCode}));
    }
    void cleanup() { closeAll(); }

    void opensWithStartValuesAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addIdentity"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add identity"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(main->allLocked());
        QVERIFY(hasEntryFonts(dialog));
        QCOMPARE(field("idPitch")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        for (const char *name : {"idClassName", "idName", "idFace", "idGlasses", "idSpeaker"})
            QCOMPARE(field(name)->text(), QString());
        QCOMPARE(field("idPitch")->text(), QStringLiteral("1.0"));
        QCOMPARE(QApplication::focusWidget(), field("idClassName"));
        QCOMPARE(tabOrder(dialog, field("idClassName")),
                 (QStringList{"idClassName", "idName", "idFace", "idGlasses", "idSpeaker",
                              "idPitch", "addIdentityButton", "cancelIdentityButton"}));
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
        requiredFieldRows({"idClassName", "idName", "idFace", "idGlasses", "idSpeaker", "idPitch"});
    }
    void emptyRequiredFieldFails()
    {
        QFETCH(QString, emptied);
        checkRequiredField(emptied, *main, dialog, *prompts, traits);
    }

    // Five fields start empty; the pitch alone never fails, but one message covers them all.
    void addAtOnceFailsOnce()
    {
        click(button("addIdentityButton"));
        QCOMPARE(prompts->beeps, 1);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(code().isEmpty());
        QCOMPARE(field("idPitch")->text(), QStringLiteral("1.0"));
    }

    void entryText_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("entry");
        QTest::newRow("start pitch")
            << QStringList{"idClassName", "Sgt1",      "idName", "John Smith", "idFace",
                           "Face20",      "idGlasses", "None",   "idSpeaker",  "Dan"}
            << crlfLines({"class Sgt1 {", "\tname=\"John Smith\";", "\tface=\"Face20\";",
                          "\tglasses=\"None\";", "\tspeaker=\"Dan\";", "\tpitch=1.0;", "\t};", ""});
        QTest::newRow("typed pitch")
            << allTyped()
            << crlfLines({"class Sgt1 {", "\tname=\"John Smith\";", "\tface=\"Face20\";",
                          "\tglasses=\"None\";", "\tspeaker=\"Dan\";", "\tpitch=1.1;", "\t};", ""});
        QTest::newRow("blanks pass and are written")
            << QStringList{"idClassName", "a b", "idName",    " ", "idFace",  "  ",
                           "idGlasses",   " ",   "idSpeaker", " ", "idPitch", " "}
            << crlfLines({"class a b {", "\tname=\" \";", "\tface=\"  \";", "\tglasses=\" \";",
                          "\tspeaker=\" \";", "\tpitch= ;", "\t};", ""});
        QTest::newRow("quotes and words written unchanged")
            << QStringList{"idClassName", "X", "idName",    "Big \"Al\"", "idFace",  "f",
                           "idGlasses",   "g", "idSpeaker", "s",          "idPitch", "low"}
            << crlfLines({"class X {", "\tname=\"Big \"Al\"\";", "\tface=\"f\";",
                          "\tglasses=\"g\";", "\tspeaker=\"s\";", "\tpitch=low;", "\t};", ""});
    }
    void entryText()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, entry);
        typeFields(dialog, typed);
        click(button("addIdentityButton"));
        QCOMPARE(code(), entry);
        QCOMPARE(prompts->beeps, 0);
    }

    void twoEntriesInARowAndStartValuesOnReopening()
    {
        typeFields(dialog, allTyped());
        click(button("addIdentityButton"));
        const QString first = code();
        flushDeletes();
        QVERIFY(!dialog);
        dialog = openEntryDialog<addIdentity>(*main);
        QVERIFY(main->allLocked());
        for (const char *name : {"idClassName", "idName", "idFace", "idGlasses", "idSpeaker"})
            QCOMPARE(field(name)->text(), QString());
        QCOMPARE(field("idPitch")->text(), QStringLiteral("1.0"));
        typeFields(dialog, {"idClassName", "Pvt2", "idName", "n", "idFace", "f", "idGlasses", "g",
                            "idSpeaker", "s"});
        click(button("addIdentityButton"));
        QCOMPARE(code(), first + crlfLines({"class Pvt2 {", "\tname=\"n\";", "\tface=\"f\";",
                                            "\tglasses=\"g\";", "\tspeaker=\"s\";", "\tpitch=1.0;",
                                            "\t};", ""}));
        QVERIFY(code().contains(QStringLiteral("\t};\r\n\r\nclass Pvt2 {\r\n")));
        QVERIFY(code().endsWith(QStringLiteral("\t};\r\n\r\n")));
    }

    void appendsAfterHandEditsWithoutBreak()
    {
        main->document.setCode(CodeBox::mainIdentityCode, QStringLiteral("// hand\r\n};"));
        typeFields(dialog, allTyped());
        click(button("addIdentityButton"));
        QVERIFY(code().startsWith(QStringLiteral("// hand\r\n};class Sgt1 {\r\n")));
    }

    // A quick double-click on Add: its second click reaches the window after the first one
    // closed it, and must not append the entry once more.
    void doubleClickOnAddAddsOnce()
    {
        typeFields(dialog, allTyped());
        QPushButton *add = button("addIdentityButton");
        QWindow *window = dialog->windowHandle();
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           window->mapFromGlobal(add->mapToGlobal(add->rect().center())));
        flushDeletes();
        QVERIFY(!dialog);
        QCOMPARE(code().count(QStringLiteral("class Sgt1 {")), 1);
        QVERIFY(main->allReleased());
    }
};

QTEST_MAIN(tst_addIdentity)
#include "tst_addidentity.moc"
