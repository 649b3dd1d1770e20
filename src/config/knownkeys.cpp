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
    return name.compare(u"gameType", Qt::CaseInsensitive) == 0;
}

} // namespace config::detail
