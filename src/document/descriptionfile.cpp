// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "descriptionfile.h"

#include "textfile.h"

#include <QDateTime>
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

QString tooLarge(const QString &name, qint64 size)
{
    return quotedFileName(name) + QStringLiteral(" is too large to open: it has %1 bytes, more "
                                                 "than the %2 the editor opens.")
                                      .arg(size)
                                      .arg(config::limitText(MaxDescriptionFileBytes));
}

QString notText(const QString &name)
{
    return quotedFileName(name) + QStringLiteral(" is not a text file (it holds binary data), so "
                                                 "it cannot be a description.");
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
        result.error = notText(displayName);
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
    // A file another program is writing would give a torn snapshot: read again until its size
    // and time stay the same across a read.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Stamp before = stampOf(path);
        config::FileText file =
            config::readTextFile(path, MaxDescriptionFileBytes, /*keepBytes=*/true);
        switch (file.kind) {
        case config::FileProblem::None:
            break;
        case config::FileProblem::Missing:
            result.error = quotedFileName(name) + QStringLiteral(" does not exist.");
            return result;
        case config::FileProblem::Folder:
            result.error = quotedFileName(name) + QStringLiteral(" is a folder, not a file.");
            return result;
        case config::FileProblem::NotRegular:
            result.error = quotedFileName(name) + QStringLiteral(" is not a regular file.");
            return result;
        case config::FileProblem::TooLarge:
            result.error = tooLarge(name, file.tooLarge);
            return result;
        case config::FileProblem::Failed:
            result.error =
                quotedFileName(name) + QStringLiteral(" cannot be read: ") + file.problem + u'.';
            return result;
        case config::FileProblem::OutOfMemory:
            result.error = quotedFileName(name) +
                           QStringLiteral(" cannot be opened: there is not enough memory.");
            return result;
        }
        if (stampOf(path) != before || before.size != file.bytes)
            continue;
        if (looksBinary(file.text)) {
            result.error = notText(name);
            return result;
        }
        result.ok = true;
        result.bytes = std::move(file.raw);
        result.text = std::move(file.text);
        result.encoding = file.encoding;
        result.invalidBytes = file.invalidBytes;
        return result;
    }
    result.error = quotedFileName(name) +
                   QStringLiteral(" kept changing while it was read. Open it again once the "
                                  "program writing it has finished.");
    return result;
}
