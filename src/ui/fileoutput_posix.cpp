// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fileoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace FileOutput {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString tr(const char *text)
{
    return QCoreApplication::translate("FileOutput", text);
}

// Temporary files are hidden, beside the target (so that the rename stays on one file system)
// and carry a marker that the sweep of stale ones recognises: ".NAME.merrow~XXXXXX". A target
// whose name is already near the file-system limit gets the short ".merrow~XXXXXX" instead.
// Backups of in-place writes carry another marker, so that a backup left by a crash is never
// swept away.
constexpr char TemporaryMarker[] = "merrow~";
constexpr char BackupMarker[] = "merrow-backup~";
constexpr int RandomLength = 6;

// The name of a temporary or backup file for `target`, without its random ending.
QByteArray hiddenPrefix(const QFileInfo &target, const char *marker)
{
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    QByteArray name = '.' + QFile::encodeName(target.fileName()) + '.' + marker;
    if (name.size() + RandomLength > NAME_MAX)
        name = QByteArray(".") + marker;
    return folder + '/' + name;
}

QByteArray randomEnding()
{
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray ending(RandomLength, Qt::Uninitialized);
    for (char &c : ending)
        c = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    return ending;
}

// The mode a newly created file gets from the user's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes all of `bytes` from `offset`; with a limit, a write reaching it fails as on a full
// disk.
bool writeAll(int fd, const QByteArray &bytes, int *error, qint64 limit = -1)
{
    const char *at = bytes.constData();
    qint64 left = bytes.size();
    qint64 offset = 0;
    while (left > 0) {
        qint64 chunk = left;
        if (limit >= 0 && offset + chunk > limit)
            chunk = limit - offset;
        if (chunk <= 0) {
            *error = ENOSPC;
            return false;
        }
        const ssize_t n = ::pwrite(fd, at, size_t(chunk), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (n == 0) {
            *error = ENOSPC;
            return false;
        }
        at += n;
        offset += n;
        left -= n;
    }
    return true;
}

// Flushes a file to the disk; 0 or the errno. A file system that cannot sync a file at all
// (it answers EINVAL or ENOTSUP) has nothing more to do, so that counts as done.
int syncFile(int fd, const Faults *faults)
{
    int result = 0;
    if (faults && faults->fsyncError > 0) {
        errno = faults->fsyncError;
        result = -1;
    } else {
        result = ::fsync(fd);
    }
    if (result == 0 || errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP)
        return 0;
    return errno;
}

// Opens the folder and flushes its entries, so that the rename survives a crash too. Some
// file systems cannot do this; the file itself is already on the disk then.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `fileName` has the form of this writer's temporary files.
bool isTemporaryName(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\.(.*\\.)?%1[A-Za-z0-9]{%2}$")
            .arg(QRegularExpression::escape(QLatin1String(TemporaryMarker)))
            .arg(RandomLength),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(fileName).hasMatch();
}

// A save killed half way leaves its named temporary file behind. Every writer holds a lock on
// its temporary file while it works, and the lock goes with the process, so a temporary that
// can be locked belongs to no running save and can go.
void removeStaleTemporaries(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isTemporaryName(QFile::decodeName(entry->d_name)))
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened
        {
        }, named{};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(opened, named))
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Copies the user's extended attributes of `from` to the open file, as `cp --preserve=xattr`
// does. Returns 0 or the errno of the first that could not be set; a file system without
// attributes on the old file means there is nothing to copy.
int copyUserAttributes(const QByteArray &from, int to, QStringList *failed, const Faults *faults)
{
    QByteArray names;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
        if (size <= 0)
            return 0;
        names.resize(size);
        const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(size));
        if (got >= 0) {
            names.resize(got);
            break;
        }
        if (errno != ERANGE)
            return 0;
        names.clear();
    }
    int firstError = 0;
    for (const QByteArray &name : names.split('\0')) {
        if (!name.startsWith("user."))
            continue;
        const ssize_t size = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            continue;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got =
            ::getxattr(from.constData(), name.constData(), value.data(), size_t(size));
        if (got < 0)
            continue;
        int error = 0;
        if (faults && faults->attributeError > 0)
            error = faults->attributeError;
        else if (::fsetxattr(to, name.constData(), value.constData(), size_t(got), 0) != 0)
            error = errno;
        if (error) {
            failed->append(QString::fromUtf8(name));
            if (!firstError)
                firstError = error;
        }
    }
    return firstError;
}

