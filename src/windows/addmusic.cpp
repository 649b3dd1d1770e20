// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addmusic.h"

#include "entries.h"
#include "ui_addmusic.h"

addMusic::addMusic(QWidget *owner) : EntryDialog(owner), ui(std::make_unique<Ui::addMusic>())
{
    ui->setupUi(this);
    setUpButtons(ui->addMusicButton, ui->cancelMusicButton);
    connect(ui->musicNameEnabled, &QCheckBox::toggled, this, &addMusic::musicNameEnabled_Click);
    ui->musicClassName->setFocus();
}

addMusic::~addMusic() = default;

void addMusic::musicNameEnabled_Click()
{
    applyEnabledSwitch(ui->musicMusicName, ui->musicNameEnabled->isChecked());
}

void addMusic::addMusicButton_Click()
{
    if (!requireFilled(
            {ui->musicClassName, ui->musicFileLocation, ui->musicVolume, ui->musicPitch}))
        return;
    handBack({musicEntry({.className = ui->musicClassName->text(),
                          .name = ui->musicMusicName->text(),
                          .file = ui->musicFileLocation->text(),
                          .volume = ui->musicVolume->text(),
                          .pitch = ui->musicPitch->text()})});
}
