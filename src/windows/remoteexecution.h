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
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace Ui {
class remoteExecution;
}

// Which functions and commands clients may run elsewhere (class CfgRemoteExec), a tab per
// section: its mode and jip, then the list of its entries with Add and Remove, and the chosen
// one's name, allowedTargets and jip. Each key has its "set" switch; a key not set shows the
// game's default. OK hands back the sections the user changed (sectionsChosen) and closes,
// unless a name cannot be written, which it names instead; Esc and Cancel close without a
// change. What the window cannot show (macros, inheritance, #if) is shown as written, read-only.
class remoteExecution : public SecondaryWindow
{
    Q_OBJECT

public:
    remoteExecution(QWidget *owner, const QList<MissionClass> &sections);
    ~remoteExecution() override;

Q_SIGNALS:
    // The sections whose values or entries differ from what the window opened with.
    void sectionsChosen(const QList<MissionClass> &changed);

private:
    // One key: its "set" switch, and a combo (Choice) or a check box (Switch).
    struct Field
    {
        QCheckBox *set = nullptr;
        QComboBox *choice = nullptr;
        QCheckBox *on = nullptr;
        QLabel *help = nullptr;
    };
    struct Page
    {
        MissionClass initial;
        MissionClass shown;
        int row = -1;
        bool showing = false;
        QLabel *sectionNote = nullptr;
        QWidget *sectionForm = nullptr;
        std::vector<Field> sectionFields;
        QListWidget *list = nullptr;
        QPushButton *add = nullptr;
        QPushButton *remove = nullptr;
        QLabel *note = nullptr;
        QWidget *form = nullptr;
        QLineEdit *name = nullptr;
        std::vector<Field> fields;
        QPlainTextEdit *written = nullptr;
    };
    static constexpr int SectionCount = ClassKindCount - EndingKindCount;

    void buildPage(Page &page, QWidget *tab);
    Field makeField(QWidget *parent, QGridLayout *grid, int line, const QString &name,
                    const ClassAttribute &a);
    void showValues(const std::vector<Field> &fields, std::span<const ClassAttribute> attributes,
                    const QList<AttributeValue> &values, const QString &inherited);
    void storeValues(const std::vector<Field> &fields, QList<AttributeValue> &values);
    // What an entry's key that is not set shows when the game takes the section's value.
    static QString inherited(const Page &page);
    void showEntry(Page &page, int row);
    void store(Page &page);
    void addEntry(Page &page);
    void removeEntry(Page &page);
    // The first thing OK cannot write, shown with the focus on it; false when there is none.
    bool showProblem();
    void okButton_Click();

    std::unique_ptr<Ui::remoteExecution> ui;
    std::array<Page, SectionCount> m_pages;
};
