// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The reader of description files: text in, a tree of entries with exact source positions and
// a list of diagnostics out. It never fails: any text, however broken, gives a result, and the
// time it takes grows linearly with the text.
//
// The tree is meant both for checking and for taking a file apart again (opening a file into
// the form), so every entry keeps the span of source text it came from, comments and
// preprocessor lines are entries of their own in source order, and text the reader could not
// make sense of is kept as an Invalid or Skipped entry instead of being dropped.

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace config {

// A place in the text. Lines and columns are 1-based and count QChars, as the editor shows
// them; CR LF, LF, CR and the line and paragraph separators each end one line.
struct SourcePos
{
    qsizetype offset = 0;
    int line = 1;
    int column = 1;
};

// [start, end): `end` is just past the last character.
struct SourceSpan
{
    SourcePos start;
    SourcePos end;
    qsizetype length() const { return end.offset - start.offset; }
};

// A note is never a problem of its own: it follows the error or warning it explains (where
// a class was opened, where a name may have come from) and is not counted.
enum class Severity { Error, Warning, Note };

// What kind of problem a diagnostic is. Each kind has a stable short name (diagnosticName),
// which --check prints and a user may search for.
enum class DiagnosticKind {
    Syntax,              // the text cannot be read as the format: expected one thing, found another
    MissingSemicolon,    // ';' missing after a value, an array or a class
    UnclosedBlock,       // a class or array without its '}'
    UnterminatedString,  // a string without its closing quote on its line
    UnterminatedComment, // a block comment without "*/"
    Directive,           // a preprocessor line that cannot be read
    IfCondition,         // #if without a number or a macro holding one
    IncludeNotFound,     // an #include whose file is not there
    IncludeAddon,        // an #include of the game's or an addon's file ('\...'), not read here
    IncludeRefused,      // an #include that is not read: outside the folder, not a file, too large
    IncludeCycle,        // an #include of a file that is already being read
    IncludeDepth,        // #include nested too deep
    MacroArguments,      // a macro invocation with unclosed or the wrong number of arguments
    MacroBudget,         // macros that expand to far more text than the file holds
    MacroDepth,          // macros nested too deep
    NestingDepth,        // classes and arrays nested too deep
    DuplicateName,       // a name set twice in one class
    UnknownKey,          // a top-level key close to a known one
    EmptyValue,          // "key = ;"
    UnquotedText,        // text where a string in quotes is meant (a style note)
    // The values the game's documentation allows (the rules are in knownkeys.cpp):
    RespawnValue,       // respawn that is neither 0 to 5 nor one of the six names
    NumberExpected,     // a delay or a player count that is not a number
    GameType,           // a gameType the game does not know
    PlayerCount,        // minPlayers above maxPlayers
    ParamsDefault,      // a Params default that is not among its values[]
    ParamsTexts,        // texts[] and values[] of a Params class of different lengths
    SoundClass,         // a name in CfgSounds' sounds[] without a class of its own
    RemoteExecValue,    // a CfgRemoteExec mode, jip or allowedTargets out of range
    FileNotFound,       // a sound, picture or function file missing from the mission folder
    FileOutsideMission, // a sound, picture or function file named outside the mission folder
    FromMissingInclude, // a name that may be a macro of an include that was not found
    OutOfMemory,        // memory ran out while reading
};

// "syntax", "missing-semicolon", "unknown-key", ...
QLatin1StringView diagnosticName(DiagnosticKind kind);

// One #include on the way to an included file: the file it stands in (empty for the text that
// was read) and where.
struct IncludeSite
{
    QString file;
    SourcePos position;
};

struct Diagnostic
{
    Severity severity = Severity::Error;
    DiagnosticKind kind = DiagnosticKind::Syntax;
    SourcePos position;
    qsizetype length = 0;
    // Names what was expected and what was found, e.g. "expected ';' after the value, found 'y'".
    QString message;
    // The included file the problem is in (as the include loader named it); empty for the text
    // that was read.
    QString file;
    // With ReadOptions::keepAlike: for the first diagnostic past the kept ones, how many
    // identical ones (same severity and message) it stands for, itself included. 0 otherwise.
    qsizetype alike = 0;
    // For a problem in an included file, the #include lines that led to it, innermost first:
    // the last one is in the text that was read. Shared between the diagnostics of one file.
    QList<IncludeSite> includedFrom;
};

enum class ValueKind {
    String,     // "..." with "" as an escaped quote; text() holds the unescaped contents
    Number,     // integer, decimal, exponent, hex (0x1F) or a db+10 volume
    Word,       // unquoted text, possibly several words or an expression such as a+b
    Array,      // { ... }, elements in `elements`
    Expression, // __EVAL(...); text() holds what is between the parentheses
};

struct Value
{
    ValueKind kind = ValueKind::Word;
    // The value as the game sees it: unescaped for strings, after macro expansion for words
    // and numbers. Empty for arrays.
    QString text;
    // Where the value is written. For a value that came out of a macro this is the macro's
    // invocation. ReadResult::sourceText() gives the raw text.
    SourceSpan span;
    QList<Value> elements;
};

enum class EntryKind {
    Class,            // class Name: Base { children };
    ClassDeclaration, // class Name;
    Delete,           // delete Name;
    Value,            // key = value;
    Array,            // key[] = {...}; or key[] += {...};
    Directive,        // one preprocessor line, with its continuations
    Comment,          // // ... or /* ... */
    Exec,             // __EXEC(...); `value.text` holds what is between the parentheses
    Skipped,          // text in a conditional block that is switched off (#ifdef of an
                      // undefined name, the other side of #else)
    Invalid,          // a statement that could not be read; its diagnostics say why
};

struct Entry
{
    EntryKind kind = EntryKind::Invalid;
    // Class, value, array or deleted name; the directive's name ("include", "define", ...).
    QString name;
    // The base class after ':' (Class only; empty without inheritance).
    QString base;
    // "+=" instead of "=" (Array only).
    bool append = false;
    // Value and Array: the value; Exec: the expression.
    Value value;
    // Comment: the whole comment with its markers. Directive: the text after the name with
    // continuations joined (for #include the file name without its quotes or brackets).
    // Skipped and Invalid: empty (see the span).
    QString text;
    // The whole entry, from its first character to its ';' (or to the end of a comment or
    // directive line, without the line break).
    SourceSpan span;
    // Class only: from just after '{' to just before '}'.
    SourceSpan bodySpan;
    // Class: the entries of its body. Directive #include: the entries of the included file
    // (their spans are in that file), when the loader found it.
    QList<Entry> children;
};

} // namespace config

