// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "configreader.h"

#include "knownkeys.h"
#include "preprocessor.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace config {

using namespace detail;

namespace {

// Past this many unknown top-level keys the suggestions stop, so that a file of a million
// made-up keys still reads in linear time.
constexpr int MaxUnknownKeysCompared = 1000;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Integer, decimal, exponent or hex, with an optional sign; "db" before it is a volume in
// decibels, which sound arrays use.
bool isNumber(QStringView s)
{
    qsizetype i = 0;
    if (s.size() >= 2 && (s[0] == u'd' || s[0] == u'D') && (s[1] == u'b' || s[1] == u'B'))
        i = 2;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    if (i + 2 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        i += 2;
        const qsizetype first = i;
        while (i < s.size() && isHexDigit(s[i]))
            ++i;
        return i > first && i == s.size();
    }
    qsizetype digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        const qsizetype first = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == first)
            return false;
    }
    return i == s.size();
}

// Names and short values come back again and again in a file ("name", "sound", "1", "true"):
// each text is handed out as one shared string, which costs a reference count instead of an
// allocation, and the tree holds it once. A slot holds the last text that hashed to it.
class StringCache
{
public:
    QString get(QStringView v)
    {
        if (v.isEmpty() || v.size() > MaxLength)
            return v.toString();
        std::size_t h = std::size_t(v.size());
        for (const QChar c : v)
            h = h * 31 + c.unicode();
        QString &slot = m_slots[(h ^ (h >> 11)) & (Slots - 1)];
        if (slot.size() != v.size() ||
            std::memcmp(slot.constData(), v.data(), std::size_t(v.size()) * sizeof(QChar)) != 0)
            slot = v.toString();
        return slot;
    }

private:
    static constexpr qsizetype MaxLength = 32;
    static constexpr std::size_t Slots = 2048;
    std::vector<QString> m_slots = std::vector<QString>(Slots);
};

QString unescapeString(const Token &t, StringCache &strings)
{
    QStringView v = t.view();
    v = v.mid(1, v.size() - (t.unterminated ? 1 : 2));
    if (!v.contains(u'"'))
        return strings.get(v);
    QString s = v.toString();
    s.replace(u"\"\""_qs, u"\""_qs);
    return s;
}

QString foundText(const Token &t)
{
    if (t.kind != Tok::End && t.newlineBefore)
        return QStringLiteral("the end of the line");
    return describe(t);
}

// A name compared without regard to case, hashed without making a folded copy.
struct FoldedName
{
    QString name; // shared with the entry, not copied
    bool isClass;
    size_t hash;

    FoldedName(const QString &n, bool c) : name(n), isClass(c), hash(c ? 1 : 0)
    {
        for (const QChar ch : n) {
            const char16_t c = ch.unicode();
            const char16_t folded = c < 0x80 ? ((c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c)
                                             : ch.toCaseFolded().unicode();
            hash = hash * 31 + folded;
        }
    }
    // Classes and values have names of their own: "class Respawn" does not clash with
    // "respawn=3".
    bool operator==(const FoldedName &o) const
    {
        return hash == o.hash && isClass == o.isClass &&
               name.compare(o.name, Qt::CaseInsensitive) == 0;
    }
};

// Mixed again: names such as S1, S2, S3 give neighbouring sums, which would crowd one corner
// of the table.
size_t qHash(const FoldedName &k, size_t seed)
{
    return ::qHash(k.hash, seed);
}

// Names already used in one class, with the line of their first use. Most classes hold a
// handful of names, which a short list compares faster than a hash table is built; a class
// with more moves them into one, so that a class of a million names stays linear.
class NameSet
{
public:
    // The line of an earlier entry of the same name, or 0 (and the name is recorded).
    int lineOfEarlier(const QString &name, bool isClass, int line)
    {
        FoldedName key(name, isClass);
        if (m_lines.isEmpty()) {
            for (const auto &[earlier, earlierLine] : m_few) {
                if (earlier == key)
                    return earlierLine;
            }
            if (m_few.size() < MaxFew) {
                m_few.emplace_back(std::move(key), line);
                return 0;
            }
            for (auto &[earlier, earlierLine] : m_few)
                m_lines.insert(std::move(earlier), earlierLine);
            m_few.clear();
        } else if (const auto it = m_lines.constFind(key); it != m_lines.cend()) {
            return *it;
        }
        m_lines.insert(std::move(key), line);
        return 0;
    }

private:
    static constexpr std::size_t MaxFew = 16;
    std::vector<std::pair<FoldedName, int>> m_few;
    QHash<FoldedName, int> m_lines;
};

// The parser looks at most two tokens ahead; a ring of two keeps that free of allocations.
class Lookahead
{
public:
    std::size_t size() const { return m_count; }
    const Token &operator[](std::size_t i) const { return m_tokens[(m_head + i) % 2]; }
    const Token &front() const { return m_tokens[m_head]; }
    void push_back(const Token &t)
    {
        m_tokens[(m_head + m_count) % 2] = t;
        ++m_count;
    }
    void pop_front()
    {
        m_head = (m_head + 1) % 2;
        --m_count;
    }

private:
    std::array<Token, 2> m_tokens;
    std::size_t m_head = 0;
    std::size_t m_count = 0;
};

class Parser
{
public:
    Parser(SharedState &shared, FileContext &file)
        : m_shared(shared), m_file(file), m_source(shared, file)
    {
        m_rules.report = [this](const SourceSpan &where, Severity severity, DiagnosticKind kind,
                                const QString &message) {
            m_shared.report(m_file, severity, where.start.offset, where.end.offset, message, kind);
        };
        m_rules.fromMissingInclude = [this](const SourceSpan &where, QStringView word) {
            return fromMissingInclude(where.start.offset, where.end.offset, word);
        };
        m_rules.fileExists = m_shared.fileExists;
    }

