// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "openreport.h"

#include "longlines.h"

#include <QPlainTextEdit>

openReport::openReport(QWidget *owner, const QString &title, const QString &text)
    : TextWindow(owner, QStringLiteral("openReport"), title, "reportText", "closeReportButton")
{
    resize(520, 300);
    LongLines::setText(this->text(), text);
}
