// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "preprocessor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

namespace config::detail {

namespace {

// Deeper chains of macros inside macros are reported and left unexpanded.
constexpr int MaxMacroDepth = 64;
constexpr int MaxIncludeDepth = 16;

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// A directive's line with its continuations joined and its comments removed.
QString directiveLine(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size() && isLineBreak(text[i + 1].unicode())) {
            ++i;
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u' ';
            continue;
        }
        if (c == u'"')
            inString = !inString;
        if (!inString && c == u'/' && i + 1 < text.size()) {
            if (text[i + 1] == u'/')
                break;
            if (text[i + 1] == u'*') {
                const qsizetype close = text.indexOf(u"*/", i + 2);
                i = close < 0 ? text.size() : close + 1;
                out += u' ';
                continue;
            }
        }
        if (isLineBreak(c.unicode()))
            out += u' ';
        else
            out += c;
    }
    return out;
}

QString identifierAt(QStringView s, qsizetype &i)
{
    const qsizetype start = i;
    while (i < s.size() && isIdentChar(s[i]))
        ++i;
    return s.mid(start, i - start).toString();
}

void skipBlanks(QStringView s, qsizetype &i)
{
    while (i < s.size() && s[i].isSpace())
        ++i;
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

void appendEscaped(QString &out, char16_t c)
{
    switch (c) {
    case u'\t':
        out += u"\\t";
        return;
    case u'\n':
        out += u"\\n";
        return;
    case u'\r':
        out += u"\\r";
        return;
    default:
        break;
    }
    if (c < 0x100)
        out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QChar(u'0'));
    else
        out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QChar(u'0'));
}

} // namespace

QString escapeControls(QStringView s)
{
    const auto first =
        std::find_if(s.begin(), s.end(), [](QChar c) { return isControl(c.unicode()); });
    if (first == s.end())
        return s.toString();
    QString out;
    out.reserve(s.size() + 8);
    for (const QChar c : s) {
        if (isControl(c.unicode()))
            appendEscaped(out, c.unicode());
        else
            out += c;
    }
    return out;
}

QString cutText(QStringView s)
{
    constexpr qsizetype Max = 40;
    qsizetype keep = std::min(s.size(), Max);
    // A surrogate pair stays whole or goes whole.
    if (keep < s.size() && keep > 0 && s[keep - 1].isHighSurrogate())
        --keep;
    QString out = escapeControls(s.left(keep));
    if (keep < s.size())
        out += u'…';
    return out;
}

QString echo(QStringView s)
{
    return u'\'' + cutText(s) + u'\'';
}

namespace {

// Whether any of the eight characters at `d` may end a line (a control character up to CR, or
// one of the two separators). Most blocks of a text hold none, and this says so in a few
// instructions.
inline bool mayBreakLine(const char16_t *d)
{
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d));
    const __m128i zero = _mm_setzero_si128();
    const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(v, _mm_set1_epi16(u'\r')), zero);
    const __m128i separator = _mm_cmpeq_epi16(
        _mm_andnot_si128(_mm_set1_epi16(1), _mm_xor_si128(v, _mm_set1_epi16(0x2028))), zero);
    return _mm_movemask_epi8(_mm_or_si128(control, separator)) != 0;
#else
    for (int k = 0; k < 8; ++k) {
        if (d[k] <= u'\r' || d[k] == 0x2028 || d[k] == 0x2029)
            return true;
    }
    return false;
#endif
}

} // namespace

// Calls `lineStart` with the offset of each line after the first, in order.
template <typename LineStart> void forEachLineStart(const QString &text, LineStart lineStart)
{
    const char16_t *d = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && !mayBreakLine(d + i)) {
            i += 8;
            continue;
        }
        for (const qsizetype blockEnd = std::min(i + 8, n); i < blockEnd; ++i) {
            const char16_t c = d[i];
            // Quick rejection of everything that cannot be a line break.
            if (c > u'\r' && c < 0x2028)
                continue;
            if (c == u'\r') {
                if (i + 1 < n && d[i + 1] == u'\n')
                    ++i;
                lineStart(i + 1);
            } else if (c == u'\n' || c == 0x2028 || c == 0x2029) {
                lineStart(i + 1);
            }
        }
    }
}