    QList<Entry> parseFile()
    {
        QList<Entry> entries;
        parseStatements(entries, true);
        return entries;
    }

private:
    const Token &peek() { return ahead(0); }
    // The token after the next one: tells "x = a b;" (text with a space) from "x = a b = 1;"
    // (a missing ';' before the next statement).
    const Token &peekSecond() { return ahead(1); }

    // Asked for several times per token: the common case, a token already read, stays inline.
    const Token &ahead(std::size_t n)
    {
        if (n < m_ahead.size())
            return m_ahead[n];
        return readAhead(n);
    }

    Q_NEVER_INLINE const Token &readAhead(std::size_t n)
    {
        while (m_ahead.size() <= n) {
            Token t = m_source.next();
            if (t.kind == Tok::Comment || t.kind == Tok::Directive || t.kind == Tok::Skipped) {
                keepTrivia(t);
                continue;
            }
            m_ahead.push_back(t);
            if (t.kind == Tok::End) {
                while (m_ahead.size() <= n)
                    m_ahead.push_back(t);
            }
        }
        return m_ahead[n];
    }

    Token take()
    {
        peek();
        Token t = m_ahead.front();
        if (t.kind != Tok::End || m_ahead.size() > 1)
            m_ahead.pop_front();
        m_lastEnd = std::max(m_lastEnd, t.spanEnd);
        return t;
    }

    void keepTrivia(const Token &t)
    {
        // Without the tree only what an include brought is kept (see flushTrivia).
        if (!m_shared.keepEntries &&
            (t.kind != Tok::Directive || m_source.directive.children.isEmpty()))
            return;
        Entry e;
        e.span = m_file.lines.span(t.spanStart, t.spanEnd);
        if (t.kind == Tok::Comment) {
            e.kind = EntryKind::Comment;
            e.text = t.view().toString();
        } else if (t.kind == Tok::Directive) {
            e.kind = EntryKind::Directive;
            e.name = std::move(m_source.directive.name);
            e.text = std::move(m_source.directive.text);
            e.children = std::move(m_source.directive.children);
        } else {
            e.kind = EntryKind::Skipped;
        }
        m_trivia.append(std::move(e));
    }

    // Comments and directives between statements become entries; those inside a statement
    // (within an array, say) stay part of that statement's source text.
    void flushTrivia(QList<Entry> &out)
    {
        if (m_trivia.isEmpty())
            return;
        const qsizetype before = peek().spanStart;
        workSteps += m_trivia.size();
        QList<Entry> later;
        for (Entry &e : m_trivia) {
            if (e.span.start.offset >= before)
                later.append(std::move(e));
            else if (e.span.start.offset >= m_statementEnd &&
                     (m_shared.keepEntries || !e.children.isEmpty()))
                out.append(std::move(e)); // without the tree, only what an include brought
        }
        m_trivia = std::move(later);
    }

    void error(qsizetype start, qsizetype end, const QString &message,
               DiagnosticKind kind = DiagnosticKind::Syntax)
    {
        m_shared.report(m_file, Severity::Error, start, end, message, kind);
    }
    void warning(qsizetype start, qsizetype end, const QString &message, DiagnosticKind kind)
    {
        m_shared.report(m_file, Severity::Warning, start, end, message, kind);
    }
    void errorAt(const Token &t, const QString &message,
                 DiagnosticKind kind = DiagnosticKind::Syntax)
    {
        error(t.spanStart, t.spanEnd, message, kind);
    }

    // Whether `word` may be a macro of an include that was not read. The first time it is, one
    // note says so; what such names would cause is not reported, so that one missing include
    // gives one warning and one note instead of an error on every line that uses its macros.
    bool fromMissingInclude(qsizetype start, qsizetype end, QStringView word)
    {
        if (m_shared.missingInclude.isEmpty() || m_shared.macros.contains(word.toString()))
            return false;
        for (const QChar c : word) {
            if (!c.isLetterOrNumber() && c != u'_')
                return false;
        }
        if (!m_shared.missingIncludeNoted) {
            m_shared.missingIncludeNoted = true;
            m_shared.report(m_file, Severity::Note, start, end,
                            echo(word) + u" may be a macro of "_qs + echo(m_shared.missingInclude) +
                                u", which was not read; what uses such names is not checked"_qs,
                            DiagnosticKind::FromMissingInclude);
        }
        return true;
    }

    SourceSpan span(qsizetype start, qsizetype end) const { return m_file.lines.span(start, end); }

    void finish(QList<Entry> &out, Entry &&e, qsizetype start)
    {
        e.span = span(start, m_lastEnd);
        m_statementEnd = m_lastEnd;
        out.append(std::move(e));
    }

    void finishInvalid(QList<Entry> &out, qsizetype start)
    {
        Entry e;
        e.kind = EntryKind::Invalid;
        finish(out, std::move(e), start);
    }

