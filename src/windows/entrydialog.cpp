#include "entrydialog.h"

#include "formfonts.h"
#include "systemcolours.h"
#include "userprompts.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {
const QString appTitle = QStringLiteral("Merrow Editor");
const QString fillAllFields = QStringLiteral(" Fill all fields or click on the Cancel button. ");
} // namespace

EntryDialog::EntryDialog(QWidget *mainWindow, EditorDocument &document, QStringList lockNames)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_main(mainWindow), m_document(document), m_lockNames(std::move(lockNames))
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Frames, buttons and check boxes use the standard dialog font, as the main window does.
    setFont(FormFonts::standardDialogFont());
}

EntryDialog::~EntryDialog()
{
    // Destroyed without a close (the program shutting down): still hand the main window back.
    releaseMainWindow();
}

void EntryDialog::open()
{
    WindowPlacement::centreOnScreen(this, m_main);
    WindowPlacement::keepAbove(this, m_main);
    show();
    activateWindow();
    lockMainWindow();
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
        UserPrompts::instance().beep();
        UserPrompts::instance().message(this, QMessageBox::Warning, appTitle, fillAllFields,
                                        QMessageBox::Ok, QMessageBox::Ok);
    }
    return filled;
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

void EntryDialog::closeEvent(QCloseEvent *event)
{
    // Whatever closed us (Cancel, Add, the window manager), the main window gets its input
    // back, exactly as Cancel would leave it.
    QWidget::closeEvent(event);
    if (event->isAccepted())
        releaseMainWindow();
}

void EntryDialog::lockMainWindow()
{
    if (m_locked || !m_main)
        return;
    m_locked = true;
    m_main->setEnabled(false);
    setMainControlsEnabled(false);
}

void EntryDialog::releaseMainWindow()
{
    if (!m_locked || !m_main)
        return;
    m_locked = false;
    m_main->setEnabled(true);
    setMainControlsEnabled(true);
    m_main->activateWindow();
    m_main->setFocus();
}

void EntryDialog::setMainControlsEnabled(bool enabled)
{
    QStringList names{QStringLiteral("Items")};
    names += m_lockNames;
    for (const QString &name : names) {
        if (QWidget *control = m_main->findChild<QWidget *>(name))
            control->setEnabled(enabled);
    }
}
