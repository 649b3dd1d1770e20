// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "encoding.h"

#include "textcodec.h"

namespace {

// `whole`, when given, is the string `text` views: returned shared when nothing changes.
QString normalized(QStringView text, const QString *whole)
{
    // Texts are megabytes long and nearly always have CR LF already: copy the runs between
    // the breaks that need rewriting in one piece each, and nothing else.
    const QChar *const data = text.data();
    const qsizetype n = text.size();
    QString out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c > u'\r' && c < 0x2028)
            continue;
        if (c == u'\r') {
            if (i + 1 < n && data[i + 1] == u'\n') {
                ++i; // already CR LF
                continue;
            }
        } else if (c != u'\n' && c != 0x2028 && c != 0x2029) { // line and paragraph separator
            continue;
        }
        if (out.isNull())
            out.reserve(n + n / 32);
        out.append(data + runStart, i - runStart);
        out += u"\r\n";
        runStart = i + 1;
    }
    if (runStart == 0)
        return whole ? *whole : text.toString();
    out.append(data + runStart, n - runStart);
    return out;
}

} // namespace

QString normalizeLineBreaks(QStringView text)
{
    return normalized(text, nullptr);
}

QString normalizeLineBreaks(const QString &text)
{
    return normalized(text, &text);
}

config::EncodedBytes descriptionFileBytes(QStringView text)
{
    // Written straight from the text in one pass: the text can be megabytes long, and a
    // normalised copy of it would take twice its size again only to be thrown away.
    const char16_t *const src = text.utf16();
    const qsizetype n = text.size();
    config::EncodedBytes out;
    // Room for every character, the closing CR LF and some lone breaks that grow to two
    // bytes; before a character is written at least the rest of the text plus two fits.
    qsizetype size = n + n / 16 + 2;
    out.bytes.resize(size);
    char *dst = out.bytes.data();
    qsizetype written = 0;
    qsizetype replaced = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (c < 0x80 && c != u'\r' && c != u'\n') {
            dst[written++] = char(c);
        } else if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < n && src[i + 1] == u'\n') {
                ++i;
            } else if (size - written < n - i + 3) {
                // A lone break needs one byte more than its character.
                size = written + 2 * (n - i) + 2;
                out.bytes.resize(size);
                dst = out.bytes.data();
            }
            dst[written++] = '\r';
            dst[written++] = '\n';
        } else {
            dst[written++] = config::windows1252ByteAt(text, i, replaced);
        }
    }
    dst[written++] = '\r';
    dst[written++] = '\n';
    out.bytes.truncate(written);
    out.replaced = replaced;
    return out;
}