    // After an error: on to the end of the statement, over whole blocks, but never past the
    // '}' of the class the statement is in.
    void recover()
    {
        for (;;) {
            const Token &t = peek();
            if (t.kind == Tok::End || t.kind == Tok::RBrace)
                return;
            const Tok kind = take().kind;
            if (kind == Tok::Semicolon)
                return;
            if (kind == Tok::LBrace)
                skipBlock();
        }
    }

    // Past the '}' that matches a '{' already taken, counting rather than descending.
    void skipBlock()
    {
        qsizetype depth = 1;
        while (depth > 0) {
            const Tok kind = peek().kind;
            if (kind == Tok::End)
                return;
            take();
            if (kind == Tok::LBrace)
                ++depth;
            else if (kind == Tok::RBrace)
                --depth;
        }
    }

    bool enterNesting(const Token &open)
    {
        if (m_shared.nesting >= MaxNesting) {
            errorAt(open,
                    QStringLiteral("classes and arrays nested more than %1 levels deep; "
                                   "the block is skipped")
                        .arg(MaxNesting),
                    DiagnosticKind::NestingDepth);
            return false;
        }
        ++m_shared.nesting;
        return true;
    }
    void leaveNesting() { --m_shared.nesting; }

    // Where a class body that never closes should have: the first statement that starts a line
    // no further in than the class itself, after statements that were further in.
    struct BodyIndent
    {
        int line = 0;   // of the '{'
        int column = 0; // of 'class'
        int firstColumn = 0;
        qsizetype dedent = -1;
    };

    // Returns false when, without the tree, statements had to be dropped before the class was
    // complete (the rules that compare them are then skipped).
    bool parseStatements(QList<Entry> &out, bool topLevel, BodyIndent *indent = nullptr)
    {
        NameSet seen;
        bool complete = true;
        qsizetype retained = 0;
        // Without the tree, statements are held only for a class whose rules compare them.
        const bool holdStatements =
            m_shared.keepEntries ||
            (m_shared.nesting > 0 && classRulesNeedStatements(m_shared.classes));
        for (;;) {
            const Token &t = peek();
            flushTrivia(out);
            if (t.kind == Tok::End)
                break;
            if (t.kind == Tok::RBrace && !topLevel)
                break;
            if (t.kind == Tok::Semicolon) {
                take();
                m_statementEnd = m_lastEnd;
                continue;
            }
            if (indent && indent->dedent < 0 && t.newlineBefore && t.fromSource())
                noteIndent(*indent, t);
            const qsizetype before = out.size();
            const qsizetype floor = m_statementEnd;
            if (t.kind == Tok::RBrace) {
                const Token brace = take();
                errorAt(brace, QStringLiteral("expected a class, a value or an array, found '}' "
                                              "with no class open"));
                finishInvalid(out, brace.spanStart);
            } else if (t.kind == Tok::Word) {
                const QStringView word = t.view();
                // Most statements start with a key: one look at the first letter tells.
                const char16_t first = word.front().unicode();
                const bool keyword =
                    first == u'c' || first == u'd' || first == u'i' || first == u'_';
                if (keyword && word == u"class")
                    parseClass(out);
                else if (keyword && word == u"delete")
                    parseDelete(out);
                else if (keyword && word == u"import" && peekSecond().kind == Tok::Word)
                    parseImport(out);
                else if (keyword && word == u"__EXEC")
                    parseExec(out);
                else if (!startsAssignment(peekSecond().kind) &&
                         fromMissingInclude(t.spanStart, t.spanEnd, word)) {
                    const Token first = take();
                    recover();
                    finishInvalid(out, first.spanStart);
                } else
                    parseAssignment(out);
            } else {
                const Token bad = take();
                errorAt(bad, u"expected a class, a value or an array, found "_qs + describe(bad));
                if (bad.kind == Tok::LBrace)
                    skipBlock();
                else
                    recover();
                finishInvalid(out, bad.spanStart);
            }
            if (out.size() > before) {
                // Statements that one macro invocation produced all stand at the invocation;
                // each later one gets what is left of it, so that entries never overlap.
                Entry &e = out.back();
                if (e.span.start.offset < floor)
                    e.span = span(floor, std::max(floor, e.span.end.offset));
                checkEntry(e, seen, topLevel);
                checkValue(e, m_shared.classes, m_rules);
                if (e.kind == EntryKind::Value && !m_shared.classes.empty() && e.name.size() == 4 &&
                    e.name.compare(u"file", Qt::CaseInsensitive) == 0)
                    m_shared.classes.back().file = e.value.text;
            }
            // A check that only wants the diagnostics keeps no tree: a file of millions of
            // statements then needs memory for its names, not for its entries. A class keeps
            // its own statements until it is complete, for the rules that compare them, up to
            // a bound.
            if (!m_shared.keepEntries) {
                if (!holdStatements) {
                    out.clear();
                } else if (m_shared.retained >= MaxRetained) {
                    complete = complete && out.isEmpty();
                    out.clear();
                } else {
                    ++m_shared.retained;
                    ++retained;
                }
            }
        }
        if (!m_shared.keepEntries)
            m_shared.retained -= retained; // the caller drops them once its rules have run
        return complete;
    }

