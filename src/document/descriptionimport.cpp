// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "descriptionimport.h"

#include "encoding.h"
#include "generator.h"
#include "linediff.h"
#include "missionclasses.h"
#include "missionfiles.h"
#include "othersettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

using config::Entry;
using config::EntryKind;
using config::Value;
using config::ValueKind;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v';
}

QString unescaped(QStringView quoted)
{
    QString s = quoted.mid(1, quoted.size() - 2).toString();
    s.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return s;
}

// What a setting the file lacks shows: the game's default for the switches that have one,
// otherwise the switch off, so that nothing is written for it.
int gameDefault(const SettingRow &row)
{
    switch (row.sw) {
    case Switch::introTimeEnabled:
    case Switch::missionTimeEnabled:
    case Switch::gpsCheck:
    case Switch::compassCheck:
    case Switch::watchCheck:
    case Switch::mapCheck:
    case Switch::notepadCheck:
    case Switch::briefingCheck:
    case Switch::debriefingCheck:
    case Switch::dialogCheck:
        return 1;
    default:
        return 0;
    }
}

class Mapper
{
public:
    Mapper(const config::ReadResult &read, DocumentOrigin &origin, ImportReport &report)
        : m_read(read), m_src(origin.text), m_origin(origin), m_report(report),
          m_values(FormSnapshot::startState())
    {
        for (const config::Diagnostic &d : read.diagnostics) {
            if (d.severity == config::Severity::Error && d.file.isEmpty())
                m_errorOffsets.push_back(d.position.offset);
        }
        std::sort(m_errorOffsets.begin(), m_errorOffsets.end());
    }

    FormSnapshot run()
    {
        const QList<Entry> &entries = m_read.entries;
        markConditionals(entries);
        for (const Entry &e : entries) {
            if (e.kind == EntryKind::Invalid)
                ++m_report.unreadBlocks;
            if (e.kind != EntryKind::Comment && e.kind != EntryKind::Skipped)
                ++m_report.topLevelEntries;
        }
        // The header comment a generated file opens with is the form's own: not shown in Other.
        if (!entries.isEmpty() && entries[0].kind == EntryKind::Comment &&
            entries[0].text == QStringView(HeaderComment)) {
            qsizetype start = 0, end = 0;
            if (wholeLines(entries, 0, start, end))
                m_pieces.push_back({start, end});
        }
        // A setting the file sets more than once: the game reads the lines in order, so the last
        // one is what it uses, and that is the one the form shows.
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const Entry &e = entries[i];
            if (e.kind != EntryKind::Value && e.kind != EntryKind::Array)
                continue;
            if (const SettingRow *row = findSetting(e.name, Scope::TopLevel)) {
                const auto index = std::size_t(row - settingRows().data());
                if (m_lastDefinition[index] >= 0 && !m_reportedTwice[index]) {
                    m_reportedTwice[index] = true;
                    m_report.setMoreThanOnce.push_back(row);
                }
                m_lastDefinition[index] = i;
            }
        }
        for (qsizetype i = 0; i < entries.size(); ++i)
            take(entries, i);
        setDefaults();
        buildGaps();
        m_origin.topInsertAt = topInsertPlace(entries);
        // A file with nothing for Other leaves the box empty: the new document's placeholder
        // comment would be written into the file once Other is switched on.
        m_values.codes[int(CodeBox::mainOtherCode)] =
            m_otherShown ? m_origin.otherText() : QString();
        m_values.switches[int(Switch::mainOtherActive)] = m_otherShown ? 1 : 0;
        // What stays in Other may still have a typed control, in the Mission settings window.
        if (m_otherShown) {
            for (const MissionSetting &s :
                 readMissionSettings(m_values.codes[int(CodeBox::mainOtherCode)])) {
                if (s.set && !s.readOnly)
                    ++m_report.entriesInSettings;
            }
            // And the endings and notifications, in their own window. Most files have neither,
            // and are spared reading Other again.
            const QString &other = m_values.codes[int(CodeBox::mainOtherCode)];
            for (int kind = 0; kind < EndingKindCount; ++kind) {
                const QLatin1StringView name(classTable(ClassKind(kind)).className);
                if (!other.contains(name, Qt::CaseInsensitive))
                    continue;
                const MissionClass c = readMissionClass(other, ClassKind(kind));
                if (c.present && !c.readOnly)
                    ++m_report.entriesInClasses;
            }
            if (other.contains(QLatin1StringView("CfgFunctions"), Qt::CaseInsensitive)) {
                const MissionFunctions f = readMissionFunctions(other);
                if (f.present && !f.readOnly)
                    ++m_report.entriesInFunctions;
            }
            // And class CfgRemoteExec, once for its two sections, in the Remote execution
            // window.
            for (int kind = EndingKindCount;
                 kind < ClassKindCount && m_report.entriesInRemoteExec == 0 &&
                 other.contains(u"CfgRemoteExec", Qt::CaseInsensitive);
                 ++kind) {
                const MissionClass c = readMissionClass(other, ClassKind(kind));
                if (c.present && !c.readOnly)
                    m_report.entriesInRemoteExec = 1;
            }
        }
        std::stable_sort(m_report.keptAsWritten.begin(), m_report.keptAsWritten.end(),
                         [](const OpenNote &a, const OpenNote &b) { return a.line < b.line; });
        m_origin.baseline = m_values;
        return m_values;
    }

