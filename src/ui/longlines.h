// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringView>

class QPlainTextEdit;
class QTextEdit;

// Word wrapping makes the text layout look ahead through a whole unbroken run for every
// screen line it wraps, which grows with the square of the run's length: a few hundred
// thousand characters without a space would freeze the window for minutes. A box holding a
// longer run than this wraps anywhere instead, which takes linear time.
namespace LongLines {

inline constexpr qsizetype LongestRunWrappedAtWords = 10000;

bool hasLongUnbrokenRun(QStringView text);

// Watches `box`: once text holding such a run arrives (typed, pasted or set), the box wraps
// anywhere from then on. The switch happens before the box lays out the new text.
void guard(QPlainTextEdit *box);
// The same for a rich-text box, such as the help browser.
void guard(QTextEdit *box);

// A text box lays out a line as a whole, shaping every character of it, whenever it shows any
// part of it: a line of megabytes would take a minute and gigabytes of memory to show, and as
// long again on every change. A box shows a line longer than this cut after this many
// characters, followed by a note saying how much is not shown; while it does, the box cannot
// be edited and its text is the whole text it was given.
inline constexpr qsizetype LongestLineShown = 20000;

// A text as a box shows it. Offsets count one character per line break, as the box does.
struct ShownText
{
    // Characters [from, to) of the whole text stand as the note at `shownAt`, `noteLength` long.
    struct Cut
    {
        qsizetype from = 0;
        qsizetype to = 0;
        qsizetype shownAt = 0;
        qsizetype noteLength = 0;
    };
    QString text;
    QList<Cut> cuts; // in the order of the text

    bool isCut() const { return !cuts.isEmpty(); }
    // Where the character at `offset` of the whole text is shown: a character that is not
    // shown is at the start of the note that stands for it.
    qsizetype shownOffset(qsizetype offset) const;
};

bool hasOverlongLine(QStringView text);
// The note that ends a line cut with `hidden` characters not shown.
QString cutNote(qsizetype hidden);
// `text` unchanged when no line is longer than LongestLineShown; otherwise with every line
// break as one LF and every longer line cut.
ShownText shownText(const QString &text);

// Puts `text` into `box` as shownText() shows it, read-only when a line is cut (and editable
// again otherwise), and keeps `text` as the box's whole text. Returns where the text is cut.
QList<ShownText::Cut> setText(QPlainTextEdit *box, const QString &text);
// Whether `box` shows a cut text; its whole text then is wholeText().
bool isCut(const QPlainTextEdit *box);
// The text of `box`: the one it was given while it is cut, or what it holds (raw, with
// paragraph separators between lines, and no-break spaces kept).
QString wholeText(const QPlainTextEdit *box);
// Whether adding `text` at the end of `box` would leave a line longer than LongestLineShown in
// it, or `box` is cut already: the box's text must then be given again as a whole.
bool appendNeedsWholeText(const QPlainTextEdit *box, QStringView text);

} // namespace LongLines