LineIndex::LineIndex(const QString &text)
{
    // Counted first, so that the list is made once at its size: a list that doubles as it
    // grows needs twice the room, and for a large file that is the reader's largest piece.
    std::size_t lines = 1;
    forEachLineStart(text, [&lines](qsizetype) { ++lines; });
    m_starts.reserve(lines);
    m_starts.push_back(0);
    forEachLineStart(text, [this](qsizetype start) { m_starts.push_back(start); });
}

SourcePos LineIndex::pos(qsizetype offset) const
{
    // Positions are asked for mostly near the last one (a statement's start after its last
    // line, the next token), so the search gallops out from the last answer: a few steps for a
    // near line, a binary search only over the range the gallop found.
    const auto begin = m_starts.begin();
    const std::size_t n = m_starts.size();
    std::size_t index = std::min(m_hint, n - 1);
    if (m_starts[index] <= offset) {
        std::size_t step = 1, low = index;
        while (low + step < n && m_starts[low + step] <= offset) {
            low += step;
            step *= 2;
        }
        const std::size_t high = std::min(low + step, n);
        index =
            std::size_t(std::upper_bound(begin + qsizetype(low), begin + qsizetype(high), offset) -
                        begin) -
            1;
    } else {
        std::size_t step = 1, high = index; // m_starts[high] > offset
        while (step <= high && m_starts[high - step] > offset) {
            high -= step;
            step *= 2;
        }
        const std::size_t low = step <= high ? high - step : 0;
        index =
            std::size_t(std::upper_bound(begin + qsizetype(low), begin + qsizetype(high), offset) -
                        begin) -
            1;
    }
    m_hint = index;
    SourcePos p;
    p.offset = offset;
    p.line = int(index + 1);
    p.column = int(offset - m_starts[index] + 1);
    return p;
}

bool FileContext::silenced(int line, DiagnosticKind kind) const
{
    for (const int at : {line, line - 1}) {
        if (const auto it = silencers.constFind(at); it != silencers.cend() && it->contains(kind))
            return true;
    }
    return false;
}

void findSilencers(FileContext &file)
{
    static const QString Marker = QStringLiteral("check: ignore");
    const QString &text = *file.text;
    for (qsizetype at = text.indexOf(Marker); at >= 0; at = text.indexOf(Marker, at + 1)) {
        // Only in a comment: "//" or "/*" earlier on the same line.
        qsizetype lineStart = at;
        while (lineStart > 0 && !isLineBreak(text[lineStart - 1].unicode()))
            --lineStart;
        const QStringView before = QStringView(text).mid(lineStart, at - lineStart);
        if (!before.contains(u"//") && !before.contains(u"/*"))
            continue;
        QList<DiagnosticKind> kinds;
        qsizetype i = at + Marker.size();
        for (;;) {
            while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u','))
                ++i;
            const qsizetype start = i;
            while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'-'))
                ++i;
            if (i == start)
                break;
            const QStringView name = QStringView(text).mid(start, i - start);
            for (int k = 0; k <= int(DiagnosticKind::OutOfMemory); ++k) {
                if (name == diagnosticName(DiagnosticKind(k)))
                    kinds.append(DiagnosticKind(k));
            }
        }
        if (!kinds.isEmpty())
            file.silencers[file.lines.pos(at).line] += kinds;
    }
}

bool SharedState::report(const FileContext &file, Severity severity, qsizetype start, qsizetype end,
                         const QString &message, DiagnosticKind kind, qsizetype anchor)
{
    const SourcePos position = file.lines.pos(start);
    if (!file.silencers.isEmpty() && file.silenced(position.line, kind))
        return false;
    bool standIn = false;
    if (keepAlike > 0) {
        Alike &a = alike[severity == Severity::Error ? 0 : 1][message];
        if (++a.count > keepAlike) {
            if (a.count > keepAlike + 1) {
                ++diagnostics[a.standIn].diagnostic.alike;
                return true;
            }
            a.standIn = diagnostics.size();
            standIn = true;
        }
    }
    Diagnostic d;
    d.severity = severity;
    d.kind = kind;
    d.position = position;
    d.length = std::max<qsizetype>(0, end - start);
    d.message = message;
    d.file = file.diagnosticFile;
    d.alike = standIn ? 1 : 0;
    d.includedFrom = file.includedFrom;
    diagnostics.push_back({std::move(d), file.anchor >= 0 ? file.anchor
                                         : anchor >= 0    ? anchor
                                                          : start});
    return true;
}

