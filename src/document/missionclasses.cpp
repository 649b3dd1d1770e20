// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionclasses.h"

#include "encoding.h"
#include "textedits.h"

#include "configreader.h"
#include "othersettings.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

using config::Entry;
using config::EntryKind;
using config::ValueKind;

// The keys of each class, from the game's documentation of description.ext: the Debriefing
// page for CfgDebriefing, the Notification page for CfgNotifications.
constexpr ClassAttribute EndingAttributes[] = {
    {"title", AttributeType::Text, "", "The ending's title in the debriefing."},
    {"subtitle", AttributeType::Text, "", "The line under the title."},
    {"description", AttributeType::Text, "", "The text of the debriefing."},
    {"pictureBackground", AttributeType::Picture, "",
     "A picture behind the debriefing, e.g. a file of the mission."},
    {"picture", AttributeType::Picture, "",
     "The icon beside the title: a file, or a name of the game's map icons such as b_inf."},
    {"pictureColor", AttributeType::Colour, "0.0,0.3,0.6,1",
     "The icon's colour: red, green, blue and opacity, each from 0 to 1."},
};

constexpr ClassAttribute NotificationAttributes[] = {
    {"title", AttributeType::Text, "", "The title, shown in capitals; %1, %2 take arguments."},
    {"iconPicture", AttributeType::Picture, "", "The picture at the notification's left."},
    {"iconText", AttributeType::Text, "", "Text written over the picture."},
    {"description", AttributeType::Text, "", "The text; %1, %2 take arguments."},
    {"color", AttributeType::Colour, "1,1,1,1",
     "Colour of the texts and the picture: red, green, blue, opacity."},
    {"duration", AttributeType::Number, "5", "How many seconds it shows."},
    {"priority", AttributeType::Number, "0",
     "Which of several waiting notifications shows first: the highest."},
    {"difficulty", AttributeType::Names, nullptr,
     "Difficulty options that must be on for it to show, e.g. \"netStats\"."},
};

// The game's documentation of CfgRemoteExec: each section's mode and jip, and each listed
// function's or command's allowedTargets and jip, which overrides the section's.
constexpr ClassAttribute RemoteSectionAttributes[] = {
    {"mode", AttributeType::Choice, nullptr,
     "Blocked, only the entries listed below, or everything allowed (the game's default).",
     "0: blocked|1: listed entries only|2: everything allowed", "2"},
    {"jip", AttributeType::Switch, nullptr,
     "Whether a remote call may be kept for players who join later (the game's default: yes).",
     nullptr, "1"},
};

constexpr ClassAttribute RemoteEntryAttributes[] = {
    {"allowedTargets", AttributeType::Choice, "0",
     "Which machines a call may run on: every one (the game's default), clients or the server.",
     "0: every machine|1: clients only|2: the server only", "0"},
    {"jip", AttributeType::Switch, nullptr,
     "Whether a call may be kept for players who join later; unset, the section's jip holds."},
};

constexpr std::array<ClassTable, ClassKindCount> Tables{{
    {ClassKind::Endings, "CfgDebriefing", "Endings", "End", EndingAttributes},
    {ClassKind::Notifications, "CfgNotifications", "Notifications", "Notification",
     NotificationAttributes},
    {ClassKind::RemoteFunctions, "Functions", "Functions", "Function", RemoteEntryAttributes,
     "CfgRemoteExec", RemoteSectionAttributes, true},
    {ClassKind::RemoteCommands, "Commands", "Commands", "Command", RemoteEntryAttributes,
     "CfgRemoteExec", RemoteSectionAttributes, true},
}};
static_assert(Tables[int(ClassKind::Endings)].kind == ClassKind::Endings);
static_assert(Tables[int(ClassKind::Notifications)].kind == ClassKind::Notifications);
static_assert(Tables[int(ClassKind::RemoteFunctions)].kind == ClassKind::RemoteFunctions);
static_assert(Tables[int(ClassKind::RemoteCommands)].kind == ClassKind::RemoteCommands);

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// The blanks that start the line holding `offset`.
QString indentOf(const QString &text, qsizetype offset)
{
    const qsizetype start = lineStartOf(text, offset);
    qsizetype end = start;
    while (end < text.size() && (text[end] == u' ' || text[end] == u'\t'))
        ++end;
    return text.mid(start, end - start);
}

// The lines without the indentation they all share, to show them apart from the text.
QString dedented(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    qsizetype common = -1;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        qsizetype n = 0;
        while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
            ++n;
        common = common < 0 ? n : std::min(common, n);
    }
    for (QString &line : lines)
        line.remove(0, std::min(std::max<qsizetype>(common, 0), line.size()));
    return lines.join(u'\n');
}

