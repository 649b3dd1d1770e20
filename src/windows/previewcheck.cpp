#include "previewcheck.h"

#include "confighighlighter.h"
#include "configreader.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtConcurrent/QtConcurrentRun>

namespace {
// How long typing must pause before the text is checked again.
constexpr int PauseMs = 300;
} // namespace

PreviewCheck::PreviewCheck(QPlainTextEdit *text, QPushButton *status)
    : QObject(text), m_text(text), m_status(status),
      m_highlighter(new ConfigHighlighter(text->document()))
{
    m_highlighter->setPalette(text->palette());
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &PreviewCheck::checkNow);
    connect(text->document(), &QTextDocument::contentsChanged, this, &PreviewCheck::textEdited);
    connect(&m_watcher, &QFutureWatcher<Outcome>::finished, this, &PreviewCheck::finished);
    connect(status, &QPushButton::clicked, this, &PreviewCheck::goToNextProblem);
}

PreviewCheck::~PreviewCheck()
{
    // The check works on its own copy of the text; only its result is waited for.
    m_watcher.waitForFinished();
}

PreviewCheck::Outcome PreviewCheck::check(const QString &text)
{
    const config::ReadResult result = config::readConfig(text);
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

void PreviewCheck::textEdited()
{
    ++m_revision;
    m_pause.start();
}

void PreviewCheck::checkNow()
{
    m_pause.stop();
    if (m_watcher.isRunning()) {
        m_again = true; // checked again as soon as this one is done
        return;
    }
    m_checkedRevision = m_revision;
    m_watcher.setFuture(QtConcurrent::run(&PreviewCheck::check, m_text->toPlainText()));
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
    m_highlighter->setDiagnostics(outcome.marks);
    m_status->setText(outcome.summary);
    m_status->setToolTip(outcome.marks.isEmpty() ? QString()
                                                 : tr("Click to go to the next problem"));
    Q_EMIT checked();
}

void PreviewCheck::goToNextProblem()
{
    const QList<ProblemMark> &marks = m_highlighter->diagnostics();
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
