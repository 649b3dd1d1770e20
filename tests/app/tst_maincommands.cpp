// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "confighighlighter.h"
#include "longlines.h"
#include "mainwindowfixture.h"
#include "runsettings.h"
#include "savepreview.h"
#include "systemcolours.h"
#include "textlines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

// The main window's commands end to end: menus and shortcuts, the windows they open, and
// entries travelling from the dialogs through Create into the saved file.
class tst_MainCommands : public QObject, MainWindowFixture<>
{
    Q_OBJECT

private:
    // The one top-level window of the program other than Main, or nullptr.
    static QWidget *secondaryWindow(const char *objectName = nullptr)
    {
        QWidget *found = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->objectName() == QLatin1String("Main"))
                continue;
            if (objectName && w->objectName() != QLatin1String(objectName))
                continue;
            found = w;
        }
        return found;
    }

private Q_SLOTS:
    void init() { QVERIFY(openMain()); }
    void cleanup() { closeMain(); }

    // The file dialog's memory lasts for the run: nothing is written to the user's settings.
    void noSettingsFileIsWritten()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        RunSettings::keepWithinRun();
        {
            QFileDialog dialog;
            dialog.setDirectory(home.path());
            dialog.show();
            dialog.selectFile(home.filePath(QStringLiteral("description.ext")));
            static_cast<QDialog &>(dialog).accept(); // as OK does
        }
        QSettings().sync();
        QCOMPARE(
            QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }

    void createShowsThePreviewAndLocksMain()
    {
        QTest::keyClick(main.get(), Qt::Key_F2, Qt::ControlModifier);
        QWidget *preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QVERIFY(!main->isEnabled());
        auto *code = preview->findChild<QPlainTextEdit *>(QStringLiteral("codePreview"));
        QVERIFY(code);
        QCOMPARE(code->toPlainText().count(QLatin1Char('\n')), 25);
        QVERIFY(code->toPlainText().startsWith(
            QStringLiteral("// description.ext file created in Merrow Editor by Tandry\n")));

        // Main's shortcuts are dead while the preview is open.
        QTest::keyClick(preview, Qt::Key_F2, Qt::ControlModifier);
        int previews = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            previews += w->isVisible() && w->objectName() == QLatin1String("savePreview");
        QCOMPARE(previews, 1);

        preview->close();
        QCoreApplication::processEvents();
        QVERIFY(main->isEnabled());
        QVERIFY(!secondaryWindow());
    }

    void savingTheStartStateWritesTheWorkedExample()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));
        prompts->fileAnswers << path;
        main->mnuCreate()->trigger();
        QPointer<QWidget> preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("saveAsButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, testData(QStringLiteral("startstate.ext")));
        QVERIFY(!secondaryWindow());
        QVERIFY(main->isEnabled());
        QVERIFY(main->isActiveWindow());
    }

    void entriesFromTheDialogsReachTheirClasses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));

        main->items()->setCurrentIndex(2);
        switchOn("mainRadioActive");
        QTest::mouseClick(find<QPushButton>("addRadioButton"), Qt::LeftButton);
        QWidget *radio = secondaryWindow("addRadio");
        QVERIFY(radio);
        QVERIFY(!main->isEnabled());
        QVERIFY(!main->items()->isEnabled());
        QVERIFY(!find("mainRadioActive")->isEnabled());
        QVERIFY(!find("addRadioButton")->isEnabled());
        QTest::keyClicks(radio->findChild<QLineEdit *>(QStringLiteral("radioClassName")), "msg1");
        QTest::keyClicks(radio->findChild<QLineEdit *>(QStringLiteral("radioFileLocation")),
                         "m.ogg");
        QTest::keyClicks(radio->findChild<QLineEdit *>(QStringLiteral("radioTitles")), "\"Go\"");
        QTest::mouseClick(radio->findChild<QPushButton *>(QStringLiteral("addRadioButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!secondaryWindow());
        QVERIFY(main->isEnabled());
        QVERIFY(find("mainRadioActive")->isEnabled());
        QVERIFY(find("addRadioButton")->isEnabled());
        QCOMPARE(main->items()->currentIndex(), 2);
        QVERIFY(find<QPlainTextEdit>("mainRadioCode")
                    ->toPlainText()
                    .startsWith(QStringLiteral("class msg1 {\n")));

        main->items()->setCurrentIndex(5);
        switchOn("mainLoadoutActive");
        QTest::mouseClick(find<QPushButton>("addLoadoutButton"), Qt::LeftButton);
        QWidget *loadout = secondaryWindow("addLoadout");
        QVERIFY(loadout);
        QTest::keyClicks(loadout->findChild<QLineEdit *>(QStringLiteral("wC1")), "M16");
        QTest::mouseClick(loadout->findChild<QPushButton *>(QStringLiteral("addLoadoutButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!secondaryWindow());

        prompts->fileAnswers << path;
        main->mnuCreate()->trigger();
        QPointer<QWidget> preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("saveAsButton")),
                          Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        QVERIFY2(text.contains(
                     QStringLiteral("class CfgRadio\r\n{\r\nsounds[]={};\r\n\r\nclass msg1 {\r\n"
                                    "\tname=\"\";\r\n\tsound[]={\"m.ogg\", db+0, 1.0};\r\n"
                                    "\ttitle=\"Go\";\r\n\t};\r\n\r\n};\r\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("class Weapons\r\n{\r\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("class Magazines\r\n{\r\n")), qPrintable(text));
        QVERIFY(text.indexOf(QStringLiteral("M16")) >
                text.indexOf(QStringLiteral("class Weapons")));
        QVERIFY(text.indexOf(QStringLiteral("M16")) <
                text.indexOf(QStringLiteral("class Magazines")));
    }

    void everyAddButtonOpensItsDialog_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("identity") << 1 << QStringList{"mainIdentityActive"} << "addIdentityButton"
                                  << "addIdentity";
        QTest::newRow("radio") << 2 << QStringList{"mainRadioActive"} << "addRadioButton"
                               << "addRadio";
        QTest::newRow("sounds") << 3 << QStringList{"mainSoundActive"} << "addSoundButton"
                                << "addSound";
        QTest::newRow("music") << 4 << QStringList{"mainMusicActive"} << "addMusicButton"
                               << "addMusic";
        QTest::newRow("loadout") << 5 << QStringList{"mainLoadoutActive"} << "addLoadoutButton"
                                 << "addLoadout";
        QTest::newRow("params") << 6 << QStringList{"respawnActive", "paramsActive"}
                                << "addParamsButton"
                                << "addMPParams";
    }
    void everyAddButtonOpensItsDialog()
    {
        QFETCH(int, page);
        QFETCH(QStringList, switches);
        QFETCH(QString, button);
        QFETCH(QString, dialog);

        main->items()->setCurrentIndex(page);
        for (const QString &name : switches)
            switchOn(name.toLatin1().constData());
        QTest::mouseClick(find<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QWidget *opened = secondaryWindow(dialog.toLatin1().constData());
        QVERIFY(opened);
        QVERIFY(!main->isEnabled());
        for (const QString &name : switches)
            QVERIFY(!find(name.toLatin1().constData())->isEnabled());
        QVERIFY(!find(button.toLatin1().constData())->isEnabled());
        // Add and Cancel sit inside their frame, below its title.
        for (auto *push : opened->findChildren<QPushButton *>()) {
            auto *frame = qobject_cast<QGroupBox *>(push->parentWidget());
            QVERIFY(frame);
            QVERIFY2(frame->contentsRect().contains(push->geometry()),
                     qPrintable(push->objectName()));
        }

        QTest::keyClick(opened, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(!secondaryWindow());
        QVERIFY(main->isEnabled());
        for (const QString &name : switches) {
            QVERIFY(find(name.toLatin1().constData())->isEnabled());
            QVERIFY(find<QCheckBox>(name.toLatin1().constData())->isChecked());
        }
        QVERIFY(find(button.toLatin1().constData())->isEnabled());
        QCOMPARE(main->items()->currentIndex(), page);
    }

    void ctrlXInACodeBoxAsksToExitAndCutsNothing()
    {
        main->items()->setCurrentIndex(7);
        switchOn("mainOtherActive");
        auto *code = find<QPlainTextEdit>("mainOtherCode");
        code->setFocus();
        code->selectAll();
        prompts->answers << QMessageBox::No;
        QTest::keyClick(code, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(prompts->messages.size(), 1);
        const auto &question = prompts->messages.first();
        QCOMPARE(question.title, QStringLiteral("Exiting ..."));
        QCOMPARE(
            question.text,
            QStringLiteral("Do you really want to exit ?\r\n\r\nAll unsaved data will be lost !"));
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(code->toPlainText(), QStringLiteral("// Other code\n"));
        QVERIFY(main->isVisible());
    }

    void exitAnsweredYesClosesTheWindow()
    {
        main->document().appendCode(CodeBox::mainIdentityCode, QStringLiteral("unsaved\r\n"));
        prompts->answers << QMessageBox::Yes;
        QTest::keyClick(main.get(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(!main->isVisible());
    }

    void helpFromF1Anywhere()
    {
        QTest::keyClick(find("introStringEnabled"), Qt::Key_F1);
        QCOMPARE(prompts->helpRequests, 1);
        QVERIFY(main->isEnabled());
        main->mnuHelpContents()->trigger();
        QCOMPARE(prompts->helpRequests, 2);
    }

    void aboutFromTheMenuAndTheLogo()
    {
        main->mnuAbout()->trigger();
        QWidget *box = secondaryWindow("about");
        QVERIFY(box);
        QVERIFY(!main->isEnabled());
        box->close();
        QCoreApplication::processEvents();
        QVERIFY(main->isEnabled());

        QTest::mouseDClick(find("Picture1"), Qt::LeftButton);
        QVERIFY(secondaryWindow("about"));
        QVERIFY(!main->isEnabled());
    }

    void minimizeKeepsThePage()
    {
        main->items()->setCurrentIndex(3);
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(main->isMinimized());
        main->showNormal();
        QCOMPARE(main->items()->currentIndex(), 3);
    }

    // In a light and a dark theme, Mission settings' help lines read as secondary text
    // (4.5:1) and the values of settings that are not set as disabled text (3:1).
    void missionSettingsReadable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void missionSettingsReadable()
    {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        QPalette theme = before;
        if (dark) {
            const std::pair<QPalette::ColorRole, QColor> roles[] = {
                {QPalette::Window, QColor(53, 53, 53)}, {QPalette::WindowText, Qt::white},
                {QPalette::Base, QColor(35, 35, 35)},   {QPalette::Text, Qt::white},
                {QPalette::Button, QColor(53, 53, 53)}, {QPalette::ButtonText, Qt::white},
            };
            for (const auto &[role, colour] : roles)
                theme.setColor(role, colour);
            for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                theme.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
        }
        QApplication::setPalette(theme);
        main->mnuMissionSettings()->trigger();
        QWidget *window = secondaryWindow("missionSettings");
        QVERIFY(window);
        const QColor background = window->palette().color(QPalette::Window);
        int helpLines = 0, unset = 0;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (!label->objectName().endsWith(u"Help"))
                continue;
            ++helpLines;
            QVERIFY(label->isEnabled());
            const QColor text = label->palette().color(QPalette::Active, QPalette::WindowText);
            QVERIFY2(SystemColours::contrast(text, background) >= 4.5,
                     qPrintable(label->objectName()));
        }
        for (QLineEdit *field : window->findChildren<QLineEdit *>()) {
            if (field->isEnabled())
                continue;
            ++unset;
            const QPalette p = field->palette();
            const QColor text = p.color(QPalette::Disabled, QPalette::Text);
            QVERIFY2(SystemColours::contrast(text, p.color(QPalette::Disabled, QPalette::Base)) >=
                         3.0,
                     qPrintable(field->objectName()));
        }
        QVERIFY(helpLines > 10 && unset > 5);
        window->close();
        QApplication::setPalette(before);
    }

    // Ctrl+E opens the Mission settings on the Other text and locks Main. From the keyboard
    // alone one setting is set and another switched off; Enter on a switch does nothing, Enter
    // on OK writes both into Other, which is switched on, and touches no other line. Esc
    // changes nothing.
    void missionSettingsFromTheKeyboard()
    {
        const QString before = QStringLiteral("// mine\r\nsaving = 0; // no saves\r\n"
                                              "class CfgX {};\r\n");
        main->document().setCode(CodeBox::mainOtherCode, before);
        QVERIFY(!main->document().isChecked(Switch::mainOtherActive));
        QWidget *window = nullptr;
        auto openWindow = [this, &window]() -> QString {
            QApplication::setActiveWindow(main.get());
            if (!QTest::qWaitForWindowActive(main.get()))
                return QStringLiteral("Main did not become active");
            QTest::keyClick(main.get(), Qt::Key_E, Qt::ControlModifier);
            window = secondaryWindow("missionSettings");
            if (!window)
                return QStringLiteral("Ctrl+E opened no window");
            if (main->isEnabled())
                return QStringLiteral("Main is not locked");
            if (!QTest::qWaitForWindowActive(window))
                return QStringLiteral("the window did not become active");
            return {};
        };
        auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        auto tabTo = [&press](QWidget *target) {
            for (int i = 0; i < 200 && QApplication::focusWidget() != target; ++i)
                press(Qt::Key_Tab);
            return QApplication::focusWidget() == target;
        };

        QString failure = openWindow();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        auto *savingSet = window->findChild<QCheckBox *>(QStringLiteral("savingSet"));
        QVERIFY(savingSet && savingSet->isChecked());
        QVERIFY(tabTo(window->findChild<QWidget *>(QStringLiteral("authorSet"))));
        press(Qt::Key_Space);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(),
                 window->findChild<QWidget *>(QStringLiteral("author")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Tandry"));
        QVERIFY(tabTo(savingSet));
        press(Qt::Key_Space);
        press(Qt::Key_Return);
        QVERIFY(secondaryWindow("missionSettings"));
        QVERIFY(tabTo(window->findChild<QWidget *>(QStringLiteral("okButton"))));
        press(Qt::Key_Return);
        QTRY_VERIFY(main->isEnabled());
        QVERIFY(!secondaryWindow("missionSettings"));
        QVERIFY(main->document().isChecked(Switch::mainOtherActive));
        const QString after =
            QStringLiteral("// mine\r\nauthor = \"Tandry\";\r\nclass CfgX {};\r\n");
        QCOMPARE(main->document().code(CodeBox::mainOtherCode), after);

        failure = openWindow();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(window->findChild<QCheckBox *>(QStringLiteral("authorSet"))->isChecked());
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("author"))->text(),
                 QStringLiteral("Tandry"));
        QVERIFY(tabTo(window->findChild<QWidget *>(QStringLiteral("authorSet"))));
        press(Qt::Key_Space);
        press(Qt::Key_Escape);
        QTRY_VERIFY(main->isEnabled());
        QCOMPARE(main->document().code(CodeBox::mainOtherCode), after);
    }

    // Ctrl+J opens Endings and notifications on the Other text and locks Main; an ending
    // added there is written at the end of CfgDebriefing in Other, which is switched on, and
    // nothing else changes. Esc writes nothing.
    void endingsFromTheKeyboard()
    {
        const QString before = QStringLiteral("// mine\r\nclass CfgDebriefing\r\n{\r\n"
                                              "\tclass End1\r\n\t{\r\n\t\ttitle = \"Won\";\r\n"
                                              "\t};\r\n};\r\n");
        main->document().setCode(CodeBox::mainOtherCode, before);
        for (const bool ok : {false, true}) {
            QApplication::setActiveWindow(main.get());
            QVERIFY(QTest::qWaitForWindowActive(main.get()));
            QTest::keyClick(main.get(), Qt::Key_J, Qt::ControlModifier);
            QWidget *window = secondaryWindow("endingsNotifications");
            QVERIFY(window);
            QVERIFY(!main->isEnabled());
            QVERIFY(QTest::qWaitForWindowActive(window));
            auto *add = window->findChild<QPushButton *>(QStringLiteral("endingsAdd"));
            QTest::mouseClick(add, Qt::LeftButton);
            auto *name = window->findChild<QLineEdit *>(QStringLiteral("endingName"));
            QTRY_COMPARE(QApplication::focusWidget(), name);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Lost"));
            QTest::keyClick(QApplication::focusWidget(), ok ? Qt::Key_Return : Qt::Key_Escape);
            if (ok)
                QTest::keyClick(window->findChild<QPushButton *>(QStringLiteral("okButton")),
                                Qt::Key_Return);
            QTRY_VERIFY(main->isEnabled());
            QCOMPARE(main->document().isChecked(Switch::mainOtherActive), ok);
        }
        QCOMPARE(main->document().code(CodeBox::mainOtherCode),
                 QString(before).replace(
                     QStringLiteral("\t};\r\n};"),
                     QStringLiteral("\t};\r\n\tclass Lost\r\n\t{\r\n\t\ttitle = \"\";\r\n"
                                    "\t\tsubtitle = \"\";\r\n\t\tdescription = \"\";\r\n"
                                    "\t\tpictureBackground = \"\";\r\n\t\tpicture = \"\";\r\n"
                                    "\t\tpictureColor[] = {0.0, 0.3, 0.6, 1};\r\n\t};\r\n};")));
    }

    // Ctrl+F opens Functions on the Other text of an opened file, with the file's folder as the
    // mission folder: a function added there is written into its category, and after Yes its
    // file is made from the template.
    void functionsFromTheKeyboard()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("description.ext"));
        const QByteArray text("class CfgFunctions\n{\n\tclass MY\n\t{\n\t\tclass Common\n"
                              "\t\t{\n\t\t\tclass a {};\n\t\t};\n\t};\n};\n");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
        out.close();
        QVERIFY(main->openFile(file));
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("openReport"))
                w->close();
        }
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QTest::keyClick(main.get(), Qt::Key_F, Qt::ControlModifier);
        QWidget *window = secondaryWindow("functionsLibrary");
        QVERIFY(window);
        QVERIFY(!main->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("functionsTree"));
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("functionsAddFunction")),
                          Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(),
                     window->findChild<QLineEdit *>(QStringLiteral("functionsName")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("b"));
        prompts->answers << QMessageBox::Yes;
        QTest::keyClick(window->findChild<QPushButton *>(QStringLiteral("okButton")),
                        Qt::Key_Return);
        QTRY_VERIFY(main->isEnabled());
        QCOMPARE(main->document().code(CodeBox::mainOtherCode),
                 QString::fromLatin1(text)
                     .replace(u'\n', QStringLiteral("\r\n"))
                     .replace(QStringLiteral("class a {};\r\n"),
                              QStringLiteral("class a {};\r\n\t\t\tclass b {};\r\n")));
        QFile created(dir.filePath(QStringLiteral("functions/Common/fn_b.sqf")));
        QVERIFY(created.open(QIODevice::ReadOnly));
        QCOMPARE(created.readAll(),
                 QByteArray("// MY_fnc_b\r\n// Called as: [] call MY_fnc_b;\r\n\r\n"
                            "params [];\r\n"));
    }

    // Ctrl+Shift+R opens Remote execution on the Other text and locks Main; a section's mode
    // set there is written into Other, which is switched on.
    void remoteExecFromTheKeyboard()
    {
        main->document().setCode(CodeBox::mainOtherCode, QStringLiteral("// mine\r\n"));
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QTest::keyClick(main.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
        QWidget *window = secondaryWindow("remoteExecution");
        QVERIFY(window);
        QVERIFY(!main->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->findChild<QCheckBox *>(QStringLiteral("functionsModeSet"))->click();
        QTest::keyClick(window->findChild<QPushButton *>(QStringLiteral("okButton")),
                        Qt::Key_Return);
        QTRY_VERIFY(main->isEnabled());
        QVERIFY(main->document().isChecked(Switch::mainOtherActive));
        QCOMPARE(main->document().code(CodeBox::mainOtherCode),
                 QStringLiteral("// mine\r\nclass CfgRemoteExec\r\n{\r\n\tclass Functions\r\n"
                                "\t{\r\n\t\tmode = 2;\r\n\t};\r\n};\r\n"));
    }

    // The Other box's context menu offers the same window.
    void missionSettingsFromTheOtherBox()
    {
        auto *other = find<QPlainTextEdit>("mainOtherCode");
        QTimer::singleShot(0, this, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QAction *item =
                menu ? menu->findChild<QAction *>(QStringLiteral("otherMissionSettings")) : nullptr;
            if (menu)
                menu->close();
            if (item)
                item->trigger();
        });
        Q_EMIT other->customContextMenuRequested(QPoint(5, 5));
        QTRY_VERIFY(secondaryWindow("missionSettings"));
        QVERIFY(!main->isEnabled());
        QTest::keyClick(secondaryWindow("missionSettings"), Qt::Key_Escape);
        QTRY_VERIFY(main->isEnabled());
    }

    // File > Open fills the form and reports beside it; over entries made since, it asks
    // first; a file that cannot be opened is refused with a message and changes nothing; a
    // locked window opens nothing.
    void openingAFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("description.ext"));
        // A file that cannot be opened: binary data.
        const QString refused = dir.filePath(QStringLiteral("binary.ext"));
        if (QFile binary(refused); binary.open(QIODevice::WriteOnly))
            binary.write(QByteArray(16, '\0'));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("class Header\r\n{\r\n\tgameType = Coop;\r\n\tminPlayers = 1;\r\n"
                      "\tmaxPlayers = 8;\r\n};\r\nrespawn = \"BASE\";\r\nrespawnDelay = 5;\r\n"
                      "// kept\r\n");
        }
        prompts->fileAnswers << file;
        main->mnuOpen()->trigger();
        QCOMPARE(prompts->fileDialogs, 1);
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.value(0).text));
        QCOMPARE(main->document().respawnMode(), RespawnMode::Base);
        QCOMPARE(main->document().text(Field::delayText), QStringLiteral("5"));
        QVERIFY(main->document().code(CodeBox::mainOtherCode).contains(QStringLiteral("// kept")));
        // Nothing in it needs the user's attention: the status line says what was opened, and
        // File > Open Report shows the report.
        QVERIFY(!secondaryWindow("openReport"));
        QVERIFY(main->isEnabled());
        QCOMPARE(find<QLabel>("textPanel")->text(),
                 QStringLiteral("Opened description.ext. Read as UTF-8."));
        QVERIFY(prompts->messages.isEmpty()); // the form was as started: no question
        QVERIFY(main->mnuOpenReport()->isEnabled());
        main->mnuOpenReport()->trigger();
        QWidget *report = secondaryWindow("openReport");
        QVERIFY(report);
        QVERIFY(main->isEnabled());
        report->close();

        find<QCheckBox>("gpsCheck")->click(); // an entry of the user's own
        const FormSnapshot changed = FormSnapshot::of(main->document());
        prompts->answers << QMessageBox::No;
        QVERIFY(!main->openFile(file));
        QCOMPARE(prompts->messages.last().text,
                 QStringLiteral("Replace the current entries with %1?")
                     .arg(QDir::toNativeSeparators(file)));
        QVERIFY(FormSnapshot::of(main->document()) == changed);

        prompts->answers << QMessageBox::Yes;
        QVERIFY(!main->openFile(refused));
        QCOMPARE(prompts->messages.last().icon, QMessageBox::Warning);
        QVERIFY(FormSnapshot::of(main->document()) == changed);

        main->mnuCreate()->trigger();
        QVERIFY(!main->isEnabled());
        QVERIFY(!main->openFile(file));
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w != main.get())
                w->close();
        }
        QCoreApplication::processEvents();

        // Once the window is free again, the same file opens.
        prompts->answers << QMessageBox::Yes;
        QVERIFY(main->openFile(file));
        QCOMPARE(main->document().respawnMode(), RespawnMode::Base);
    }

    // An opened file goes through the preview unchanged: the preview says so, Save As offers
    // the file, and saving writes its bytes back. One edit in the form is one changed line,
    // shown in the changes window (Ctrl+D, closed by Esc), and saved with the file's own line
    // ends and encoding.
    void savingAnOpenedFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("mission")));
        const QString file = dir.filePath(QStringLiteral("mission/description.ext"));
        const QByteArray original("// Caf\xE9 raid\nclass Header\n{\n\tgameType = Coop;\n"
                                  "\tmaxPlayers = 8; // more on dedicated servers\n};\n"
                                  "x = 1;\n");
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(original);
        }
        QVERIFY(main->openFile(file));
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("openReport"))
                w->close();
        }
        // The changes line at Create, and the file after Save As.
        const auto saveThroughThePreview = [&] {
            main->mnuCreate()->trigger();
            QWidget *preview = secondaryWindow("savePreview");
            if (!preview)
                return std::pair{QStringLiteral("no preview"), QByteArray()};
            const QString status = preview->findChild<QPushButton *>("changesStatus")->text();
            prompts->fileAnswers << file;
            prompts->lastDialogSelection.clear();
            QTest::mouseClick(preview->findChild<QPushButton *>("saveAsButton"), Qt::LeftButton);
            QFile in(file);
            return std::pair{status, in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray()};
        };
        auto [status, saved] = saveThroughThePreview();
        QCOMPARE(prompts->lastDialogSelection.value(0), file);
        QCOMPARE(status, QStringLiteral("Unchanged from mission/description.ext"));
        QCOMPARE(saved, original);

        auto *maxPlayers = find<QLineEdit>("maxPlayersValue");
        maxPlayers->selectAll();
        QTest::keyClicks(maxPlayers, QStringLiteral("12"));
        main->mnuCreate()->trigger();
        QPointer<QWidget> preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QCOMPARE(preview->findChild<QPushButton *>("changesStatus")->text(),
                 QStringLiteral("1 line changed from mission/description.ext"));
        QTRY_VERIFY(preview->isActiveWindow());
        QTest::keyClick(preview->findChild<QPlainTextEdit *>("codePreview"), Qt::Key_D,
                        Qt::ControlModifier);
        const QPointer<QWidget> changes = secondaryWindow("changesWindow");
        QVERIFY(changes);
        const QString diff = changes->findChild<QPlainTextEdit *>("changesText")->toPlainText();
        QVERIFY2(diff.contains(QStringLiteral("\n-\tmaxPlayers = 8; // more on dedicated servers\n"
                                              "+\tmaxPlayers = 12; // more on dedicated servers")),
                 qPrintable(diff));
        QTest::keyClick(changes->findChild<QPlainTextEdit *>("changesText"), Qt::Key_Escape);
        QTRY_VERIFY(!changes);
        // The Esc that closed the changes window leaves the preview open.
        QVERIFY(preview);
        preview->close();
        std::tie(status, saved) = saveThroughThePreview();
        QCOMPARE(saved, QByteArray(original).replace("maxPlayers = 8;", "maxPlayers = 12;"));
    }

    // A setting set twice, or only under a condition, is marked on its control and the report
    // opens by itself; the next file's opening takes the marks away.
    void controlsTellHowTheFileSetsThem()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("description.ext"));
        const auto openText = [&](const QByteArray &text) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
                return false;
            out.close();
            prompts->answers << QMessageBox::Yes;
            return main->openFile(file);
        };
        auto *delay = find<QLineEdit>("delayText");
        auto *map = find<QCheckBox>("mapCheck");
        const QString delayTip = delay->toolTip(), mapTip = map->toolTip();
        QVERIFY(openText("#ifdef LONG\nrespawnDelay = 60;\n#else\nrespawnDelay = 5;\n#endif\n"
                         "showMap = 0;\nshowMap = 1;\n"));
        QTRY_VERIFY(secondaryWindow("openReport"));
        QVERIFY2(delay->toolTip().contains(QStringLiteral("inside an #if or #ifdef block")) &&
                     delay->toolTip().endsWith(QStringLiteral(":\nline 4: respawnDelay = 5;")),
                 qPrintable(delay->toolTip()));
        QVERIFY2(map->toolTip().contains(QStringLiteral("more than once")),
                 qPrintable(map->toolTip()));
        QVERIFY(map->isChecked()); // the last line
        QVERIFY(openText("showMap = 0;\n"));
        QCOMPARE(delay->toolTip(), delayTip);
        QCOMPARE(map->toolTip(), mapTip);
        QVERIFY(!secondaryWindow("openReport"));
    }

    // Save (Ctrl+S) writes an opened file where it came from: no file dialog, no overwrite
    // question, the file's own encoding kept across saves (a Windows-1252 file whose text is
    // plain ASCII for a while is not taken for UTF-8 afterwards). Only a file another program
    // changed or removed in the meantime is asked about. A new document has no Save button.
    void saveWritesTheOpenedFileInPlace()
    {
        main->mnuSave()->trigger();
        QPointer<savePreview> preview = qobject_cast<savePreview *>(secondaryWindow("savePreview"));
        QVERIFY(preview);
        QVERIFY(!preview->saveButton()->isVisibleTo(preview));
        preview->close();
        QCoreApplication::processEvents();

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("description.ext"));
        const auto write = [&](const QByteArray &bytes) {
            QFile out(file);
            return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
        };
        const auto read = [&] {
            QFile in(file);
            return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        };
        QVERIFY(write("// Caf\xE9 raid\r\nx = 1;\r\n"));
        QVERIFY(main->openFile(file));
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("openReport"))
                w->close();
        }
        int saves = 0;
        const auto saveWithOther = [&](const QString &other) -> bool {
            main->document().setCode(CodeBox::mainOtherCode, other + QStringLiteral("\r\n"));
            QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
            preview = qobject_cast<savePreview *>(secondaryWindow("savePreview"));
            if (!preview ||
                !QTest::qWaitFor([&] { return preview->saveButton()->hasFocus(); }, 20000))
                return false;
            // Enter on the chosen button, or Ctrl+S once more.
            if (++saves % 2)
                QTest::keyClick(preview->saveButton(), Qt::Key_Return);
            else
                QTest::keyClick(preview->saveButton(), Qt::Key_S, Qt::ControlModifier);
            QCoreApplication::processEvents();
            return true;
        };
        const int dialogs = prompts->fileDialogs;
        QVERIFY(saveWithOther(QStringLiteral("// Cafe raid\r\nx = 1;")));
        QVERIFY(!preview);
        QCOMPARE(read(), QByteArray("// Cafe raid\r\nx = 1;\r\n"));
        QVERIFY(saveWithOther(QStringLiteral("// Caf\u00E9 raid\r\nx = 1;")));
        QCOMPARE(read(), QByteArray("// Caf\xE9 raid\r\nx = 1;\r\n"));
        QCOMPARE(prompts->fileDialogs, dialogs);
        QVERIFY(prompts->messages.isEmpty());

        // Another program's edit: No keeps it and the preview; Yes saves over it.
        QVERIFY(write("// theirs\r\n"));
        prompts->answers << QMessageBox::No;
        QVERIFY(saveWithOther(QStringLiteral("// mine")));
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(
            prompts->messages.last().text.contains(QStringLiteral("changed by another program")));
        QCOMPARE(prompts->messages.last().defaultButton, QMessageBox::No);
        QVERIFY(preview);
        QCOMPARE(read(), QByteArray("// theirs\r\n"));
        prompts->answers << QMessageBox::Yes;
        QTest::mouseClick(preview->saveButton(), Qt::LeftButton);
        QCOMPARE(read(), QByteArray("// mine\r\n"));
        QTRY_VERIFY(!preview && main->isEnabled());

        QVERIFY(QFile::remove(file));
        prompts->answers << QMessageBox::Yes;
        QVERIFY(saveWithOther(QStringLiteral("// again")));
        QVERIFY(prompts->messages.last().text.contains(QStringLiteral("no longer there")));
        QCOMPARE(read(), QByteArray("// again\r\n"));
        QCOMPARE(prompts->fileDialogs, dialogs);
    }

    // A file of one line too long to lay out opens into a box that shows it cut, colours no
    // more of it than that, and keeps it whole: Create shows it cut as well, and saving
    // writes the file's bytes back.
    void openingAFileOfOneLongLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        const qsizetype length = LongLines::LongestLineShown * 50;
        QTest::newRow("one value") << "x = \"" + QByteArray(length, 'a') + "\";";
        QByteArray entries;
        for (int i = 0; entries.size() < length; ++i)
            entries += "a" + QByteArray::number(i) + "=1;";
        QTest::newRow("short entries") << entries;
    }
    void openingAFileOfOneLongLine()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("description.ext"));
        const QByteArray bytes = "respawn = \"BASE\";\r\n" + line + "\r\n// kept\r\n";
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        }
        QVERIFY(main->openFile(file));
        if (QWidget *report = secondaryWindow("openReport"))
            report->close();
        auto *other = find<QPlainTextEdit>("mainOtherCode");
        showPageOf(other);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        other->repaint();
        const qsizetype longest =
            LongLines::LongestLineShown + LongLines::cutNote(line.size()).size();
        const auto verifyCut = [&](QPlainTextEdit *box) {
            QVERIFY(box->isReadOnly());
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
                QVERIFY2(b.length() <= longest + 1, qPrintable(QString::number(b.length())));
            auto *colours = box->document()->findChild<ConfigHighlighter *>();
            QVERIFY(colours);
            QVERIFY2(colours->charactersColoured() <= 4 * longest,
                     qPrintable(QString::number(colours->charactersColoured())));
        };
        verifyCut(other);
        // Not editable, but the keys still move through it.
        other->setFocus();
        QTest::keyClick(other, Qt::Key_End, Qt::ControlModifier);
        const int characters = other->document()->characterCount();
        QCOMPARE(other->textCursor().position(), characters - 1);
        QTest::keyClick(other, Qt::Key_X);
        QCOMPARE(other->document()->characterCount(), characters);
        QVERIFY(main->document().code(CodeBox::mainOtherCode).contains(QLatin1String(line)));

        main->mnuCreate()->trigger();
        auto *preview = qobject_cast<savePreview *>(secondaryWindow("savePreview"));
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        preview->codePreview()->repaint();
        verifyCut(preview->codePreview());
        QCOMPARE(
            preview->changesStatus()->text(),
            QStringLiteral("Unchanged from %1/description.ext").arg(QDir(dir.path()).dirName()));
        QTest::mouseClick(preview->saveButton(), Qt::LeftButton);
        QTRY_VERIFY(main->isEnabled());
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), bytes);
    }

    // A large file is read on a worker thread: past half a second a progress window with
    // Cancel shows, and cancelling leaves the form as it was.
    void openingALargeFileCanBeCancelled()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("large.ext"));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QByteArray block;
            for (int i = 0; i < 1000; ++i)
                block += "class c" + QByteArray::number(i) + " { a = 1; b[] = {\"x\", 2}; };\n";
            while (out.size() < 20 * 1024 * 1024)
                out.write(block);
        }
        find<QCheckBox>("gpsCheck")->click();
        const FormSnapshot before = FormSnapshot::of(main->document());
        prompts->answers << QMessageBox::Yes; // replace the entries
        bool cancelled = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto *progress = main->findChild<QProgressDialog *>("openProgress");
                progress && progress->isVisible() && !cancelled) {
                cancelled = true;
                QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        watch.start(10);
        QVERIFY(!main->openFile(file));
        QVERIFY(cancelled);
        QVERIFY(FormSnapshot::of(main->document()) == before);
        QVERIFY(main->isEnabled());
    }

    void menusAsTheUserSeesThem()
    {
        QCOMPARE(main->mnuCreate()->text(), QStringLiteral("Create \"description.ext\""));
        QCOMPARE(main->mnuCreate()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(main->mnuMinimize()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        QCOMPARE(main->mnuExit()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(main->mnuHelpContents()->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(main->mnuAbout()->shortcut().isEmpty());
    }

    // F10 opens the first menu wherever the focus is; the arrow keys move through the items
    // and on to the next menu; Esc leaves. The captions carry no access-key letters.
    void menuBarFromTheKeyboard()
    {
        auto *field = find<QTabWidget>("Items");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F10);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuFile"));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QVERIFY(menu->activeAction());
        QVERIFY(menu->actions().contains(menu->activeAction()));
        QTest::keyClick(menu, Qt::Key_Right);
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuHelp"));
        for (const QAction *action : main->menuBar()->actions()) {
            QVERIFY2(!action->text().contains(u'&'), qPrintable(action->text()));
            for (const QAction *item : action->menu()->actions())
                QVERIFY2(!item->text().contains(u'&'), qPrintable(item->text()));
        }
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                          : main->menuBar(),
                        Qt::Key_Escape);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(main->isEnabled());
    }
};

QTEST_MAIN(tst_MainCommands)
#include "tst_maincommands.moc"
