// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The preprocessor between the lexer and the parser: directives, switched-off conditional
// blocks, macro expansion and includes. Internal to the reader.

#include "configreader.h"
#include "lexer.h"
#include "valuerules.h"

#include <QHash>
#include <QStringList>

#include <array>
#include <deque>
#include <vector>

namespace config::detail {

// Line starts of one text, so that an offset can be turned into a line and column.
class LineIndex
{
public:
    explicit LineIndex(const QString &text);
    SourcePos pos(qsizetype offset) const;
    SourceSpan span(qsizetype start, qsizetype end) const { return {pos(start), pos(end)}; }

private:
    std::vector<qsizetype> m_starts;
    mutable std::size_t m_hint = 0;
};

struct Macro
{
    bool functionLike = false;
    QStringList params;
    // Each parameter's position, so that substitution stays linear in the body however many
    // parameters the macro has.
    QHash<QString, qsizetype> paramIndex;
    QString body;
};

// One macro expansion: the macro, and the expansion its invocation came out of. A token never
// expands a macro that is already on its chain, so a macro that names itself stops there.
struct MacroContext
{
    QString name;
    int parent = -1;
    int depth = 1;
};

struct SharedState;

// One text being read: the file that was asked for, or one that it includes.
struct FileContext
{
    const QString *text = nullptr;
    LineIndex lines;
    // How diagnostics name the file; empty for the text that was read.
    QString diagnosticFile;
    // How the include loader knows it.
    QString loaderName;
    // Where problems in this file sort among the read text's own: the offset of the #include
    // in the read text, or -1 for the read text itself.
    qsizetype anchor = -1;
    bool checkKnownKeys = false;
    // The #include lines that led to this file, innermost first (see Diagnostic).
    QList<IncludeSite> includedFrom;
    // Lines with a "check: ignore NAME" comment, and the kinds each names (see findSilencers).
    QHash<int, QList<DiagnosticKind>> silencers;

    // Whether a diagnostic of `kind` on `line` is silenced by a comment on it or the line before.
    bool silenced(int line, DiagnosticKind kind) const;
};

// Finds the comments that silence a diagnostic: "// check: ignore NAME" (or the same in
// a block comment), NAME being a diagnostic's short name; several names may follow, separated
// by commas or spaces. The comment silences those kinds on its own line and on the next one.
void findSilencers(FileContext &file);

// Everything the texts of one read share: macros, limits, diagnostics, the include chain.
struct SharedState
{
    QHash<QString, Macro> macros;
    // A filter over the macros' names that were ever defined, by hash: most words are no
    // macro, and this tells so without making a string of each to look it up.
    std::array<quint64, 64> macroFilter{};
    static std::size_t filterBit(QStringView name)
    {
        if (name.isEmpty())
            return 0;
        return (std::size_t(name.size()) * 961 + name.front().unicode() * 31 +
                name.back().unicode()) &
               4095;
    }
    void addToMacroFilter(QStringView name)
    {
        const std::size_t bit = filterBit(name);
        macroFilter[bit / 64] |= quint64(1) << (bit % 64);
    }
    bool mayBeMacro(QStringView name) const
    {
        const std::size_t bit = filterBit(name);
        return macroFilter[bit / 64] & (quint64(1) << (bit % 64));
    }
    std::vector<MacroContext> contexts;
    // Characters macro expansion may still produce; keeps a macro that doubles itself linear.
    qsizetype expansionBudget = 0;
    bool budgetReported = false;
    // Whether to note what the game accepts but a careful writer would not (unquoted text).
    bool styleNotes = true;
    bool keepEntries = true;
    std::function<bool(QStringView)> keepBodyOf; // ReadOptions::keepBodyOf
    int keepAlike = 0;
    struct Alike
    {
        qsizetype count = 0;
        std::size_t standIn = 0; // the diagnostic that counts the ones past `keepAlike`
    };
    std::array<QHash<QString, Alike>, 2> alike; // by severity
    bool depthReported = false;
    std::function<IncludedFile(const QString &, const QString &)> includeLoader;
    QStringList includeChain;
    // Current nesting of classes and arrays, across includes.
    int nesting = 0;
    // Unknown top-level keys compared with the table so far; bounded to stay linear.
    int unknownKeysCompared = 0;
    // The classes the parser is in, for the value rules.
    std::vector<ClassFrame> classes;
    std::function<bool(const QString &)> fileExists;
    // Statements kept for the value rules while the tree is not kept (bounded).
    qsizetype retained = 0;
    // The first include that was not read, and whether the note about names that may come from
    // it was given.
    QString missingInclude;
    bool missingIncludeNoted = false;
    // The end of the file left a class open and that was reported (only the innermost is).
    bool unclosedReported = false;

