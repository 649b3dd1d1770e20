// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "previewcheck.h"

#include "confighighlighter.h"
#include "configreader.h"
#include "longlines.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {
// How long typing must pause before the text is checked again.
constexpr int PauseMs = 300;
// The longest the window is kept from other work while the text is copied for a check.
constexpr int SliceMs = 4;
// `text` as far as it fits `width` in `metrics`: whole, or cut after a word and ended with "…",
// so that no word is shown in part.
QString fitAtWord(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    QString fitted = QStringLiteral("…");
    for (qsizetype space = text.indexOf(u' '); space > 0; space = text.indexOf(u' ', space + 1)) {
        QString candidate = text.left(space);
        while (!candidate.isEmpty() && !candidate.back().isLetterOrNumber() &&
               candidate.back() != u'\'' && candidate.back() != u')')
            candidate.chop(1); // no "—…" or ":…"
        candidate += u'…';
        if (metrics.horizontalAdvance(candidate) > width)
            break;
        fitted = candidate;
    }
    return fitted;
}

// Sets the status line's text, cut to what the button shows, and its tooltip.
void setStatus(QPushButton *status, const QString &text, const QString &toolTip)
{
    QStyleOptionButton option;
    option.initFrom(status);
    const QRect room =
        status->style()->subElementRect(QStyle::SE_PushButtonContents, &option, status);
    // The style sheet's padding and a little air before Save As.
    status->setText(fitAtWord(text, status->fontMetrics(), room.width() - 8));
    status->setToolTip(toolTip);
}

} // namespace

PreviewCheck::PreviewCheck(QPlainTextEdit *text, QPushButton *status)
    : QObject(text), m_text(text), m_status(status)
{
    // Only what the box shows is coloured, so a text of any size is.
    m_highlighter = new ConfigHighlighter(text);
    m_highlighter->setPalette(text->palette());
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &PreviewCheck::checkNow);
    // contentsChanged also comes after every new colouring, and colouring the problems a check
    // found would start the next check: the preview would never rest. contentsChange names the
    // characters that changed; colouring changes none.
    connect(text->document(), &QTextDocument::contentsChange, this, &PreviewCheck::textEdited);
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, &PreviewCheck::finished);
    connect(status, &QPushButton::clicked, this, &PreviewCheck::goToNextProblem);
}

PreviewCheck::~PreviewCheck()
{
    // The check works on its own copy of the text; only its result is waited for.
    m_watcher.waitForFinished();
}

PreviewCheck::Outcome PreviewCheck::check(QString text)
{
    // Line separators and no-break spaces are as the box holds them; one character each, so
    // every offset stays where it is. A text without them is read as it is: changing the
    // string would copy all of it.
    const auto boxOnly = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar::Nbsp;
    };
    if (std::any_of(std::as_const(text).begin(), std::as_const(text).end(), boxOnly)) {
        for (QChar &c : text) {
            if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
                c = u'\n';
            else if (c == QChar::Nbsp)
                c = u' ';
        }
    }
    // Only the problems are shown: the reader keeps no tree, which for a large text would
    // take many times the text's memory.
    config::ReadOptions options;
    options.keepEntries = false;
    const config::ReadResult result = config::readConfig(text, options);
    Outcome outcome;
    outcome.summary = config::summary(result.diagnostics);
    QList<const config::Diagnostic *> inText;
    int errors = 0;
    int warnings = 0; // notes only explain an error or a warning, and are not counted
    for (const config::Diagnostic &d : result.diagnostics) {
        errors += d.severity == config::Severity::Error ? 1 : 0;
        warnings += d.severity == config::Severity::Warning ? 1 : 0;
        if (d.file.isEmpty()) // not in an included file
            inText.append(&d);
    }
    std::stable_sort(inText.begin(), inText.end(), [](const auto *a, const auto *b) {
        return a->position.offset < b->position.offset;
    });
    for (const config::Diagnostic *d : std::as_const(inText)) {
        outcome.marks.append({d->position.offset, qMax<qsizetype>(1, d->length),
                              d->severity == config::Severity::Error, d->message});
        outcome.lines.append(d->position.line);
    }
    QStringList counts;
    if (errors > 0)
        counts << (errors == 1 ? tr("1 error") : tr("%1 errors").arg(errors));
    if (warnings > 0)
        counts << (warnings == 1 ? tr("1 warning") : tr("%1 warnings").arg(warnings));
    outcome.counts = counts.join(u", ");
    return outcome;
}

