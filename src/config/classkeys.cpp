// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "classkeys.h"

#include "knownkeys.h"
#include "lexer.h"

#include <algorithm>
#include <array>
#include <span>

namespace config {

namespace {

struct ClassKey
{
    const char *name;
    KeyType type;
    const char *help;
    const char *values = "";
    const char *defaultValue = "";
};

using enum KeyType;

// The top-level keys and classes of the "Description.ext" page that the Mission settings table
// (keySettings()) does not describe already; completion offers both.
constexpr ClassKey TopLevelKeys[] = {
    {"onLoadMission", Text, "The message shown while the mission loads."},
    {"onLoadIntro", Text, "The message shown while the intro loads."},
    {"onLoadIntroTime", Switch, "Whether the date and time show while the intro loads."},
    {"onLoadMissionTime", Switch, "Whether the date and time show while the mission loads."},
    {"overviewTextLocked", Text, "The text in the mission selection while the mission is locked."},
    {"missionGroup", Text, "The group the mission is listed under in the mission selection."},
    {"briefing", Switch, "Whether the briefing shows before the mission starts.", "", "1"},
    {"debriefing", Switch, "Whether the debriefing shows when the mission ends.", "", "1"},
    {"debriefingSkipped", Switch, "Whether the debriefing is skipped."},
    {"minScore", Number, "The score for the lowest rating in the debriefing."},
    {"avgScore", Number, "The score for the middle rating in the debriefing."},
    {"maxScore", Number, "The score for the highest rating in the debriefing."},
    {"disabledAI", Switch, "Whether playable units without a player are left out (multiplayer).",
     "", "0"},
    {"allowProfileGlasses", Switch, "Whether players wear the glasses of their profile.", "", "1"},
    {"unsafeCVL", Switch, "Whether createVehicleLocal may be used in multiplayer.", "", "0"},
    {"scriptedPlayer", Switch, "Whether player units are created by script (multiplayer).", "",
     "0"},
    {"respawn", Choice, "How a player respawns after dying.",
     "0 NONE, 1 BIRD, 2 INSTANT, 3 BASE, 4 GROUP, 5 SIDE (number or quoted name)", "0 (NONE)"},
    {"respawnDelay", Number, "Seconds before a player respawns."},
    {"respawnVehicleDelay", Number, "Seconds before a vehicle respawns."},
    {"respawnDialog", Switch, "Whether the score board and the countdown show while waiting.", "",
     "1"},
    {"respawnWeapons", TextArray, "Weapons every player respawns with."},
    {"respawnMagazines", TextArray, "Magazines every player respawns with."},
    {"reviveUnconsciousStateMode", Choice, "How an incapacitated unit looks.",
     "0 basic, 1 advanced, 2 realistic", "0"},
    {"reviveRequiredTrait", Choice, "Who may revive.", "0 anyone, 1 medics only", "0"},
    {"reviveRequiredItems", Choice, "What reviving needs.",
     "0 nothing, 1 a medikit, 2 a medikit or a first aid kit", "0"},
    {"reviveRequiredItemsFakConsumed", Switch, "Whether a revive uses up the first aid kit.", "",
     "1"},
    {"reviveMedicSpeedMultiplier", Number, "How many times faster a medic revives.", "", "1"},
    {"showGPS", Switch, "Whether the GPS may be used.", "", "1"},
    {"showCompass", Switch, "Whether the compass may be used.", "", "1"},
    {"showWatch", Switch, "Whether the watch may be used.", "", "1"},
    {"showMap", Switch, "Whether the map may be used.", "", "1"},
    {"showNotePad", Switch, "Whether the notepad shows on the map.", "", "1"},
    {"showPad", Switch, "Whether the pad shows on the map.", "", "1"},
    {"showRadio", Switch, "Whether the radio may be used.", "", "1"},
    {"showHUD", Array, "Whether the HUD shows: 0 or 1, or one switch per part of it.", "", "1"},
    {"showUAVFeed", Switch, "Whether the feed of a connected drone may be shown."},
    {"showSquadRadar", Switch, "Whether the squad radar shows.", "", "0"},
    {"showGroupIndicator", Switch, "Whether the group indicator shows.", "", "0"},
    {"enableTargetDebug", Switch, "Whether the target debugging tools may be used.", "", "0"},
    {"weaponPool", Switch, "Whether the campaign's weapon pool is used.", "", "0"},
    {"enableRadio", Switch, "Whether radio messages show."},
    {"onPauseScript", Code, "The script that runs when the pause menu opens."},
    {"onCheat", Code, "The code that runs when a cheat is typed."},
    {"onMinimapScript", TextArray, "Code that runs when the GPS mini-map is drawn."},
    {"doneKeys", TextArray, "Keys the mission marks as done when it is won."},
    {"keys", TextArray, "Keys that unlock the mission in the mission selection."},
    {"keysLimit", Number, "How many of keys[] unlock the mission."},
    {"allowSubordinatesTakeWeapons", Switch, "Whether AI subordinates may take weapons.", "", "0"},
    {"zeusCompositionScriptLevel", Choice, "Which scripts of Zeus compositions may run.",
     "0 none, 1 attributes only, 2 all", "1"},
    {"disableRandomization", TextArray, "Objects and classes whose look is not randomized."},
    {"taskManagement_markers2D", Switch, "Whether tasks show as markers on the map.", "", "0"},
    {"taskManagement_markers3D", Switch, "Whether tasks show as markers in the world.", "", "0"},
    {"taskManagement_propagate", Switch, "Whether tasks are shared with the group.", "", "0"},
    {"taskManagement_drawDist", Number, "Metres up to which task markers show in the world."},
    // Classes
    {"Header", Class, "The multiplayer header: game type and player counts."},
    {"Params", Class, "The parameters the host chooses in the lobby."},
    {"CfgIdentities", Class, "Identities (name, face, voice) units can be given."},
    {"CfgRadio", Class, "Radio messages, played with the radio commands."},
    {"CfgSounds", Class, "Sounds, played with playSound and say."},
    {"CfgMusic", Class, "Music tracks, played with playMusic."},
    {"CfgSFX", Class, "Sound effects that play in a loop or at random."},
    {"CfgFunctions", Class, "Functions compiled when the mission starts."},
    {"CfgRemoteExec", Class, "Which functions and commands remoteExec may run."},
    {"CfgCommands", Class, "Settings of scripting commands, such as the hosts HTML may load from."},
    {"CfgDebriefing", Class, "The mission's endings: title, text and picture of each."},
    {"CfgDebriefingSections", Class, "Extra sections of the debriefing."},
    {"CfgHints", Class, "Advanced hints shown by the hint functions."},
    {"CfgNotifications", Class, "Notification templates."},
    {"CfgORBAT", Class, "Order of battle entries shown on the map."},
    {"CfgTaskEnhancements", Class, "How tasks show: markers, sharing and distance."},
    {"CfgTaskTypes", Class, "Task types and their icons."},
    {"CfgTaskDescriptions", Class, "Task texts, referred to by class name."},
    {"CfgVehicleTemplates", Class, "Looks vehicles can be given."},
    {"CfgRespawnInventory", Class, "Loadouts players may choose when they respawn."},
    {"CfgRoles", Class, "Roles that group the respawn loadouts."},
    {"CfgUnitInsignia", Class, "Insignia that can be put on uniforms."},
    {"CfgLeaflets", Class, "Leaflets that can be dropped and read."},
    {"CfgDisabledCommands", Class, "Scripting commands switched off in the mission."},
    {"CfgCommunicationMenu", Class, "Items of the communication menu."},
    {"CfgDiary", Class, "Diary subjects and their icons."},
    {"CfgSentences", Class, "Conversations, spoken with the conversation commands."},
    {"RscTitles", Class, "Resources shown with cutRsc and titleRsc."},
    {"Weapons", Class, "Weapons in the gear pool of the briefing."},
    {"Magazines", Class, "Magazines in the gear pool of the briefing."},
    {"Backpacks", Class, "Backpacks in the gear pool of the briefing."},
};

constexpr ClassKey HeaderKeys[] = {
    {"gameType", Word, "The game type shown in the server browser.",
     "Coop, DM, TDM, CTF, SC, CTI, RPG, Sandbox, Seize, Defend, Zeus, ..."},
    {"minPlayers", Number, "The fewest players the mission supports."},
    {"maxPlayers", Number, "The most players the mission supports."},
    {"playerCountMultipleOf", Number, "The player count must be a multiple of this.", "", "1"},
};

constexpr ClassKey ParamKeys[] = {
    {"title", Text, "The parameter's name in the lobby."},
    {"values", NumberArray, "The values the host may choose from."},
    {"texts", TextArray, "The text the lobby shows for each value, in the same order."},
    {"default", Number, "The value chosen unless the host changes it; one of values[]."},
    {"function", Text, "A function called with the chosen value when the mission starts."},
    {"isGlobal", Switch, "Obsolete: parameters are always known everywhere."},
};

// Inside CfgSounds and CfgRadio: the list of sounds the form writes first.
constexpr ClassKey SoundListKeys[] = {
    {"sounds", TextArray, "The classes of the sounds (may stay empty)."},
};
constexpr ClassKey MusicListKeys[] = {
    {"tracks", TextArray, "The classes of the tracks (may stay empty)."},
};

constexpr ClassKey SoundKeys[] = {
    {"name", Text, "The name the editor lists the sound under."},
    {"sound", Array, "The file and how it plays.", "{\"file.ogg\", volume, pitch, distance}"},
    {"titles", Array, "Subtitles: pairs of a start time in seconds and a text."},
    {"forceTitles", Switch, "Whether the subtitles show even when the player hid them.", "", "0"},
    {"titlesStructured", Switch, "Whether the subtitles are structured text.", "", "0"},
};

constexpr ClassKey RadioKeys[] = {
    {"name", Text, "The name the editor lists the message under."},
    {"sound", Array, "The file and how it plays.", "{\"file.ogg\", volume, pitch}"},
    {"title", Text, "The text shown in the chat when it plays."},
};

constexpr ClassKey MusicKeys[] = {
    {"name", Text, "The name the editor lists the track under."},
    {"sound", Array, "The file and how it plays.", "{\"file.ogg\", volume, pitch}"},
    {"duration", Number, "The track's length in seconds."},
    {"musicClass", Text, "The music class the track belongs to."},
};

constexpr ClassKey IdentityKeys[] = {
    {"name", Text, "The unit's name."},
    {"nameSound", Text, "The call sign spoken over the radio."},
    {"face", Text, "The face's class."},
    {"glasses", Text, "The class of the glasses or goggles.", "", "None"},
    {"speaker", Text, "The voice's class."},
    {"pitch", Number, "The voice's pitch.", "", "1"},
};

constexpr ClassKey RemoteExecGroupKeys[] = {
    {"mode", Choice, "Which of them remoteExec may run.", "0 none, 1 only those listed here, 2 all",
     "2"},
    {"jip", Switch, "Whether calls may be kept for players who join later.", "", "1"},
    {"Functions", Class, "The functions clients may run through remoteExec."},
    {"Commands", Class, "The commands clients may run through remoteExec."},
};

constexpr ClassKey RemoteExecEntryKeys[] = {
    {"allowedTargets", Choice, "Where the function or command may be run.",
     "0 anywhere, 1 on clients only, 2 on the server only", "0"},
    {"jip", Switch, "Whether calls may be kept for players who join later."},
};

constexpr ClassKey DebriefingKeys[] = {
    {"title", Text, "The ending's title."},
    {"subtitle", Text, "The line under the title."},
    {"description", Text, "The ending's text."},
    {"pictureBackground", FilePath, "The picture behind the text."},
    {"picture", Text, "The ending's icon."},
    {"pictureColor", NumberArray, "The icon's colour.", "{red, green, blue, alpha} from 0 to 1"},
};

constexpr ClassKey NotificationKeys[] = {
    {"title", Text, "The notification's title."},
    {"iconPicture", FilePath, "The icon on its left."},
    {"iconText", Text, "A short text over the icon."},
    {"description", Text, "The notification's text; %1, %2 ... take its arguments."},
    {"color", NumberArray, "The colour of its texts.", "{red, green, blue, alpha} from 0 to 1"},
    {"duration", Number, "Seconds it shows."},
    {"priority", Number, "Which of several shows first (the highest)."},
};

constexpr ClassKey FunctionTagKeys[] = {
    {"tag", Text, "The prefix of the functions' names (TAG_fnc_name)."},
};
constexpr ClassKey FunctionCategoryKeys[] = {
    {"file", Text, "The folder the category's functions are in."},
};
constexpr ClassKey FunctionKeys[] = {
    {"file", Text, "The function's file, when not in the category's folder."},
    {"preInit", Switch, "Whether it runs before the mission's objects are created.", "", "0"},
    {"postInit", Switch, "Whether it runs after the mission's objects are created.", "", "0"},
    {"preStart", Switch, "Whether it runs when the game starts.", "", "0"},
    {"recompile", Switch, "Whether it is compiled again whenever the mission starts.", "", "0"},
    {"ext", Text, "The file's extension.", ".sqf or .fsm", ".sqf"},
};

constexpr ClassKey RespawnInventoryKeys[] = {
    {"displayName", Text, "The loadout's name in the respawn menu."},
    {"icon", FilePath, "The loadout's icon."},
    {"role", Text, "The class in CfgRoles the loadout belongs to."},
    {"weapons", TextArray, "The weapons."},
    {"magazines", TextArray, "The magazines."},
    {"items", TextArray, "The items in the inventory."},
    {"linkedItems", TextArray, "The items worn: vest, headgear, map, compass and so on."},
    {"uniformClass", Text, "The uniform."},
    {"backpack", Text, "The backpack."},
};

constexpr ClassKey RoleKeys[] = {
    {"displayName", Text, "The role's name in the respawn menu."},
    {"icon", FilePath, "The role's icon."},
};

constexpr ClassKey PoolKeys[] = {
    {"name", Text, "The class of the item."},
    {"count", Number, "How many of it the pool holds."},
};

// The classes whose members the table knows.
enum class Scope {
    TopLevel,
    Header,
    Params,
    Param,
    SoundList,
    Sound,
    Radio,
    MusicList,
    Music,
    Identity,
    RemoteExecGroup,
    RemoteExecEntry,
    Debriefing,
    Notification,
    FunctionTag,
    FunctionCategory,
    Function,
    RespawnInventory,
    Role,
    PoolEntry,
};
constexpr int ScopeCount = int(Scope::PoolEntry) + 1;

// The keys of each scope, keyed by Scope.
constexpr std::array<std::span<const ClassKey>, ScopeCount> ScopeKeys{
    std::span<const ClassKey>(TopLevelKeys),
    HeaderKeys,
    {}, // Params holds only its parameters' classes
    ParamKeys,
    SoundListKeys,
    SoundKeys,
    RadioKeys,
    MusicListKeys,
    MusicKeys,
    IdentityKeys,
    RemoteExecGroupKeys,
    RemoteExecEntryKeys,
    DebriefingKeys,
    NotificationKeys,
    FunctionTagKeys,
    FunctionCategoryKeys,
    FunctionKeys,
    RespawnInventoryKeys,
    RoleKeys,
    PoolKeys,
};

// Which class path is which scope: names compared without regard to case, "*" for any class.
struct ScopePath
{
    const char *path;
    Scope scope;
};
constexpr ScopePath ScopePaths[] = {
    {"Header", Scope::Header},
    {"Params", Scope::Params},
    {"Params/*", Scope::Param},
    {"CfgSounds", Scope::SoundList},
    {"CfgSounds/*", Scope::Sound},
    {"CfgRadio", Scope::SoundList},
    {"CfgRadio/*", Scope::Radio},
    {"CfgMusic", Scope::MusicList},
    {"CfgMusic/*", Scope::Music},
    {"CfgIdentities/*", Scope::Identity},
    {"CfgRemoteExec", Scope::RemoteExecGroup},
    {"CfgRemoteExec/*", Scope::RemoteExecGroup},
    {"CfgRemoteExec/*/*", Scope::RemoteExecEntry},
    {"CfgDebriefing/*", Scope::Debriefing},
    {"CfgNotifications/*", Scope::Notification},
    {"CfgFunctions/*", Scope::FunctionTag},
    {"CfgFunctions/*/*", Scope::FunctionCategory},
    {"CfgFunctions/*/*/*", Scope::Function},
    {"CfgRespawnInventory/*", Scope::RespawnInventory},
    {"CfgRoles/*", Scope::Role},
    {"Weapons/*", Scope::PoolEntry},
    {"Magazines/*", Scope::PoolEntry},
    {"Backpacks/*", Scope::PoolEntry},
};

bool pathMatches(QLatin1StringView pattern, const QStringList &path)
{
    const QList<QLatin1StringView> parts = pattern.tokenize(QLatin1Char('/')).toContainer();
    if (parts.size() != path.size())
        return false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i] != QLatin1StringView("*") &&
            path[i].compare(parts[i], Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

std::optional<Scope> scopeOf(const QStringList &path)
{
    if (path.isEmpty())
        return Scope::TopLevel;
    for (const ScopePath &p : ScopePaths) {
        if (pathMatches(QLatin1StringView(p.path), path))
            return p.scope;
    }
    return std::nullopt;
}

KeyInfo infoOf(const ClassKey &k)
{
    return {QLatin1StringView(k.name), k.type, QLatin1StringView(k.help),
            QLatin1StringView(k.values), QLatin1StringView(k.defaultValue)};
}

QString choicesText(const KeySetting &row)
{
    QStringList parts;
    for (const SettingChoice &c : row.choices)
        parts << QLatin1StringView(c.value) + u' ' + QLatin1StringView(c.label);
    return parts.join(QStringLiteral(", "));
}

bool numericChoices(const KeySetting &row)
{
    bool ok = false;
    if (!row.choices.empty())
        static_cast<void>(QLatin1StringView(row.choices.front().value).toInt(&ok));
    return ok;
}

// A key of the Mission settings table, as completion and key help show it.
KeyInfo infoOf(const KeySetting &row)
{
    KeyInfo info;
    info.name = QLatin1StringView(row.key);
    info.help = QLatin1StringView(row.help);
    info.defaultValue = QLatin1StringView(row.defaultValue);
    if (row.multiplayerDefault)
        info.defaultValue = QStringLiteral("%1 in single player, %2 in multiplayer")
                                .arg(info.defaultValue, QLatin1StringView(row.multiplayerDefault));
    switch (row.type) {
    case SettingType::Text:
        info.type = Text;
        break;
    case SettingType::FilePath:
        info.type = FilePath;
        break;
    case SettingType::Number:
        info.type = Number;
        info.values = row.maximum == NoUpperLimit
                          ? QStringLiteral("%1 or more").arg(row.minimum)
                          : QStringLiteral("%1 to %2").arg(row.minimum).arg(row.maximum);
        break;
    case SettingType::Choice:
        info.type = Choice;
        info.values = choicesText(row);
        if (row.form == SettingForm::PlayerList)
            info.values += QStringLiteral("; or key[] = {\"player ID\", ...}");
        break;
    case SettingType::FlagSet:
        info.type = numericChoices(row) ? NumberArray : TextArray;
        info.values = QStringLiteral("any of ") + choicesText(row);
        if (row.form == SettingForm::CustomNames)
            info.values += QStringLiteral(", or a name of your own");
        else if (row.form == SettingForm::ChannelVoice) {
            info.type = Array;
            info.values += QStringLiteral("; or {{channel, disableChat, disableVoice}, ...}");
        }
        break;
    }
    return info;
}

QStringView withoutBrackets(QStringView name)
{
    if (name.endsWith(u"[]"))
        name.chop(2);
    return name.trimmed();
}

} // namespace

bool KeyInfo::isArray() const
{
    return type == TextArray || type == NumberArray || type == Array;
}

QString KeyInfo::written() const
{
    return isArray() ? name + QStringLiteral("[]") : name;
}

QString keyTypeName(KeyType type)
{
    switch (type) {
    case Text:
        return QStringLiteral("text");
    case Number:
        return QStringLiteral("number");
    case Switch:
        return QStringLiteral("0 or 1");
    case Choice:
        return QStringLiteral("choice");
    case Word:
        return QStringLiteral("name");
    case Code:
        return QStringLiteral("code (text)");
    case FilePath:
        return QStringLiteral("file path");
    case TextArray:
        return QStringLiteral("array of texts");
    case NumberArray:
        return QStringLiteral("array of numbers");
    case Array:
        return QStringLiteral("array");
    case Class:
        return QStringLiteral("class");
    }
    return {};
}

QList<KeyInfo> keysIn(const QStringList &classPath)
{
    const std::optional<Scope> scope = scopeOf(classPath);
    if (!scope)
        return {};
    QList<KeyInfo> keys;
    if (*scope == Scope::TopLevel) {
        for (const KeySetting &row : keySettings())
            keys << infoOf(row);
    }
    for (const ClassKey &k : ScopeKeys[std::size_t(*scope)])
        keys << infoOf(k);
    std::sort(keys.begin(), keys.end(), [](const KeyInfo &a, const KeyInfo &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return keys;
}

std::optional<KeyInfo> findKeyIn(const QStringList &classPath, QStringView name)
{
    const QStringView bare = withoutBrackets(name);
    const std::optional<Scope> scope = scopeOf(classPath);
    if (!scope || bare.isEmpty())
        return std::nullopt;
    if (*scope == Scope::TopLevel) {
        if (const KeySetting *row = findKeySetting(bare))
            return infoOf(*row);
    }
    for (const ClassKey &k : ScopeKeys[std::size_t(*scope)]) {
        if (bare.compare(QLatin1StringView(k.name), Qt::CaseInsensitive) == 0)
            return infoOf(k);
    }
    return std::nullopt;
}

QString keyHelpText(const KeyInfo &key)
{
    QStringList lines;
    lines << key.written() + QStringLiteral(" (") + keyTypeName(key.type) + u')';
    lines << key.help;
    if (!key.values.isEmpty())
        lines << QStringLiteral("Values: ") + key.values;
    if (!key.defaultValue.isEmpty())
        lines << QStringLiteral("Default: ") + key.defaultValue;
    return lines.join(u'\n');
}

KeyContext keyContextAt(QStringView textBefore, const QStringList &root)
{
    using detail::Tok;
    KeyContext context;
    const QString text = textBefore.toString();
    detail::Lexer lexer(text);
    // The open braces: a class's name, or an empty name for the braces of a value.
    QStringList open;
    // Tokens since the last statement ended: "class" Name [":" Base] waits for its "{".
    QString pendingClass;
    enum class After { Start, ClassKeyword, ClassName, Other } after = After::Start;
    After beforeLast = After::Start;
    detail::Token last;
    for (detail::Token t = lexer.next(); t.kind != Tok::End; t = lexer.next()) {
        // A string, comment or directive running to the cursor: the cursor is inside it.
        if (t.end == text.size() && (t.kind == Tok::Comment || t.kind == Tok::Directive ||
                                     (t.kind == Tok::String && t.unterminated)))
            return context;
        if (t.kind == Tok::Comment || t.kind == Tok::Directive)
            continue;
        last = t;
        beforeLast = after;
        switch (t.kind) {
        case Tok::Word:
            if (after == After::Start && t.view() == u"class") {
                after = After::ClassKeyword;
            } else if (after == After::ClassKeyword) {
                pendingClass = t.view().toString();
                after = After::ClassName;
            } else if (after != After::ClassName) {
                after = After::Other;
            }
            break;
        case Tok::Colon:
            if (after != After::ClassName)
                after = After::Other;
            break;
        case Tok::LBrace:
            open << (after == After::ClassName ? pendingClass : QString());
            pendingClass.clear();
            after = After::Start;
            break;
        case Tok::RBrace:
            if (!open.isEmpty())
                open.removeLast();
            after = After::Start;
            break;
        case Tok::Semicolon:
            pendingClass.clear();
            after = After::Start;
            break;
        default:
            after = After::Other;
            break;
        }
    }
    // The name being typed is the last word, when it runs up to the cursor; where the
    // statement stood is then the state before that word.
    After where = after;
    if (last.kind == Tok::Word && last.end == text.size()) {
        const QStringView word = last.view();
        if (!std::all_of(word.begin(), word.end(),
                         [](QChar c) { return c.isLetterOrNumber() || c == u'_'; }))
            return context;
        context.prefix = word.toString();
        context.prefixStart = last.start;
        where = beforeLast;
    }
    // Inside the braces of a value (an array), no key can begin.
    if (std::any_of(open.cbegin(), open.cend(), [](const QString &n) { return n.isEmpty(); }))
        return context;
    context.classPath = root + open;
    context.atKey = where == After::Start || where == After::ClassKeyword;
    context.classOnly = where == After::ClassKeyword;
    return context;
}

} // namespace config