    static bool startsAssignment(Tok after)
    {
        return after == Tok::Assign || after == Tok::PlusAssign || after == Tok::LBracket;
    }

    void noteIndent(BodyIndent &indent, const Token &t)
    {
        const SourcePos p = m_file.lines.pos(t.spanStart);
        if (p.line <= indent.line)
            return;
        if (indent.firstColumn == 0)
            indent.firstColumn = p.column;
        else if (indent.firstColumn > indent.column && p.column <= indent.column)
            indent.dedent = t.spanStart;
    }

    // Duplicate names within one class, and top-level names close to a known key.
    void checkEntry(const Entry &e, NameSet &seen, bool topLevel)
    {
        const bool named = e.kind == EntryKind::Value || e.kind == EntryKind::Class ||
                           (e.kind == EntryKind::Array && !e.append);
        if (!named || e.name.isEmpty())
            return;
        const qsizetype nameStart = e.span.start.offset;
        const qsizetype nameEnd = std::min(e.span.end.offset, nameStart + e.name.size());
        if (const int earlier =
                seen.lineOfEarlier(e.name, e.kind == EntryKind::Class, e.span.start.line)) {
            warning(nameStart, nameEnd,
                    echo(e.name) +
                        QStringLiteral(" is set twice in the same class (first on line %1); "
                                       "the game keeps only one")
                            .arg(earlier),
                    DiagnosticKind::DuplicateName);
        }
        if (topLevel && m_file.checkKnownKeys && !isKnownKey(e.name) &&
            m_shared.unknownKeysCompared < MaxUnknownKeysCompared) {
            ++m_shared.unknownKeysCompared;
            const QString suggestion = closestKnownKey(e.name);
            if (!suggestion.isEmpty()) {
                warning(nameStart, nameEnd,
                        u"unknown key "_qs + echo(e.name) + u": did you mean "_qs + suggestion +
                            u"?"_qs,
                        DiagnosticKind::UnknownKey);
            }
        }
    }

    void parseClass(QList<Entry> &out)
    {
        const Token keyword = take();
        Entry e;
        e.kind = EntryKind::Class;
        const Token &nameTok = peek();
        if (nameTok.kind != Tok::Word) {
            errorAt(nameTok,
                    u"expected a class name after 'class', found "_qs + foundText(nameTok));
            recover();
            finishInvalid(out, keyword.spanStart);
            return;
        }
        e.name = m_strings.get(take().view());
        if (peek().kind == Tok::Colon) {
            take();
            const Token &baseTok = peek();
            if (baseTok.kind != Tok::Word) {
                errorAt(baseTok,
                        u"expected a base class name after ':', found "_qs + foundText(baseTok));
                recover();
                finishInvalid(out, keyword.spanStart);
                return;
            }
            e.base = m_strings.get(take().view());
        }
        const Token &next = peek();
        if (next.kind == Tok::Semicolon) {
            take();
            e.kind = EntryKind::ClassDeclaration;
            finish(out, std::move(e), keyword.spanStart);
            return;
        }
        if (next.kind != Tok::LBrace) {
            errorAt(next, u"expected '{' or ';' after 'class "_qs + cutText(e.name) +
                              u"', found "_qs + foundText(next));
            recover();
            finishInvalid(out, keyword.spanStart);
            return;
        }
        const Token open = take();
        if (!enterNesting(open)) {
            skipBlock();
            if (peek().kind == Tok::Semicolon)
                take();
            finishInvalid(out, keyword.spanStart);
            return;
        }
        m_statementEnd = open.spanEnd;
        const SourcePos opened = m_file.lines.pos(keyword.spanStart);
        BodyIndent indent;
        indent.line = m_file.lines.pos(open.spanStart).line;
        indent.column = opened.column;
        // A top-level class whose statements the caller does not want is read as without the
        // tree: its rules still run, and it keeps its spans.
        const bool keepBody = !m_shared.keepEntries || !m_shared.classes.empty() ||
                              !m_shared.keepBodyOf || m_shared.keepBodyOf(e.name);
        m_shared.classes.push_back({e.name, {}});
        const bool keeping = std::exchange(m_shared.keepEntries, m_shared.keepEntries && keepBody);
        const bool complete =
            parseStatements(e.children, false, keyword.fromSource() ? &indent : nullptr);
        m_shared.keepEntries = keeping;
        m_shared.classes.pop_back();
        leaveNesting();
        const Token &close = peek();
        if (close.kind != Tok::RBrace) {
            reportUnclosed(e.name, keyword, opened, indent.dedent);
            e.bodySpan = span(open.spanEnd, close.spanStart);
            m_lastEnd = close.spanStart;
            finishClass(out, std::move(e), keyword.spanStart, complete, keepBody);
            return;
        }
        // A '}' that a macro produced stands at the whole invocation, which may also hold the
        // end of the last child; the body then ends with that child.
        e.bodySpan = span(open.spanEnd, std::max(close.spanStart, m_statementEnd));
        const Token closeBrace = take();
        const Token &semi = peek();
        if (semi.kind == Tok::Semicolon) {
            take();
        } else if (semi.kind == Tok::RBrace) {
            missingBeforeBrace(semi, u"after '}' of class "_qs + cutText(e.name),
                               gamePath(e.name, true));
        } else if (semi.kind == Tok::End) {
            // The game reads on without it at the end of the file.
            if (m_shared.styleNotes)
                warning(closeBrace.spanStart, closeBrace.spanEnd,
                        u"expected ';' after '}' of class "_qs + cutText(e.name) + u", found "_qs +
                            foundText(semi),
                        DiagnosticKind::MissingSemicolon);
        } else {
            error(closeBrace.spanStart, closeBrace.spanEnd,
                  u"expected ';' after '}' of class "_qs + cutText(e.name) + u", found "_qs +
                      foundText(semi),
                  DiagnosticKind::MissingSemicolon);
        }
        finishClass(out, std::move(e), keyword.spanStart, complete, keepBody);
    }