// A new file in the folder with no name yet, or -1 with errno set. Such a file cannot be left
// behind by a crash; it gets its name only once it is complete.
int openUnnamed(const QByteArray &folder, const Faults *faults)
{
    if (faults && faults->noUnnamedFiles) {
        errno = EOPNOTSUPP;
        return -1;
    }
    // The name is given through /proc; without it the file could never be named.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

// Gives the unnamed file `fd` the name `name`.
bool linkUnnamed(int fd, const QByteArray &name)
{
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

// Links the unnamed file under a hidden temporary name; the name is put in `name`.
bool linkHidden(int fd, const QByteArray &prefix, QByteArray *name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = prefix + randomEnding();
        if (linkUnnamed(fd, *name))
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// A named temporary file, locked against the sweep of stale ones; -1 with errno set.
int openNamed(const QByteArray &prefix, QByteArray *name)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        *name = prefix + "XXXXXX";
        const int fd = ::mkostemp(name->data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat opened
        {
        }, named{};
        // Another save's sweep may have taken it between its making and its locking.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &opened) == 0 &&
            ::stat(name->constData(), &named) == 0 && sameFile(opened, named))
            return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

QByteArray readWhole(const QByteArray &path, int *error)
{
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = EACCES;
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        *error = EIO;
    return bytes;
}

// A file with more than one name is rewritten in place, so that every name sees the new text.
// Its old text goes to a backup file first, which stays until the new text is on the disk; a
// write that fails half way puts the old text back, and if even that fails the backup is kept
// and named.
bool writeInPlace(const QFileInfo &target, const QByteArray &targetName, const QByteArray &bytes,
                  QString *reason, const Faults *faults)
{
    int e = 0;
    const QByteArray old = readWhole(targetName, &e);
    if (e) {
        *reason = systemReason(e);
        return false;
    }

    QByteArray backup;
    const int backupFd = openNamed(hiddenPrefix(target, BackupMarker), &backup);
    if (backupFd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    bool backedUp = writeAll(backupFd, old, &e) && (e = syncFile(backupFd, faults)) == 0;
    if (::close(backupFd) != 0 && backedUp) {
        e = errno;
        backedUp = false;
    }
    if (!backedUp) {
        ::unlink(backup.constData());
        *reason = systemReason(e);
        return false;
    }
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    syncFolder(folder);

    const int fd = ::open(targetName.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        e = errno;
        ::unlink(backup.constData());
        *reason = systemReason(e);
        return false;
    }
    // Room for the new text is asked for first, so that a full disk usually shows before
    // anything of the old text is overwritten.
    if (bytes.size() > old.size() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
        errno == ENOSPC) {
        ::close(fd);
        ::unlink(backup.constData());
        *reason = systemReason(ENOSPC);
        return false;
    }
    const qint64 limit = faults ? faults->inPlaceWriteLimit : -1;
    bool written = writeAll(fd, bytes, &e, limit);
    if (written && ::ftruncate(fd, bytes.size()) != 0) {
        e = errno;
        written = false;
    }
    if (written)
        written = (e = syncFile(fd, faults)) == 0;
    if (!written) {
        int restoreError = 0;
        const bool restored = writeAll(fd, old, &restoreError, limit) &&
                              ::ftruncate(fd, old.size()) == 0 && syncFile(fd, faults) == 0;
        ::close(fd);
        *reason = systemReason(e);
        if (restored)
            ::unlink(backup.constData());
        else
            *reason += QLatin1String("\n\n") +
                       tr("The file's old text is kept in %1.")
                           .arg(QDir::toNativeSeparators(QFile::decodeName(backup)));
        return false;
    }
    if (::close(fd) != 0) {
        // The text was synced already; a late report cannot undo it.
    }
    ::unlink(backup.constData());
    syncFolder(folder);
    return true;
}

} // namespace

config::Result<Saved> replaceFile(const QString &path, const QByteArray &bytes,
                                  const Faults *faults)
{
    auto fail = [](const QString &reason) { return config::Result<Saved>::failure(reason); };

    QFileInfo target(path);
    // A link stays a link: the file it points to is the one replaced.
    if (target.isSymLink()) {
        const QString resolved = target.canonicalFilePath();
        if (!resolved.isEmpty())
            target = QFileInfo(resolved);
    }
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(target.absolutePath());

    struct stat old
    {
    };
    const bool replacing = ::stat(targetName.constData(), &old) == 0;
    if (replacing) {
        if (S_ISDIR(old.st_mode))
            return fail(systemReason(EISDIR));
        if (!S_ISREG(old.st_mode))
            return fail(tr("It is not a regular file."));
        if (::access(targetName.constData(), W_OK) != 0)
            return fail(tr("The file is not writable: %1").arg(systemReason(errno)));
    }

    removeStaleTemporaries(folder);

    if (replacing && old.st_nlink > 1) {
        QString reason;
        if (!writeInPlace(target, targetName, bytes, &reason, faults))
            return fail(reason);
        return Saved{};
    }

    const QByteArray prefix = hiddenPrefix(target, TemporaryMarker);
    QByteArray temporary; // empty while the file has no name
    int fd = openUnnamed(folder, faults);
    if (fd >= 0) {
        ::flock(fd, LOCK_EX);
    } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        fd = openNamed(prefix, &temporary);
    }
    if (fd < 0) {
        const int e = errno;
        if (e == EROFS)
            return fail(tr("The folder is not writable: %1").arg(systemReason(e)));
        return fail(systemReason(e));
    }

    int e = 0;
    bool written = writeAll(fd, bytes, &e);
    // A file system without Unix modes (FAT on a USB stick, many shared folders) cannot keep
    // them, and says so; the text is saved no less.
    if (written && ::fchmod(fd, replacing ? old.st_mode & 07777 : newFileMode()) != 0 &&
        errno != ENOSYS && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) {
        e = errno;
        written = false;
    }
    auto discard = [&] {
        ::close(fd);
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
    };
    if (written && replacing) {
        struct stat made
        {
        };
        if (::fstat(fd, &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            const int chownError = errno;
            discard();
            return fail(tr("The file's owner and group could not be kept: %1")
                            .arg(systemReason(chownError)));
        }
    }
    QString attributeWarning;
    if (written && replacing) {
        QStringList failed;
        if (const int attributeError = copyUserAttributes(targetName, fd, &failed, faults))
            attributeWarning =
                tr("Its extended attributes (%1) could not be kept: %2")
                    .arg(failed.join(QLatin1String(", ")), systemReason(attributeError));
    }
    // Some file systems report a full disk or a failing device only when the data is flushed.
    if (written)
        written = (e = syncFile(fd, faults)) == 0;

    // The complete file gets its name: straight the target's when there is none yet, else a
    // hidden one that is renamed over the target.
    bool named = false;
    if (written && temporary.isEmpty()) {
        if (!replacing && linkUnnamed(fd, targetName)) {
            named = true;
        } else if (!linkHidden(fd, prefix, &temporary)) {
            e = errno;
            written = false;
        }
    }
    // A late error of the file system shows when the file is closed; a second descriptor
    // keeps the lock, so that the sweep of another save leaves the temporary alone until
    // the rename.
    const int lockKeeper = ::dup(fd);
    if (::close(fd) != 0 && written) {
        e = errno;
        written = false;
        if (named)
            ::unlink(targetName.constData());
    }
    if (written && !named && ::rename(temporary.constData(), targetName.constData()) != 0) {
        e = errno;
        written = false;
    }
    if (lockKeeper >= 0)
        ::close(lockKeeper);
    if (!written) {
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        return fail(systemReason(e));
    }
    syncFolder(folder);
    return Saved{attributeWarning};
}

} // namespace FileOutput
