// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdlib>

namespace RunSettings {

namespace {

// The run's folder, removed with what the run wrote into it when the program ends.
struct Folder
{
    QString path;
    ~Folder()
    {
        if (!path.isEmpty())
            QDir(path).removeRecursively();
    }
};

} // namespace

void keepWithinRun()
{
    // mkdtemp() names the folder from the C library's randomness and makes it as private
    // (0700) as QTemporaryDir does; QTemporaryDir first seeds the toolkit's global random
    // generator from the processor, hundreds of slow RDSEED instructions in a virtual machine.
    static const Folder folder = [] {
        QByteArray pattern =
            QFile::encodeName(QDir::tempPath() + u'/' + QCoreApplication::applicationName() +
                              QStringLiteral("-XXXXXX"));
        return Folder{::mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString()};
    }();
    const QString path = folder.path.isEmpty() ? QStringLiteral("/nonexistent") : folder.path;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path);
}

} // namespace RunSettings
