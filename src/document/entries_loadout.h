#pragma once

#include <QList>
#include <QString>

// One row of the loadout dialog: a class, its quantity and whether the row takes part.
struct LoadoutRow
{
    QString classText;
    QString quantityText;
    bool on = false;
};

// What one Add of the loadout dialog appends to the two loadout code boxes.
struct LoadoutBlocks
{
    QString weapons;
    QString magazines;
};

// The entries of the switched-on rows, in row order, one block per frame.
LoadoutBlocks loadoutEntries(const QList<LoadoutRow> &weaponRows,
                             const QList<LoadoutRow> &magazineRows);

// The values of the MP parameters dialog, as typed.
struct MPParamsValues
{
    QString className;
    QString number;
    QString title;
    QString values;
    QString texts;
    QString defaultValue;
};

// One entry of the Params class: eight lines, the last one empty.
QString mpParamsEntry(const MPParamsValues &v);