// Entries and values hold only Qt containers, which may be moved in memory as they are; saying so
// lets a growing list move them with memmove instead of one by one.
Q_DECLARE_TYPEINFO(config::Value, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(config::Entry, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(config::Diagnostic, Q_RELOCATABLE_TYPE);

namespace config {

// What an include loader answers for one #include.
struct IncludedFile
{
    bool found = false;
    // How diagnostics name the file (usually its path), and how it is passed as `fromFile`
    // for the includes inside it.
    QString name;
    QString text;
    // Why a file the include names was not read (not found: empty): outside the mission
    // folder, not a regular file, too large. Reported as an error at the #include after
    // "included file 'PATH' ", so it reads e.g. "is not a regular file".
    QString problem;
};

struct ReadOptions
{
    // How the text that is read is named as `fromFile` to the loader.
    QString fileName;
    // Looks up an #include. Without a loader includes are kept as directives and not followed.
    // `path` is as written between the quotes or brackets; `fromFile` is the including file's
    // name. Paths that start with a backslash name the game's or an addon's files and are
    // never passed to the loader. "#if __has_include(...)" asks the loader too.
    std::function<IncludedFile(const QString &path, const QString &fromFile)> includeLoader;
    // Compare top-level keys with the known description keys and suggest close ones.
    bool checkKnownKeys = true;
    // Also warn about what the game accepts but is better written otherwise: unquoted text
    // and expressions where a string or a number is meant.
    bool styleNotes = true;
    // Build the tree of entries; without it only the diagnostics come out, in far less memory.
    bool keepEntries = true;
    // With the tree: the top-level classes whose statements it holds (all without it). Any other
    // top-level class keeps its own entry, spans and diagnostics, but no children: a caller that
    // looks inside a few known classes then does not pay for the tree of the rest of the file.
    std::function<bool(QStringView className)> keepBodyOf;
    // Identical diagnostics (same severity and message) kept at most, 0 for all. The first one
    // past them stays, with `alike` counting it and all later ones, which are dropped: a
    // million duplicate keys then cost a handful of diagnostics.
    int keepAlike = 0;
    // Whether a file the text names (a sound, a picture, a function) exists in the mission
    // folder. `path` is as written, relative to the folder of the file that was read; names
    // starting with '@' or '\' are addon paths and never asked. Without it no file is looked
    // for.
    std::function<bool(const QString &path)> fileExists;
};

class ReadResult
{
public:
    QList<Entry> entries;
    // In source order of the text that was read; problems in included files come at the point
    // of their #include.
    QList<Diagnostic> diagnostics;

    int errorCount() const;
    bool hasErrors() const { return errorCount() > 0; }

    // The text that was read (shared, not copied) and the raw source of a span of it.
    const QString &sourceText() const { return m_source; }
    QStringView raw(const SourceSpan &span) const
    {
        return QStringView(m_source).mid(span.start.offset, span.length());
    }

    // How much work the reading took, in steps that each cost about the same: the characters
    // lexed (macro expansions included) and the entries sorted between statements. Unlike
    // time, it does not depend on how busy the machine is.
    qsizetype steps() const { return m_steps; }

private:
    friend ReadResult readConfig(const QString &text, const ReadOptions &options);
    QString m_source;
    qsizetype m_steps = 0;
};

// Reads `text` (already decoded; a leading byte order mark is treated as white space).
ReadResult readConfig(const QString &text, const ReadOptions &options = {});

// The one-line status of a check: "No problems found", or
// "2 errors, 1 warning — line 12: expected ';' after the value" naming the first problem
// (errors before warnings).
QString summary(const QList<Diagnostic> &diagnostics);

// How deep classes and arrays may nest before the reader gives up on the block (with an error)
// instead of descending further.
inline constexpr int MaxNesting = 256;

} // namespace config