bool isClassName(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

bool isArrayType(AttributeType type)
{
    return type == AttributeType::Colour || type == AttributeType::Names;
}

bool opensBlock(const Entry &e)
{
    return e.kind == EntryKind::Directive &&
           (e.name == u"if" || e.name == u"ifdef" || e.name == u"ifndef");
}

// Calls `visit(e, inIf)` for each of `entries` but the lines that open and close #if blocks;
// `inIf` says whether the entry stands inside one.
template <typename Visit> void besideIfs(const QList<Entry> &entries, const Visit &visit)
{
    int depth = 0;
    for (const Entry &e : entries) {
        if (opensBlock(e))
            ++depth;
        else if (e.kind == EntryKind::Directive && e.name == u"endif" && depth > 0)
            --depth;
        else
            visit(e, depth > 0);
    }
}

// Where the class and its entries stand in the text.
struct Scan
{
    config::ReadResult read;
    // The top-level class a section stands in, when the text has it readable.
    const Entry *parent = nullptr;
    const Entry *cls = nullptr;
    MissionClass result;
    // Per own attribute, the entry of its value.
    std::vector<const Entry *> own;
    // Per entry of `result`, its class in the tree, and per attribute the entry of its value.
    std::vector<const Entry *> entries;
    std::vector<std::vector<const Entry *>> values;
};

// The value as written, unless a macro stands in its place.
bool writtenAsIs(const config::ReadResult &read, const config::Value &v)
{
    const QStringView raw = read.raw(v.span);
    if (v.kind == ValueKind::String)
        return raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"');
    return raw == v.text;
}

int choiceCount(const ClassAttribute &a)
{
    return a.choices ? int(QByteArrayView(a.choices).count('|')) + 1 : 0;
}

bool readValue(const config::ReadResult &read, const Entry &e, const ClassAttribute &attribute,
               AttributeValue &out)
{
    const AttributeType type = attribute.type;
    const config::Value &v = e.value;
    if (isArrayType(type) != (e.kind == EntryKind::Array) || e.append)
        return false;
    switch (type) {
    case AttributeType::Text:
        if (v.kind == ValueKind::Word && writtenAsIs(read, v) && isStringReference(v.text)) {
            out.value = v.text;
            return true;
        }
        [[fallthrough]];
    case AttributeType::Picture:
    case AttributeType::Plain:
        if (v.kind != ValueKind::String || !writtenAsIs(read, v))
            return false;
        out.value = v.text;
        return true;
    case AttributeType::Number:
        if (v.kind != ValueKind::Number || !writtenAsIs(read, v))
            return false;
        out.value = v.text;
        return true;
    case AttributeType::Colour:
    case AttributeType::Names:
        if (v.kind != ValueKind::Array)
            return false;
        for (const config::Value &element : v.elements) {
            const ValueKind wanted =
                type == AttributeType::Colour ? ValueKind::Number : ValueKind::String;
            if (element.kind != wanted || !writtenAsIs(read, element) ||
                element.text.contains(u'"'))
                return false;
            out.elements << element.text;
        }
        return type != AttributeType::Colour || out.elements.size() == 3 ||
               out.elements.size() == 4;
    case AttributeType::Choice:
    case AttributeType::Switch: {
        // A whole number among those the control offers; 1.0, 3 or a macro stay as written.
        static const QRegularExpression whole(QStringLiteral("^[0-9]$"));
        const int count = type == AttributeType::Switch ? 2 : choiceCount(attribute);
        if (v.kind != ValueKind::Number || !writtenAsIs(read, v) ||
            !whole.match(v.text).hasMatch() || v.text.toInt() >= count)
            return false;
        out.value = v.text;
        return true;
    }
    }
    return false;
}

// The values `children` give `attributes`, and per attribute the entry that holds it. A key
// written twice, under #if or in a way the editor cannot show is kept as written.
void readValues(const config::ReadResult &read, const QList<Entry> &children,
                std::span<const ClassAttribute> attributes, QList<AttributeValue> &values,
                std::vector<const Entry *> &at)
{
    values.resize(qsizetype(attributes.size()));
    at.assign(attributes.size(), nullptr);
    besideIfs(children, [&](const Entry &child, bool inIf) {
        if (child.kind != EntryKind::Value && child.kind != EntryKind::Array)
            return;
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            if (child.name.compare(QLatin1StringView(attributes[i].key), Qt::CaseInsensitive) != 0)
                continue;
            AttributeValue &value = values[qsizetype(i)];
            const bool twice = value.set;
            value = {};
            value.set = true;
            if (twice || inIf || !readValue(read, child, attributes[i], value)) {
                value = {};
                value.set = value.readOnly = true;
                value.written = read.raw(child.value.span).toString();
            }
            at[i] = &child;
        }
    });
}

// How a subclass may be written for the editor to change it.
struct EntryRules
{
    // A class declared without a body (class name;) is an entry with no values set.
    bool declarations = false;
    // Classes in its body are entries of their own, read by the caller, and preprocessor
    // lines other than #if blocks are let be, as edits keep them where they stand.
    bool nests = false;
};

// The keys of `attributes` in class `e`, and per key the entry of its value (`at`). Anything
// in the body but values, comments and what `rules` let be makes the entry read-only.
ClassEntry readClassEntry(const config::ReadResult &read, const Entry &e,
                          std::span<const ClassAttribute> attributes, bool conditional,
                          EntryRules rules, std::vector<const Entry *> &at)
{
    ClassEntry entry;
    entry.name = e.name;
    const QStringView raw = read.raw(e.span);
    // A name made by a macro (class GVAR(core)) is not the name the text shows.
    const QStringView head =
        e.kind == EntryKind::Class ? raw.left(e.bodySpan.start.offset - e.span.start.offset) : raw;
    const bool shaped =
        e.kind == EntryKind::Class || (rules.declarations && e.kind == EntryKind::ClassDeclaration);
    entry.readOnly = conditional || !e.base.isEmpty() || !raw.startsWith(u"class") || !shaped ||
                     !head.contains(e.name);
    for (const Entry &child : e.children) {
        if (child.kind == EntryKind::Comment || child.kind == EntryKind::Value ||
            child.kind == EntryKind::Array)
            continue;
        if (rules.nests &&
            (child.kind == EntryKind::Class || child.kind == EntryKind::ClassDeclaration ||
             (child.kind == EntryKind::Directive && !opensBlock(child) && child.name != u"else" &&
              child.name != u"endif")))
            continue;
        entry.readOnly = true;
    }
    readValues(read, e.children, attributes, entry.values, at);
    if (entry.readOnly) {
        entry.written = dedented(indentOf(read.sourceText(), e.span.start.offset) + raw.toString());
        for (AttributeValue &value : entry.values) {
            if (value.set && !value.readOnly) {
                value.readOnly = true;
                value.written = attributeValueText(
                    attributes[std::size_t(&value - entry.values.data())].type, value);
            }
        }
    }
    return entry;
}

