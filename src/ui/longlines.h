// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

class QPlainTextEdit;
class QTextEdit;

// Word wrapping makes the text layout look ahead through a whole unbroken run for every
// screen line it wraps, which grows with the square of the run's length: a few hundred
// thousand characters without a space would freeze the window for minutes. A box holding a
// longer run than this wraps anywhere instead, which takes linear time.
namespace LongLines {

inline constexpr qsizetype LongestRunWrappedAtWords = 10000;

bool hasLongUnbrokenRun(QStringView text);

// Watches `box`: once text holding such a run arrives (typed, pasted or set), the box wraps
// anywhere from then on. The switch happens before the box lays out the new text.
void guard(QPlainTextEdit *box);
// The same for a rich-text box, such as the help browser.
void guard(QTextEdit *box);

} // namespace LongLines
