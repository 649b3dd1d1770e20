// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helphtml.h"

#include <QStringDecoder>

namespace HelpHtml {

namespace {

// Named references seen in help pages; others are left as written.
struct NamedReference
{
    const char *name;
    char16_t character;
};
constexpr NamedReference namedReferences[] = {
    {"amp", u'&'},        {"lt", u'<'},         {"gt", u'>'},          {"quot", u'"'},
    {"apos", u'\''},      {"nbsp", u'\u00A0'},  {"copy", u'\u00A9'},   {"reg", u'\u00AE'},
    {"ndash", u'\u2013'}, {"mdash", u'\u2014'}, {"hellip", u'\u2026'}, {"euro", u'\u20AC'},
};

// The longest reference looked for after an ampersand; a longer run is no reference.
constexpr qsizetype LongestReference = 10;

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':' || c == u'!' || c == u'?';
}

// Appends the character a reference such as "#233" or "amp" stands for; false if it is none.
bool appendReference(QStringView reference, QString *out)
{
    if (reference.startsWith(u'#')) {
        bool ok = false;
        const bool hex = reference.size() > 1 && (reference[1] == u'x' || reference[1] == u'X');
        const uint code = reference.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return false;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out->append(QChar::ReplacementCharacter);
        } else {
            const char32_t character = code;
            out->append(QString::fromUcs4(&character, 1));
        }
        return true;
    }
    for (const NamedReference &named : namedReferences) {
        if (reference == QLatin1StringView(named.name)) {
            out->append(QChar(named.character));
            return true;
        }
    }
    return false;
}

// Tags that do not end a word: text on both sides of them runs on.
bool isInline(const QString &tag)
{
    static const char *const inlineTags[] = {"a",    "b",    "i",   "u",    "em",    "strong",
                                             "code", "span", "tt",  "font", "small", "big",
                                             "kbd",  "var",  "sub", "sup",  "abbr"};
    for (const char *name : inlineTags) {
        if (tag == QLatin1StringView(name))
            return true;
    }
    return false;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
    if (declared.isValid() && qstrcmp(declared.name(), "UTF-8") != 0) {
        const QString text = declared.decode(bytes);
        if (!declared.hasError())
            return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? QString(windows1252.decode(bytes)) : QString::fromLatin1(bytes);
}

QString unescape(QStringView text)
{
    workSteps += text.size();
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype amp = text.indexOf(u'&', at);
        if (amp < 0) {
            out.append(text.mid(at));
            break;
        }
        out.append(text.mid(at, amp - at));
        const qsizetype semicolon = text.mid(amp + 1, LongestReference + 1).indexOf(u';');
        if (semicolon > 0 && appendReference(text.mid(amp + 1, semicolon), &out)) {
            at = amp + 1 + semicolon + 1;
        } else {
            out.append(u'&');
            at = amp + 1;
        }
    }
    return out;
}

Scanner::Token Scanner::next()
{
    while (m_at < m_html.size()) {
        if (m_html[m_at] != u'<') {
            qsizetype lt = m_html.indexOf(u'<', m_at);
            if (lt < 0)
                lt = m_html.size();
            workSteps += lt - m_at;
            m_text = m_html.mid(m_at, lt - m_at);
            m_at = lt;
            return Text;
        }
        if (m_html.mid(m_at, 4) == u"<!--") {
            const qsizetype end = m_html.indexOf(u"-->", m_at + 4);
            workSteps += (end < 0 ? m_html.size() : end + 3) - m_at;
            if (end < 0)
                break;
            m_at = end + 3;
            continue;
        }
        const qsizetype start = m_at + 1;
        const bool closing = start < m_html.size() && m_html[start] == u'/';
        qsizetype nameEnd = closing ? start + 1 : start;
        while (nameEnd < m_html.size() && isNameChar(m_html[nameEnd]))
            ++nameEnd;
        workSteps += nameEnd - m_at + 1;
        const qsizetype nameStart = closing ? start + 1 : start;
        if (nameEnd == nameStart) {
            // A lone "<", as in "a < b", is text.
            m_text = m_html.mid(m_at, 1);
            ++m_at;
            return Text;
        }
        // The tag ends at the first ">" outside a quoted attribute value.
        qsizetype end = -1;
        if (!m_quotesBroken) {
            QChar quote;
            QChar lastNonSpace;
            for (qsizetype i = nameEnd; i < m_html.size(); ++i) {
                ++workSteps;
                const QChar c = m_html[i];
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == u'>') {
                    end = i;
                    break;
                } else if ((c == u'"' || c == u'\'') && lastNonSpace == u'=') {
                    quote = c;
                }
                if (!isSpace(c))
                    lastNonSpace = c;
            }
            if (end < 0 && !quote.isNull())
                m_quotesBroken = true;
        }
        if (m_quotesBroken && end < 0) {
            end = m_html.indexOf(u'>', nameEnd);
            workSteps += (end < 0 ? m_html.size() : end) - nameEnd;
        }
        if (end < 0)
            break;
        m_closing = closing;
        m_tagName = m_html.mid(nameStart, nameEnd - nameStart).toString().toLower();
        m_attributes = m_html.mid(nameEnd, end - nameEnd);
        m_at = end + 1;
        return Tag;
    }
    m_at = m_html.size();
    return End;
}

