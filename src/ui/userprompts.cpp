#include "userprompts.h"

#include "fileoutput.h"
#include "helpwindow.h"

#include <QApplication>
#include <QFileDialog>

namespace {
UserPrompts *installed = nullptr;
} // namespace

UserPrompts::~UserPrompts() = default;

void UserPrompts::beep()
{
    QApplication::beep();
}

QMessageBox::StandardButton UserPrompts::message(QWidget *parent, QMessageBox::Icon icon,
                                                 const QString &title, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    // Texts are written with CR LF line breaks; the toolkit lays out plain LF.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // A long path has no spaces to wrap at and would stretch the box past the screen; a
    // zero-width space after each separator lets it wrap there.
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    QMessageBox box(icon, title, shown, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

bool UserPrompts::runFileDialog(QFileDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

void UserPrompts::showHelp(QWidget *owner)
{
    HelpWindow::showFor(owner);
}

bool UserPrompts::writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return FileOutput::replaceFile(path, bytes, error);
}

UserPrompts &UserPrompts::instance()
{
    static UserPrompts real;
    return installed ? *installed : real;
}

void UserPrompts::setInstance(UserPrompts *prompts)
{
    installed = prompts;
}