    // The class is complete: the rules that compare its statements run, and without the tree
    // the statements are dropped.
    void finishClass(QList<Entry> &out, Entry &&e, qsizetype start, bool complete, bool keepBody)
    {
        e.span = span(start, m_lastEnd);
        if (complete)
            checkClass(e, m_shared.classes, m_rules);
        if (!m_shared.keepEntries || !keepBody)
            e.children.clear();
        finish(out, std::move(e), start);
    }

    // A class without its '}' is reported where it should have closed: at the first line that
    // is no further in than the class (when its body was further in), or else at the end of
    // the file; a note shows where it was opened. Only the innermost of the classes the end
    // of the file leaves open is reported, as one missing '}' leaves them all open.
    void reportUnclosed(const QString &name, const Token &keyword, const SourcePos &opened,
                        qsizetype dedent)
    {
        const bool atEnd = dedent < 0;
        if (atEnd && m_shared.unclosedReported)
            return;
        const QString message =
            QStringLiteral("expected '}' to close class %1 (opened on line %2), found ")
                .arg(cutText(name))
                .arg(opened.line);
        bool reported = false;
        qsizetype at = 0;
        if (atEnd) {
            m_shared.unclosedReported = true;
            at = m_lastEnd;
            reported =
                m_shared.report(m_file, Severity::Error, at, at,
                                message + u"the end of the file"_qs, DiagnosticKind::UnclosedBlock);
        } else {
            at = dedent;
            const QStringView found = QStringView(*m_file.text).mid(dedent).left(40);
            qsizetype wordEnd = 0;
            while (wordEnd < found.size() && !found[wordEnd].isSpace())
                ++wordEnd;
            reported = m_shared.report(m_file, Severity::Error, dedent, dedent + wordEnd,
                                       message + echo(found.left(wordEnd)) +
                                           u" on a line no further in than the class"_qs,
                                       DiagnosticKind::UnclosedBlock);
        }
        if (reported) {
            m_shared.report(m_file, Severity::Note, keyword.spanStart, keyword.spanEnd,
                            u"class "_qs + cutText(name) + u" opened here"_qs,
                            DiagnosticKind::UnclosedBlock, at);
        }
    }

    void parseDelete(QList<Entry> &out)
    {
        const Token keyword = take();
        const Token &nameTok = peek();
        if (nameTok.kind != Tok::Word) {
            errorAt(nameTok,
                    u"expected a class name after 'delete', found "_qs + foundText(nameTok));
            recover();
            finishInvalid(out, keyword.spanStart);
            return;
        }
        Entry e;
        e.kind = EntryKind::Delete;
        e.name = m_strings.get(take().view());
        expectSemicolon(QStringLiteral("after 'delete %1'").arg(cutText(e.name)), e.name);
        finish(out, std::move(e), keyword.spanStart);
    }

    // "import Name;" brings a class of the game's configuration into the file, as a class
    // declaration does.
    void parseImport(QList<Entry> &out)
    {
        const Token keyword = take();
        Entry e;
        e.kind = EntryKind::ClassDeclaration;
        e.name = m_strings.get(take().view());
        expectSemicolon(QStringLiteral("after 'import %1'").arg(cutText(e.name)), e.name);
        finish(out, std::move(e), keyword.spanStart);
    }

    void parseExec(QList<Entry> &out)
    {
        const Token keyword = take();
        Entry e;
        e.kind = EntryKind::Exec;
        if (!parseParenthesized(keyword, e.value)) {
            recover();
            finishInvalid(out, keyword.spanStart);
            return;
        }
        if (peek().kind == Tok::Semicolon)
            take();
        finish(out, std::move(e), keyword.spanStart);
    }

    // "(...)" after __EVAL or __EXEC, kept as written, up to the matching ')'.
    bool parseParenthesized(const Token &keyword, Value &value)
    {
        const Token &open = peek();
        if (open.kind != Tok::LParen) {
            errorAt(open, u"expected '(' after "_qs + keyword.view().toString() + u", found "_qs +
                              foundText(open));
            return false;
        }
        const Token first = take();
        int depth = 1;
        bool fromSource = first.fromSource();
        QString joined;
        for (;;) {
            // What is between the parentheses is the game's to work out, statements and their
            // ';' included: __EXEC(a = 1; b = 2;).
            const Token &t = peek();
            if (t.kind == Tok::End) {
                errorAt(first, u"expected ')' to close "_qs + keyword.view().toString() +
                                   u"(, found "_qs + describe(t));
                return false;
            }
            const Token tok = take();
            if (tok.kind == Tok::LParen)
                ++depth;
            else if (tok.kind == Tok::RParen && --depth == 0) {
                fromSource = fromSource && tok.fromSource();
                value.kind = ValueKind::Expression;
                value.span = span(keyword.spanStart, tok.spanEnd);
                value.text = fromSource ? QStringView(*m_file.text)
                                              .mid(first.spanEnd, tok.spanStart - first.spanEnd)
                                              .toString()
                                        : joined;
                return true;
            }
            fromSource = fromSource && tok.fromSource();
            if (tok.spaceBefore && !joined.isEmpty())
                joined += u' ';
            joined += tok.view();
        }
    }

