// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textfile.h"

#include "nativefile.h"

#include <QStringDecoder>

#include <cerrno>
#include <memory>
#include <new>
#include <optional>

namespace config {

namespace {

// Whether `tail`, the last bytes of a text, end inside a UTF-8 sequence.
bool endsInsideSequence(QByteArrayView tail)
{
    qsizetype continuation = 0;
    for (qsizetype i = tail.size() - 1; i >= 0; --i) {
        const auto byte = static_cast<unsigned char>(tail[i]);
        if ((byte & 0xC0) == 0x80) {
            ++continuation;
            continue;
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return continuation + 1 < length;
    }
    return false;
}

// Reads the rest of `fd` as UTF-8, a block at a time, into `text` (an initial byte order mark
// is dropped, as decodeText() drops it). Nearly every description file is UTF-8, and decoding
// it as it is read means its bytes and its text are never both held whole: for a large file
// that is a third less peak memory. False for anything else (bytes that are not UTF-8, a read
// error, a file past `maxBytes`), which the caller then reads whole.
bool readUtf8InBlocks(int fd, qint64 size, qint64 maxBytes, QString &text, qint64 &total, bool &bom)
{
    constexpr qsizetype BlockSize = qsizetype(1) << 20;
    QStringDecoder utf8(QStringDecoder::Utf8);
    text.reserve(qsizetype(std::min(size, maxBytes)) + 4);
    QByteArray block(BlockSize, Qt::Uninitialized);
    QByteArray tail; // the last bytes read, to tell a sequence the file cuts off
    total = 0;
    for (;;) {
        int error = 0;
        const qint64 n = NativeFile::read(fd, block.data(), block.size(), &error);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        total += n;
        if (total > maxBytes)
            return false;
        const QByteArrayView in(block.constData(), qsizetype(n));
        if (total == n)
            bom = in.startsWith("\xEF\xBB\xBF");
        const qsizetype used = text.size();
        text.resize(used + utf8.requiredSpace(in.size()));
        const QChar *end = utf8.appendToBuffer(text.data() + used, in);
        text.resize(end - text.constData());
        if (utf8.hasError())
            return false;
        tail = (tail + in.last(std::min<qsizetype>(4, in.size())).toByteArray()).right(4);
    }
    return !endsInsideSequence(tail);
}

} // namespace

// A limit as a message names it: "50 MiB (52428800 bytes)", or for the small limits of tests
// "1000 bytes".
QString limitText(qint64 bytes)
{
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB (%2 bytes)").arg(bytes / MiB).arg(bytes);
    return QStringLiteral("%1 bytes").arg(bytes);
}

Result<FileText, ReadFailure> readTextFile(const QString &path, qint64 maxBytes, bool keepBytes)
{
    using Read = Result<FileText, ReadFailure>;
    auto fail = [](FileProblem kind, QString problem, qint64 tooLarge = -1) {
        return Read::failure({kind, std::move(problem), tooLarge});
    };
    auto refusal = [&](const NativeFile::Status &st) -> std::optional<Read> {
        if (st.isFolder)
            return fail(FileProblem::Folder, QStringLiteral("is a folder, not a file"));
        if (!st.isRegular)
            return fail(FileProblem::NotRegular, QStringLiteral("is not a regular file"));
        if (st.size > maxBytes)
            return fail(FileProblem::TooLarge,
                        QStringLiteral("is too large: %1 bytes, more than the %2 the check reads")
                            .arg(st.size)
                            .arg(limitText(maxBytes)),
                        st.size);
        return std::nullopt;
    };
    NativeFile::Status st;
    int error = 0;
    if (!NativeFile::status(path, &st, &error))
        return error == ENOENT ? fail(FileProblem::Missing, QStringLiteral("no such file"))
                               : fail(FileProblem::Failed, qt_error_string(error));
    if (std::optional<Read> refused = refusal(st))
        return std::move(*refused);
    const int fd = NativeFile::openForReading(path, &error);
    if (fd < 0)
        return fail(FileProblem::Failed, qt_error_string(error));
    const std::unique_ptr<const int, void (*)(const int *)> closer(
        &fd, [](const int *f) { NativeFile::close(*f); });
    if (!NativeFile::status(fd, &st, &error))
        return fail(FileProblem::Failed, qt_error_string(error));
    if (std::optional<Read> refused = refusal(st))
        return std::move(*refused);
    FileText result;
    QByteArray bytes;
    try {
        bool bom = false;
        if (readUtf8InBlocks(fd, st.size, maxBytes, result.text, result.bytes, bom)) {
            result.encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
            return result;
        }
        // Anything else is read whole and decoded as the editor decodes it.
        result.text = QString();
        result.bytes = 0;
        if (!NativeFile::rewind(fd, &error))
            return fail(FileProblem::Failed, qt_error_string(error));
        // One byte more than the limit tells a file that grew since fstat().
        bytes.resize(qsizetype(std::min<qint64>(st.size, maxBytes) + 1));
        qsizetype filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                if (filled > maxBytes)
                    break;
                bytes.resize(qsizetype(std::min<qint64>(2 * filled, maxBytes + 1)));
            }
            const qint64 n =
                NativeFile::read(fd, bytes.data() + filled, bytes.size() - filled, &error);
            if (n < 0)
                return fail(FileProblem::Failed, qt_error_string(error));
            if (n == 0)
                break;
            filled += n;
        }
        if (filled > maxBytes)
            return fail(FileProblem::TooLarge,
                        QStringLiteral("is too large: more than the %1 the check reads")
                            .arg(limitText(maxBytes)),
                        filled);
        bytes.truncate(filled);
        result.bytes = filled;
        DecodedText decoded = decodeText(bytes);
        result.text = std::move(decoded.text);
        result.encoding = decoded.encoding;
        result.invalidBytes = decoded.invalidBytes;
        if (keepBytes && encodeText(result.text, result.encoding).bytes != bytes)
            result.raw = std::move(bytes);
    } catch (const std::bad_alloc &) {
        return fail(FileProblem::OutOfMemory, QStringLiteral("not enough memory to read it"));
    }
    return result;
}

} // namespace config
