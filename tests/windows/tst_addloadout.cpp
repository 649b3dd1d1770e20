// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addloadout.h"
#include "entryfixture.h"

#include <QGuiApplication>

class tst_addLoadout : public QObject, private EntryDialogTest<addLoadout>
{
    Q_OBJECT

private:
    QString weapons() const { return main->document.code(CodeBox::mainLoadoutWeaponsCode); }
    QString magazines() const { return main->document.code(CodeBox::mainLoadoutMagazinesCode); }
    QLineEdit *box(const QString &name) { return control<QLineEdit>(dialog, qPrintable(name)); }
    QCheckBox *rowSwitch(const QString &name)
    {
        return control<QCheckBox>(dialog, qPrintable(name));
    }
    static QColor base() { return QGuiApplication::palette().color(QPalette::Base); }

    // Whether the class and quantity boxes of row `n` of frame `f` ("w" or "m") are usable
    // and coloured as such, with the switch showing the same.
    bool rowShows(const QString &f, int n, bool on)
    {
        const QString num = QString::number(n);
        QCheckBox *sw = rowSwitch(f + "E" + num);
        if (sw->isChecked() != on)
            return false;
        for (const QString &kind : {QStringLiteral("C"), QStringLiteral("N")}) {
            QLineEdit *b = box(f + kind + num);
            const QColor colour = b->palette().color(QPalette::Base);
            if (b->isEnabled() != on || (colour == base()) != on)
                return false;
        }
        return true;
    }