namespace {

// Calls `visit(name, rawValue)` for each attribute in `attributes` until it returns true.
template <typename Visit> void forEachAttribute(QStringView a, Visit visit)
{
    workSteps += a.size();
    qsizetype at = 0;
    while (at < a.size()) {
        while (at < a.size() && (isSpace(a[at]) || a[at] == u'/'))
            ++at;
        const qsizetype nameStart = at;
        while (at < a.size() && !isSpace(a[at]) && a[at] != u'=' && a[at] != u'/')
            ++at;
        const QStringView attributeName = a.mid(nameStart, at - nameStart);
        while (at < a.size() && isSpace(a[at]))
            ++at;
        QStringView value;
        if (at < a.size() && a[at] == u'=') {
            ++at;
            while (at < a.size() && isSpace(a[at]))
                ++at;
            if (at < a.size() && (a[at] == u'"' || a[at] == u'\'')) {
                const QChar quote = a[at];
                qsizetype close = a.indexOf(quote, at + 1);
                if (close < 0)
                    close = a.size();
                value = a.mid(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const qsizetype valueStart = at;
                while (at < a.size() && !isSpace(a[at]))
                    ++at;
                value = a.mid(valueStart, at - valueStart);
            }
        } else if (attributeName.isEmpty()) {
            ++at; // a stray "=" or "/": step over it
            continue;
        }
        if (!attributeName.isEmpty() && visit(attributeName, value))
            return;
    }
}

} // namespace

QStringView Scanner::rawTextUntilEndOf(QStringView name)
{
    const QString endTag = QStringLiteral("</") + name.toString();
    qsizetype end = m_html.indexOf(endTag, m_at, Qt::CaseInsensitive);
    if (end < 0)
        end = m_html.size();
    workSteps += end - m_at;
    const QStringView text = m_html.mid(m_at, end - m_at);
    m_at = end;
    return text;
}

QString Scanner::attribute(QLatin1StringView name) const
{
    QString found;
    forEachAttribute(m_attributes, [&](QStringView attributeName, QStringView value) {
        if (attributeName.compare(name, Qt::CaseInsensitive) != 0)
            return false;
        found = unescape(value);
        return true;
    });
    return found;
}

QList<std::pair<QString, QString>> Scanner::attributes() const
{
    QList<std::pair<QString, QString>> all;
    forEachAttribute(m_attributes, [&](QStringView name, QStringView value) {
        all.append({name.toString().toLower(), unescape(value)});
        return false;
    });
    return all;
}

PageText pageText(QStringView html)
{
    PageText page;
    QString heading;
    QString skipping; // the script or style element whose content is no text
    bool inTitle = false;
    bool inHeading = false;
    bool headingDone = false;
    Scanner scanner(html);
    for (Scanner::Token token = scanner.next(); token != Scanner::End; token = scanner.next()) {
        if (token == Scanner::Text) {
            if (!skipping.isEmpty())
                continue;
            const QString text = unescape(scanner.text());
            if (inTitle) {
                page.title += text;
                continue;
            }
            if (inHeading)
                heading += text;
            page.text += text;
            continue;
        }
        const QString &tag = scanner.tagName();
        if (!skipping.isEmpty()) {
            if (scanner.isClosing() && tag == skipping)
                skipping.clear();
            continue;
        }
        if (!scanner.isClosing() && (tag == u"script" || tag == u"style")) {
            skipping = tag;
            continue;
        }
        if (tag == u"title") {
            inTitle = !scanner.isClosing();
        } else if (tag == u"h1" && !headingDone) {
            inHeading = !scanner.isClosing();
            headingDone = scanner.isClosing();
        }
        if (!isInline(tag))
            page.text += u' ';
    }
    page.title = page.title.simplified();
    if (page.title.isEmpty())
        page.title = heading.simplified();
    return page;
}

} // namespace HelpHtml
