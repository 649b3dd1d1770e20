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

#include <optional>

// One channel of disableChannels: whether its text chat and its voice are disabled.
struct ChannelSwitch
{
    int channel = 0;
    bool chat = false;
    bool voice = false;

    friend bool operator==(const ChannelSwitch &, const ChannelSwitch &) = default;
};

// The Choice value of a PlayerList row (enableDebugConsole) written as an array of player IDs.
inline constexpr char PlayerListChoice[] = "players";

struct MissionSetting
{
    const config::KeySetting *row = nullptr;
    // The key is written (off: it is absent, and the game uses its default).
    bool set = false;
    // Written in a way the window cannot show exactly (a macro, a value outside the documented
    // ones, inside #ifdef, more than once): left to the Other text.
    bool readOnly = false;
    // Text and FilePath: the unquoted text; a Text written as a string table reference ($STR_x,
    // unquoted) holds the reference as written. Number: the number. Choice: the choice's value,
    // or PlayerListChoice.
    QString value;
    // Number: the expression the value is written as (30*60), empty for a plain number. Kept
    // as long as `value` is its value.
    QString expression;
    // FlagSet: the chosen names in the file's order (new ones after them), the table's spelled
    // as the table spells them; a CustomNames row may hold names beyond the table's.
    // PlayerList: the player IDs.
    QStringList flags;
    // ChannelVoice: the channels the array lists, in its order.
    QList<ChannelSwitch> channels;
    // ChannelVoice: written as {{channel, chat, voice}, ...}; otherwise as {channel, ...}, the
    // short form, which disables the channels' text chat.
    bool perChannel = false;
    // ReadOnly: the value as written, to show.
    QString written;

    friend bool operator==(const MissionSetting &, const MissionSetting &) = default;
};

// A Text value that is a string table reference ($STR_name), written without quotes.
bool isStringReference(QStringView text);

// The whole number an arithmetic expression of numbers (+ - * / and parentheses) comes to;
// nullopt for anything else or a result that is not whole.
std::optional<qint64> wholeExpressionValue(QStringView expression);

// One per row of config::keySettings(), in its order.
QList<MissionSetting> readMissionSettings(const QString &otherText);

// What a set setting writes after "key = " (or "key[] = ") without the ';'.
QString settingValueText(const MissionSetting &setting);

// `otherText` with each of `changes` made: a key in the text gets its value replaced (an
// array element by element, so that the elements kept keep their spelling, layout and
// comments), a key switched off loses its line, a new key gets its own line after the last
// top-level setting (or at the top). Read-only settings and settings that are already as asked are
// left alone.
QString applyMissionSettings(const QString &otherText, const QList<MissionSetting> &changes);
