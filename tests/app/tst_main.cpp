// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "confighighlighter.h"
#include "mainwindowfixture.h"
#include "systemcolours.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCompleter>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <limits>
#include <memory>

namespace {

enum class Background { None, White, Grey };

QString field(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

Q_DECLARE_METATYPE(Background)
Q_DECLARE_METATYPE(Field)

class tst_Main : public QObject, MainWindowFixture<>
{
    Q_OBJECT

    template <typename T = QWidget> T *get(const QString &name) const
    {
        auto *w = main->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QCheckBox *box(const QString &name) const { return get<QCheckBox>(name); }

    void click(const QString &name)
    {
        QWidget *w = get(name);
        showPageOf(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(7, w->height() / 2));
    }
    void setSwitch(const QString &name, bool on)
    {
        if (box(name)->isChecked() != on)
            click(name);
        QCOMPARE(box(name)->isChecked(), on);
    }
    static QColor white() { return SystemColours::enabledFieldBackground(QApplication::palette()); }
    static QColor grey() { return SystemColours::inactiveFieldBackground(QApplication::palette()); }
    void checkState(const QString &name, bool enabled) const
    {
        QWidget *w = get(name);
        QVERIFY2(w->isEnabled() == enabled, qPrintable(name));
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w))
            QCOMPARE(SystemColours::fieldBackground(w), enabled ? white() : grey());
    }

private Q_SLOTS:
    void init()
    {
        // Commands that ask (Exit) are answered by the script, never by a blocking box.
        QVERIFY(openMain());
        prompts->answers << QMessageBox::No;
    }
    void cleanup() { closeMain(); }

    void window()
    {
        QCOMPARE(main->objectName(), QStringLiteral("Main"));
        QCOMPARE(main->windowTitle(), QStringLiteral("Merrow Editor"));
        QVERIFY(!main->windowIcon().isNull());
        const Qt::WindowFlags flags = main->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);

        // Fixed size: the client area below the menu bar is 705 x 559 and holds the 17-pixel
        // status bar at its bottom edge.
        QCOMPARE(main->minimumSize(), main->maximumSize());
        const int menuHeight = main->menuBar()->height();
        QCOMPARE(main->size(), QSize(705, menuHeight + 559));
        QCOMPARE(main->centralWidget()->geometry(), QRect(0, menuHeight, 705, 559 - 17));
        QStatusBar *bar = get<QStatusBar>("StatusBar1");
        QCOMPARE(bar->geometry(), QRect(0, menuHeight + 559 - 17, 705, 17));
        QCOMPARE(bar->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(bar->font().pointSizeF(), 8.25);

        QTabWidget *items = main->items();
        QCOMPARE(items->objectName(), QStringLiteral("Items"));
        QCOMPARE(items->geometry(), QRect(8, 8, 689, 529));
        QCOMPARE(items->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(items->toolTip(), QString());
        QCOMPARE(items->currentIndex(), 0);
        const QStringList titles = {"On Load", "Identity", "Radio",      "Sounds",
                                    "Music",   "Loadout",  "MP options", "Other"};
        QCOMPARE(items->count(), titles.size());
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(items->tabText(i), titles[i]);
    }

    void statusBar()
    {
        QStatusBar *bar = get<QStatusBar>("StatusBar1");
        const QList<QLabel *> panels = bar->findChildren<QLabel *>();
        QCOMPARE(panels.size(), 4);
        const QStringList texts = {"Ostrel Description Editor by Tandry", "NUM", "CAPS", "INS"};
        int x = -1;
        for (int i = 0; i < 4; ++i) {
            QLabel *panel = panels[i];
            QCOMPARE(panel->text(), texts[i]);
            QCOMPARE(panel->toolTip(), texts[i]);
            QVERIFY(panel->x() > x);
            x = panel->x();
            if (i > 0)
                QVERIFY(panel->width() >= 96);
        }
        // The text panel takes what the indicators leave.
        QVERIFY(panels[0]->width() > 300);
    }

    void menus()
    {
        QMenu *file = get<QMenu>("mnuFile");
        QMenu *help = get<QMenu>("mnuHelp");
        QCOMPARE(file->title(), QStringLiteral("File"));
        QCOMPARE(help->title(), QStringLiteral("Help"));
        const QList<QAction *> bar = main->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->menu(), file);
        QCOMPARE(bar[1]->menu(), help);

        struct Item
        {
            const char *name;
            const char *text;
            const char *shortcut;
        };
        auto check = [](QMenu *menu, std::initializer_list<Item> items) {
            const QList<QAction *> actions = menu->actions();
            QCOMPARE(actions.size(), qsizetype(items.size()));
            int i = 0;
            for (const Item &item : items) {
                QAction *action = actions[i++];
                QCOMPARE(action->objectName(), QString::fromLatin1(item.name));
                if (!item.text) {
                    QVERIFY(action->isSeparator());
                    continue;
                }
                QCOMPARE(action->text(), QString::fromUtf8(item.text));
                QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
            }
        };
        check(file, {{"mnuOpen", "Open...", "Ctrl+O"},
                     {"mnuOpenReport", "Open Report", "Ctrl+R"},
                     {"mnuMissionSettings", "Mission Settings…", "Ctrl+E"},
                     {"mnuEndings", "Endings and Notifications…", "Ctrl+J"},
                     {"mnuFunctions", "Functions…", "Ctrl+F"},
                     {"mnuRemoteExec", "Remote Execution…", "Ctrl+Shift+R"},
                     {"mnuCreate", "Create \"description.ext\"", "Ctrl+F2"},
                     {"mnuSave", "Save", "Ctrl+S"},
                     {"medzera", nullptr, nullptr},
                     {"mnuMinimize", "Minimize", "Ctrl+M"},
                     {"medzera0", nullptr, nullptr},
                     {"mnuExit", "Exit", "Ctrl+X"}});
        check(help, {{"mnuHelpContents", "Help Contents", "F1"},
                     {"medzera2", nullptr, nullptr},
                     {"mnuAbout", "About", ""}});
        QCOMPARE(main->mnuFunctions(), file->actions()[4]);
        QCOMPARE(main->mnuRemoteExec(), file->actions()[5]);
        QCOMPARE(main->mnuCreate(), file->actions()[6]);
        QCOMPARE(main->mnuExit(), file->actions()[11]);
        QCOMPARE(main->mnuAbout(), help->actions()[2]);
    }

    // A menu shortcut wins over the editing keys of the focused field: Ctrl+X in a code box
    // runs Exit and cuts nothing.
    void shortcutBeatsEditingKeys()
    {
        main->document().setSwitch(Switch::mainOtherActive, 1);
        auto *edit = get<QPlainTextEdit>("mainOtherCode");
        showPageOf(edit);
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        edit->setFocus();
        edit->selectAll();
        QSignalSpy exit(main->mnuExit(), &QAction::triggered);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exit.size(), 1);
        QCOMPARE(edit->toPlainText(), QStringLiteral("// Other code\n"));
    }

