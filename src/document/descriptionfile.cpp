// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "descriptionfile.h"

#include "textfile.h"

#include <QDateTime>
#include <QFileInfo>

using config::Result;

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

Result<DescriptionText> decodeDescriptionFile(const QByteArray &bytes, const QString &displayName)
{
    // An empty file is a mission's description not yet begun: it opens as an empty document.
    if (bytes.size() > MaxDescriptionFileBytes)
        return Result<DescriptionText>::failure(tooLarge(displayName, bytes.size()));
    config::DecodedText decoded = config::decodeText(bytes);
    if (looksBinary(decoded.text))
        return Result<DescriptionText>::failure(notText(displayName));
    return DescriptionText{bytes, std::move(decoded.text), decoded.encoding, decoded.invalidBytes};
}

DescriptionText savedDescriptionFile(const QByteArray &bytes, config::TextEncoding encoding)
{
    config::DecodedText decoded = config::decodeText(bytes, encoding);
    return {bytes, std::move(decoded.text), encoding, decoded.invalidBytes};
}

Result<DescriptionText> readDescriptionFile(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    auto fail = [](QString why) { return Result<DescriptionText>::failure(std::move(why)); };
    // A file another program is writing would give a torn snapshot: read again until its size
    // and time stay the same across a read.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Stamp before = stampOf(path);
        config::Result<config::FileText, config::ReadFailure> file =
            config::readTextFile(path, MaxDescriptionFileBytes, /*keepBytes=*/true);
        if (!file) {
            switch (file.why().kind) {
            case config::FileProblem::None:
            case config::FileProblem::Failed:
                return fail(quotedFileName(name) + QStringLiteral(" cannot be read: ") +
                            file.why().problem + u'.');
            case config::FileProblem::Missing:
                return fail(quotedFileName(name) + QStringLiteral(" does not exist."));
            case config::FileProblem::Folder:
                return fail(quotedFileName(name) + QStringLiteral(" is a folder, not a file."));
            case config::FileProblem::NotRegular:
                return fail(quotedFileName(name) + QStringLiteral(" is not a regular file."));
            case config::FileProblem::TooLarge:
                return fail(tooLarge(name, file.why().tooLarge));
            case config::FileProblem::OutOfMemory:
                return fail(quotedFileName(name) +
                            QStringLiteral(" cannot be opened: there is not enough memory."));
            }
        }
        if (stampOf(path) != before || before.size != file->bytes)
            continue;
        if (looksBinary(file->text))
            return fail(notText(name));
        return DescriptionText{std::move(file->raw), std::move(file->text), file->encoding,
                               file->invalidBytes};
    }
    return fail(quotedFileName(name) +
                QStringLiteral(" kept changing while it was read. Open it again once the "
                               "program writing it has finished."));
}