QString describe(const Token &t)
{
    switch (t.kind) {
    case Tok::End:
        return QStringLiteral("the end of the file");
    case Tok::String:
        return echo(t.view());
    case Tok::Directive:
        return QStringLiteral("a preprocessor line");
    case Tok::Comment:
        return QStringLiteral("a comment");
    default:
        return echo(t.view());
    }
}

TokenSource::TokenSource(SharedState &shared, FileContext &file)
    : m_shared(shared), m_file(file), m_lexer(*file.text)
{
}

Token TokenSource::raw()
{
    if (!m_pending.empty()) {
        Token t = m_pending.back();
        m_pending.pop_back();
        return t;
    }
    return m_lexer.next();
}

Token TokenSource::endSkip(const Token &t)
{
    // The switched-off text before `t` comes out first as one Skipped token; `t` follows.
    if (!m_skipping)
        return t;
    m_skipping = false;
    Token s = t;
    s.kind = Tok::Skipped;
    s.start = s.spanStart = m_skipStart;
    s.end = s.spanEnd = m_skipEnd;
    m_out.push_back(t);
    return s;
}

void TokenSource::extendSkip(const Token &t)
{
    if (!m_skipping) {
        m_skipping = true;
        m_skipStart = t.spanStart;
    }
    m_skipEnd = t.spanEnd;
}

Token TokenSource::next()
{
    if (!m_out.empty()) {
        Token t = m_out.front();
        m_out.pop_front();
        return t;
    }
    for (;;) {
        Token t = raw();
        if (t.kind == Tok::End) {
            for (const Condition &c : m_conditions) {
                m_shared.report(m_file, Severity::Error, c.start, c.end,
                                QStringLiteral("expected '#endif' to close this block, found "
                                               "the end of the file"),
                                DiagnosticKind::UnclosedBlock);
            }
            m_conditions.clear();
            return endSkip(t);
        }
        if (t.kind == Tok::Directive && t.fromSource()) {
            const bool wasActive = active();
            processDirective(t, wasActive);
            if (wasActive)
                return t;
            if (!active()) {
                extendSkip(t);
                continue;
            }
            return endSkip(t);
        }
        if (!active()) {
            extendSkip(t);
            continue;
        }
        if (t.kind == Tok::Word && !m_shared.macros.isEmpty() && m_shared.mayBeMacro(t.view()) &&
            expand(t))
            continue;
        if (t.unterminated) {
            if (t.kind == Tok::String) {
                m_shared.report(m_file, Severity::Error, t.spanStart, t.spanEnd,
                                QStringLiteral("unterminated string: expected '\"' before the "
                                               "end of the line"),
                                DiagnosticKind::UnterminatedString);
            } else if (t.kind == Tok::Comment) {
                m_shared.report(m_file, Severity::Error, t.spanStart, t.spanStart + 2,
                                QStringLiteral("unterminated comment: expected '*/', found the "
                                               "end of the file"),
                                DiagnosticKind::UnterminatedComment);
            }
        }
        return t;
    }
}