    // How the game's log names an entry of the class being read: '/Header.maxPlayers', or for
    // a class '/CfgSounds/wolf'.
    QString gamePath(const QString &name, bool isClass) const
    {
        QString path;
        for (const ClassFrame &frame : m_shared.classes)
            path += u'/' + cutText(frame.name);
        return path + (isClass ? u'/' : u'.') + cutText(name);
    }

    // The game reads on where a ';' is missing right before a '}', but logs "Missing ';' prior
    // '}'" naming the entry, and a binarizer refuses the file: a warning, at the '}'.
    void missingBeforeBrace(const Token &brace, const QString &expected, const QString &path)
    {
        warning(brace.spanStart, brace.spanEnd,
                u"expected ';' "_qs + expected + u", found '}' (the game logs \"'"_qs + path +
                    u"': Missing ';' prior '}'\")"_qs,
                DiagnosticKind::MissingSemicolon);
    }

    // ';' after a value. The game reads the last statement before a '}' or the end of the
    // file without it (before a '}' with a line in its log, a warning; at the end of the file
    // a style note); anywhere else it reports the missing ';'. At the end of a line the
    // statement itself is whole, so reading goes on with the next line.
    bool expectSemicolon(const QString &after, const QString &name)
    {
        const Token &t = peek();
        if (t.kind == Tok::Semicolon) {
            take();
            return true;
        }
        if (t.kind == Tok::RBrace) {
            missingBeforeBrace(t, after, gamePath(name, false));
            return true;
        }
        const QString message = u"expected ';' "_qs + after + u", found "_qs + foundText(t);
        if (t.kind == Tok::End) {
            if (m_shared.styleNotes)
                warning(m_lastEnd, m_lastEnd, message, DiagnosticKind::MissingSemicolon);
            return true;
        }
        if (t.newlineBefore) {
            // A string left open at the end of its line took the ';' with it: that error
            // was given already.
            if (!m_unterminatedValue)
                error(m_lastEnd, m_lastEnd, message, DiagnosticKind::MissingSemicolon);
            return true;
        }
        errorAt(t, message, DiagnosticKind::MissingSemicolon);
        return false;
    }

    void parseAssignment(QList<Entry> &out)
    {
        const Token keyTok = take();
        Entry e;
        e.kind = EntryKind::Value;
        e.name = m_strings.get(keyTok.view());
        bool isArray = false;
        if (peek().kind == Tok::LBracket) {
            take();
            const Token &close = peek();
            if (close.kind != Tok::RBracket) {
                errorAt(close, u"expected ']' after '"_qs + cutText(e.name) + u"[', found "_qs +
                                   foundText(close));
                recover();
                finishInvalid(out, keyTok.spanStart);
                return;
            }
            take();
            isArray = true;
            e.kind = EntryKind::Array;
        }
        const Token &op = peek();
        if (op.kind == Tok::PlusAssign) {
            if (!isArray) {
                errorAt(op, u"expected '=' after '"_qs + cutText(e.name) +
                                u"', found '+=' (only arrays "
                                u"can be added to: '"_qs +
                                cutText(e.name) + u"[] +=')"_qs);
                recover();
                finishInvalid(out, keyTok.spanStart);
                return;
            }
            e.append = true;
        } else if (op.kind != Tok::Assign) {
            const QString what = isArray ? cutText(e.name) + u"[]"_qs : cutText(e.name);
            const QString message =
                u"expected '=' after '"_qs + what + u"', found "_qs + foundText(op);
            // Nothing more on the key's line: the mistake is there (a stray word typed
            // before a comment, say), not on the line where reading found something else.
            if (op.kind == Tok::End || op.newlineBefore) {
                errorAt(keyTok, message);
            } else {
                errorAt(op, message);
                recover();
            }
            finishInvalid(out, keyTok.spanStart);
            return;
        }
        take();
        bool ok = true;
        if (isArray) {
            const Token &open = peek();
            if (open.kind != Tok::LBrace) {
                errorAt(open, u"expected '{' to start the array '"_qs + cutText(e.name) +
                                  u"[]', found "_qs + foundText(open));
                recover();
                finishInvalid(out, keyTok.spanStart);
                return;
            }
            ok = parseArray(e.value);
        } else {
            ok = parseScalar(e.value, false, detail::takesUnquotedWord(e.name));
        }
        if (!ok ||
            !expectSemicolon(isArray ? u"after the array"_qs : u"after the value"_qs, e.name)) {
            recover();
            finishInvalid(out, keyTok.spanStart);
            return;
        }
        finish(out, std::move(e), keyTok.spanStart);
    }

