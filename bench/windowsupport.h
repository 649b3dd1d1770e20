// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Helpers of the window benchmarks: waiting for a window to be on screen and finding the
// pieces of the main window by name.

#include "editordocument.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

class Main;
class QPlainTextEdit;

namespace bench {

// Processes events until `w` is exposed, then lets it paint.
inline void showAndPaint(QWidget *w)
{
    w->show();
    if (!(w->windowHandle() && w->windowHandle()->isExposed()))
        (void)QTest::qWaitForWindowExposed(w);
    QCoreApplication::processEvents();
}

// Lets deleteLater() and other posted work finish.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Switches every section of the document on, so that every code box is enabled and written.
void switchSectionsOn(EditorDocument &document);
// The code box of `box` in `main`, with its page brought to the front.
QPlainTextEdit *showCodeBox(Main &main, CodeBox box);

} // namespace bench