PreviewCheck::Outcome PreviewCheck::checkWhole(const QString &whole)
{
    // The check's offsets count one character per line break, as the box does.
    const LongLines::ShownText shown = LongLines::shownText(whole);
    QString text = whole;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    Outcome outcome = check(std::move(text));
    // The problems in what is not shown all stand at the note; one of each kind is marked there
    // (the counts still name them all).
    Outcome placed;
    placed.summary = outcome.summary;
    placed.counts = outcome.counts;
    for (qsizetype i = 0; i < outcome.marks.size(); ++i) {
        ProblemMark mark = outcome.marks[i];
        const qsizetype from = shown.shownOffset(mark.offset);
        const qsizetype to = shown.shownOffset(mark.offset + mark.length);
        const auto same = [&](const ProblemMark &m) {
            return m.offset == from && m.isError == mark.isError;
        };
        if (from == to && // not shown at all
            std::any_of(placed.marks.crbegin(),
                        placed.marks.crbegin() + std::min<qsizetype>(2, placed.marks.size()), same))
            continue;
        mark.offset = from;
        mark.length = std::max<qsizetype>(1, to - from);
        placed.marks.append(mark);
        placed.lines.append(outcome.lines[i]);
    }
    return placed;
}

void PreviewCheck::textEdited(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(position);
    if (charsRemoved == 0 && charsAdded == 0)
        return;
    ++m_revision;
    m_pause.start();
}

void PreviewCheck::checkNow()
{
    m_pause.stop();
    if (isChecking()) {
        m_again = true; // checked again as soon as this one is done
        return;
    }
    m_checkedRevision = m_revision;
    Q_EMIT started();
    if (LongLines::isCut(m_text)) {
        // Nothing to copy: the box keeps the whole text it shows cut, and cannot be edited.
        m_watcher.setFuture(
            QtConcurrent::run(&PreviewCheck::checkWhole, LongLines::wholeText(m_text)));
        return;
    }
    m_copy.clear();
    m_copy.reserve(m_text->document()->characterCount());
    m_nextBlock = m_text->document()->begin();
    m_copying = true;
    copySlice();
}

void PreviewCheck::copySlice()
{
    // Copying ten mebibytes out of the text box takes longer than a frame, so the text is
    // copied a few milliseconds at a time between the window's other work. An edit meanwhile
    // makes the blocks that were kept meaningless: the copy starts over after the pause.
    if (m_checkedRevision != m_revision) {
        m_copying = false;
        m_copy.clear();
        m_pause.start();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    while (m_nextBlock.isValid() && slice.elapsed() < SliceMs) {
        for (int i = 0; i < 256 && m_nextBlock.isValid(); ++i) {
            m_copy += m_nextBlock.text();
            m_nextBlock = m_nextBlock.next();
            if (m_nextBlock.isValid())
                m_copy += u'\n';
        }
    }
    if (m_nextBlock.isValid()) {
        QTimer::singleShot(0, this, &PreviewCheck::copySlice);
        return;
    }
    m_copying = false;
    m_watcher.setFuture(QtConcurrent::run(&PreviewCheck::check, std::exchange(m_copy, {})));
}

void PreviewCheck::finished()
{
    if (m_again || m_checkedRevision != m_revision) {
        // The text changed while it was checked; what was found may point at the wrong places.
        m_again = false;
        m_pause.start();
        return;
    }
    const Outcome outcome = m_watcher.result();
    m_marks = outcome.marks;
    m_lines = outcome.lines;
    m_counts = outcome.counts;
    if (m_highlighter)
        m_highlighter->setDiagnostics(m_marks);
    if (m_marks.isEmpty()) {
        setStatus(m_status, outcome.summary, QString());
    } else {
        // The first error, as the summary names it; a warning when there is none.
        const auto error = std::find_if(m_marks.cbegin(), m_marks.cend(),
                                        [](const ProblemMark &m) { return m.isError; });
        showProblem(error == m_marks.cend() ? 0 : error - m_marks.cbegin());
    }
    Q_EMIT checked();
}

void PreviewCheck::showProblem(qsizetype index)
{
    const QString text =
        tr("%1 — line %2: %3").arg(m_counts).arg(m_lines.value(index)).arg(m_marks[index].message);
    setStatus(m_status, text, text + u'\n' + tr("Click or press F8 to go to the next problem"));
}

void PreviewCheck::goToNextProblem()
{
    const QList<ProblemMark> &marks = m_marks;
    if (marks.isEmpty())
        return;
    const qsizetype at = m_text->textCursor().position();
    const auto after = std::find_if(marks.cbegin(), marks.cend(),
                                    [at](const ProblemMark &mark) { return mark.offset > at; });
    const qsizetype index = after == marks.cend() ? 0 : after - marks.cbegin();
    const ProblemMark *next = &marks[index];
    showProblem(index);
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(
        int(qMin<qsizetype>(next->offset, m_text->document()->characterCount() - 1)));
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
    m_text->setFocus();
}
