// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>

class QWidget;

// The program's windows were drawn for the classic narrow dialog font at 8.25 pt, with
// Verdana and Arial where a control names them. These helpers give every window the same
// fonts, whatever faces the system has.
namespace FormFonts {

// The standard dialog font: the system face at 8.25 pt, in a semi-condensed cut so that
// captions fitted to the narrow classic font are not clipped.
QFont standardDialogFont();

// Gives `window` the standard dialog font, then mends the fonts its form names: forms store
// whole points only, so a named font of 8 pt is set to the intended 8.25 pt, and named
// faces keep their own full width.
void apply(QWidget *window);

} // namespace FormFonts
