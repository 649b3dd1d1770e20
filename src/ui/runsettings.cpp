// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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
        const QString pattern = QDir::tempPath() + u'/' + QCoreApplication::applicationName() +
                                QStringLiteral("-XXXXXX");
#ifdef Q_OS_WIN
        // Windows has no mkdtemp(); the user's own temporary folder is private already.
        QTemporaryDir made(pattern);
        made.setAutoRemove(false);
        return Folder{made.isValid() ? made.path() : QString()};
#else
        QByteArray name = QFile::encodeName(pattern);
        return Folder{::mkdtemp(name.data()) ? QFile::decodeName(name) : QString()};
#endif
    }();
    const QString path = folder.path.isEmpty() ? QStringLiteral("/nonexistent") : folder.path;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path);
#ifdef Q_OS_WIN
    // The native format there is the registry, which no path redirects; the toolkit's own
    // settings (the file dialog's) use the default format, so they go to the run's folder too.
    QSettings::setDefaultFormat(QSettings::IniFormat);
#endif
}

} // namespace RunSettings
