#include "fileoutput.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

// The temporary file's name: hidden and beside the target, so that the rename stays on one
// file system. A target whose name is already near the file-system limit gets a short name
// instead, since the usual suffix would make the temporary name too long to create.
QByteArray temporaryTemplate(const QFileInfo &target)
{
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    QByteArray name = '.' + QFile::encodeName(target.fileName()) + ".XXXXXX";
    if (name.size() > NAME_MAX)
        name = QByteArrayLiteral(".merrow-save.XXXXXX");
    return folder + '/' + name;
}

// The mode a newly created file gets from the user's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray &bytes, int *error)
{
    const char *at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
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
        left -= n;
    }
    return true;
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

} // namespace

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };

    QFileInfo target(path);
    // A link stays a link: the file it points to is the one replaced.
    if (target.isSymLink()) {
        const QString resolved = target.canonicalFilePath();
        if (!resolved.isEmpty())
            target = QFileInfo(resolved);
    }
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());

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

    QByteArray temporary = temporaryTemplate(target);
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == EROFS)
            return fail(tr("The folder is not writable: %1").arg(systemReason(e)));
        return fail(systemReason(e));
    }

    int e = 0;
    bool written = writeAll(fd, bytes, &e);
    if (written && ::fchmod(fd, replacing ? old.st_mode & 07777 : newFileMode()) != 0) {
        e = errno;
        written = false;
    }
    if (written && replacing) {
        struct stat made
        {
        };
        if (::fstat(fd, &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            const int chownError = errno;
            ::close(fd);
            ::unlink(temporary.constData());
            return fail(tr("The file's owner and group could not be kept: %1")
                            .arg(systemReason(chownError)));
        }
    }
    // Some file systems report a full disk or a failing device only when the data is flushed.
    if (written && ::fsync(fd) != 0) {
        e = errno;
        written = false;
    }
    if (::close(fd) != 0 && written) {
        e = errno;
        written = false;
    }
    if (written && ::rename(temporary.constData(), targetName.constData()) != 0) {
        e = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporary.constData());
        return fail(systemReason(e));
    }
    syncFolder(QFile::encodeName(target.absolutePath()));
    return true;
}

} // namespace FileOutput
