// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "confighighlighter.h"

#include "lexer.h"
#include "systemcolours.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

// A block's user state holds its end state, the start state its colours were made for, whether
// they are current, and the generation (palette) they were made in; -1 is a block never seen.
constexpr int EndStateMask = 3;
constexpr int StartStateShift = 2;
constexpr int ColouredBit = 1 << 4;
constexpr int GenerationShift = 5;
constexpr int GenerationMask = 0x1FFFFFF;
// The blocks above and below the shown ones that are coloured with them, so that scrolling a
// little shows colours at once.
constexpr int NearBlocks = 50;
// And no more characters than this on either side, so that long lines near the shown ones do
// not cost more than the shown ones.
constexpr qsizetype NearCharacters = 32768;
// A change of more blocks than this inserted new ones in between, which carry no state.
constexpr int ForgetEveryBlockUpTo = 4096;

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t),
                            float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

// A palette colour as a text colour on `base`: moved toward the text colour when a theme made
// it too close to the background to read.
QColor readable(const QColor &colour, const QColor &base, const QColor &text)
{
    QColor c = colour;
    for (int i = 0; i < 3 && std::abs(c.lightness() - base.lightness()) < 70; ++i)
        c = mix(c, text, 0.5);
    return c;
}

// Where a number that starts at `i` ends, or `i` when none starts there: digits with a sign,
// a point, an exponent or a hex prefix.
qsizetype numberEnd(const QString &text, qsizetype i)
{
    qsizetype j = i;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
        ++j;
    if (j < text.size() && text[j] == u'.')
        ++j;
    if (j >= text.size() || !text[j].isDigit())
        return i;
    while (j < text.size()) {
        const QChar c = text[j];
        if (c.isLetterOrNumber() || c == u'.')
            ++j;
        else if ((c == u'+' || c == u'-') && (text[j - 1] == u'e' || text[j - 1] == u'E'))
            ++j;
        else
            break;
    }
    return j;
}

} // namespace

// How a directive's line ends, from `rest` of it: as the reader reads directives, a line
// comment ends it, a block comment carries it on to the comment's end, and a backslash at the
// end of the line continues it on the next.
int ConfigHighlighter::directiveEndState(QStringView rest)
{
    for (qsizetype i = 0; i + 1 < rest.size(); ++i) {
        if (rest[i] != u'/')
            continue;
        if (rest[i + 1] == u'/')
            return Normal;
        if (rest[i + 1] == u'*') {
            const qsizetype close = rest.indexOf(u"*/", i + 2);
            if (close < 0)
                return InDirectiveComment;
            i = close + 1;
        }
    }
    return !rest.isEmpty() && rest.back() == u'\\' ? InDirective : Normal;
}

ConfigHighlighter::ConfigHighlighter(QTextDocument *document)
    : QObject(document), m_document(document)
{
    takeColours(QGuiApplication::palette());
    connect(document, &QTextDocument::contentsChange, this, &ConfigHighlighter::contentsChange);
    // Once the event loop runs, so that a palette set right after construction does not make
    // the whole text coloured twice.
    QTimer::singleShot(0, this, [this] {
        if (m_firstPassPending)
            rehighlight();
    });
}

ConfigHighlighter::ConfigHighlighter(QPlainTextEdit *view) : ConfigHighlighter(view->document())
{
    m_view = view;
    m_firstPassPending = false;
    view->viewport()->installEventFilter(this);
}

void ConfigHighlighter::setPalette(const QPalette &palette)
{
    takeColours(palette);
    rehighlight();
}

void ConfigHighlighter::takeColours(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    auto make = [&](const QColor &colour, bool bold, bool italic) {
        QTextCharFormat f;
        f.setForeground(readable(colour, base, text));
        if (bold)
            f.setFontWeight(QFont::Bold);
        f.setFontItalic(italic);
        return f;
    };
    m_formats[std::size_t(Role::Comment)] =
        make(palette.color(QPalette::PlaceholderText), false, true);
    m_formats[std::size_t(Role::String)] = make(palette.color(QPalette::LinkVisited), false, false);
    m_formats[std::size_t(Role::Number)] =
        make(mix(palette.color(QPalette::Link), text, 0.35), false, false);
    m_formats[std::size_t(Role::Keyword)] = make(palette.color(QPalette::Link), true, false);
    m_formats[std::size_t(Role::Preprocessor)] =
        make(mix(palette.color(QPalette::Highlight), text, 0.25), true, false);
    m_errorColour = SystemColours::problemColour(palette, true);
    m_warningColour = SystemColours::problemColour(palette, false);
    m_errorBackground = SystemColours::problemBackground(palette, true);
    m_warningBackground = SystemColours::problemBackground(palette, false);
    m_used = {QTextCharFormat()};
}