void readEntry(Scan &s, const Entry &e, bool conditional)
{
    const ClassTable &table = classTable(s.result.kind);
    std::vector<const Entry *> at;
    ClassEntry entry = readClassEntry(s.read, e, table.attributes, conditional,
                                      {.declarations = table.declarations}, at);
    entry.origin = int(s.result.entries.size());
    s.result.entries << entry;
    s.entries.push_back(&e);
    s.values.push_back(std::move(at));
}

// Class `name` among `entries`: how often it stands there, and why the editor cannot change
// it in place, if it cannot.
struct Found
{
    const Entry *cls = nullptr;
    int count = 0;
    QString why;
};

Found findClass(const config::ReadResult &read, const QList<Entry> &entries, QLatin1StringView name)
{
    const QRegularExpression inSkipped(QStringLiteral("(^|\\W)class\\s+%1(\\W|$)").arg(name),
                                       QRegularExpression::CaseInsensitiveOption);
    Found f;
    bool conditional = false;
    besideIfs(entries, [&](const Entry &e, bool inIf) {
        if (e.kind == EntryKind::Skipped && inSkipped.match(read.raw(e.span)).hasMatch()) {
            ++f.count, conditional = true;
        } else if ((e.kind == EntryKind::Class || e.kind == EntryKind::ClassDeclaration) &&
                   e.name.compare(name, Qt::CaseInsensitive) == 0) {
            ++f.count;
            conditional = conditional || inIf;
            if (e.kind == EntryKind::Class)
                f.cls = &e;
        }
    });
    if (f.count > 1)
        f.why = QStringLiteral("The text has class %1 more than once.").arg(name);
    else if (conditional)
        f.why = QStringLiteral("class %1 stands inside #if or #ifdef.").arg(name);
    else if (f.cls && !f.cls->base.isEmpty())
        f.why = QStringLiteral("class %1 inherits from %2.").arg(name, f.cls->base);
    else if (f.count > 0 && (!f.cls || !read.raw(f.cls->span).startsWith(u"class")))
        f.why = QStringLiteral("class %1 is not written out as a class with a body.").arg(name);
    return f;
}

// The text read as a config, with the body of the top-level class `top` kept as the editor
// changes it in place.
config::ReadResult readKeeping(const QString &text, QLatin1StringView top)
{
    config::ReadOptions options;
    options.checkKnownKeys = false;
    options.styleNotes = false;
    options.keepBodyOf = [top](QStringView c) { return c.compare(top, Qt::CaseInsensitive) == 0; };
    return config::readConfig(text, options);
}

Scan scan(const QString &text, ClassKind kind)
{
    Scan s;
    s.result.kind = kind;
    const ClassTable &table = classTable(kind);
    const QLatin1StringView top(table.parent ? table.parent : table.className);
    s.read = readKeeping(text, top);
    MissionClass &m = s.result;
    m.values = unsetValues(kind);
    s.own.assign(table.ownAttributes.size(), nullptr);
    Found found = findClass(s.read, s.read.entries, top);
    if (table.parent && found.cls && found.why.isEmpty()) {
        s.parent = found.cls;
        found = findClass(s.read, s.parent->children, QLatin1StringView(table.className));
    }
    s.cls = found.cls;
    m.present = found.count > 0;
    m.why = found.why;
    m.readOnly = !m.why.isEmpty();
    if (!s.cls || m.readOnly)
        return s;
    readValues(s.read, s.cls->children, table.ownAttributes, m.values, s.own);
    besideIfs(s.cls->children, [&](const Entry &e, bool inIf) {
        if (e.kind == EntryKind::Class ||
            (table.declarations && e.kind == EntryKind::ClassDeclaration))
            readEntry(s, e, inIf);
    });
    return s;
}

// How the text writes what the editor adds, taken from its neighbours.
struct Style
{
    QString eol = QStringLiteral("\r\n");
    QString unit = QStringLiteral("\t");    // one step of indentation
    QString assign = QStringLiteral(" = "); // between a key and its value
    QString separator = QStringLiteral(", ");
    bool braceOnOwnLine = true;
    // The class's last entry stands on one line: new ones do too.
    bool oneLineEntries = false;
};

QString headOf(const config::ReadResult &read, const Entry &e)
{
    return read.raw(e.span).left(e.bodySpan.start.offset - e.span.start.offset).toString();
}

// Calls `visit` with the entries `depth` levels inside `e` (1: its children), in order.
template <typename Visit> void atDepth(const Entry &e, int depth, const Visit &visit)
{
    for (const Entry &child : e.children) {
        if (depth == 1)
            visit(child);
        else
            atDepth(child, depth - 1, visit);
    }
}

