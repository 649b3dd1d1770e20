#include "openreport.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

openReport::openReport(QWidget *owner, const QString &title, const QString &text)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LeavesOwnerFree,
                      Placement::OwnerCentre)
{
    setObjectName(QStringLiteral("openReport"));
    setWindowTitle(title);
    resize(520, 300);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("reportText"));
    m_text->setReadOnly(true);
    m_text->setPlainText(text);
    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QStringLiteral("closeReportButton"));
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

void openReport::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}
