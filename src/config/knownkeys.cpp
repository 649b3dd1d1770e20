// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "knownkeys.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <iterator>

namespace config::detail {

namespace {

// The top-level keys and classes of description.ext, as listed on the "Description.ext" page
// of the game's community wiki (its sections on the loading screen, respawn, revive, the
// multiplayer header, the interface, the corpse and wreck managers and the mission classes).
// Spelled as the page spells them; compared without regard to case.
constexpr const char *KnownKeys[] = {
    // Loading screen and overview
    "author",
    "onLoadName",
    "onLoadMission",
    "onLoadIntro",
    "onLoadIntroTime",
    "onLoadMissionTime",
    "loadScreen",
    "overviewPicture",
    "overviewText",
    "overviewTextLocked",
    "briefingName",
    "missionGroup",
    // Briefing, debriefing and scores
    "briefing",
    "debriefing",
    "minScore",
    "avgScore",
    "maxScore",
    "debriefingSkipped",
    // Multiplayer
    "disabledAI",
    "aiKills",
    "joinUnassigned",
    "skipLobby",
    "disableChannels",
    "enableItemsDropping",
    "enableTeamSwitch",
    "allowProfileGlasses",
    "unsafeCVL",
    "scriptedPlayer",
    "minPlayerDistance",
    // Respawn
    "respawn",
    "respawnDelay",
    "respawnVehicle",
    "respawnVehicleDelay",
    "respawnDialog",
    "respawnOnStart",
    "respawnButton",
    "respawnTemplates",
    "respawnTemplatesWest",
    "respawnTemplatesEast",
    "respawnTemplatesGuer",
    "respawnTemplatesCiv",
    "respawnTemplatesVirtual",
    "respawnWeapons",
    "respawnMagazines",
    // Revive
    "reviveMode",
    "reviveUnconsciousStateMode",
    "reviveRequiredTrait",
    "reviveRequiredItems",
    "reviveRequiredItemsFakConsumed",
    "reviveMedicSpeedMultiplier",
    "reviveDelay",
    "reviveForceRespawnDelay",
    "reviveBleedOutDelay",
    // Interface
    "showGPS",
    "showCompass",
    "showWatch",
    "showMap",
    "showNotePad",
    "showPad",
    "showRadio",
    "showHUD",
    "showUAVFeed",
    "showSquadRadar",
    "showGroupIndicator",
    // Debugging and functions
    "enableDebugConsole",
    "enableTargetDebug",
    "allowFunctionsLog",
    "allowFunctionsRecompile",
    // Mission behaviour
    "saving",
    "forceRotorLibSimulation",
    "weaponPool",
    "enableRadio",
    "onPauseScript",
    "onCheat",
    "onMinimapScript",
    "doneKeys",
    "keys",
    "keysLimit",
    "allowSubordinatesTakeWeapons",
    "zeusCompositionScriptLevel",
    "disableRandomization",
    "taskManagement_markers2D",
    "taskManagement_markers3D",
    "taskManagement_propagate",
    "taskManagement_drawDist",
    // Corpse and wreck managers
    "corpseManagerMode",
    "corpseLimit",
    "corpseRemovalMinTime",
    "corpseRemovalMaxTime",
    "wreckManagerMode",
    "wreckLimit",
    "wreckRemovalMinTime",
    "wreckRemovalMaxTime",
    // Classes
    "Header",
    "Params",
    "CfgIdentities",
    "CfgRadio",
    "CfgSounds",
    "CfgMusic",
    "CfgSFX",
    "CfgFunctions",
    "CfgRemoteExec",
    "CfgCommands",
    "CfgDebriefing",
    "CfgDebriefingSections",
    "CfgHints",
    "CfgNotifications",
    "CfgORBAT",
    "CfgTaskEnhancements",
    "CfgTaskTypes",
    "CfgTaskDescriptions",
    "CfgVehicleTemplates",
    "CfgRespawnInventory",
    "CfgRoles",
    "CfgUnitInsignia",
    "CfgLeaflets",
    "CfgDisabledCommands",
    "CfgCommunicationMenu",
    "CfgDiary",
    "CfgSentences",
    "RscTitles",
    "Weapons",
    "Magazines",
    "Backpacks",
};

const QHash<QString, const char *> &table()
{
    static const QHash<QString, const char *> keys = [] {
        QHash<QString, const char *> h;
        for (const char *k : KnownKeys)
            h.insert(QString::fromLatin1(k).toLower(), k);
        return h;
    }();
    return keys;
}

// Levenshtein distance of two lower-case names, giving up (returning limit + 1) as soon as it
// must exceed `limit`.
int boundedDistance(QStringView a, QStringView b, int limit)
{
    const qsizetype n = a.size(), m = b.size();
    if (std::abs(int(n - m)) > limit)
        return limit + 1;
    constexpr int Max = 64;
    if (n > Max || m > Max)
        return limit + 1;
    std::array<int, Max + 1> prev{}, cur{};
    for (qsizetype j = 0; j <= m; ++j)
        prev[j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        cur[0] = int(i);
        int best = cur[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
            best = std::min(best, cur[j]);
        }
        if (best > limit)
            return limit + 1;
        std::swap(prev, cur);
    }
    return prev[m];
}

} // namespace

bool isKnownKey(QStringView name)
{
    return table().contains(name.toString().toLower());
}

QString closestKnownKey(QStringView name)
{
    const QString lower = name.toString().toLower();
    const int limit = lower.size() <= 5 ? 1 : 2;
    int bestDistance = limit + 1;
    const char *best = nullptr;
    for (auto it = table().cbegin(); it != table().cend(); ++it) {
        const int d = boundedDistance(lower, it.key(), limit);
        if (d < bestDistance || (d == bestDistance && best && qstrcmp(it.value(), best) < 0)) {
            bestDistance = d;
            best = it.value();
        }
    }
    return bestDistance <= limit && best ? QString::fromLatin1(best) : QString();
}

bool takesUnquotedWord(QStringView name)
{
    // The header's game type: its examples read "gameType = Coop;", and the editor writes it so.
    return name.size() == 8 && name.compare(u"gameType", Qt::CaseInsensitive) == 0;
}

} // namespace config::detail