// The style of the text around class `cls` (nullptr: the text lacks it).
Style styleOf(const QString &text, const config::ReadResult &read, const Entry *cls)
{
    Style style;
    if (text.contains(u'\n') && !text.contains(u"\r\n"))
        style.eol = QStringLiteral("\n");
    static const QRegularExpression indented(QStringLiteral("(?:^|[\\r\\n])([ \\t]+)\\S"));
    const QRegularExpressionMatch m = indented.match(text);
    if (m.hasMatch())
        style.unit = m.captured(1);
    // The first class of the text that has a body shows where its brace goes.
    const Entry *sample = nullptr;
    for (const Entry &e : read.entries) {
        if (e.kind == EntryKind::Class && read.raw(e.span).startsWith(u"class")) {
            sample = &e;
            break;
        }
    }
    if (cls && !cls->children.isEmpty()) {
        for (const Entry &e : cls->children) {
            if (e.kind == EntryKind::Class && !e.children.isEmpty()) {
                sample = &e;
                break;
            }
        }
    }
    if (sample) {
        const QString head = headOf(read, *sample);
        style.braceOnOwnLine = head.contains(u'\n') || head.contains(u'\r');
    }
    if (cls) {
        // The last subclass written out, not made by a macro.
        QStringView last;
        for (const Entry &e : cls->children) {
            const QStringView raw = read.raw(e.span);
            if ((e.kind == EntryKind::Class || e.kind == EntryKind::ClassDeclaration) &&
                raw.startsWith(u"class"))
                last = raw;
        }
        style.oneLineEntries = !last.isEmpty() && !last.contains(u'\n') && !last.contains(u'\r');
    }
    // Spacing around '=' and between the elements of an array, from the values of the class's
    // entries; from deeper ones (a function's, inside its category) when those have none.
    bool assignFound = false, separatorFound = false;
    const auto learn = [&](const Entry &e) {
        if (!assignFound && e.kind == EntryKind::Value) {
            const qsizetype nameEnd = e.span.start.offset + e.name.size();
            const QString between = text.mid(nameEnd, e.value.span.start.offset - nameEnd);
            if (between.trimmed() == u"=" && !between.contains(u'\n') && !between.contains(u'\r')) {
                style.assign = between;
                assignFound = true;
            }
        }
        if (!separatorFound && e.kind == EntryKind::Array && e.value.elements.size() >= 2) {
            const QString between = text.mid(e.value.elements[0].span.end.offset,
                                             e.value.elements[1].span.start.offset -
                                                 e.value.elements[0].span.end.offset);
            if (between.trimmed() == u"," && !between.contains(u'\n') && !between.contains(u'\r')) {
                style.separator = between;
                separatorFound = true;
            }
        }
    };
    for (int depth = 2; cls && depth <= 3 && !(assignFound && separatorFound); ++depth)
        atDepth(*cls, depth, learn);
    return style;
}

QString arrayText(const QStringList &elements, const QString &separator, bool quote)
{
    QStringList out;
    for (const QString &e : elements)
        out << (quote ? stringLiteral(e) : e);
    return u'{' + out.join(separator) + u'}';
}

QString valueText(AttributeType type, const AttributeValue &value, const Style &style)
{
    switch (type) {
    case AttributeType::Text:
        return isStringReference(value.value) ? value.value : stringLiteral(value.value);
    case AttributeType::Picture:
    case AttributeType::Plain:
        return stringLiteral(value.value);
    case AttributeType::Number:
        return value.value;
    case AttributeType::Colour:
        return arrayText(value.elements, style.separator, false);
    case AttributeType::Names:
        return arrayText(value.elements, style.separator, true);
    case AttributeType::Choice:
    case AttributeType::Switch:
        return value.value;
    }
    return value.value;
}

QString attributeLine(const ClassAttribute &a, const AttributeValue &value, const Style &style)
{
    return QLatin1StringView(a.key) + (isArrayType(a.type) ? QStringLiteral("[]") : QString()) +
           style.assign + valueText(a.type, value, style) + u';';
}

// The lines of the values set and shown, in the order of `attributes`.
QStringList attributeLines(std::span<const ClassAttribute> attributes,
                           const QList<AttributeValue> &values, const Style &style)
{
    QStringList lines;
    for (std::size_t i = 0; i < attributes.size() && i < std::size_t(values.size()); ++i) {
        const AttributeValue &value = values[qsizetype(i)];
        if (value.set && !value.readOnly)
            lines << attributeLine(attributes[i], value, style);
    }
    return lines;
}

// A class on one line, without indentation or line break: class name { a = 1; b = 2; };
// Without values, "class name;" where a declaration will do, otherwise "class name {};".
QString oneLineClass(const QString &name, const QStringList &lines, bool declaration)
{
    QString body = QStringLiteral(" { ") + lines.join(u' ') + QStringLiteral(" }");
    if (lines.isEmpty())
        body = declaration ? QString() : QStringLiteral(" {}");
    return QStringLiteral("class ") + name + body + u';';
}

// A class over lines, its first line indented by `indent`: its values (`lines`) one step in,
// then `inner` (its subclasses, indented already), each line ending with the text's line break.
QString classBlock(const QString &name, const QStringList &lines, const QString &inner,
                   const QString &indent, const Style &style)
{
    QString out = indent + QStringLiteral("class ") + name;
    out += style.braceOnOwnLine ? style.eol + indent + u'{' : QStringLiteral(" {");
    out += style.eol;
    for (const QString &line : lines)
        out += indent + style.unit + line + style.eol;
    return out + inner + indent + QStringLiteral("};") + style.eol;
}

// A whole subclass, its first line indented by `indent` (the caller's), its lines ending with
// the text's line break.
QString entryText(const ClassTable &table, const ClassEntry &entry, const QString &indent,
                  const Style &style)
{
    const QStringList lines = attributeLines(table.attributes, entry.values, style);
    if (style.oneLineEntries)
        return indent + oneLineClass(entry.name, lines, table.declarations) + style.eol;
    return classBlock(entry.name, lines, {}, indent, style);
}

