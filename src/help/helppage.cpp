// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helppage.h"

#include "helphtml.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>

namespace HelpPage {

namespace {

// How an element takes part in the checks.
enum class Kind {
    Element,   // any other: counts towards the nesting depth
    Void,      // has no content and no end tag
    Table,     // counts towards the nesting of tables
    TablePart, // rows, cells and the like: only inside a table that is shown
    List,      // counts towards the nesting of lists
    ListItem,  // counts towards the items of a page
    Script,    // left out with its content
    Style,     // its content is a style sheet, checked as linked ones are
    Link,      // left out; a linked style sheet is put in its place
    Dropped,   // <!DOCTYPE ...>, <?xml ...>, <meta ...> (the page is decoded already): left out
};

struct TagKind
{
    const char *name;
    Kind kind;
};
constexpr TagKind TagKinds[] = {
    {"area", Kind::Void},       {"base", Kind::Void},         {"basefont", Kind::Void},
    {"br", Kind::Void},         {"col", Kind::Void},          {"embed", Kind::Void},
    {"frame", Kind::Void},      {"hr", Kind::Void},           {"img", Kind::Void},
    {"input", Kind::Void},      {"meta", Kind::Dropped},      {"param", Kind::Void},
    {"source", Kind::Void},     {"track", Kind::Void},        {"wbr", Kind::Void},
    {"table", Kind::Table},     {"tr", Kind::TablePart},      {"td", Kind::TablePart},
    {"th", Kind::TablePart},    {"thead", Kind::TablePart},   {"tbody", Kind::TablePart},
    {"tfoot", Kind::TablePart}, {"caption", Kind::TablePart}, {"colgroup", Kind::TablePart},
    {"ul", Kind::List},         {"ol", Kind::List},           {"dl", Kind::List},
    {"menu", Kind::List},       {"dir", Kind::List},          {"li", Kind::ListItem},
    {"dt", Kind::ListItem},     {"dd", Kind::ListItem},       {"script", Kind::Script},
    {"style", Kind::Style},     {"link", Kind::Link},
};

// End tags that pages leave out: an element opened while one of these is the innermost open
// one ends it first, as the browser would. Without this, every "<li>" and "<p>" of an older
// page would nest one level deeper.
struct ImpliedEnd
{
    const char *opened;
    const char *ends;
};
constexpr ImpliedEnd ImpliedEnds[] = {
    {"li", "li"}, {"li", "p"},  {"dt", "dt"},        {"dt", "dd"},         {"dt", "p"},
    {"dd", "dt"}, {"dd", "dd"}, {"dd", "p"},         {"tr", "tr"},         {"tr", "td"},
    {"tr", "th"}, {"tr", "p"},  {"td", "td"},        {"td", "th"},         {"td", "p"},
    {"th", "td"}, {"th", "th"}, {"th", "p"},         {"option", "option"}, {"p", "p"},
    {"div", "p"}, {"ul", "p"},  {"ol", "p"},         {"dl", "p"},          {"table", "p"},
    {"h1", "p"},  {"h2", "p"},  {"h3", "p"},         {"h4", "p"},          {"h5", "p"},
    {"h6", "p"},  {"pre", "p"}, {"blockquote", "p"}, {"center", "p"},      {"address", "p"},
    {"hr", "p"},
};

bool isAsciiAlphanumeric(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

Kind kindOf(const QString &tag)
{
    static const QHash<QString, Kind> kinds = [] {
        QHash<QString, Kind> hash;
        for (const TagKind &k : TagKinds)
            hash.insert(QString::fromLatin1(k.name), k.kind);
        return hash;
    }();
    // The browser may read other names differently, so none is passed on.
    if (!std::all_of(tag.begin(), tag.end(), isAsciiAlphanumeric))
        return Kind::Dropped;
    return kinds.value(tag, Kind::Element);
}

bool endsImplicitly(const QString &opened, const QString &innermost)
{
    static const QMultiHash<QString, QString> ends = [] {
        QMultiHash<QString, QString> hash;
        for (const ImpliedEnd &e : ImpliedEnds)
            hash.insert(QString::fromLatin1(e.opened), QString::fromLatin1(e.ends));
        return hash;
    }();
    return ends.contains(opened, innermost);
}

bool allowed(char32_t c)
{
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r';
    return !(c >= 0x7F && c <= 0x9F) && c != 0xFFFD && !(c >= 0xD800 && c <= 0xDFFF) &&
           c <= 0x10FFFF && !QChar::isNonCharacter(c);
}

void appendEscaped(QStringView text, QString *out, bool inAttribute)
{
    for (const QChar c : text) {
        if (c == u'&')
            out->append(u"&amp;");
        else if (c == u'<')
            out->append(u"&lt;");
        else if (c == u'>')
            out->append(u"&gt;");
        else if (c == u'"' && inAttribute)
            out->append(u"&quot;");
        else
            out->append(c);
    }
}

// A run of text as the page wrote it, with its character references checked: numeric ones
// that name a character the browser must not get are dropped, named ones are left to the
// browser, and a lone "&", "<" or ">" is escaped.
void appendText(QStringView raw, QString *out)
{
    HelpHtml::workSteps += raw.size();
    constexpr qsizetype LongestReference = 10;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'<') {
            out->append(u"&lt;");
            continue;
        }
        if (c == u'>') {
            out->append(u"&gt;");
            continue;
        }
        if (c != u'&') {
            out->append(c);
            continue;
        }
        const qsizetype semicolon = raw.mid(i + 1, LongestReference + 1).indexOf(u';');
        const QStringView reference = semicolon > 0 ? raw.mid(i + 1, semicolon) : QStringView();
        if (reference.startsWith(u'#')) {
            bool ok = false;
            const bool hex = reference.size() > 1 && (reference[1] == u'x' || reference[1] == u'X');
            const uint code = reference.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok) {
                if (allowed(code))
                    out->append(QStringLiteral("&#%1;").arg(code));
                i += semicolon + 1;
                continue;
            }
        } else if (!reference.isEmpty() &&
                   std::all_of(reference.begin(), reference.end(), isAsciiAlphanumeric)) {
            out->append(u'&');
            out->append(reference);
            out->append(u';');
            i += semicolon + 1;
            continue;
        }
        out->append(u"&amp;");
    }
}

