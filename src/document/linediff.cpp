// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linediff.h"

#include "encoding.h"

#include <algorithm>

namespace {

// Beyond this many differences the script is not searched for: the middle is replaced whole.
// Keeps time and memory bounded for texts that have nothing in common.
constexpr qsizetype MaxEditDistance = 1000;

void replaceWhole(qsizetype b0, qsizetype b1, qsizetype a0, qsizetype a1,
                  std::vector<DiffStep> &out)
{
    for (qsizetype i = b0; i < b1; ++i)
        out.push_back({DiffOp::Delete, i, -1});
    for (qsizetype j = a0; j < a1; ++j)
        out.push_back({DiffOp::Insert, -1, j});
}

// Myers' greedy shortest edit script over before[b0, b1) and after[a0, a1), which share no
// first and no last line.
bool myers(const std::vector<TextLine> &before, const std::vector<TextLine> &after, qsizetype b0,
           qsizetype b1, qsizetype a0, qsizetype a1, std::vector<DiffStep> &out)
{
    const qsizetype n = b1 - b0;
    const qsizetype m = a1 - a0;
    const qsizetype maxD = std::min(n + m, MaxEditDistance);
    const qsizetype offset = maxD + 1;
    std::vector<qsizetype> v(std::size_t(2 * offset + 1), 0);
    // The frontier before each round d, for diagonals -d to d: what the walk back needs.
    std::vector<std::vector<qsizetype>> trace;
    const auto same = [&](qsizetype x, qsizetype y) {
        return before[std::size_t(b0 + x)].text == after[std::size_t(a0 + y)].text;
    };
    qsizetype found = -1;
    for (qsizetype d = 0; d <= maxD && found < 0; ++d) {
        trace.emplace_back(v.begin() + (offset - d), v.begin() + (offset + d + 1));
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x;
            if (k == -d ||
                (k != d && v[std::size_t(offset + k - 1)] < v[std::size_t(offset + k + 1)]))
                x = v[std::size_t(offset + k + 1)];
            else
                x = v[std::size_t(offset + k - 1)] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && same(x, y)) {
                ++x;
                ++y;
            }
            v[std::size_t(offset + k)] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0)
        return false;
    // Walk back through the saved frontiers.
    std::vector<DiffStep> steps;
    qsizetype x = n;
    qsizetype y = m;
    for (qsizetype d = found; d > 0; --d) {
        const std::vector<qsizetype> &frontier = trace[std::size_t(d)];
        const auto pv = [&frontier, d](qsizetype k) { return frontier[std::size_t(k + d)]; };
        const qsizetype k = x - y;
        qsizetype prevK;
        if (k == -d || (k != d && pv(k - 1) < pv(k + 1)))
            prevK = k + 1;
        else
            prevK = k - 1;
        const qsizetype prevX = pv(prevK);
        const qsizetype prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x;
            --y;
            steps.push_back({DiffOp::Keep, b0 + x, a0 + y});
        }
        if (x == prevX)
            steps.push_back({DiffOp::Insert, -1, a0 + (--y)});
        else
            steps.push_back({DiffOp::Delete, b0 + (--x), -1});
    }
    while (x > 0 && y > 0) {
        --x;
        --y;
        steps.push_back({DiffOp::Keep, b0 + x, a0 + y});
    }
    out.insert(out.end(), steps.rbegin(), steps.rend());
    return true;
}

} // namespace

std::vector<TextLine> splitLines(QStringView text)
{
    std::vector<TextLine> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!isLineBreak(text[i]))
            continue;
        const qsizetype breakLength = text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
        lines.push_back({text.mid(start, i - start), text.mid(i, breakLength)});
        i += breakLength - 1;
        start = i + 1;
    }
    if (start < n)
        lines.push_back({text.mid(start), QStringView()});
    return lines;
}

std::vector<DiffStep> diffLines(const std::vector<TextLine> &before,
                                const std::vector<TextLine> &after)
{
    std::vector<DiffStep> out;
    const qsizetype n = qsizetype(before.size());
    const qsizetype m = qsizetype(after.size());
    qsizetype head = 0;
    while (head < n && head < m && before[std::size_t(head)].text == after[std::size_t(head)].text)
        ++head;
    qsizetype tail = 0;
    while (tail < n - head && tail < m - head &&
           before[std::size_t(n - 1 - tail)].text == after[std::size_t(m - 1 - tail)].text)
        ++tail;
    out.reserve(std::size_t(std::max(n, m) + 16));
    for (qsizetype i = 0; i < head; ++i)
        out.push_back({DiffOp::Keep, i, i});
    if (!myers(before, after, head, n - tail, head, m - tail, out))
        replaceWhole(head, n - tail, head, m - tail, out);
    for (qsizetype i = 0; i < tail; ++i)
        out.push_back({DiffOp::Keep, n - tail + i, m - tail + i});
    return out;
}