// Lines inserted at the end of a class body: before the line of its '}' when that stands
// first on its line, otherwise just before the '}' on a line of their own.
TextEdit insertAtBodyEnd(const QString &text, const Entry &cls, const QString &lines,
                         const Style &style)
{
    const qsizetype close = cls.bodySpan.end.offset;
    if (startsLine(text, close) && lineStartOf(text, close) > cls.bodySpan.start.offset)
        return {lineStartOf(text, close), lineStartOf(text, close), lines};
    // Trailing blanks before the '}' give way to the lines.
    qsizetype from = close;
    while (from > cls.bodySpan.start.offset && (text[from - 1] == u' ' || text[from - 1] == u'\t'))
        --from;
    return {from, close, style.eol + lines + indentOf(text, cls.span.start.offset)};
}

// The array's elements replaced one by one when their number stays, so that their spacing
// stays; otherwise the whole array.
void arrayEdits(const Entry &e, AttributeType type, const AttributeValue &now, const Style &style,
                std::vector<TextEdit> &edits)
{
    const auto &elements = e.value.elements;
    if (elements.size() == now.elements.size() && !elements.isEmpty()) {
        for (qsizetype i = 0; i < elements.size(); ++i) {
            if (elements[i].text == now.elements[i])
                continue;
            const QString element =
                type == AttributeType::Names ? stringLiteral(now.elements[i]) : now.elements[i];
            edits.push_back({elements[i].span.start.offset, elements[i].span.end.offset, element});
        }
        return;
    }
    edits.push_back(
        {e.value.span.start.offset, e.value.span.end.offset, valueText(type, now, style)});
}

// Lines put into class `cls`: indented as its first line inside is, or one step in from it.
QString childIndent(const QString &text, const Entry &cls, const Style &style)
{
    for (const Entry &child : cls.children) {
        if (startsLine(text, child.span.start.offset))
            return indentOf(text, child.span.start.offset);
    }
    return indentOf(text, cls.span.start.offset) + style.unit;
}

// The edits that make the values of class `e` (an entry, or a section's own ones) those of
// `after`: a changed value rewritten in place, a value switched off losing its line, a new one
// after `last` (the last value written), or without one at the top of the body (`atTop`),
// before the classes the body holds, or at its end.
void valueEdits(const QString &text, const Entry &e, std::span<const ClassAttribute> attributes,
                const QList<AttributeValue> &before, const QList<AttributeValue> &after,
                const std::vector<const Entry *> &where, const Entry *last, bool atTop,
                const Style &style, std::vector<TextEdit> &edits)
{
    QStringList added;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const AttributeValue &was = before[qsizetype(i)];
        const AttributeValue &now = after[qsizetype(i)];
        const Entry *at = where[i];
        if (was.readOnly || was == now || now.readOnly)
            continue;
        const AttributeType type = attributes[i].type;
        if (!now.set) {
            if (at)
                edits.push_back(removal(text, *at));
        } else if (at) {
            if (isArrayType(type))
                arrayEdits(*at, type, now, style, edits);
            else
                edits.push_back({at->value.span.start.offset, at->value.span.end.offset,
                                 valueText(type, now, style)});
        } else {
            added << attributeLine(attributes[i], now, style);
        }
    }
    if (added.isEmpty())
        return;
    // After the last value, indented as that one is; in an empty body, on lines of their own
    // one step in from the class.
    if (last && startsLine(text, last->span.start.offset) &&
        endsLine(text, last->span.end.offset)) {
        const QString indent = indentOf(text, last->span.start.offset);
        const qsizetype at = nextLineStart(text, last->span.end.offset);
        const bool broken = at > 0 && isBreak(text[at - 1]);
        QString lines;
        for (const QString &line : added)
            lines +=
                (broken ? QString() : style.eol) + indent + line + (broken ? style.eol : QString());
        edits.push_back({at, at, lines});
    } else if (last) {
        // Values on the class's line: the new ones follow on the same line.
        edits.push_back({last->span.end.offset, last->span.end.offset, u' ' + added.join(u' ')});
    } else if (atTop) {
        const qsizetype open = e.bodySpan.start.offset;
        if (!endsLine(text, open)) {
            // A body on the class's line: the values open it.
            const bool spaced = open < text.size() && (text[open] == u' ' || text[open] == u'\t');
            edits.push_back(
                {open, open, u' ' + added.join(u' ') + (spaced ? QString() : QStringLiteral(" "))});
            return;
        }
        // On the lines after the '{', indented as the body's first line is.
        const QString indent = childIndent(text, e, style);
        QString lines;
        for (const QString &line : added)
            lines += indent + line + style.eol;
        const qsizetype at = nextLineStart(text, open);
        edits.push_back({at, at, lines});
    } else if (const auto inner =
                   std::find_if(e.children.begin(), e.children.end(),
                                [](const Entry &c) { return c.kind == EntryKind::Class; });
               inner != e.children.end() && startsLine(text, inner->span.start.offset)) {
        // A category's folder, a tag's prefix: before the classes the body holds, on lines
        // indented as the first of them.
        const qsizetype at = lineStartOf(text, inner->span.start.offset);
        QString lines;
        for (const QString &line : added)
            lines += indentOf(text, inner->span.start.offset) + line + style.eol;
        edits.push_back({at, at, lines});
    } else {
        const QString indent = indentOf(text, e.span.start.offset) + style.unit;
        QString lines;
        for (const QString &line : added)
            lines += indent + line + style.eol;
        edits.push_back(insertAtBodyEnd(text, e, lines, style));
    }
}

