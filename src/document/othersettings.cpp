// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "othersettings.h"

#include "encoding.h"
#include "textedits.h"

#include "configreader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using config::Entry;
using config::EntryKind;
using config::KeySetting;
using config::SettingType;
using config::ValueKind;

// Where a key of the table stands in the text.
struct Located
{
    const Entry *entry = nullptr;
    int count = 0;
    bool conditional = false;
    // Found only in a block the preprocessor switched off: that block's text.
    QString skippedText;
};

struct Scan
{
    config::ReadResult read;
    std::vector<Located> located; // per table row
    // The last top-level `key = value;` outside a conditional block, where new keys go after.
    const Entry *lastSetting = nullptr;
};

void skipped(Scan &s, const Entry &e)
{
    const QStringView raw = s.read.raw(e.span);
    const auto rows = config::keySettings();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QRegularExpression assignment(QStringLiteral("(^|[;\\s])%1\\s*(\\[\\s*\\])?\\s*\\+?=")
                                                .arg(QLatin1StringView(rows[i].key)),
                                            QRegularExpression::CaseInsensitiveOption);
        if (assignment.match(raw).hasMatch()) {
            s.located[i].conditional = true;
            ++s.located[i].count;
            s.located[i].skippedText = raw.trimmed().toString();
        }
    }
}

Scan scan(const QString &text)
{
    Scan s;
    config::ReadOptions options;
    options.checkKnownKeys = false;
    // The settings are top-level statements: no class body is looked into.
    options.keepBodyOf = [](QStringView) { return false; };
    s.read = config::readConfig(text, options);
    const auto rows = config::keySettings();
    s.located.resize(rows.size());
    int depth = 0;
    for (const Entry &e : s.read.entries) {
        if (e.kind == EntryKind::Skipped) {
            // A key in a block that is switched off still counts: writing it again outside
            // would give the file two of it.
            skipped(s, e);
            continue;
        }
        if (e.kind == EntryKind::Directive) {
            if (e.name == u"if" || e.name == u"ifdef" || e.name == u"ifndef")
                ++depth;
            else if (e.name == u"endif" && depth > 0)
                --depth;
            continue;
        }
        if (e.kind != EntryKind::Value && e.kind != EntryKind::Array)
            continue;
        if (depth == 0)
            s.lastSetting = &e;
        const KeySetting *row = config::findKeySetting(e.name);
        if (!row)
            continue;
        Located &at = s.located[std::size_t(row - rows.data())];
        at.entry = &e;
        ++at.count;
        at.conditional = at.conditional || depth > 0;
    }
    return s;
}

// The value as written, unless a macro stands in its place.
bool writtenAsIs(const config::ReadResult &read, const config::Value &v)
{
    const QStringView raw = read.raw(v.span);
    if (v.kind == ValueKind::String)
        return raw.size() >= 2 && raw.startsWith(u'"') && raw.endsWith(u'"');
    return raw == v.text;
}

