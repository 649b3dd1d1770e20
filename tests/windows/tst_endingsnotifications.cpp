// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "endingsnotifications.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Mission = u"respawn = 3;\n"
                        u"class CfgDebriefing\n"
                        u"{\n"
                        u"\tclass End1\n"
                        u"\t{\n"
                        u"\t\ttitle = \"Mission Completed\";\n"
                        u"\t\tpictureColor[] = {0.0,0.3,0.6,1};\n"
                        u"\t};\n"
                        u"\tclass Loser: End1\n"
                        u"\t{\n"
                        u"\t};\n"
                        u"};\n"_s;

} // namespace

// The Endings and notifications window driven through its controls, as a user would: open
// and OK writes nothing, typing changes one value, Add, rename and Remove by keyboard, a
// colour that cannot be written keeps the window open and says why.
class tst_endingsNotifications : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;
    QPointer<endingsNotifications> window;
    QString text;
    QString written; // null when OK wrote nothing

    void open(const QString &other)
    {
        text = other;
        written = QString();
        QList<MissionClass> classes;
        for (int kind = 0; kind < ClassKindCount; ++kind)
            classes << readMissionClass(text, ClassKind(kind));
        window = new endingsNotifications(main.get(), classes);
        connect(window, &endingsNotifications::classesChosen, this,
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
    void pressOk()
    {
        auto *ok = find<QPushButton>(u"okButton"_s);
        ok->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ok, Qt::Key_Return);
        flushDeletes();
        QCoreApplication::processEvents();
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

    void okWithoutEditsWritesNothing()
    {
        open(Mission);
        QCOMPARE(find<QListWidget>(u"endingsList"_s)->count(), 2);
        QCOMPARE(find<QLineEdit>(u"endingTitle"_s)->text(), u"Mission Completed"_s);
        QCOMPARE(find<QLineEdit>(u"endingPictureColor"_s)->text(), u"0.0, 0.3, 0.6, 1"_s);
        QVERIFY(!find<QCheckBox>(u"endingSubtitleSet"_s)->isChecked());
        pressOk();
        QVERIFY(!window);
        QVERIFY(written.isNull());
    }

    void typingChangesOneValue()
    {
        open(Mission);
        retype(find<QLineEdit>(u"endingTitle"_s), u"Won"_s);
        find<QCheckBox>(u"endingSubtitleSet"_s)->click();
        retype(find<QLineEdit>(u"endingSubtitle"_s), u"At last"_s);
        pressOk();
        QCOMPARE(written,
                 QString(Mission)
                     .replace(u"\"Mission Completed\";\n"_s, u"\"Won\";\n"_s)
                     .replace(u"0.6,1};\n"_s, u"0.6,1};\n\t\tsubtitle = \"At last\";\n"_s));
    }

    // The inherited ending is shown as written: its form is disabled, Remove takes it out.
    void readOnlyEntryIsRemovedWhole()
    {
        open(Mission);
        auto *list = find<QListWidget>(u"endingsList"_s);
        list->setCurrentRow(1);
        QVERIFY(!find<QLineEdit>(u"endingTitle"_s)->isEnabled() ||
                !find<QLineEdit>(u"endingTitle"_s)->parentWidget()->isEnabled());
        QVERIFY(find<QPlainTextEdit>(u"endingWritten"_s)
                    ->toPlainText()
                    .startsWith(u"class Loser: End1"_s));
        QTest::mouseClick(find<QPushButton>(u"endingsRemove"_s), Qt::LeftButton);
        pressOk();
        QCOMPARE(written, QString(Mission).remove(u"\tclass Loser: End1\n\t{\n\t};\n"_s));
    }

    // A notification added by keyboard alone: Ctrl+Tab to the tab, Add, its name typed over
    // the offered one; the class is appended to a text without it.
    void addNotificationByKeyboard()
    {
        open(u"respawn = 3;\n"_s);
        auto *tabs = find<QTabWidget>(u"classTabs"_s);
        tabs->setFocus();
        QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentWidget()->objectName(), u"notificationsTab"_s);
        auto *add = find<QPushButton>(u"notificationsAdd"_s);
        add->setFocus(Qt::TabFocusReason);
        QTest::keyClick(add, Qt::Key_Space);
        auto *name = find<QLineEdit>(u"notificationName"_s);
        QCOMPARE(name->text(), u"Notification1"_s);
        QVERIFY(name->hasFocus());
        QTest::keyClicks(name, u"Hello"_s);
        retype(find<QLineEdit>(u"notificationTitle"_s), u"Hi"_s);
        pressOk();
        QVERIFY(written.startsWith(u"respawn = 3;\nclass CfgNotifications\n{\n\tclass Hello\n\t{\n"
                                   u"\t\ttitle = \"Hi\";\n"_s));
        QVERIFY(written.endsWith(u"\t};\n};\n"_s));
    }

    void badValueKeepsTheWindowOpen_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem");
        const QString colour =
            u"End1: pictureColor[] needs 3 or 4 numbers from 0 to 1, separated by commas."_s;
        QTest::newRow("colour above 1") << u"endingPictureColor"_s << u"2, 0, 0"_s << colour;
        QTest::newRow("two numbers") << u"endingPictureColor"_s << u"0, 0"_s << colour;
        QTest::newRow("empty name") << u"endingName"_s << QString() << u"A class needs a name."_s;
        // The other one is kept as written, and still counts.
        QTest::newRow("name taken")
            << u"endingName"_s << u"loser"_s << u"Two classes are named loser."_s;
    }
    void badValueKeepsTheWindowOpen()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, problem);
        open(Mission);
        retype(find<QLineEdit>(field), typed);
        pressOk();
        QVERIFY(window && window->isVisible());
        QCOMPARE(find<QLabel>(u"problemLabel"_s)->text(), problem);
        QVERIFY(find<QLineEdit>(field)->hasFocus());
        QVERIFY(written.isNull());
    }
};

QTEST_MAIN(tst_endingsNotifications)
#include "tst_endingsnotifications.moc"
