// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formmapping.h"

namespace {

constexpr SettingRow SettingRowTable[] = {
    {u"OnLoadIntro", ValueStyle::QuotedText, Switch::introStringEnabled, Field::introString,
     Fragment::introString, Scope::TopLevel},
    {u"OnLoadMission", ValueStyle::QuotedText, Switch::missionStringEnabled, Field::missionString,
     Fragment::missionString, Scope::TopLevel},
    {u"OnLoadIntroTime",
     ValueStyle::TrueFalse,
     Switch::introTimeEnabled,
     {},
     Fragment::introTime,
     Scope::TopLevel},
    {u"OnLoadMissionTime",
     ValueStyle::TrueFalse,
     Switch::missionTimeEnabled,
     {},
     Fragment::missionTime,
     Scope::TopLevel},
    {u"disabledAI",
     ValueStyle::TrueFalse,
     Switch::disabledaiCheck,
     {},
     Fragment::disabledAI,
     Scope::TopLevel},
    {u"ShowGPS", ValueStyle::OneZero, Switch::gpsCheck, {}, Fragment::gps, Scope::TopLevel},
    {u"showCompass",
     ValueStyle::OneZero,
     Switch::compassCheck,
     {},
     Fragment::compass,
     Scope::TopLevel},
    {u"showWatch", ValueStyle::OneZero, Switch::watchCheck, {}, Fragment::watch, Scope::TopLevel},
    {u"showMap", ValueStyle::OneZero, Switch::mapCheck, {}, Fragment::map, Scope::TopLevel},
    {u"showNotePad",
     ValueStyle::OneZero,
     Switch::notepadCheck,
     {},
     Fragment::notepad,
     Scope::TopLevel},
    {u"briefing",
     ValueStyle::OneZero,
     Switch::briefingCheck,
     {},
     Fragment::briefing,
     Scope::TopLevel},
    {u"debriefing",
     ValueStyle::OneZero,
     Switch::debriefingCheck,
     {},
     Fragment::debriefing,
     Scope::TopLevel},
    {u"minScore", ValueStyle::Text, Switch::scoreEnabled, Field::minScoreText, Fragment::score,
     Scope::TopLevel},
    {u"avgScore", ValueStyle::Text, Switch::scoreEnabled, Field::avgScoreText, Fragment::score,
     Scope::TopLevel},
    {u"maxScore", ValueStyle::Text, Switch::scoreEnabled, Field::maxScoreText, Fragment::score,
     Scope::TopLevel},
    {u"gameType", ValueStyle::Text, Switch::respawnActive, Field::typeValue, Fragment::header,
     Scope::Header},
    {u"minPlayers", ValueStyle::Text, Switch::respawnActive, Field::minPlayersValue,
     Fragment::header, Scope::Header},
    {u"maxPlayers", ValueStyle::Text, Switch::respawnActive, Field::maxPlayersValue,
     Fragment::header, Scope::Header},
    {u"respawn",
     ValueStyle::RespawnMode,
     Switch::respawnCheck,
     {},
     Fragment::respawn,
     Scope::TopLevel},
    {u"respawnDelay", ValueStyle::Text, Switch::delayCheck, Field::delayText,
     Fragment::respawnDelay, Scope::TopLevel},
    {u"respawnVehicleDelay", ValueStyle::Text, Switch::vehicleDelayCheck, Field::vehicleDelayText,
     Fragment::vehicleDelay, Scope::TopLevel},
    {u"respawnDialog",
     ValueStyle::OneZero,
     Switch::dialogCheck,
     {},
     Fragment::respawnDialog,
     Scope::TopLevel},
};

constexpr SectionRow SectionRowTable[] = {
    {u"CfgIdentities", CodeBox::mainIdentityCode, Switch::mainIdentityActive, nullptr,
     Fragment::identity},
    {u"CfgRadio", CodeBox::mainRadioCode, Switch::mainRadioActive, u"sounds", Fragment::radio},
    {u"CfgSounds", CodeBox::mainSoundCode, Switch::mainSoundActive, u"sounds", Fragment::sound},
    {u"CfgMusic", CodeBox::mainMusicCode, Switch::mainMusicActive, u"tracks", Fragment::music},
    {u"Weapons", CodeBox::mainLoadoutWeaponsCode, Switch::mainLoadoutActive, nullptr,
     Fragment::loadout},
    {u"Magazines", CodeBox::mainLoadoutMagazinesCode, Switch::mainLoadoutActive, nullptr,
     Fragment::loadout},
    {u"Params", CodeBox::paramsCode, Switch::paramsActive, nullptr, Fragment::params},
};

constexpr bool inFragmentOrder()
{
    for (std::size_t i = 1; i < std::size(SettingRowTable); ++i) {
        if (SettingRowTable[i].fragment < SettingRowTable[i - 1].fragment)
            return false;
    }
    for (std::size_t i = 1; i < std::size(SectionRowTable); ++i) {
        if (SectionRowTable[i].fragment < SectionRowTable[i - 1].fragment)
            return false;
    }
    return true;
}
static_assert(inFragmentOrder(), "rows are in the order the generator writes them");

constexpr const char16_t *ModeNames[] = {u"NONE", u"BIRD", u"INSTANT", u"BASE", u"GROUP", u"SIDE"};
static_assert(std::size(ModeNames) == RespawnModeCount);

} // namespace

std::span<const SettingRow> settingRows()
{
    return SettingRowTable;
}

std::span<const SectionRow> sectionRows()
{
    return SectionRowTable;
}

const SettingRow *findSetting(QStringView key, Scope scope)
{
    for (const SettingRow &row : SettingRowTable) {
        if (row.scope == scope && key.compare(QStringView(row.key), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

const SectionRow *findSection(QStringView name)
{
    for (const SectionRow &row : SectionRowTable) {
        if (name.compare(QStringView(row.name), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

QStringView respawnModeName(RespawnMode mode)
{
    return ModeNames[std::size_t(mode)];
}
