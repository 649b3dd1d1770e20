// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Bytes of a description file to text and back. Mission files come from many editors: most are
// UTF-8 (some with a byte order mark), older ones Windows-1252, a few UTF-16 with a byte order
// mark. A file is written back in the encoding it was read in, so that what the user did not
// change keeps its bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace config {

enum class TextEncoding { Utf8, Utf8WithBom, Windows1252, Utf16LE, Utf16BE };

// "UTF-8", "UTF-8 with byte order mark", "Windows-1252", "UTF-16 LE", "UTF-16 BE".
QString encodingName(TextEncoding encoding);

struct DecodedText
{
    // Without the byte order mark.
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    // UTF-8 with a few bytes that are no UTF-8: each was read as its Windows-1252 character.
    qsizetype invalidBytes = 0;
};

// UTF-16 when a UTF-16 byte order mark opens the bytes; UTF-8 when they are UTF-8 (a stray
// invalid byte in an otherwise UTF-8 file is read as Windows-1252, without garbling the rest);
// Windows-1252 otherwise.
DecodedText decodeText(QByteArrayView bytes);
// Bytes known to be in `encoding` (as encodeText() wrote them).
DecodedText decodeText(QByteArrayView bytes, TextEncoding encoding);

struct EncodedBytes
{
    QByteArray bytes;
    // Characters the encoding has no bytes for, each written as one "?" (only Windows-1252
    // lacks any; a surrogate pair counts as one character).
    qsizetype replaced = 0;
};

// The text in `encoding`, with its byte order mark where the encoding has one.
EncodedBytes encodeText(QStringView text, TextEncoding encoding);

// The character a Windows-1252 byte stands for. The five bytes the code page leaves undefined
// map to the C1 control of the same number, as Windows itself does, so that every byte
// survives a round trip.
char16_t windows1252Char(unsigned char byte);
// The byte for a character, or -1 when Windows-1252 has none.
int windows1252Byte(char16_t c);
// The byte for text[i], or "?" counted in `replaced` when there is none; steps `i` over the
// second half of a surrogate pair. For encoders that do more in the same pass.
char windows1252ByteAt(QStringView text, qsizetype &i, qsizetype &replaced);

} // namespace config
