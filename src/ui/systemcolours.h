// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The two background colours of text fields and code boxes, and the grey used for
// sub-headings, taken from the running palette so that dark themes stay readable.
namespace SystemColours {

// Background of an enabled field.
QColor enabledFieldBackground(const QPalette &palette);
// Background of a field whose section is switched off: a neutral grey that stands apart from
// the window background in light and in dark palettes.
QColor inactiveFieldBackground(const QPalette &palette);
// Text colour of the small grey sub-headings ("Weapons", "Magazines", "MP Parameters"): the
// window text muted toward the window, but no further than a contrast of 4.5:1, so that in
// light and dark palettes alike they read as headings and not as disabled captions.
QColor workspaceGrey(const QPalette &palette);
// The wavy line under a problem in a text on the palette's base, red for errors and amber
// for warnings, at a contrast of at least 4.5:1; and the faint tint of the same hue behind
// the characters, since a line one pixel thick is easily missed.
QColor problemColour(const QPalette &palette, bool error);
QColor problemBackground(const QPalette &palette, bool error);

// Gives the disabled captions, check boxes and options of `window` a grey that still reads
// against the window background (a contrast of at least 3:1, where the theme's own grey
// all but vanishes), keeping them visibly dimmed.
void makeDisabledTextLegible(QWidget *window);
// The contrast ratio of two colours, 1 to 21, as accessibility guidelines measure it.
double contrast(const QColor &a, const QColor &b);

// Whitens (enabled) or greys (disabled) a text field or code box. The colour is set for every
// colour group, because a disabled widget paints with its Disabled group.
void setFieldBackground(QWidget *field, bool enabled);
// The background a field paints with now.
QColor fieldBackground(const QWidget *field);

} // namespace SystemColours
