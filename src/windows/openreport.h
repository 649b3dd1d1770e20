// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "textwindow.h"

// What opening a file did with it: a short report beside the main window, which stays usable.
// It says how much of the file the form holds, what stays as written and why, and lists the
// reader's problems with their line numbers.
class openReport : public TextWindow
{
    Q_OBJECT

public:
    openReport(QWidget *owner, const QString &title, const QString &text);

    QPlainTextEdit *reportText() const { return text(); }
};
