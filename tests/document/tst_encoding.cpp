// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "encoding.h"

#include <QRandomGenerator>
#include <QTest>

class tst_Encoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("replaced");

        QTest::newRow("ascii") << QStringLiteral("respawn=3;") << QByteArray("respawn=3;") << 0;
        QTest::newRow("euro") << QStringLiteral("\u20AC") << QByteArray("\x80") << 0;
        QTest::newRow("e acute") << QStringLiteral("\u00E9") << QByteArray("\xE9") << 0;
        QTest::newRow("y diaeresis") << QStringLiteral("\u00FF") << QByteArray("\xFF") << 0;
        QTest::newRow("curly quotes")
            << QStringLiteral("\u201Cx\u201D") << QByteArray("\x93x\x94") << 0;
        QTest::newRow("trade mark, Y diaeresis")
            << QStringLiteral("\u2122\u0178") << QByteArray("\x99\x9F") << 0;
        QTest::newRow("undefined slot round-trips")
            << QStringLiteral("\u0081") << QByteArray("\x81") << 0;
        QTest::newRow("C1 control with a glyph byte")
            << QStringLiteral("\u0080") << QByteArray("?") << 1;
        QTest::newRow("outside the code page")
            << QStringLiteral("a\u0100b") << QByteArray("a?b") << 1;
        QTest::newRow("cyrillic word")
            << QStringLiteral("\u043C\u0438\u0440") << QByteArray("???") << 3;
        QTest::newRow("emoji is one character")
            << QStringLiteral("x\U0001F600y") << QByteArray("x?y") << 1;
        QTest::newRow("lone high surrogate")
            << QString(QChar(0xD800)) + QStringLiteral("z") << QByteArray("?z") << 1;
        QTest::newRow("lone low surrogate") << QString(QChar(0xDC00)) << QByteArray("?") << 1;
        QTest::newRow("NUL kept") << QString(QChar(0)) << QByteArray(1, '\0') << 0;
        QTest::newRow("empty") << QString() << QByteArray() << 0;
    }
    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, replaced);

        const config::EncodedBytes encoded =
            config::encodeText(text, config::TextEncoding::Windows1252);
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.replaced, replaced);
    }

    void fileBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("empty text is one line end") << QString() << QByteArray("\r\n");
        QTest::newRow("LF") << QStringLiteral("a\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR") << QStringLiteral("a\rb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR LF kept") << QStringLiteral("a\r\nb\r\n") << QByteArray("a\r\nb\r\n\r\n");
        QTest::newRow("LF CR is two breaks")
            << QStringLiteral("a\n\rb") << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("paragraph separator")
            << QStringLiteral("a\u2029b") << QByteArray("a\r\nb\r\n");
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QByteArray("a\r\nb\r\n");
        QTest::newRow("tab kept") << QStringLiteral("\t};") << QByteArray("\t};\r\n");
        QTest::newRow("CR at the very end") << QStringLiteral("a\r") << QByteArray("a\r\n\r\n");
        QTest::newRow("mixed breaks between 8-bit text")
            << QStringLiteral("\u20AC\r\n\n\u00E9\u2029x\r")
            << QByteArray("\x80\r\n\r\n\xE9\r\nx\r\n\r\n");
        // More lone breaks than the first guess at the size leaves room for.
        QTest::newRow("only lone breaks")
            << QString(100, u'\n') << QByteArray("\r\n").repeated(101);
        QTest::newRow("text, then a run of lone breaks")
            << QString(10, u'x') + QString(50, QChar(0x2029))
            << QByteArray(10, 'x') + QByteArray("\r\n").repeated(51);
        QTest::newRow("supplementary character is one ?")
            << QStringLiteral("a\U0001F600b\n") << QByteArray("a?b\r\n\r\n");
    }

    // The one-pass file writer must agree with its two steps done one after the other. Plain
    // ASCII comes three times in four, as in real files, so that its short path gets runs of
    // it; the other characters are breaks, 8-bit, unmappable or halves of surrogate pairs.
    void fileBytesMatchNormaliseThenEncode()
    {
        const char16_t plain[] = {u'a', u'~', u' ', u'\t', 0x0B, 0x0C, 0x0E, 0x09, 0x7F, 0x01};
        const char16_t other[] = {u'\r',  u'\n',  0x2028, 0x2029, 0x20AC, 0x0080, 0x00FF,
                                  0x0100, 0x010A, 0x0D0D, 0x4E2D, 0xD83D, 0xDE00};
        QRandomGenerator random(1252);
        for (int round = 0; round < 2000; ++round) {
            QString text;
            const int length = random.bounded(64);
            for (int i = 0; i < length; ++i) {
                text += random.bounded(4) != 0
                            ? QChar(plain[random.bounded(int(std::size(plain)))])
                            : QChar(other[random.bounded(int(std::size(other)))]);
            }
            // A whole string is normalised as its view is, and comes back shared when it has
            // only CR LF breaks.
            const QString normalised = normalizeLineBreaks(QStringView(text));
            QCOMPARE(normalizeLineBreaks(text), normalised);
            if (!text.isEmpty()) // an empty string shares no data
                QCOMPARE(normalizeLineBreaks(text).isSharedWith(text), normalised == text);
            const config::EncodedBytes expected =
                config::encodeText(normalizeLineBreaks(text) + QStringLiteral("\r\n"),
                                   config::TextEncoding::Windows1252);
            const config::EncodedBytes actual = descriptionFileBytes(text);
            QCOMPARE(actual.bytes, expected.bytes);
            QCOMPARE(actual.replaced, expected.replaced);
        }
    }

    void fileBytesCountReplacements()
    {
        const QString text = QStringLiteral("\U0001F600 \u4E2D\n\u20AC\u2029") + QChar(0xDC00);
        const config::EncodedBytes encoded = descriptionFileBytes(text);
        QCOMPARE(encoded.bytes, QByteArray("? ?\r\n\x80\r\n?\r\n"));
        QCOMPARE(encoded.replaced, qsizetype(3));
    }
    void fileBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(descriptionFileBytes(text).bytes, bytes);
    }

    void noByteOrderMark()
    {
        const QByteArray bytes = descriptionFileBytes(QStringLiteral("\uFEFFx")).bytes;
        // A BOM typed into the text is not representable; nothing is prepended either.
        QCOMPARE(bytes, QByteArray("?x\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Encoding)
#include "tst_encoding.moc"
