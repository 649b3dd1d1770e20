// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editordocument.h"

#include "documentorigin.h"
#include "encoding.h"

namespace {

// Start texts of the fields and code boxes in the design state; all others are empty.
struct StartText
{
    Field field;
    const char *text;
};
constexpr StartText FieldStartTexts[] = {
    {Field::minScoreText, "0"},      {Field::avgScoreText, "2500"},  {Field::maxScoreText, "5000"},
    {Field::minPlayersValue, "2"},   {Field::maxPlayersValue, "10"}, {Field::delayText, "10"},
    {Field::vehicleDelayText, "10"},
};
constexpr char OtherCodeStartText[] = "// Other code\r\n";

// The switches that start-up unchecks, in their order. The respawn dialog slot is emptied
// between dialogCheck and paramsActive.
constexpr Switch StartUpUnchecksBeforeDialogSlot[] = {
    Switch::introStringEnabled, Switch::introTimeEnabled,   Switch::disabledaiCheck,
    Switch::scoreEnabled,       Switch::mainIdentityActive, Switch::mainRadioActive,
    Switch::mainSoundActive,    Switch::mainMusicActive,    Switch::mainLoadoutActive,
    Switch::respawnActive,      Switch::respawnCheck,       Switch::delayCheck,
    Switch::vehicleDelayCheck,  Switch::dialogCheck,
};
constexpr Switch StartUpUnchecksAfterDialogSlot[] = {Switch::paramsActive, Switch::mainOtherActive};

// The switches whose enabled flag follows respawnActive, in the order its rule visits them;
// all but dialogCheck are also unchecked when it goes off.
constexpr Switch RespawnDependants[] = {Switch::respawnCheck, Switch::delayCheck,
                                        Switch::vehicleDelayCheck, Switch::dialogCheck};

bool hasEnabledFlag(Switch s)
{
    for (Switch d : RespawnDependants) {
        if (d == s)
            return true;
    }
    return false;
}

// What a switch's change does to the fragment slots. Every Create rewrites them all anyway;
// only the accessory slots carry state from one change to the next.
enum class SlotWrite {
    Rewrite,      // the slot is kept current with the switch
    EmptiedByOff, // the slot is emptied when the switch goes off
};
struct SwitchSlot
{
    Switch sw;
    Fragment slot;
    SlotWrite write;
};
constexpr SwitchSlot SwitchSlots[] = {
    {Switch::introTimeEnabled, Fragment::introTime, SlotWrite::Rewrite},
    {Switch::missionTimeEnabled, Fragment::missionTime, SlotWrite::Rewrite},
    {Switch::scoreEnabled, Fragment::score, SlotWrite::Rewrite},
    // The accessory switches.
    {Switch::disabledaiCheck, Fragment::disabledAI, SlotWrite::Rewrite},
    {Switch::gpsCheck, Fragment::gps, SlotWrite::Rewrite},
    {Switch::compassCheck, Fragment::compass, SlotWrite::Rewrite},
    {Switch::watchCheck, Fragment::watch, SlotWrite::Rewrite},
    {Switch::mapCheck, Fragment::map, SlotWrite::Rewrite},
    {Switch::notepadCheck, Fragment::notepad, SlotWrite::Rewrite},
    {Switch::briefingCheck, Fragment::briefing, SlotWrite::Rewrite},
    {Switch::debriefingCheck, Fragment::debriefing, SlotWrite::Rewrite},
    // The section switches; paramsActive writes no slot.
    {Switch::mainIdentityActive, Fragment::identity, SlotWrite::EmptiedByOff},
    {Switch::mainRadioActive, Fragment::radio, SlotWrite::EmptiedByOff},
    {Switch::mainSoundActive, Fragment::sound, SlotWrite::EmptiedByOff},
    {Switch::mainMusicActive, Fragment::music, SlotWrite::EmptiedByOff},
    {Switch::mainLoadoutActive, Fragment::loadout, SlotWrite::EmptiedByOff},
    {Switch::mainOtherActive, Fragment::other, SlotWrite::EmptiedByOff},
};

} // namespace

EditorDocument::EditorDocument(QObject *parent) : QObject(parent)
{
    resetToDesignState();
}

