#pragma once

#include <QList>
#include <QPalette>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>

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
class ConfigHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    enum class Role { Comment, String, Number, Keyword, Preprocessor };
    static constexpr int RoleCount = int(Role::Preprocessor) + 1;

    // Uses the application palette until setPalette() is called.
    explicit ConfigHighlighter(QTextDocument *document);

    // Takes the colours from `palette` (the widget's) and highlights again.
    void setPalette(const QPalette &palette);
    QTextCharFormat roleFormat(Role role) const { return m_formats[std::size_t(role)]; }

    // Replaces the underlined problems; only the blocks they touch are highlighted again.
    void setDiagnostics(const QList<ProblemMark> &marks);

protected:
    void highlightBlock(const QString &text) override;

private:
    enum BlockState { Normal = -1, InComment = 1, InDirective = 2 };

    void takeColours(const QPalette &palette);
    void underline(const QString &text);
    void rehighlightMarks(const QList<ProblemMark> &marks);

    std::array<QTextCharFormat, RoleCount> m_formats;
    QColor m_errorColour;
    QColor m_warningColour;
    QColor m_errorBackground;
    QColor m_warningBackground;
    QList<ProblemMark> m_marks; // sorted by offset
    qsizetype m_longestMark = 0;
};