    void commonDialog()
    {
        QFileDialog *dialog = main->commonDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("CommonDialog1"));
        QCOMPARE(dialog->windowTitle(),
                 QStringLiteral("Locate directory for description.ext file"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("ext"));
        QCOMPARE(dialog->nameFilters(), QStringList{"description.ext (description.ext)"});
        QVERIFY(!dialog->isVisible());
        // It must stay usable while the main window is disabled.
        QVERIFY(!main->isAncestorOf(dialog));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("font"); // "" dialog font, else "Family size [bold]"

        auto row = [](const char *name, const char *kind, const char *parent, const char *caption,
                      const char *tooltip, QRect place, const char *font = "") {
            QTest::newRow(name) << field(kind) << field(parent) << field(caption) << field(tooltip)
                                << place << field(font);
        };
        const char *V = "Verdana 8.25";
        const char *VB = "Verdana 8.25 bold";
        const char *A12 = "Arial 12 bold";
        const char *AB = "Arial 8.25 bold";

        row("Label9", "label", "onLoadPage", "On Load", "", {8, 8, 73, 17}, A12);
        row("OnLoadStrings", "frame", "onLoadPage", "On Load Strings", "", {136, 40, 393, 113});
        row("onLoadIntroLabel", "label", "OnLoadStrings", "OnLoadIntro:", "", {16, 24, 209, 17});
        row("introString", "text", "OnLoadStrings", "", "Text displayed while the intro is loading",
            {16, 40, 297, 19}, V);
        row("introStringEnabled", "check", "OnLoadStrings", "Enabled", "", {320, 40, 65, 17});
        row("onLoadMissionLabel", "label", "OnLoadStrings", "OnLoadMission:", "",
            {16, 64, 177, 17});
        row("missionString", "text", "OnLoadStrings", "",
            "Text displayed while the mission is loading", {16, 80, 297, 19}, V);
        row("missionStringEnabled", "check", "OnLoadStrings", "Enabled", "", {320, 80, 65, 17});
        row("OnLoadTime", "frame", "onLoadPage", "On Load Time", "", {136, 168, 185, 89});
        row("introTimeEnabled", "check", "OnLoadTime", "OnLoadIntroTime",
            "Time displayed while the intro is loading", {24, 24, 105, 17});
        row("missionTimeEnabled", "check", "OnLoadTime", "OnLoadMissionTime",
            "Time displayed while the mission is loading", {24, 56, 121, 17});
        row("scoreFrame", "frame", "onLoadPage", "Score", "", {136, 272, 185, 137});
        row("scoreEnabled", "check", "scoreFrame", "Enabled", "", {24, 24, 65, 17});
        row("minScoreLabel", "label", "scoreFrame", "Minimal score:", "", {24, 56, 81, 17});
        row("minScoreText", "text", "scoreFrame", "0", "", {112, 56, 49, 19});
        row("avgScoreLabel", "label", "scoreFrame", "Average score:", "", {24, 80, 81, 17});
        row("avgScoreText", "text", "scoreFrame", "2500", "", {112, 80, 49, 19});
        row("maxScoreLabel", "label", "scoreFrame", "Maximal score:", "", {24, 104, 81, 17});
        row("maxScoreText", "text", "scoreFrame", "5000", "", {112, 104, 49, 19});
        row("Accessories", "frame", "onLoadPage", "Accessories", "", {368, 168, 161, 241});
        row("disabledaiCheck", "check", "Accessories", "disabledAI", "", {32, 32, 89, 17});
        row("gpsCheck", "check", "Accessories", "showGPS", "", {32, 56, 97, 17});
        row("compassCheck", "check", "Accessories", "showCompass", "", {32, 80, 97, 17});
        row("watchCheck", "check", "Accessories", "showWatch", "", {32, 104, 89, 17});
        row("mapCheck", "check", "Accessories", "showMap", "", {32, 128, 73, 17});
        row("notepadCheck", "check", "Accessories", "showNotepad", "", {32, 152, 97, 17});
        row("briefingCheck", "check", "Accessories", "briefing", "", {32, 176, 81, 17});
        row("debriefingCheck", "check", "Accessories", "debriefing", "", {32, 200, 81, 17});
        row("Picture1", "picture", "onLoadPage", "", "", {8, 432, 222, 86});

        struct Section
        {
            const char *page, *heading, *headingText, *add, *active, *code, *tooltip;
            int codeX, activeX;
            const char *codeFont;
        };
        const Section sections[] = {
            {"identityPage", "Label8", "Identity", "addIdentityButton", "mainIdentityActive",
             "mainIdentityCode", "Class Identity code", 8, 600, V},
            {"radioPage", "Label7", "Radio", "addRadioButton", "mainRadioActive", "mainRadioCode",
             "Class Radio code", 8, 600, V},
            {"soundsPage", "Label6", "Sounds", "addSoundButton", "mainSoundActive", "mainSoundCode",
             "Class Sound code", 8, 600, V},
            {"musicPage", "Label5", "Music", "addMusicButton", "mainMusicActive", "mainMusicCode",
             "Class Music code", 8, 600, V},
            {"otherPage", "Label4", "Other", nullptr, "mainOtherActive", "mainOtherCode",
             "Code by others", 12, 604, ""},
        };
        for (const Section &s : sections) {
            row(s.heading, "label", s.page, s.headingText, "", {8, 8, 97, 17}, A12);
            if (s.add)
                row(s.add, "button", s.page, "Add", "", {496, 8, 89, 25});
            row(s.active, "check", s.page, "Active", "", {s.activeX, 8, 55, 25});
            row(s.code, "code", s.page, "", s.tooltip, {s.codeX, 40, 649, 481}, s.codeFont);
        }

        row("Label11", "label", "loadoutPage", "Loadout", "", {8, 8, 65, 17}, A12);
        row("addLoadoutButton", "button", "loadoutPage", "Add", "", {496, 8, 89, 25});
        row("mainLoadoutActive", "check", "loadoutPage", "Active", "", {600, 8, 53, 25});
        row("Label10", "label", "loadoutPage", "Weapons", "", {12, 32, 89, 17}, AB);
        row("mainLoadoutWeaponsCode", "code", "loadoutPage", "", "Class Weapons code",
            {8, 48, 313, 473}, V);
        row("Label12", "label", "loadoutPage", "Magazines", "", {340, 32, 89, 17}, AB);
        row("mainLoadoutMagazinesCode", "code", "loadoutPage", "", "Class Magazines code",
            {336, 48, 317, 473}, V);

        row("Label1", "label", "mpOptionsPage", "MP options", "", {8, 8, 97, 25}, A12);
        row("respawnActive", "check", "mpOptionsPage", "Active", "", {600, 8, 57, 25});
        row("respawnFrame", "frame", "mpOptionsPage", "Respawn", "", {8, 32, 345, 193});
        row("respawnCheck", "check", "respawnFrame", "respawn", "Type of respawn", {40, 24, 81, 17},
            VB);
        row("noneOption", "option", "respawnFrame", "NONE", "See help file", {40, 48, 73, 13}, V);
        row("birdOption", "option", "respawnFrame", "BIRD", "See help file", {40, 72, 73, 13}, V);
        row("instantOption", "option", "respawnFrame", "INSTANT", "See help file", {40, 96, 73, 13},
            V);
        row("baseOption", "option", "respawnFrame", "BASE", "See help file", {40, 120, 65, 13}, V);
        row("groupOption", "option", "respawnFrame", "GROUP", "See help file", {40, 144, 73, 13},
            V);
        row("sideOption", "option", "respawnFrame", "SIDE", "See help file", {40, 168, 65, 13}, V);
        row("dialogCheck", "check", "respawnFrame", "respawnDialog",
            "Enable/disable respawn dialog", {160, 24, 121, 17}, VB);
        row("delayCheck", "check", "respawnFrame", "respawnDelay", "Setting for the respawn delay",
            {160, 72, 121, 17}, VB);
        row("delayText", "text", "respawnFrame", "10", "", {160, 96, 57, 19}, V);
        row("sec1", "label", "respawnFrame", "seconds", "", {224, 96, 49, 17}, V);
        row("vehicleDelayCheck", "check", "respawnFrame", "respawnVehicleDelay",
            "Setting for the vehicle respawn delay", {160, 136, 169, 17}, VB);
        row("vehicleDelayText", "text", "respawnFrame", "10", "", {160, 160, 57, 19}, V);
        row("sec2", "label", "respawnFrame", "seconds", "", {224, 161, 49, 17}, V);
        row("Frame1", "frame", "mpOptionsPage", "Header", "", {360, 32, 289, 193});
        row("gameTypeLabel", "label", "Frame1", "Type of the mission:", "", {24, 40, 129, 17}, V);
        row("typeValue", "text", "Frame1", "", "Type of the MP mission", {176, 40, 81, 19}, V);
        row("minPlayersLabel", "label", "Frame1", "Minimum of the players:", "", {24, 88, 153, 17},
            V);
        row("minPlayersValue", "text", "Frame1", "2", "Minimum of the players", {176, 88, 33, 19},
            V);
        row("maxPlayersLabel", "label", "Frame1", "Maximum of the players:", "", {24, 136, 153, 17},
            V);
        row("maxPlayersValue", "text", "Frame1", "10", "Maximum of the players", {176, 136, 33, 19},
            V);
        row("Label2", "label", "mpOptionsPage", "MP Parameters", "", {8, 248, 105, 17}, AB);
        row("addParamsButton", "button", "mpOptionsPage", "Add", "", {504, 232, 89, 25});
        row("paramsActive", "check", "mpOptionsPage", "Active", "", {600, 232, 57, 25});
        row("paramsCode", "code", "mpOptionsPage", "", "MP parameters code", {8, 264, 649, 257}, V);
    }

