// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The settings of the Mission settings window, kept in the Other box's text. Reading finds
// each known key among the text's top-level entries; applying edits only the lines of the
// keys that changed, so the rest of the text keeps its layout, comments and order.

#include "knownkeys.h"

#include <QList>
#include <QString>
#include <QStringList>

struct MissionSetting
{
    const config::KeySetting *row = nullptr;
    // The key is written (off: it is absent, and the game uses its default).
    bool set = false;
    // Written in a way the window cannot show exactly (an expression, a macro, a value
    // outside the documented ones, inside #ifdef, more than once): left to the Other text.
    bool readOnly = false;
    // Text and FilePath: the unquoted text. Number: the number. Choice: the choice's value.
    QString value;
    // FlagSet: the chosen values, in table order, spelled as the table spells them.
    QStringList flags;
    // ReadOnly: the value as written, to show.
    QString written;

    friend bool operator==(const MissionSetting &, const MissionSetting &) = default;
};

// One per row of config::keySettings(), in its order.
QList<MissionSetting> readMissionSettings(const QString &otherText);

// What a set setting writes after "key = " (or "key[] = ") without the ';'.
QString settingValueText(const MissionSetting &setting);

// `otherText` with each of `changes` made: a key in the text gets its value replaced, a key
// switched off loses its line, a new key gets its own line after the last top-level setting
// (or at the top). Read-only settings and settings that are already as asked are left alone.
QString applyMissionSettings(const QString &otherText, const QList<MissionSetting> &changes);
