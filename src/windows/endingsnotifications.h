// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "missionclasses.h"
#include "secondarywindow.h"

#include <QList>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace Ui {
class endingsNotifications;
}

// The mission's endings (class CfgDebriefing) and notifications (class CfgNotifications), a
// tab each: the list of its classes with Add and Remove, and the chosen one's name and keys,
// each with its "set" switch and one line of help; the notifications tab draws the chosen
// one as the game shows it. It starts from the classes read from the Other text; OK hands
// back the classes the user changed (classesChosen) and closes, unless a name, colour or
// number cannot be written, which it names instead; Esc and Cancel close without a change.
// What the window cannot show (inheritance, macros, #if) is shown as written, read-only.
class endingsNotifications : public SecondaryWindow
{
    Q_OBJECT

public:
    endingsNotifications(QWidget *owner, const QList<MissionClass> &classes);
    ~endingsNotifications() override;

    // The entries the window holds now, per class, with the edits of the shown one.
    QList<MissionClass> shownClasses();

Q_SIGNALS:
    // The classes whose entries differ from what the window opened with.
    void classesChosen(const QList<MissionClass> &changed);

private:
    struct Field
    {
        QCheckBox *set = nullptr;
        QLineEdit *edit = nullptr;
        QLabel *swatch = nullptr;
    };
    struct Page
    {
        MissionClass initial;
        QList<ClassEntry> entries;
        int shown = -1;
        bool showing = false;
        QListWidget *list = nullptr;
        QPushButton *add = nullptr;
        QPushButton *remove = nullptr;
        QLineEdit *name = nullptr;
        QLabel *note = nullptr;
        QPlainTextEdit *written = nullptr;
        QWidget *form = nullptr;
        QWidget *preview = nullptr;
        std::vector<Field> fields;
    };

    void buildPage(Page &page, QWidget *tab);
    void showEntry(Page &page, int row);
    void storeEntry(Page &page);
    void addEntry(Page &page);
    void removeEntry(Page &page);
    // The first thing OK cannot write, shown with the focus on it; false when there is none.
    bool showProblem();
    void okButton_Click();

    std::unique_ptr<Ui::endingsNotifications> ui;
    std::array<Page, EndingKindCount> m_pages;
};