// The edits that make class `e`, read as `was` with its values at `at`, hold `now`'s name and
// values.
void classEntryEdits(const QString &text, const Entry &e,
                     std::span<const ClassAttribute> attributes, const ClassEntry &was,
                     const ClassEntry &now, const std::vector<const Entry *> &at,
                     const Style &style, std::vector<TextEdit> &edits)
{
    if (was.readOnly || (now.name == was.name && now.values == was.values))
        return;
    const bool renamed = now.name != was.name && isClassName(now.name);
    if (e.kind == EntryKind::ClassDeclaration) {
        // class name; with values becomes a class with a body on its line.
        const QStringList lines = attributeLines(attributes, now.values, style);
        if (lines.isEmpty() && !renamed)
            return;
        edits.push_back({e.span.start.offset, e.span.end.offset,
                         oneLineClass(renamed ? now.name : was.name, lines, true)});
        return;
    }
    if (renamed) {
        const qsizetype head = e.span.start.offset + 5; // after "class"
        const qsizetype nameAt = text.indexOf(was.name, head);
        if (nameAt >= 0 && nameAt < e.bodySpan.start.offset)
            edits.push_back({nameAt, nameAt + was.name.size(), now.name});
    }
    const Entry *last = nullptr;
    for (const Entry &child : e.children) {
        if (child.kind == EntryKind::Value || child.kind == EntryKind::Array)
            last = &child;
    }
    valueEdits(text, e, attributes, was.values, now.values, at, last, false, style, edits);
}

// A whole class of the table with its own values and entries, its first line indented by
// `indent`, each line ending with the text's line break.
QString classText(const ClassTable &table, const QList<AttributeValue> &values,
                  const QList<const ClassEntry *> &entries, const QString &indent,
                  const Style &style)
{
    QString inner;
    for (const ClassEntry *entry : entries)
        inner += entryText(table, *entry, indent + style.unit, style);
    return classBlock(QLatin1StringView(table.className),
                      attributeLines(table.ownAttributes, values, style), inner, indent, style);
}

// A top-level class put at the end of the text, on lines of its own: `block` without its last
// line break.
TextEdit appendedAtEnd(const QString &text, const QString &block, const Style &style)
{
    const bool broken = text.isEmpty() || isBreak(text.back());
    return {text.size(), text.size(),
            (broken ? QString() : style.eol) + block +
                (broken && !text.isEmpty() ? style.eol : QString())};
}

} // namespace

const ClassTable &classTable(ClassKind kind)
{
    return Tables[std::size_t(kind)];
}

MissionClass readMissionClass(const QString &otherText, ClassKind kind)
{
    return scan(otherText, kind).result;
}

QList<AttributeValue> unsetValues(ClassKind kind)
{
    return QList<AttributeValue>(qsizetype(classTable(kind).ownAttributes.size()));
}

ClassEntry newClassEntry(ClassKind kind, const QString &name)
{
    ClassEntry entry;
    entry.name = name;
    for (const ClassAttribute &a : classTable(kind).attributes) {
        AttributeValue value;
        value.set = a.initial != nullptr;
        if (value.set && isArrayType(a.type))
            value.elements = QString::fromLatin1(a.initial).split(u',', Qt::SkipEmptyParts);
        else if (value.set)
            value.value = QString::fromLatin1(a.initial);
        entry.values << value;
    }
    return entry;
}

QString attributeValueText(AttributeType type, const AttributeValue &value)
{
    return valueText(type, value, Style{});
}

QString applyMissionClass(const QString &otherText, const MissionClass &wanted)
{
    const Scan s = scan(otherText, wanted.kind);
    if (s.result.readOnly)
        return otherText;
    const ClassTable &table = classTable(wanted.kind);
    const Style style = styleOf(otherText, s.read, s.cls);
    std::vector<TextEdit> edits;
    std::vector<bool> kept(std::size_t(s.result.entries.size()), false);
    QList<const ClassEntry *> added;
    for (const ClassEntry &entry : wanted.entries) {
        // An entry the table does not fit is kept as it is.
        const bool fits = entry.values.size() == qsizetype(table.attributes.size());
        if (entry.origin >= 0 && entry.origin < s.result.entries.size() &&
            !kept[std::size_t(entry.origin)]) {
            kept[std::size_t(entry.origin)] = true;
            if (fits)
                classEntryEdits(otherText, *s.entries[std::size_t(entry.origin)], table.attributes,
                                s.result.entries[entry.origin], entry,
                                s.values[std::size_t(entry.origin)], style, edits);
        } else if (entry.origin < 0 && !entry.readOnly && fits && isClassName(entry.name)) {
            added << &entry;
        }
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (!kept[i])
            edits.push_back(removal(otherText, *s.entries[i]));
    }
    // The class's own values; removals of entries come first, so that a value put where an
    // entry's lines started stays.
    const bool valuesFit = wanted.values.size() == qsizetype(table.ownAttributes.size());
    bool anyValue = false;
    if (valuesFit) {
        for (const AttributeValue &value : wanted.values)
            anyValue = anyValue || (value.set && !value.readOnly);
    }
    if (s.cls && valuesFit) {
        const Entry *last = nullptr;
        for (const Entry *at : s.own) {
            if (at && (!last || at->span.start.offset > last->span.start.offset))
                last = at;
        }
        valueEdits(otherText, *s.cls, table.ownAttributes, s.result.values, wanted.values, s.own,
                   last, true, style, edits);
    }
    const QList<AttributeValue> values = valuesFit ? wanted.values : unsetValues(wanted.kind);
    if (s.cls && !added.isEmpty()) {
        QString lines;
        for (const ClassEntry *entry : added)
            lines += entryText(table, *entry, childIndent(otherText, *s.cls, style), style);
        edits.push_back(insertAtBodyEnd(otherText, *s.cls, lines, style));
    } else if (!s.cls && s.parent && (anyValue || !added.isEmpty())) {
        edits.push_back(insertAtBodyEnd(
            otherText, *s.parent,
            classText(table, values, added, childIndent(otherText, *s.parent, style), style),
            style));
    } else if (!s.cls && (anyValue || !added.isEmpty())) {
        QString block =
            classText(table, values, added, table.parent ? style.unit : QString(), style);
        if (table.parent)
            block = classBlock(QLatin1StringView(table.parent), {}, block, {}, style);
        block.chop(style.eol.size());
        edits.push_back(appendedAtEnd(otherText, block, style));
    }
    return applied(otherText, std::move(edits));
}

