// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addsound.h"

#include "entries.h"
#include "ui_addsound.h"

addSound::addSound(QWidget *owner) : EntryDialog(owner), ui(std::make_unique<Ui::addSound>())
{
    ui->setupUi(this);
    setUpButtons(ui->addSoundButton, ui->cancelSoundButton);
    connect(ui->soundNameEnabled, &QCheckBox::toggled, this, &addSound::soundNameEnabled_Click);
    connect(ui->soundTitlesEnabled, &QCheckBox::toggled, this, &addSound::soundTitlesEnabled_Click);
    ui->soundClassName->setFocus();
}

addSound::~addSound() = default;

void addSound::soundNameEnabled_Click()
{
    applyEnabledSwitch(ui->soundSoundName, ui->soundNameEnabled->isChecked());
}

void addSound::soundTitlesEnabled_Click()
{
    applyEnabledSwitch(ui->soundTitles, ui->soundTitlesEnabled->isChecked());
}

void addSound::addSoundButton_Click()
{
    if (!requireFilled(
            {ui->soundClassName, ui->soundFileLocation, ui->soundVolume, ui->soundPitch}))
        return;
    handBack({soundEntry({.className = ui->soundClassName->text(),
                          .name = ui->soundSoundName->text(),
                          .file = ui->soundFileLocation->text(),
                          .volume = ui->soundVolume->text(),
                          .pitch = ui->soundPitch->text(),
                          .titles = ui->soundTitles->text()})});
}
