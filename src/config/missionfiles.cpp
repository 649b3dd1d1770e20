// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionfiles.h"

#include "nativefile.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <memory>

namespace config {

namespace {

class FolderCache
{
public:
    explicit FolderCache(const QString &folder) : m_folder(folder.isEmpty() ? u"."_qs : folder) {}

    bool exists(const QString &path)
    {
        QString relative = path;
        relative.replace(u'\\', u'/');
        if (relative.startsWith(u'/') || (relative.size() >= 2 && relative[1] == u':'))
            return false;
        // Resolved inside the folder first: a name that leads out of it is not looked for, so
        // that the answer never tells what is outside.
        QStringList parts;
        for (const QString &part : relative.split(u'/', Qt::SkipEmptyParts)) {
            if (part == u".")
                continue;
            if (part == u"..") {
                if (parts.isEmpty())
                    return false;
                parts.removeLast();
                continue;
            }
            parts.append(part);
        }
        QString found = m_folder;
        for (const QString &part : std::as_const(parts)) {
            found = entry(found, part);
            if (found.isEmpty())
                return false;
        }
        NativeFile::Status st;
        int error = 0;
        return NativeFile::status(found, &st, &error);
    }

private:
    // The name in `folder` that matches `name`: the exact name first, as the game's file system
    // would answer it, then one differing in case.
    QString entry(const QString &folder, const QString &name)
    {
        const QString exact = folder + u'/' + name;
        NativeFile::Status st;
        int error = 0;
        if (NativeFile::status(exact, &st, &error))
            return exact;
        auto it = m_listings.find(folder);
        if (it == m_listings.end()) {
            QHash<QString, QString> names;
            const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                               QDir::System | QDir::NoDotAndDotDot);
            for (const QString &e : entries)
                names.insert(e.toCaseFolded(), e);
            it = m_listings.insert(folder, names);
        }
        const auto match = it->constFind(name.toCaseFolded());
        return match == it->cend() ? QString() : folder + u'/' + *match;
    }

    QString m_folder;
    QHash<QString, QHash<QString, QString>> m_listings;
};

} // namespace

std::function<bool(const QString &path)> missionFileLookup(const QString &folder)
{
    auto cache = std::make_shared<FolderCache>(folder);
    return [cache](const QString &path) { return cache->exists(path); };
}

MissionFolder MissionFolder::of(const QString &path, const CheckLimits &limits)
{
    MissionFolder folder;
    folder.path = QFileInfo(path).path();
    folder.canonical = QFileInfo(folder.path).canonicalFilePath();
    folder.bytesLeft = folder.totalBytes = limits.includedBytes;
    folder.filesLeft = limits.includedFiles;
    folder.fileBytes = limits.fileBytes;
    return folder;
}

bool MissionFolder::contains(const QString &file) const
{
    const QString real = QFileInfo(file).canonicalFilePath();
    return !real.isEmpty() && !canonical.isEmpty() &&
           (canonical == u"/" ? real.startsWith(u'/') : real.startsWith(canonical + u'/'));
}

QString entryInFolder(const QString &folder, const QString &name)
{
    const QString exact = folder + u'/' + name;
#ifndef Q_OS_WIN
    // On Windows the exact name answers for any case; the listing gives the name as it is.
    if (NativeFile::entryExists(exact))
        return exact;
#endif
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    }
    return {};
}

IncludedFile loadInclude(MissionFolder &folder, const QString &path, const QString &fromFile)
{
    IncludedFile result;
    QString relative = path;
    relative.replace(u'\\', u'/');
    const bool absolute = relative.startsWith(u'/') ||
                          (relative.size() >= 2 && relative[1] == u':' && relative[0].isLetter());
    // Both made absolute: relativeFilePath() hands a relative name back unchanged.
    const QString fromFolder = QDir(QFileInfo(folder.path).absoluteFilePath())
                                   .relativeFilePath(QFileInfo(fromFile).absolutePath());
    const QString inFolder = QDir::cleanPath(
        fromFolder.isEmpty() || fromFolder == u"." ? relative : fromFolder + u'/' + relative);
    if (absolute || inFolder == u".." || inFolder.startsWith(u"../")) {
        result.problem = QStringLiteral("is outside the mission folder; only files inside it are "
                                        "read");
        return result;
    }
    QString found = folder.path;
    for (const QString &part : inFolder.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        found = entryInFolder(found, part);
        if (found.isEmpty())
            return result; // not found: a warning
    }
    found = QDir::cleanPath(found);
    if (!folder.contains(found)) {
        if (QFileInfo(found).canonicalFilePath().isEmpty())
            return result; // a link to nothing
        result.problem = QStringLiteral("leads outside the mission folder; only files inside it "
                                        "are read");
        return result;
    }
    if (folder.filesLeft <= 0) {
        result.problem = QStringLiteral("is not read: the includes have reached their limit of "
                                        "files");
        return result;
    }
    const Result<FileText, ReadFailure> text =
        readTextFile(found, std::min(folder.fileBytes, folder.bytesLeft));
    if (!text) {
        result.problem = text.why().problem;
        if (text.why().tooLarge >= 0 && text.why().tooLarge <= folder.fileBytes) {
            result.problem = QStringLiteral("is not read: the included files together would be "
                                            "more than the %1 the check reads")
                                 .arg(limitText(folder.totalBytes));
        }
        return result;
    }
    --folder.filesLeft;
    folder.bytesLeft -= text->bytes;
    result.found = true;
    result.name = found;
    result.text = text->text;
    return result;
}

std::function<IncludedFile(const QString &, const QString &)>
missionIncludeLoader(const QString &path, const CheckLimits &limits)
{
    auto folder = std::make_shared<MissionFolder>(MissionFolder::of(path, limits));
    return [folder](const QString &include, const QString &fromFile) {
        return loadInclude(*folder, include, fromFile);
    };
}

} // namespace config
