// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

#include <array>
#include <vector>

class QPlainTextEdit;
class QTextDocument;

// A problem to underline with a wavy line: `offset` counts characters from the start of the
// document's plain text (as QTextDocument::toPlainText() gives it, one character per block
// break), which is what the reader's diagnostics carry when it reads that text.
struct ProblemMark
{
    qsizetype offset = 0;
    qsizetype length = 0;
    bool isError = true;
    QString message;
};

// Colours description-file text in a code box or the preview: comments, strings, numbers,
// `class` and `delete`, and preprocessor lines, in colours taken from the palette so that dark
// themes stay readable. A block's colours depend only on its own text and on whether the block
// before ended inside a block comment or a continued directive, so a keystroke costs one block
// (plus the following ones only when that state changes).
//
// Made for a text box, it colours only the blocks the box shows and a few around them, as they
// are painted: opening a file of 400,000 lines then costs one screen, and the blocks nobody
// looks at keep no layout. Made for a bare document, it colours every block, as soon as the
// event loop runs and again after every change.
class ConfigHighlighter : public QObject
{
    Q_OBJECT

public:
    enum class Role { Comment, String, Number, Keyword, Preprocessor };
    static constexpr int RoleCount = int(Role::Preprocessor) + 1;

    // Uses the application palette until setPalette() is called.
    explicit ConfigHighlighter(QTextDocument *document);
    explicit ConfigHighlighter(QPlainTextEdit *view);

    QTextDocument *document() const { return m_document; }
    // Takes the colours from `palette` (the widget's) and highlights again.
    void setPalette(const QPalette &palette);
    QTextCharFormat roleFormat(Role role) const { return m_formats[std::size_t(role)]; }

    // Replaces the underlined problems; only the blocks they touch are highlighted again.
    void setDiagnostics(const QList<ProblemMark> &marks);

    // Colours every block again (a bare document), or the shown ones when next painted.
    void rehighlight();

    // How many times a block was coloured, for tests that show the work is limited to what
    // is shown.
    qint64 blocksColoured() const { return m_blocksColoured; }
    qint64 charactersColoured() const { return m_charactersColoured; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How a line ends, for the next one: inside a block comment, in a directive continued by a
    // backslash, or in a directive whose block comment goes on (the directive goes on after
    // the comment's end).
    enum BlockState { Normal = 0, InComment = 1, InDirective = 2, InDirectiveComment = 3 };

    void takeColours(const QPalette &palette);
    void contentsChange(int position, int removed, int added);
    void rehighlightMarks(const QList<ProblemMark> &marks);
    void colourShown();
    // Makes the end states of the blocks before block `number` known.
    void knowStatesBefore(int number);
    // Colours `block` when its colours are missing or stale; returns whether its end state
    // differs from what was known of it.
    bool colour(const QTextBlock &block, bool force = false);
    static int endState(const QTextBlock &block);
    bool isColoured(int userState, int start) const;
    static void forget(QTextBlock block);
    // Runs over the text of m_block: its end state and, when `m_collect`, its formats.
    int scan(const QString &text, int start);
    void applyFormats(const QTextBlock &block);

    // What highlightBlock() works with while it runs over one block.
    void highlightBlock(const QString &text);
    void setFormat(int start, int count, const QTextCharFormat &format);
    QTextCharFormat format(int position) const;
    void setEndState(int state) { m_end = state; }
    static int directiveEndState(QStringView rest);
    void underline(const QString &text);

    QTextDocument *m_document;
    QPointer<QPlainTextEdit> m_view;
    std::array<QTextCharFormat, RoleCount> m_formats;
    QColor m_errorColour;
    QColor m_warningColour;
    QColor m_errorBackground;
    QColor m_warningBackground;
    QList<ProblemMark> m_marks; // sorted by offset
    qsizetype m_longestMark = 0;

    // The blocks coloured at the last paint of the view.
    int m_shownFrom = 0;
    int m_shownTo = -1;
    // The leading blocks whose end state is known.
    int m_knownStates = 0;
    // Colours made before a palette or a rehighlight count as missing.
    int m_generation = 0;
    bool m_firstPassPending = true;
    bool m_applying = false;
    qint64 m_blocksColoured = 0;
    qint64 m_charactersColoured = 0;

    // The block being run over: its start state, end state, and the format of each character
    // as an index into m_used (0: none).
    QTextBlock m_block;
    int m_start = Normal;
    int m_end = Normal;
    bool m_collect = false;
    std::vector<quint16> m_chars;
    QList<QTextCharFormat> m_used;
};
