// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "generator.h"

#include "encoding.h"
#include "formmapping.h"

namespace {

// When a fragment's switch lets it be written. OnLoad strings and times test "not 0",
// the others "is 1"; the respawn lines also need their switch's enabled flag.
enum class Gate { NotZero, IsOne, EnabledAndOne, Enabled };

// What a fragment holds: the settings of its rows in formmapping.cpp, the classes of its
// section rows, or the Other box's text.
enum class Holds { Settings, Sections, Other };

struct FragmentRule
{
    Fragment slot;
    Switch gate;
    Gate kind;
    Holds holds;
    // The on/off settings are written with their off value while the gate is closed; every
    // other fragment is then left out.
    bool writtenWhenClosed;
};

constexpr FragmentRule Rules[] = {
    {Fragment::introString, Switch::introStringEnabled, Gate::NotZero, Holds::Settings, false},
    {Fragment::missionString, Switch::missionStringEnabled, Gate::NotZero, Holds::Settings, false},
    {Fragment::introTime, Switch::introTimeEnabled, Gate::NotZero, Holds::Settings, true},
    {Fragment::missionTime, Switch::missionTimeEnabled, Gate::NotZero, Holds::Settings, true},
    {Fragment::disabledAI, Switch::disabledaiCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::gps, Switch::gpsCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::compass, Switch::compassCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::watch, Switch::watchCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::map, Switch::mapCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::notepad, Switch::notepadCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::briefing, Switch::briefingCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::debriefing, Switch::debriefingCheck, Gate::IsOne, Holds::Settings, true},
    {Fragment::score, Switch::scoreEnabled, Gate::IsOne, Holds::Settings, false},
    {Fragment::identity, Switch::mainIdentityActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::radio, Switch::mainRadioActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::sound, Switch::mainSoundActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::music, Switch::mainMusicActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::loadout, Switch::mainLoadoutActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::header, Switch::respawnActive, Gate::IsOne, Holds::Settings, false},
    {Fragment::respawn, Switch::respawnCheck, Gate::EnabledAndOne, Holds::Settings, false},
    {Fragment::respawnDelay, Switch::delayCheck, Gate::EnabledAndOne, Holds::Settings, false},
    {Fragment::vehicleDelay, Switch::vehicleDelayCheck, Gate::EnabledAndOne, Holds::Settings,
     false},
    {Fragment::respawnDialog, Switch::dialogCheck, Gate::Enabled, Holds::Settings, false},
    {Fragment::params, Switch::paramsActive, Gate::IsOne, Holds::Sections, false},
    {Fragment::other, Switch::mainOtherActive, Gate::IsOne, Holds::Other, false},
};
static_assert(std::size(Rules) == FragmentCount);

constexpr bool rulesInSlotOrder()
{
    for (int i = 0; i < FragmentCount; ++i) {
        if (int(Rules[i].slot) != i)
            return false;
    }
    return true;
}
static_assert(rulesInSlotOrder(), "Rules is indexed by Fragment");

// The file after its header comment: fragments in slot order, with a lone CR LF group
// separator after each of these.
constexpr Fragment GroupEnds[] = {
    Fragment::missionString, Fragment::missionTime, Fragment::debriefing,    Fragment::score,
    Fragment::identity,      Fragment::radio,       Fragment::sound,         Fragment::music,
    Fragment::loadout,       Fragment::header,      Fragment::respawnDialog, Fragment::params,
};
static_assert(std::size(GroupEnds) == GroupSeparatorCount);

bool endsGroup(Fragment f)
{
    for (Fragment end : GroupEnds) {
        if (end == f)
            return true;
    }
    return false;
}

bool gateOpen(const DocumentValues &d, const FragmentRule &rule)
{
    const int value = d.value(rule.gate);
    switch (rule.kind) {
    case Gate::NotZero:
        return value != 0;
    case Gate::IsOne:
        return value == 1;
    case Gate::EnabledAndOne:
        return d.isEnabled(rule.gate) && value == 1;
    case Gate::Enabled:
        return d.isEnabled(rule.gate);
    }
    return false;
}

void assignment(QString &out, QStringView key, QStringView value)
{
    out += key;
    out += u'=';
    out += value;
    out += u';';
    out += CrLf;
}

void appendSettings(const DocumentValues &d, Fragment f, QString &out)
{
    for (const SettingRow &row : settingRows()) {
        if (row.fragment != f)
            continue;
        if (const std::optional<QString> value = writtenValue(d, row))
            assignment(out, row.key, *value);
    }
}

void appendFragment(const DocumentValues &d, Fragment f, QString &out)
{
    const FragmentRule &rule = Rules[int(f)];
    if (!gateOpen(d, rule) && !rule.writtenWhenClosed)
        return;
    switch (rule.holds) {
    case Holds::Settings:
        if (f == Fragment::header) {
            out += u"class Header\r\n{\r\n";
            appendSettings(d, f, out);
            out += u"};\r\n";
        } else {
            appendSettings(d, f, out);
        }
        break;
    case Holds::Sections: {
        bool first = true;
        for (const SectionRow &row : sectionRows()) {
            if (row.fragment != f)
                continue;
            // Weapons and Magazines share a fragment, an empty line between them.
            if (!first)
                out += CrLf;
            first = false;
            appendSectionBlock(d, row, out);
        }
        break;
    }
    case Holds::Other:
        out += d.code(CodeBox::mainOtherCode);
        break;
    }
}

} // namespace

