#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace config {

// The --check command: reads each file, follows its #include lines relative to the including
// file (an include that cannot be found is a warning) and prints one line per problem in the
// form compilers use, "FILE:LINE:COLUMN: error: message" or "...: warning: ...".
// Returns 0 when no file has errors, 1 when one has, 2 when a file cannot be read (missing,
// a folder, unreadable); 2 wins over 1. Needs no display.
int runCheck(const QStringList &paths, QTextStream &out);

// The text of a description file's bytes, decoded as decodeText() does.
QString decodeDescriptionBytes(const QByteArray &bytes);

} // namespace config
