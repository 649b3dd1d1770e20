// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "textwindow.h"

// What saving will change in the opened file: a unified diff, removed lines tinted red and
// added lines green, beside the preview, which stays usable. Esc or Close closes it.
class changesWindow : public TextWindow
{
    Q_OBJECT

public:
    // `diff` as unifiedDiff() writes it, without the two file lines, which `before` and
    // `after` name.
    changesWindow(QWidget *owner, const QString &before, const QString &after, const QString &diff);

    QPlainTextEdit *changesText() const { return text(); }
};
