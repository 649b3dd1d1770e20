// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Builds an expected text from its lines: every line followed by CR LF, as the editor
// writes them. Golden tests spell out whole files this way.
QString crlfLines(const QStringList &lines);

// `count` empty lines, for runs of group separators.
QStringList emptyLines(int count);

// The bytes of a file under tests/data. "startstate.ext" is the file saved from the start
// state: the generated text followed by the one CR LF that saving adds.
QByteArray testData(const QString &name);
// The path of a file or folder under tests/data, for tests that read it as the program does.
QString testDataPath(const QString &name);
