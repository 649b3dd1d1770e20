// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mainwindow.h"
#include "scriptedservices.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTest>

#include <memory>

// The real main window over scripted prompts, shown and taking input: where the tests of the
// whole program start. A test class derives from it beside QObject, opens the window in
// init() and closes everything in cleanup(). Needs merrow_app.
template <typename Prompts = ScriptedServices> struct MainWindowFixture
{
    std::unique_ptr<Prompts> prompts;
    std::unique_ptr<Main> main;

    // True when the window came up and took the input.
    bool openMain()
    {
        prompts = std::make_unique<Prompts>();
        main = std::make_unique<Main>();
        main->show();
        return QTest::qWaitForWindowActive(main.get());
    }
    // Closes every other window of the program, then the main window.
    void closeMain()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w != main.get())
                w->close();
        }
        flushDeletes();
        main.reset();
        prompts.reset();
    }

    template <typename T = QWidget, typename Name> T *find(const Name &name) const
    {
        return control<T>(main.get(), name);
    }

    // Shows the page that holds the control, as a user would before clicking it.
    void showPageOf(QWidget *w)
    {
        for (int i = 0; i < main->items()->count(); ++i) {
            if (main->items()->widget(i)->isAncestorOf(w))
                main->items()->setCurrentIndex(i);
        }
    }
    // Checks a switch with a click on its box, unless it is checked already.
    void switchOn(const QString &name)
    {
        auto *box = find<QCheckBox>(name);
        QVERIFY2(box, qPrintable(name));
        showPageOf(box);
        if (!box->isChecked())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY2(box->isChecked(), qPrintable(name));
    }
};
