// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "about.h"
#include "ui_about.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool isMouseButtonEvent(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

// The keys that close the box, as a click on the picture does.
bool isClosingKey(const QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        return true;
    if (event->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return true;
    default:
        return false;
    }
}

} // namespace

// A tool window has no task-bar entry; without a frame there is no title bar either.
about::about(QWidget *main)
    : SecondaryWindow(main, Qt::Tool | Qt::FramelessWindowHint, Locking::LocksOwner),
      ui(std::make_unique<Ui::about>())
{
    ui->setupUi(this);
    setFixedSize(size());

    ui->Picture1->installEventFilter(this);
    ui->Label1->installEventFilter(this);
}

about::~about() = default;

about *about::openFor(QWidget *main)
{
    auto *box = new about(main);
    box->open();
    return box;
}

QLabel *about::Picture1() const
{
    return ui->Picture1;
}

QLabel *about::Label1() const
{
    return ui->Label1;
}

bool about::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Label1 && isMouseButtonEvent(event)) {
        // The version text sits on the picture; its clicks must not reach the picture.
        return true;
    }
    if (watched == ui->Picture1) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressedOnPicture = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = m_pressedOnPicture && mouse->button() == Qt::LeftButton &&
                               ui->Picture1->rect().contains(mouse->position().toPoint());
            m_pressedOnPicture = false;
            if (click)
                Picture1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void about::Picture1_Click()
{
    close();
}

void about::keyPressEvent(QKeyEvent *event)
{
    if (isClosingKey(event)) {
        Picture1_Click();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}