private:
    struct Piece
    {
        qsizetype start;
        qsizetype end;
    };

    void markConditionals(const QList<Entry> &entries)
    {
        // Entries inside #if/#ifdef/#ifndef blocks stay as written: their meaning depends on
        // the condition around them.
        m_conditional.assign(std::size_t(entries.size()), false);
        int depth = 0;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const Entry &e = entries[i];
            m_conditional[std::size_t(i)] = depth > 0;
            if (e.kind != EntryKind::Directive)
                continue;
            if (e.name == u"if" || e.name == u"ifdef" || e.name == u"ifndef")
                ++depth;
            else if (e.name == u"endif" && depth > 0)
                --depth;
        }
    }

    // The lines entry i stands on, when nothing but blanks and one comment after it share them:
    // from the start of its first line to just past the break that ends its last.
    bool wholeLines(const QList<Entry> &entries, qsizetype i, qsizetype &start, qsizetype &end)
    {
        const Entry &e = entries[i];
        qsizetype p = e.span.start.offset;
        while (p > 0 && isBlank(m_src[p - 1]))
            --p;
        if (p > 0 && !isLineBreak(m_src[p - 1]))
            return false;
        start = p;
        qsizetype q = e.span.end.offset;
        while (q < m_src.size() && isBlank(m_src[q]))
            ++q;
        // A comment after it on its line belongs to it.
        if (i + 1 < entries.size() && entries[i + 1].kind == EntryKind::Comment &&
            entries[i + 1].span.start.offset == q) {
            const qsizetype commentEnd = entries[i + 1].span.end.offset;
            bool oneLine = true;
            for (qsizetype k = q; k < commentEnd; ++k)
                oneLine = oneLine && !isLineBreak(m_src[k]);
            if (oneLine) {
                q = commentEnd;
                while (q < m_src.size() && isBlank(m_src[q]))
                    ++q;
            }
        }
        if (q < m_src.size() && !isLineBreak(m_src[q]))
            return false;
        if (q < m_src.size())
            q = breakEnd(q);
        end = q;
        return true;
    }

    // Just past the line break at `k` (CR LF counts as one).
    qsizetype breakEnd(qsizetype k) const
    {
        return k + (m_src[k] == u'\r' && k + 1 < m_src.size() && m_src[k + 1] == u'\n' ? 2 : 1);
    }

    QStringView raw(const config::SourceSpan &span) const { return m_read.raw(span); }

    bool hasErrorIn(const config::SourceSpan &span) const
    {
        const auto it =
            std::lower_bound(m_errorOffsets.begin(), m_errorOffsets.end(), span.start.offset);
        return it != m_errorOffsets.end() && *it < std::max(span.end.offset, span.start.offset + 1);
    }

    // Whether a value stands in the file as the reader understood it, i.e. no macro made it.
    bool valueFromSource(const Value &v) const
    {
        const QStringView r = raw(v.span);
        switch (v.kind) {
        case ValueKind::String:
            return r.size() >= 2 && r.startsWith(u'"') && r.endsWith(u'"') &&
                   unescaped(r) == v.text;
        case ValueKind::Number:
        case ValueKind::Word:
            return r == v.text;
        case ValueKind::Expression:
            return r.startsWith(u"__EVAL") && r.endsWith(QString(v.text + u')'));
        case ValueKind::Array:
            return r.startsWith(u'{') &&
                   std::all_of(v.elements.cbegin(), v.elements.cend(),
                               [this](const Value &e) { return valueFromSource(e); });
        }
        return false;
    }

    bool entryFromSource(const Entry &e) const
    {
        const QStringView r = raw(e.span);
        switch (e.kind) {
        case EntryKind::Value:
        case EntryKind::Array:
            return r.startsWith(e.name) && valueFromSource(e.value);
        case EntryKind::Class:
            return r.startsWith(u"class") &&
                   std::all_of(e.children.cbegin(), e.children.cend(),
                               [this](const Entry &c) { return entryFromSource(c); });
        case EntryKind::ClassDeclaration:
        case EntryKind::Delete:
            return r.contains(e.name);
        case EntryKind::Exec:
            return r.startsWith(u"__EXEC");
        default:
            return true;
        }
    }

    // Why a setting's value cannot be shown by its control, or an empty text when it can (the
    // control's value is then put into the snapshot).
    QString placeValue(const Entry &e, const SettingRow &row)
    {
        if (e.kind != EntryKind::Value)
            return QStringLiteral("an array, which the form has no field for");
        if (hasErrorIn(e.span))
            return QStringLiteral("it could not be read without errors");
        if (!entryFromSource(e))
            return QStringLiteral("its value comes from a macro");
        const Value &v = e.value;
        const QStringView r = raw(v.span);
        for (const QChar c : r) {
            if (isLineBreak(c))
                return QStringLiteral("its value runs over several lines");
        }
        switch (row.style) {
        case ValueStyle::QuotedText:
            if (v.kind != ValueKind::String)
                return QStringLiteral("the form writes this text in quotes");
            m_values.switches[int(row.sw)] = 1;
            m_values.fields[int(*row.field)] = r.mid(1, r.size() - 2).toString();
            return {};
        case ValueStyle::TrueFalse:
        case ValueStyle::OneZero: {
            int on = -1;
            if (v.kind == ValueKind::Number && (v.text == u"1" || v.text == u"0"))
                on = v.text == u"1";
            else if (v.kind == ValueKind::Word &&
                     (v.text.compare(u"true", Qt::CaseInsensitive) == 0 ||
                      v.text.compare(u"false", Qt::CaseInsensitive) == 0))
                on = v.text.compare(u"true", Qt::CaseInsensitive) == 0;
            if (on < 0)
                return QStringLiteral("a value other than on or off");
            m_values.switches[int(row.sw)] = on;
            return {};
        }
        case ValueStyle::Text:
            if (v.kind == ValueKind::Array)
                return QStringLiteral("an array, which the form has no field for");
            if (row.scope == Scope::TopLevel)
                m_values.switches[int(row.sw)] = 1;
            m_values.fields[int(*row.field)] = r.toString();
            return {};
        case ValueStyle::RespawnMode: {
            int mode = -1;
            for (int m = 0; m < RespawnModeCount; ++m) {
                if (v.kind == ValueKind::Number && v.text == QString::number(m))
                    mode = m;
                if ((v.kind == ValueKind::Word || v.kind == ValueKind::String) &&
                    v.text.compare(respawnModeName(RespawnMode(m)), Qt::CaseInsensitive) == 0)
                    mode = m;
            }
            if (mode < 0)
                return QStringLiteral("not one of the respawn modes 0 to 5");
            m_values.switches[int(row.sw)] = 1;
            m_values.respawnMode = RespawnMode(mode);
            return {};
        }
        }
        return QStringLiteral("not a value the form holds");
    }

    void keep(const Entry &e, const QString &why)
    {
        m_report.keptAsWritten.append({e.span.start.line, e.name + QStringLiteral(": ") + why});
    }

    // Why a top-level entry that names a form item stays as written, before its value is
    // looked at.
    QString placeProblem(const QList<Entry> &entries, qsizetype i, bool &first, qsizetype &start,
                         qsizetype &end)
    {
        if (!first)
            return QStringLiteral("set again after an earlier line; kept as written");
        first = false;
        if (m_conditional[std::size_t(i)])
            return QStringLiteral("it stands inside an #if block");
        if (!wholeLines(entries, i, start, end))
            return QStringLiteral("other text shares its line");
        return {};
    }

    // A form setting set inside an #if block, with the line that sets it.
    void noteConditional(const Entry &e, const SettingRow *row)
    {
        auto &list = m_report.setUnderCondition;
        auto it =
            std::find_if(list.begin(), list.end(), [row](const auto &c) { return c.row == row; });
        if (it == list.end())
            it = list.insert(list.end(), {row, {}});
        constexpr qsizetype MaxLines = 8;
        if (it->lines.size() < MaxLines) {
            const QString text =
                QStringView(m_src)
                    .mid(e.span.start.offset, e.span.end.offset - e.span.start.offset)
                    .left(200)
                    .trimmed()
                    .toString();
            it->lines << QStringLiteral("line %1: %2").arg(e.span.start.line).arg(text);
        }
    }

    void take(const QList<Entry> &entries, qsizetype i)
    {
        const Entry &e = entries[i];
        if (e.kind == EntryKind::Value || e.kind == EntryKind::Array) {
            const SettingRow *row = findSetting(e.name, Scope::TopLevel);
            if (!row)
                return;
            const auto index = std::size_t(row - settingRows().data());
            qsizetype start = 0, end = 0;
            const qsizetype last = m_lastDefinition[index];
            bool first = true;
            QString why = i != last
                              ? QStringLiteral("set again on line %1, which is the one the game "
                                               "uses; kept as written")
                                    .arg(entries[last].span.start.line)
                              : placeProblem(entries, i, first, start, end);
            if (m_conditional[std::size_t(i)])
                noteConditional(e, row);
            const FormSnapshot before = m_values;
            if (why.isEmpty())
                why = placeValue(e, *row);
            if (!why.isEmpty()) {
                m_values = before;
                keep(e, why);
                return;
            }
            m_origin.settings.push_back(
                {row, start, end, e.value.span.start.offset, e.value.span.end.offset});
            m_pieces.push_back({start, end});
            m_heldSetting[index] = true;
            ++m_report.settingsIntoForm;
            ++m_report.entriesInForm;
            // The respawn settings show on the MP page only while its switch is on.
            if (row->fragment >= Fragment::respawn)
                m_respawnSeen = true;
        } else if (e.kind == EntryKind::Class || e.kind == EntryKind::ClassDeclaration) {
            if (e.name.compare(u"Header", Qt::CaseInsensitive) == 0)
                takeHeader(entries, i);
            else if (const SectionRow *row = findSection(e.name))
                takeSection(entries, i, *row);
        }
    }

    void takeHeader(const QList<Entry> &entries, qsizetype i)
    {
        const Entry &e = entries[i];
        qsizetype start = 0, end = 0;
        bool first = !m_headerSeen;
        m_headerSeen = true;
        QString why = placeProblem(entries, i, first, start, end);
        if (why.isEmpty() && (e.kind != EntryKind::Class || !e.base.isEmpty()))
            why = QStringLiteral("not a plain class");
        if (why.isEmpty() && hasErrorIn(e.span))
            why = QStringLiteral("it could not be read without errors");
        const FormSnapshot before = m_values;
        std::vector<HeldSetting> held;
        std::array<bool, 3> seen{};
        for (const Entry &c : e.children) {
            if (!why.isEmpty())
                break;
            if (c.kind != EntryKind::Value && c.kind != EntryKind::Array)
                continue;
            const SettingRow *row = findSetting(c.name, Scope::Header);
            if (!row)
                continue;
            const auto k = std::size_t(*row->field) - std::size_t(Field::typeValue);
            if (seen[k]) {
                why = c.name + QStringLiteral(" is set twice");
                break;
            }
            seen[k] = true;
            const QString problem = placeValue(c, *row);
            if (!problem.isEmpty()) {
                why = c.name + QStringLiteral(": ") + problem;
                break;
            }
            held.push_back({row, c.span.start.offset, c.span.end.offset, c.value.span.start.offset,
                            c.value.span.end.offset});
        }
        if (!why.isEmpty()) {
            m_values = before;
            keep(e, why);
            return;
        }
        HeldHeader header;
        header.pieceStart = start;
        header.pieceEnd = end;
        // New values go on a line of their own before "};" when it stands alone on its line.
        qsizetype close = e.bodySpan.end.offset;
        qsizetype lineStart = close;
        while (lineStart > e.bodySpan.start.offset && isBlank(m_src[lineStart - 1]))
            --lineStart;
        header.closingOwnLine = lineStart > 0 && isLineBreak(m_src[lineStart - 1]);
        header.insertAt = header.closingOwnLine ? lineStart : close;
        header.indent = QStringLiteral("    ");
        if (!held.empty()) {
            qsizetype p = held.front().pieceStart;
            qsizetype q = p;
            while (q > 0 && isBlank(m_src[q - 1]))
                --q;
            if (q > 0 && isLineBreak(m_src[q - 1]))
                header.indent = m_src.mid(q, p - q);
        }
        m_origin.header = header;
        for (const HeldSetting &h : held)
            m_origin.settings.push_back(h);
        m_pieces.push_back({start, end});
        m_values.switches[int(Switch::respawnActive)] = 1;
        m_report.settingsIntoForm += int(held.size());
        ++m_report.entriesInForm;
    }

    void takeSection(const QList<Entry> &entries, qsizetype i, const SectionRow &row)
    {
        const Entry &e = entries[i];
        const auto index = std::size_t(&row - sectionRows().data());
        qsizetype start = 0, end = 0;
        bool first = !m_sectionSeen[index];
        m_sectionSeen[index] = true;
        QString why = placeProblem(entries, i, first, start, end);
        if (why.isEmpty() && e.kind == EntryKind::ClassDeclaration)
            why = QStringLiteral("a declaration without a body");
        if (why.isEmpty() && !e.base.isEmpty())
            why = QStringLiteral("it inherits from ") + e.base;
        if (why.isEmpty() && hasErrorIn(e.span))
            why = QStringLiteral("it could not be read without errors");
        if (why.isEmpty() && !entryFromSource(e))
            why = QStringLiteral("it uses macros defined in the file");
        if (why.isEmpty() && (e.bodySpan.start.offset < e.span.start.offset ||
                              e.bodySpan.end.offset > e.span.end.offset ||
                              e.bodySpan.end.offset < e.bodySpan.start.offset))
            why = QStringLiteral("its body could not be found");
        if (!why.isEmpty()) {
            keep(e, why);
            return;
        }
        HeldSection held{&row, start, end, e.bodySpan.start.offset, e.bodySpan.end.offset};
        // The rest of the "{" line, when nothing but blanks stands on it.
        qsizetype a = held.boxStart;
        while (a < held.boxEnd && isBlank(m_src[a]))
            ++a;
        if (a < held.boxEnd && isLineBreak(m_src[a])) {
            held.boxStart = breakEnd(a);
        }
        // The indentation of the "}" line belongs to the frame.
        qsizetype b = held.boxEnd;
        while (b > held.boxStart && isBlank(m_src[b - 1]))
            --b;
        if (b == held.boxStart || isLineBreak(m_src[b - 1]))
            held.boxEnd = b;
        skipPreamble(e, row, held);
        m_origin.sections.push_back(held);
        m_pieces.push_back({start, end});
        m_values.switches[int(row.sw)] = 1;
        m_values.codes[int(row.box)] = m_origin.boxText(held);
        ++m_report.sectionsIntoBoxes;
        ++m_report.entriesInForm;
    }

    // The empty array the form writes at the top of the class, when it stands first on a line
    // of its own: the box shows what follows it (and the empty line after it).
    void skipPreamble(const Entry &e, const SectionRow &row, HeldSection &held)
    {
        if (!row.preamble || e.children.isEmpty())
            return;
        const Entry &c = e.children.front();
        if (c.kind != EntryKind::Array || c.append || !c.value.elements.isEmpty() ||
            c.name.compare(QStringView(row.preamble), Qt::CaseInsensitive) != 0)
            return;
        qsizetype p = c.span.start.offset;
        while (p > held.boxStart && isBlank(m_src[p - 1]))
            --p;
        if (p != held.boxStart)
            return;
        qsizetype q = c.span.end.offset;
        while (q < held.boxEnd && isBlank(m_src[q]))
            ++q;
        if (q >= held.boxEnd || !isLineBreak(m_src[q]))
            return;
        q = breakEnd(q);
        qsizetype blank = q;
        while (blank < held.boxEnd && isBlank(m_src[blank]))
            ++blank;
        if (blank < held.boxEnd && isLineBreak(m_src[blank]))
            q = breakEnd(blank);
        held.boxStart = std::min(q, held.boxEnd);
    }

    // The switches of settings the file lacks.
    void setDefaults()
    {
        bool anyScore = false;
        for (std::size_t k = 0; k < settingRows().size(); ++k) {
            const SettingRow &row = settingRows()[k];
            if (row.fragment == Fragment::score && m_heldSetting[k])
                anyScore = true;
        }
        m_values.switches[int(Switch::scoreEnabled)] = anyScore ? 1 : 0;
        for (std::size_t k = 0; k < settingRows().size(); ++k) {
            const SettingRow &row = settingRows()[k];
            if (m_heldSetting[k] || row.scope != Scope::TopLevel || row.fragment == Fragment::score)
                continue;
            m_values.switches[int(row.sw)] = gameDefault(row);
            if (row.style == ValueStyle::QuotedText)
                m_values.fields[int(*row.field)].clear();
        }
        // The MP page shows the respawn settings only with its switch on, which also stands
        // for class Header: a file with either has it on, and what it lacks is not written
        // until changed.
        const bool mp = m_origin.header || m_respawnSeen;
        m_values.switches[int(Switch::respawnActive)] = mp ? 1 : 0;
        for (Switch d : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck,
                         Switch::dialogCheck}) {
            m_values.enabled[int(d)] = mp;
            if (!mp && d != Switch::dialogCheck)
                m_values.switches[int(d)] = 0;
        }
    }

    void buildGaps()
    {
        std::sort(m_pieces.begin(), m_pieces.end(),
                  [](const Piece &a, const Piece &b) { return a.start < b.start; });
        qsizetype at = 0;
        const auto gap = [this](qsizetype from, qsizetype to) {
            if (to <= from)
                return;
            const QStringView t = QStringView(m_src).mid(from, to - from);
            const bool shown =
                std::any_of(t.begin(), t.end(), [](QChar c) { return !c.isSpace(); });
            m_origin.gaps.push_back({from, to, shown});
            m_otherShown = m_otherShown || shown;
        };
        for (const Piece &p : m_pieces) {
            gap(at, p.start);
            at = std::max(at, p.end);
        }
        gap(at, m_src.size());
    }

    // Below the comment lines that open the file, if any.
    qsizetype topInsertPlace(const QList<Entry> &entries) const
    {
        qsizetype at = 0;
        for (const Entry &e : entries) {
            if (e.kind != EntryKind::Comment)
                break;
            qsizetype q = e.span.end.offset;
            while (q < m_src.size() && isBlank(m_src[q]))
                ++q;
            if (q < m_src.size() && !isLineBreak(m_src[q]))
                break;
            if (q < m_src.size())
                q = breakEnd(q);
            at = q;
        }
        return at;
    }

    const config::ReadResult &m_read;
    const QString &m_src;
    DocumentOrigin &m_origin;
    ImportReport &m_report;
    FormSnapshot m_values;
    std::vector<qsizetype> m_errorOffsets;
    std::vector<bool> m_conditional;
    std::vector<Piece> m_pieces;
    std::vector<bool> m_reportedTwice = std::vector<bool>(settingRows().size(), false);
    // The entry that sets each setting last, or -1.
    std::vector<qsizetype> m_lastDefinition = std::vector<qsizetype>(settingRows().size(), -1);
    std::vector<bool> m_heldSetting = std::vector<bool>(settingRows().size(), false);
    std::vector<bool> m_sectionSeen = std::vector<bool>(sectionRows().size(), false);
    bool m_headerSeen = false;
    bool m_respawnSeen = false;
    bool m_otherShown = false;
};

} // namespace