    // Steps such as "wC1=RifleA" (retype a box) or "wE3" (click a row switch).
    void perform(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const qsizetype eq = step.indexOf('=');
            if (eq < 0)
                click(rowSwitch(step));
            else
                retype(box(step.left(eq)), step.mid(eq + 1));
        }
    }

    void openDialog()
    {
        dialog = openEntryDialog<addLoadout>(*main);
        QVERIFY(dialog);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(openFresh({QStringLiteral("mainLoadoutActive")}, QStringLiteral("addLoadoutButton"),
                          {CodeBox::mainLoadoutWeaponsCode, CodeBox::mainLoadoutMagazinesCode}));
    }
    void cleanup() { closeAll(); }

    void opensInStartStateAndLocksMain()
    {
        QCOMPARE(dialog->objectName(), QStringLiteral("addLoadout"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add loadout"));
        QCOMPARE(dialog->size(), QSize(697, 289));
        QVERIFY(main->allLocked());
        for (const QString f : {"w", "m"}) {
            QVERIFY(rowShows(f, 1, true));
            for (int n = 2; n <= 7; ++n)
                QVERIFY2(rowShows(f, n, false), qPrintable(f + QString::number(n)));
            for (int n = 1; n <= 7; ++n) {
                QCOMPARE(box(f + "C" + QString::number(n))->text(), QString());
                QCOMPARE(box(f + "N" + QString::number(n))->text(), QString());
                QCOMPARE(box(f + "N" + QString::number(n))->alignment() & Qt::AlignHorizontal_Mask,
                         Qt::AlignRight);
            }
        }
        // Labels and boxes in Verdana 8.25 pt; frames and buttons keep the dialog font.
        QCOMPARE(box("wN1")->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(box("wN1")->font().pointSizeF(), 8.25);
        QCOMPARE(control(dialog, "Label1")->font().pointSizeF(), 8.25);
        QVERIFY(control(dialog, "Frame1")->font().family() != QStringLiteral("Verdana"));
        QCOMPARE(QApplication::focusWidget(), box("wC1"));
        // Disabled boxes are skipped by Tab.
        QCOMPARE(tabOrder(dialog, box("wC1")), (QStringList{"wC1",
                                                            "wN1",
                                                            "wE1",
                                                            "mC1",
                                                            "mN1",
                                                            "mE1",
                                                            "wE2",
                                                            "mE2",
                                                            "wE3",
                                                            "mE3",
                                                            "wE4",
                                                            "mE4",
                                                            "wE5",
                                                            "mE5",
                                                            "wE6",
                                                            "mE6",
                                                            "wE7",
                                                            "mE7",
                                                            "addLoadoutButton",
                                                            "cancelLoadoutButton"}));
    }

    void tabOrderRunsRowByRowAcrossBothFrames()
    {
        for (int n = 2; n <= 7; ++n) {
            click(rowSwitch("wE" + QString::number(n)));
            click(rowSwitch("mE" + QString::number(n)));
        }
        QStringList expected;
        for (int n = 1; n <= 7; ++n) {
            for (const QString f : {"w", "m"}) {
                for (const QString kind : {"C", "N", "E"})
                    expected << f + kind + QString::number(n);
            }
        }
        expected << "addLoadoutButton"
                 << "cancelLoadoutButton";
        QCOMPARE(tabOrder(dialog, box("wC1")), expected);
    }

    // Rows 1 and 7 of each frame, where an off-by-one in the row table would show.
    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Frame1") << "Frame1" << QRect(8, 8, 337, 217);
        QTest::newRow("Frame3") << "Frame3" << QRect(352, 8, 337, 217);
        QTest::newRow("Frame2") << "Frame2" << QRect(8, 232, 681, 49);
        QTest::newRow("wC1") << "wC1" << QRect(16, 40, 209, 19);
        QTest::newRow("wN7") << "wN7" << QRect(232, 184, 25, 19);
        QTest::newRow("mE7") << "mE7" << QRect(264, 184, 65, 17);
        QTest::newRow("Label3") << "Label3" << QRect(16, 24, 137, 17);
        QTest::newRow("Add") << "addLoadoutButton" << QRect(536, 20, 65, 25);
        QTest::newRow("Cancel") << "cancelLoadoutButton" << QRect(608, 20, 65, 25);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QCOMPARE(control(dialog, qPrintable(name))->geometry(), geometry);
    }

    // Each of the fourteen switches governs its own row and no other.
    void rowSwitchGovernsItsOwnRow()
    {
        for (const QString f : {"w", "m"}) {
            for (int n = 1; n <= 7; ++n) {
                const bool wasOn = n == 1;
                click(rowSwitch(f + "E" + QString::number(n)));
                for (const QString g : {"w", "m"}) {
                    for (int k = 1; k <= 7; ++k) {
                        const bool changed = g == f && k == n;
                        QVERIFY2(rowShows(g, k, (k == 1) != changed),
                                 qPrintable(f + QString::number(n) + " " + g + QString::number(k)));
                    }
                }
                click(rowSwitch(f + "E" + QString::number(n)));
                QVERIFY(rowShows(f, n, wasOn));
            }
        }
    }

    void switchedOffRowKeepsItsText()
    {
        perform({"wE2", "wC2=Launcher", "wN2=2", "wE2"});
        QVERIFY(rowShows("w", 2, false));
        QCOMPARE(box("wC2")->text(), QStringLiteral("Launcher"));
        QCOMPARE(box("wN2")->text(), QStringLiteral("2"));
        click(rowSwitch("wE2"));
        QVERIFY(rowShows("w", 2, true));
        QCOMPARE(box("wC2")->text(), QStringLiteral("Launcher"));
    }

    void addAppendsBothBlocks_data()
    {
        QTest::addColumn<QString>("weaponsBefore");
        QTest::addColumn<QString>("magazinesBefore");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("weaponsAfter");
        QTest::addColumn<QString>("magazinesAfter");

        const QString emptyRow = crlfLines({"class ", "{ count=; };"});
        QTest::newRow("Add at once")
            << QString() << QString() << QStringList() << emptyRow << emptyRow;
        QTest::newRow("rows 1 and 3 in row order")
            << QString() << QString()
            << QStringList{"wE3", "wC3=C3", "wN3=3", "wE1", "wE1", "wC1=C1", "wN1=1", "mE1"}
            << crlfLines({"class C1", "{ count=1; };", "class C3", "{ count=3; };"}) << QString();
        QTest::newRow("switched-off row yields nothing")
            << QString() << QString() << QStringList{"wC1=A", "wN1=1", "wE2", "wC2=B", "wE2"}
            << crlfLines({"class A", "{ count=1; };"}) << emptyRow;
        QTest::newRow("switched on again")
            << QString() << QString()
            << QStringList{"wE2", "wC2=B", "wN2=2", "wE2", "wE2", "wE1", "mE1"}
            << crlfLines({"class B", "{ count=2; };"}) << QString();
        QTest::newRow("all rows off")
            << crlfLines({"class Kept", "{ count=1; };"}) << QStringLiteral("hand edit")
            << QStringList{"wC1=X", "wE1", "mC1=Y", "mE1"}
            << crlfLines({"class Kept", "{ count=1; };"}) << QStringLiteral("hand edit");
        QTest::newRow("magazines only")
            << QStringLiteral("w\r\n") << QStringLiteral("m\r\n")
            << QStringList{"wE1", "mE7", "mC7=Mag7", "mN7=30", "mC1=Mag1", "mN1=10"}
            << QStringLiteral("w\r\n")
            << QStringLiteral("m\r\n") +
                   crlfLines({"class Mag1", "{ count=10; };", "class Mag7", "{ count=30; };"});
        QTest::newRow("weapons only")
            << QString() << QString() << QStringList{"mE1", "wC1=Rifle", "wN1=1"}
            << crlfLines({"class Rifle", "{ count=1; };"}) << QString();
        QTest::newRow("glued to a last line without break")
            << QStringLiteral("class Old\r\n{ count=1; };") << QStringLiteral("// mags")
            << QStringList{"wC1=New", "wN1=2", "mC1=M", "mN1=3"}
            << QStringLiteral("class Old\r\n{ count=1; };class New\r\n{ count=2; };\r\n")
            << QStringLiteral("// magsclass M\r\n{ count=3; };\r\n");
        QTest::newRow("copied as typed")
            << QString() << QString()
            << QStringList{"wC1= \"Rifle A\" ", "wN1=four", "mC1=M", "mN1=-1.5"}
            << crlfLines({"class  \"Rifle A\" ", "{ count=four; };"})
            << crlfLines({"class M", "{ count=-1.5; };"});
    }
    void addAppendsBothBlocks()
    {
        QFETCH(QString, weaponsBefore);
        QFETCH(QString, magazinesBefore);
        QFETCH(QStringList, steps);
        QFETCH(QString, weaponsAfter);
        QFETCH(QString, magazinesAfter);

        main->document.setCode(CodeBox::mainLoadoutWeaponsCode, weaponsBefore);
        main->document.setCode(CodeBox::mainLoadoutMagazinesCode, magazinesBefore);
        perform(steps);
        click(button("addLoadoutButton"));
        flushDeletes();

        QVERIFY(!dialog);
        QCOMPARE(weapons(), weaponsAfter);
        QCOMPARE(magazines(), magazinesAfter);
        QVERIFY(main->allReleased());
        QCOMPARE(prompts->beeps, 0);
        QVERIFY(prompts->messages.isEmpty());
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
        main->document.setCode(CodeBox::mainLoadoutWeaponsCode, QStringLiteral("w"));
        perform({"wC1=A", "wN1=1", "mE4", "mC4=B"});
        if (route == "Cancel")
            click(button("cancelLoadoutButton"));
        else if (route == "Esc")
            QTest::keyClick(box("mC4"), Qt::Key_Escape);
        else
            dialog->windowHandle()->close();
        flushDeletes();

        QVERIFY(!dialog);
        QCOMPARE(weapons(), QStringLiteral("w"));
        QCOMPARE(magazines(), QString());
        QVERIFY(main->allReleased());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), main->addButton);
    }

    void enterAddsNothing()
    {
        QTest::keyClick(box("wC1"), Qt::Key_Return);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(weapons(), QString());
    }

    void reopeningShowsStartState()
    {
        perform({"wC1=A", "wE5", "wC5=B", "mE1", "mE2", "mN2=9"});
        click(button("addLoadoutButton"));
        flushDeletes();
        openDialog();
        QVERIFY(main->allLocked());
        for (const QString f : {"w", "m"}) {
            for (int n = 1; n <= 7; ++n) {
                QVERIFY(rowShows(f, n, n == 1));
                QCOMPARE(box(f + "C" + QString::number(n))->text(), QString());
                QCOMPARE(box(f + "N" + QString::number(n))->text(), QString());
            }
        }
    }
};

QTEST_MAIN(tst_addLoadout)
#include "tst_addloadout.moc"
