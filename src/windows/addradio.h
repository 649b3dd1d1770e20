// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <memory>

namespace Ui {
class addRadio;
}

// Composes one radio message of CfgRadio and appends it to the Radio code box.
class addRadio : public EntryDialog
{
    Q_OBJECT

public:
    explicit addRadio(QWidget *owner);
    ~addRadio() override;

public Q_SLOTS:
    void addRadioButton_Click();
    void radioNameEnabled_Click();

protected:
    void addClicked() override { addRadioButton_Click(); }

private:
    std::unique_ptr<Ui::addRadio> ui;
};