ImportResult importDescription(const DescriptionText &file, const QString &fileName,
                               const QString &path)
{
    ImportResult result;
    result.origin = std::make_shared<DocumentOrigin>();
    DocumentOrigin &origin = *result.origin;
    origin.fileName = fileName;
    // The file's own bytes are kept only where its text, encoded again, would not give them
    // back (bytes that were no UTF-8, say): a large file is then not held a second time.
    if (!file.bytes.isNull() && config::encodeText(file.text, file.encoding).bytes != file.bytes)
        origin.bytes = file.bytes;
    origin.text = file.text;
    origin.encoding = file.encoding;
    origin.lineEnd = dominantLineEnd(origin.text);
    result.report.fileName = fileName;
    result.report.encoding = file.encoding;
    result.report.invalidBytes = file.invalidBytes;
    config::ReadOptions options;
    options.fileName = fileName;
    // The form looks inside the header and its own sections only; every other class goes to
    // Other as written.
    options.keepBodyOf = [](QStringView name) {
        return name.compare(u"Header", Qt::CaseInsensitive) == 0 || findSection(name);
    };
    const config::ReadResult read = config::readConfig(origin.text, options);
    result.report.problems = read.diagnostics;
    Mapper mapper(read, origin, result.report);
    result.snapshot = mapper.run();
    if (!path.isEmpty() && origin.text.contains(u"#include")) {
        // The form is filled from the file alone; its includes are read once more, without a
        // tree, for the problems inside them.
        options.keepEntries = false;
        options.keepBodyOf = nullptr;
        options.fileName = path; // where the includes are looked up from
        options.includeLoader = config::missionIncludeLoader(path);
        result.report.problems = config::readConfig(origin.text, options).diagnostics;
        const QDir folder = QFileInfo(path).dir();
        for (config::Diagnostic &d : result.report.problems) {
            if (!d.file.isEmpty())
                d.file = folder.relativeFilePath(d.file);
        }
    }
    return result;
}

