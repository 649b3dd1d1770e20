// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runsettings.h"

#include <QSettings>
#include <QTemporaryDir>

namespace RunSettings {

void keepWithinRun()
{
    static QTemporaryDir folder;
    const QString path = folder.isValid() ? folder.path() : QStringLiteral("/nonexistent");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path);
}

} // namespace RunSettings