void ConfigHighlighter::rehighlight()
{
    m_firstPassPending = false;
    ++m_generation;
    if (m_view) {
        m_view->viewport()->update();
        return;
    }
    knowStatesBefore(0);
    for (QTextBlock b = m_document->begin(); b.isValid(); b = b.next())
        colour(b);
}

void ConfigHighlighter::setDiagnostics(const QList<ProblemMark> &marks)
{
    const QList<ProblemMark> old = std::exchange(m_marks, marks);
    std::stable_sort(
        m_marks.begin(), m_marks.end(),
        [](const ProblemMark &a, const ProblemMark &b) { return a.offset < b.offset; });
    m_longestMark = 0;
    for (const ProblemMark &m : m_marks)
        m_longestMark = std::max(m_longestMark, m.length);
    rehighlightMarks(old);
    rehighlightMarks(m_marks);
}

void ConfigHighlighter::rehighlightMarks(const QList<ProblemMark> &marks)
{
    int lastBlock = -1;
    for (const ProblemMark &m : marks) {
        QTextBlock block = m_document->findBlock(int(m.offset));
        const QTextBlock last = m_document->findBlock(int(m.offset + m.length));
        while (block.isValid()) {
            const int number = block.blockNumber();
            if (number > lastBlock) {
                if (m_view) {
                    // Coloured again when it is shown.
                    forget(block);
                } else {
                    knowStatesBefore(number);
                    colour(block, true);
                }
                lastBlock = number;
            }
            if (block == last)
                break;
            block = block.next();
        }
    }
    if (m_view && !marks.isEmpty())
        m_view->viewport()->update();
}

void ConfigHighlighter::contentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_applying)
        return;
    QTextBlock first = m_document->findBlock(position);
    if (!first.isValid())
        first = m_document->lastBlock();
    QTextBlock last = m_document->findBlock(position + added);
    if (!last.isValid())
        last = m_document->lastBlock();
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    m_knownStates = std::min(m_knownStates, firstNumber);
    // The blocks a change inserts are new and carry no state; the ones it split or joined
    // forget theirs. A change of many blocks (new text) leaves the ones between alone: they
    // are all new.
    if (lastNumber - firstNumber <= ForgetEveryBlockUpTo) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            forget(b);
            if (b == last)
                break;
        }
    } else {
        forget(first);
        forget(last);
    }
    if (m_view) {
        // A change among the shown blocks is coloured now, as far as the state it leaves
        // reaches: the box then repaints only what changed. One above them, or a new text,
        // may change the state of what is shown, which the next paint finds out.
        if (firstNumber < m_shownFrom || lastNumber - firstNumber > NearBlocks) {
            m_view->viewport()->update();
            return;
        }
        if (firstNumber > m_shownTo)
            return;
        knowStatesBefore(firstNumber);
        int number = firstNumber;
        const int shownTo = m_shownTo + (lastNumber - firstNumber);
        for (QTextBlock b = first; b.isValid() && number <= shownTo; b = b.next(), ++number) {
            if (!colour(b) && number >= lastNumber)
                break;
        }
        return;
    }
    if (m_firstPassPending)
        return;
    // The changed blocks, then on while the state at the end of a block changes.
    knowStatesBefore(firstNumber);
    int number = firstNumber;
    for (QTextBlock b = first; b.isValid(); b = b.next(), ++number) {
        if (!colour(b) && number >= lastNumber)
            break;
    }
}

bool ConfigHighlighter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && m_view && watched == m_view->viewport())
        colourShown();
    return false;
}