ImportResult importDescription(const QString &text, const QString &fileName)
{
    return importDescription(
        DescriptionText{config::encodeText(text, config::TextEncoding::Utf8).bytes, text},
        fileName);
}

namespace {

OpenedDescription openText(config::Result<DescriptionText> &&text, const QString &path,
                           const QString &name)
{
    if (!text)
        return OpenedDescription::failure(text.why());
    ImportResult imported = importDescription(*text, name, path);
    imported.origin->path = path;
    return imported;
}

} // namespace

OpenedDescription openDescription(const QString &path)
{
    const QFileInfo info(path);
    return openText(readDescriptionFile(path), info.absoluteFilePath(), info.fileName());
}

OpenedDescription openDescriptionBytes(const QByteArray &bytes, const QString &displayName)
{
    return openText(decodeDescriptionFile(bytes, displayName), QString(), displayName);
}

OpenedDescription openSavedDescription(const QByteArray &bytes, config::TextEncoding encoding,
                                       const QString &path)
{
    const QFileInfo info(path);
    // Its includes were read when it was opened; the saved text is mapped alone.
    OpenedDescription opened =
        openText(savedDescriptionFile(bytes, encoding), QString(), info.fileName());
    opened->origin->path = info.absoluteFilePath();
    return opened;
}

OpenResult applyOpened(EditorDocument &document, OpenedDescription &&opened)
{
    if (!opened)
        return OpenResult::failure(opened.why());
    applySnapshot(document, opened->snapshot);
    document.setOrigin(std::move(opened->origin));
    return std::move(opened->report);
}

OpenResult openDescriptionFile(EditorDocument &document, const QString &path)
{
    return applyOpened(document, openDescription(path));
}

OpenResult openDescriptionBytes(EditorDocument &document, const QByteArray &bytes,
                                const QString &displayName)
{
    return applyOpened(document, openDescriptionBytes(bytes, displayName));
}