    // Kind, caption, tooltip, font and place of every control. Controls designed to reach the
    // bottom of their page end just inside the page area, which the row of tabs makes shorter.
    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(QRect, place);
        QFETCH(QString, font);

        QWidget *w = get(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->toolTip(), tooltip);

        if (kind == "label") {
            QCOMPARE(get<QLabel>(w->objectName())->text(), caption);
        } else if (kind == "picture") {
            auto *picture = get<QLabel>(w->objectName());
            // The 250 x 90 logo fits its box whole, in its own proportions.
            const QSize shown = picture->pixmap().size();
            QVERIFY(shown.width() <= picture->width() && shown.height() <= picture->height());
            QVERIFY(shown.width() == picture->width() || shown.height() == picture->height());
            QVERIFY(qAbs(shown.width() * 90 - shown.height() * 250) <= 250);
            QVERIFY(!picture->hasScaledContents());
            QVERIFY(picture->alignment() & Qt::AlignTop);
            QVERIFY(picture->alignment() & Qt::AlignLeft);
        } else if (kind == "frame") {
            QCOMPARE(get<QGroupBox>(w->objectName())->title(), caption);
        } else if (kind == "text") {
            QVERIFY(qobject_cast<QLineEdit *>(w));
            // No limit of its own (the widget's default would cut pastes at 32767).
            QCOMPARE(static_cast<QLineEdit *>(w)->maxLength(), std::numeric_limits<int>::max());
        } else if (kind == "check") {
            auto *check = get<QCheckBox>(w->objectName());
            QCOMPARE(check->text(), caption);
            QVERIFY(!check->isTristate());
        } else if (kind == "option") {
            QCOMPARE(get<QRadioButton>(w->objectName())->text(), caption);
        } else if (kind == "button") {
            QCOMPARE(get<QPushButton>(w->objectName())->text(), caption);
        } else if (kind == "code") {
            auto *code = get<QPlainTextEdit>(w->objectName());
            QCOMPARE(code->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            const bool both = w->objectName() == "paramsCode";
            QCOMPARE(code->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, both);
            QCOMPARE(code->lineWrapMode() == QPlainTextEdit::NoWrap, both);
        } else {
            QFAIL("unknown kind");
        }

        const QFont f = w->font();
        if (font.isEmpty()) {
            QCOMPARE(f.pointSizeF(), 8.25);
            QVERIFY(f.family() != "Verdana" && f.family() != "Arial");
            QVERIFY(!f.bold());
        } else {
            const QStringList parts = font.split(' ');
            QCOMPARE(f.family(), parts[0]);
            QCOMPARE(f.pointSizeF(), parts[1].toDouble());
            QCOMPARE(f.bold(), parts.size() > 2);
        }

        showPageOf(w); // a page gets its real size when it is first shown
        QWidget *page = w->parentWidget();
        QRect expected = place;
        if (main->items()->indexOf(page) >= 0 && expected.bottom() > page->height() - 4)
            expected.setBottom(page->height() - 4);
        QCOMPARE(w->geometry(), expected);
    }

