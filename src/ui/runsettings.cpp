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
