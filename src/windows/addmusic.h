// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <memory>

namespace Ui {
class addMusic;
}

// Composes one music track of CfgMusic and appends it to the Music code box.
class addMusic : public EntryDialog
{
    Q_OBJECT

public:
    explicit addMusic(QWidget *owner);
    ~addMusic() override;

public Q_SLOTS:
    void addMusicButton_Click();
    void musicNameEnabled_Click();

protected:
    void addClicked() override { addMusicButton_Click(); }

private:
    std::unique_ptr<Ui::addMusic> ui;
};
