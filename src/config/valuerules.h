// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Applies the value rules of knownkeys.cpp to entries as the parser completes them. Internal to
// the reader.

#include "configreader.h"

#include <functional>
#include <vector>

namespace config::detail {

// A class the parser is inside, outermost first, with its `file` value once one was read (the
// folder of a CfgFunctions category).
struct ClassFrame
{
    QString name;
    QString file;
};

struct RuleSink
{
    // `where` is a span of the file being read.
    std::function<void(const SourceSpan &where, Severity, DiagnosticKind, const QString &message)>
        report;
    // Whether `word` may be a macro of an include that was not found; the reader then notes that
    // once, and the rule says nothing.
    std::function<bool(const SourceSpan &where, QStringView word)> fromMissingInclude;
    // ReadOptions::fileExists; without it no file is looked for.
    std::function<bool(const QString &path)> fileExists;
};

// A value or an array just read, inside `classes`: the rules about its own value.
void checkValue(const Entry &e, const std::vector<ClassFrame> &classes, const RuleSink &sink);

// Whether checkClass() compares the statements of the class that `classes` ends with (its
// path, outermost first): only then must a reader that keeps no tree hold them until it closes.
bool classRulesNeedStatements(const std::vector<ClassFrame> &classes);

// A class just read, inside `classes` (not including itself), with all its children at hand:
// the rules that compare its children with each other, and the default file of a function.
void checkClass(const Entry &cls, const std::vector<ClassFrame> &classes, const RuleSink &sink);

} // namespace config::detail
