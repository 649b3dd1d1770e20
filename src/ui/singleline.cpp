// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "singleline.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <limits>

namespace SingleLine {

namespace {

// Longer texts are painted by LongTextPainter while their field has no focus.
constexpr qsizetype LongestPaintedWhole = 10000;

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029' || c == u'\u0085';
}

// A validator may rewrite what it is given; the field then shows and reports the result, to
// its textEdited() listeners too.
class OneLine : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (std::any_of(input.cbegin(), input.cend(), isLineBreak))
            input = joined(input);
        return Acceptable;
    }
};

// A field shapes its whole text each time it paints, which takes seconds for megabytes. A
// field with a very long text is painted here instead: the part around the cursor (the start
// while the field has no focus), with the selection and the cursor, which is all that fits.
class LongTextPainter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto *field = static_cast<QLineEdit *>(watched);
        const QString &text = field->text();
        if (text.size() <= LongestPaintedWhole)
            return false;

        QPainter painter(field);
        QStyleOptionFrame panel;
        panel.initFrom(field);
        QStyle *style = field->style();
        panel.lineWidth =
            field->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, field) : 0;
        panel.state |= QStyle::State_Sunken;
        style->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, field);
        const QRect area = style->subElementRect(QStyle::SE_LineEditContents, &panel, field)
                               .marginsRemoved(field->textMargins())
                               .adjusted(2, 0, -2, 0);
        painter.setClipRect(area);

        // Enough characters to fill the field twice over, the cursor a third of the way in.
        const QFontMetrics metrics(field->font());
        const qsizetype fits = 2 * area.width() / qMax(1, metrics.averageCharWidth()) + 8;
        const bool focused = field->hasFocus();
        const qsizetype cursor = focused ? field->cursorPosition() : 0;
        const qsizetype start = qMax<qsizetype>(0, cursor - fits / 6);
        const QString shown = text.mid(start, fits);
        const auto xOf = [&](qsizetype at) {
            return area.left() + metrics.horizontalAdvance(
                                     shown.left(qBound<qsizetype>(0, at - start, shown.size())));
        };
        const QPalette::ColorGroup group = !field->isEnabled() ? QPalette::Disabled
                                           : focused           ? QPalette::Active
                                                               : QPalette::Inactive;
        const QPalette &palette = field->palette();
        painter.setPen(palette.color(group, QPalette::Text));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
        if (focused && field->hasSelectedText()) {
            const qsizetype from = field->selectionStart();
            const QRect selected(QPoint(xOf(from), area.top()),
                                 QPoint(xOf(from + field->selectionLength()) - 1, area.bottom()));
            painter.fillRect(selected, palette.color(group, QPalette::Highlight));
            painter.setClipRect(selected & area);
            painter.setPen(palette.color(group, QPalette::HighlightedText));
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
            painter.setClipRect(area);
        }
        if (focused) {
            const int x = xOf(cursor);
            painter.fillRect(QRect(x, area.top() + 1, 1, area.height() - 2),
                             palette.color(group, QPalette::Text));
        }
        return true;
    }
};

} // namespace

QString joined(QString text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!isLineBreak(c)) {
            result.append(c);
            continue;
        }
        result.append(u' ');
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i; // CR LF is one break
    }
    return result;
}

void apply(QWidget *window)
{
    auto *oneLine = new OneLine(window);
    auto *painter = new LongTextPainter(window);
    for (QLineEdit *field : window->findChildren<QLineEdit *>()) {
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setValidator(oneLine);
        field->installEventFilter(painter);
    }
}

} // namespace SingleLine