void EditorDocument::resetToDesignState()
{
    m_switches.fill(1);
    m_enabled.fill(true);
    for (auto &field : m_fields)
        field.clear();
    for (const auto &start : FieldStartTexts)
        m_fields[std::size_t(start.field)] = QString::fromLatin1(start.text);
    for (auto &code : m_codes)
        code.clear();
    m_codeStale.fill(false);
    m_codes[std::size_t(CodeBox::mainOtherCode)] = QString::fromLatin1(OtherCodeStartText);
    m_respawnMode = RespawnMode::None;
    for (auto &fragment : m_fragments)
        fragment.clear();
    m_generatedText.clear();
    m_origin.reset();

    for (int i = 0; i < SwitchCount; ++i) {
        Q_EMIT switchChanged(Switch(i), 1);
        Q_EMIT enabledChanged(Switch(i), true);
    }
    for (int i = 0; i < FieldCount; ++i)
        Q_EMIT textChanged(Field(i));
    for (int i = 0; i < CodeBoxCount; ++i)
        Q_EMIT codeChanged(CodeBox(i));
    Q_EMIT respawnModeChanged(m_respawnMode);
}

void EditorDocument::applyStartUp()
{
    for (Switch s : StartUpUnchecksBeforeDialogSlot)
        setSwitch(s, 0);
    m_fragments[std::size_t(Fragment::respawnDialog)].clear();
    for (Switch s : StartUpUnchecksAfterDialogSlot)
        setSwitch(s, 0);
}

void EditorDocument::setSwitch(Switch s, int value)
{
    value = value ? 1 : 0;
    if (m_switches[std::size_t(s)] == value)
        return;
    m_switches[std::size_t(s)] = value;
    Q_EMIT switchChanged(s, value);

    const bool on = value != 0;
    switch (s) {
    case Switch::introStringEnabled:
        if (!on)
            setText(Field::introString, QString());
        break;
    case Switch::missionStringEnabled:
        if (!on)
            setText(Field::missionString, QString());
        break;
    case Switch::respawnActive:
        for (Switch d : RespawnDependants) {
            setEnabled(d, on);
            if (!on && d != Switch::dialogCheck)
                setSwitch(d, 0);
        }
        break;
    default:
        break;
    }

    for (const SwitchSlot &row : SwitchSlots) {
        if (row.sw != s)
            continue;
        QString &slot = m_fragments[std::size_t(row.slot)];
        if (row.write == SlotWrite::Rewrite)
            slot = generateFragment(*this, row.slot);
        else if (!on)
            slot.clear();
    }
}

void EditorDocument::setEnabled(Switch s, bool enabled)
{
    if (!hasEnabledFlag(s) || m_enabled[std::size_t(s)] == enabled)
        return;
    m_enabled[std::size_t(s)] = enabled;
    Q_EMIT enabledChanged(s, enabled);
}

void EditorDocument::setText(Field f, const QString &text)
{
    QString &field = m_fields[std::size_t(f)];
    if (field == text)
        return;
    field = text;
    Q_EMIT textChanged(f);
}

void EditorDocument::setCode(CodeBox c, const QString &text)
{
    const auto i = std::size_t(c);
    m_codes[i] = normalizeLineBreaks(text);
    m_codeStale[i] = false;
    Q_EMIT codeChanged(c);
}

void EditorDocument::appendCode(CodeBox c, const QString &text)
{
    refreshCode(c);
    const QString added = normalizeLineBreaks(text);
    m_codes[std::size_t(c)] += added;
    Q_EMIT codeAppended(c, added);
}

void EditorDocument::setRespawnMode(RespawnMode mode)
{
    if (m_respawnMode == mode)
        return;
    m_respawnMode = mode;
    Q_EMIT respawnModeChanged(mode);
}

const QString &EditorDocument::create()
{
    // Generated in place over the previous result: with megabytes of code a fresh file each
    // time would double the memory Create needs and make the system hand it out anew.
    GeneratedFile file{std::move(m_fragments), std::move(m_generatedText)};
    generateInto(*this, file);
    m_fragments = std::move(file.fragments);
    m_generatedText = std::move(file.text);
    if (m_origin)
        m_generatedText = m_origin->render(*this);
    return m_generatedText;
}

void EditorDocument::setOrigin(std::shared_ptr<const DocumentOrigin> origin)
{
    m_origin = std::move(origin);
}
