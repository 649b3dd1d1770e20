// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"

#include <memory>

namespace Ui {
class addIdentity;
}

// Composes one identity of CfgIdentities and appends it to the Identity code box.
class addIdentity : public EntryDialog
{
    Q_OBJECT

public:
    explicit addIdentity(QWidget *owner);
    ~addIdentity() override;

public Q_SLOTS:
    void addIdentityButton_Click();

protected:
    void addClicked() override { addIdentityButton_Click(); }

private:
    std::unique_ptr<Ui::addIdentity> ui;
};