void TokenSource::processDirective(const Token &t, bool wasActive)
{
    const QString line = directiveLine(t.view());
    qsizetype i = 1; // past '#'
    skipBlanks(line, i);
    const QString name = identifierAt(line, i);
    skipBlanks(line, i);
    const QString rest = line.mid(i).trimmed();
    directive = {name, rest, {}};
    auto error = [&](const QString &message) {
        m_shared.report(m_file, Severity::Error, t.spanStart, t.spanEnd, message,
                        DiagnosticKind::Directive);
    };

    if (name == u"ifdef" || name == u"ifndef" || name == u"if") {
        bool value = false;
        if (wasActive) {
            qsizetype j = 0;
            const QString macro = identifierAt(rest, j);
            if (name == u"if") {
                value = evaluateIf(rest, t);
            } else if (macro.isEmpty()) {
                error(u"expected a macro name after #"_qs + cutText(name) + u", found "_qs +
                      (rest.isEmpty() ? u"the end of the line"_qs : echo(rest)));
            } else {
                value = m_shared.macros.contains(macro) == (name == u"ifdef");
            }
        }
        m_conditions.push_back({wasActive && value, wasActive, false, t.spanStart, t.spanEnd});
        return;
    }
    if (name == u"else" || name == u"endif") {
        if (m_conditions.empty()) {
            error(u"#"_qs + cutText(name) + u" without a matching #ifdef, #ifndef or #if"_qs);
            return;
        }
        Condition &c = m_conditions.back();
        if (name == u"endif") {
            m_conditions.pop_back();
            return;
        }
        if (c.elseSeen) {
            error(QStringLiteral("expected '#endif', found a second '#else' for the same block"));
            return;
        }
        c.elseSeen = true;
        c.active = c.parentActive && !c.active;
        return;
    }
    if (!wasActive)
        return;

    if (name == u"define") {
        qsizetype j = i;
        const QString macro = identifierAt(line, j);
        if (macro.isEmpty()) {
            error(u"expected a macro name after #define, found "_qs +
                  (rest.isEmpty() ? u"the end of the line"_qs : echo(rest)));
            return;
        }
        Macro m;
        if (j < line.size() && line[j] == u'(') {
            m.functionLike = true;
            const qsizetype close = line.indexOf(u')', j);
            if (close < 0) {
                error(u"expected ')' to close the parameters of macro "_qs + echo(macro) +
                      u", found the end of the line"_qs);
                return;
            }
            for (const QString &p : line.mid(j + 1, close - j - 1).split(u','))
                m.params.append(p.trimmed());
            if (m.params.size() == 1 && m.params.front().isEmpty())
                m.params.clear();
            m.paramIndex.reserve(m.params.size());
            // A name given twice stands for its first argument.
            for (qsizetype p = m.params.size() - 1; p >= 0; --p)
                m.paramIndex.insert(m.params[p], p);
            j = close + 1;
        }
        m.body = line.mid(j).trimmed();
        m_shared.addToMacroFilter(macro);
        m_shared.macros.insert(macro, m);
        return;
    }
    if (name == u"undef") {
        qsizetype j = 0;
        const QString macro = identifierAt(rest, j);
        if (macro.isEmpty()) {
            error(u"expected a macro name after #undef, found "_qs +
                  (rest.isEmpty() ? u"the end of the line"_qs : echo(rest)));
            return;
        }
        m_shared.macros.remove(macro);
        return;
    }
    if (name == u"include") {
        const QChar open = rest.isEmpty() ? QChar() : rest.front();
        const QChar closeChar = open == u'<' ? QChar(u'>') : QChar(u'"');
        const qsizetype close = rest.indexOf(closeChar, 1);
        if ((open != u'"' && open != u'<') || close < 0) {
            error(u"expected \"file\" or <file> after #include, found "_qs +
                  (rest.isEmpty() ? u"the end of the line"_qs : echo(rest)));
            return;
        }
        const QString path = rest.mid(1, close - 1);
        directive.text = path;
        if (m_shared.includeLoader)
            include(path, t);
        else if (m_shared.missingInclude.isEmpty())
            m_shared.missingInclude = path; // not followed: its macros are unknown too
        return;
    }
    if (name.isEmpty()) {
        error(u"expected a directive name after '#', found "_qs +
              (rest.isEmpty() ? u"the end of the line"_qs : echo(rest)));
        return;
    }
    error(u"unknown preprocessor directive '#"_qs + cutText(name) +
          u"': expected include, define, undef, ifdef, ifndef, if, else or endif"_qs);
}

