// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "documentvalues.h"

#include <QString>

#include <array>
#include <optional>

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

// Turns the values of a document into the text of description.ext. Pure: reads the values,
// changes nothing, never fails.
struct GeneratedFile
{
    std::array<QString, FragmentCount> fragments;
    QString text;
};

GeneratedFile generate(const DocumentValues &values);
// The same into `file`, whose strings are overwritten. Strings nobody else shares keep their
// room, so generating a large document again needs no fresh memory.
void generateInto(const DocumentValues &values, GeneratedFile &file);
// One fragment of generate()'s result, computed alone.
QString generateFragment(const DocumentValues &values, Fragment fragment);

struct SettingRow;
struct SectionRow;
// The value the generator writes for one setting ("1", "TRUE", "\"text\"", ...), or nothing
// when the setting's line is left out.
std::optional<QString> writtenValue(const DocumentValues &values, const SettingRow &row);
// What the form shows for one setting, whether or not its line is written: its check box and
// its value. The MP page's switch is not part of it: it stands for the page, and ticking it
// alone sets nothing.
QString formValue(const DocumentValues &values, const SettingRow &row);
// Whether a section's class is written, and its class block as the generator writes it.
bool sectionWritten(const DocumentValues &values, const SectionRow &row);
void appendSectionBlock(const DocumentValues &values, const SectionRow &row, QString &out);

// The header comment that opens every generated file, without its line breaks.
inline constexpr char16_t HeaderComment[] =
    u"// description.ext file created in Merrow Editor by Tandry";
// How many lone CR LF group separators the layout holds.
inline constexpr int GroupSeparatorCount = 12;