const config::SettingChoice *choiceFor(const KeySetting &row, QStringView value)
{
    for (const config::SettingChoice &c : row.choices) {
        if (value.compare(QLatin1StringView(c.value), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

// Channels are numbers; templates are names, written quoted.
bool numericChoices(const KeySetting &row)
{
    bool ok = false;
    if (!row.choices.empty())
        (void)QLatin1StringView(row.choices.front().value).toInt(&ok);
    return ok;
}

bool isPlayerList(const MissionSetting &s)
{
    return s.row->form == config::SettingForm::PlayerList &&
           s.value == QLatin1StringView(PlayerListChoice);
}

// Written as an array (key[] = {...}).
bool writtenAsArray(const MissionSetting &s)
{
    return s.row->type == SettingType::FlagSet || isPlayerList(s);
}

// true, false, 1 or 0, as disableChannels' elements are written.
std::optional<bool> switchOf(const config::ReadResult &read, const config::Value &v)
{
    if ((v.kind != ValueKind::Word && v.kind != ValueKind::Number) || !writtenAsIs(read, v))
        return std::nullopt;
    if (v.text == u"1" || v.text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (v.text == u"0" || v.text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

bool readChannels(const config::ReadResult &read, const config::Value &v, MissionSetting &s)
{
    const KeySetting &row = *s.row;
    auto channelOf = [&](const config::Value &element) -> std::optional<int> {
        if (element.kind != ValueKind::Number || !writtenAsIs(read, element))
            return std::nullopt;
        const config::SettingChoice *c = choiceFor(row, element.text);
        if (!c)
            return std::nullopt;
        return QLatin1StringView(c->value).toInt();
    };
    s.perChannel = !v.elements.isEmpty() && v.elements.front().kind == ValueKind::Array;
    for (const config::Value &element : v.elements) {
        ChannelSwitch channel;
        if (s.perChannel) {
            if (element.kind != ValueKind::Array || element.elements.size() != 3)
                return false;
            const std::optional<int> number = channelOf(element.elements[0]);
            const std::optional<bool> chat = switchOf(read, element.elements[1]);
            const std::optional<bool> voice = switchOf(read, element.elements[2]);
            if (!number || !chat || !voice)
                return false;
            channel = {*number, *chat, *voice};
        } else {
            const std::optional<int> number = channelOf(element);
            if (!number)
                return false;
            channel = {*number, true, false};
        }
        for (const ChannelSwitch &seen : s.channels) {
            if (seen.channel == channel.channel)
                return false;
        }
        s.channels << channel;
    }
    return true;
}

// Names of a FlagSet in the file's order; false for a name the row does not take, or twice.
bool readNames(const config::ReadResult &read, const config::Value &v, MissionSetting &s)
{
    const KeySetting &row = *s.row;
    const bool custom = row.form == config::SettingForm::CustomNames;
    const ValueKind wanted = numericChoices(row) ? ValueKind::Number : ValueKind::String;
    for (const config::Value &element : v.elements) {
        if (element.kind != wanted || !writtenAsIs(read, element))
            return false;
        const config::SettingChoice *c = choiceFor(row, element.text);
        const QString name = c ? QString(QLatin1StringView(c->value)) : element.text.trimmed();
        if ((!c && (!custom || name.isEmpty() || name.contains(u'"'))) ||
            s.flags.contains(name, Qt::CaseInsensitive))
            return false;
        s.flags << name;
    }
    if (!custom) {
        // The table's order, as the window lists them.
        QStringList ordered;
        for (const config::SettingChoice &c : row.choices) {
            if (s.flags.contains(QLatin1StringView(c.value)))
                ordered << QLatin1StringView(c.value);
        }
        s.flags = ordered;
    }
    return true;
}

// Fills `s` from the entry; false when the window cannot show the value exactly.
bool readValue(const config::ReadResult &read, const Entry &e, MissionSetting &s)
{
    const KeySetting &row = *s.row;
    const config::Value &v = e.value;
    const bool playerList =
        row.form == config::SettingForm::PlayerList && e.kind == EntryKind::Array;
    if ((row.type == SettingType::FlagSet || playerList) != (e.kind == EntryKind::Array))
        return false;
    switch (row.type) {
    case SettingType::Text:
    case SettingType::FilePath:
        if (row.type == SettingType::Text && v.kind == ValueKind::Word && writtenAsIs(read, v) &&
            isStringReference(v.text)) {
            s.value = v.text;
            return true;
        }
        if (v.kind != ValueKind::String || !writtenAsIs(read, v))
            return false;
        s.value = v.text;
        return true;
    case SettingType::Number: {
        if (v.kind == ValueKind::Word && writtenAsIs(read, v)) {
            const std::optional<qint64> n = wholeExpressionValue(v.text);
            if (!n || *n < row.minimum || *n > row.maximum)
                return false;
            s.value = QString::number(*n);
            s.expression = v.text;
            return true;
        }
        bool ok = false;
        const int n = v.text.toInt(&ok);
        if (v.kind != ValueKind::Number || !writtenAsIs(read, v) || !ok || n < row.minimum ||
            n > row.maximum)
            return false;
        s.value = QString::number(n);
        return true;
    }
    case SettingType::Choice: {
        if (playerList) {
            if (e.append || v.kind != ValueKind::Array)
                return false;
            for (const config::Value &element : v.elements) {
                if (element.kind != ValueKind::String || !writtenAsIs(read, element) ||
                    element.text.trimmed().isEmpty() || element.text.contains(u'"') ||
                    s.flags.contains(element.text))
                    return false;
                s.flags << element.text;
            }
            s.value = QLatin1StringView(PlayerListChoice);
            return true;
        }
        if ((v.kind != ValueKind::Number && v.kind != ValueKind::Word) || !writtenAsIs(read, v))
            return false;
        QString text = v.text;
        // The game reads true and false as 1 and 0, and many files write them so.
        if (choiceFor(row, u"1") && choiceFor(row, u"0") && !choiceFor(row, text)) {
            if (text.compare(u"true", Qt::CaseInsensitive) == 0)
                text = QStringLiteral("1");
            else if (text.compare(u"false", Qt::CaseInsensitive) == 0)
                text = QStringLiteral("0");
        }
        const config::SettingChoice *c = choiceFor(row, text);
        if (!c)
            return false;
        s.value = QLatin1StringView(c->value);
        return true;
    }
    case SettingType::FlagSet:
        if (e.append || v.kind != ValueKind::Array)
            return false;
        if (row.form == config::SettingForm::ChannelVoice)
            return readChannels(read, v, s);
        return readNames(read, v, s);
    }
    return false;
}

QList<MissionSetting> settingsOf(const Scan &s)
{
    QList<MissionSetting> settings;
    const auto rows = config::keySettings();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        MissionSetting setting;
        setting.row = &rows[i];
        const Located &at = s.located[i];
        if (!at.entry && at.count > 0) {
            setting.set = true;
            setting.readOnly = true;
            setting.written = at.skippedText;
        } else if (at.entry) {
            setting.set = true;
            if (at.count > 1 || at.conditional || !readValue(s.read, *at.entry, setting)) {
                MissionSetting readOnly;
                readOnly.row = setting.row;
                readOnly.set = true;
                readOnly.readOnly = true;
                readOnly.written = s.read.raw(at.entry->value.span).toString();
                setting = readOnly;
            }
        }
        settings << setting;
    }
    return settings;
}

// How the elements of a disableChannels entry are written: {0, true, true} or {0,1,1}.
struct ChannelStyle
{
    QString open; // after '{'
    QString separator = QStringLiteral(", ");
    QString close;          // before '}'
    bool numbers = false;   // 1 and 0 rather than true and false
    bool upperCase = false; // TRUE and FALSE
};

QString switchText(bool on, const ChannelStyle &style)
{
    if (style.numbers)
        return on ? QStringLiteral("1") : QStringLiteral("0");
    const QString word = on ? QStringLiteral("true") : QStringLiteral("false");
    return style.upperCase ? word.toUpper() : word;
}

QString channelText(const ChannelSwitch &c, const ChannelStyle &style)
{
    return u'{' + style.open + QString::number(c.channel) + style.separator +
           switchText(c.chat, style) + style.separator + switchText(c.voice, style) + style.close +
           u'}';
}

QString arrayText(const QStringList &elements)
{
    return u'{' + elements.join(QStringLiteral(", ")) + u'}';
}

QString namesText(const MissionSetting &setting)
{
    const bool numeric = setting.row->type == SettingType::FlagSet && numericChoices(*setting.row);
    QStringList elements;
    for (const QString &flag : setting.flags)
        elements << (numeric ? flag : stringLiteral(flag));
    return arrayText(elements);
}

QString channelsText(const MissionSetting &setting, const ChannelStyle &style = {})
{
    QStringList elements;
    for (const ChannelSwitch &c : setting.channels) {
        if (setting.perChannel)
            elements << channelText(c, style);
        else if (c.chat)
            elements << QString::number(c.channel);
    }
    return arrayText(elements);
}

QString settingLine(const MissionSetting &setting)
{
    const QString key = QLatin1StringView(setting.row->key);
    const QString name = writtenAsArray(setting) ? key + QStringLiteral("[]") : key;
    return name + QStringLiteral(" = ") + settingValueText(setting) + u';';
}

bool sameValue(const MissionSetting &a, const MissionSetting &b)
{
    return a.set == b.set &&
           (!a.set || (a.value == b.value && a.expression == b.expression && a.flags == b.flags &&
                       a.channels == b.channels && a.perChannel == b.perChannel));
}

// One element of an array as it is to be written: an element of the array as written (`from`),
// kept as it is (`text` null) or with new text, or a new element (`from` -1).
struct OutElement
{
    qsizetype from = -1;
    QString text;
};

qsizetype lineBreakIn(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r')
            return i;
    }
    return -1;
}

// The array `array` of `text` written with `out`: the text around each kept element (the
// line break and indentation before it, a comment after it on its line) stays with it, a new
// element is laid out as the last one is, and the text inside the braces before the first
// and after the last element stays. Null when the array is not written as {...}.
QString rewriteArray(const QString &text, const config::Value &array, const QList<OutElement> &out)
{
    const qsizetype open = array.span.start.offset, end = array.span.end.offset;
    if (end - open < 2 || text[open] != u'{' || text[end - 1] != u'}')
        return {};
    const QList<config::Value> &elements = array.elements;
    const qsizetype n = elements.size();
    QStringList lead(n), tail(n);
    QString final;
    auto between = [&](qsizetype from, qsizetype to) { return text.mid(from, to - from); };
    for (qsizetype i = 0; i < n; ++i) {
        if (elements[i].span.start.offset < open || elements[i].span.end.offset > end)
            return {};
    }
    if (n == 0) {
        final = between(open + 1, end - 1);
    } else {
        lead[0] = between(open + 1, elements[0].span.start.offset);
        for (qsizetype i = 1; i < n; ++i) {
            const QString separator =
                between(elements[i - 1].span.end.offset, elements[i].span.start.offset);
            const qsizetype comma = separator.indexOf(u',');
            const QString after = comma < 0 ? separator : separator.mid(comma + 1);
            const qsizetype lineBreak = lineBreakIn(after);
            tail[i - 1] = lineBreak < 0 ? QString() : after.left(lineBreak);
            lead[i] = lineBreak < 0 ? after : after.mid(lineBreak);
        }
        const QString closing = between(elements[n - 1].span.end.offset, end - 1);
        const qsizetype lineBreak = lineBreakIn(closing);
        tail[n - 1] = lineBreak < 0 ? QString() : closing.left(lineBreak);
        final = lineBreak < 0 ? closing : closing.mid(lineBreak);
    }
    // A new element follows the layout of the last one after a comma, or of the only one when
    // it stands on a line of its own.
    QString newLead = QStringLiteral(" ");
    if (n >= 2)
        newLead = lead[n - 1];
    else if (n == 1 && lineBreakIn(lead[0]) >= 0)
        newLead = lead[0];
    QString result = QStringLiteral("{");
    for (qsizetype p = 0; p < out.size(); ++p) {
        const OutElement &o = out[p];
        const bool original = o.from >= 0 && o.from < n;
        QString before;
        if (p == 0)
            before = n > 0 ? lead[0] : QString();
        else
            before = original && o.from > 0 ? lead[o.from] : newLead;
        const QString body =
            original && o.text.isNull()
                ? between(elements[o.from].span.start.offset, elements[o.from].span.end.offset)
                : o.text;
        result += before + body;
        if (p + 1 < out.size())
            result += u',';
        if (original)
            result += tail[o.from];
    }
    if (out.isEmpty() && n > 0) {
        // Nothing left: the braces keep what stood on their own lines.
        result += lineBreakIn(final) >= 0 ? final : QString();
    } else {
        result += final;
    }
    return result + u'}';
}

ChannelStyle channelStyleOf(const QString &text, const config::Value &array)
{
    ChannelStyle style;
    for (const config::Value &element : array.elements) {
        if (element.kind != ValueKind::Array || element.elements.size() != 3)
            continue;
        auto between = [&](qsizetype from, qsizetype to) { return text.mid(from, to - from); };
        const auto &inner = element.elements;
        style.open = between(element.span.start.offset + 1, inner[0].span.start.offset);
        style.separator = between(inner[0].span.end.offset, inner[1].span.start.offset);
        style.close = between(inner[2].span.end.offset, element.span.end.offset - 1);
        style.numbers = inner[1].kind == ValueKind::Number;
        style.upperCase = inner[1].text == inner[1].text.toUpper();
        if (style.separator.contains(u'\n') || style.separator.contains(u'\r') ||
            !style.separator.contains(u','))
            style.separator = QStringLiteral(", ");
        break;
    }
    return style;
}

// The array of `e` rewritten element by element for `change`; null when it cannot be.
QString changedArray(const QString &text, const Entry &e, const MissionSetting &now,
                     const MissionSetting &change)
{
    const config::Value &array = e.value;
    QList<OutElement> out;
    if (change.row->form == config::SettingForm::ChannelVoice) {
        const ChannelStyle style = channelStyleOf(text, array);
        QList<ChannelSwitch> wanted = change.channels;
        if (!change.perChannel) {
            wanted.removeIf([](const ChannelSwitch &c) { return !c.chat; });
        }
        for (qsizetype i = 0; i < now.channels.size(); ++i) {
            const ChannelSwitch &was = now.channels[i];
            const auto it = std::find_if(wanted.begin(), wanted.end(), [&](const ChannelSwitch &c) {
                return c.channel == was.channel;
            });
            if (it == wanted.end())
                continue;
            OutElement o{i, {}};
            if (now.perChannel && change.perChannel) {
                if (!(*it == was)) {
                    const config::Value &element = array.elements[i];
                    QList<OutElement> inner{{0, {}}, {1, {}}, {2, {}}};
                    if (it->chat != was.chat)
                        inner[1].text = switchText(it->chat, style);
                    if (it->voice != was.voice)
                        inner[2].text = switchText(it->voice, style);
                    o.text = rewriteArray(text, element, inner);
                    if (o.text.isNull())
                        return {};
                }
            } else if (change.perChannel) {
                o.text = channelText(*it, style);
            } else if (now.perChannel) {
                o.text = QString::number(it->channel);
            }
            out << o;
            wanted.erase(it);
        }
        for (const ChannelSwitch &c : wanted)
            out << OutElement{-1, change.perChannel ? channelText(c, style)
                                                    : QString::number(c.channel)};
    } else {
        const bool numeric =
            change.row->type == SettingType::FlagSet && numericChoices(*change.row);
        QStringList wanted = change.flags;
        for (qsizetype i = 0; i < array.elements.size(); ++i) {
            const QString &written = array.elements[i].text;
            const config::SettingChoice *c = change.row->type == SettingType::FlagSet
                                                 ? choiceFor(*change.row, written)
                                                 : nullptr;
            const qsizetype at = wanted.indexOf(c ? QString(QLatin1StringView(c->value)) : written);
            if (at < 0)
                continue;
            out << OutElement{i, {}};
            wanted.removeAt(at);
        }
        for (const QString &name : wanted)
            out << OutElement{-1, numeric ? name : stringLiteral(name)};
    }
    return rewriteArray(text, array, out);
}

// The key's name as written with "[]" added or taken away, and what stands up to the value.
QString headWithBrackets(QStringView head, bool brackets)
{
    qsizetype nameEnd = 0;
    while (nameEnd < head.size() && (head[nameEnd].isLetterOrNumber() || head[nameEnd] == u'_'))
        ++nameEnd;
    QString rest = head.mid(nameEnd).toString();
    static const QRegularExpression bracketPair(QStringLiteral("^\\s*\\[\\s*\\]"));
    rest.remove(bracketPair);
    return head.left(nameEnd).toString() + (brackets ? QStringLiteral("[]") : QString()) + rest;
}

// The edit that gives the entry `e` the value of `change`, written in the entry's own way.
TextEdit valueEdit(const QString &text, const Entry &e, const MissionSetting &now,
                   const MissionSetting &change)
{
    const qsizetype valueStart = e.value.span.start.offset, valueEnd = e.value.span.end.offset;
    const bool wasArray = e.kind == EntryKind::Array, isArray = writtenAsArray(change);
    if (wasArray != isArray) {
        // enableDebugConsole = 1; <-> enableDebugConsole[] = {...};
        const qsizetype start = e.span.start.offset;
        const QString head =
            headWithBrackets(QStringView(text).mid(start, valueStart - start), isArray);
        return {start, valueEnd, head + settingValueText(change)};
    }
    if (isArray) {
        const QString array = changedArray(text, e, now, change);
        if (!array.isNull())
            return {valueStart, valueEnd, array};
    }
    QString value = settingValueText(change);
    // A reference the file writes in quotes ("$STR_x") is replaced by one in quotes.
    if (change.row->type == SettingType::Text && e.value.kind == ValueKind::String &&
        isStringReference(e.value.text))
        value = stringLiteral(change.value);
    return {valueStart, valueEnd, value};
}

// The value of `text` from `at` on, for the grammar below; nullopt on anything else.
struct ExpressionParser
{
    QStringView text;
    qsizetype at = 0;
    int depth = 0;

    void skipSpace()
    {
        while (at < text.size() && text[at].isSpace())
            ++at;
    }
    // sum := product (('+' | '-') product)*
    std::optional<double> sum()
    {
        std::optional<double> left = product();
        for (skipSpace(); left && at < text.size() && (text[at] == u'+' || text[at] == u'-');
             skipSpace()) {
            const QChar op = text[at++];
            const std::optional<double> right = product();
            if (!right)
                return std::nullopt;
            left = op == u'+' ? *left + *right : *left - *right;
        }
        return left;
    }
    // product := factor (('*' | '/') factor)*
    std::optional<double> product()
    {
        std::optional<double> left = factor();
        for (skipSpace(); left && at < text.size() && (text[at] == u'*' || text[at] == u'/');
             skipSpace()) {
            const QChar op = text[at++];
            const std::optional<double> right = factor();
            if (!right || (op == u'/' && *right == 0))
                return std::nullopt;
            left = op == u'*' ? *left * *right : *left / *right;
        }
        return left;
    }
    // factor := '-' factor | '(' sum ')' | number
    std::optional<double> factor()
    {
        skipSpace();
        if (at >= text.size() || depth > 32)
            return std::nullopt;
        if (text[at] == u'-') {
            ++at;
            const std::optional<double> v = factor();
            return v ? std::optional<double>(-*v) : std::nullopt;
        }
        if (text[at] == u'(') {
            ++at;
            ++depth;
            const std::optional<double> v = sum();
            --depth;
            skipSpace();
            if (!v || at >= text.size() || text[at] != u')')
                return std::nullopt;
            ++at;
            return v;
        }
        const qsizetype start = at;
        while (at < text.size() && (text[at].isDigit() || text[at] == u'.'))
            ++at;
        bool ok = false;
        const double v = text.mid(start, at - start).toDouble(&ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }
};

} // namespace

bool isStringReference(QStringView text)
{
    static const QRegularExpression reference(QStringLiteral("^\\$STR_\\w+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    return reference.match(text).hasMatch();
}

std::optional<qint64> wholeExpressionValue(QStringView expression)
{
    ExpressionParser parser{expression};
    const std::optional<double> v = parser.sum();
    parser.skipSpace();
    if (!v || parser.at != expression.size() || !std::isfinite(*v) || std::abs(*v) > 9e15)
        return std::nullopt;
    const qint64 whole = qint64(std::llround(*v));
    if (double(whole) != *v)
        return std::nullopt;
    return whole;
}

QList<MissionSetting> readMissionSettings(const QString &otherText)
{
    return settingsOf(scan(otherText));
}

QString settingValueText(const MissionSetting &setting)
{
    switch (setting.row->type) {
    case SettingType::Text:
        return isStringReference(setting.value) ? setting.value : stringLiteral(setting.value);
    case SettingType::FilePath:
        return stringLiteral(setting.value);
    case SettingType::Number:
        return setting.expression.isEmpty() ? setting.value : setting.expression;
    case SettingType::Choice:
        return isPlayerList(setting) ? namesText(setting) : setting.value;
    case SettingType::FlagSet:
        return setting.row->form == config::SettingForm::ChannelVoice ? channelsText(setting)
                                                                      : namesText(setting);
    }
    return setting.value;
}

QString applyMissionSettings(const QString &otherText, const QList<MissionSetting> &changes)
{
    const Scan s = scan(otherText);
    const QList<MissionSetting> current = settingsOf(s);
    const auto rows = config::keySettings();
    const QString eol = otherText.contains(u'\n') && !otherText.contains(u"\r\n")
                            ? QStringLiteral("\n")
                            : QStringLiteral("\r\n");
    std::vector<TextEdit> edits;
    QStringList added;
    for (const MissionSetting &change : changes) {
        if (!change.row)
            continue;
        const std::size_t i = std::size_t(change.row - rows.data());
        const MissionSetting &now = current[qsizetype(i)];
        if (now.readOnly || sameValue(now, change))
            continue;
        const Entry *e = s.located[i].entry;
        if (!change.set)
            edits.push_back(removal(otherText, *e));
        else if (e)
            edits.push_back(valueEdit(otherText, *e, now, change));
        else
            added << settingLine(change);
    }
    if (!added.isEmpty()) {
        if (s.lastSetting) {
            const qsizetype at = nextLineStart(otherText, s.lastSetting->span.end.offset);
            const bool broken =
                at > 0 && (otherText[at - 1] == u'\n' || otherText[at - 1] == u'\r');
            edits.push_back({at, at, broken ? added.join(eol) + eol : eol + added.join(eol)});
        } else {
            edits.push_back({0, 0, added.join(eol) + (otherText.isEmpty() ? QString() : eol)});
        }
    }
    return applied(otherText, std::move(edits));
}