    // A string, a number, a word or several (up to ';', the end of the line, or in an array
    // ',' or '}'), or __EVAL(...).
    bool parseScalar(Value &value, bool inArray, bool wordExpected = false)
    {
        const Token &first = peek();
        m_unterminatedValue = false;
        if (first.kind == Tok::String) {
            const Token s = take();
            m_unterminatedValue = s.unterminated;
            value.kind = ValueKind::String;
            value.text = unescapeString(s, m_strings);
            value.span = span(s.spanStart, s.spanEnd);
            return true;
        }
        if (first.kind == Tok::Word && first.view() == u"__EVAL") {
            const Token keyword = take();
            return parseParenthesized(keyword, value);
        }
        const bool stopsHere = first.kind == Tok::Semicolon || first.kind == Tok::End ||
                               first.kind == Tok::RBrace || first.kind == Tok::LBrace ||
                               first.kind == Tok::Comma || (!inArray && first.newlineBefore);
        if (stopsHere) {
            value.kind = ValueKind::Word;
            value.span = span(m_lastEnd, m_lastEnd);
            if (first.kind == Tok::LBrace) {
                errorAt(first, u"expected a value, found '{' (an array needs '[]' after its "
                               u"name)"_qs);
                return false;
            }
            // "key=;" is no assignment the game's reader takes.
            const QString message = u"empty value: expected a value, found "_qs + foundText(first);
            error(m_lastEnd, m_lastEnd, message, DiagnosticKind::EmptyValue);
            return true;
        }
        const Token start = take();
        Token last = start;
        bool fromSource = start.fromSource();
        int words = 1;
        QString joined; // made only for a second word
        for (;;) {
            // Outside an array the game takes unquoted text up to the ';' as one string,
            // strings in quotes within it included: x = call compile "file.sqf";
            const Token &t = peek();
            if (t.kind == Tok::Semicolon || t.kind == Tok::End || t.kind == Tok::RBrace ||
                t.kind == Tok::LBrace || (inArray && t.kind == Tok::String) || t.newlineBefore ||
                (inArray && t.kind == Tok::Comma))
                break;
            if (t.kind == Tok::Word) {
                const Tok after = peekSecond().kind;
                if (after == Tok::Assign || after == Tok::PlusAssign || after == Tok::LBracket)
                    break;
            }
            last = take();
            if (last.kind == Tok::String)
                m_unterminatedValue = last.unterminated;
            fromSource = fromSource && last.fromSource();
            if (++words == 2)
                joined = start.view().toString();
            if (last.spaceBefore)
                joined += u' ';
            joined += last.view();
        }
        value.span = span(start.spanStart, last.spanEnd);
        if (fromSource && words > 1) {
            joined = QStringView(*m_file.text)
                         .mid(start.spanStart, last.spanEnd - start.spanStart)
                         .toString();
        }
        value.text = words == 1 ? m_strings.get(start.view()) : std::move(joined);
        if (words == 1 && start.kind == Tok::Word && isNumber(value.text)) {
            value.kind = ValueKind::Number;
            return true;
        }
        value.kind = ValueKind::Word;
        // The game reads unquoted words and expressions as text, and $STR_ names a string of
        // the mission's stringtable: only a style note.
        if (!m_shared.styleNotes || value.text.startsWith(u"$STR", Qt::CaseInsensitive))
            return true;
        const qsizetype from = start.spanStart, to = last.spanEnd;
        if (value.text.contains(u' ') || value.text.contains(u'\t')) {
            warning(from, to,
                    u"unquoted text with spaces: expected a string in quotes, found "_qs +
                        echo(value.text),
                    DiagnosticKind::UnquotedText);
        } else if (!wordExpected && value.text.compare(u"true", Qt::CaseInsensitive) != 0 &&
                   value.text.compare(u"false", Qt::CaseInsensitive) != 0) {
            warning(from, to,
                    u"unquoted text: expected a number or a string in quotes, found "_qs +
                        echo(value.text),
                    DiagnosticKind::UnquotedText);
        }
        return true;
    }

    bool parseArray(Value &value)
    {
        const Token open = take();
        value.kind = ValueKind::Array;
        if (!enterNesting(open)) {
            skipBlock();
            value.span = span(open.spanStart, m_lastEnd);
            return false;
        }
        bool ok = true;
        for (;;) {
            const Token &t = peek();
            if (t.kind == Tok::RBrace) {
                take();
                break;
            }
            if (t.kind == Tok::End || t.kind == Tok::Semicolon) {
                errorAt(open,
                        QStringLiteral("expected '}' to close the array opened on line %1, "
                                       "found ")
                                .arg(m_file.lines.pos(open.spanStart).line) +
                            describe(t),
                        DiagnosticKind::UnclosedBlock);
                ok = false;
                break;
            }
            if (t.kind == Tok::Comma) {
                errorAt(t, QStringLiteral("expected a value in the array, found ','"));
                take();
                ok = false;
                continue;
            }
            Value element;
            if (t.kind == Tok::LBrace) {
                if (!parseArray(element))
                    ok = false;
            } else if (!parseScalar(element, true)) {
                ok = false;
                take(); // past what could not start a value, so the loop moves on
            }
            value.elements.append(std::move(element));
            const Token &sep = peek();
            if (sep.kind == Tok::Comma) {
                take(); // a trailing comma before '}' is accepted
            } else if (sep.kind != Tok::RBrace && sep.kind != Tok::End &&
                       sep.kind != Tok::Semicolon) {
                errorAt(sep, u"expected ',' or '}' in the array, found "_qs + describe(sep));
                ok = false;
            }
        }
        leaveNesting();
        value.span = span(open.spanStart, m_lastEnd);
        return ok;
    }

