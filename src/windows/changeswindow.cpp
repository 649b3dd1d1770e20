#include "changeswindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

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
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LeavesOwnerFree,
                      Placement::OwnerCentre)
{
    setObjectName(QStringLiteral("changesWindow"));
    setWindowTitle(tr("Changes to %1").arg(before));
    resize(640, 420);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("changesText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFont(QStringLiteral("monospace")));

    const QColor base = m_text->palette().color(QPalette::Base);
    QTextCharFormat removed, added, hunk, plain;
    removed.setBackground(tint(base, QColor(220, 40, 40)));
    added.setBackground(tint(base, QColor(40, 170, 60)));
    hunk.setFontWeight(QFont::Bold);
    QTextCursor cursor(m_text->document());
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
    m_text->moveCursor(QTextCursor::Start);

    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QStringLiteral("closeChangesButton"));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    m_text->setFocus();
}

void changesWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}
