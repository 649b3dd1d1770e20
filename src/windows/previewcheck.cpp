#include "previewcheck.h"

#include "confighighlighter.h"
#include "configreader.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

namespace {
// How long typing must pause before the text is checked again.
constexpr int PauseMs = 300;
// The longest the window is kept from other work while the text is copied for a check.
constexpr int SliceMs = 4;
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
    for (const config::Diagnostic &d : result.diagnostics) {
        if (!d.file.isEmpty())
            continue; // in an included file, not in this text
        outcome.marks.append({d.position.offset, qMax<qsizetype>(1, d.length),
                              d.severity == config::Severity::Error, d.message});
    }
    return outcome;
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
    std::stable_sort(
        m_marks.begin(), m_marks.end(),
        [](const ProblemMark &a, const ProblemMark &b) { return a.offset < b.offset; });
    m_highlighter->setDiagnostics(m_marks);
    m_status->setText(outcome.summary);
    m_status->setToolTip(outcome.marks.isEmpty() ? QString()
                                                 : tr("Click to go to the next problem"));
    Q_EMIT checked();
}

void PreviewCheck::goToNextProblem()
{
    const QList<ProblemMark> &marks = m_marks;
    if (marks.isEmpty())
        return;
    const qsizetype at = m_text->textCursor().position();
    const ProblemMark *next = &marks.first();
    for (const ProblemMark &mark : marks) {
        if (mark.offset > at) {
            next = &mark;
            break;
        }
    }
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(
        int(qMin<qsizetype>(next->offset, m_text->document()->characterCount() - 1)));
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
    m_text->setFocus();
}
