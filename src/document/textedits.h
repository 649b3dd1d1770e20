// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Changing a text in place, as the typed windows change the Other text: each change replaces
// one stretch of the text, and everything else keeps its characters.

#include <QString>

#include <vector>

namespace config {
struct Entry;
}

// One change: the characters from `start` up to `end` replaced by `replacement` (an insertion
// when the two are equal).
struct TextEdit
{
    qsizetype start;
    qsizetype end;
    QString replacement;
};

// Whether `offset` is the first thing on its line.
bool startsLine(const QString &text, qsizetype offset);
// Whether nothing but blanks and a comment follow `offset` on its line.
bool endsLine(const QString &text, qsizetype offset);

// The edit that takes the entry out: its whole lines when it has them to itself (a comment
// after it on its last line goes with it, as it speaks of it), otherwise just its text.
TextEdit removal(const QString &text, const config::Entry &e);

// `text` as the format writes a string: between double quotes, a quote inside it doubled.
QString stringLiteral(const QString &text);

// The text with the edits made. Of edits at the same place the one made last comes first, as
// when each was applied in turn.
QString applied(const QString &text, std::vector<TextEdit> edits);
