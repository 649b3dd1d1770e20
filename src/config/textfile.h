// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "result.h"
#include "textcodec.h"

#include <QByteArray>
#include <QString>

namespace config {

// Why a file was not read.
enum class FileProblem {
    None,
    Missing,
    Folder,
    NotRegular,
    TooLarge,
    Failed, // the system refused to open or read it; `problem` says why
    OutOfMemory,
};

// Why a file was not read.
struct ReadFailure
{
    FileProblem kind = FileProblem::None;
    // The reason as --check prints it after the file name: "is a folder, not a file", ...
    QString problem;
    // The file's size when it was not read for being larger than the limit; -1 otherwise.
    qint64 tooLarge = -1;
};

// A description file's text as read from disk.
struct FileText
{
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    // Bytes of a UTF-8 file that were no UTF-8 and were read as Windows-1252.
    qsizetype invalidBytes = 0;
    // How many bytes were read.
    qint64 bytes = 0;
    // With `keepBytes`, the bytes as read where the text, encoded again, would not give them
    // back; null otherwise (plain UTF-8 is decoded as it is read and never held whole).
    QByteArray raw;
};

// The one reader of description files, for opening, --check and the includes of both. Reads
// a regular file of at most `maxBytes`. What is not a regular file is refused before it is
// opened (a FIFO would block open() and read() forever, a device never ends); the open itself
// does not wait either, and the type and size are checked again on what was opened, in case
// the name was swapped in between. Decoded as decodeText() decodes.
Result<FileText, ReadFailure> readTextFile(const QString &path, qint64 maxBytes,
                                           bool keepBytes = false);

// A limit as a message names it: "50 MiB (52428800 bytes)", or for the small limits of tests
// "1000 bytes".
QString limitText(qint64 bytes);

} // namespace config
