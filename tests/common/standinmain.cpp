// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "standinmain.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

StandInMain::StandInMain()
{
    setObjectName(QStringLiteral("Main"));
    resize(705, 559);
    show();
    (void)QTest::qWaitForWindowExposed(this);
}

StandInMain::StandInMain(const QStringList &switchNames, const QString &addButtonName,
                         const QList<CodeBox> &boxes)
    : boxes(boxes)
{
    setObjectName(QStringLiteral("Main"));
    resize(320, 200);
    items = new QTabWidget(this);
    items->setObjectName(QStringLiteral("Items"));
    items->setGeometry(8, 8, 300, 180);
    auto *page = new QWidget;
    items->addTab(page, QStringLiteral("Section"));
    int y = 8;
    for (const QString &name : switchNames) {
        auto *box = new QCheckBox(QStringLiteral("Active"), page);
        box->setObjectName(name);
        box->setChecked(true);
        box->move(8, y);
        y += 24;
        switches << box;
    }
    addButton = new QPushButton(QStringLiteral("Add"), page);
    addButton->setObjectName(addButtonName);
    addButton->move(8, y);
    show();
    activateWindow();
    (void)QTest::qWaitForWindowActive(this);
    QCoreApplication::processEvents();
}

QList<QWidget *> StandInMain::lockedControls()
{
    QList<QWidget *> controls{this, items};
    for (QCheckBox *box : switches)
        controls << box;
    controls << addButton;
    return controls;
}

bool StandInMain::allLocked()
{
    for (QWidget *w : lockedControls()) {
        if (w->isEnabled())
            return false;
    }
    return true;
}

bool StandInMain::allReleased()
{
    for (QWidget *w : lockedControls()) {
        if (!w->isEnabled())
            return false;
    }
    for (QCheckBox *box : switches) {
        if (!box->isChecked())
            return false;
    }
    return true;
}