    SharedState &m_shared;
    FileContext &m_file;
    TokenSource m_source;
    Lookahead m_ahead;
    qsizetype m_lastEnd = 0;
    qsizetype m_statementEnd = 0;
    QList<Entry> m_trivia;
    bool m_unterminatedValue = false; // the last value read was a string without its '"'
    StringCache m_strings;
    RuleSink m_rules;
    // Statements a class keeps for its rules while the tree is not kept, across all open
    // classes: past it a class drops them and its comparing rules are skipped.
    static constexpr qsizetype MaxRetained = 100'000;
};

QString plural(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

} // namespace

namespace detail {

QList<Entry> parseText(SharedState &shared, FileContext &file)
{
    Parser parser(shared, file);
    return parser.parseFile();
}

} // namespace detail

QLatin1StringView diagnosticName(DiagnosticKind kind)
{
    // In the order of the enumerators; names are kept once published.
    static constexpr const char *Names[] = {
        "syntax",
        "missing-semicolon",
        "unclosed-block",
        "unterminated-string",
        "unterminated-comment",
        "directive",
        "if-condition",
        "include-not-found",
        "include-addon",
        "include-refused",
        "include-cycle",
        "include-depth",
        "macro-arguments",
        "macro-budget",
        "macro-depth",
        "nesting-depth",
        "duplicate-name",
        "unknown-key",
        "empty-value",
        "unquoted-text",
        "respawn-value",
        "number-value",
        "game-type",
        "player-count",
        "params-default",
        "params-texts",
        "sound-class",
        "remote-exec-value",
        "file-not-found",
        "file-outside-mission",
        "from-missing-include",
        "out-of-memory",
    };
    static_assert(std::size(Names) == std::size_t(DiagnosticKind::OutOfMemory) + 1,
                  "every diagnostic kind needs a name");
    return QLatin1StringView(Names[std::size_t(kind)]);
}

int ReadResult::errorCount() const
{
    return int(std::count_if(diagnostics.cbegin(), diagnostics.cend(),
                             [](const Diagnostic &d) { return d.severity == Severity::Error; }));
}

ReadResult readConfig(const QString &text, const ReadOptions &options)
{
    const qsizetype stepsBefore = workSteps;
    ReadResult result;
    result.m_source = text;
    SharedState shared;
    // Macros may produce a few times the file's own size before expansion is cut off.
    shared.expansionBudget = 1'000'000 + 4 * text.size();
    shared.includeLoader = options.includeLoader;
    shared.styleNotes = options.styleNotes;
    shared.keepEntries = options.keepEntries;
    shared.keepBodyOf = options.keepBodyOf;
    shared.keepAlike = options.keepAlike;
    if (!options.fileName.isEmpty())
        shared.includeChain.append(options.fileName);
    FileContext file{&result.m_source,
                     LineIndex(result.m_source),
                     QString(),
                     options.fileName,
                     -1,
                     options.checkKnownKeys,
                     {},
                     {}};
    findSilencers(file);
    shared.fileExists = options.fileExists;
    try {
        result.entries = parseText(shared, file);
        if (!options.keepEntries)
            result.entries.clear(); // the comments and directives after the last statement
    } catch (const std::bad_alloc &) {
        // The budgets keep every input well below this; should memory still run out, the
        // text gets one error instead of taking the program down.
        result.entries.clear();
        shared.diagnostics.clear();
        shared.diagnostics.shrink_to_fit();
        Diagnostic d;
        d.kind = DiagnosticKind::OutOfMemory;
        d.message = QStringLiteral("not enough memory to read this text; nothing of it was read");
        shared.diagnostics.push_back({std::move(d), 0});
    }
    std::stable_sort(shared.diagnostics.begin(), shared.diagnostics.end(),
                     [](const auto &a, const auto &b) { return a.anchor < b.anchor; });
    result.diagnostics.reserve(qsizetype(shared.diagnostics.size()));
    for (auto &r : shared.diagnostics)
        result.diagnostics.append(std::move(r.diagnostic));
    result.m_steps = workSteps - stepsBefore;
    return result;
}

QString summary(const QList<Diagnostic> &diagnostics)
{
    if (diagnostics.isEmpty())
        return QStringLiteral("No problems found");
    int errors = 0;
    int warnings = 0;
    const Diagnostic *first = nullptr;
    const Diagnostic *firstWarning = nullptr;
    for (const Diagnostic &d : diagnostics) {
        if (d.severity == Severity::Error) {
            if (!errors)
                first = &d;
            ++errors;
        } else if (d.severity == Severity::Warning) {
            if (!warnings)
                firstWarning = &d;
            ++warnings;
        }
    }
    if (!first)
        first = firstWarning;
    if (!first)
        return QStringLiteral("No problems found");
    QStringList counts;
    if (errors)
        counts << plural(errors, "error", "errors");
    if (warnings)
        counts << plural(warnings, "warning", "warnings");
    QString where = QStringLiteral("line %1").arg(first->position.line);
    if (!first->file.isEmpty())
        where = first->file + u' ' + where;
    return counts.join(u", ") + u" — "_qs + where + u": "_qs + first->message;
}

} // namespace config
