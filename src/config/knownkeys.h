// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "configreader.h"

#include <QString>
#include <QStringView>

#include <span>

namespace config::detail {

// Whether `name` is a top-level key or class of description.ext (case-insensitive, as the game
// compares names).
bool isKnownKey(QStringView name);

// Whether the game's documentation writes `name`'s value as an unquoted word (gameType = Coop),
// so that an unquoted value there is no mistake.
bool takesUnquotedWord(QStringView name);

// The known key closest to an unknown `name` when it is close enough to be a typo (an edit
// distance of 1 for short names, 2 for longer ones); empty otherwise.
QString closestKnownKey(QStringView name);

} // namespace config::detail

namespace config {

// How the Mission settings window edits a key, and how its value is written.
enum class SettingType {
    Text,     // a quoted string
    Number,   // a whole number within [minimum, maximum]
    Choice,   // one of `choices`, written as its value
    FlagSet,  // an array holding any of `choices` (key[] = {...};)
    FilePath, // a quoted path inside the mission folder
};

// A form of a key's value beyond its type's plain one, which the window also edits.
enum class SettingForm {
    Plain,
    // FlagSet: names beyond `choices` are kept, and the user may add them (respawn templates of
    // a mod or of the mission's own CfgRespawnTemplates).
    CustomNames,
    // FlagSet of channels: {{channel, disableChat, disableVoice}, ...} as well as the short
    // list of channel numbers.
    ChannelVoice,
    // Choice: may instead be an array of player IDs (key[] = {"7656...", ...}).
    PlayerList,
};

// The box of the Mission settings window a key is shown in.
enum class SettingGroup {
    MissionAndLoading,
    Respawn,
    CorpsesAndWrecks,
    MultiplayerAndDebugging,
};
inline constexpr int SettingGroupCount = int(SettingGroup::MultiplayerAndDebugging) + 1;

struct SettingChoice
{
    // As written in the file: a number, or a name that is written quoted.
    const char *value;
    const char *label;
};

// What the documentation of description.ext says about one top-level key that the main form
// has no control for.
struct KeySetting
{
    const char *key;
    SettingType type;
    SettingGroup group;
    std::span<const SettingChoice> choices;
    int minimum = 0;
    int maximum = 0;
    // The game's behaviour when the key is absent, as the documentation gives it.
    const char *defaultValue;
    const char *help;
    // The section of the "Description.ext" page of the game's community wiki it comes from.
    const char *source;
    // Where the default differs in multiplayer: the multiplayer default (`defaultValue` is then
    // the single-player one).
    const char *multiplayerDefault = nullptr;
    SettingForm form = SettingForm::Plain;
};

// A Number row without a documented bound on that side: any whole number the window can hold.
inline constexpr int NoUpperLimit = 2147483647;

// In the order the window shows them, grouped.
std::span<const KeySetting> keySettings();
// Case-insensitive; nullptr for a key without a typed control.
const KeySetting *findKeySetting(QStringView key);
// "Mission and loading screen", ...
QString settingGroupTitle(SettingGroup group);

} // namespace config

namespace config {

// What a value rule asks of the value of the key it names.
enum class ValueCheck {
    NumberOrName, // a whole number within [minimum, maximum], or one of `names`
    Number,       // a number (a word of digits and operators counts: the game evaluates it)
    Name,         // one of `names`
    WholeInRange, // a whole number within [minimum, maximum]
    NotAbove,     // a number not above the number `other` holds in the same class
    AmongOther,   // one of the elements of the array `other` in the same class
    SameLength,   // an array with as many elements as the array `other` in the same class
    NamesClasses, // an array of names, each a class in the same class
    MissionFile,  // a file or folder in the mission folder (an array: its first element);
                  // `names` are the extensions tried when the name has none
    FunctionFile, // a function class without `file` (or declared without a body,
                  // "class f;"): its default file must exist
    OneOf,        // one of `names` (a number among them is compared as a number); the game
                  // takes any other value as the first of them
};

// One rule the game's documentation gives for a value. `path` names the key from the top of
// the file, classes separated by '/', '*' standing for any class: "respawn", "Header/minPlayers",
// "Params/*/default". Names compare without regard to case, as the game compares them.
struct ValueRule
{
    const char *path;
    ValueCheck check;
    DiagnosticKind kind;
    Severity severity;
    std::span<const char *const> names = {};
    int minimum = 0;
    int maximum = 0;
    const char *other = nullptr;
    // The page of the game's community wiki, and its section, the rule comes from.
    const char *source = nullptr;
};

std::span<const ValueRule> valueRules();

} // namespace config
