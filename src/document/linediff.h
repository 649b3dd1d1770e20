// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Differences between two texts, line by line: what saving an opened file changes, where an
// edit of a box lands in the file, and which line ends the kept lines had.

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// One line with the break that ended it ("" for a last line without one).
struct TextLine
{
    QStringView text;
    QStringView end;
};

// CR LF, LF, CR and the line and paragraph separators each end a line. A text that ends with
// a break has no empty last line.
std::vector<TextLine> splitLines(QStringView text);

enum class DiffOp { Keep, Delete, Insert };
struct DiffStep
{
    DiffOp op;
    // Keep and Delete: the line of `before`; Insert: -1.
    qsizetype before;
    // Keep and Insert: the line of `after`; Delete: -1.
    qsizetype after;
};

// The steps that turn `before` into `after`, comparing lines without their breaks: a shortest
// edit script while the texts differ in a few thousand lines, otherwise the differing middle
// is replaced whole.
std::vector<DiffStep> diffLines(const std::vector<TextLine> &before,
                                const std::vector<TextLine> &after);

// The lines that changed, counting a changed run of lines once at its longer side.
qsizetype changedLineCount(const std::vector<DiffStep> &steps);

// A unified diff with three lines of context ("@@ -3,4 +3,5 @@", " kept", "-old", "+new").
QString unifiedDiff(const std::vector<TextLine> &before, const std::vector<TextLine> &after,
                    const std::vector<DiffStep> &steps);

// `edited`, with each line ended as the same line was ended in `original` and every new line
// by `newEnd`: a text box knows one kind of line break, the file may have any mix.
QString restoreLineEnds(QStringView original, QStringView edited, QStringView newEnd);

// The line end most lines of `text` have (CR LF when it has none).
QString dominantLineEnd(QStringView text);
