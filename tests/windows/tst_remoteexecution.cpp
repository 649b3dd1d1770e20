// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "remoteexecution.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Mission = u"class CfgRemoteExec\n"
                        u"{\n"
                        u"\tclass Functions\n"
                        u"\t{\n"
                        u"\t\tmode = 1;\n"
                        u"\t\tjip = 0;\n"
                        u"\t\tclass BIS_fnc_a { allowedTargets = 2; };\n"
                        u"\t\tclass tag_fnc_b { allowedTargets = 0; };\n"
                        u"\t};\n"
                        u"};\n"_s;

} // namespace

// The Remote execution window driven through its controls: open and OK writes nothing, Cancel
// and Esc write nothing after edits, a section's mode and jip and an entry's target change
// their values only, a command added by keyboard makes the Commands section, and a name taken
// twice keeps the window open.
class tst_remoteExecution : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;
    QPointer<remoteExecution> window;
    QString text;
    QString written; // null when OK wrote nothing

    void open(const QString &other = Mission)
    {
        text = other;
        written = QString();
        QList<MissionClass> sections;
        for (int kind = EndingKindCount; kind < ClassKindCount; ++kind)
            sections << readMissionClass(text, ClassKind(kind));
        window = new remoteExecution(main.get(), sections);
        connect(window, &remoteExecution::sectionsChosen, this,
                [this](const QList<MissionClass> &changed) {
                    written = text;
                    for (const MissionClass &c : changed)
                        written = applyMissionClass(written, c);
                });
        window->open();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    template <typename T = QWidget> T *find(const QString &name)
    {
        return window ? control<T>(window, name) : nullptr;
    }
    void press(const QString &button, Qt::Key key = Qt::Key_Return)
    {
        auto *b = find<QPushButton>(button);
        b->setFocus(Qt::TabFocusReason);
        QTest::keyClick(b, key);
        flushDeletes();
        QCoreApplication::processEvents();
    }
    // Picks a combo's item by keyboard, as a user does.
    static void choose(QComboBox *combo, int index)
    {
        combo->setFocus();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<StandInMain>();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup()
    {
        delete window;
        main.reset();
    }

    void shownAsRead()
    {
        open();
        QCOMPARE(find<QComboBox>(u"functionsMode"_s)->currentIndex(), 1);
        QVERIFY(find<QCheckBox>(u"functionsJipSet"_s)->isChecked());
        QVERIFY(!find<QCheckBox>(u"functionsJip"_s)->isChecked());
        QCOMPARE(find<QListWidget>(u"functionsList"_s)->count(), 2);
        QCOMPARE(find<QLineEdit>(u"functionName"_s)->text(), u"BIS_fnc_a"_s);
        QCOMPARE(find<QComboBox>(u"functionAllowedTargets"_s)->currentIndex(), 2);
        // jip not set: disabled, showing the section's (off).
        QVERIFY(!find<QCheckBox>(u"functionJip"_s)->isEnabled());
        QVERIFY(!find<QCheckBox>(u"functionJip"_s)->isChecked());
        // The Commands section the text lacks shows the game's defaults, unset.
        QVERIFY(!find<QCheckBox>(u"commandsModeSet"_s)->isChecked());
        QCOMPARE(find<QComboBox>(u"commandsMode"_s)->currentIndex(), 2);
        QVERIFY(!find<QComboBox>(u"commandsMode"_s)->isEnabled());
    }

    void closingWritesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("edit");
        QTest::newRow("OK untouched") << u"okButton"_s << false;
        QTest::newRow("Cancel") << u"cancelButton"_s << true;
        QTest::newRow("Esc") << QString() << true;
    }
    void closingWritesNothing()
    {
        QFETCH(QString, button);
        QFETCH(bool, edit);
        open();
        if (edit) {
            choose(find<QComboBox>(u"functionsMode"_s), 0);
            QTest::mouseClick(find<QPushButton>(u"functionsRemove"_s), Qt::LeftButton);
        }
        if (button.isEmpty())
            QTest::keyClick(find<QListWidget>(u"functionsList"_s), Qt::Key_Escape);
        else
            press(button);
        flushDeletes();
        QVERIFY(!window);
        QVERIFY(written.isNull());
    }

    void editsChangeTheirValuesOnly()
    {
        open();
        choose(find<QComboBox>(u"functionsMode"_s), 2);
        find<QCheckBox>(u"functionsJipSet"_s)->click();
        find<QListWidget>(u"functionsList"_s)->setCurrentRow(1);
        choose(find<QComboBox>(u"functionAllowedTargets"_s), 1);
        find<QCheckBox>(u"functionJipSet"_s)->click();
        // Set, it starts from what it showed: the section's default, now that jip is unset.
        QVERIFY(find<QCheckBox>(u"functionJip"_s)->isChecked());
        // A command, by keyboard: Ctrl+Tab to the tab, Add, the name typed over the offered one.
        auto *tabs = find<QTabWidget>(u"sectionTabs"_s);
        tabs->setFocus();
        QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentWidget()->objectName(), u"commandsTab"_s);
        auto *add = find<QPushButton>(u"commandsAdd"_s);
        add->setFocus(Qt::TabFocusReason);
        QTest::keyClick(add, Qt::Key_Space);
        auto *name = find<QLineEdit>(u"commandName"_s);
        QCOMPARE(name->text(), u"Command1"_s);
        QVERIFY(name->hasFocus());
        QTest::keyClicks(name, u"setDir"_s);
        press(u"okButton"_s);
        QVERIFY(!window);
        QCOMPARE(written,
                 QString(Mission)
                     .replace(u"mode = 1;"_s, u"mode = 2;"_s)
                     .remove(u"\t\tjip = 0;\n"_s)
                     .replace(u"{ allowedTargets = 0; }"_s, u"{ allowedTargets = 1; jip = 1; }"_s)
                     .replace(u"\t};\n};\n"_s,
                              u"\t};\n\tclass Commands\n\t{\n"
                              u"\t\tclass setDir\n\t\t{\n\t\t\tallowedTargets = 0;\n"
                              u"\t\t};\n\t};\n};\n"_s));
    }

    // Written twice, the class is shown as it is: each tab says why and offers nothing to edit.
    void readOnlyClassSaysWhy()
    {
        open(u"class CfgRemoteExec {};\nclass CfgRemoteExec {};\n"_s);
        QCOMPARE(find<QLabel>(u"commandsNote"_s)->text(),
                 u"The text has class CfgRemoteExec more than once. The window shows it as it "
                 u"is; edit it in Other."_s);
        QVERIFY(!find<QPushButton>(u"functionsAdd"_s)->isEnabled());
        QVERIFY(!find<QComboBox>(u"functionsMode"_s)->isVisible());
        press(u"okButton"_s);
        QVERIFY(!window);
        QVERIFY(written.isNull());
    }

    void nameTakenKeepsTheWindowOpen()
    {
        open();
        auto *name = find<QLineEdit>(u"functionName"_s);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, u"TAG_fnc_b"_s);
        press(u"okButton"_s);
        QVERIFY(window && window->isVisible());
        QCOMPARE(find<QLabel>(u"problemLabel"_s)->text(), u"Two classes are named TAG_fnc_b."_s);
        QVERIFY(name->hasFocus());
        QVERIFY(written.isNull());
    }
};

QTEST_MAIN(tst_remoteExecution)
#include "tst_remoteexecution.moc"
