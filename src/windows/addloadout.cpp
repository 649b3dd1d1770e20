// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addloadout.h"

#include "entries.h"
#include "ui_addloadout.h"

addLoadout::addLoadout(QWidget *owner) : EntryDialog(owner), ui(std::make_unique<Ui::addLoadout>())
{
    ui->setupUi(this);
    setUpButtons(ui->addLoadoutButton, ui->cancelLoadoutButton);

    m_rows = {{
        {ui->wC1, ui->wN1, ui->wE1},
        {ui->wC2, ui->wN2, ui->wE2},
        {ui->wC3, ui->wN3, ui->wE3},
        {ui->wC4, ui->wN4, ui->wE4},
        {ui->wC5, ui->wN5, ui->wE5},
        {ui->wC6, ui->wN6, ui->wE6},
        {ui->wC7, ui->wN7, ui->wE7},
        {ui->mC1, ui->mN1, ui->mE1},
        {ui->mC2, ui->mN2, ui->mE2},
        {ui->mC3, ui->mN3, ui->mE3},
        {ui->mC4, ui->mN4, ui->mE4},
        {ui->mC5, ui->mN5, ui->mE5},
        {ui->mC6, ui->mN6, ui->mE6},
        {ui->mC7, ui->mN7, ui->mE7},
    }};
    // The rule follows every change of a row switch, including the dialog's own below.
    for (const Row &row : m_rows) {
        connect(row.rowSwitch, &QCheckBox::toggled, this, [this, &row] { rowSwitch_Click(row); });
        rowSwitch_Click(row);
    }

    // The form is built with every row on; a new loadout starts from the first row of each
    // frame only.
    for (int frame : {0, RowsPerFrame}) {
        for (int n = 1; n < RowsPerFrame; ++n)
            m_rows[std::size_t(frame + n)].rowSwitch->setChecked(false);
    }
    ui->wC1->setFocus();
}

addLoadout::~addLoadout() = default;

void addLoadout::rowSwitch_Click(const Row &row)
{
    const bool on = row.rowSwitch->isChecked();
    showFieldEnabled(row.classBox, on);
    showFieldEnabled(row.quantityBox, on);
}

QList<LoadoutRow> addLoadout::frameRows(int first) const
{
    QList<LoadoutRow> rows;
    for (int n = 0; n < RowsPerFrame; ++n) {
        const Row &row = m_rows[std::size_t(first + n)];
        rows.append({row.classBox->text(), row.quantityBox->text(), row.rowSwitch->isChecked()});
    }
    return rows;
}

void addLoadout::addLoadoutButton_Click()
{
    const LoadoutBlocks blocks = loadoutEntries(frameRows(0), frameRows(RowsPerFrame));
    handBack({blocks.weapons, blocks.magazines});
}
