// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "addidentity.h"

#include "entries.h"
#include "ui_addidentity.h"

addIdentity::addIdentity(QWidget *owner)
    : EntryDialog(owner), ui(std::make_unique<Ui::addIdentity>())
{
    ui->setupUi(this);
    setUpButtons(ui->addIdentityButton, ui->cancelIdentityButton);
    ui->idClassName->setFocus();
}

addIdentity::~addIdentity() = default;

void addIdentity::addIdentityButton_Click()
{
    if (!requireFilled(
            {ui->idClassName, ui->idName, ui->idFace, ui->idGlasses, ui->idSpeaker, ui->idPitch}))
        return;
    handBack({identityEntry({.className = ui->idClassName->text(),
                             .name = ui->idName->text(),
                             .face = ui->idFace->text(),
                             .glasses = ui->idGlasses->text(),
                             .speaker = ui->idSpeaker->text(),
                             .pitch = ui->idPitch->text()})});
}
