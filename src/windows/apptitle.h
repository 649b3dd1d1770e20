// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The title of the windows' message boxes: the program's name, as the main window shows it.
inline const QString AppTitle = QStringLiteral("Merrow Editor");
