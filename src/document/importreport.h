// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "configreader.h"
#include "formmapping.h"
#include "textcodec.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// A remark of the report tied to a line of the file (0: the file as a whole).
struct OpenNote
{
    int line = 0;
    QString text;
};

// What opening did with a file: how much of it the form holds, what stays as written and why,
// and what the reader found wrong.
struct ImportReport
{
    QString fileName;
    config::TextEncoding encoding = config::TextEncoding::Utf8;
    // Bytes of a UTF-8 file that were no UTF-8, read as Windows-1252.
    qsizetype invalidBytes = 0;

    // Top-level entries (classes, settings, directives; not comments) and how many of them the
    // form holds.
    int topLevelEntries = 0;
    int entriesInForm = 0;
    // Of those left to the Other box: settings the Mission settings window shows in a typed
    // control.
    int entriesInSettings = 0;
    // Of those left to the Other box: the classes the Endings and notifications window edits
    // (CfgDebriefing, CfgNotifications).
    int entriesInClasses = 0;
    // Of those left to the Other box: class CfgFunctions when the Functions window edits it.
    int entriesInFunctions = 0;
    // Of those left to the Other box: class CfgRemoteExec, when the Remote execution window can
    // edit either of its sections (0 or 1).
    int entriesInRemoteExec = 0;
    // Of those in the form: settings that fill a field, option or switch (class Header counts
    // once per value) and sections whose bodies fill code boxes.
    int settingsIntoForm = 0;
    int sectionsIntoBoxes = 0;
    // Top-level parts the reader could not make sense of; they stay as written.
    int unreadBlocks = 0;

    // Settings the file sets more than once; the form shows the last line of each, which the
    // game uses, and its control says so.
    std::vector<const SettingRow *> setMoreThanOnce;
    // Settings the form has that the file sets only inside #if/#ifdef blocks: they stay in Other
    // as written, and their controls say so instead of looking unset.
    struct ConditionalSetting
    {
        const SettingRow *row = nullptr;
        // Each line that sets it, as "line 4: respawnDelay = 5;" (the first few).
        QStringList lines;
    };
    std::vector<ConditionalSetting> setUnderCondition;
    // Settings and sections the form has that stay as written all the same, and why.
    QList<OpenNote> keptAsWritten;
    // The reader's problems, in source order.
    QList<config::Diagnostic> problems;

    // "12 of 20 top-level entries have a control; the rest stays as written." (in the form or
    // in the Mission settings window, the Endings and notifications window or the Remote
    // execution window)
    QString summary() const;
    // "Read as UTF-8" / "Read as Windows-1252" (for the status bar).
    QString encodingNote() const;
    // Whether the report tells the user something they should know: problems, bytes that were
    // no UTF-8, parts kept as written although the form has them, settings set twice or under a
    // condition. Otherwise
    // opening just says what it opened.
    bool needsAttention() const;
    // The whole report, one remark a line: the summary, the encoding, what stays as written
    // and why, and the reader's problems with line numbers.
    QString text() const;
};
