#include "longlines.h"

#include <QPlainTextEdit>
#include <QTextDocument>

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

void guard(QPlainTextEdit *box)
{
    // contentsChange comes before the box lays out the new text.
    QObject::connect(box->document(), &QTextDocument::contentsChange, box,
                     [box](int, int, int added) {
                         if (added > LongestRunWrappedAtWords &&
                             box->wordWrapMode() != QTextOption::WrapAnywhere &&
                             box->lineWrapMode() != QPlainTextEdit::NoWrap &&
                             hasLongUnbrokenRun(box->document()->toRawText()))
                             box->setWordWrapMode(QTextOption::WrapAnywhere);
                     });
}

} // namespace LongLines
