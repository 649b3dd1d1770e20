// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addmpparams.h"
#include "entryfixture.h"

class tst_addMPParams : public QObject, private EntryDialogTest<addMPParams>
{
    Q_OBJECT

private:
    QString code() const { return main->document.code(CodeBox::paramsCode); }

    static QStringList fieldNames()
    {
        return {"paramsClass",  "paramsNo",    "paramsTitle",
                "paramsValues", "paramsTexts", "paramsDefault"};
    }
    // The example parameter: class Alpha, number as started, title Time limit, values
    // 10,20, texts A,B, default 10.
    void fillExample()
    {
        retype(field("paramsClass"), QStringLiteral("Alpha"));
        retype(field("paramsTitle"), QStringLiteral("Time limit"));
        retype(field("paramsValues"), QStringLiteral("10,20"));
        retype(field("paramsTexts"), QStringLiteral("A,B"));
        retype(field("paramsDefault"), QStringLiteral("10"));
    }
    static QString exampleEntry(const QString &number = QStringLiteral("0"))
    {
        return crlfLines({"class Alpha {", "\t// paramsArray[" + number + "]",
                          "\ttitle=\"Time limit\";", "\tvalues[]={10,20};", "\ttexts[]={A,B};",
                          "\tdefault=10;", "\t};", ""});
    }
    void openDialog()
    {
        dialog = openEntryDialog<addMPParams>(*main);
        QVERIFY(dialog);
    }
    void add()
    {
        click(button("addParamsButton"));
        flushDeletes();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("respawnActive"), QStringLiteral("paramsActive")},
                          QStringLiteral("addParamsButton"), {CodeBox::paramsCode}));
    }
    void cleanup() { closeAll(); }

    void opensWithStartValuesAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addMPParams"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add MP Parameters"));
        QCOMPARE(dialog->size(), QSize(401, 337));
        QVERIFY(main->allLocked());
        for (const QString &name : fieldNames())
            QCOMPARE(field(qPrintable(name))->text(),
                     name == "paramsNo" ? QStringLiteral("0") : QString());
        QCOMPARE(field("paramsNo")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(field("paramsClass")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        // Labels and boxes in Verdana 8.25 pt; frames and buttons keep the dialog font.
        QCOMPARE(field("paramsNo")->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(field("paramsNo")->font().pointSizeF(), 8.25);
        QCOMPARE(control(dialog, "Label1")->font().pointSizeF(), 8.25);
        QVERIFY(control(dialog, "Frame1")->font().family() != QStringLiteral("Verdana"));
        QCOMPARE(QApplication::focusWidget(), field("paramsClass"));
        QCOMPARE(tabOrder(dialog, field("paramsClass")),
                 (fieldNames() + QStringList{"addParamsButton", "cancelParamsButton"}));
    }

    void exampleEntryByteForByte_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("after");
        QTest::newRow("number as started") << QString() << "0" << exampleEntry();
        QTest::newRow("number emptied") << QString() << "" << exampleEntry(QString());
        QTest::newRow("number typed") << QString() << " 12" << exampleEntry(" 12");
        QTest::newRow("glued to a last line without break")
            << QStringLiteral("// mine") << "0" << QStringLiteral("// mine") + exampleEntry();
    }
    void exampleEntryByteForByte()
    {
        QFETCH(QString, before);
        QFETCH(QString, number);
        QFETCH(QString, after);
        main->document.setCode(CodeBox::paramsCode, before);
        fillExample();
        if (number != "0")
            retype(field("paramsNo"), number);
        add();
        QVERIFY(!dialog);
        QCOMPARE(code(), after);
        QCOMPARE(prompts->beeps, 0);
        QVERIFY(main->allReleased());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), main->addButton);
    }

    void emptyRequiredFieldRefuses_data()
    {
        QTest::addColumn<QString>("emptied");
        for (const char *name :
             {"paramsClass", "paramsTitle", "paramsValues", "paramsTexts", "paramsDefault"})
            QTest::newRow(name) << name;
    }
    void emptyRequiredFieldRefuses()
    {
        QFETCH(QString, emptied);
        main->document.setCode(CodeBox::paramsCode, QStringLiteral("kept\r\n"));
        fillExample();
        retype(field(qPrintable(emptied)), QString());
        QMap<QString, QString> typed;
        for (const QString &name : fieldNames())
            typed[name] = field(qPrintable(name))->text();

        for (int press = 1; press <= 2; ++press) {
            add();
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(prompts->beeps, press);
            QCOMPARE(prompts->messages.size(), press);
            QCOMPARE(code(), QStringLiteral("kept\r\n"));
            QVERIFY(main->allLocked());
            for (const QString &name : fieldNames())
                QCOMPARE(field(qPrintable(name))->text(), typed[name]);
        }
        const ScriptedServices::Message &m = prompts->messages.first();
        QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(m.title, QStringLiteral("Merrow Editor"));
        QCOMPARE(m.text, QStringLiteral(" Fill all fields or click on the Cancel button. "));
        QCOMPARE(m.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        // Once filled, a single press appends exactly one entry.
        fillExample();
        add();
        QVERIFY(!dialog);
        QCOMPARE(code(), QStringLiteral("kept\r\n") + exampleEntry());
        QVERIFY(main->allReleased());
    }

    void blanksAndQuotesAreValues()
    {
        for (const QString &name : fieldNames())
            retype(field(qPrintable(name)), QStringLiteral(" "));
        retype(field("paramsTitle"), QStringLiteral("Say \"go\""));
        retype(field("paramsValues"), QStringLiteral("1,2,3"));
        add();
        QVERIFY(!dialog);
        QCOMPARE(prompts->beeps, 0);
        QCOMPARE(code(),
                 crlfLines({"class   {", "\t// paramsArray[ ]", "\ttitle=\"Say \"go\"\";",
                            "\tvalues[]={1,2,3};", "\ttexts[]={ };", "\tdefault= ;", "\t};", ""}));
    }

    void twoEntriesInARow()
    {
        main->document.setCode(CodeBox::paramsCode, QStringLiteral("class Old {};\r\n"));
        fillExample();
        add();
        openDialog();
        QCOMPARE(field("paramsClass")->text(), QString());
        QCOMPARE(field("paramsNo")->text(), QStringLiteral("0"));
        fillExample();
        retype(field("paramsNo"), QStringLiteral("1"));
        add();
        QCOMPARE(code(), QStringLiteral("class Old {};\r\n") + exampleEntry() + exampleEntry("1"));
    }

    void closeWithoutAdding_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("window manager") << "wm";
    }
    void closeWithoutAdding()
    {
        QFETCH(QString, route);
        fillExample();
        if (route == "Cancel")
            click(button("cancelParamsButton"));
        else if (route == "Esc")
            QTest::keyClick(field("paramsTexts"), Qt::Key_Escape);
        else
            dialog->windowHandle()->close();
        flushDeletes();
        QVERIFY(!dialog);
        QCOMPARE(code(), QString());
        QVERIFY(main->allReleased());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), main->addButton);
    }

    void enterAddsNothing()
    {
        fillExample();
        QTest::keyClick(field("paramsDefault"), Qt::Key_Return);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(code(), QString());
    }
};

QTEST_MAIN(tst_addMPParams)
#include "tst_addmpparams.moc"