bool TokenSource::evaluateIf(const QString &expression, const Token &t)
{
    // "__has_include("file")": whether the include would be found. Game and addon paths are
    // not looked up here, so the block for a missing addon is the one that is read.
    if (expression.startsWith(u"__has_include")) {
        qsizetype open = expression.indexOf(u'(');
        const qsizetype close = expression.lastIndexOf(u')');
        if (open > 0 && close > open) {
            QString path = expression.mid(open + 1, close - open - 1).trimmed();
            if (path.size() >= 2 && (path.front() == u'"' || path.front() == u'<'))
                path = path.mid(1, path.size() - 2);
            if (path.isEmpty() || path.startsWith(u'\\') || !m_shared.includeLoader)
                return false;
            return m_shared.includeLoader(path, m_file.loaderName).found;
        }
    }
    // The game's #if takes a number, or a macro that stands for one.
    QString value = expression;
    for (int hops = 0; hops < MaxMacroDepth; ++hops) {
        const auto it = m_shared.macros.constFind(value);
        if (it == m_shared.macros.cend() || it->functionLike)
            break;
        value = it->body;
    }
    bool ok = false;
    const long long number = value.toLongLong(&ok, 0);
    if (!ok) {
        m_shared.report(m_file, Severity::Warning, t.spanStart, t.spanEnd,
                        u"expected a number or a macro holding one after #if, found "_qs +
                            (expression.isEmpty() ? u"the end of the line"_qs : echo(expression)) +
                            u"; the block is treated as switched off"_qs,
                        DiagnosticKind::IfCondition);
    }
    return ok && number != 0;
}

void TokenSource::include(const QString &path, const Token &t)
{
    // A path that starts with a backslash names a file in the game or an addon, which the game
    // finds in its own archives and the check does not have: it says so once for each such
    // #include, and the names its macros would define are treated as those of a missing include.
    if (path.startsWith(u'\\')) {
        if (m_shared.missingInclude.isEmpty())
            m_shared.missingInclude = path;
        m_shared.report(m_file, Severity::Warning, t.spanStart, t.spanEnd,
                        u"included file "_qs + echo(path) +
                            u" is not read: a path starting with '\\' names a file of the game "
                            u"or an addon, which only the game has"_qs,
                        DiagnosticKind::IncludeAddon);
        return;
    }
    if (m_shared.includeChain.size() >= MaxIncludeDepth) {
        m_shared.report(
            m_file, Severity::Error, t.spanStart, t.spanEnd,
            QStringLiteral("#include nested more than %1 files deep").arg(MaxIncludeDepth),
            DiagnosticKind::IncludeDepth);
        return;
    }
    const IncludedFile included = m_shared.includeLoader(path, m_file.loaderName);
    if (!included.found && m_shared.missingInclude.isEmpty())
        m_shared.missingInclude = path;
    if (!included.found) {
        if (!included.problem.isEmpty()) {
            m_shared.report(m_file, Severity::Error, t.spanStart, t.spanEnd,
                            u"included file "_qs + echo(path) + u" "_qs + included.problem,
                            DiagnosticKind::IncludeRefused);
        } else {
            m_shared.report(m_file, Severity::Warning, t.spanStart, t.spanEnd,
                            u"included file "_qs + echo(path) + u" not found"_qs,
                            DiagnosticKind::IncludeNotFound);
        }
        return;
    }
    if (m_shared.includeChain.contains(included.name)) {
        QStringList chain;
        for (const QString &name : std::as_const(m_shared.includeChain))
            chain << cutText(name);
        m_shared.report(m_file, Severity::Error, t.spanStart, t.spanEnd,
                        u"#include cycle: "_qs + echo(path) + u" is already being read ("_qs +
                            chain.join(u" → ") + u" → "_qs + cutText(included.name) + u")"_qs,
                        DiagnosticKind::IncludeCycle);
        return;
    }
    FileContext sub{&included.text,
                    LineIndex(included.text),
                    included.name,
                    included.name,
                    m_file.anchor >= 0 ? m_file.anchor : t.spanStart,
                    false,
                    {},
                    {}};
    findSilencers(sub);
    sub.includedFrom.reserve(m_file.includedFrom.size() + 1);
    sub.includedFrom.append({m_file.diagnosticFile, m_file.lines.pos(t.spanStart)});
    sub.includedFrom.append(m_file.includedFrom);
    m_shared.includeChain.append(included.name);
    directive.children = parseText(m_shared, sub);
    m_shared.includeChain.removeLast();
}