    // Only the bottom-most controls are shortened, and by no more than the row of tabs takes.
    void pageArea()
    {
        QWidget *page = get("identityPage");
        showPageOf(page->findChild<QWidget *>("mainIdentityCode"));
        QVERIFY(page->height() >= 480);
        QVERIFY(get("mainIdentityCode")->height() >= 440);
        QCOMPARE(get("mainIdentityCode")->geometry().bottom(), page->height() - 4);
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("name");
        const char *rows[][2] = {
            {"introString", "OnLoadIntro:"},
            {"missionString", "OnLoadMission:"},
            {"minScoreText", "Minimal score:"},
            {"avgScoreText", "Average score:"},
            {"maxScoreText", "Maximal score:"},
            {"typeValue", "Type of the mission:"},
            {"minPlayersValue", "Minimum of the players:"},
            {"maxPlayersValue", "Maximum of the players:"},
            {"delayText", "respawnDelay (seconds)"},
            {"vehicleDelayText", "respawnVehicleDelay (seconds)"},
            {"mainIdentityCode", "Identity"},
            {"mainRadioCode", "Radio"},
            {"mainSoundCode", "Sounds"},
            {"mainMusicCode", "Music"},
            {"mainLoadoutWeaponsCode", "Weapons"},
            {"mainLoadoutMagazinesCode", "Magazines"},
            {"paramsCode", "MP Parameters"},
            {"mainOtherCode", "Other"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << field(r[1]);
    }
    void accessibleNames()
    {
        QFETCH(QString, name);
        QCOMPARE(get(QString::fromLatin1(QTest::currentDataTag()))->accessibleName(), name);
    }

    void startUpState_data()
    {
        QTest::addColumn<QString>("value"); // "on"/"off" for switches and options, else text
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Background>("background");

        auto row = [](const char *name, const char *value, bool enabled,
                      Background background = Background::None) {
            QTest::newRow(name) << field(value) << enabled << background;
        };
        for (const char *name :
             {"missionStringEnabled", "missionTimeEnabled", "gpsCheck", "compassCheck",
              "watchCheck", "mapCheck", "notepadCheck", "briefingCheck", "debriefingCheck"})
            row(name, "on", true);
        for (const char *name :
             {"introStringEnabled", "introTimeEnabled", "disabledaiCheck", "scoreEnabled"})
            row(name, "off", true);
        row("introString", "", false, Background::Grey);
        row("onLoadIntroLabel", "", false);
        row("missionString", "", true, Background::White);
        row("onLoadMissionLabel", "", true);
        for (const char *name : {"minScoreLabel", "avgScoreLabel", "maxScoreLabel"})
            row(name, "", false);
        row("minScoreText", "0", false, Background::Grey);
        row("avgScoreText", "2500", false, Background::Grey);
        row("maxScoreText", "5000", false, Background::Grey);
        for (const char *name :
             {"mainIdentityActive", "mainRadioActive", "mainSoundActive", "mainMusicActive",
              "mainLoadoutActive", "paramsActive", "mainOtherActive"})
            row(name, "off", true);
        for (const char *name : {"addIdentityButton", "addRadioButton", "addSoundButton",
                                 "addMusicButton", "addLoadoutButton", "addParamsButton"})
            row(name, "", false);
        for (const char *name :
             {"mainIdentityCode", "mainRadioCode", "mainSoundCode", "mainMusicCode",
              "mainLoadoutWeaponsCode", "mainLoadoutMagazinesCode", "paramsCode"})
            row(name, "", false, Background::Grey);
        row("mainOtherCode", "// Other code\n", false, Background::Grey);
        row("respawnActive", "off", true);
        for (const char *name : {"respawnCheck", "delayCheck", "vehicleDelayCheck", "dialogCheck"})
            row(name, "off", false);
        row("noneOption", "on", false);
        for (const char *name :
             {"birdOption", "instantOption", "baseOption", "groupOption", "sideOption"})
            row(name, "off", false);
        row("delayText", "10", false, Background::Grey);
        row("vehicleDelayText", "10", false, Background::Grey);
        for (const char *name :
             {"sec1", "sec2", "gameTypeLabel", "minPlayersLabel", "maxPlayersLabel"})
            row(name, "", false);
        row("typeValue", "", false, Background::Grey);
        row("minPlayersValue", "2", false, Background::Grey);
        row("maxPlayersValue", "10", false, Background::Grey);
    }
    void startUpState()
    {
        QFETCH(QString, value);
        QFETCH(bool, enabled);
        QFETCH(Background, background);

        QWidget *w = get(QString::fromLatin1(QTest::currentDataTag()));
        if (auto *button = qobject_cast<QAbstractButton *>(w); button && button->isCheckable())
            QCOMPARE(QString::fromLatin1(button->isChecked() ? "on" : "off"), value);
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            QCOMPARE(edit->text(), value);
        else if (auto *code = qobject_cast<QPlainTextEdit *>(w))
            QCOMPARE(code->toPlainText(), value);
        QCOMPARE(w->isEnabled(), enabled);
        if (background != Background::None)
            QCOMPARE(SystemColours::fieldBackground(w),
                     background == Background::White ? white() : grey());
    }

    void startUpDocument()
    {
        const EditorDocument &doc = main->document();
        EditorDocument reference;
        reference.applyStartUp();
        for (int i = 0; i < SwitchCount; ++i) {
            QCOMPARE(doc.value(Switch(i)), reference.value(Switch(i)));
            QCOMPARE(doc.isEnabled(Switch(i)), reference.isEnabled(Switch(i)));
        }
        QCOMPARE(doc.code(CodeBox::mainOtherCode), QStringLiteral("// Other code\r\n"));
        QCOMPARE(doc.fragment(Fragment::disabledAI), reference.fragment(Fragment::disabledAI));
        QCOMPARE(main->items()->currentIndex(), 0);
    }

    // In a light and in a dark palette: switched-off captions stay greyed but legible (at
    // least 3:1 against the window); the grey sub-headings read as text (4.5:1) yet stay
    // apart from it; problems in the preview are underlined at 4.5:1 on a tint of their hue.
    void coloursAreLegible_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        // Fusion under a dark desktop theme, as Adwaita dark gives it.
        QPalette dark;
        const auto set = [&dark](QPalette::ColorRole role, QColor active, QColor disabled) {
            dark.setColor(role, active);
            dark.setColor(QPalette::Disabled, role, disabled);
        };
        const QColor window(53, 53, 53), text(238, 238, 236), muted(121, 121, 121);
        for (auto role : {QPalette::Window, QPalette::Button})
            set(role, window, window);
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            set(role, text, muted);
        set(QPalette::Base, QColor(45, 45, 45), QColor(53, 53, 53));
        set(QPalette::Dark, QColor(35, 35, 35), QColor(35, 35, 35));
        set(QPalette::Mid, QColor(40, 40, 40), QColor(40, 40, 40));
        set(QPalette::Light, QColor(70, 70, 70), QColor(70, 70, 70));
        QTest::newRow("dark") << dark;
    }
    void coloursAreLegible()
    {
        QFETCH(QPalette, palette);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        closeMain();
        QVERIFY(openMain());
        const QColor window = QApplication::palette().color(QPalette::Window);

        for (const char *name :
             {"onLoadIntroLabel", "minScoreLabel", "gameTypeLabel", "gpsCheck"}) {
            QWidget *w = get(name);
            const QPalette p = w->palette();
            const QColor text =
                p.color(QPalette::Disabled,
                        qobject_cast<QLabel *>(w) ? QPalette::WindowText : QPalette::ButtonText);
            const double ratio = SystemColours::contrast(text, p.color(QPalette::Window));
            QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1: %2").arg(name).arg(ratio)));
            QVERIFY2(text != p.color(QPalette::Active, QPalette::WindowText), name);
        }
        for (const char *name : {"Label10", "Label12", "Label2"}) {
            auto *heading = get<QLabel>(name);
            const QColor text = heading->palette().color(QPalette::Active, QPalette::WindowText);
            const double ratio = SystemColours::contrast(text, window);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(name).arg(ratio)));
            QVERIFY2(SystemColours::contrast(text, palette.color(QPalette::WindowText)) >= 1.5,
                     name);
        }

