// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formfonts.h"

#include <QApplication>
#include <QWidget>

namespace FormFonts {

namespace {
constexpr qreal DialogPoints = 8.25;
// What a form's whole-point font size stands for.
constexpr int FormPoints = 8;
} // namespace

QFont standardDialogFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(DialogPoints);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

void apply(QWidget *window)
{
    window->setFont(standardDialogFont());
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // Only controls whose form names a face of their own.
        constexpr uint NamedFace = QFont::FamilyResolved | QFont::FamiliesResolved;
        if (!w->testAttribute(Qt::WA_SetFont) || !(w->font().resolveMask() & NamedFace))
            continue;
        QFont font = w->font();
        if (font.pointSize() == FormPoints)
            font.setPointSizeF(DialogPoints);
        font.setStretch(QFont::Unstretched);
        w->setFont(font);
    }
}

} // namespace FormFonts
