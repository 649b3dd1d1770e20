// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textwindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TextWindow::TextWindow(QWidget *owner, const QString &name, const QString &title,
                       const char *textName, const char *closeName)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LeavesOwnerFree,
                      Placement::OwnerCentre)
{
    setObjectName(name);
    setWindowTitle(title);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QString::fromLatin1(textName));
    m_text->setReadOnly(true);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QString::fromLatin1(closeName));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    m_close->setFocus();
}
