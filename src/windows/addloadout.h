// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <array>
#include <memory>

class QCheckBox;
class QLineEdit;
struct LoadoutRow;

namespace Ui {
class addLoadout;
}

// Composes up to seven weapon and seven magazine entries and appends them, in one step, to
// the two loadout code boxes of the main window. Each row takes part only while its row
// switch is on; there is nothing to check before adding.
class addLoadout : public EntryDialog
{
    Q_OBJECT

public:
    explicit addLoadout(QWidget *owner);
    ~addLoadout() override;

    static constexpr int RowsPerFrame = 7;

private:
    struct Row
    {
        QLineEdit *classBox;
        QLineEdit *quantityBox;
        QCheckBox *rowSwitch;
    };

    // The row switch rule, shared by all fourteen row switches.
    void rowSwitch_Click(const Row &row);
    void addLoadoutButton_Click();
    void addClicked() override { addLoadoutButton_Click(); }
    QList<LoadoutRow> frameRows(int first) const;

    std::unique_ptr<Ui::addLoadout> ui;
    // Weapon rows 1 to 7, then magazine rows 1 to 7.
    std::array<Row, 2 * RowsPerFrame> m_rows;
};