bool TokenSource::substitute(const Macro &m, const QStringList &args, qsizetype limit,
                             QString &out) const
{
    auto argument = [&](const QString &ident) -> const QString * {
        const auto it = m.paramIndex.constFind(ident);
        return it != m.paramIndex.cend() && *it < args.size() ? &args[*it] : nullptr;
    };
    // Every piece is counted against the limit before it is added: a body that names its
    // parameter 100,000 times must stop at the budget, not after building gigabytes.
    auto add = [&](QStringView piece) {
        if (piece.size() > limit - out.size())
            return false;
        out += piece;
        return true;
    };
    const QString &body = m.body;
    out.reserve(std::min(body.size() + 16, limit));
    for (qsizetype i = 0; i < body.size();) {
        const QChar c = body[i];
        if (c == u'"') {
            // Parameters are not replaced inside strings.
            qsizetype j = i + 1;
            while (j < body.size() && body[j] != u'"')
                ++j;
            if (!add(QStringView(body).mid(i, std::min(j + 1, body.size()) - i)))
                return false;
            i = j + 1;
            continue;
        }
        if (c == u'#' && i + 1 < body.size() && body[i + 1] == u'#') {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            i += 2;
            skipBlanks(body, i);
            continue;
        }
        if (c == u'#') {
            qsizetype j = i + 1;
            skipBlanks(body, j);
            const QString ident = identifierAt(body, j);
            if (const QString *arg = argument(ident)) {
                // Quotes double when the argument is made a string.
                if (arg->size() + 2 > limit - out.size())
                    return false;
                QString s = *arg;
                s.replace(u'"', u"\"\""_qs);
                if (!add(u"\""_qs + s + u"\""_qs))
                    return false;
                i = j;
                continue;
            }
            if (!add(QStringView(&c, 1)))
                return false;
            ++i;
            continue;
        }
        if (isIdentChar(c)) {
            const QString ident = identifierAt(body, i);
            const QString *arg = argument(ident);
            if (!add(arg ? *arg : ident))
                return false;
            continue;
        }
        if (!add(QStringView(&c, 1)))
            return false;
        ++i;
    }
    return true;
}

void TokenSource::reportBudget(const Token &t, qsizetype spanEnd, const QString &name)
{
    m_shared.expansionBudget = -1;
    if (m_shared.budgetReported)
        return;
    m_shared.budgetReported = true;
    m_shared.report(m_file, Severity::Error, t.spanStart, spanEnd,
                    u"macro expansion stopped at "_qs + echo(name) +
                        u": the macros expand to far more text than the file holds"_qs,
                    DiagnosticKind::MacroBudget);
}

bool TokenSource::onChain(int context, QStringView name) const
{
    for (int c = context; c >= 0; c = m_shared.contexts[std::size_t(c)].parent) {
        if (m_shared.contexts[std::size_t(c)].name == name)
            return true;
    }
    return false;
}

namespace {

// Adds a token's text to an argument or an expansion being built, with one space where the
// source had any.
void appendToken(QString &out, const Token &t)
{
    if (t.spaceBefore && !out.isEmpty())
        out += u' ';
    out += t.view();
}

} // namespace

