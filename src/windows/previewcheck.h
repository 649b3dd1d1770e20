// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "confighighlighter.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QTextBlock>
#include <QTimer>

class QPlainTextEdit;
class QPushButton;

// Keeps checking the text of the preview while the user edits it: one line beside Save As
// says "No problems found" or names the count and one problem (the first error after a check,
// then the one the cursor went to), problems are underlined in the text, and a click on the
// line moves the cursor to the next problem. A problem too long for the line is cut at a word
// and shown whole in the line's tooltip. The check runs on
// another thread once typing pauses, so that typing never waits for it; it never touches what
// is saved.
class PreviewCheck : public QObject
{
    Q_OBJECT

public:
    PreviewCheck(QPlainTextEdit *text, QPushButton *status);
    ~PreviewCheck() override;

    // Checks the current text now instead of after the pause (tests, and the first showing).
    void checkNow();
    // Moves the text cursor to the next problem after it, from the top after the last.
    void goToNextProblem();
    bool isChecking() const { return m_copying || m_watcher.isRunning(); }
    // Nothing is checked or waiting to be: what the last check found is shown and only an
    // edit starts another.
    bool isResting() const { return !isChecking() && !m_pause.isActive() && !m_again; }

Q_SIGNALS:
    // A check of the text begins, and its result is shown.
    void started();
    void checked();

private:
    struct Outcome
    {
        QList<ProblemMark> marks; // sorted by offset
        QList<int> lines;         // the line of each mark
        QString summary;
        QString counts; // "2 errors, 1 warning"
    };
    static Outcome check(QString text);
    // Checks the whole text of a box that shows it cut, and places the marks in what it shows.
    static Outcome checkWhole(const QString &whole);
    void textEdited(int position, int charsRemoved, int charsAdded);
    void copySlice();
    void finished();
    // Shows the count and mark `index` on the status line.
    void showProblem(qsizetype index);

    QPlainTextEdit *m_text;
    QPushButton *m_status;
    ConfigHighlighter *m_highlighter = nullptr;
    QList<ProblemMark> m_marks; // sorted by offset
    QList<int> m_lines;
    QString m_counts;
    QTimer m_pause;
    QFutureWatcher<Outcome> m_watcher;
    // Counts edits, so that a check of an older text is thrown away.
    quint64 m_revision = 0;
    quint64 m_checkedRevision = 0;
    bool m_again = false;
    // The text being copied for the next check, and where the copy goes on.
    QString m_copy;
    QTextBlock m_nextBlock;
    bool m_copying = false;
};
