// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace config {

namespace {

constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString windows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(windows1252Char(static_cast<unsigned char>(bytes[i])));
    return text;
}

// The length of the UTF-8 sequence at `i`, or 0 when the bytes there are no valid sequence
// (overlong forms, surrogates and code points past U+10FFFF included).
int utf8SequenceAt(QByteArrayView b, qsizetype i)
{
    const auto at = [&b](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    int n = 0;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > b.size())
        return 0;
    if (at(i + 1) < lo || at(i + 1) > hi)
        return 0;
    for (int k = 2; k < n; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    }
    return n;
}

// UTF-8 with its invalid bytes read as Windows-1252, when the bytes hold more valid multi-byte
// sequences than invalid bytes: a file saved as UTF-8 by one editor and touched by another.
// Otherwise nothing: the file is Windows-1252 through and through.
bool decodeMostlyUtf8(QByteArrayView bytes, DecodedText &out)
{
    qsizetype valid = 0;
    qsizetype invalid = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8SequenceAt(bytes, i);
        if (n == 0) {
            ++invalid;
            ++i;
            continue;
        }
        if (n > 1)
            ++valid;
        i += n;
    }
    if (valid <= invalid)
        return false;
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8SequenceAt(bytes, i);
        if (n == 0) {
            text += QChar(windows1252Char(static_cast<unsigned char>(bytes[i])));
            ++i;
        } else if (n == 1) {
            text += QChar(char16_t(static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            text += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        }
    }
    out.text = std::move(text);
    out.invalidBytes = invalid;
    return true;
}

} // namespace

char16_t windows1252Char(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : char16_t(byte);
}

int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 with byte order mark");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    }
    return {};
}

DecodedText decodeText(QByteArrayView bytes)
{
    DecodedText out;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool le = bytes.startsWith("\xFF\xFE");
        out.encoding = le ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        QStringDecoder decoder(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        out.text = decoder.decode(bytes.sliced(2));
        return out;
    }
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArrayView body = bom ? bytes.sliced(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out.text = utf8.decode(body);
    out.encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
    if (!utf8.hasError())
        return out;
    if (decodeMostlyUtf8(body, out))
        return out;
    // A byte order mark before bytes that are not UTF-8 after all is still no text.
    out.text = windows1252(body);
    out.encoding = TextEncoding::Windows1252;
    return out;
}

DecodedText decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    DecodedText out;
    out.encoding = encoding;
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithBom:
        if (encoding == TextEncoding::Utf8WithBom && bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
        if (!decodeMostlyUtf8(bytes, out))
            out.text = QString::fromUtf8(bytes);
        out.encoding = encoding;
        break;
    case TextEncoding::Windows1252:
        out.text = windows1252(bytes);
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = encoding == TextEncoding::Utf16LE;
        if (bytes.startsWith(le ? "\xFF\xFE" : "\xFE\xFF"))
            bytes = bytes.sliced(2);
        QStringDecoder decoder(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        out.text = decoder.decode(bytes);
        break;
    }
    }
    return out;
}

char windows1252ByteAt(QStringView text, qsizetype &i, qsizetype &replaced)
{
    const char16_t c = text[i].unicode();
    const int byte = windows1252Byte(c);
    if (byte >= 0)
        return char(byte);
    ++replaced;
    // A character outside the basic plane is one character, written as one "?".
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode()))
        ++i;
    return '?';
}

EncodedBytes encodeText(QStringView text, TextEncoding encoding)
{
    EncodedBytes out;
    switch (encoding) {
    case TextEncoding::Utf8:
        out.bytes = text.toUtf8();
        break;
    case TextEncoding::Utf8WithBom:
        out.bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        break;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = encoding == TextEncoding::Utf16LE;
        QStringEncoder encoder(le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
                               QStringEncoder::Flag::Stateless);
        out.bytes = QByteArray(le ? "\xFF\xFE" : "\xFE\xFF") + QByteArray(encoder.encode(text));
        break;
    }
    case TextEncoding::Windows1252: {
        out.bytes.resize(text.size());
        char *dst = out.bytes.data();
        qsizetype written = 0;
        for (qsizetype i = 0; i < text.size(); ++i)
            dst[written++] = windows1252ByteAt(text, i, out.replaced);
        out.bytes.truncate(written);
        break;
    }
    }
    return out;
}

} // namespace config
