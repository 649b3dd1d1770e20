// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "valuerules.h"

#include "knownkeys.h"
#include "preprocessor.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace config::detail {

namespace {

// A rule's path split once into its names.
struct CompiledRule
{
    const ValueRule *rule;
    QStringList segments;
};

const std::vector<CompiledRule> &compiledRules()
{
    static const std::vector<CompiledRule> rules = [] {
        std::vector<CompiledRule> out;
        for (const ValueRule &r : valueRules())
            out.push_back({&r, QString::fromLatin1(r.path).split(u'/')});
        return out;
    }();
    return rules;
}

// Whether a rule needs the whole class (checkClass) rather than one value (checkValue).
bool comparesClass(const CompiledRule &rule)
{
    switch (rule.rule->check) {
    case ValueCheck::NotAbove:
    case ValueCheck::AmongOther:
    case ValueCheck::SameLength:
    case ValueCheck::NamesClasses:
    case ValueCheck::FunctionFile:
        return true;
    default:
        return false;
    }
}

// The rules that compare a class's statements with each other, or look at the class itself.
const std::vector<CompiledRule> &classRules()
{
    static const std::vector<CompiledRule> rules = [] {
        std::vector<CompiledRule> out;
        for (const CompiledRule &rule : compiledRules()) {
            if (comparesClass(rule))
                out.push_back(rule);
        }
        return out;
    }();
    return rules;
}

// The rules that look at a single value, by the length of the key they name: every statement
// of a file is looked up here, and most keys have no rule of that length at all.
constexpr qsizetype MaxIndexedKey = 32;
const std::array<std::vector<const CompiledRule *>, MaxIndexedKey> &valueRulesByKeyLength()
{
    static const auto index = [] {
        std::array<std::vector<const CompiledRule *>, MaxIndexedKey> out;
        for (const CompiledRule &rule : compiledRules()) {
            if (comparesClass(rule))
                continue;
            const QString &key = rule.segments.back();
            Q_ASSERT(key != u"*" && key.size() < MaxIndexedKey);
            out[std::size_t(key.size())].push_back(&rule);
        }
        return out;
    }();
    return index;
}

// Every statement is matched against every rule, so the cheap tests come first: "*", then the
// length, before the comparison without regard to case.
bool segmentMatches(const QString &segment, QStringView name)
{
    if (segment.size() == 1 && segment.front() == u'*')
        return true;
    if (segment.size() != name.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t a = name[i].unicode(), b = segment[i].unicode();
        if (a >= 0x80 || b >= 0x80) // outside ASCII case folding needs Qt's tables
            return name.sliced(i).compare(QStringView(segment).sliced(i), Qt::CaseInsensitive) == 0;
        if ((a | 0x20) != (b | 0x20) || ((a | 0x20) - u'a' > 25u && a != b))
            return false;
    }
    return true;
}

// Whether `rule` names the key `name` inside `classes`.
bool matches(const CompiledRule &rule, const std::vector<ClassFrame> &classes, QStringView name)
{
    if (std::size_t(rule.segments.size()) != classes.size() + 1 ||
        !segmentMatches(rule.segments.back(), name))
        return false;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (!segmentMatches(rule.segments[qsizetype(i)], classes[i].name))
            return false;
    }
    return true;
}

// A child of a class as the rules see it: the entry, and where to report it in the file being
// read (an entry of an included file is reported at its #include).
struct Child
{
    const Entry *entry;
    SourceSpan where;
    bool direct; // in the file being read, so that its own spans can be reported
};

// Where to report a child's value: the value itself, or the #include it came from.
SourceSpan valueSpan(const Child &c)
{
    return c.direct ? c.entry->value.span : c.where;
}

void collectChildren(const QList<Entry> &entries, const SourceSpan *directive,
                     std::vector<Child> &out)
{
    for (const Entry &e : entries) {
        if (e.kind == EntryKind::Directive)
            collectChildren(e.children, directive ? directive : &e.span, out);
        else
            out.push_back({&e, directive ? *directive : e.span, directive == nullptr});
    }
}

