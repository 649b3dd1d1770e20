// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QWidget;

// Single-line fields hold one line: a line break typed or pasted into one (CR, LF, CR LF,
// and the line, paragraph and next-line separators) becomes one space, so that no character
// of the text is lost and the file never gets an assignment split over two lines. They also
// take text of any length, where the widget would silently cut a paste at 32,767 characters.
namespace SingleLine {

// Applies both to every single-line field inside `window`.
void apply(QWidget *window);

// `text` with each line break as one space.
QString joined(QString text);

} // namespace SingleLine
