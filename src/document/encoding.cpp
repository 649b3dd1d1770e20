#include "encoding.h"

namespace {

// Windows-1252 bytes 0x80..0x9F and the characters they stand for. The five bytes the code
// page leaves undefined map to the C1 control of the same number, as Windows itself does,
// so such text survives a round trip.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when Windows-1252 has none.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

EncodedText encodeWindows1252(QStringView text)
{
    EncodedText out;
    out.bytes.resize(text.size());
    char *dst = out.bytes.data();
    qsizetype written = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int byte = byteFor(c);
        if (byte < 0) {
            ++out.replaced;
            byte = '?';
            // A character outside the basic plane is one character, written as one "?".
            if (QChar::isHighSurrogate(c) && i + 1 < n &&
                QChar::isLowSurrogate(text[i + 1].unicode()))
                ++i;
        }
        dst[written++] = char(byte);
    }
    out.bytes.truncate(written);
    return out;
}

QString normalizeLineBreaks(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\r':
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            out += u"\r\n";
            break;
        case u'\n':
        case 0x2028: // line separator
        case 0x2029: // paragraph separator
            out += u"\r\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

EncodedText descriptionFileBytes(QStringView text)
{
    QString withBreaks = normalizeLineBreaks(text);
    withBreaks += u"\r\n";
    return encodeWindows1252(withBreaks);
}