// A style sheet without at-rules and escapes; nothing if its brackets nest too deep.
std::optional<QString> checkedStyle(QStringView css)
{
    HelpHtml::workSteps += css.size();
    QString out;
    out.reserve(css.size());
    int depth = 0;
    for (const QChar c : css) {
        if (c == u'@' || c == u'\\' || c == u'<')
            continue;
        if (c == u'{' || c == u'(' || c == u'[') {
            if (++depth > DeepestStyleBrackets)
                return std::nullopt;
        } else if (c == u'}' || c == u')' || c == u']') {
            depth = std::max(0, depth - 1);
        }
        out.append(c);
    }
    return out;
}

bool isAttributeName(const QString &name)
{
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return isAsciiAlphanumeric(c) || c == u'-' || c == u'_' || c == u':';
    });
}

// Writes the page anew; nothing if it fails the checks.
class Writer
{
public:
    explicit Writer(const StyleSheetReader &styleSheet) : m_styleSheet(styleSheet) {}

    std::optional<QString> write(QStringView html)
    {
        HelpHtml::Scanner scanner(html);
        qsizetype tags = 0;
        for (auto token = scanner.next(); token != HelpHtml::Scanner::End; token = scanner.next()) {
            if (token == HelpHtml::Scanner::Text) {
                appendText(scanner.text(), &m_out);
                continue;
            }
            if (++tags > MostTags)
                return std::nullopt;
            tag(scanner);
        }
        while (!m_open.isEmpty())
            close();
        return m_out;
    }

private:
    struct Open
    {
        QString name;
        Kind kind;
    };

    void tag(HelpHtml::Scanner &scanner)
    {
        const QString &name = scanner.tagName();
        const Kind kind = kindOf(name);
        switch (kind) {
        case Kind::Dropped:
            return;
        case Kind::Script:
        case Kind::Style:
            // Their content is no markup: it runs to their end tag, which is left out too.
            if (!scanner.isClosing()) {
                const QStringView content = scanner.rawTextUntilEndOf(name);
                if (kind == Kind::Style)
                    appendStyle(content);
            }
            return;
        case Kind::Link:
            if (!scanner.isClosing())
                link(scanner);
            return;
        default:
            break;
        }
        if (scanner.isClosing())
            closeTag(name, kind);
        else
            openTag(scanner, name, kind);
    }

    void link(const HelpHtml::Scanner &scanner)
    {
        const QString href = scanner.attribute(QLatin1StringView("href"));
        if (!m_styleSheet || href.isEmpty() ||
            !scanner.attribute(QLatin1StringView("rel"))
                 .contains(u"stylesheet", Qt::CaseInsensitive))
            return;
        const std::optional<QByteArray> sheet = m_styleSheet(href);
        if (sheet && sheet->size() <= LargestStyle - m_styleSize)
            appendStyle(withoutControls(HelpHtml::decode(*sheet)));
    }

