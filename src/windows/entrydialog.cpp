// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "entrydialog.h"

#include "apptitle.h"
#include "desktopservices.h"
#include "formfonts.h"
#include "singleline.h"
#include "systemcolours.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString fillAllFields = QStringLiteral(" Fill all fields or click on the Cancel button. ");
} // namespace

EntryDialog::EntryDialog(QWidget *owner)
    : SecondaryWindow(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint,
                      Locking::LocksOwner)
{
    // Frames, buttons and check boxes use the standard dialog font, as the main window does.
    setFont(FormFonts::standardDialogFont());
}

void EntryDialog::showFieldEnabled(QLineEdit *field, bool enabled)
{
    field->setEnabled(enabled);
    SystemColours::setFieldBackground(field, enabled);
}

void EntryDialog::applyEnabledSwitch(QLineEdit *field, bool ticked)
{
    if (!ticked)
        field->clear();
    showFieldEnabled(field, ticked);
}

void EntryDialog::setUpButtons(QPushButton *add, QPushButton *cancel)
{
    // Labels and fields name Verdana at 8.25 pt, which the form can only store as 8.
    FormFonts::apply(this);
    SystemColours::makeDisabledTextLegible(this);
    SingleLine::apply(this);
    setFixedSize(size());
    m_cancel = cancel;
    for (QPushButton *button : {add, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // The second click of a double-click can reach the window after the first one closed it
    // (input already queued for it); it must not add the entry once more.
    connect(add, &QPushButton::clicked, this, [this] {
        if (isVisible())
            addClicked();
    });
    connect(cancel, &QPushButton::clicked, this, &EntryDialog::finish);
}

bool EntryDialog::requireFilled(std::initializer_list<const QLineEdit *> fields)
{
    bool filled = true;
    for (const QLineEdit *field : fields)
        filled = !field->text().isEmpty() && filled;
    if (!filled) {
        DesktopServices::instance().beep();
        DesktopServices::instance().message(this, QMessageBox::Warning, AppTitle, fillAllFields,
                                            QMessageBox::Ok, QMessageBox::Ok);
    }
    return filled;
}

void EntryDialog::handBack(const QStringList &texts)
{
    Q_EMIT entryComposed(texts);
    finish();
}

void EntryDialog::finish()
{
    close();
}

void EntryDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel) && m_cancel) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
