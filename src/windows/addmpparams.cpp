// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addmpparams.h"

#include "entries.h"
#include "ui_addmpparams.h"

// Both switches of the "MP options" page are locked: switching off respawn while the
// dialog is open would reset the page under it.
addMPParams::addMPParams(QWidget *owner)
    : EntryDialog(owner), ui(std::make_unique<Ui::addMPParams>())
{
    ui->setupUi(this);
    setUpButtons(ui->addParamsButton, ui->cancelParamsButton);
    ui->paramsClass->setFocus();
}

addMPParams::~addMPParams() = default;

void addMPParams::addParamsButton_Click()
{
    // The parameter number only ends up in a comment, so it may stay empty.
    if (!requireFilled({ui->paramsClass, ui->paramsTitle, ui->paramsValues, ui->paramsTexts,
                        ui->paramsDefault}))
        return;
    handBack({mpParamsEntry({.className = ui->paramsClass->text(),
                             .number = ui->paramsNo->text(),
                             .title = ui->paramsTitle->text(),
                             .values = ui->paramsValues->text(),
                             .texts = ui->paramsTexts->text(),
                             .defaultValue = ui->paramsDefault->text()})});
}