    struct Recorded
    {
        Diagnostic diagnostic;
        qsizetype anchor;
    };
    std::vector<Recorded> diagnostics;

    // False when a comment silenced it. `anchor` places a note right after the diagnostic it
    // belongs to (that diagnostic's start).
    bool report(const FileContext &file, Severity severity, qsizetype start, qsizetype end,
                const QString &message, DiagnosticKind kind, qsizetype anchor = -1);
};

class TokenSource
{
public:
    TokenSource(SharedState &shared, FileContext &file);

    // The next token of the parser: significant tokens, and comments, directives and switched
    // off blocks, which the parser keeps as entries. Tokens a macro produced come in place of
    // its invocation.
    Token next();

    // What the directive last returned by next() was.
    struct DirectiveInfo
    {
        QString name;
        QString text;
        QList<Entry> children;
    };
    DirectiveInfo directive;

private:
    struct Condition
    {
        bool active;       // this branch is read
        bool parentActive; // the block around the #if is read
        bool elseSeen;
        qsizetype start;
        qsizetype end;
    };

    Token raw();
    void unread(const Token &t) { m_pending.push_back(t); }
    bool active() const { return m_conditions.empty() || m_conditions.back().active; }
    void processDirective(const Token &t, bool wasActive);
    void include(const QString &path, const Token &t);
    bool expand(const Token &t);
    bool substitute(const Macro &m, const QStringList &args, qsizetype limit, QString &out) const;
    // Whether the macro `name` is on the chain of expansions `context` came out of.
    bool onChain(int context, QStringView name) const;
    // The text of `tokens` with every macro in it expanded, as the game expands a macro's
    // arguments before they take the place of its parameters (for '#' and '##' too). `context`
    // is the chain the tokens came out of; `level` counts the expansions this one is inside.
    // False when the expansion budget ran out (reported).
    bool expandTokens(const Token *tokens, std::size_t count, int context, int level,
                      const Token &site, QString &out);
    void reportBudget(const Token &t, qsizetype spanEnd, const QString &name);
    bool evaluateIf(const QString &expression, const Token &t);
    void extendSkip(const Token &t);
    Token endSkip(const Token &t);

    SharedState &m_shared;
    FileContext &m_file;
    Lexer m_lexer;
    std::vector<Token> m_pending;
    std::deque<QString> m_expansions;
    std::vector<Condition> m_conditions;
    std::deque<Token> m_out;
    bool m_skipping = false;
    qsizetype m_skipStart = 0;
    qsizetype m_skipEnd = 0;
};

// Reads the statements of one text (used for the read text and for each included file).
QList<Entry> parseText(SharedState &shared, FileContext &file);

// How a token is named in a message: 'x', '"text"', the end of the line or of the file.
QString describe(const Token &t);

// Text from a file as a message shows it: control characters escaped (\t, \x00, \u2028) and
// cut to about 40 characters, so that no message runs to megabytes or carries raw control
// bytes into a terminal or a CI log.
QString cutText(QStringView s);
// The same in single quotes.
QString echo(QStringView s);
// Control characters escaped, nothing cut: for file names and whole lines of output.
QString escapeControls(QStringView s);

} // namespace config::detail
