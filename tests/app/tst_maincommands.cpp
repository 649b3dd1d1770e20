#include "mainwindow.h"
#include "runsettings.h"
#include "scriptedprompts.h"
#include "textlines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window's commands end to end: menus and shortcuts, the windows they open, and
// entries travelling from the dialogs through Create into the saved file.
class tst_MainCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Main> m_main;

    template <typename T = QWidget> T *find(const char *name) const
    {
        return m_main->findChild<T *>(QString::fromLatin1(name));
    }

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

    static void closeSecondaryWindows()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() != QLatin1String("Main"))
                w->close();
        }
        QCoreApplication::processEvents();
    }

    void switchOn(const char *name)
    {
        auto *box = find<QCheckBox>(name);
        if (!box->isChecked())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY(box->isChecked());
    }

private Q_SLOTS:
    void init()
    {
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_main = std::make_unique<Main>();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    void cleanup()
    {
        closeSecondaryWindows();
        m_main.reset();
        m_prompts.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

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
        QTest::keyClick(m_main.get(), Qt::Key_F2, Qt::ControlModifier);
        QWidget *preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QVERIFY(!m_main->isEnabled());
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
        QVERIFY(m_main->isEnabled());
        QVERIFY(!secondaryWindow());
    }

    void savingTheStartStateWritesTheWorkedExample()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));
        m_prompts->fileAnswers << path;
        m_main->mnuCreate()->trigger();
        QWidget *preview = secondaryWindow("savePreview");
        QVERIFY(preview);
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("saveAsButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QStringList lines =
            QStringList{
                "// description.ext file created in Merrow Editor by Tandry",
                "",
                "OnLoadMission=\"\";",
                "",
                "OnLoadIntroTime=FALSE;",
                "OnLoadMissionTime=TRUE;",
                "",
                "disabledAI=FALSE;",
                "ShowGPS=1;",
                "showCompass=1;",
                "showWatch=1;",
                "showMap=1;",
                "showNotePad=1;",
                "briefing=1;",
                "debriefing=1;",
            } +
            emptyLines(11);
        QCOMPARE(bytes, crlfLines(lines).toLatin1());
        QVERIFY(!secondaryWindow());
        QVERIFY(m_main->isEnabled());
        QVERIFY(m_main->isActiveWindow());
    }

    void entriesFromTheDialogsReachTheirClasses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));

        m_main->items()->setCurrentIndex(2);
        switchOn("mainRadioActive");
        QTest::mouseClick(find<QPushButton>("addRadioButton"), Qt::LeftButton);
        QWidget *radio = secondaryWindow("addRadio");
        QVERIFY(radio);
        QVERIFY(!m_main->isEnabled());
        QVERIFY(!m_main->items()->isEnabled());
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
        QVERIFY(m_main->isEnabled());
        QVERIFY(find("mainRadioActive")->isEnabled());
        QVERIFY(find("addRadioButton")->isEnabled());
        QCOMPARE(m_main->items()->currentIndex(), 2);
        QVERIFY(find<QPlainTextEdit>("mainRadioCode")
                    ->toPlainText()
                    .startsWith(QStringLiteral("class msg1 {\n")));

        m_main->items()->setCurrentIndex(5);
        switchOn("mainLoadoutActive");
        QTest::mouseClick(find<QPushButton>("addLoadoutButton"), Qt::LeftButton);
        QWidget *loadout = secondaryWindow("addLoadout");
        QVERIFY(loadout);
        QTest::keyClicks(loadout->findChild<QLineEdit *>(QStringLiteral("wC1")), "M16");
        QTest::mouseClick(loadout->findChild<QPushButton *>(QStringLiteral("addLoadoutButton")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!secondaryWindow());

        m_prompts->fileAnswers << path;
        m_main->mnuCreate()->trigger();
        QWidget *preview = secondaryWindow("savePreview");
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

        m_main->items()->setCurrentIndex(page);
        for (const QString &name : switches)
            switchOn(name.toLatin1().constData());
        QTest::mouseClick(find<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QWidget *opened = secondaryWindow(dialog.toLatin1().constData());
        QVERIFY(opened);
        QVERIFY(!m_main->isEnabled());
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
        QVERIFY(m_main->isEnabled());
        for (const QString &name : switches) {
            QVERIFY(find(name.toLatin1().constData())->isEnabled());
            QVERIFY(find<QCheckBox>(name.toLatin1().constData())->isChecked());
        }
        QVERIFY(find(button.toLatin1().constData())->isEnabled());
        QCOMPARE(m_main->items()->currentIndex(), page);
    }

    void ctrlXInACodeBoxAsksToExitAndCutsNothing()
    {
        m_main->items()->setCurrentIndex(7);
        switchOn("mainOtherActive");
        auto *code = find<QPlainTextEdit>("mainOtherCode");
        code->setFocus();
        code->selectAll();
        m_prompts->answers << QMessageBox::No;
        QTest::keyClick(code, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(m_prompts->messages.size(), 1);
        const auto &question = m_prompts->messages.first();
        QCOMPARE(question.title, QStringLiteral("Exiting ..."));
        QCOMPARE(
            question.text,
            QStringLiteral("Do you really want to exit ?\r\n\r\nAll unsaved data will be lost !"));
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(code->toPlainText(), QStringLiteral("// Other code\n"));
        QVERIFY(m_main->isVisible());
    }

    void exitAnsweredYesClosesTheWindow()
    {
        m_main->document().appendCode(CodeBox::mainIdentityCode, QStringLiteral("unsaved\r\n"));
        m_prompts->answers << QMessageBox::Yes;
        QTest::keyClick(m_main.get(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(m_prompts->messages.size(), 1);
        QVERIFY(!m_main->isVisible());
    }

    void helpFromF1Anywhere()
    {
        QTest::keyClick(find("introStringEnabled"), Qt::Key_F1);
        QCOMPARE(m_prompts->helpRequests, 1);
        QVERIFY(m_main->isEnabled());
        m_main->mnuHelpContents()->trigger();
        QCOMPARE(m_prompts->helpRequests, 2);
    }

    void aboutFromTheMenuAndTheLogo()
    {
        m_main->mnuAbout()->trigger();
        QWidget *box = secondaryWindow("about");
        QVERIFY(box);
        QVERIFY(!m_main->isEnabled());
        box->close();
        QCoreApplication::processEvents();
        QVERIFY(m_main->isEnabled());

        QTest::mouseDClick(find("Picture1"), Qt::LeftButton);
        QVERIFY(secondaryWindow("about"));
        QVERIFY(!m_main->isEnabled());
    }

    void minimizeKeepsThePage()
    {
        m_main->items()->setCurrentIndex(3);
        QTest::keyClick(m_main.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(m_main->isMinimized());
        m_main->showNormal();
        QCOMPARE(m_main->items()->currentIndex(), 3);
    }

    void menusAsTheUserSeesThem()
    {
        QCOMPARE(m_main->mnuCreate()->text(), QStringLiteral("Create \"description.ext\""));
        QCOMPARE(m_main->mnuCreate()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(m_main->mnuMinimize()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        QCOMPARE(m_main->mnuExit()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(m_main->mnuHelpContents()->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(m_main->mnuAbout()->shortcut().isEmpty());
    }
};

QTEST_MAIN(tst_MainCommands)
#include "tst_maincommands.moc"
