// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyindicators.h"

#include "locklamps.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

KeyIndicators::KeyIndicators(QLabel *num, QLabel *caps, QLabel *ins, QObject *parent)
    : QObject(parent), m_labels{num, caps, ins}, m_lamps(LockLamps::open())
{
    for (int i = 0; i < 3; ++i)
        setActive(Indicator(i), false);
    refresh();
    qApp->installEventFilter(this);
}

KeyIndicators::~KeyIndicators() = default;

void KeyIndicators::refresh()
{
    if (m_lamps) {
        const LockLamps::Lamps lamps = m_lamps->read();
        setActive(NumLock, lamps.numLock);
        setActive(CapsLock, lamps.capsLock);
    }
}

void KeyIndicators::keyPressed(int key)
{
    switch (key) {
    case Qt::Key_Insert:
        setActive(Insert, !m_active[Insert]);
        break;
    case Qt::Key_NumLock:
        if (!m_lamps)
            setActive(NumLock, !m_active[NumLock]);
        break;
    case Qt::Key_CapsLock:
        if (!m_lamps)
            setActive(CapsLock, !m_active[CapsLock]);
        break;
    default:
        break;
    }
}

bool KeyIndicators::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key event reaches the window first and is then offered to the focus widget and
        // its parents; counting it at the window counts every press exactly once.
        if (watched->isWindowType()) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                keyPressed(key->key());
            refresh();
        }
        break;
    case QEvent::WindowActivate:
        // Sent to every widget of the window; the window itself is enough.
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            refresh();
        break;
    default:
        break;
    }
    return false;
}

void KeyIndicators::setActive(Indicator indicator, bool active)
{
    m_active[indicator] = active;
    QLabel *label = m_labels[indicator];
    if (!label)
        return;
    // A dimmed panel uses the grey of disabled text but stays enabled, so its tooltip shows.
    const QPalette theme = QApplication::palette(label);
    const QColor colour =
        theme.color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    QPalette palette = label->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, colour);
    label->setPalette(palette);
}
