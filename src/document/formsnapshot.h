// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editordocument.h"

#include <array>

// Every value of the form: switches with their enabled flags, fields, code boxes and the
// respawn mode. Two snapshots are equal exactly when a user would see the same form. The
// generated text and fragment slots are not part of it: Create rewrites them from these.
// Whether to ask before replacing the entries: keep FormSnapshot::of(document) after start-up
// and after each successful open, and compare the current one with it.
struct FormSnapshot
{
    std::array<int, SwitchCount> switches{};
    std::array<bool, SwitchCount> enabled{};
    std::array<QString, FieldCount> fields;
    std::array<QString, CodeBoxCount> codes;
    RespawnMode respawnMode = RespawnMode::None;

    static FormSnapshot of(const DocumentValues &values);
    // The values after start-up (design state, then applyStartUp()).
    static FormSnapshot startState();

    bool operator==(const FormSnapshot &other) const = default;
};

// A snapshot read through the values interface, so that the generator can say what it would
// write for it.
class SnapshotValues : public DocumentValues
{
public:
    explicit SnapshotValues(const FormSnapshot &snapshot);
};

// Puts `snapshot` into `document`: back to the design state, the start-up sequence, then every
// switch, field, option and code box through the document's setters, so that every rule and
// signal runs as if the user had set them.
void applySnapshot(EditorDocument &document, const FormSnapshot &snapshot);
