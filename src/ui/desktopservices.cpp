// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktopservices.h"

#include "fileoutput.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>

namespace {
DesktopServices *installed = nullptr;
DesktopServices::HelpViewer helpViewer;
} // namespace

DesktopServices::~DesktopServices() = default;

void DesktopServices::beep()
{
    QApplication::beep();
}

QMessageBox::StandardButton DesktopServices::message(QWidget *parent, QMessageBox::Icon icon,
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
    // When the box goes, the window system may hand the input to any window, such as a
    // main window locked behind the asking dialog; it goes back to where it was.
    const QPointer<QWidget> window = parent ? parent->window() : nullptr;
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const auto answer = QMessageBox::StandardButton(box.exec());
    if (window && window->isVisible()) {
        window->activateWindow();
        if (focus && focus->window() == window)
            focus->setFocus(Qt::ActiveWindowFocusReason);
    }
    return answer;
}

bool DesktopServices::runFileDialog(QFileDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

void DesktopServices::showHelp(QWidget *owner)
{
    if (helpViewer)
        helpViewer(owner);
    else
        beep(); // no viewer: the request is not lost without a sign
}

config::Result<FileOutput::Saved> DesktopServices::writeFile(const QString &path,
                                                             const QByteArray &bytes)
{
    return writeFile(path, bytes, nullptr);
}

config::Result<FileOutput::Saved> DesktopServices::writeFile(const QString &path,
                                                             const QByteArray &bytes,
                                                             const FileOutput::Faults *faults)
{
    config::Result<FileOutput::Saved> saved = FileOutput::replaceFile(path, bytes, faults);
    // The save went through; what the new file could not keep of the old one is said here,
    // so that every caller tells it the same way.
    if (saved && !saved->warning.isEmpty())
        message(QApplication::activeWindow(), QMessageBox::Warning,
                QCoreApplication::translate("DesktopServices", "Merrow Editor"),
                QCoreApplication::translate("DesktopServices", "The file %1 was saved.\n\n%2")
                    .arg(QDir::toNativeSeparators(path), saved->warning),
                QMessageBox::Ok, QMessageBox::Ok);
    return saved;
}

DesktopServices &DesktopServices::instance()
{
    static DesktopServices real;
    return installed ? *installed : real;
}

void DesktopServices::setInstance(DesktopServices *services)
{
    installed = services;
}

void DesktopServices::setHelpViewer(HelpViewer viewer)
{
    helpViewer = std::move(viewer);
}
