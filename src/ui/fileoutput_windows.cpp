// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Windows: the bytes go to a hidden temporary file beside the target, which is flushed and
// then put in the target's place by ReplaceFileW (which keeps the old file's security and
// streams) or, for a new file or where that cannot work, MoveFileExW. Either leaves the old
// file as it was when it fails. The old file's attributes (hidden, system, archive) are given
// back afterwards; a read-only file is refused, as the system refuses to write it.

#include "fileoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

namespace FileOutput {

namespace {

constexpr wchar_t TemporaryMarker[] = L"merrow~";
constexpr int RandomLength = 6;

QString tr(const char *text)
{
    return QCoreApplication::translate("FileOutput", text);
}

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

QString systemReason(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return tr("Another program has the file open. Close it there and save again.");
    default:
        return qt_error_string(int(error));
    }
}

std::wstring randomEnding()
{
    static constexpr wchar_t Letters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring ending(RandomLength, L'A');
    for (wchar_t &c : ending)
        c = Letters[QRandomGenerator::global()->bounded(int(std::size(Letters) - 1))];
    return ending;
}

// A save killed half way leaves its temporary file behind. A save at work holds its temporary
// open without sharing it, so the system refuses to delete that one; any other can go.
void removeStaleTemporaries(const QString &folder)
{
    WIN32_FIND_DATAW found;
    const std::wstring pattern = wide(folder + QStringLiteral("/.*merrow~*"));
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW((wide(folder) + L'\\' + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool writeAll(HANDLE file, const QByteArray &bytes, DWORD *error)
{
    const char *at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const DWORD chunk = DWORD(qMin<qint64>(left, 1 << 30));
        DWORD written = 0;
        if (!::WriteFile(file, at, chunk, &written, nullptr)) {
            *error = ::GetLastError();
            return false;
        }
        if (written == 0) {
            *error = ERROR_DISK_FULL;
            return false;
        }
        at += written;
        left -= written;
    }
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
    const std::wstring targetName = wide(target.absoluteFilePath());
    const QString folder = target.absolutePath();

    const DWORD oldAttributes = ::GetFileAttributesW(targetName.c_str());
    const bool replacing = oldAttributes != INVALID_FILE_ATTRIBUTES;
    if (replacing) {
        if (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return fail(tr("It is a folder."));
        if (oldAttributes & FILE_ATTRIBUTE_READONLY)
            return fail(tr("The file is not writable: %1").arg(systemReason(ERROR_ACCESS_DENIED)));
    }

    // A file another program holds without sharing it cannot be replaced; asking first keeps
    // the system's replace from failing half way (Wine's leaves a file of its own behind then).
    if (replacing) {
        HANDLE probe = ::CreateFileW(targetName.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return fail(systemReason(::GetLastError()));
        ::CloseHandle(probe);
    }

    removeStaleTemporaries(folder);

    // Hidden, as the temporary files of the other systems are by their leading dot.
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD e = 0;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = wide(folder) + L"\\." + target.fileName().toStdWString() + L'.' +
                    TemporaryMarker + randomEnding();
        if (temporary.size() >= MAX_PATH - 1)
            temporary = wide(folder) + L"\\." + TemporaryMarker + randomEnding();
        file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE && (e = ::GetLastError()) != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE)
        return fail(e == ERROR_ACCESS_DENIED || e == ERROR_WRITE_PROTECT
                        ? tr("The folder is not writable: %1").arg(systemReason(e))
                        : systemReason(e));

    bool written = writeAll(file, bytes, &e);
    // Some disks report a failing device only when the data is flushed.
    if (written && faults && faults->fsyncError > 0) {
        e = ERROR_WRITE_FAULT;
        written = false;
    }
    if (written && !::FlushFileBuffers(file)) {
        e = ::GetLastError();
        written = false;
    }
    ::CloseHandle(file);
    auto discard = [&](DWORD reason) {
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary.c_str());
        return fail(systemReason(reason));
    };
    if (!written)
        return discard(e);

    bool moved = false;
    if (replacing) {
        // Keeps the old file's security, streams and creation time; when it fails, both
        // files keep their names (no backup name is given), so the old one is untouched.
        moved = ::ReplaceFileW(targetName.c_str(), temporary.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                               nullptr, nullptr);
        if (!moved) {
            e = ::GetLastError();
            // Some network shares and other file systems cannot replace; a plain rename over
            // the old file is still all or nothing.
            if (e != ERROR_SHARING_VIOLATION && e != ERROR_LOCK_VIOLATION &&
                e != ERROR_USER_MAPPED_FILE && e != ERROR_ACCESS_DENIED)
                moved = ::MoveFileExW(temporary.c_str(), targetName.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
    } else {
        moved = ::MoveFileExW(temporary.c_str(), targetName.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!moved) {
        if (e == 0)
            e = ::GetLastError();
        return discard(e);
    }
    // The old file's attributes, or a plain new file's.
    const DWORD keep = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = replacing ? (oldAttributes & keep) : FILE_ATTRIBUTE_ARCHIVE;
    if (!::SetFileAttributesW(targetName.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
        return Saved{
            tr("Its attributes could not be kept: %1").arg(systemReason(::GetLastError()))};
    return Saved{};
}

} // namespace FileOutput
