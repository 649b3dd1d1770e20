// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "othersettings.h"

#include "configreader.h"

#include <QRegularExpression>

#include <algorithm>
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

// Fills `s` from the entry; false when the window cannot show the value exactly.
bool readValue(const config::ReadResult &read, const Entry &e, MissionSetting &s)
{
    const KeySetting &row = *s.row;
    const config::Value &v = e.value;
    if ((row.type == SettingType::FlagSet) != (e.kind == EntryKind::Array))
        return false;
    switch (row.type) {
    case SettingType::Text:
    case SettingType::FilePath:
        if (v.kind != ValueKind::String || !writtenAsIs(read, v))
            return false;
        s.value = v.text;
        return true;
    case SettingType::Number: {
        bool ok = false;
        const int n = v.text.toInt(&ok);
        if (v.kind != ValueKind::Number || !writtenAsIs(read, v) || !ok || n < row.minimum ||
            n > row.maximum)
            return false;
        s.value = QString::number(n);
        return true;
    }
    case SettingType::Choice: {
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
    case SettingType::FlagSet: {
        if (e.append || v.kind != ValueKind::Array)
            return false;
        const ValueKind wanted = numericChoices(row) ? ValueKind::Number : ValueKind::String;
        std::vector<bool> chosen(row.choices.size());
        for (const config::Value &element : v.elements) {
            if (element.kind != wanted || !writtenAsIs(read, element))
                return false;
            const config::SettingChoice *c = choiceFor(row, element.text);
            if (!c)
                return false;
            chosen[std::size_t(c - row.choices.data())] = true;
        }
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            if (chosen[i])
                s.flags << QLatin1StringView(row.choices[i].value);
        }
        return true;
    }
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
                setting.readOnly = true;
                setting.value.clear();
                setting.flags.clear();
                setting.written = s.read.raw(at.entry->value.span).toString();
            }
        }
        settings << setting;
    }
    return settings;
}

QString quoted(const QString &text)
{
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString settingLine(const MissionSetting &setting)
{
    const QString key = QLatin1StringView(setting.row->key);
    const QString name =
        setting.row->type == SettingType::FlagSet ? key + QStringLiteral("[]") : key;
    return name + QStringLiteral(" = ") + settingValueText(setting) + u';';
}

bool sameValue(const MissionSetting &a, const MissionSetting &b)
{
    return a.set == b.set && (!a.set || (a.value == b.value && a.flags == b.flags));
}

struct Edit
{
    qsizetype start;
    qsizetype end;
    QString replacement;
};

qsizetype lineStartOf(const QString &text, qsizetype offset)
{
    while (offset > 0 && text[offset - 1] != u'\n' && text[offset - 1] != u'\r')
        --offset;
    return offset;
}

// Just past the line break that ends the line holding `offset`, or the text's end.
qsizetype nextLineStart(const QString &text, qsizetype offset)
{
    while (offset < text.size() && text[offset] != u'\n' && text[offset] != u'\r')
        ++offset;
    if (QStringView(text).mid(offset, 2) == u"\r\n")
        return offset + 2;
    return offset < text.size() ? offset + 1 : offset;
}

Edit removal(const QString &text, const Entry &e)
{
    const qsizetype start = e.span.start.offset, end = e.span.end.offset;
    const qsizetype lineStart = lineStartOf(text, start);
    qsizetype lineEnd = end;
    while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r')
        ++lineEnd;
    const bool aloneBefore =
        QStringView(text).mid(lineStart, start - lineStart).trimmed().isEmpty();
    const QStringView after = QStringView(text).mid(end, lineEnd - end).trimmed();
    // A comment after the setting on its line speaks of it, and goes with it.
    if (aloneBefore && (after.isEmpty() || after.startsWith(u"//"))) {
        const qsizetype next = nextLineStart(text, end);
        if (next == lineEnd && lineStart > 0) {
            // The last line, without a break of its own: the break before it goes instead.
            const qsizetype breakStart =
                lineStart >= 2 && QStringView(text).mid(lineStart - 2, 2) == u"\r\n"
                    ? lineStart - 2
                    : lineStart - 1;
            return {breakStart, lineEnd, {}};
        }
        return {lineStart, next, {}};
    }
    qsizetype stop = end;
    while (stop < lineEnd && (text[stop] == u' ' || text[stop] == u'\t'))
        ++stop;
    return {start, stop, {}};
}

} // namespace

QList<MissionSetting> readMissionSettings(const QString &otherText)
{
    return settingsOf(scan(otherText));
}

QString settingValueText(const MissionSetting &setting)
{
    switch (setting.row->type) {
    case SettingType::Text:
    case SettingType::FilePath:
        return quoted(setting.value);
    case SettingType::Number:
    case SettingType::Choice:
        return setting.value;
    case SettingType::FlagSet: {
        const bool numeric = numericChoices(*setting.row);
        QStringList elements;
        for (const QString &flag : setting.flags)
            elements << (numeric ? flag : quoted(flag));
        return u'{' + elements.join(QStringLiteral(", ")) + u'}';
    }
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
    std::vector<Edit> edits;
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
            edits.push_back(
                {e->value.span.start.offset, e->value.span.end.offset, settingValueText(change)});
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
    // From the end, so that each edit's offsets still hold.
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit &a, const Edit &b) { return a.start > b.start; });
    QString text = otherText;
    for (const Edit &edit : edits)
        text.replace(edit.start, edit.end - edit.start, edit.replacement);
    return text;
}