namespace {

// The keys of each level, from the game's documentation of the functions library
// (CfgFunctions).
constexpr ClassAttribute TagAttributes[] = {
    {"tag", AttributeType::Plain, nullptr,
     "The prefix of the functions' names, TAG_fnc_name; without it, the class name."},
};

constexpr ClassAttribute CategoryAttributes[] = {
    {"file", AttributeType::Plain, nullptr,
     "The folder of the category's functions, in the mission folder; without it, "
     "functions\\<category>."},
};

constexpr ClassAttribute FunctionAttributes[] = {
    {"file", AttributeType::Plain, nullptr,
     "The function's file with its extension, in the mission folder; without it, "
     "fn_<function>.sqf in the category's folder."},
    {"preInit", AttributeType::Number, nullptr,
     "1: called when the mission starts, before its objects are made; it may not wait."},
    {"postInit", AttributeType::Number, nullptr,
     "1: called when the mission starts, after its objects are made."},
    {"preStart", AttributeType::Number, nullptr,
     "1: called when the game starts; only in an addon's config, not in a mission."},
    {"recompile", AttributeType::Number, nullptr,
     "1: compiled again at each mission start; a mission's functions always are."},
    {"ext", AttributeType::Plain, nullptr,
     "The file's type: \".sqf\" (the default) or \".fsm\" for a scripted FSM."},
    {"headerType", AttributeType::Number, nullptr,
     "The header put before the code: -1 none, 0 the default one, 1 the system one."},
};
static_assert(std::size(FunctionAttributes) == std::size_t(FunctionKey::HeaderType) + 1);

constexpr std::array<FunctionLevelTable, FunctionLevelCount> LevelTables{{
    {FunctionLevel::Tag, "Tag", "TAG", TagAttributes},
    {FunctionLevel::Category, "Category", "Category", CategoryAttributes},
    {FunctionLevel::Function, "Function", "function", FunctionAttributes},
}};
static_assert(LevelTables[int(FunctionLevel::Tag)].level == FunctionLevel::Tag);
static_assert(LevelTables[int(FunctionLevel::Category)].level == FunctionLevel::Category);
static_assert(LevelTables[int(FunctionLevel::Function)].level == FunctionLevel::Function);

// Where a node read from the text stands: its class, its values and its children's places.
struct NodeAt
{
    const Entry *entry = nullptr;
    std::vector<const Entry *> values;
    std::vector<NodeAt> children;
};

struct FunctionScan
{
    config::ReadResult read;
    const Entry *cls = nullptr;
    MissionFunctions result;
    std::vector<NodeAt> tags;
};

FunctionLevel below(FunctionLevel level)
{
    return FunctionLevel(int(level) + 1);
}

// The classes in `parent` as nodes of `level`, and below them their own. A class declared
// without a body, or inside #if, is a node shown as written.
void readNodes(const config::ReadResult &read, const Entry &parent, FunctionLevel level,
               QList<FunctionNode> &out, std::vector<NodeAt> &at)
{
    const bool nests = level != FunctionLevel::Function;
    besideIfs(parent.children, [&](const Entry &e, bool inIf) {
        if (e.kind != EntryKind::Class && e.kind != EntryKind::ClassDeclaration)
            return;
        FunctionNode node;
        NodeAt where;
        where.entry = &e;
        node.entry = readClassEntry(read, e, functionLevelTable(level).attributes, inIf,
                                    {.nests = nests}, where.values);
        node.entry.origin = int(out.size());
        if (nests && !node.entry.readOnly)
            readNodes(read, e, below(level), node.children, where.children);
        out << node;
        at.push_back(std::move(where));
    });
}

FunctionScan scanFunctions(const QString &text)
{
    FunctionScan s;
    const QLatin1StringView name("CfgFunctions");
    s.read = readKeeping(text, name);
    const Found found = findClass(s.read, s.read.entries, name);
    s.cls = found.cls;
    s.result.present = found.count > 0;
    s.result.why = found.why;
    // Statements a macro makes in place of tags would be lost from view: nothing in the
    // class is offered then.
    if (s.result.why.isEmpty() && s.cls) {
        for (const Entry &e : s.cls->children) {
            if (e.kind == EntryKind::Invalid || e.kind == EntryKind::Exec ||
                e.kind == EntryKind::Skipped || e.kind == EntryKind::Delete) {
                s.result.why = QStringLiteral("class CfgFunctions holds statements the window "
                                              "cannot show, such as a macro.");
                break;
            }
        }
    }
    s.result.readOnly = !s.result.why.isEmpty();
    if (s.cls && !s.result.readOnly)
        readNodes(s.read, *s.cls, FunctionLevel::Tag, s.result.tags, s.tags);
    return s;
}

// A node the editor can write: a class name, the keys of its level, children it can write.
bool writable(const FunctionNode &node, FunctionLevel level)
{
    if (node.entry.readOnly || !isClassName(node.entry.name) ||
        node.entry.values.size() != qsizetype(functionLevelTable(level).attributes.size()))
        return false;
    if (level == FunctionLevel::Function)
        return node.children.isEmpty();
    return std::all_of(node.children.begin(), node.children.end(),
                       [level](const FunctionNode &c) { return writable(c, below(level)); });
}

// A new node with its keys and children, its first line indented by `indent`; one without
// either is written on one line, "class name {};", as functions mostly are.
QString nodeText(const FunctionNode &node, FunctionLevel level, const QString &indent,
                 const Style &style)
{
    const QStringList lines =
        attributeLines(functionLevelTable(level).attributes, node.entry.values, style);
    QString inner;
    for (const FunctionNode &child : node.children)
        inner += nodeText(child, below(level), indent + style.unit, style);
    if (lines.isEmpty() && inner.isEmpty())
        return indent + oneLineClass(node.entry.name, {}, false) + style.eol;
    return classBlock(node.entry.name, lines, inner, indent, style);
}

void nodeEdits(const QString &text, const Entry &parent, FunctionLevel level,
               const QList<FunctionNode> &was, const std::vector<NodeAt> &at,
               const QList<FunctionNode> &now, const Style &style, std::vector<TextEdit> &edits)
{
    const auto attributes = functionLevelTable(level).attributes;
    std::vector<bool> kept(std::size_t(was.size()), false);
    QList<const FunctionNode *> added;
    for (const FunctionNode &node : now) {
        const int origin = node.entry.origin;
        if (origin >= 0 && origin < was.size() && !kept[std::size_t(origin)]) {
            kept[std::size_t(origin)] = true;
            const NodeAt &where = at[std::size_t(origin)];
            if (was[origin].entry.readOnly ||
                node.entry.values.size() != qsizetype(attributes.size()))
                continue;
            classEntryEdits(text, *where.entry, attributes, was[origin].entry, node.entry,
                            where.values, style, edits);
            if (level != FunctionLevel::Function)
                nodeEdits(text, *where.entry, below(level), was[origin].children, where.children,
                          node.children, style, edits);
        } else if (origin < 0 && writable(node, level)) {
            added << &node;
        }
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (!kept[i])
            edits.push_back(removal(text, *at[i].entry));
    }
    if (added.isEmpty())
        return;
    const QString indent = childIndent(text, parent, style);
    QString lines;
    for (const FunctionNode *node : added)
        lines += nodeText(*node, level, indent, style);
    edits.push_back(insertAtBodyEnd(text, parent, lines, style));
}

// The value of a key the editor can read; nullopt when it is written in a way it cannot.
std::optional<QString> plainValue(const ClassEntry &entry, int index, const QString &unset)
{
    const AttributeValue &value = entry.values.value(index);
    if (!value.set)
        return unset;
    if (value.readOnly)
        return std::nullopt;
    return value.value;
}

} // namespace

