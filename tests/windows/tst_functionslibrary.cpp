// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "functionslibrary.h"
#include "scriptedservices.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString Mission = u"class CfgFunctions\n"
                        u"{\n"
                        u"\tclass TAG\n"
                        u"\t{\n"
                        u"\t\tclass Common\n"
                        u"\t\t{\n"
                        u"\t\t\tclass init { postInit = 1; };\n"
                        u"\t\t\tclass log {};\n"
                        u"\t\t};\n"
                        u"\t};\n"
                        u"};\n"_s;

} // namespace

// The Functions window driven through its controls: open and OK writes nothing, typing
// changes one value, Cancel and Esc write nothing, each function shows whether its file is in
// the mission folder, a new function's file is offered only after asking, and a value that
// cannot be written keeps the window open.
class tst_functionsLibrary : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;
    std::unique_ptr<ScriptedServices> services;
    QPointer<functionsLibrary> window;
    QString written; // null when OK wrote nothing
    QList<NewFunctionFile> files;

    void open(const QString &folder = {})
    {
        written = QString();
        files.clear();
        window = new functionsLibrary(main.get(), readMissionFunctions(Mission), folder);
        connect(window, &functionsLibrary::functionsChosen, this,
                [this](const MissionFunctions &f, const QList<NewFunctionFile> &created) {
                    written = applyMissionFunctions(Mission, f);
                    files = created;
                });
        window->open();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    template <typename T = QWidget> T *find(const QString &name)
    {
        return window ? control<T>(window, name) : nullptr;
    }
    QTreeWidgetItem *item(int tag, int category = -1, int function = -1)
    {
        QTreeWidgetItem *it = find<QTreeWidget>(u"functionsTree"_s)->topLevelItem(tag);
        if (category >= 0)
            it = it->child(category);
        return function >= 0 ? it->child(function) : it;
    }
    void select(QTreeWidgetItem *it) { find<QTreeWidget>(u"functionsTree"_s)->setCurrentItem(it); }
    void pressOk()
    {
        auto *ok = find<QPushButton>(u"okButton"_s);
        ok->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ok, Qt::Key_Return);
        flushDeletes();
        QCoreApplication::processEvents();
    }
    // Sets the key of the shown node by its switch and field.
    void setKey(const QString &name, const QString &typed)
    {
        QTest::mouseClick(find<QCheckBox>(name + u"Set"_s), Qt::LeftButton);
        retype(find<QLineEdit>(name), typed);
    }

