#include "userprompts.h"

#include "helpwindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A short write (the disk filled up part way) sets no error of its own; writing on
    // until a write fails gives the reason, such as "No space left on device".
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
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
