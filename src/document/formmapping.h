// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The one mapping between the form and the file: which key or class each control writes, how
// its value is spelled, and in which fragment of the generated file it stands. The generator
// writes its lines from these rows, and opening a file reads the same rows back, so the two
// directions cannot drift apart.

#include "documentvalues.h"
#include "generator.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

// How the form spells a setting's value.
enum class ValueStyle {
    QuotedText,  // OnLoad texts: the field holds what stands between the quotes
    TrueFalse,   // TRUE / FALSE
    OneZero,     // 1 / 0
    Text,        // a score, delay or Header value, held as written
    RespawnMode, // 0 to 5; a file may also name the mode
};

// Where a setting stands: at the top of the file, or inside class Header.
enum class Scope { TopLevel, Header };

struct SettingRow
{
    const char16_t *key;
    ValueStyle style;
    // The switch that writes it (the respawn mode's check box for the mode).
    Switch sw;
    std::optional<Field> field;
    Fragment fragment;
    Scope scope;
};

struct SectionRow
{
    const char16_t *name;
    CodeBox box;
    Switch sw;
    // The empty array the form writes at the top of the class ("sounds[]={};"), or nullptr.
    const char16_t *preamble;
    Fragment fragment;
};

// In the order in which the generator writes them.
std::span<const SettingRow> settingRows();
std::span<const SectionRow> sectionRows();

// Case-insensitive, as the game compares names.
const SettingRow *findSetting(QStringView key, Scope scope);
const SectionRow *findSection(QStringView name);

// "NONE" ... "SIDE": the names a file may give the respawn modes.
QStringView respawnModeName(RespawnMode mode);