std::optional<QString> writtenValue(const DocumentValues &values, const SettingRow &row)
{
    const FragmentRule &rule = Rules[int(row.fragment)];
    const bool open = gateOpen(values, rule);
    if (!open && !rule.writtenWhenClosed)
        return std::nullopt;
    // The respawn dialog's gate is its enabled flag; its value then says on or off.
    const bool on = open && (rule.kind != Gate::Enabled || values.value(rule.gate) == 1);
    switch (row.style) {
    case ValueStyle::QuotedText:
        return u'"' + values.text(*row.field) + u'"';
    case ValueStyle::TrueFalse:
        return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case ValueStyle::OneZero:
        return on ? QStringLiteral("1") : QStringLiteral("0");
    case ValueStyle::Text:
        return values.text(*row.field);
    case ValueStyle::RespawnMode:
        return QString::number(int(values.respawnMode()));
    }
    return std::nullopt;
}

QString formValue(const DocumentValues &values, const SettingRow &row)
{
    QString shown;
    if (row.sw != Switch::respawnActive)
        shown = QString::number(values.value(row.sw));
    if (row.field)
        shown += u'|' + values.text(*row.field);
    if (row.style == ValueStyle::RespawnMode)
        shown += u'|' + QString::number(int(values.respawnMode()));
    return shown;
}

bool sectionWritten(const DocumentValues &values, const SectionRow &row)
{
    return gateOpen(values, Rules[int(row.fragment)]);
}

void appendSectionBlock(const DocumentValues &values, const SectionRow &row, QString &out)
{
    out += u"class ";
    out += row.name;
    out += u"\r\n{\r\n";
    if (row.preamble) {
        out += row.preamble;
        out += u"[]={};\r\n\r\n";
    }
    out += values.code(row.box);
    out += u"};\r\n";
}

GeneratedFile generate(const DocumentValues &values)
{
    GeneratedFile file;
    generateInto(values, file);
    return file;
}

void generateInto(const DocumentValues &values, GeneratedFile &file)
{
    // resize(0) rather than clear(): a string nobody else shares keeps its room.
    qsizetype total = 64;
    for (int i = 0; i < FragmentCount; ++i) {
        file.fragments[i].resize(0);
        appendFragment(values, Fragment(i), file.fragments[i]);
        total += file.fragments[i].size() + 2;
    }
    QString &text = file.text;
    text.resize(0);
    text.reserve(total);
    text += HeaderComment;
    text += u"\r\n\r\n";
    for (int i = 0; i < FragmentCount; ++i) {
        text += file.fragments[i];
        if (endsGroup(Fragment(i)))
            text += CrLf;
    }
}

QString generateFragment(const DocumentValues &values, Fragment fragment)
{
    QString out;
    appendFragment(values, fragment, out);
    return out;
}
