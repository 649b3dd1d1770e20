#pragma once

#include "encoding.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>

// Everything the editor knows about the description being edited: the values the main
// window edits, the fragment slots the Create command fills and the last generated text.
// It needs no window; the main window is a view of it and listens to its signals.
//
// Each enumerator carries the name of the main-window control that edits the value, so
// that a view can bind controls by objectName (see the *Name() functions).

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
inline constexpr int SwitchCount = int(Switch::mainOtherActive) + 1;

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
inline constexpr int FieldCount = int(Field::vehicleDelayText) + 1;

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
inline constexpr int CodeBoxCount = int(CodeBox::mainOtherCode) + 1;

// The respawn mode; the number is what the file says after "respawn=".
enum class RespawnMode { None, Bird, Instant, Base, Group, Side };
inline constexpr int RespawnModeCount = int(RespawnMode::Side) + 1;

// The fragment slots, in the order in which they appear in the file.
enum class Fragment {
    introString,
    missionString,
    introTime,
    missionTime,
    disabledAI,
    gps,
    compass,
    watch,
    map,
    notepad,
    briefing,
    debriefing,
    score,
    identity,
    radio,
    sound,
    music,
    loadout,
    header,
    respawn,
    respawnDelay,
    vehicleDelay,
    respawnDialog,
    params,
    other,
};
inline constexpr int FragmentCount = int(Fragment::other) + 1;

const char *switchName(Switch s);
const char *fieldName(Field f);
const char *codeBoxName(CodeBox c);
// objectName of the option button of a respawn mode ("noneOption" ... "sideOption").
const char *respawnOptionName(RespawnMode m);

class EditorDocument : public QObject
{
    Q_OBJECT

public:
    // A document in its design state: every switch checked, "NONE" selected, the start
    // texts in the fields, every slot empty. applyStartUp() turns it into the start state.
    explicit EditorDocument(QObject *parent = nullptr);

    // Back to the design state (signals are emitted for everything that changes).
    void resetToDesignState();
    // The start-up sequence: unchecks the sixteen switches in their fixed order, each
    // through setSwitch() so that every rule and signal runs, and empties the respawn
    // dialog slot. Called once before the main window is first shown.
    void applyStartUp();

    int value(Switch s) const { return m_switches[std::size_t(s)]; }
    bool isChecked(Switch s) const { return value(s) != 0; }
    // Sets a switch (0 or 1) and runs its value-level rule: the respawnActive cascade,
    // the emptying of an OnLoad string, the rewrite of an accessory slot. Setting the value
    // a switch already has does nothing.
    void setSwitch(Switch s, int value);

    // The enabled flag that the generator reads for respawnCheck, delayCheck,
    // vehicleDelayCheck and dialogCheck; it follows respawnActive. Other switches report
    // true.
    bool isEnabled(Switch s) const;
    void setEnabled(Switch s, bool enabled);

    const QString &text(Field f) const { return m_fields[std::size_t(f)]; }
    void setText(Field f, const QString &text);

    // The text of a code box, CR LF between lines. When a view has registered a source for
    // the box and marked it stale, the text is fetched from it first.
    const QString &code(CodeBox c) const;
    void setCode(CodeBox c, const QString &text);
    // The box's text becomes its old text directly followed by `text`.
    void appendCode(CodeBox c, const QString &text);

    // A view that edits a code box in place registers a source for its text and calls
    // markCodeStale() on each edit; the document then copies the text only when somebody
    // reads it, so a keystroke costs the same in a small box and in a huge one.
    using CodeSource = std::function<QString()>;
    void setCodeSource(CodeBox c, CodeSource source);
    void markCodeStale(CodeBox c);

    RespawnMode respawnMode() const { return m_respawnMode; }
    void setRespawnMode(RespawnMode mode);

    const QString &fragment(Fragment f) const { return m_fragments[std::size_t(f)]; }
    const QString &generatedText() const { return m_generatedText; }

    // The generation steps of the Create command: compute every fragment from the current
    // values, store each in its slot and the joined text in generatedText().
    const QString &create();

Q_SIGNALS:
    void switchChanged(Switch s, int value);
    void enabledChanged(Switch s, bool enabled);
    void textChanged(Field f);
    // The whole text of a box was replaced.
    void codeChanged(CodeBox c);
    // `text` was added at the end of the box (a view can insert just that).
    void codeAppended(CodeBox c, const QString &text);
    void respawnModeChanged(RespawnMode mode);

private:
    void refreshCode(CodeBox c) const;

    std::array<int, SwitchCount> m_switches{};
    std::array<bool, SwitchCount> m_enabled{};
    std::array<QString, FieldCount> m_fields;
    mutable std::array<QString, CodeBoxCount> m_codes;
    mutable std::array<bool, CodeBoxCount> m_codeStale{};
    std::array<CodeSource, CodeBoxCount> m_codeSources;
    RespawnMode m_respawnMode = RespawnMode::None;
    std::array<QString, FragmentCount> m_fragments;
    QString m_generatedText;
};
