// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "textcodec.h"

#include <QByteArray>
#include <QChar>
#include <QLatin1String>
#include <QString>
#include <QStringView>

// CR, LF and the line and paragraph separators that text widgets use: each ends a line.
inline bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

// The start of the line of a file's text that holds `offset` (CR and LF end lines).
inline qsizetype lineStartOf(const QString &text, qsizetype offset)
{
    while (offset > 0 && text[offset - 1] != u'\n' && text[offset - 1] != u'\r')
        --offset;
    return offset;
}

// Just past the line break that ends the line holding `offset`, or the text's end.
inline qsizetype nextLineStart(const QString &text, qsizetype offset)
{
    while (offset < text.size() && text[offset] != u'\n' && text[offset] != u'\r')
        ++offset;
    if (QStringView(text).mid(offset, 2) == u"\r\n")
        return offset + 2;
    return offset < text.size() ? offset + 1 : offset;
}

// The line break of every text the editor writes.
inline constexpr QLatin1String CrLf("\r\n");

// The bytes of a saved description file: the text with every line break as CR LF, followed by
// one more CR LF, in the 8-bit text the game reads (Windows-1252, no byte order mark).
config::EncodedBytes descriptionFileBytes(QStringView text);

// Makes every line break CR LF: lone CR, lone LF and the line and paragraph separators that
// text widgets use all become CR LF; existing CR LF pairs stay as they are.
QString normalizeLineBreaks(QStringView text);
// The same; a text that already has only CR LF breaks comes back shared, without a copy.
QString normalizeLineBreaks(const QString &text);