namespace config {

namespace {

constexpr SettingChoice NoYes[] = {{"0", "No"}, {"1", "Yes"}};
constexpr SettingChoice RespawnOnStart[] = {
    {"-1", "No respawn at the start, no respawn script"},
    {"0", "No respawn at the start, the respawn script runs"},
    {"1", "Respawn at the start, the respawn script runs"},
};
constexpr SettingChoice ManagerModes[] = {
    {"0", "None"},
    {"1", "All"},
    {"2", "Only those that can respawn"},
    {"3", "All but those that can respawn"},
};
constexpr SettingChoice ReviveModes[] = {
    {"0", "Disabled"},
    {"1", "Enabled"},
    {"2", "Set by each player's attributes"},
};
constexpr SettingChoice DebugConsole[] = {
    {"0", "Only in the editor"},
    {"1", "Single player, host and logged-in admin"},
    {"2", "Everybody"},
};
constexpr SettingChoice RotorLib[] = {
    {"0", "As the player's options say"},
    {"1", "Always advanced flight model"},
    {"2", "Never advanced flight model"},
};
// The templates the documentation lists; a file may name its own (a mod's, or one of the
// mission's CfgRespawnTemplates), which the window keeps and lets the user add.
constexpr SettingChoice RespawnTemplates[] = {
    {"MenuInventory", "Choose a loadout"},
    {"MenuPosition", "Choose a respawn position"},
    {"Spectator", "Spectate while waiting"},
    {"Tickets", "Limited respawn tickets"},
    {"Counter", "Count down to the respawn"},
    {"Wave", "Respawn in waves"},
    {"EndMission", "End when no one can respawn"},
    {"Seagull", "Respawn as a seagull"},
    {"Instant", "Respawn where the unit died"},
    {"Base", "Respawn at a respawn marker"},
    {"Group", "Respawn as a group member"},
    {"Side", "Respawn as a side member"},
    {"None", "No respawn"},
};
constexpr SettingChoice Channels[] = {
    {"0", "Global"},  {"1", "Side"},   {"2", "Command"}, {"3", "Group"},
    {"4", "Vehicle"}, {"5", "Direct"}, {"6", "System"},
};

using enum SettingType;
using enum SettingGroup;

// Each key's type, values and default as the "Description.ext" page of the game's community
// wiki gives them under the key's own heading. The page bounds none of the numbers but by
// their meaning (a count, seconds, metres: not below 0), so no upper bound is set: missions
// write minPlayerDistance = 15000 and reviveForceRespawnDelay = 99999. Keys the main form holds
// (see formmapping.cpp) are left out, so no value has two controls.
constexpr KeySetting KeySettingTable[] = {
    {"author",
     Text,
     MissionAndLoading,
     {},
     0,
     0,
     "none",
     "The mission's author, shown on the loading screen.",
     "Description.ext: author"},
    {"onLoadName",
     Text,
     MissionAndLoading,
     {},
     0,
     0,
     "the mission's name",
     "The mission's name on the loading screen.",
     "Description.ext: onLoadName"},
    {"loadScreen",
     FilePath,
     MissionAndLoading,
     {},
     0,
     0,
     "none",
     "The picture on the loading screen.",
     "Description.ext: loadScreen"},
    {"overviewPicture",
     FilePath,
     MissionAndLoading,
     {},
     0,
     0,
     "none",
     "The picture in the mission selection.",
     "Description.ext: overviewPicture"},
    {"overviewText",
     Text,
     MissionAndLoading,
     {},
     0,
     0,
     "none",
     "The text in the mission selection.",
     "Description.ext: overviewText"},
    {"briefingName",
     Text,
     MissionAndLoading,
     {},
     0,
     0,
     "the mission folder's name",
     "The mission's name in the mission selection and the lobby.",
     "Description.ext: briefingName"},
    {"saving", Choice, MissionAndLoading, NoYes, 0, 0, "1", "Whether the player may save the game.",
     "Description.ext: saving"},

    {"respawnOnStart", Choice, Respawn, RespawnOnStart, 0, 0, "0",
     "Whether players respawn when the mission starts (INSTANT and BASE respawn).",
     "Description.ext: respawnOnStart"},
    {"respawnTemplates", FlagSet, Respawn, RespawnTemplates, 0, 0, "by the respawn type",
     "The respawn templates that run when a player respawns.", "Description.ext: respawnTemplates",
     nullptr, SettingForm::CustomNames},
    // A side's own list takes the place of respawnTemplates[] for that side's players.
    {"respawnTemplatesWest", FlagSet, Respawn, RespawnTemplates, 0, 0, "respawnTemplates[]",
     "The respawn templates of BLUFOR players, in place of respawnTemplates[].",
     "Description.ext: respawnTemplates", nullptr, SettingForm::CustomNames},
    {"respawnTemplatesEast", FlagSet, Respawn, RespawnTemplates, 0, 0, "respawnTemplates[]",
     "The respawn templates of OPFOR players, in place of respawnTemplates[].",
     "Description.ext: respawnTemplates", nullptr, SettingForm::CustomNames},
    {"respawnTemplatesGuer", FlagSet, Respawn, RespawnTemplates, 0, 0, "respawnTemplates[]",
     "The respawn templates of independent players, in place of respawnTemplates[].",
     "Description.ext: respawnTemplates", nullptr, SettingForm::CustomNames},
    {"respawnTemplatesCiv", FlagSet, Respawn, RespawnTemplates, 0, 0, "respawnTemplates[]",
     "The respawn templates of civilian players, in place of respawnTemplates[].",
     "Description.ext: respawnTemplates", nullptr, SettingForm::CustomNames},
    {"respawnTemplatesVirtual", FlagSet, Respawn, RespawnTemplates, 0, 0, "respawnTemplates[]",
     "The respawn templates of virtual players (Zeus), in place of respawnTemplates[].",
     "Description.ext: respawnTemplates", nullptr, SettingForm::CustomNames},
    {"respawnButton", Choice, Respawn, NoYes, 0, 0, "1",
     "Whether the pause menu has the Respawn button (INSTANT and BASE respawn).",
     "Description.ext: respawnButton"},
    {"reviveMode", Choice, Respawn, ReviveModes, 0, 0, "0",
     "Whether wounded players can be revived.", "Description.ext: reviveMode"},
    {"reviveDelay",
     Number,
     Respawn,
     {},
     0,
     NoUpperLimit,
     "6",
     "Seconds a revive takes.",
     "Description.ext: reviveDelay"},
    {"reviveForceRespawnDelay",
     Number,
     Respawn,
     {},
     0,
     NoUpperLimit,
     "3",
     "Seconds to hold the key that gives up and respawns.",
     "Description.ext: reviveForceRespawnDelay"},
    {"reviveBleedOutDelay",
     Number,
     Respawn,
     {},
     0,
     NoUpperLimit,
     "120",
     "Seconds an unconscious player lives without help.",
     "Description.ext: reviveBleedOutDelay"},

    {"corpseManagerMode", Choice, CorpsesAndWrecks, ManagerModes, 0, 0, "0",
     "Which dead bodies the corpse manager removes.", "Description.ext: corpseManagerMode", "2"},
    {"corpseLimit",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "15",
     "Bodies up to which the longest stay applies; above it, the shortest.",
     "Description.ext: corpseLimit"},
    {"corpseRemovalMinTime",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "10",
     "Over the limit, bodies dead longer than this many seconds are removed.",
     "Description.ext: corpseRemovalMinTime"},
    {"corpseRemovalMaxTime",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "3600",
     "Seconds a body may stay while the limit is not exceeded.",
     "Description.ext: corpseRemovalMaxTime"},
    {"wreckManagerMode", Choice, CorpsesAndWrecks, ManagerModes, 0, 0, "0",
     "Which wrecks the wreck manager removes.", "Description.ext: wreckManagerMode", "2"},
    {"wreckLimit",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "15",
     "Wrecks up to which the longest stay applies; above it, the shortest.",
     "Description.ext: wreckLimit"},
    {"wreckRemovalMinTime",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "10",
     "Over the limit, wrecks older than this many seconds are removed.",
     "Description.ext: wreckRemovalMinTime"},
    {"wreckRemovalMaxTime",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "36000",
     "Seconds a wreck may stay while the limit is not exceeded.",
     "Description.ext: wreckRemovalMaxTime"},
    {"minPlayerDistance",
     Number,
     CorpsesAndWrecks,
     {},
     0,
     NoUpperLimit,
     "0",
     "Metres a player must be away before a body or wreck is removed.",
     "Description.ext: minPlayerDistance"},

    {"disableChannels", FlagSet, MultiplayerAndDebugging, Channels, 0, 0, "none",
     "The channels whose text chat or voice players cannot use.",
     "Description.ext: disableChannels", nullptr, SettingForm::ChannelVoice},
    {"joinUnassigned", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "1",
     "Whether a joining player stays unassigned instead of taking a free slot.",
     "Description.ext: joinUnassigned"},
    {"skipLobby", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "0",
     "Whether players go past the lobby straight into the mission.", "Description.ext: skipLobby"},
    {"aiKills", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "0",
     "Whether the score table counts kills by AI units.", "Description.ext: aiKills"},
    {"enableItemsDropping", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "1",
     "Whether a swimming unit drops its items.", "Description.ext: enableItemsDropping"},
    {"enableTeamSwitch", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "1",
     "Whether the player may switch to other playable units.", "Description.ext: enableTeamSwitch"},
    {"enableDebugConsole", Choice, MultiplayerAndDebugging, DebugConsole, 0, 0, "0",
     "Who may use the debug console.", "Description.ext: enableDebugConsole", nullptr,
     SettingForm::PlayerList},
    {"allowFunctionsLog", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "0",
     "Whether the functions library logs to the report file.",
     "Description.ext: allowFunctionsLog"},
    {"allowFunctionsRecompile", Choice, MultiplayerAndDebugging, NoYes, 0, 0, "0",
     "Whether functions may be recompiled while the mission runs.",
     "Description.ext: allowFunctionsRecompile"},
    {"forceRotorLibSimulation", Choice, MultiplayerAndDebugging, RotorLib, 0, 0, "0",
     "Which flight model helicopters use.", "Description.ext: forceRotorLibSimulation"},
};

constexpr bool groupedInOrder()
{
    for (std::size_t i = 1; i < std::size(KeySettingTable); ++i) {
        if (KeySettingTable[i].group < KeySettingTable[i - 1].group)
            return false;
    }
    return true;
}
static_assert(groupedInOrder(), "the window shows the groups in table order");

constexpr const char *GroupTitles[] = {
    "Mission and loading screen",
    "Respawn",
    "Corpses and wrecks",
    "Multiplayer and debugging",
};
static_assert(std::size(GroupTitles) == SettingGroupCount);

} // namespace

std::span<const KeySetting> keySettings()
{
    return KeySettingTable;
}

const KeySetting *findKeySetting(QStringView key)
{
    for (const KeySetting &row : KeySettingTable) {
        if (key.compare(QLatin1StringView(row.key), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

QString settingGroupTitle(SettingGroup group)
{
    return QString::fromLatin1(GroupTitles[std::size_t(group)]);
}

} // namespace config

// The rules for values, each from the page and section of the game's community wiki named in
// its row. Kept apart from the rows above: those say how the window edits a key, these what the
// check accepts.
namespace config {

namespace {
namespace rules { // apart from the setting rows' names: Number is a check here, a type there

constexpr const char *RespawnNames[] = {"NONE", "BIRD", "INSTANT", "BASE", "GROUP", "SIDE"};
// The classes of CfgMPGameTypes, as the table "Available Types" of the game's community wiki
// page "Multiplayer Game Types" lists them for Arma 3 since 2.00. "Unknown" is what the game
// shows for a type it does not know.
constexpr const char *GameTypes[] = {
    "Unknown", "DM",      "CTF",    "Coop",    "CTI",      "SC",       "TDM",
    "RPG",     "Sandbox", "KOTH",   "LastMan", "Survive",  "Zeus",     "Support",
    "EndGame", "Apex",    "Escape", "Patrol",  "Vanguard", "Warlords",
};
// Vehicles respawn in three of the six modes; the game takes any other as NONE.
constexpr const char *VehicleRespawnModes[] = {"NONE", "INSTANT", "BASE", "0", "2", "3"};
// Tried after the name as written when a sound is named without an extension.
constexpr const char *SoundExtensions[] = {".ogg", ".wss", ".wav"};
constexpr const char *PictureExtensions[] = {".paa", ".jpg"};
constexpr std::span<const char *const> NoNames;

using enum ValueCheck;
using enum DiagnosticKind;
// The game reads every one of these files without complaint and only behaves differently than
// meant: warnings, which leave --check's exit code at 0.
constexpr Severity Warning = Severity::Warning;

constexpr ValueRule ValueRuleTable[] = {
    {"respawn", NumberOrName, RespawnValue, Warning, RespawnNames, 0, 5, nullptr,
     "Description.ext: respawn"},
    {"respawnVehicle", OneOf, RespawnValue, Warning, VehicleRespawnModes, 0, 0, nullptr,
     "Vehicle Respawn: respawn parameters in description.ext (since 2.18)"},
    {"respawnDelay", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: respawnDelay"},
    {"respawnVehicleDelay", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: respawnVehicleDelay"},
    {"reviveDelay", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: reviveDelay"},
    {"reviveForceRespawnDelay", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: reviveForceRespawnDelay"},
    {"reviveBleedOutDelay", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: reviveBleedOutDelay"},
    {"corpseRemovalMinTime", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: corpseRemovalMinTime"},
    {"corpseRemovalMaxTime", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: corpseRemovalMaxTime"},
    {"wreckRemovalMinTime", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: wreckRemovalMinTime"},
    {"wreckRemovalMaxTime", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: wreckRemovalMaxTime"},
    {"Header/gameType", Name, GameType, Warning, GameTypes, 0, 0, nullptr,
     "Multiplayer Game Types: Available Types"},
    {"Header/minPlayers", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: Header"},
    {"Header/maxPlayers", Number, NumberExpected, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: Header"},
    {"Header/minPlayers", NotAbove, PlayerCount, Warning, NoNames, 0, 0, "maxPlayers",
     "Description.ext: Header"},
    {"Params/*/default", AmongOther, ParamsDefault, Warning, NoNames, 0, 0, "values",
     "Mission Parameters: Params"},
    {"Params/*/texts", SameLength, ParamsTexts, Warning, NoNames, 0, 0, "values",
     "Mission Parameters: Params"},
    {"CfgSounds/sounds", NamesClasses, SoundClass, Warning, NoNames, 0, 0, nullptr,
     "Description.ext: CfgSounds"},
    {"CfgRemoteExec/*/mode", WholeInRange, RemoteExecValue, Warning, NoNames, 0, 2, nullptr,
     "Remote Execution: CfgRemoteExec"},
    {"CfgRemoteExec/*/jip", WholeInRange, RemoteExecValue, Warning, NoNames, 0, 1, nullptr,
     "Remote Execution: CfgRemoteExec"},
    {"CfgRemoteExec/*/*/allowedTargets", WholeInRange, RemoteExecValue, Warning, NoNames, 0, 2,
     nullptr, "Remote Execution: CfgRemoteExec"},
    {"CfgRemoteExec/*/*/jip", WholeInRange, RemoteExecValue, Warning, NoNames, 0, 1, nullptr,
     "Remote Execution: CfgRemoteExec"},
    {"loadScreen", MissionFile, FileNotFound, Warning, PictureExtensions, 0, 0, nullptr,
     "Description.ext: loadScreen"},
    {"overviewPicture", MissionFile, FileNotFound, Warning, PictureExtensions, 0, 0, nullptr,
     "Description.ext: overviewPicture"},
    {"CfgSounds/*/sound", MissionFile, FileNotFound, Warning, SoundExtensions, 0, 0, nullptr,
     "Description.ext: CfgSounds"},
    {"CfgMusic/*/sound", MissionFile, FileNotFound, Warning, SoundExtensions, 0, 0, nullptr,
     "Description.ext: CfgMusic"},
    {"CfgRadio/*/sound", MissionFile, FileNotFound, Warning, SoundExtensions, 0, 0, nullptr,
     "Description.ext: CfgRadio"},
    {"CfgFunctions/*/*/file", MissionFile, FileNotFound, Warning, NoNames, 0, 0, nullptr,
     "Functions Library: Adding a Function"},
    {"CfgFunctions/*/*/*/file", MissionFile, FileNotFound, Warning, NoNames, 0, 0, nullptr,
     "Functions Library: Adding a Function"},
    {"CfgFunctions/*/*/*", FunctionFile, FileNotFound, Warning, NoNames, 0, 0, nullptr,
     "Functions Library: Adding a Function"},
};

} // namespace rules
} // namespace

std::span<const ValueRule> valueRules()
{
    return rules::ValueRuleTable;
}

} // namespace config
