// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <memory>

namespace Ui {
class addSound;
}

// Composes one sound of CfgSounds and appends it to the Sounds code box.
class addSound : public EntryDialog
{
    Q_OBJECT

public:
    explicit addSound(QWidget *owner);
    ~addSound() override;

public Q_SLOTS:
    void addSoundButton_Click();
    void soundNameEnabled_Click();
    void soundTitlesEnabled_Click();

protected:
    void addClicked() override { addSoundButton_Click(); }

private:
    std::unique_ptr<Ui::addSound> ui;
};
