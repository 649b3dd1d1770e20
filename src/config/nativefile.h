// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

// The few file-system calls the reader needs below QFile: a look at a name's type and size
// that opens nothing, and an open that cannot block (a FIFO) and reads bytes unchanged. Names
// are QStrings, so that a name in any script reaches the system as the user wrote it (wide
// calls on Windows, the locale's encoding elsewhere).
namespace config::NativeFile {

struct Status
{
    bool isFolder = false;
    bool isRegular = false;
    qint64 size = 0;
};

// The type and size of what `path` names (links followed); false with `*error` (an errno
// value) when there is nothing there or it cannot be looked at.
bool status(const QString &path, Status *status, int *error);
// Whether `path` names an entry, a dangling link included.
bool entryExists(const QString &path);

// A descriptor for reading `path` in binary, not inherited by child processes; -1 with
// `*error` set.
int openForReading(const QString &path, int *error);
bool status(int fd, Status *status, int *error);
// What read() returns: the count, 0 at the end, -1 with `*error` set.
qint64 read(int fd, char *into, qint64 size, int *error);
bool rewind(int fd, int *error);
void close(int fd);

} // namespace config::NativeFile
