// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "textlines.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

// The control of `window` with that objectName; nullptr, with a warning, when there is none.
template <typename T = QWidget> T *control(const QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qWarning("no control named %s", qPrintable(name));
    return found;
}
template <typename T = QWidget> T *control(const QWidget *window, const char *name)
{
    return control<T>(window, QString::fromLatin1(name));
}

// Lets windows closed with WA_DeleteOnClose actually go away.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Replaces the field's text by typing, as a user would after selecting everything.
inline void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}
