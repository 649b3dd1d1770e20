// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "textlines.h"

#include <QCoreApplication>
#include <QEvent>
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
