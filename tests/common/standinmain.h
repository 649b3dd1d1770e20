// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editordocument.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QPushButton;
class QTabWidget;

// What a secondary window sees of the main window, for tests of a window without the real
// one: a shown top-level widget named "Main".
class StandInMain : public QWidget
{
public:
    // The bare window at the main window's client size, for the preview and the about box.
    StandInMain();
    // For an entry dialog: the tab control "Items", the section switch(es) and the section's
    // Add button, which the dialog holds disabled, plus the document whose code boxes take the
    // entry the dialog hands back. Waits until the window takes input.
    StandInMain(const QStringList &switchNames, const QString &addButtonName,
                const QList<CodeBox> &boxes);

    // Every control that an open dialog must hold disabled, with the window itself.
    QList<QWidget *> lockedControls();
    bool allLocked();
    // Everything enabled again and every switch still checked.
    bool allReleased();

    EditorDocument document;
    QList<CodeBox> boxes;
    QTabWidget *items = nullptr;
    QList<QCheckBox *> switches;
    QPushButton *addButton = nullptr;
};
