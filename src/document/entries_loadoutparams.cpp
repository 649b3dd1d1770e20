// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "entries.h"

#include "encoding.h"

namespace {

// The game reads a loadout row as a bare two-line class with its count; there is no
// indentation and no blank line, so rows can be stacked without separators.
QString rowEntry(const LoadoutRow &row)
{
    if (!row.on)
        return QString();
    return QStringLiteral("class ") + row.classText + CrLf + QStringLiteral("{ count=") +
           row.quantityText + QStringLiteral("; };") + CrLf;
}

QString block(const QList<LoadoutRow> &rows)
{
    QString text;
    for (const LoadoutRow &row : rows)
        text += rowEntry(row);
    return text;
}

} // namespace

LoadoutBlocks loadoutEntries(const QList<LoadoutRow> &weaponRows,
                             const QList<LoadoutRow> &magazineRows)
{
    return {block(weaponRows), block(magazineRows)};
}

QString mpParamsEntry(const MPParamsValues &v)
{
    const QString tab = QStringLiteral("\t");
    return QStringLiteral("class ") + v.className + QStringLiteral(" {") + CrLf + tab +
           QStringLiteral("// paramsArray[") + v.number + QStringLiteral("]") + CrLf + tab +
           QStringLiteral("title=\"") + v.title + QStringLiteral("\";") + CrLf + tab +
           QStringLiteral("values[]={") + v.values + QStringLiteral("};") + CrLf + tab +
           QStringLiteral("texts[]={") + v.texts + QStringLiteral("};") + CrLf + tab +
           QStringLiteral("default=") + v.defaultValue + QStringLiteral(";") + CrLf + tab +
           QStringLiteral("};") + CrLf + CrLf;
}
