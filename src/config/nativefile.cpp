// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "nativefile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace config::NativeFile {

namespace {

#ifdef Q_OS_WIN
using StatBuffer = struct _stat64;
const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}
#else
using StatBuffer = struct stat;
#endif

void fill(const StatBuffer &st, Status *status)
{
    status->isFolder = S_ISDIR(st.st_mode);
    status->isRegular = S_ISREG(st.st_mode);
    status->size = qint64(st.st_size);
}

} // namespace

bool status(const QString &path, Status *status, int *error)
{
    StatBuffer st{};
#ifdef Q_OS_WIN
    const int result = ::_wstat64(wide(path), &st);
#else
    const int result = ::stat(QFile::encodeName(path).constData(), &st);
#endif
    if (result != 0) {
        *error = errno;
        return false;
    }
    fill(st, status);
    return true;
}

bool entryExists(const QString &path)
{
#ifdef Q_OS_WIN
    // Windows has no dangling links that _wstat64 would miss but for reparse points, which
    // the game's packed missions cannot hold anyway.
    StatBuffer st{};
    return ::_wstat64(wide(path), &st) == 0;
#else
    StatBuffer st{};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
#endif
}

int openForReading(const QString &path, int *error)
{
#ifdef Q_OS_WIN
    // Binary: the C library would otherwise turn every CR LF into LF.
    const int fd = ::_wopen(wide(path), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
    // O_NONBLOCK: a FIFO swapped in for the file after the look at its type cannot hold the
    // open; O_NOCTTY: a terminal never becomes the controlling one.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
#endif
    if (fd < 0)
        *error = errno;
    return fd;
}

bool status(int fd, Status *status, int *error)
{
    StatBuffer st{};
#ifdef Q_OS_WIN
    const int result = ::_fstat64(fd, &st);
#else
    const int result = ::fstat(fd, &st);
#endif
    if (result != 0) {
        *error = errno;
        return false;
    }
    fill(st, status);
    return true;
}

qint64 read(int fd, char *into, qint64 size, int *error)
{
    for (;;) {
#ifdef Q_OS_WIN
        const qint64 n = ::_read(fd, into, unsigned(qMin<qint64>(size, 1 << 30)));
#else
        const qint64 n = ::read(fd, into, size_t(size));
#endif
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            *error = errno;
        return n;
    }
}

bool rewind(int fd, int *error)
{
#ifdef Q_OS_WIN
    const bool done = ::_lseeki64(fd, 0, SEEK_SET) == 0;
#else
    const bool done = ::lseek(fd, 0, SEEK_SET) == 0;
#endif
    if (!done)
        *error = errno;
    return done;
}

void close(int fd)
{
#ifdef Q_OS_WIN
    ::_close(fd);
#else
    ::close(fd);
#endif
}

} // namespace config::NativeFile
