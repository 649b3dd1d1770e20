// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "longlines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

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
