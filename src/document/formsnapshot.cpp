// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formsnapshot.h"

FormSnapshot FormSnapshot::of(const DocumentValues &values)
{
    FormSnapshot v;
    for (int i = 0; i < SwitchCount; ++i) {
        v.switches[i] = values.value(Switch(i));
        v.enabled[i] = values.isEnabled(Switch(i));
    }
    for (int i = 0; i < FieldCount; ++i)
        v.fields[i] = values.text(Field(i));
    for (int i = 0; i < CodeBoxCount; ++i)
        v.codes[i] = values.code(CodeBox(i));
    v.respawnMode = values.respawnMode();
    return v;
}

FormSnapshot FormSnapshot::startState()
{
    static const FormSnapshot start = [] {
        EditorDocument document;
        document.applyStartUp();
        return of(document);
    }();
    return start;
}

SnapshotValues::SnapshotValues(const FormSnapshot &snapshot)
{
    m_switches = snapshot.switches;
    m_enabled = snapshot.enabled;
    m_fields = snapshot.fields;
    m_codes = snapshot.codes;
    m_respawnMode = snapshot.respawnMode;
}

void applySnapshot(EditorDocument &document, const FormSnapshot &snapshot)
{
    document.resetToDesignState();
    document.applyStartUp();
    // The master switch first: its rule unchecks and disables its dependants, which must then
    // get their own values.
    document.setSwitch(Switch::respawnActive, snapshot.switches[int(Switch::respawnActive)]);
    for (int i = 0; i < SwitchCount; ++i) {
        if (Switch(i) != Switch::respawnActive)
            document.setSwitch(Switch(i), snapshot.switches[i]);
    }
    for (int i = 0; i < SwitchCount; ++i)
        document.setEnabled(Switch(i), snapshot.enabled[i]);
    // After the switches: unchecking an OnLoad string switch empties its field.
    for (int i = 0; i < FieldCount; ++i)
        document.setText(Field(i), snapshot.fields[i]);
    for (int i = 0; i < CodeBoxCount; ++i) {
        if (document.code(CodeBox(i)) != snapshot.codes[i])
            document.setCode(CodeBox(i), snapshot.codes[i]);
    }
    document.setRespawnMode(snapshot.respawnMode);
}
