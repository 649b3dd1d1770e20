// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <initializer_list>

// The entry texts that the entry dialogs append to the main window's code boxes. Values are
// copied exactly as typed: nothing is trimmed, quoted, escaped or checked here.

// One value line of a class entry: TAB, key, value, ";".
struct EntryValue
{
    const char *key;
    QString value;
};

// The common shape: "class <name> {", one TAB-indented line per value, TAB "};" and an
// empty line, every line ended by CR LF.
QString classEntry(const QString &className, std::initializer_list<EntryValue> values);

// `text` between two double quotes.
QString quoted(const QString &text);
// The body of a sound[] value: {"<file>", db<volume>, <pitch>}.
QString soundArray(const QString &file, const QString &volume, const QString &pitch);

struct IdentityValues
{
    QString className, name, face, glasses, speaker, pitch;
};
QString identityEntry(const IdentityValues &v);

struct RadioValues
{
    QString className, name, file, volume, pitch, title;
};
QString radioEntry(const RadioValues &v);

struct SoundValues
{
    QString className, name, file, volume, pitch, titles;
};
QString soundEntry(const SoundValues &v);

struct MusicValues
{
    QString className, name, file, volume, pitch;
};
QString musicEntry(const MusicValues &v);

// Loadout and MP-parameter entries (implemented in entries_loadoutparams.cpp).

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
