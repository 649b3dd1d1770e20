#pragma once

#include <QString>

// The title of the windows' message boxes: the program's name, as the main window shows it.
inline const QString AppTitle = QStringLiteral("Merrow Editor");