const Child *findChild(const std::vector<Child> &children, QStringView name, bool wantClass)
{
    for (const Child &c : children) {
        const bool isClass =
            c.entry->kind == EntryKind::Class || c.entry->kind == EntryKind::ClassDeclaration;
        const bool isValue = c.entry->kind == EntryKind::Value || c.entry->kind == EntryKind::Array;
        if ((wantClass ? isClass : isValue) &&
            c.entry->name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

bool isNumberText(QStringView s, double *number)
{
    s = s.trimmed();
    bool ok = false;
    double v = s.toDouble(&ok);
    if (!ok) {
        const qlonglong n = s.toLongLong(&ok, 0); // hexadecimal
        v = double(n);
    }
    if (ok && number)
        *number = v;
    return ok;
}

// The number a scalar value holds: a number, or a string holding one.
bool numberOf(const Value &v, double *number)
{
    if (v.kind == ValueKind::Number || v.kind == ValueKind::String)
        return isNumberText(v.text, number);
    return false;
}

// An unquoted expression of numbers (5*60) that the game works out.
bool isArithmetic(QStringView s)
{
    bool digit = false;
    for (const QChar c : s) {
        if (c.isDigit())
            digit = true;
        else if (!QStringView(u" \t.+-*/()eE").contains(c))
            return false;
    }
    return digit;
}

bool isIdentifier(QStringView s)
{
    if (s.isEmpty() || s.front().isDigit())
        return false;
    for (const QChar c : s) {
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    }
    return true;
}

QString joined(std::span<const char *const> names)
{
    QStringList list;
    for (const char *n : names)
        list << QString::fromLatin1(n);
    return list.join(u", ");
}

bool isEmptyWord(const Value &v)
{
    return v.kind == ValueKind::Word && v.text.isEmpty();
}

// The value as a message shows it: numbers as written, text in quotes, cut.
QString shown(const Value &v)
{
    if (v.kind == ValueKind::Array)
        return QStringLiteral("an array");
    if (v.kind == ValueKind::Number)
        return cutText(v.text);
    return echo(v.text);
}

// A name that is not a file of the mission: the game's or an addon's ('@', '\\', or a path
// into the game's own data, "a3\\..."), a string of the stringtable ('$'), or a texture the
// game makes ("#(argb,8,8,3)color(0,0,0,1)").
bool isAddonPath(QStringView path)
{
    path = path.trimmed();
    if (path.startsWith(u'@') || path.startsWith(u'\\') || path.startsWith(u'$') ||
        path.startsWith(u'#'))
        return true;
    return path.size() > 3 && path.first(2).compare(u"a3", Qt::CaseInsensitive) == 0 &&
           (path[2] == u'\\' || path[2] == u'/');
}

// Whether `path` leads out of the mission folder: "..\\x", "a\\..\\..\\x", or a drive. The game
// cannot load such a file from a packed mission, so it is not looked for.
bool leavesMissionFolder(QStringView path)
{
    path = path.trimmed();
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter())
        return true;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != u'\\' && path[i] != u'/')
            continue;
        const QStringView part = path.sliced(start, i - start);
        if (part == u"..") {
            if (--depth < 0)
                return true;
        } else if (!part.isEmpty() && part != u".") {
            ++depth;
        }
        start = i + 1;
    }
    return false;
}

QString outsideMessage(const QString &path)
{
    return u"file "_qs + echo(path) +
           u" is outside the mission folder: the game cannot load it from a packed mission"_qs;
}

// Looks for `path` as written, and when its last part has no extension, with each of
// `extensions`. Returns true when found or not to be looked for.
bool missionFileFound(const QString &path, std::span<const char *const> extensions,
                      const RuleSink &sink)
{
    if (!sink.fileExists || path.trimmed().isEmpty() || isAddonPath(path))
        return true;
    if (sink.fileExists(path))
        return true;
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    if (path.indexOf(u'.', slash + 1) >= 0)
        return false;
    for (const char *ext : extensions) {
        if (sink.fileExists(path + QLatin1StringView(ext)))
            return true;
    }
    return false;
}

