// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addradio.h"

#include "entries.h"
#include "ui_addradio.h"

addRadio::addRadio(QWidget *owner) : EntryDialog(owner), ui(std::make_unique<Ui::addRadio>())
{
    ui->setupUi(this);
    setUpButtons(ui->addRadioButton, ui->cancelRadioButton);
    connect(ui->radioNameEnabled, &QCheckBox::toggled, this, &addRadio::radioNameEnabled_Click);
    ui->radioClassName->setFocus();
}

addRadio::~addRadio() = default;

// Like the sound and music dialogs, a name switched off is emptied, so that what the
// user sees greyed out is never written into the entry.
void addRadio::radioNameEnabled_Click()
{
    applyEnabledSwitch(ui->radioRadioName, ui->radioNameEnabled->isChecked());
}

void addRadio::addRadioButton_Click()
{
    if (!requireFilled({ui->radioClassName, ui->radioFileLocation, ui->radioVolume, ui->radioPitch,
                        ui->radioTitles}))
        return;
    handBack({radioEntry({.className = ui->radioClassName->text(),
                          .name = ui->radioRadioName->text(),
                          .file = ui->radioFileLocation->text(),
                          .volume = ui->radioVolume->text(),
                          .pitch = ui->radioPitch->text(),
                          .title = ui->radioTitles->text()})});
}
