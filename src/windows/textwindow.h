// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "secondarywindow.h"

class QPlainTextEdit;
class QPushButton;

// A read-only text beside its owner, which stays usable, with a Close button; Esc closes it,
// as it does the entry dialogs. The open report and the changes window are such windows.
class TextWindow : public SecondaryWindow
{
    Q_OBJECT

public:
    // `name` is the window's objectName, `textName` and `closeName` its text's and button's.
    TextWindow(QWidget *owner, const QString &name, const QString &title, const char *textName,
               const char *closeName);

    QPlainTextEdit *text() const { return m_text; }

private:
    QPlainTextEdit *m_text;
    QPushButton *m_close;
};
