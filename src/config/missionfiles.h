// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "configreader.h"

#include <QString>

#include <functional>

namespace config {

// A lookup for ReadOptions::fileExists: whether `path` (as a description file writes it, with
// backslashes, relative to `folder`) names a file or folder there. Names are compared without
// regard to case, as the game's file system compares them, and each folder is listed at most
// once however many names are looked up.
std::function<bool(const QString &path)> missionFileLookup(const QString &folder);

// What is read at most for one description file. A file larger than `fileBytes` is not read;
// the includes of one file share `includedBytes` and `includedFiles`, so that files that include
// each other many times over still end soon, in bounded memory.
struct CheckLimits
{
    qint64 fileBytes = 50 * 1024 * 1024;
    qint64 includedBytes = 128 * 1024 * 1024;
    int includedFiles = 10'000;
};

// The folder of one description file, where its includes are looked for, and what they may
// still take of the budgets.
struct MissionFolder
{
    QString path;      // as the file's name gives it, so that names print alike
    QString canonical; // with links resolved, to tell a link that points out of the folder
    qint64 bytesLeft = 0;
    int filesLeft = 0;
    qint64 fileBytes = 0;
    qint64 totalBytes = 0;

    // The folder of the description file at `path`, with the budgets of `limits`.
    static MissionFolder of(const QString &path, const CheckLimits &limits);
    bool contains(const QString &file) const;
};

// The name in `folder` that matches `name` without regard to case: the exact name first, as
// the game's file system would answer it. Empty when there is none.
QString entryInFolder(const QString &folder, const QString &name);

// Finds an #include as the game does: relative to the including file, inside the mission
// folder only, without regard to case (#include paths are written with backslashes, as the
// game's own paths are), and reads it with readTextFile() within the folder's budgets.
IncludedFile loadInclude(MissionFolder &folder, const QString &path, const QString &fromFile);

// An include loader for ReadOptions over the folder of the file at `path`, sharing the budgets
// of `limits` among all the includes it is asked for: --check and opening read includes alike.
std::function<IncludedFile(const QString &path, const QString &fromFile)>
missionIncludeLoader(const QString &path, const CheckLimits &limits = {});

} // namespace config
