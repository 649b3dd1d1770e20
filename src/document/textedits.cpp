// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textedits.h"

#include "encoding.h"

#include "configreader.h"

#include <algorithm>

namespace {

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

bool startsLine(const QString &text, qsizetype offset)
{
    const qsizetype start = lineStartOf(text, offset);
    return QStringView(text).mid(start, offset - start).trimmed().isEmpty();
}

bool endsLine(const QString &text, qsizetype offset)
{
    qsizetype end = offset;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    const QStringView rest = QStringView(text).mid(offset, end - offset).trimmed();
    return rest.isEmpty() || rest.startsWith(u"//");
}

TextEdit removal(const QString &text, const config::Entry &e)
{
    const qsizetype start = e.span.start.offset, end = e.span.end.offset;
    if (startsLine(text, start) && endsLine(text, end)) {
        const qsizetype lineStart = lineStartOf(text, start);
        qsizetype lineEnd = end;
        while (lineEnd < text.size() && !isBreak(text[lineEnd]))
            ++lineEnd;
        const qsizetype next = nextLineStart(text, end);
        if (next == lineEnd && lineStart > 0) {
            // The last line, without a break of its own: the break before it goes instead.
            const qsizetype breakStart =
                lineStart >= 2 && QStringView(text).mid(lineStart - 2, 2) == u"\r\n"
                    ? lineStart - 2
                    : lineStart - 1;
            return {breakStart, lineEnd, {}};
        }
        return {lineStart, next, {}};
    }
    qsizetype stop = end;
    while (stop < text.size() && (text[stop] == u' ' || text[stop] == u'\t'))
        ++stop;
    return {start, stop, {}};
}

QString stringLiteral(const QString &text)
{
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

// The text is copied once, piece by piece in order: replacing in place moved its rest once per
// edit, which a class of thousands of entries renamed at once made slow.
QString applied(const QString &text, std::vector<TextEdit> edits)
{
    std::reverse(edits.begin(), edits.end());
    std::stable_sort(edits.begin(), edits.end(),
                     [](const TextEdit &a, const TextEdit &b) { return a.start < b.start; });
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    for (const TextEdit &edit : edits) {
        if (edit.start > done)
            out += QStringView(text).mid(done, edit.start - done);
        out += edit.replacement;
        done = std::max(done, edit.end);
    }
    out += QStringView(text).mid(done);
    return out;
}
