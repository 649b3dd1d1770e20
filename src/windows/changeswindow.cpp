// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "changeswindow.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// A tint over the text box's own background, so that the text keeps its contrast in light and
// dark palettes alike.
QColor tint(const QColor &base, const QColor &hue)
{
    const double a = base.lightness() > 128 ? 0.22 : 0.35;
    return QColor::fromRgbF(float(base.redF() * (1 - a) + hue.redF() * a),
                            float(base.greenF() * (1 - a) + hue.greenF() * a),
                            float(base.blueF() * (1 - a) + hue.blueF() * a));
}

} // namespace

changesWindow::changesWindow(QWidget *owner, const QString &before, const QString &after,
                             const QString &diff)
    : TextWindow(owner, QStringLiteral("changesWindow"), tr("Changes to %1").arg(before),
                 "changesText", "closeChangesButton")
{
    resize(640, 420);
    QPlainTextEdit *diffText = text();
    diffText->setLineWrapMode(QPlainTextEdit::NoWrap);
    diffText->setFont(QFont(QStringLiteral("monospace")));

    const QColor base = diffText->palette().color(QPalette::Base);
    QTextCharFormat removed, added, hunk, plain;
    removed.setBackground(tint(base, QColor(220, 40, 40)));
    added.setBackground(tint(base, QColor(40, 170, 60)));
    hunk.setFontWeight(QFont::Bold);
    QTextCursor cursor(diffText->document());
    cursor.beginEditBlock();
    cursor.insertText(QStringLiteral("--- ") + before + u'\n', hunk);
    cursor.insertText(QStringLiteral("+++ ") + after, hunk);
    for (const QStringView line : QStringView(diff).split(u'\n', Qt::SkipEmptyParts)) {
        cursor.insertBlock();
        const QTextCharFormat &format = line.startsWith(u'-')   ? removed
                                        : line.startsWith(u'+') ? added
                                        : line.startsWith(u'@') ? hunk
                                                                : plain;
        QTextBlockFormat block;
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            block.setBackground(format.background());
        cursor.setBlockFormat(block);
        cursor.insertText(line.toString(), format);
    }
    cursor.endEditBlock();
    diffText->moveCursor(QTextCursor::Start);

    diffText->setFocus();
}