bool TokenSource::expandTokens(const Token *tokens, std::size_t count, int context, int level,
                               const Token &site, QString &out)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Token &tok = tokens[i];
        if (tok.kind == Tok::Comment)
            continue;
        const auto it = tok.kind == Tok::Word && m_shared.mayBeMacro(tok.view())
                            ? m_shared.macros.constFind(tok.view().toString())
                            : m_shared.macros.cend();
        if (it == m_shared.macros.cend() || onChain(context, tok.view())) {
            appendToken(out, tok);
            continue;
        }
        if (level >= MaxMacroDepth) {
            if (!m_shared.depthReported) {
                m_shared.depthReported = true;
                m_shared.report(m_file, Severity::Error, site.spanStart, site.spanEnd,
                                QStringLiteral("macros nested more than %1 expansions deep; %2 "
                                               "is left unexpanded")
                                    .arg(MaxMacroDepth)
                                    .arg(echo(tok.view())),
                                DiagnosticKind::MacroDepth);
            }
            appendToken(out, tok);
            continue;
        }
        const Macro macro = it.value();
        const QString name = it.key();
        QString expansion;
        if (macro.functionLike) {
            // Its arguments must be inside the tokens at hand; a name alone is just a word.
            std::size_t open = i + 1;
            while (open < count && tokens[open].kind == Tok::Comment)
                ++open;
            if (open >= count || tokens[open].kind != Tok::LParen) {
                appendToken(out, tok);
                continue;
            }
            std::vector<std::pair<std::size_t, std::size_t>> ranges;
            std::size_t argStart = open + 1;
            std::size_t close = count;
            int parens = 1;
            for (std::size_t k = open + 1; k < count; ++k) {
                const Tok kind = tokens[k].kind;
                if (kind == Tok::LParen) {
                    ++parens;
                } else if (kind == Tok::RParen && --parens == 0) {
                    close = k;
                    break;
                } else if (kind == Tok::Comma && parens == 1) {
                    ranges.emplace_back(argStart, k);
                    argStart = k + 1;
                }
            }
            if (close == count) {
                // Not closed inside the argument: left as written, as the rest of it.
                for (; i < count; ++i)
                    appendToken(out, tokens[i]);
                return true;
            }
            ranges.emplace_back(argStart, close);
            QStringList args;
            args.reserve(qsizetype(ranges.size()));
            for (const auto &[from, to] : ranges) {
                QString arg;
                if (!expandTokens(tokens + from, to - from, context, level + 1, site, arg))
                    return false;
                args.append(arg.trimmed());
            }
            if (macro.params.isEmpty() && args.size() == 1 && args.front().isEmpty())
                args.clear();
            if (args.size() != macro.params.size()) {
                m_shared.report(m_file, Severity::Error, tok.spanStart, tokens[close].spanEnd,
                                QStringLiteral("macro %1 takes %2 arguments, found %3")
                                    .arg(echo(name))
                                    .arg(macro.params.size())
                                    .arg(args.size()),
                                DiagnosticKind::MacroArguments);
            }
            if (!substitute(macro, args, m_shared.expansionBudget - 1, expansion)) {
                reportBudget(site, site.spanEnd, name);
                return false;
            }
            i = close;
        } else {
            if (macro.body.size() > m_shared.expansionBudget - 1) {
                reportBudget(site, site.spanEnd, name);
                return false;
            }
            expansion = macro.body;
        }
        m_shared.expansionBudget -= expansion.size() + 1;
        const int depth = context >= 0 ? m_shared.contexts[std::size_t(context)].depth + 1 : 1;
        m_shared.contexts.push_back({name, context, depth});
        const int inner = int(m_shared.contexts.size() - 1);
        // The expansion is read again for the macros it names.
        std::vector<Token> produced;
        Lexer lexer(expansion, false);
        for (Token e = lexer.next(); e.kind != Tok::End; e = lexer.next()) {
            if (e.kind == Tok::Directive)
                e.kind = Tok::Word;
            produced.push_back(e);
        }
        QString text;
        if (!expandTokens(produced.data(), produced.size(), inner, level + 1, site, text))
            return false;
        if (!text.isEmpty()) {
            if (tok.spaceBefore && !out.isEmpty())
                out += u' ';
            out += text;
        }
    }
    return true;
}