bool operator==(const FunctionNode &a, const FunctionNode &b)
{
    return a.entry == b.entry &&
           std::equal(a.children.begin(), a.children.end(), b.children.begin(), b.children.end());
}

const FunctionLevelTable &functionLevelTable(FunctionLevel level)
{
    return LevelTables[std::size_t(level)];
}

MissionFunctions readMissionFunctions(const QString &otherText)
{
    return scanFunctions(otherText).result;
}

FunctionNode newFunctionNode(FunctionLevel level, const QString &name)
{
    FunctionNode node;
    node.entry.name = name;
    node.entry.values.resize(qsizetype(functionLevelTable(level).attributes.size()));
    return node;
}

QString functionFilePath(const FunctionNode &category, const FunctionNode &function)
{
    const std::optional<QString> own = plainValue(function.entry, int(FunctionKey::File), {});
    if (!own)
        return {};
    if (!own->isEmpty())
        return *own;
    std::optional<QString> folder =
        plainValue(category.entry, 0, QStringLiteral("functions\\") + category.entry.name);
    const std::optional<QString> ext =
        plainValue(function.entry, int(FunctionKey::Ext), QStringLiteral(".sqf"));
    if (!folder || !ext || category.entry.readOnly)
        return {};
    while (folder->endsWith(u'\\') || folder->endsWith(u'/'))
        folder->chop(1);
    return *folder + QStringLiteral("\\fn_") + function.entry.name + *ext;
}

QString applyMissionFunctions(const QString &otherText, const MissionFunctions &wanted)
{
    const FunctionScan s = scanFunctions(otherText);
    if (s.result.readOnly)
        return otherText;
    const Style style = styleOf(otherText, s.read, s.cls);
    std::vector<TextEdit> edits;
    if (s.cls) {
        nodeEdits(otherText, *s.cls, FunctionLevel::Tag, s.result.tags, s.tags, wanted.tags, style,
                  edits);
        return applied(otherText, std::move(edits));
    }
    QString body;
    for (const FunctionNode &tag : wanted.tags) {
        if (tag.entry.origin < 0 && writable(tag, FunctionLevel::Tag))
            body += nodeText(tag, FunctionLevel::Tag, style.unit, style);
    }
    if (body.isEmpty())
        return otherText;
    QString block = classBlock(QStringLiteral("CfgFunctions"), {}, body, {}, style);
    block.chop(style.eol.size());
    return applied(otherText, {appendedAtEnd(otherText, block, style)});
}
