// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Reading a description file's bytes for opening: the checks that keep folders, devices,
// huge and binary files out, and the decoding.

#include "result.h"
#include "textcodec.h"

#include <QByteArray>
#include <QString>

// Larger files are refused: nobody writes a description that long, and reading one would tie
// up the editor for a long time.
inline constexpr qint64 MaxDescriptionFileBytes = 50 * 1024 * 1024;

// The text of a file. When it cannot be opened, the reason is one sentence naming the file,
// e.g. "“mission.ext” does not exist."
struct DescriptionText
{
    // The bytes as read, or null where the text encoded again gives them back (a file read from
    // disk as plain UTF-8 is decoded as it is read and never held whole).
    QByteArray bytes;
    QString text;
    config::TextEncoding encoding = config::TextEncoding::Utf8;
    // Bytes of a UTF-8 file that were no UTF-8 and were read as Windows-1252.
    qsizetype invalidBytes = 0;
};

// Reads a file for opening. A missing file, a folder, something that is not a regular file, a
// file that cannot be read, one over MaxDescriptionFileBytes, an empty file, a binary file and
// a file that keeps changing while it is read give an error and no text.
config::Result<DescriptionText> readDescriptionFile(const QString &path);
// The same checks and decoding for bytes already in memory (a drop, a test); `displayName`
// names them in the error.
config::Result<DescriptionText> decodeDescriptionFile(const QByteArray &bytes,
                                                      const QString &displayName);
// Bytes the editor itself wrote in `encoding`: no guessing, no checks.
DescriptionText savedDescriptionFile(const QByteArray &bytes, config::TextEncoding encoding);

// “name”, as messages quote file names.
QString quotedFileName(const QString &name);
