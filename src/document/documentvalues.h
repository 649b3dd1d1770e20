// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

// The values of the main window's inputs: what the generator reads. EditorDocument holds
// them, changes them and runs their rules; the generator sees only this read-only side, so
// that it needs nothing of the document's slots and signals.
//
// Each enumerator of Switch, Field and CodeBox is the objectName of the main-window control
// that edits the value; a view binds controls by these names (see the *Name() functions).
namespace Form {
Q_NAMESPACE

enum class Switch {
    introStringEnabled,
    missionStringEnabled,
    introTimeEnabled,
    missionTimeEnabled,
    disabledaiCheck,
    gpsCheck,
    compassCheck,
    watchCheck,
    mapCheck,
    notepadCheck,
    briefingCheck,
    debriefingCheck,
    scoreEnabled,
    mainIdentityActive,
    mainRadioActive,
    mainSoundActive,
    mainMusicActive,
    mainLoadoutActive,
    respawnActive,
    respawnCheck,
    delayCheck,
    vehicleDelayCheck,
    dialogCheck,
    paramsActive,
    mainOtherActive,
};
Q_ENUM_NS(Switch)

// Single-line text fields.
enum class Field {
    introString,
    missionString,
    minScoreText,
    avgScoreText,
    maxScoreText,
    typeValue,
    minPlayersValue,
    maxPlayersValue,
    delayText,
    vehicleDelayText,
};
Q_ENUM_NS(Field)

// Multi-line code boxes. Their text always has CR LF between lines.
enum class CodeBox {
    mainIdentityCode,
    mainRadioCode,
    mainSoundCode,
    mainMusicCode,
    mainLoadoutWeaponsCode,
    mainLoadoutMagazinesCode,
    paramsCode,
    mainOtherCode,
};
Q_ENUM_NS(CodeBox)

} // namespace Form

using Form::CodeBox;
using Form::Field;
using Form::Switch;

inline constexpr int SwitchCount = int(Switch::mainOtherActive) + 1;
inline constexpr int FieldCount = int(Field::vehicleDelayText) + 1;
inline constexpr int CodeBoxCount = int(CodeBox::mainOtherCode) + 1;

// The respawn mode; the number is what the file says after "respawn=".
enum class RespawnMode { None, Bird, Instant, Base, Group, Side };
inline constexpr int RespawnModeCount = int(RespawnMode::Side) + 1;

const char *switchName(Switch s);
const char *fieldName(Field f);
const char *codeBoxName(CodeBox c);
// objectName of the option button of a respawn mode ("noneOption" ... "sideOption").
const char *respawnOptionName(RespawnMode m);

class DocumentValues
{
public:
    int value(Switch s) const { return m_switches[std::size_t(s)]; }
    bool isChecked(Switch s) const { return value(s) != 0; }
    // The enabled flag of respawnCheck, delayCheck, vehicleDelayCheck and dialogCheck; it
    // follows respawnActive. Other switches report true.
    bool isEnabled(Switch s) const { return m_enabled[std::size_t(s)]; }
    const QString &text(Field f) const { return m_fields[std::size_t(f)]; }
    // The text of a code box, CR LF between lines. When a view has registered a source for
    // the box and marked it stale, the text is fetched from it first.
    const QString &code(CodeBox c) const;
    RespawnMode respawnMode() const { return m_respawnMode; }

    // A view that edits a code box in place registers a source for its text and calls
    // markCodeStale() on each edit; the text is then copied only when somebody reads it, so
    // a keystroke costs the same in a small box and in a huge one.
    using CodeSource = std::function<QString()>;
    void setCodeSource(CodeBox c, CodeSource source);
    void markCodeStale(CodeBox c);

protected:
    DocumentValues() = default;
    ~DocumentValues() = default;
    void refreshCode(CodeBox c) const;

    std::array<int, SwitchCount> m_switches{};
    std::array<bool, SwitchCount> m_enabled{};
    std::array<QString, FieldCount> m_fields;
    mutable std::array<QString, CodeBoxCount> m_codes;
    mutable std::array<bool, CodeBoxCount> m_codeStale{};
    std::array<CodeSource, CodeBoxCount> m_codeSources;
    RespawnMode m_respawnMode = RespawnMode::None;
};
