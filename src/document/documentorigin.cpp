// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "documentorigin.h"

#include "encoding.h"
#include "linediff.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {

bool endsWithBreak(QStringView s)
{
    return !s.isEmpty() && isLineBreak(s.back());
}

// One change to the file's text: [start, end) becomes `text`.
struct Edit
{
    qsizetype start;
    qsizetype end;
    // Insertions at one place go in the order the generator writes their items.
    int order;
    QString text;
};

// Where an item stands in the generator's order: its fragment, then its row.
int orderOf(Fragment f, int row)
{
    return int(f) * 64 + row;
}
constexpr int OtherOrder = FragmentCount * 64;

QString withLineEnd(QString generated, const QString &lineEnd)
{
    if (lineEnd != CrLf)
        generated.replace(QStringLiteral("\r\n"), lineEnd);
    return generated;
}

bool allLower(QStringView s)
{
    return std::none_of(s.begin(), s.end(), [](QChar c) { return c.isUpper(); });
}
bool allUpper(QStringView s)
{
    return std::none_of(s.begin(), s.end(), [](QChar c) { return c.isLower(); });
}

// `value` (as the generator writes it) in the style the file wrote the old value in: TRUE as
// true or 1, a respawn mode by its name in or out of quotes.
QString styled(const SettingRow &row, const QString &value, QStringView old)
{
    switch (row.style) {
    case ValueStyle::TrueFalse:
    case ValueStyle::OneZero: {
        const bool on = value == u"TRUE" || value == u"1";
        if (!old.isEmpty() && old.front().isDigit())
            return on ? QStringLiteral("1") : QStringLiteral("0");
        if (!old.isEmpty() && old.front().isLetter()) {
            QString word = on ? QStringLiteral("true") : QStringLiteral("false");
            if (allUpper(old))
                return word.toUpper();
            if (allLower(old))
                return word;
            word[0] = word[0].toUpper();
            return word;
        }
        return value;
    }
    case ValueStyle::RespawnMode: {
        const bool quoted = old.startsWith(u'"');
        const QStringView bare = quoted ? old.mid(1) : old;
        if (bare.isEmpty() || bare.front().isDigit())
            return value;
        QString name = respawnModeName(RespawnMode(value.toInt())).toString();
        if (allLower(bare.left(bare.size() - (quoted ? 1 : 0))))
            name = name.toLower();
        return quoted ? u'"' + name + u'"' : name;
    }
    case ValueStyle::QuotedText:
    case ValueStyle::Text:
        return value;
    }
    return value;
}

// How the file writes an assignment, learnt from the settings it holds, else from its first
// assignment line: the space around "=", how it writes on and off, and how the lines are
// indented. A line the editor adds looks like its neighbours.
struct FileStyle
{
    QString beforeEquals;
    QString afterEquals;
    // A boolean value as the file writes one ("1", "true", "TRUE"), or empty: the generator's.
    QString boolean;

    QString line(const SettingRow &row, const QString &value) const
    {
        return QString::fromUtf16(row.key) + beforeEquals + u'=' + afterEquals +
               (boolean.isEmpty() ? value : styled(row, value, boolean)) + u';';
    }
};

bool isBlank(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c == u' ' || c == u'\t'; });
}