private Q_SLOTS:
    void init()
    {
        services = std::make_unique<ScriptedServices>();
        main = std::make_unique<StandInMain>();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup()
    {
        delete window;
        main.reset();
        services.reset();
    }

    void okWithoutEditsWritesNothing()
    {
        open();
        QCOMPARE(item(0, 0, 1)->text(0), u"log"_s);
        select(item(0, 0, 0));
        QVERIFY(find<QCheckBox>(u"functionPostInitSet"_s)->isChecked());
        QCOMPARE(find<QLineEdit>(u"functionPostInit"_s)->text(), u"1"_s);
        pressOk();
        QVERIFY(!window);
        QVERIFY(written.isNull());
    }

    // A key and a name typed, then OK: only those lines change.
    void typingChangesOnlyItsLines()
    {
        open();
        select(item(0, 0, 1));
        setKey(u"functionPreInit"_s, u"1"_s);
        select(item(0));
        retype(find<QLineEdit>(u"functionsName"_s), u"MY"_s);
        pressOk();
        QCOMPARE(written, QString(Mission)
                              .replace(u"class TAG"_s, u"class MY"_s)
                              .replace(u"class log {};"_s,
                                       u"class log {\n\t\t\t\tpreInit = 1;\n\t\t\t};"_s));
    }

    void cancelAndEscWriteNothing_data()
    {
        QTest::addColumn<bool>("esc");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelAndEscWriteNothing()
    {
        QFETCH(bool, esc);
        open();
        select(item(0, 0, 1));
        QTest::mouseClick(find<QPushButton>(u"functionsRemove"_s), Qt::LeftButton);
        if (esc)
            QTest::keyClick(find<QTreeWidget>(u"functionsTree"_s), Qt::Key_Escape);
        else
            QTest::mouseClick(find<QPushButton>(u"cancelButton"_s), Qt::LeftButton);
        flushDeletes();
        QVERIFY(!window || !window->isVisible());
        QVERIFY(written.isNull());
    }

    // With a mission folder each function says whether its file is there; a new one's missing
    // file is offered after asking, and only when the answer is Yes; nothing is written by the
    // window itself.
    void fileIndicatorAndNewFile_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void fileIndicatorAndNewFile()
    {
        QFETCH(bool, yes);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(u"Functions/common"_s));
        QFile file(folder.filePath(u"Functions/common/FN_init.sqf"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        open(folder.path());
        QCOMPARE(item(0, 0, 0)->text(1), u"found"_s); // names compared without case
        QCOMPARE(item(0, 0, 1)->text(1), u"missing"_s);
        select(item(0, 0));
        QTest::mouseClick(find<QPushButton>(u"functionsAddFunction"_s), Qt::LeftButton);
        QTest::keyClicks(find<QLineEdit>(u"functionsName"_s), u"spawn"_s);
        QCOMPARE(find<QLabel>(u"functionFileState"_s)->text(),
                 u"TAG_fnc_spawn, from functions\\Common\\fn_spawn.sqf: not in the mission "
                 u"folder"_s);
        services->answers = {yes ? QMessageBox::Yes : QMessageBox::No};
        pressOk();
        QCOMPARE(services->messages.size(), 1);
        QVERIFY(services->messages[0].text.contains(u"functions\\Common\\fn_spawn.sqf"_s));
        QCOMPARE(files.size(), yes ? 1 : 0);
        // Into the folders the mission has, whatever their case.
        if (yes)
            QCOMPARE(files[0].path, folder.filePath(u"Functions/common/fn_spawn.sqf"_s));
        QVERIFY(!QFile::exists(folder.filePath(u"Functions/common/fn_spawn.sqf"_s)));
        QVERIFY(written.contains(u"\t\t\tclass spawn {};\n\t\t};"_s));
    }

    void withoutFolderNothingIsChecked()
    {
        open();
        QCOMPARE(item(0, 0, 1)->text(1), u"not checked"_s);
        select(item(0, 0, 1));
        QVERIFY(find<QLabel>(u"functionFileState"_s)
                    ->text()
                    .endsWith(u"can't be checked until the mission is opened from a file"_s));
        QTest::mouseClick(find<QPushButton>(u"functionsAddFunction"_s), Qt::LeftButton);
        pressOk();
        QVERIFY(services->messages.isEmpty());
        QVERIFY(files.isEmpty());
    }

    void badValueKeepsTheWindowOpen_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem");
        QTest::newRow("switch") << u"functionPreInit"_s << u"2"_s
                                << u"log: preInit is not 0 or 1."_s;
        QTest::newRow("header") << u"functionHeaderType"_s << u"x"_s
                                << u"log: headerType is not -1, 0 or 1."_s;
        QTest::newRow("ext") << u"functionExt"_s << u"sqf"_s << u"log: ext is not .sqf or .fsm."_s;
    }
    void badValueKeepsTheWindowOpen()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, problem);
        open();
        select(item(0, 0, 1));
        setKey(field, typed);
        pressOk();
        QVERIFY(window && window->isVisible());
        QCOMPARE(find<QLabel>(u"problemLabel"_s)->text(), problem);
        QVERIFY(find<QLineEdit>(field)->hasFocus());
        QVERIFY(written.isNull());
    }
};

QTEST_MAIN(tst_functionsLibrary)
#include "tst_functionslibrary.moc"