void ConfigHighlighter::colourShown()
{
    if (m_applying)
        return;
    const QTextBlock top = m_view->cursorForPosition(QPoint(0, 0)).block();
    const QTextBlock bottom =
        m_view->cursorForPosition(QPoint(0, m_view->viewport()->height())).block();
    const int first = top.blockNumber();
    const QTextBlock last = bottom.blockNumber() > first ? bottom : top;
    int from = first;
    qsizetype near = 0;
    for (QTextBlock b = top.previous(); b.isValid() && from > first - NearBlocks;
         b = b.previous()) {
        near += b.length();
        if (near > NearCharacters)
            break;
        --from;
    }
    int to = last.blockNumber();
    near = 0;
    for (QTextBlock b = last.next(); b.isValid() && to < last.blockNumber() + NearBlocks;
         b = b.next()) {
        near += b.length();
        if (near > NearCharacters)
            break;
        ++to;
    }
    m_shownFrom = from;
    m_shownTo = to;
    knowStatesBefore(from);
    QTextBlock b = m_document->findBlockByNumber(from);
    for (int number = from; b.isValid() && number <= to; ++number, b = b.next())
        colour(b);
}

void ConfigHighlighter::knowStatesBefore(int number)
{
    if (m_knownStates >= number)
        return;
    const bool collect = std::exchange(m_collect, false);
    QTextBlock b = m_document->findBlockByNumber(m_knownStates);
    int end = m_knownStates == 0 ? int(Normal) : endState(b.previous());
    for (; b.isValid() && m_knownStates < number; b = b.next(), ++m_knownStates) {
        int state = b.userState();
        if (!isColoured(state, end)) {
            m_block = b;
            const int scanned = scan(b.text(), end);
            state = state == -1 ? scanned : (state & ~EndStateMask) | scanned;
            b.setUserState(state);
        }
        end = state & EndStateMask;
    }
    m_collect = collect;
}

int ConfigHighlighter::endState(const QTextBlock &block)
{
    const int state = block.userState();
    return state == -1 ? int(Normal) : state & EndStateMask;
}

bool ConfigHighlighter::isColoured(int state, int start) const
{
    return state != -1 && (state & ColouredBit) && ((state >> StartStateShift) & 3) == start &&
           ((state >> GenerationShift) & GenerationMask) == (m_generation & GenerationMask);
}

void ConfigHighlighter::forget(QTextBlock block)
{
    const int state = block.userState();
    if (state != -1)
        block.setUserState(state & ~ColouredBit);
}

bool ConfigHighlighter::colour(const QTextBlock &block, bool force)
{
    const int number = block.blockNumber();
    const int start = number == 0 ? int(Normal) : endState(block.previous());
    const int before = block.userState();
    if (!force && isColoured(before, start)) {
        if (number == m_knownStates)
            ++m_knownStates;
        return false;
    }
    m_collect = true;
    m_block = block;
    const QString text = block.text();
    m_chars.assign(std::size_t(text.size()), 0);
    const int end = scan(text, start);
    m_collect = false;
    applyFormats(block);
    QTextBlock(block).setUserState(end | start << StartStateShift | ColouredBit |
                                   (m_generation & GenerationMask) << GenerationShift);
    ++m_blocksColoured;
    m_charactersColoured += text.size();
    if (number == m_knownStates)
        ++m_knownStates;
    return before == -1 || (before & EndStateMask) != end;
}

int ConfigHighlighter::scan(const QString &text, int start)
{
    m_start = start;
    m_end = Normal;
    highlightBlock(text);
    return m_end;
}

void ConfigHighlighter::applyFormats(const QTextBlock &block)
{
    QList<QTextLayout::FormatRange> ranges;
    const std::size_t n = m_chars.size();
    for (std::size_t i = 0; i < n;) {
        const quint16 used = m_chars[i];
        std::size_t j = i + 1;
        while (j < n && m_chars[j] == used)
            ++j;
        if (used != 0)
            ranges.append({int(i), int(j - i), m_used[used]});
        i = j;
    }
    QTextLayout *layout = block.layout();
    // What an input method shows while a character is composed stays.
    const int preeditStart = layout->preeditAreaPosition();
    const int preeditLength = int(layout->preeditAreaText().size());
    const QList<QTextLayout::FormatRange> old = layout->formats();
    if (preeditLength > 0) {
        for (const QTextLayout::FormatRange &r : old) {
            if (r.start >= preeditStart && r.start + r.length <= preeditStart + preeditLength)
                ranges.append(r);
        }
    }
    if (ranges == old)
        return;
    layout->setFormats(ranges);
    m_applying = true;
    m_document->markContentsDirty(block.position(), block.length());
    m_applying = false;
}

