// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionsettings.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

// The Mission settings window driven through its controls: the wheel scrolls the window and
// changes only the control that has the focus, lists show every row, Enter applies only on OK,
// and the forms of real missions (own respawn templates, channels with voice, player IDs,
// string table references, times as expressions) are edited and written back in place.
class tst_missionSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;
    QPointer<missionSettings> window;
    QString text;
    // What OK wrote into the text, or null when it wrote nothing.
    QString written;

    void open(const QString &other)
    {
        text = other;
        written = QString();
        window = new missionSettings(main.get(), readMissionSettings(text));
        connect(window, &missionSettings::settingsChosen, this,
                [this](const QList<MissionSetting> &changes) {
                    written = applyMissionSettings(text, changes);
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
        auto *ok = find<QPushButton>(u"okButton"_qs);
        ok->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ok, Qt::Key_Return);
        flushDeletes();
        QCoreApplication::processEvents();
    }
    static void wheel(QWidget *w, int delta)
    {
        const QPoint at = w->rect().center();
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }
    static QString valueOf(QWidget *w)
    {
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            return QString::number(spin->value());
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return combo->currentText();
        return {};
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

    // Every spin box and combo box the window makes: the wheel over it without the focus
    // scrolls the window and leaves the value; a click gives it the focus (spin boxes; combo
    // boxes take it the same way, by their focus policy), and then the wheel changes it.
    void wheelChangesOnlyTheControlWithTheFocus()
    {
        open(u"wreckLimit = 10;\ncorpseManagerMode = 3;\n"_qs);
        for (QCheckBox *set : window->findChildren<QCheckBox *>()) {
            if (set->objectName().endsWith(u"Set") && set->isEnabled())
                set->setChecked(true);
        }
        QScrollBar *scroll = find<QScrollArea>(u"settingsArea"_qs)->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QList<QWidget *> controls;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w))
                controls << w;
        }
        QVERIFY(controls.size() > 20);
        int spins = 0;
        for (QWidget *w : controls) {
            const QString name = w->objectName();
            QCOMPARE(w->focusPolicy(), Qt::StrongFocus);
            find<QPushButton>(u"okButton"_qs)->setFocus();
            const QString before = valueOf(w);
            for (int delta : {-120, 120}) {
                scroll->setValue(delta < 0 ? 0 : scroll->maximum());
                wheel(w, delta);
                QVERIFY2(valueOf(w) == before, qPrintable(name));
                QVERIFY2(scroll->value() != (delta < 0 ? 0 : scroll->maximum()), qPrintable(name));
            }
            window->findChild<QScrollArea *>()->ensureWidgetVisible(w);
            if (qobject_cast<QSpinBox *>(w)) {
                QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
                ++spins;
            } else {
                w->setFocus(Qt::MouseFocusReason);
            }
            QVERIFY2(w->hasFocus(), qPrintable(name));
            const int scrolled = scroll->value();
            // Down, or up where the value is at its end already.
            wheel(w, -120);
            if (valueOf(w) == before)
                wheel(w, 120);
            QVERIFY2(valueOf(w) != before, qPrintable(name));
            QCOMPARE(scroll->value(), scrolled);
        }
        QVERIFY(spins >= 10);
        // The lists and the channel switches never scroll on their own: the window does.
        for (const QString &name : {u"respawnTemplates"_qs, u"disableChannels"_qs}) {
            QWidget *w = find(name);
            QWidget *target = w;
            if (auto *list = qobject_cast<QListWidget *>(w))
                target = list->viewport();
            scroll->setValue(0);
            wheel(target, -120);
            QVERIFY2(scroll->value() > 0, qPrintable(name));
        }
        QCOMPARE(find<QSpinBox>(u"wreckLimit"_qs)->value() != 10, true);
    }

    // The template list shows all its rows, a user's own name among them, and no row looks
    // chosen but by its tick.
    void templateListShowsEveryRowAndOwnNames()
    {
        open(u"respawnTemplates[] = {\"Exile\", \"Tickets\"}; // mod first\n"_qs);
        auto *list = find<QListWidget>(u"respawnTemplates"_qs);
        QVERIFY(list->isEnabled());
        QCOMPARE(list->count(), 14);
        QCOMPARE(list->item(13)->data(Qt::UserRole).toString(), u"Exile"_qs);
        QCOMPARE(list->item(13)->checkState(), Qt::Checked);
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
        QVERIFY(list->height() >= list->sizeHintForRow(0) * list->count());
        QCOMPARE(list->selectionMode(), QAbstractItemView::NoSelection);
        // A click on a row's text and the arrow keys move the current row: nothing is
        // selected, nothing ticked.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 3);
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(list->item(2)->checkState(), Qt::Unchecked);
        QCOMPARE(list->item(3)->checkState(), Qt::Checked); // Tickets, from the file
        // Space ticks the current row.
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(2)->checkState(), Qt::Checked);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(2)->checkState(), Qt::Unchecked);

        // A name of the user's own is added ticked, Enter in its field adds it too, and the
        // list grows to show it.
        auto *own = find<QLineEdit>(u"respawnTemplatesOwn"_qs);
        QTest::keyClicks(own, u"MyRespawn"_qs);
        QTest::mouseClick(find(u"respawnTemplatesAdd"_qs), Qt::LeftButton);
        QTest::keyClicks(own, u"exile"_qs);
        QTest::keyClick(own, Qt::Key_Return);
        QVERIFY(window->isVisible());
        QCOMPARE(list->count(), 15);
        QCOMPARE(list->item(14)->checkState(), Qt::Checked);
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
        // Untick the mod's: it goes from the file.
        list->setFocus();
        for (int i = 0; i < 20 && list->currentRow() != 13; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(13)->checkState(), Qt::Unchecked);
        pressOk();
        QCOMPARE(written, u"respawnTemplates[] = {\"Tickets\", \"MyRespawn\"}; // mod first\n"_qs);
    }

    // Enter in a field, a switch or a list closes nothing; on OK it applies, on Cancel it
    // closes without a change.
    void enterAppliesOnlyOnOk()
    {
        open(u"saving = 0;\n"_qs);
        auto *authorSet = find<QCheckBox>(u"authorSet"_qs);
        authorSet->setFocus();
        QTest::keyClick(authorSet, Qt::Key_Space);
        auto *author = find<QLineEdit>(u"author"_qs);
        QVERIFY(author->isEnabled());
        QTest::keyClicks(author, u"Tandry"_qs);
        QTest::keyClick(author, Qt::Key_Return);
        QTest::keyClick(author, Qt::Key_Enter);
        QTest::keyClick(authorSet, Qt::Key_Return);
        auto *spin = find<QSpinBox>(u"wreckLimit"_qs);
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(window && window->isVisible());
        QVERIFY(written.isNull());
        auto *cancel = find<QPushButton>(u"cancelButton"_qs);
        cancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cancel, Qt::Key_Return);
        flushDeletes();
        QTRY_VERIFY(!window || !window->isVisible());
        QVERIFY(written.isNull());

        open(u"saving = 0;\n"_qs);
        QTest::keyClick(find<QCheckBox>(u"savingSet"_qs), Qt::Key_Space);
        pressOk();
        QTRY_VERIFY(!window || !window->isVisible());
        QCOMPARE(written, QString());
    }

    // disableChannels per channel: chat and voice switches, written back word by word.
    void channelsWithVoice()
    {
        open(u"disableChannels[] = {{0,false,true},{1,true,true}};\n"_qs);
        auto box = [this](const char *name) { return find<QCheckBox>(QLatin1StringView(name)); };
        QVERIFY(find(u"disableChannels"_qs)->isEnabled());
        QVERIFY(!box("disableChannels0Chat")->isChecked());
        QVERIFY(box("disableChannels0Voice")->isChecked());
        QVERIFY(box("disableChannels1Chat")->isChecked());
        QVERIFY(box("disableChannels1Voice")->isChecked());
        QTest::mouseClick(box("disableChannels0Chat"), Qt::LeftButton);
        QTest::mouseClick(box("disableChannels5Voice"), Qt::LeftButton);
        pressOk();
        QCOMPARE(written,
                 u"disableChannels[] = {{0,true,true},{1,true,true},{5,false,true}};\n"_qs);

        // The short form stays while only chat is disabled; a voice turns it per channel.
        open(u"disableChannels[] = {0, 2};\n"_qs);
        QVERIFY(box("disableChannels0Chat")->isChecked());
        QVERIFY(!box("disableChannels0Voice")->isChecked());
        QTest::mouseClick(box("disableChannels3Chat"), Qt::LeftButton);
        pressOk();
        QCOMPARE(written, u"disableChannels[] = {0, 2, 3};\n"_qs);
        open(u"disableChannels[] = {0, 2};\n"_qs);
        QTest::mouseClick(box("disableChannels2Voice"), Qt::LeftButton);
        pressOk();
        QCOMPARE(written, u"disableChannels[] = {{0, true, false}, {2, true, true}};\n"_qs);
    }

    // enableDebugConsole: a choice, or the IDs of the players who may use it.
    void debugConsolePlayers()
    {
        open(u"enableDebugConsole[] = {\"76561198000000001\"};\n"_qs);
        auto *combo = find<QComboBox>(u"enableDebugConsole"_qs);
        auto *players = find<QLineEdit>(u"enableDebugConsolePlayers"_qs);
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->currentData().toString(), QString::fromLatin1(PlayerListChoice));
        QVERIFY(players->isEnabled());
        QCOMPARE(players->text(), u"76561198000000001"_qs);
        players->setFocus();
        QTest::keyClick(players, Qt::Key_End);
        QTest::keyClicks(players, u", 76561198000000002"_qs);
        pressOk();
        QCOMPARE(written,
                 u"enableDebugConsole[] = {\"76561198000000001\", \"76561198000000002\"};\n"_qs);

        // Another choice switches the IDs off and writes the number.
        open(u"enableDebugConsole[] = {\"76561198000000001\"};\n"_qs);
        combo = find<QComboBox>(u"enableDebugConsole"_qs);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentData().toString(), u"2"_qs);
        QVERIFY(!find(u"enableDebugConsolePlayers"_qs)->isEnabled());
        pressOk();
        QCOMPARE(written, u"enableDebugConsole = 2;\n"_qs);

        // And from a number to players.
        open(u"enableDebugConsole = 1;\n"_qs);
        combo = find<QComboBox>(u"enableDebugConsole"_qs);
        players = find<QLineEdit>(u"enableDebugConsolePlayers"_qs);
        QVERIFY(!players->isEnabled());
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_End);
        QVERIFY(players->isEnabled());
        QTest::keyClicks(players, u"76561198000000003"_qs);
        pressOk();
        QCOMPARE(written, u"enableDebugConsole[] = {\"76561198000000003\"};\n"_qs);
    }

    // $STR_ references are text the field shows and writes as written, without quotes.
    void stringReferences()
    {
        open(u"author = $STR_author;\nonLoadName = \"Dawn\";\n"_qs);
        auto *author = find<QLineEdit>(u"author"_qs);
        QVERIFY(author->isEnabled());
        QCOMPARE(author->text(), u"$STR_author"_qs);
        author->setFocus();
        QTest::keyClick(author, Qt::Key_End);
        QTest::keyClicks(author, u"2"_qs);
        auto *name = find<QLineEdit>(u"onLoadName"_qs);
        name->selectAll();
        QTest::keyClicks(name, u"$STR_name"_qs);
        pressOk();
        QCOMPARE(written, u"author = $STR_author2;\nonLoadName = $STR_name;\n"_qs);
    }

    // A time written as an expression shows it beside its value, and stays written so unless
    // the value changes.
    void timeExpressions()
    {
        const QString file = u"corpseRemovalMaxTime = 30*60;\nwreckLimit = 3;\n"_qs;
        open(file);
        auto *spin = find<QSpinBox>(u"corpseRemovalMaxTime"_qs);
        auto *expression = find<QLabel>(u"corpseRemovalMaxTimeExpression"_qs);
        QVERIFY(spin->isEnabled());
        QCOMPARE(spin->value(), 1800);
        QVERIFY(expression->isVisible());
        QCOMPARE(expression->text(), u"written as 30*60"_qs);
        QTest::keyClick(find(u"wreckLimit"_qs), Qt::Key_Up);
        pressOk();
        QCOMPARE(written, u"corpseRemovalMaxTime = 30*60;\nwreckLimit = 4;\n"_qs);

        open(file);
        spin = find<QSpinBox>(u"corpseRemovalMaxTime"_qs);
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(find<QLabel>(u"corpseRemovalMaxTimeExpression"_qs)->text(), u"replaces 30*60"_qs);
        pressOk();
        QCOMPARE(written, u"corpseRemovalMaxTime = 1801;\nwreckLimit = 3;\n"_qs);
    }

    // Values real missions use are editable; the manager modes show both defaults.
    void rangesAndDefaults()
    {
        open(u"minPlayerDistance = 15000;\nreviveForceRespawnDelay = 99999;\n"_qs);
        auto *distance = find<QSpinBox>(u"minPlayerDistance"_qs);
        auto *delay = find<QSpinBox>(u"reviveForceRespawnDelay"_qs);
        QVERIFY(distance->isEnabled() && delay->isEnabled());
        QCOMPARE(distance->value(), 15000);
        QCOMPARE(delay->value(), 99999);
        for (const char *key : {"corpseManagerMode", "wreckManagerMode"}) {
            auto *label = find<QLabel>(QLatin1StringView(key) + u"Default"_qs);
            QCOMPARE(label->text(), u"default: 0 in single player, 2 in multiplayer"_qs);
            QVERIFY(label->toolTip().contains(u"Multiplayer: 2"_qs));
        }
        delay->setFocus();
        delay->selectAll();
        QTest::keyClicks(delay, u"250000"_qs);
        pressOk();
        QCOMPARE(written, u"minPlayerDistance = 15000;\nreviveForceRespawnDelay = 250000;\n"_qs);
    }
};

QTEST_MAIN(tst_missionSettings)
#include "tst_missionsettings.moc"
