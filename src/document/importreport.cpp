// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "importreport.h"

#include "descriptionfile.h"

#include <QStringList>

#include <algorithm>

namespace {

QString lineText(const OpenNote &note)
{
    if (note.line <= 0)
        return QStringLiteral("  ") + note.text;
    return QStringLiteral("  line %1: ").arg(note.line) + note.text;
}

} // namespace

QString ImportReport::summary() const
{
    return QStringLiteral("%1 of %2 top-level %3 a control; the rest stays as written.")
        .arg(entriesInForm + entriesInSettings + entriesInClasses + entriesInFunctions +
             entriesInRemoteExec)
        .arg(topLevelEntries)
        .arg(topLevelEntries == 1 ? QStringLiteral("entry has") : QStringLiteral("entries have"));
}

QString ImportReport::encodingNote() const
{
    return QStringLiteral("Read as ") + config::encodingName(encoding);
}

bool ImportReport::needsAttention() const
{
    return invalidBytes > 0 || unreadBlocks > 0 || !keptAsWritten.isEmpty() ||
           !problems.isEmpty() || !setMoreThanOnce.empty() || !setUnderCondition.empty();
}

QString ImportReport::text() const
{
    QStringList lines;
    lines << summary();
    if (!fileName.isEmpty())
        lines << QStringLiteral("Opened ") + quotedFileName(fileName) + u'.';
    QString encodingLine = encodingNote() + u'.';
    if (invalidBytes > 0)
        encodingLine +=
            QStringLiteral(" %1 that %2 no UTF-8 %3 read as Windows-1252.")
                .arg(invalidBytes == 1 ? QStringLiteral("1 byte")
                                       : QStringLiteral("%1 bytes").arg(invalidBytes))
                .arg(invalidBytes == 1 ? QStringLiteral("was") : QStringLiteral("were"))
                .arg(invalidBytes == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    lines << encodingLine;
    lines << QStringLiteral("%1 %2 into the form, %3 %4 into code boxes.")
                 .arg(settingsIntoForm)
                 .arg(settingsIntoForm == 1 ? QStringLiteral("setting")
                                            : QStringLiteral("settings"))
                 .arg(sectionsIntoBoxes)
                 .arg(sectionsIntoBoxes == 1 ? QStringLiteral("section")
                                             : QStringLiteral("sections"));
    if (entriesInSettings > 0)
        lines << QStringLiteral("%1 in Other %2 a control in Mission settings.")
                     .arg(entriesInSettings == 1
                              ? QStringLiteral("1 setting")
                              : QStringLiteral("%1 settings").arg(entriesInSettings))
                     .arg(entriesInSettings == 1 ? QStringLiteral("has") : QStringLiteral("have"));
    if (entriesInClasses > 0)
        lines << QStringLiteral("%1 in Other %2 a control in Endings and notifications.")
                     .arg(entriesInClasses == 1
                              ? QStringLiteral("1 class")
                              : QStringLiteral("%1 classes").arg(entriesInClasses))
                     .arg(entriesInClasses == 1 ? QStringLiteral("has") : QStringLiteral("have"));
    if (entriesInFunctions > 0)
        lines << QStringLiteral("class CfgFunctions in Other has a control in Functions.");
    if (entriesInRemoteExec > 0)
        lines << QStringLiteral("class CfgRemoteExec in Other has a control in Remote execution.");
    if (unreadBlocks > 0) {
        lines << QStringLiteral("%1 that could not be read %2 as written.")
                     .arg(unreadBlocks == 1 ? QStringLiteral("1 part")
                                            : QStringLiteral("%1 parts").arg(unreadBlocks))
                     .arg(unreadBlocks == 1 ? QStringLiteral("stays") : QStringLiteral("stay"));
    }
    if (!keptAsWritten.isEmpty()) {
        lines << QString() << QStringLiteral("Kept as written although the form has them:");
        for (const OpenNote &note : keptAsWritten)
            lines << lineText(note);
    }
    if (!problems.isEmpty()) {
        lines << QString() << QStringLiteral("Problems found in the file:");
        // A badly broken file can have thousands; the first ones say what is wrong.
        constexpr qsizetype MaxListed = 200;
        for (const config::Diagnostic &d : problems.first(std::min(problems.size(), MaxListed))) {
            QString where = QStringLiteral("line %1").arg(d.position.line);
            if (!d.file.isEmpty()) {
                where = d.file + u' ' + where;
                // Where the opened file includes it, which is what the user can go to.
                if (!d.includedFrom.isEmpty())
                    where += QStringLiteral(" (included on line %1)")
                                 .arg(d.includedFrom.last().position.line);
            }
            lines << QStringLiteral("  ") + where + QStringLiteral(": ") +
                         (d.severity == config::Severity::Error     ? QStringLiteral("error: ")
                          : d.severity == config::Severity::Warning ? QStringLiteral("warning: ")
                                                                    : QStringLiteral("note: ")) +
                         d.message;
        }
        if (problems.size() > MaxListed)
            lines << QStringLiteral("  … and %1 more").arg(problems.size() - MaxListed);
    }
    return lines.join(u'\n');
}
