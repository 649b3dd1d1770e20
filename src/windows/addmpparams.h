// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <memory>

namespace Ui {
class addMPParams;
}

// Composes one entry of the Params class and appends it to the main window's parameters
// code box. Everything but the parameter number must be filled in.
class addMPParams : public EntryDialog
{
    Q_OBJECT

public:
    explicit addMPParams(QWidget *owner);
    ~addMPParams() override;

private:
    void addParamsButton_Click();
    void addClicked() override { addParamsButton_Click(); }

    std::unique_ptr<Ui::addMPParams> ui;
};