    void appendStyle(QStringView css)
    {
        if (css.size() > LargestStyle - m_styleSize)
            return;
        const std::optional<QString> checked = checkedStyle(css);
        if (!checked)
            return;
        m_styleSize += checked->size();
        m_out += QStringLiteral("<style>") + *checked + QStringLiteral("</style>");
    }

    void openTag(const HelpHtml::Scanner &scanner, const QString &name, Kind kind)
    {
        while (!m_open.isEmpty() && endsImplicitly(name, m_open.last().name))
            close();
        bool shown = true;
        if (kind == Kind::TablePart)
            shown = m_tables > 0 && m_dropped.value(QStringLiteral("table")) == 0;
        else if (kind == Kind::ListItem)
            shown = ++m_listItems <= MostListItems;
        if (kind != Kind::Void && shown) {
            shown = m_open.size() < DeepestNesting &&
                    !(kind == Kind::Table && m_tables >= DeepestTables) &&
                    !(kind == Kind::List && m_lists >= DeepestLists);
            if (!shown && kind != Kind::TablePart && kind != Kind::ListItem)
                ++m_dropped[name]; // its end tag is left out too
        }
        if (!shown)
            return;
        m_out += u'<' + name;
        for (const auto &[attribute, value] : scanner.attributes()) {
            if (attribute.isEmpty() || !isAttributeName(attribute))
                continue;
            m_out += u' ' + attribute + QStringLiteral("=\"");
            appendEscaped(withoutControls(value), &m_out, true);
            m_out += u'"';
        }
        m_out += u'>';
        if (kind == Kind::Void)
            return;
        m_open.append({name, kind});
        ++m_openCount[name];
        m_tables += kind == Kind::Table;
        m_lists += kind == Kind::List;
    }

    void closeTag(const QString &name, Kind kind)
    {
        if (kind == Kind::Void)
            return;
        if (kind == Kind::TablePart && m_dropped.value(QStringLiteral("table")) > 0)
            return;
        if (int &dropped = m_dropped[name]; dropped > 0) {
            --dropped;
            return;
        }
        // Every element opened inside it ends with it; an end tag of nothing open is left
        // out.
        if (m_openCount.value(name) == 0)
            return;
        while (close() != name) {
        }
    }

    // Ends the innermost open element; gives its name.
    QString close()
    {
        const Open open = m_open.takeLast();
        --m_openCount[open.name];
        m_tables -= open.kind == Kind::Table;
        m_lists -= open.kind == Kind::List;
        m_out += QStringLiteral("</") + open.name + u'>';
        return open.name;
    }

    const StyleSheetReader &m_styleSheet;
    QString m_out;
    QList<Open> m_open;
    QHash<QString, int> m_openCount;
    // Start tags left out by name, whose end tags are still to come.
    QHash<QString, int> m_dropped;
    int m_tables = 0;
    int m_lists = 0;
    int m_listItems = 0;
    qsizetype m_styleSize = 0;
};

} // namespace

QString withoutControls(QStringView text)
{
    HelpHtml::workSteps += text.size();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (allowed(QChar::surrogateToUcs4(c, text[i + 1])))
                out.append(text.mid(i, 2));
            ++i;
        } else if (allowed(c.unicode())) {
            out.append(c);
        }
    }
    return out;
}

QString sourceNotice()
{
    return QCoreApplication::translate("HelpPage",
                                       "This page is too large or too complex to be shown as "
                                       "written. Its source follows.");
}

Prepared prepare(const QByteArray &page, const StyleSheetReader &styleSheet)
{
    const QString text = withoutControls(HelpHtml::decode(page));
    if (text.size() <= LargestPage) {
        if (std::optional<QString> html = Writer(styleSheet).write(text))
            return {std::move(*html), false};
    }
    // Broken lines keep their spaces; the browser wraps them.
    QString html = QStringLiteral("<html><body><p><b>");
    appendEscaped(sourceNotice(), &html, false);
    html += QStringLiteral("</b></p><p style=\"white-space: pre-wrap\">");
    // Cut at the limit, where half of a surrogate pair may be left at the end.
    appendEscaped(withoutControls(QStringView(text).left(LargestPage)), &html, false);
    html += QStringLiteral("</p></body></html>");
    return {html, true};
}

} // namespace HelpPage