qsizetype changedLineCount(const std::vector<DiffStep> &steps)
{
    qsizetype total = 0;
    qsizetype deleted = 0;
    qsizetype inserted = 0;
    for (const DiffStep &s : steps) {
        if (s.op == DiffOp::Keep) {
            total += std::max(deleted, inserted);
            deleted = inserted = 0;
        } else if (s.op == DiffOp::Delete) {
            ++deleted;
        } else {
            ++inserted;
        }
    }
    return total + std::max(deleted, inserted);
}

QString unifiedDiff(const std::vector<TextLine> &before, const std::vector<TextLine> &after,
                    const std::vector<DiffStep> &steps)
{
    constexpr qsizetype Context = 3;
    QString out;
    const qsizetype count = qsizetype(steps.size());
    qsizetype i = 0;
    while (i < count) {
        // The next change, and the run of steps up to where no change follows within twice the
        // context.
        while (i < count && steps[std::size_t(i)].op == DiffOp::Keep)
            ++i;
        if (i == count)
            break;
        const qsizetype from = std::max<qsizetype>(0, i - Context);
        qsizetype to = i;
        qsizetype keptRun = 0;
        for (qsizetype j = i; j < count; ++j) {
            if (steps[std::size_t(j)].op == DiffOp::Keep) {
                if (++keptRun > 2 * Context)
                    break;
            } else {
                keptRun = 0;
                to = j + 1;
            }
        }
        to = std::min(count, to + Context);
        qsizetype beforeStart = -1, afterStart = -1, beforeLines = 0, afterLines = 0;
        // Line numbers of the hunk: where its first step stands on each side.
        qsizetype b = 0, a = 0;
        for (qsizetype j = 0; j < from; ++j) {
            if (steps[std::size_t(j)].op != DiffOp::Insert)
                ++b;
            if (steps[std::size_t(j)].op != DiffOp::Delete)
                ++a;
        }
        beforeStart = b;
        afterStart = a;
        QString body;
        for (qsizetype j = from; j < to; ++j) {
            const DiffStep &s = steps[std::size_t(j)];
            switch (s.op) {
            case DiffOp::Keep:
                body += u' ';
                body += before[std::size_t(s.before)].text;
                ++beforeLines;
                ++afterLines;
                break;
            case DiffOp::Delete:
                body += u'-';
                body += before[std::size_t(s.before)].text;
                ++beforeLines;
                break;
            case DiffOp::Insert:
                body += u'+';
                body += after[std::size_t(s.after)].text;
                ++afterLines;
                break;
            }
            body += u'\n';
        }
        out += QStringLiteral("@@ -%1,%2 +%3,%4 @@\n")
                   .arg(beforeLines ? beforeStart + 1 : beforeStart)
                   .arg(beforeLines)
                   .arg(afterLines ? afterStart + 1 : afterStart)
                   .arg(afterLines);
        out += body;
        i = to;
    }
    return out;
}

QString restoreLineEnds(QStringView original, QStringView edited, QStringView newEnd)
{
    const std::vector<TextLine> before = splitLines(original);
    const std::vector<TextLine> after = splitLines(edited);
    const std::vector<DiffStep> steps = diffLines(before, after);
    QString out;
    out.reserve(edited.size() + edited.size() / 16);
    for (const DiffStep &s : steps) {
        if (s.op == DiffOp::Delete)
            continue;
        const TextLine &line = after[std::size_t(s.after)];
        out += line.text;
        if (line.end.isEmpty())
            continue; // the edited text ends here without a break
        if (s.op == DiffOp::Keep && !before[std::size_t(s.before)].end.isEmpty())
            out += before[std::size_t(s.before)].end;
        else
            out += newEnd;
    }
    return out;
}

QString dominantLineEnd(QStringView text)
{
    qsizetype crlf = 0, lf = 0, cr = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == u'\n') {
            ++lf;
        }
    }
    if (lf > crlf && lf >= cr)
        return QStringLiteral("\n");
    if (cr > crlf && cr > lf)
        return QStringLiteral("\r");
    return QStringLiteral("\r\n");
}
