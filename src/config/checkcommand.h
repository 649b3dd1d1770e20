// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTextStream>

#include "configreader.h"
#include "missionfiles.h"

#include <functional>

namespace config {

// The --check command: reads each file, follows its #include lines relative to the including
// file and prints one line per problem in the form compilers use,
// "FILE:LINE:COLUMN: error: message [name]" or "...: warning: ... [name]", where the name in
// brackets is the problem's kind (diagnosticName). Each such line is followed by the source
// line and a caret under the column, both indented, and a problem in an included file is
// preceded by one "In file included from FILE:LINE:" line per #include that led to it,
// innermost first; editors and CI systems that read only the first form are not confused.
//
// Includes are read as the game finds them: inside the checked file's folder only, with names
// compared without regard to case, and only from regular files. A path starting with '\' names
// the game's or an addon's files and is not looked up (a warning says so). An include that
// cannot be found is a warning; one outside the folder, not a regular file or over a limit is
// an error.
//
// Identical messages after the fifth of a file are not printed; a note "N more like this"
// follows the fifth instead, without a source line. Control characters are printed escaped
// (TABs of a source line stay TABs) and a long source line is cut around the column. Past
// CheckOutput::maxDiagnostics errors and warnings the rest are only counted, and a last line
// says how many there were.

// How --check prints what it finds.
enum class CheckFormat {
    Gcc,    // the compilers' form above, with source lines and carets (the default)
    GitHub, // GitHub Actions workflow commands: "::error file=F,line=L,col=C,endColumn=E,
            // title=NAME::message", which a workflow run shows as annotations
    Json,   // one JSON document: {"diagnostics": [ one object a line ], "notShown": N}
    Sarif,  // SARIF 2.1.0, for code scanning
};

// "gcc", "github", "json" or "sarif"; false for any other name.
bool parseCheckFormat(QStringView name, CheckFormat *format);
// "gcc, github, json or sarif", for a message.
QString checkFormatNames();

struct CheckOutput
{
    CheckFormat format = CheckFormat::Gcc;
    // Errors and warnings printed at most, over all files (a note goes with the one it explains);
    // 0 for all of them. Past it the output says how many were not shown. The exit code does not
    // change.
    int maxDiagnostics = 100;
};

// Returns 0 when no file has errors, 1 when one has, 2 when a file cannot be read (missing,
// a folder, not a regular file, too large, unreadable); 2 wins over 1. Needs no display.
// `pedantic` adds the style notes: unquoted text, which the game reads without complaint.
int runCheck(const QStringList &paths, QTextStream &out, const CheckLimits &limits = {},
             bool pedantic = false, const CheckOutput &output = {});

} // namespace config
