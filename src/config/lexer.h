// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The tokens of the description format. Internal to the reader.

#include <QString>
#include <QStringView>

#include <array>

namespace config::detail {

enum class Tok : unsigned char {
    End,
    Word, // any run of characters that is not white space, punctuation below, or a quote
    String,
    LBrace,
    RBrace,
    LBracket,
    RBracket,
    LParen,
    RParen,
    Semicolon,
    Comma,
    Colon,
    Assign,
    PlusAssign,
    Comment,
    Directive, // '#' first on a line, up to the end of the line and its continuations
    Skipped,   // a switched-off conditional block (made by the preprocessor, not the lexer)
};

struct Token
{
    Tok kind = Tok::End;
    bool spaceBefore = false;
    bool newlineBefore = false;
    // A string without its closing quote on its line, or a block comment without "*/".
    bool unterminated = false;
    // The characters in `text`.
    qsizetype start = 0;
    qsizetype end = 0;
    const QString *text = nullptr;
    // Where the token stands in the file being read: the token itself, or for a token that a
    // macro produced, the macro's invocation.
    qsizetype spanStart = 0;
    qsizetype spanEnd = 0;
    // The chain of macros this token came out of (an index into the preprocessor's list), -1
    // for a token from the file itself.
    int context = -1;

    QStringView view() const { return QStringView(*text).mid(start, end - start); }
    bool fromSource() const { return context < 0; }
};

// What each ASCII character is to the lexer, looked up once per character.
enum CharClass : unsigned char {
    Other = 0,
    Blank = 1,
    Break = 2,
    Punct = 4,
    Special = 8, // '/' and '+', which may start a comment or "+="
};

inline constexpr auto AsciiClasses = [] {
    std::array<unsigned char, 128> t{};
    for (char c : {' ', '\t', '\f', '\v'})
        t[std::size_t(c)] = Blank;
    t[std::size_t('\n')] = Break;
    t[std::size_t('\r')] = Break;
    for (char c : {'{', '}', '[', ']', '(', ')', ';', ',', ':', '=', '"'})
        t[std::size_t(c)] = Punct;
    t[std::size_t('/')] = Special;
    t[std::size_t('+')] = Special;
    return t;
}();

inline bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

inline unsigned char charClass(char16_t c)
{
    if (c < 0x80)
        return AsciiClasses[c];
    if (c == 0x2028 || c == 0x2029)
        return Break;
    return (c == 0xFEFF || QChar::isSpace(c)) ? Blank : Other;
}

inline bool isBlank(char16_t c)
{
    return charClass(c) == Blank;
}

// Work done by reading on this thread: the characters the lexers went over (macro expansions
// included, as they are lexed again) and the entries the parser sorted between statements.
// readConfig() hands its share out with the result, so that tests show without a clock that
// reading grows linearly with the text.
inline thread_local qsizetype workSteps = 0;

// Splits one text into tokens. Never fails: every character belongs to some token or to the
// white space between them.
class Lexer
{
public:
    // `directivesAtStart`: whether a '#' at the very start counts as being first on a line
    // (true for files, false for macro expansions, where '#' is an ordinary character).
    // `from`: where to begin, for a reader that knows what comes before (the highlighter, in
    // a line that goes on from a comment).
    explicit Lexer(const QString &text, bool directivesAtStart = true, qsizetype from = 0)
        : m_text(&text), m_data(reinterpret_cast<const char16_t *>(text.constData())),
          m_size(text.size()), m_pos(from), m_lineStart(directivesAtStart)
    {
    }

    Token next()
    {
        Token t;
        t.text = m_text;
        qsizetype i = m_pos;
        while (i < m_size) {
            const unsigned char k = charClass(m_data[i]);
            if (k == Break) {
                t.newlineBefore = true;
                t.spaceBefore = true;
                m_lineStart = true;
                ++i;
            } else if (k == Blank) {
                t.spaceBefore = true;
                ++i;
            } else {
                break;
            }
        }
        t.start = i;
        if (i >= m_size) {
            t.kind = Tok::End;
            t.end = i;
        } else {
            lexOne(t, i);
        }
        t.spanStart = t.start;
        t.spanEnd = t.end;
        workSteps += t.end - m_pos + 1;
        m_pos = t.end;
        return t;
    }