bool TokenSource::expand(const Token &t)
{
    const QString name = t.view().toString();
    const auto it = m_shared.macros.constFind(name);
    if (it == m_shared.macros.cend())
        return false;
    int depth = 1;
    if (t.context >= 0) {
        if (onChain(t.context, name))
            return false;
        depth = m_shared.contexts[std::size_t(t.context)].depth + 1;
    }
    if (depth > MaxMacroDepth) {
        if (!m_shared.depthReported) {
            m_shared.depthReported = true;
            m_shared.report(m_file, Severity::Error, t.spanStart, t.spanEnd,
                            QStringLiteral("macros nested more than %1 expansions deep; %2 "
                                           "is left unexpanded")
                                .arg(MaxMacroDepth)
                                .arg(echo(name)),
                            DiagnosticKind::MacroDepth);
        }
        return false;
    }
    const Macro macro = it.value();
    qsizetype spanEnd = t.spanEnd;
    QString expansion;
    if (macro.functionLike) {
        std::vector<Token> taken;
        auto giveBack = [&] {
            for (auto r = taken.rbegin(); r != taken.rend(); ++r)
                unread(*r);
        };
        Token open = raw();
        while (open.kind == Tok::Comment) {
            taken.push_back(open);
            open = raw();
        }
        taken.push_back(open);
        if (open.kind != Tok::LParen) {
            giveBack();
            return false; // a function-like macro's name alone is just a word
        }
        // The arguments run to the matching ')': ';' and line breaks belong to them, as the
        // game reads them (QUOTE(a; b) is one argument). Only ',' outside inner parentheses
        // separates them.
        const std::size_t firstArg = taken.size();
        std::size_t firstSemicolon = 0;
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        std::size_t argStart = firstArg;
        int parens = 1;
        for (;;) {
            Token a = raw();
            if (a.kind == Tok::End || a.kind == Tok::Directive) {
                m_shared.report(m_file, Severity::Error, t.spanStart, open.spanEnd,
                                u"expected ')' to close the arguments of macro "_qs + echo(name) +
                                    u", found "_qs + describe(a),
                                DiagnosticKind::MacroArguments);
                // The invocation is dropped; its error says so. Reading goes on after the first
                // ';' it took, where the statement it was in would have ended.
                unread(a);
                if (firstSemicolon > 0) {
                    for (std::size_t r = taken.size(); r-- > firstSemicolon;)
                        unread(taken[r]);
                }
                return true;
            }
            taken.push_back(a);
            if (a.kind == Tok::Semicolon && firstSemicolon == 0)
                firstSemicolon = taken.size() - 1;
            if (a.kind == Tok::LParen) {
                ++parens;
            } else if (a.kind == Tok::RParen && --parens == 0) {
                spanEnd = a.spanEnd;
                ranges.emplace_back(argStart, taken.size() - 1);
                break;
            } else if (a.kind == Tok::Comma && parens == 1) {
                ranges.emplace_back(argStart, taken.size() - 1);
                argStart = taken.size();
            }
        }
        // Each argument is expanded before it takes its parameter's place.
        QStringList args;
        args.reserve(qsizetype(ranges.size()));
        for (const auto &[from, to] : ranges) {
            QString arg;
            if (!expandTokens(taken.data() + from, to - from, t.context, 0, t, arg))
                return true;
            args.append(arg.trimmed());
        }
        if (macro.params.isEmpty() && args.size() == 1 && args.front().isEmpty())
            args.clear();
        if (args.size() != macro.params.size()) {
            m_shared.report(m_file, Severity::Error, t.spanStart, spanEnd,
                            QStringLiteral("macro %1 takes %2 arguments, found %3")
                                .arg(echo(name))
                                .arg(macro.params.size())
                                .arg(args.size()),
                            DiagnosticKind::MacroArguments);
        }
        if (!substitute(macro, args, m_shared.expansionBudget - 1, expansion)) {
            reportBudget(t, spanEnd, name);
            return true;
        }
    } else {
        if (macro.body.size() > m_shared.expansionBudget - 1) {
            reportBudget(t, spanEnd, name);
            return true;
        }
        expansion = macro.body;
    }
    m_shared.expansionBudget -= expansion.size() + 1;
    m_expansions.push_back(std::move(expansion));
    m_shared.contexts.push_back({name, t.context, depth});
    const int context = int(m_shared.contexts.size() - 1);
    Lexer lexer(m_expansions.back(), false);
    std::vector<Token> produced;
    for (Token e = lexer.next(); e.kind != Tok::End; e = lexer.next()) {
        if (e.kind == Tok::Comment)
            continue;
        if (e.kind == Tok::Directive)
            e.kind = Tok::Word;
        e.spanStart = t.spanStart;
        e.spanEnd = spanEnd;
        e.context = context;
        e.newlineBefore = false;
        produced.push_back(e);
    }
    if (!produced.empty()) {
        produced.front().spaceBefore = t.spaceBefore;
        produced.front().newlineBefore = t.newlineBefore;
    }
    for (auto r = produced.rbegin(); r != produced.rend(); ++r)
        m_pending.push_back(*r);
    return true;
}

} // namespace config::detail
