// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "othersettings.h"
#include "secondarywindow.h"

#include <QList>

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace Ui {
class missionSettings;
}

// The settings real missions use that the main form has no control for, each in a typed
// control with its "set" switch, the game's default and one line of help, grouped as the known
// keys table groups them. It starts from the settings read from the Other text; OK hands back
// those the user changed (settingsChosen) and closes, Esc and Cancel close without a change;
// Enter presses the button that has the focus and nothing else. A setting written in a way the
// window cannot show stays read-only, to be edited in Other.
//
// The mouse wheel scrolls the window: a spin box or a combo box takes it only while it has the
// focus, which a click or Tab gives it.
class missionSettings : public SecondaryWindow
{
    Q_OBJECT

public:
    missionSettings(QWidget *owner, const QList<MissionSetting> &settings);
    ~missionSettings() override;

Q_SIGNALS:
    // The settings whose state differs from what the window opened with.
    void settingsChosen(const QList<MissionSetting> &changes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Row
    {
        MissionSetting initial;
        QCheckBox *set = nullptr;
        // Named after the key: the line edit, spin box, combo box, list or channel grid.
        QWidget *control = nullptr;
        // Number written as an expression: what it is written as.
        QLabel *expression = nullptr;
        // PlayerList: the player IDs.
        QLineEdit *players = nullptr;
        // CustomNames: a name of the user's own, and its Add button.
        QLineEdit *ownName = nullptr;
        QPushButton *addName = nullptr;
        // ChannelVoice: per channel, in the table's order, its chat and voice switches.
        std::vector<std::pair<int, std::pair<QCheckBox *, QCheckBox *>>> channels;
    };

    void addRow(const MissionSetting &setting);
    QWidget *makeControl(Row &row, QWidget *parent, QWidget *&extra);
    void showSetting(const Row &row, const MissionSetting &setting);
    MissionSetting stateOf(const Row &row) const;
    void updateEnabled(const Row &row) const;
    void showExpression(const Row &row) const;
    void addOwnName(Row &row);
    void watchWheel(QWidget *control);
    void okButton_Click();

    std::unique_ptr<Ui::missionSettings> ui;
    // Stable addresses: the controls' handlers hold their row.
    std::vector<std::unique_ptr<Row>> m_rows;
};