    qsizetype position() const { return m_pos; }

private:
    void lexOne(Token &t, qsizetype i)
    {
        const char16_t c = m_data[i];
        const bool atLineStart = m_lineStart;
        m_lineStart = false;
        if (c == u'#' && atLineStart) {
            t.kind = Tok::Directive;
            t.end = directiveEnd(i);
            return;
        }
        if (c == u'/' && i + 1 < m_size && (m_data[i + 1] == u'/' || m_data[i + 1] == u'*')) {
            t.kind = Tok::Comment;
            if (m_data[i + 1] == u'/') {
                qsizetype j = i + 2;
                while (j < m_size && !isLineBreak(m_data[j]))
                    ++j;
                t.end = j;
            } else {
                qsizetype j = i + 2;
                while (j + 1 < m_size && !(m_data[j] == u'*' && m_data[j + 1] == u'/'))
                    ++j;
                if (j + 1 < m_size) {
                    t.end = j + 2;
                } else {
                    t.end = m_size;
                    t.unterminated = true;
                }
            }
            return;
        }
        t.end = i + 1;
        switch (c) {
        case u'{':
            t.kind = Tok::LBrace;
            return;
        case u'}':
            t.kind = Tok::RBrace;
            return;
        case u'[':
            t.kind = Tok::LBracket;
            return;
        case u']':
            t.kind = Tok::RBracket;
            return;
        case u'(':
            t.kind = Tok::LParen;
            return;
        case u')':
            t.kind = Tok::RParen;
            return;
        case u';':
            t.kind = Tok::Semicolon;
            return;
        case u',':
            t.kind = Tok::Comma;
            return;
        case u':':
            t.kind = Tok::Colon;
            return;
        case u'=':
            t.kind = Tok::Assign;
            return;
        case u'"': {
            t.kind = Tok::String;
            qsizetype j = i + 1;
            for (;;) {
                if (j >= m_size || isLineBreak(m_data[j])) {
                    t.unterminated = true;
                    break;
                }
                if (m_data[j] == u'"') {
                    if (j + 1 < m_size && m_data[j + 1] == u'"') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            t.end = j;
            return;
        }
        case u'+':
            if (i + 1 < m_size && m_data[i + 1] == u'=') {
                t.kind = Tok::PlusAssign;
                t.end = i + 2;
                return;
            }
            break;
        default:
            break;
        }
        t.kind = Tok::Word;
        qsizetype j = i + 1;
        while (j < m_size) {
            const char16_t d = m_data[j];
            const unsigned char k = charClass(d);
            if (k == Other) {
                ++j;
                continue;
            }
            if (k != Special)
                break;
            if (d == u'/' && j + 1 < m_size && (m_data[j + 1] == u'/' || m_data[j + 1] == u'*'))
                break;
            if (d == u'+' && j + 1 < m_size && m_data[j + 1] == u'=')
                break;
            ++j;
        }
        t.end = j;
    }

    // A directive runs to the end of its line; a backslash just before the line break
    // continues it on the next line. A block comment that starts on the line may carry it over
    // line breaks too.
    qsizetype directiveEnd(qsizetype i) const
    {
        qsizetype j = i + 1;
        while (j < m_size) {
            const char16_t d = m_data[j];
            if (d == u'\\' && j + 1 < m_size && isLineBreak(m_data[j + 1])) {
                j += (m_data[j + 1] == u'\r' && j + 2 < m_size && m_data[j + 2] == u'\n') ? 3 : 2;
                continue;
            }
            if (isLineBreak(d))
                break;
            if (d == u'/' && j + 1 < m_size && m_data[j + 1] == u'/') {
                while (j < m_size && !isLineBreak(m_data[j]))
                    ++j;
                break;
            }
            if (d == u'/' && j + 1 < m_size && m_data[j + 1] == u'*') {
                // Comments go before directives are read, so the directive goes on after
                // the comment's end, on whichever line that is.
                j += 2;
                while (j < m_size &&
                       !(m_data[j] == u'*' && j + 1 < m_size && m_data[j + 1] == u'/'))
                    ++j;
                j = std::min(j + 2, m_size);
                continue;
            }
            ++j;
        }
        // The line break after a directive is a new line for the next token.
        return j;
    }

    const QString *m_text;
    const char16_t *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_lineStart;
};

} // namespace config::detail
