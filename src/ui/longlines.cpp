#include "longlines.h"

#include <QPlainTextEdit>
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

template <typename Box> void watch(Box *box, bool (*wraps)(const Box *))
{
    // contentsChange comes before the box lays out the new text.
    QObject::connect(box->document(), &QTextDocument::contentsChange, box,
                     [box, wraps](int, int, int added) {
                         if (added > LongestRunWrappedAtWords &&
                             box->wordWrapMode() != QTextOption::WrapAnywhere && wraps(box) &&
                             hasLongUnbrokenRun(box->document()->toRawText()))
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