void ConfigHighlighter::setFormat(int start, int count, const QTextCharFormat &format)
{
    if (!m_collect)
        return;
    const int n = int(m_chars.size());
    start = std::max(0, start);
    const int end = std::min(n, start + count);
    if (end <= start)
        return;
    qsizetype used = m_used.indexOf(format);
    if (used < 0) {
        used = m_used.size();
        m_used.append(format);
    }
    std::fill(m_chars.begin() + start, m_chars.begin() + end, quint16(used));
}

QTextCharFormat ConfigHighlighter::format(int position) const
{
    return m_used[m_chars[std::size_t(position)]];
}

void ConfigHighlighter::highlightBlock(const QString &text)
{
    using config::detail::Tok;
    const qsizetype n = text.size();
    const QTextCharFormat &preprocessor = m_formats[std::size_t(Role::Preprocessor)];
    // A directive runs to the end of the line: the rest of the line takes its colour.
    auto directiveFrom = [&](qsizetype from) {
        setFormat(int(from), int(n - from), preprocessor);
        setEndState(directiveEndState(QStringView(text).mid(from)));
    };
    qsizetype from = 0;
    switch (m_start) {
    case InDirective:
        directiveFrom(0);
        underline(text);
        return;
    case InComment:
    case InDirectiveComment: {
        const qsizetype close = text.indexOf(u"*/");
        const QTextCharFormat &f =
            m_start == InComment ? m_formats[std::size_t(Role::Comment)] : preprocessor;
        setFormat(0, int(close < 0 ? n : close + 2), f);
        if (close < 0)
            setEndState(m_start);
        else if (m_start == InDirectiveComment)
            directiveFrom(close + 2);
        else
            from = close + 2;
        if (close < 0 || m_start == InDirectiveComment) {
            underline(text);
            return;
        }
        break;
    }
    default:
        break;
    }

    // The reader's own tokens: what the check reads as a comment, a string or a directive is
    // coloured as one.
    config::detail::Lexer lexer(text, from == 0, from);
    for (config::detail::Token t = lexer.next(); t.kind != Tok::End; t = lexer.next()) {
        const int start = int(t.start);
        const int length = int(t.end - t.start);
        switch (t.kind) {
        case Tok::Comment:
            setFormat(start, length, m_formats[std::size_t(Role::Comment)]);
            if (t.unterminated)
                setEndState(InComment);
            break;
        case Tok::Directive:
            directiveFrom(t.start);
            break;
        case Tok::String:
            setFormat(start, length, m_formats[std::size_t(Role::String)]);
            break;
        case Tok::Word: {
            const QStringView word = t.view();
            if (word == u"class" || word == u"delete") {
                setFormat(start, length, m_formats[std::size_t(Role::Keyword)]);
            } else if (word == u"__EVAL" || word == u"__EXEC") {
                setFormat(start, length, preprocessor);
            } else if (const qsizetype end = numberEnd(text, t.start); end > t.start) {
                setFormat(start, int(end - t.start), m_formats[std::size_t(Role::Number)]);
            }
            break;
        }
        default:
            break;
        }
    }
    underline(text);
}

void ConfigHighlighter::underline(const QString &text)
{
    if (m_marks.isEmpty() || !m_collect)
        return;
    const qsizetype start = m_block.position();
    const qsizetype end = start + text.size();
    auto it =
        std::lower_bound(m_marks.cbegin(), m_marks.cend(), start - m_longestMark - 1,
                         [](const ProblemMark &m, qsizetype offset) { return m.offset < offset; });
    for (; it != m_marks.cend() && it->offset <= end; ++it) {
        qsizetype from = it->offset;
        qsizetype to = it->offset + it->length;
        if (to <= from) {
            // A problem between characters (a missing ';') marks the character before it,
            // or the one after it at the start of a line.
            if (from > start)
                --from;
            to = from + 1;
        }
        from = std::max(from, start);
        to = std::min(to, end);
        if (to <= from)
            continue;
        for (qsizetype p = from; p < to; ++p) {
            QTextCharFormat f = format(int(p - start));
            f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            f.setUnderlineColor(it->isError ? m_errorColour : m_warningColour);
            f.setBackground(it->isError ? m_errorBackground : m_warningBackground);
            setFormat(int(p - start), 1, f);
        }
    }
}
