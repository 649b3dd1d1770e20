// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionfiles.h"

#include "nativefile.h"

#include <QDir>
#include <QFile>
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

} // namespace config
