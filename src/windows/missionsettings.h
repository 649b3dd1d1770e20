// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "othersettings.h"
#include "secondarywindow.h"

#include <QList>

#include <memory>
#include <vector>

class QCheckBox;
class QWidget;

namespace Ui {
class missionSettings;
}

// The settings real missions use that the main form has no control for, each in a typed
// control with its "set" switch, the game's default and one line of help, grouped as the known
// keys table groups them. It starts from the settings read from the Other text; OK hands back
// those the user changed (settingsChosen) and closes, Esc and Cancel close without a change.
// A setting written in a way the window cannot show stays read-only, to be edited in Other.
class missionSettings : public SecondaryWindow
{
    Q_OBJECT

public:
    missionSettings(QWidget *owner, const QList<MissionSetting> &settings);
    ~missionSettings() override;

    // The state the controls show now, one per setting.
    QList<MissionSetting> shownSettings() const;

Q_SIGNALS:
    // The settings whose state differs from what the window opened with.
    void settingsChosen(const QList<MissionSetting> &changes);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Row
    {
        MissionSetting initial;
        QCheckBox *set = nullptr;
        QWidget *control = nullptr;
    };

    void addRow(const MissionSetting &setting);
    void showSetting(const Row &row, const MissionSetting &setting);
    MissionSetting stateOf(const Row &row) const;
    void okButton_Click();

    std::unique_ptr<Ui::missionSettings> ui;
    std::vector<Row> m_rows;
};