QString notFoundMessage(const QString &path, std::span<const char *const> extensions)
{
    QString message = u"file "_qs + echo(path) + u" not found in the mission folder"_qs;
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    if (!extensions.empty() && path.indexOf(u'.', slash + 1) < 0)
        message += u" (also tried "_qs + joined(extensions) + u')';
    return message;
}

// Reports a word that names nothing the rule accepts, unless it may be a macro of an include
// that was not found.
void reportValue(const Child &at, const ValueRule &rule, const Value &v, const QString &message,
                 const RuleSink &sink)
{
    if (v.kind == ValueKind::Word && isIdentifier(v.text) &&
        sink.fromMissingInclude(valueSpan(at), v.text))
        return;
    sink.report(valueSpan(at), rule.severity, rule.kind, message);
}

void applyToValue(const ValueRule &rule, const Child &at, const RuleSink &sink)
{
    const Entry &e = *at.entry;
    const Value &v = e.value;
    if (isEmptyWord(v) || v.kind == ValueKind::Expression)
        return; // an empty value is reported as such; __EVAL is worked out by the game
    const QString key = cutText(e.name);
    double number = 0;
    switch (rule.check) {
    case ValueCheck::NumberOrName: {
        if (numberOf(v, &number)) {
            if (number != std::floor(number) || number < rule.minimum || number > rule.maximum) {
                sink.report(valueSpan(at), rule.severity, rule.kind,
                            QStringLiteral("%1 is %2: expected %3 to %4 or one of %5")
                                .arg(key, shown(v))
                                .arg(rule.minimum)
                                .arg(rule.maximum)
                                .arg(joined(rule.names)));
            }
            return;
        }
        if (v.kind != ValueKind::Array) {
            for (const char *name : rule.names) {
                if (v.text.trimmed().compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
                    return;
            }
        }
        reportValue(at, rule, v,
                    QStringLiteral("%1 is %2: expected %3 to %4 or one of %5")
                        .arg(key, shown(v))
                        .arg(rule.minimum)
                        .arg(rule.maximum)
                        .arg(joined(rule.names)),
                    sink);
        return;
    }
    case ValueCheck::Number:
        if (numberOf(v, &number) || (v.kind == ValueKind::Word && isArithmetic(v.text)))
            return;
        reportValue(at, rule, v, key + u" is "_qs + shown(v) + u": expected a number"_qs, sink);
        return;
    case ValueCheck::Name:
        if (v.kind == ValueKind::Array)
            break;
        for (const char *name : rule.names) {
            if (v.text.trimmed().compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
                return;
        }
        if (v.text.startsWith(u"$STR", Qt::CaseInsensitive))
            return;
        reportValue(at, rule, v,
                    key + u" is "_qs + shown(v) +
                        u", which the game does not know and shows as "_qs +
                        QLatin1StringView(rule.names.front()),
                    sink);
        return;
    case ValueCheck::OneOf: {
        if (v.kind == ValueKind::Array)
            break;
        const bool numeric = numberOf(v, &number);
        for (const char *name : rule.names) {
            const QLatin1StringView listed(name);
            double n = 0;
            if (numeric ? isNumberText(QString(listed), &n) && n == number
                        : v.text.trimmed().compare(listed, Qt::CaseInsensitive) == 0)
                return;
        }
        reportValue(
            at, rule, v,
            QStringLiteral("%1 is %2: expected one of %3; the game takes any other "
                           "value as %4")
                .arg(key, shown(v), joined(rule.names), QLatin1StringView(rule.names.front())),
            sink);
        return;
    }
    case ValueCheck::WholeInRange:
        if (numberOf(v, &number) && number == std::floor(number) && number >= rule.minimum &&
            number <= rule.maximum)
            return;
        reportValue(at, rule, v,
                    QStringLiteral("%1 is %2: expected a whole number from %3 to %4")
                        .arg(key, shown(v))
                        .arg(rule.minimum)
                        .arg(rule.maximum),
                    sink);
        return;
    case ValueCheck::MissionFile: {
        const Value &first =
            v.kind == ValueKind::Array ? (v.elements.isEmpty() ? v : v.elements.front()) : v;
        if (first.kind != ValueKind::String && first.kind != ValueKind::Word)
            return;
        const SourceSpan where = at.direct ? first.span : at.where;
        if (sink.fileExists && !isAddonPath(first.text) && leavesMissionFolder(first.text)) {
            sink.report(where, rule.severity, DiagnosticKind::FileOutsideMission,
                        outsideMessage(first.text));
            return;
        }
        if (!missionFileFound(first.text, rule.names, sink))
            sink.report(at.direct ? first.span : at.where, rule.severity, rule.kind,
                        notFoundMessage(first.text, rule.names));
        return;
    }
    default:
        return;
    }
    sink.report(valueSpan(at), rule.severity, rule.kind,
                key + u" is "_qs + shown(v) + u": expected a single value"_qs);
}

// The rules that compare a child of `cls` with its siblings.
void applyToSibling(const ValueRule &rule, const Child &at, const std::vector<Child> &children,
                    const Entry &cls, const RuleSink &sink)
{
    const Entry &e = *at.entry;
    const Value &v = e.value;
    switch (rule.check) {
    case ValueCheck::NotAbove: {
        const Child *other = findChild(children, QString::fromLatin1(rule.other), false);
        double mine = 0, limit = 0;
        if (other && numberOf(v, &mine) && numberOf(other->entry->value, &limit) && mine > limit) {
            sink.report(valueSpan(at), rule.severity, rule.kind,
                        QStringLiteral("%1 (%2) is above %3 (%4)")
                            .arg(cutText(e.name), cutText(v.text), cutText(other->entry->name),
                                 cutText(other->entry->value.text)));
        }
        return;
    }
    case ValueCheck::AmongOther: {
        const Child *other = findChild(children, QString::fromLatin1(rule.other), false);
        if (!other || other->entry->value.kind != ValueKind::Array || v.kind == ValueKind::Array ||
            isEmptyWord(v) || v.kind == ValueKind::Expression)
            return;
        double mine = 0;
        const bool numeric = numberOf(v, &mine);
        QStringList listed;
        for (const Value &element : other->entry->value.elements) {
            if (element.kind == ValueKind::Array || element.kind == ValueKind::Expression ||
                element.kind == ValueKind::Word)
                return; // worked out or expanded by the game: not compared
            double n = 0;
            if (numeric ? numberOf(element, &n) && n == mine
                        : element.text.compare(v.text, Qt::CaseInsensitive) == 0)
                return;
            listed << element.text;
        }
        reportValue(at, rule, v,
                    QStringLiteral("%1 %2 is not among %3[] of class %4 (%5)")
                        .arg(cutText(e.name), shown(v), cutText(other->entry->name),
                             cutText(cls.name), cutText(listed.join(u", "))),
                    sink);
        return;
    }
    case ValueCheck::SameLength: {
        const Child *other = findChild(children, QString::fromLatin1(rule.other), false);
        if (!other || other->entry->value.kind != ValueKind::Array || v.kind != ValueKind::Array ||
            e.append || other->entry->append)
            return;
        const qsizetype mine = v.elements.size(), theirs = other->entry->value.elements.size();
        if (mine != theirs) {
            sink.report(valueSpan(at), rule.severity, rule.kind,
                        QStringLiteral("%1[] has %2 elements but %3[] has %4 in class %5")
                            .arg(cutText(e.name))
                            .arg(mine)
                            .arg(cutText(other->entry->name))
                            .arg(theirs)
                            .arg(cutText(cls.name)));
        }
        return;
    }
    case ValueCheck::NamesClasses: {
        if (v.kind != ValueKind::Array)
            return;
        for (const Value &element : v.elements) {
            if ((element.kind != ValueKind::String && element.kind != ValueKind::Word) ||
                element.text.isEmpty() || findChild(children, element.text, true))
                continue;
            const SourceSpan where = at.direct ? element.span : at.where;
            if (element.kind == ValueKind::Word && isIdentifier(element.text) &&
                sink.fromMissingInclude(where, element.text))
                continue;
            sink.report(where, rule.severity, rule.kind,
                        QStringLiteral("%1[] names %2, but %3 has no class of that name")
                            .arg(cutText(e.name), echo(element.text), cutText(cls.name)));
        }
        return;
    }
    default:
        return;
    }
}

} // namespace

void checkValue(const Entry &e, const std::vector<ClassFrame> &classes, const RuleSink &sink)
{
    // "class f;" in a category of CfgFunctions declares a function without a body: it has the
    // default file as much as "class f {};" has.
    if (e.kind == EntryKind::ClassDeclaration) {
        checkClass(e, classes, sink);
        return;
    }
    if ((e.kind != EntryKind::Value && e.kind != EntryKind::Array) ||
        e.name.size() >= MaxIndexedKey)
        return;
    for (const CompiledRule *rule : valueRulesByKeyLength()[std::size_t(e.name.size())]) {
        if (matches(*rule, classes, e.name))
            applyToValue(*rule->rule, {&e, e.span, true}, sink);
    }
}

bool classRulesNeedStatements(const std::vector<ClassFrame> &classes)
{
    for (const CompiledRule &rule : classRules()) {
        // A function's own class, or the class whose statements a rule compares.
        const std::size_t classDepth = rule.rule->check == ValueCheck::FunctionFile
                                           ? std::size_t(rule.segments.size())
                                           : std::size_t(rule.segments.size()) - 1;
        if (classDepth != classes.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < classes.size() && same; ++i)
            same = segmentMatches(rule.segments[qsizetype(i)], classes[i].name);
        if (same)
            return true;
    }
    return false;
}

void checkClass(const Entry &cls, const std::vector<ClassFrame> &classes, const RuleSink &sink)
{
    std::vector<Child> children;
    bool collected = false;
    for (const CompiledRule &rule : classRules()) {
        const ValueCheck check = rule.rule->check;
        if (check == ValueCheck::FunctionFile) {
            if (!sink.fileExists || !matches(rule, classes, cls.name) || classes.empty())
                continue;
            if (!collected) {
                collectChildren(cls.children, nullptr, children);
                collected = true;
            }
            if (findChild(children, u"file", false))
                continue; // its own file is checked as a value
            QString ext = u".sqf"_qs;
            if (const Child *c = findChild(children, u"ext", false);
                c && c->entry->value.kind == ValueKind::String)
                ext = c->entry->value.text;
            const ClassFrame &category = classes.back();
            QString folder = category.file;
            if (folder.isEmpty())
                folder = u"functions\\"_qs + category.name;
            if (isAddonPath(folder))
                continue;
            while (folder.endsWith(u'\\') || folder.endsWith(u'/'))
                folder.chop(1);
            const QString path = folder + u"\\fn_"_qs + cls.name + ext;
            // A category folder outside the mission folder is reported at its 'file'.
            if (leavesMissionFolder(path))
                continue;
            if (!sink.fileExists(path)) {
                sink.report(cls.span, rule.rule->severity, rule.rule->kind,
                            u"function "_qs + echo(cls.name) +
                                u" has no 'file', and its default file "_qs + echo(path) +
                                u" is not in the mission folder"_qs);
            }
            continue;
        }
        // Quick rejection before the children are gathered: the rule's class must be this one.
        const std::size_t depth = classes.size();
        if (std::size_t(rule.segments.size()) != depth + 2 ||
            !segmentMatches(rule.segments[qsizetype(depth)], cls.name))
            continue;
        bool classMatches = true;
        for (std::size_t i = 0; i < depth && classMatches; ++i)
            classMatches = segmentMatches(rule.segments[qsizetype(i)], classes[i].name);
        if (!classMatches)
            continue;
        if (!collected) {
            collectChildren(cls.children, nullptr, children);
            collected = true;
        }
        for (const Child &child : children) {
            const bool value =
                child.entry->kind == EntryKind::Value || child.entry->kind == EntryKind::Array;
            if (value && segmentMatches(rule.segments.back(), child.entry->name))
                applyToSibling(*rule.rule, child, children, cls, sink);
        }
    }
}

} // namespace config::detail