FileStyle styleOf(const DocumentOrigin &origin)
{
    FileStyle style;
    const QString &text = origin.text;
    bool spacing = false;
    for (const HeldSetting &held : origin.settings) {
        const qsizetype eq = text.lastIndexOf(u'=', held.valueStart - 1);
        if (!spacing && eq >= held.pieceStart) {
            qsizetype keyEnd = eq;
            while (keyEnd > held.pieceStart &&
                   (text[keyEnd - 1] == u' ' || text[keyEnd - 1] == u'\t'))
                --keyEnd;
            const QStringView after = QStringView(text).mid(eq + 1, held.valueStart - eq - 1);
            if (isBlank(after)) {
                style.beforeEquals = text.mid(keyEnd, eq - keyEnd);
                style.afterEquals = after.toString();
                spacing = true;
            }
        }
        if (style.boolean.isEmpty() &&
            (held.row->style == ValueStyle::OneZero || held.row->style == ValueStyle::TrueFalse))
            style.boolean = text.mid(held.valueStart, held.valueEnd - held.valueStart);
    }
    if (spacing && !style.boolean.isEmpty())
        return style;
    // The first assignment of the file's opening part tells the rest.
    static const QRegularExpression assignment(
        QStringLiteral("^[ \\t]*[A-Za-z_][A-Za-z0-9_]*([ \\t]*)=([ \\t]*)([^;\\r\\n]*);"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression boolean(
        QStringLiteral("^[ \\t]*[A-Za-z_][A-Za-z0-9_]*[ \\t]*=[ \\t]*(true|false|0|1)[ \\t]*;"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    const QStringView head = QStringView(text).left(64 * 1024);
    if (!spacing) {
        if (const QRegularExpressionMatch m = assignment.match(head); m.hasMatch()) {
            style.beforeEquals = m.captured(1);
            style.afterEquals = m.captured(2);
        }
    }
    if (style.boolean.isEmpty()) {
        if (const QRegularExpressionMatch m = boolean.match(head); m.hasMatch())
            style.boolean = m.captured(1);
    }
    return style;
}

// The start of the line that holds `at`.
qsizetype lineStart(const QString &text, qsizetype at)
{
    while (at > 0 && !isLineBreak(text[at - 1]))
        --at;
    return at;
}

// Where a line put before the line starting at `at` goes: above the comment lines right above
// it, which label it, so that the comment and what it labels stay together.
qsizetype aboveItsComment(const QString &text, qsizetype at)
{
    while (at > 0) {
        qsizetype end = at - 1;
        if (text[end] == u'\n' && end > 0 && text[end - 1] == u'\r')
            --end;
        const qsizetype start = lineStart(text, end);
        if (!QStringView(text).mid(start, end - start).trimmed().startsWith(u"//"))
            break;
        at = start;
    }
    return at;
}

struct Anchor
{
    int order;
    qsizetype start;
    qsizetype end;
};

} // namespace

QString DocumentOrigin::otherText() const
{
    qsizetype size = 0;
    for (const OtherGap &gap : gaps)
        size += gap.shown ? gap.end - gap.start : 0;
    QString out;
    out.reserve(size);
    for (const OtherGap &gap : gaps) {
        if (gap.shown)
            out += QStringView(text).mid(gap.start, gap.end - gap.start);
    }
    return normalizeLineBreaks(std::as_const(out));
}

QString DocumentOrigin::boxText(const HeldSection &section) const
{
    return normalizeLineBreaks(
        QStringView(text).mid(section.boxStart, section.boxEnd - section.boxStart));
}

QString DocumentOrigin::render(const DocumentValues &now) const
{
    const SnapshotValues base(baseline);
    std::vector<Edit> edits;

    // The form items the file has, as places to put new items next to.
    std::vector<Anchor> anchors;
    for (const HeldSetting &held : settings) {
        if (held.row->scope == Scope::TopLevel)
            anchors.push_back({orderOf(held.row->fragment, int(held.row - settingRows().data())),
                               held.pieceStart, held.pieceEnd});
    }
    for (const HeldSection &held : sections)
        anchors.push_back({orderOf(held.row->fragment, int(held.row - sectionRows().data())),
                           held.pieceStart, held.pieceEnd});
    if (header)
        anchors.push_back({orderOf(Fragment::header, 0), header->pieceStart, header->pieceEnd});

    // New text for an item the file lacks: after the item before it in the generator's order,
    // else before the item after it, else near the top.
    const auto insert = [&](int order, const QString &generated) {
        const Anchor *before = nullptr;
        const Anchor *after = nullptr;
        for (const Anchor &a : anchors) {
            if (a.order < order && (!before || a.order > before->order))
                before = &a;
            if (a.order > order && (!after || a.order < after->order))
                after = &a;
        }
        QString lines = withLineEnd(generated, lineEnd);
        qsizetype at = topInsertAt;
        if (before)
            at = before->end;
        else if (after)
            at = aboveItsComment(text, lineStart(text, after->start));
        if (at > 0 && !isLineBreak(text[at - 1]))
            lines.prepend(lineEnd);
        edits.push_back({at, at, order, lines});
    };
    std::optional<FileStyle> style;
    const auto newLine = [&](const SettingRow &row, const QString &value) {
        if (!style)
            style = styleOf(*this);
        return style->line(row, value);
    };

    const bool headerRemoved =
        header && base.isChecked(Switch::respawnActive) && !now.isChecked(Switch::respawnActive);
    if (headerRemoved)
        edits.push_back({header->pieceStart, header->pieceEnd, 0, QString()});

    // Settings.
    std::vector<bool> held(settingRows().size(), false);
    for (const HeldSetting &h : settings) {
        const auto index = std::size_t(h.row - settingRows().data());
        held[index] = true;
        if (headerRemoved && h.row->scope == Scope::Header)
            continue;
        const std::optional<QString> was = writtenValue(base, *h.row);
        const std::optional<QString> is = writtenValue(now, *h.row);
        if (was == is)
            continue;
        if (!is) {
            edits.push_back({h.pieceStart, h.pieceEnd, 0, QString()});
            continue;
        }
        const QStringView old = QStringView(text).mid(h.valueStart, h.valueEnd - h.valueStart);
        edits.push_back({h.valueStart, h.valueEnd, 0, styled(*h.row, *is, old)});
    }
    // A setting the file lacks is added only when the user changed it in the form, and never
    // with an empty value ("gameType=;" is no assignment the game can read).
    QString newHeader;
    for (std::size_t i = 0; i < held.size(); ++i) {
        const SettingRow &row = settingRows()[i];
        if (held[i] || formValue(base, row) == formValue(now, row))
            continue;
        const std::optional<QString> is = writtenValue(now, row);
        if (!is || is->isEmpty())
            continue;
        const QString line = newLine(row, *is);
        if (row.scope == Scope::TopLevel) {
            insert(orderOf(row.fragment, int(i)), line + CrLf);
        } else if (header && !headerRemoved) {
            const qsizetype at = header->insertAt;
            edits.push_back(
                {at, at, orderOf(row.fragment, int(i)),
                 header->closingOwnLine ? header->indent + line + lineEnd : line + u' '});
        } else if (!header) {
            newHeader += u'\t' + line + CrLf;
        }
    }
    // A file without class Header gets one holding just the values the user set.
    if (!newHeader.isEmpty())
        insert(orderOf(Fragment::header, 0),
               QStringLiteral("class Header\r\n{\r\n") + newHeader + QStringLiteral("};\r\n"));

    // Sections.
    std::vector<bool> heldSection(sectionRows().size(), false);
    for (const HeldSection &h : sections) {
        heldSection[std::size_t(h.row - sectionRows().data())] = true;
        if (!sectionWritten(now, *h.row)) {
            if (sectionWritten(base, *h.row))
                edits.push_back({h.pieceStart, h.pieceEnd, 0, QString()});
            continue;
        }
        const QString &box = now.code(h.row->box);
        if (box == base.code(h.row->box))
            continue;
        const QStringView old = QStringView(text).mid(h.boxStart, h.boxEnd - h.boxStart);
        QString body = restoreLineEnds(old, box, lineEnd);
        // The "};" line must stay a line of its own.
        if (h.boxEnd > 0 && isLineBreak(text[h.boxEnd - 1]) && !body.isEmpty() &&
            !endsWithBreak(body))
            body += lineEnd;
        edits.push_back({h.boxStart, h.boxEnd, 0, body});
    }
    for (std::size_t i = 0; i < heldSection.size(); ++i) {
        const SectionRow &row = sectionRows()[i];
        if (heldSection[i] || !sectionWritten(now, row))
            continue;
        if (sectionWritten(base, row) && now.code(row.box) == base.code(row.box))
            continue;
        QString block;
        appendSectionBlock(now, row, block);
        insert(orderOf(row.fragment, int(i)), block);
    }

    // The Other box.
    const bool otherWas = base.isChecked(Switch::mainOtherActive);
    const bool otherIs = now.isChecked(Switch::mainOtherActive);
    const QString &otherNow = now.code(CodeBox::mainOtherCode);
    if (otherWas && !otherIs) {
        for (const OtherGap &gap : gaps) {
            if (gap.shown)
                edits.push_back({gap.start, gap.end, 0, QString()});
        }
    } else if (otherIs && (!otherWas || otherNow != base.code(CodeBox::mainOtherCode))) {
        std::vector<qsizetype> shown;
        for (qsizetype g = 0; g < qsizetype(gaps.size()); ++g) {
            if (gaps[std::size_t(g)].shown)
                shown.push_back(g);
        }
        if (shown.empty()) {
            QString lines = restoreLineEnds(QStringView(), otherNow, lineEnd);
            if (!text.isEmpty() && !endsWithBreak(text))
                lines.prepend(lineEnd);
            edits.push_back({text.size(), text.size(), OtherOrder, lines});
        } else {
            // The file's lines of the shown gaps, each knowing its gap; the box shows them in
            // this order with CR LF.
            std::vector<TextLine> fileLines;
            std::vector<qsizetype> gapOf;
            for (std::size_t s = 0; s < shown.size(); ++s) {
                const OtherGap &gap = gaps[std::size_t(shown[s])];
                for (const TextLine &line :
                     splitLines(QStringView(text).mid(gap.start, gap.end - gap.start))) {
                    fileLines.push_back(line);
                    gapOf.push_back(qsizetype(s));
                }
            }
            const std::vector<TextLine> newLines = splitLines(otherNow);
            std::vector<QString> out(shown.size());
            qsizetype current = 0;
            for (const DiffStep &step : diffLines(fileLines, newLines)) {
                if (step.op != DiffOp::Insert)
                    current = gapOf[std::size_t(step.before)];
                if (step.op == DiffOp::Delete)
                    continue;
                const TextLine &line = newLines[std::size_t(step.after)];
                QString &target = out[std::size_t(current)];
                target += line.text;
                if (line.end.isEmpty())
                    continue;
                if (step.op == DiffOp::Keep && !fileLines[std::size_t(step.before)].end.isEmpty())
                    target += fileLines[std::size_t(step.before)].end;
                else
                    target += lineEnd;
            }
            for (std::size_t s = 0; s < shown.size(); ++s) {
                const OtherGap &gap = gaps[std::size_t(shown[s])];
                QString &lines = out[s];
                // What follows the gap must still begin its own line.
                if (gap.end < text.size() && !lines.isEmpty() && !endsWithBreak(lines))
                    lines += lineEnd;
                if (QStringView(lines) != QStringView(text).mid(gap.start, gap.end - gap.start))
                    edits.push_back({gap.start, gap.end, OtherOrder, lines});
            }
        }
    }

    if (edits.empty())
        return text;
    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.end != b.end)
            return a.end < b.end;
        return a.order < b.order;
    });
    QString out;
    out.reserve(text.size() + 256);
    qsizetype at = 0;
    for (const Edit &e : edits) {
        // Pieces never overlap; an edit inside one already removed has nothing left to change.
        if (e.start < at)
            continue;
        out += QStringView(text).mid(at, e.start - at);
        out += e.text;
        at = e.end;
    }
    out += QStringView(text).mid(at);
    return out;
}

config::EncodedBytes DocumentOrigin::encode(QStringView saved) const
{
    if (saved == text && !bytes.isNull())
        return {bytes, 0};
    return config::encodeText(saved, encoding);
}
