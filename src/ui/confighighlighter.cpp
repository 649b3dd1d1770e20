#include "confighighlighter.h"

#include "systemcolours.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

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

// The base class highlights the whole document once the event loop runs; highlighting here as
// well would colour a large preview twice.
ConfigHighlighter::ConfigHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
{
    takeColours(QGuiApplication::palette());
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
    QTextDocument *doc = document();
    if (!doc)
        return;
    int lastBlock = -1;
    for (const ProblemMark &m : marks) {
        QTextBlock block = doc->findBlock(int(m.offset));
        const QTextBlock last = doc->findBlock(int(m.offset + m.length));
        while (block.isValid()) {
            if (block.blockNumber() > lastBlock) {
                rehighlightBlock(block);
                lastBlock = block.blockNumber();
            }
            if (block == last)
                break;
            block = block.next();
        }
    }
}

void ConfigHighlighter::highlightBlock(const QString &text)
{
    setCurrentBlockState(Normal);
    const qsizetype n = text.size();
    qsizetype i = 0;
    const int previous = previousBlockState();
    auto directiveRest = [&](qsizetype from) {
        setFormat(int(from), int(n - from), m_formats[std::size_t(Role::Preprocessor)]);
        if (n > 0 && text.back() == u'\\')
            setCurrentBlockState(InDirective);
    };

    if (previous == InDirective) {
        directiveRest(0);
        underline(text);
        return;
    }
    if (previous == InComment) {
        const qsizetype close = text.indexOf(u"*/");
        if (close < 0) {
            setFormat(0, int(n), m_formats[std::size_t(Role::Comment)]);
            setCurrentBlockState(InComment);
            underline(text);
            return;
        }
        setFormat(0, int(close + 2), m_formats[std::size_t(Role::Comment)]);
        i = close + 2;
    } else {
        qsizetype first = 0;
        while (first < n && text[first].isSpace())
            ++first;
        if (first < n && text[first] == u'#') {
            directiveRest(first);
            underline(text);
            return;
        }
    }

    while (i < n) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < n && text[i + 1] == u'/') {
            setFormat(int(i), int(n - i), m_formats[std::size_t(Role::Comment)]);
            break;
        }
        if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype close = text.indexOf(u"*/", i + 2);
            const qsizetype end = close < 0 ? n : close + 2;
            setFormat(int(i), int(end - i), m_formats[std::size_t(Role::Comment)]);
            if (close < 0)
                setCurrentBlockState(InComment);
            i = end;
            continue;
        }
        if (c == u'"') {
            qsizetype j = i + 1;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            setFormat(int(i), int(j - i), m_formats[std::size_t(Role::String)]);
            i = j;
            continue;
        }
        const bool wordStart = i == 0 || !isIdentChar(text[i - 1]);
        if (wordStart && (c.isDigit() || c == u'+' || c == u'-' || c == u'.')) {
            const qsizetype end = numberEnd(text, i);
            if (end > i) {
                setFormat(int(i), int(end - i), m_formats[std::size_t(Role::Number)]);
                i = end;
                continue;
            }
        }
        if (wordStart && isIdentChar(c)) {
            qsizetype j = i + 1;
            while (j < n && isIdentChar(text[j]))
                ++j;
            const QStringView word = QStringView(text).mid(i, j - i);
            if (word == u"class" || word == u"delete")
                setFormat(int(i), int(j - i), m_formats[std::size_t(Role::Keyword)]);
            else if (word == u"__EVAL" || word == u"__EXEC")
                setFormat(int(i), int(j - i), m_formats[std::size_t(Role::Preprocessor)]);
            i = j;
            continue;
        }
        ++i;
    }
    underline(text);
}

void ConfigHighlighter::underline(const QString &text)
{
    if (m_marks.isEmpty())
        return;
    const qsizetype start = currentBlock().position();
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
