// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// Replacing a file so that, whatever fails, the old file stays as it was: the bytes go to a
// temporary file in the same folder, every write and the flush to the disk are checked, and
// only a complete copy is renamed over the old one. The new file keeps the old one's
// permissions, owner and user attributes. A file with more than one name is written in place
// instead, so that all its names see the new text, after a backup copy that stays until the
// new text is on the disk.
namespace FileOutput {

// Failures the tests cannot get from a real file system on demand. Zero or negative: none.
struct Faults
{
    int fsyncError = 0;            // every fsync of a file answers this errno
    int attributeError = 0;        // setting an extended attribute answers this errno
    qint64 inPlaceWriteLimit = -1; // in-place writes end with ENOSPC at this offset
    bool noUnnamedFiles = false;   // the file system cannot make O_TMPFILE files
};

// What a save that went through has to say: what the new file could not keep of the old one
// (its extended attributes), or nothing.
struct Saved
{
    QString warning;
};

// Writes `bytes` to `path`. On failure leaves no temporary file behind and says why in words a
// user can read (such as "No space left on device"). `faults`, from the tests, makes the
// system's answers fail as a failing disk would.
config::Result<Saved> replaceFile(const QString &path, const QByteArray &bytes,
                                  const Faults *faults = nullptr);

} // namespace FileOutput