        QTextDocument doc(QStringLiteral("a=1;\nb=2 c=3;\n"));
        ConfigHighlighter highlighter(&doc);
        highlighter.setPalette(palette);
        highlighter.setDiagnostics(
            {{6, 1, true, QStringLiteral("e")}, {10, 1, false, QStringLiteral("w")}});
        const QColor base = palette.color(QPalette::Base);
        for (int offset : {6, 10}) {
            const QTextBlock block = doc.findBlock(offset);
            QTextCharFormat format;
            for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
                if (range.start <= offset - block.position() &&
                    offset - block.position() < range.start + range.length)
                    format = range.format;
            }
            QCOMPARE(format.underlineStyle(), QTextCharFormat::WaveUnderline);
            const double ratio = SystemColours::contrast(format.underlineColor(), base);
            QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
            QVERIFY(format.background().color() != base);
        }
    }

    void initialFocus()
    {
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QCOMPARE(QApplication::focusWidget(), get("introStringEnabled"));
    }

    // Family 1: each section switch governs its Add button and code boxes; the text stays.
    void sectionSwitches_data()
    {
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("mainIdentityActive") << QStringList{"addIdentityButton", "mainIdentityCode"};
        QTest::newRow("mainRadioActive") << QStringList{"addRadioButton", "mainRadioCode"};
        QTest::newRow("mainSoundActive") << QStringList{"addSoundButton", "mainSoundCode"};
        QTest::newRow("mainMusicActive") << QStringList{"addMusicButton", "mainMusicCode"};
        QTest::newRow("mainLoadoutActive") << QStringList{
            "addLoadoutButton", "mainLoadoutWeaponsCode", "mainLoadoutMagazinesCode"};
        QTest::newRow("paramsActive") << QStringList{"addParamsButton", "paramsCode"};
        QTest::newRow("mainOtherActive") << QStringList{"mainOtherCode"};
    }
    void sectionSwitches()
    {
        QFETCH(QStringList, controls);
        const QString sw = QString::fromLatin1(QTest::currentDataTag());
        QPlainTextEdit *code = get<QPlainTextEdit>(controls.last());
        const QString before = code->toPlainText();

        setSwitch(sw, true);
        for (const QString &name : controls)
            checkState(name, true);
        QTest::keyClick(code, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(code, "entry");
        const QString typed = code->toPlainText();
        QCOMPARE(typed, before + "entry");

        setSwitch(sw, false);
        for (const QString &name : controls)
            checkState(name, false);
        QCOMPARE(code->toPlainText(), typed);

        setSwitch(sw, true);
        QCOMPARE(code->toPlainText(), typed);
        checkState(controls.last(), true);
        // The rest of the window is untouched.
        checkState("missionString", true);
        checkState("introString", false);
    }

    // Family 2: switching off empties the field, and switching on does not bring it back.
    void stringSwitches_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Field>("field");
        QTest::newRow("introStringEnabled") << "onLoadIntroLabel"
                                            << "introString" << Field::introString;
        QTest::newRow("missionStringEnabled") << "onLoadMissionLabel"
                                              << "missionString" << Field::missionString;
    }
    void stringSwitches()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        QFETCH(Field, field);
        const QString sw = QString::fromLatin1(QTest::currentDataTag());

        setSwitch(sw, true);
        checkState(label, true);
        checkState(text, true);
        auto *edit = get<QLineEdit>(text);
        QTest::keyClicks(edit, "Hello \"world\"");
        QCOMPARE(main->document().text(field), QStringLiteral("Hello \"world\""));

        setSwitch(sw, false);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(main->document().text(field), QString());
        checkState(label, false);
        checkState(text, false);

        setSwitch(sw, true);
        QCOMPARE(edit->text(), QString());
        checkState(text, true);
    }

    // Family 3: dependants follow the switch; values and the selection stay.
    void valueSwitches_data()
    {
        QTest::addColumn<QStringList>("dependants");
        QTest::newRow("delayCheck") << QStringList{"delayText", "sec1"};
        QTest::newRow("vehicleDelayCheck") << QStringList{"vehicleDelayText", "sec2"};
        QTest::newRow("respawnCheck") << QStringList{"noneOption", "birdOption",  "instantOption",
                                                     "baseOption", "groupOption", "sideOption"};
        QTest::newRow("scoreEnabled")
            << QStringList{"minScoreLabel", "avgScoreLabel", "maxScoreLabel",
                           "minScoreText",  "avgScoreText",  "maxScoreText"};
    }
    void valueSwitches()
    {
        QFETCH(QStringList, dependants);
        const QString sw = QString::fromLatin1(QTest::currentDataTag());
        if (sw != "scoreEnabled")
            setSwitch("respawnActive", true);
        const auto values = [&] {
            QStringList v;
            for (const QString &name : dependants) {
                QWidget *w = get(name);
                if (auto *edit = qobject_cast<QLineEdit *>(w))
                    v << edit->text();
                else if (auto *option = qobject_cast<QRadioButton *>(w))
                    v << (option->isChecked() ? "on" : "off");
            }
            return v;
        };
        const QStringList before = values();

        setSwitch(sw, true);
        for (const QString &name : dependants)
            checkState(name, true);
        QCOMPARE(values(), before);
        setSwitch(sw, false);
        for (const QString &name : dependants)
            checkState(name, false);
        QCOMPARE(values(), before);
    }

    void scoreFieldsShowStartValues()
    {
        setSwitch("scoreEnabled", true);
        QCOMPARE(get<QLineEdit>("minScoreText")->text(), QStringLiteral("0"));
        QCOMPARE(get<QLineEdit>("avgScoreText")->text(), QStringLiteral("2500"));
        QCOMPARE(get<QLineEdit>("maxScoreText")->text(), QStringLiteral("5000"));
        checkState("maxScoreText", true);
    }

    // Accessory and time switches change no other control.
    void switchesWithoutDependants_data()
    {
        QTest::addColumn<int>("dummy");
        for (const char *name : {"introTimeEnabled", "missionTimeEnabled", "disabledaiCheck",
                                 "gpsCheck", "notepadCheck", "debriefingCheck"})
            QTest::newRow(name) << 0;
    }
    void switchesWithoutDependants()
    {
        const QString sw = QString::fromLatin1(QTest::currentDataTag());
        auto snapshot = [this] {
            QStringList s;
            for (QWidget *w : main->centralWidget()->findChildren<QWidget *>())
                s << w->objectName() + (w->isEnabled() ? "+" : "-");
            return s;
        };
        const QStringList before = snapshot();
        click(sw);
        QCOMPARE(snapshot(), before);
        click(sw);
        QCOMPARE(snapshot(), before);
    }

    void accessoryReachesDocument()
    {
        setSwitch("gpsCheck", false);
        QCOMPARE(main->document().value(Switch::gpsCheck), 0);
        QVERIFY(main->document().fragment(Fragment::gps).contains("=0;"));
    }

    void respawnCascade()
    {
        setSwitch("respawnActive", true);
        for (const char *name :
             {"respawnCheck", "delayCheck", "vehicleDelayCheck", "dialogCheck", "typeValue"})
            checkState(name, true);
        for (const char *name : {"respawnCheck", "delayCheck", "vehicleDelayCheck", "dialogCheck"})
            setSwitch(name, true);
        checkState("delayText", true);
        checkState("sideOption", true);

        setSwitch("respawnActive", false);
        for (const char *name : {"respawnCheck", "delayCheck", "vehicleDelayCheck"})
            QVERIFY2(!box(name)->isChecked(), name);
        QVERIFY(box("dialogCheck")->isChecked());
        QCOMPARE(main->document().value(Switch::dialogCheck), 1);
        for (const char *name :
             {"respawnCheck", "delayCheck", "vehicleDelayCheck", "dialogCheck", "noneOption",
              "sideOption", "delayText", "vehicleDelayText", "sec1", "sec2", "gameTypeLabel",
              "minPlayersLabel", "maxPlayersLabel", "typeValue", "minPlayersValue",
              "maxPlayersValue"})
            checkState(name, false);
        for (Switch s : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck,
                         Switch::dialogCheck})
            QVERIFY(!main->document().isEnabled(s));

        // On again: the four switches come back, unchecked but for dialogCheck, and nothing
        // that depends on them.
        setSwitch("respawnActive", true);
        for (const char *name : {"respawnCheck", "delayCheck", "vehicleDelayCheck", "dialogCheck",
                                 "typeValue", "maxPlayersLabel"})
            checkState(name, true);
        QVERIFY(box("dialogCheck")->isChecked());
        for (const char *name : {"noneOption", "delayText", "vehicleDelayText", "sec1", "sec2"})
            checkState(name, false);
        QCOMPARE(get<QLineEdit>("delayText")->text(), QStringLiteral("10"));
        QCOMPARE(get<QLineEdit>("minPlayersValue")->text(), QStringLiteral("2"));
    }

    void respawnOptionSurvives()
    {
        setSwitch("respawnActive", true);
        setSwitch("respawnCheck", true);
        click("groupOption");
        QCOMPARE(main->document().respawnMode(), RespawnMode::Group);
        setSwitch("respawnCheck", false);
        setSwitch("respawnActive", false);
        setSwitch("respawnActive", true);
        setSwitch("respawnCheck", true);
        QVERIFY(get<QRadioButton>("groupOption")->isChecked());
        QVERIFY(!get<QRadioButton>("noneOption")->isChecked());
        QCOMPARE(main->document().respawnMode(), RespawnMode::Group);

        main->document().setRespawnMode(RespawnMode::Bird);
        QVERIFY(get<QRadioButton>("birdOption")->isChecked());
        QVERIFY(!get<QRadioButton>("groupOption")->isChecked());
    }

    void fieldsFollowDocument()
    {
        setSwitch("respawnActive", true);
        auto *type = get<QLineEdit>("typeValue");
        QTest::keyClicks(type, "CTI");
        QCOMPARE(main->document().text(Field::typeValue), QStringLiteral("CTI"));
        main->document().setText(Field::typeValue, "Coop");
        QCOMPARE(type->text(), QStringLiteral("Coop"));
        main->document().setSwitch(Switch::mainRadioActive, 1);
        QVERIFY(box("mainRadioActive")->isChecked());
        checkState("mainRadioCode", true);
    }

    void documentAppendShowsInWidget()
    {
        setSwitch("mainRadioActive", true);
        auto *edit = get<QPlainTextEdit>("mainRadioCode");
        QTest::keyClicks(edit, "// mine");
        main->document().appendCode(CodeBox::mainRadioCode, "\r\nclass A\r\n{\r\n};\r\n");
        QCOMPARE(edit->toPlainText(), QStringLiteral("// mine\nclass A\n{\n};\n"));
        QCOMPARE(main->document().code(CodeBox::mainRadioCode),
                 QStringLiteral("// mine\r\nclass A\r\n{\r\n};\r\n"));

        main->document().setCode(CodeBox::mainRadioCode, "x\r\ny");
        QCOMPARE(edit->toPlainText(), QStringLiteral("x\ny"));
    }

    void typingReachesDocument()
    {
        setSwitch("mainOtherActive", true);
        auto *edit = get<QPlainTextEdit>("mainOtherCode");
        QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(edit, "a");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, QString::fromUtf8("b\u00a0c"));
        QCOMPARE(main->document().code(CodeBox::mainOtherCode),
                 QString::fromUtf8("// Other code\r\na\r\nb\u00a0c"));
    }

    // Ctrl+Space in a code box offers the keys of the class the box holds; Enter writes one
    // into the document.
    void completionKnowsEachBox_data()
    {
        QTest::addColumn<QString>("activeSwitch");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("Other: top level") << u"mainOtherActive"_qs << u"mainOtherCode"_qs
                                          << u"\ncorpseMan"_qs << u"\ncorpseManagerMode"_qs;
        QTest::newRow("a sound") << u"mainSoundActive"_qs << u"mainSoundCode"_qs
                                 << u"class s {\ntitl"_qs << u"class s {\ntitles[]"_qs;
        QTest::newRow("a parameter") << u"paramsActive"_qs << u"paramsCode"_qs
                                     << u"class p {\ndef"_qs << u"class p {\ndefault"_qs;
        QTest::newRow("a magazine") << u"mainLoadoutActive"_qs << u"mainLoadoutMagazinesCode"_qs
                                    << u"class m {\ncou"_qs << u"class m {\ncount"_qs;
    }
    void completionKnowsEachBox()
    {
        QFETCH(QString, activeSwitch);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        setSwitch(activeSwitch, true);
        auto *edit = get<QPlainTextEdit>(box);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        const QString before = edit->toPlainText();
        edit->insertPlainText(typed);
        // The window starts without completion lists; the first Ctrl+Space makes its box's.
        QCOMPARE(main->findChildren<QCompleter *>().size(), 0);
        QTest::keyClick(edit, Qt::Key_Space, Qt::ControlModifier);
        QWidget *list = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((list = QApplication::activePopupWidget()), 10000);
        QCOMPARE(list->objectName(), u"keyCompletions"_qs);
        QCOMPARE(edit->findChildren<QCompleter *>().size(), 1);
        QCOMPARE(main->findChildren<QCompleter *>().size(), 1);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(edit->toPlainText(), before + written);
        QCOMPARE(QString(main->document().code(CodeBox(
                             int(QMetaEnum::fromType<CodeBox>().keyToValue(qPrintable(box))))))
                     .replace(u"\r\n"_qs, u"\n"_qs),
                 before + written);
    }

    void pastedLineBreaksBecomeCrLf()
    {
        setSwitch("mainMusicActive", true);
        auto *edit = get<QPlainTextEdit>("mainMusicCode");
        QApplication::clipboard()->setText("a\rb\nc\r\nd");
        edit->setFocus();
        edit->paste();
        QCOMPARE(main->document().code(CodeBox::mainMusicCode), QStringLiteral("a\r\nb\r\nc\r\nd"));
    }

    // Walks each page with Tab from the row of tabs, once in the start state and once with
    // every switch of the page turned on.
    void focusOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("turnOn");
        QTest::addColumn<QStringList>("order");
        const QStringList accessories = {"disabledaiCheck", "gpsCheck",       "compassCheck",
                                         "watchCheck",      "mapCheck",       "notepadCheck",
                                         "briefingCheck",   "debriefingCheck"};
        QTest::newRow("On Load, start")
            << 0 << QStringList{}
            << QStringList{"introStringEnabled", "missionString", "missionStringEnabled",
                           "introTimeEnabled", "missionTimeEnabled"} +
                   accessories + QStringList{"scoreEnabled"};
        QTest::newRow("On Load, all on")
            << 0 << QStringList{"introStringEnabled", "scoreEnabled"}
            << QStringList{"introString",          "introStringEnabled", "missionString",
                           "missionStringEnabled", "introTimeEnabled",   "missionTimeEnabled"} +
                   accessories +
                   QStringList{"scoreEnabled", "minScoreText", "avgScoreText", "maxScoreText"};
        const char *sections[][3] = {
            {"mainIdentityActive", "addIdentityButton", "mainIdentityCode"},
            {"mainRadioActive", "addRadioButton", "mainRadioCode"},
            {"mainSoundActive", "addSoundButton", "mainSoundCode"},
            {"mainMusicActive", "addMusicButton", "mainMusicCode"},
        };
        for (int i = 0; i < 4; ++i) {
            const auto &s = sections[i];
            QTest::addRow("%s, start", s[0]) << i + 1 << QStringList{} << QStringList{s[0]};
            QTest::addRow("%s, on", s[0])
                << i + 1 << QStringList{s[0]} << QStringList{s[0], s[1], s[2]};
        }
        QTest::newRow("Loadout, on")
            << 5 << QStringList{"mainLoadoutActive"}
            << QStringList{"mainLoadoutActive", "addLoadoutButton", "mainLoadoutWeaponsCode",
                           "mainLoadoutMagazinesCode"};
        QTest::newRow("MP options, start")
            << 6 << QStringList{} << QStringList{"respawnActive", "paramsActive"};
        QTest::newRow("MP options, all on")
            << 6
            << QStringList{"respawnActive", "paramsActive", "respawnCheck", "delayCheck",
                           "vehicleDelayCheck"}
            << QStringList{"respawnActive",     "paramsActive",     "respawnCheck",
                           "noneOption",        "delayCheck",       "delayText",
                           "vehicleDelayCheck", "vehicleDelayText", "dialogCheck",
                           "addParamsButton",   "paramsCode",       "typeValue",
                           "minPlayersValue",   "maxPlayersValue"};
        QTest::newRow("Other, on") << 7 << QStringList{"mainOtherActive"}
                                   << QStringList{"mainOtherActive", "mainOtherCode"};
    }
    void focusOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, turnOn);
        QFETCH(QStringList, order);
        for (const QString &name : turnOn)
            setSwitch(name, true);
        main->items()->setCurrentIndex(page);
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QTabBar *tabs = main->items()->tabBar();
        tabs->setFocus();
        QCOMPARE(QApplication::focusWidget(), tabs);

        QStringList walked;
        for (int i = 0; i < order.size() + 1; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            walked << (focus == tabs ? QStringLiteral("Items") : focus->objectName());
        }
        QCOMPARE(walked, order + QStringList{"Items"});
    }

    void closeBox()
    {
        main->setEnabled(false);
        QVERIFY(!main->close());
        QVERIFY(main->isVisible());
        main->setEnabled(true);
        QVERIFY(main->close());
        QVERIFY(!main->isVisible());
    }

    void logoDoubleClick()
    {
        QSignalSpy spy(main.get(), &Main::logoDoubleClicked);
        QTest::mouseDClick(get("Picture1"), Qt::LeftButton);
        QCOMPARE(spy.size(), 1);
    }
};

QTEST_MAIN(tst_Main)
#include "tst_main.moc"
