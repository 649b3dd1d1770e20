// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "descriptionfile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

// NUL characters never occur in text; a few stray control characters do (a form feed, an old
// end-of-file mark), so only a file made mostly of them counts as binary.
bool looksBinary(QStringView text)
{
    qsizetype control = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return true;
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != '\v') ||
            u == 0x7F)
            ++control;
    }
    return control * 10 > text.size();
}

QString sizeInMiB(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString tooLarge(const QString &name, qint64 size)
{
    return quotedFileName(name) + QStringLiteral(" is too large to open (%1 MiB; at most %2 MiB).")
                                      .arg(sizeInMiB(size))
                                      .arg(MaxDescriptionFileBytes / (1024 * 1024));
}

struct Stamp
{
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    return {info.size(), info.lastModified()};
}

} // namespace

QString quotedFileName(const QString &name)
{
    return u'\u201C' + name + u'\u201D';
}

DescriptionText decodeDescriptionFile(const QByteArray &bytes, const QString &displayName)
{
    DescriptionText result;
    // An empty file is a mission's description not yet begun: it opens as an empty document.
    if (bytes.size() > MaxDescriptionFileBytes) {
        result.error = tooLarge(displayName, bytes.size());
        return result;
    }
    config::DecodedText decoded = config::decodeText(bytes);
    if (looksBinary(decoded.text)) {
        result.error = quotedFileName(displayName) +
                       QStringLiteral(" is not a text file (it holds binary data), so it cannot "
                                      "be a description.");
        return result;
    }
    result.ok = true;
    result.bytes = bytes;
    result.text = std::move(decoded.text);
    result.encoding = decoded.encoding;
    result.invalidBytes = decoded.invalidBytes;
    return result;
}

DescriptionText savedDescriptionFile(const QByteArray &bytes, config::TextEncoding encoding)
{
    config::DecodedText decoded = config::decodeText(bytes, encoding);
    DescriptionText result;
    result.ok = true;
    result.bytes = bytes;
    result.text = std::move(decoded.text);
    result.encoding = encoding;
    result.invalidBytes = decoded.invalidBytes;
    return result;
}

DescriptionText readDescriptionFile(const QString &path)
{
    DescriptionText result;
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists()) {
        result.error = quotedFileName(name) + QStringLiteral(" does not exist.");
        return result;
    }
    if (info.isDir()) {
        result.error = quotedFileName(name) + QStringLiteral(" is a folder, not a file.");
        return result;
    }
    if (!info.isFile()) {
        result.error = quotedFileName(name) + QStringLiteral(" is not a regular file.");
        return result;
    }
    if (info.size() > MaxDescriptionFileBytes) {
        result.error = tooLarge(name, info.size());
        return result;
    }
    // A file another program is writing would give a torn snapshot: read again until its size
    // and time stay the same across a read.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Stamp before = stampOf(path);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = quotedFileName(name) + QStringLiteral(" cannot be read: ") +
                           file.errorString() + u'.';
            return result;
        }
        // One byte more than allowed tells a file that grew since it was looked at.
        const QByteArray bytes = file.read(MaxDescriptionFileBytes + 1);
        if (file.error() != QFileDevice::NoError) {
            result.error = quotedFileName(name) + QStringLiteral(" cannot be read: ") +
                           file.errorString() + u'.';
            return result;
        }
        if (stampOf(path) == before && before.size == bytes.size())
            return decodeDescriptionFile(bytes, name);
    }
    result.error = quotedFileName(name) +
                   QStringLiteral(" kept changing while it was read. Open it again once the "
                                  "program writing it has finished.");
    return result;
}
