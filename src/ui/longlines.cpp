// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "longlines.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace LongLines {

bool hasLongUnbrokenRun(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        // No-break spaces give no chance to wrap.
        if (c.isSpace() && c != QChar::Nbsp && c != u'\u2007' && c != u'\u202F')
            run = 0;
        else if (++run > LongestRunWrappedAtWords)
            return true;
    }
    return false;
}

namespace {

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// The whole text of a cut box, and whether the cut made it read-only.
constexpr char WholeTextProperty[] = "longLinesWholeText";
constexpr char MadeReadOnlyProperty[] = "longLinesMadeReadOnly";

} // namespace

bool hasOverlongLine(QStringView text)
{
    if (text.size() <= LongestLineShown)
        return false;
    qsizetype line = 0;
    for (const QChar c : text) {
        if (isBreak(c))
            line = 0;
        else if (++line > LongestLineShown)
            return true;
    }
    return false;
}

QString cutNote(qsizetype hidden)
{
    return QCoreApplication::translate(
               "LongLines",
               " … [%1 more characters of this line are not shown. A line this long cannot be "
               "shown or edited here; it is kept as it is.]")
        .arg(QLocale::system().toString(hidden));
}

ShownText shownText(const QString &text)
{
    ShownText shown;
    if (!hasOverlongLine(text)) {
        shown.text = text;
        return shown;
    }
    QString &out = shown.text;
    const qsizetype n = text.size();
    qsizetype logical = 0; // one character per break
    for (qsizetype start = 0;;) {
        qsizetype end = start;
        while (end < n && !isBreak(text[end]))
            ++end;
        const qsizetype length = end - start;
        if (length > LongestLineShown) {
            qsizetype kept = LongestLineShown;
            if (text[start + kept - 1].isHighSurrogate())
                --kept; // no half character
            out += QStringView(text).mid(start, kept);
            const QString note = cutNote(length - kept);
            shown.cuts.append({logical + kept, logical + length, out.size(), note.size()});
            out += note;
        } else {
            out += QStringView(text).mid(start, length);
        }
        logical += length;
        if (end >= n)
            break;
        out += u'\n';
        ++logical;
        start = end + (text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n' ? 2 : 1);
    }
    return shown;
}

qsizetype ShownText::shownOffset(qsizetype offset) const
{
    // The last cut that starts at or before `offset`.
    auto after = std::upper_bound(cuts.cbegin(), cuts.cend(), offset,
                                  [](qsizetype o, const Cut &cut) { return o < cut.from; });
    if (after == cuts.cbegin())
        return offset;
    const Cut &cut = *(after - 1);
    if (offset < cut.to)
        return cut.shownAt;
    return offset - cut.to + cut.shownAt + cut.noteLength;
}

QList<ShownText::Cut> setText(QPlainTextEdit *box, const QString &text)
{
    ShownText shown = shownText(text);
    const bool cut = shown.isCut();
    // Kept before the text arrives: what watches the box may ask for its whole text.
    box->setProperty(WholeTextProperty, cut ? QVariant(text) : QVariant());
    if (cut && !box->isReadOnly()) {
        box->setReadOnly(true);
        // The keys still move the cursor and select, as in any text that cannot be edited.
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setProperty(MadeReadOnlyProperty, true);
    }
    box->setPlainText(shown.text);
    if (!cut && box->property(MadeReadOnlyProperty).toBool()) {
        box->setReadOnly(false);
        box->setProperty(MadeReadOnlyProperty, QVariant());
    }
    return shown.cuts;
}

bool isCut(const QPlainTextEdit *box)
{
    return box->property(WholeTextProperty).isValid();
}

QString wholeText(const QPlainTextEdit *box)
{
    const QVariant whole = box->property(WholeTextProperty);
    return whole.isValid() ? whole.toString() : box->document()->toRawText();
}

bool appendNeedsWholeText(const QPlainTextEdit *box, QStringView text)
{
    if (isCut(box))
        return true;
    qsizetype firstLine = 0;
    while (firstLine < text.size() && !isBreak(text[firstLine]))
        ++firstLine;
    return box->document()->lastBlock().length() - 1 + firstLine > LongestLineShown ||
           hasOverlongLine(text.mid(firstLine));
}

namespace {

// Whether the blocks a change touched hold such a run. A run ends at every block break, so
// only the changed blocks are looked at, and only those long enough to hold one are copied.
bool changeHasLongRun(const QTextDocument *document, int position, int added)
{
    QTextBlock block = document->findBlock(position);
    const QTextBlock last = document->findBlock(position + added);
    for (; block.isValid(); block = block.next()) {
        if (block.length() > LongestRunWrappedAtWords && hasLongUnbrokenRun(block.text()))
            return true;
        if (block == last)
            break;
    }
    return false;
}

template <typename Box> void watch(Box *box, bool (*wraps)(const Box *))
{
    // contentsChange comes before the box lays out the new text.
    QObject::connect(box->document(), &QTextDocument::contentsChange, box,
                     [box, wraps](int position, int, int added) {
                         if (added > LongestRunWrappedAtWords &&
                             box->wordWrapMode() != QTextOption::WrapAnywhere && wraps(box) &&
                             changeHasLongRun(box->document(), position, added))
                             box->setWordWrapMode(QTextOption::WrapAnywhere);
                     });
}

} // namespace

void guard(QPlainTextEdit *box)
{
    watch<QPlainTextEdit>(
        box, [](const QPlainTextEdit *b) { return b->lineWrapMode() != QPlainTextEdit::NoWrap; });
}

void guard(QTextEdit *box)
{
    watch<QTextEdit>(box,
                     [](const QTextEdit *b) { return b->lineWrapMode() != QTextEdit::NoWrap; });
}

} // namespace LongLines
