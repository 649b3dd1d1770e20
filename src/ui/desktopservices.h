// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "fileoutput.h"

#include <QByteArray>
#include <QMessageBox>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

// The one door through which the program beeps, asks, warns, shows its file dialog, opens
// help and writes files. Tests install their own instance to answer without blocking and
// to simulate failing disks.
class DesktopServices
{
public:
    virtual ~DesktopServices();

    virtual void beep();
    // A modal message box; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
    // Runs the (already configured) file dialog; true when the user chose a file.
    virtual bool runFileDialog(QFileDialog &dialog);
    // Opens the help file for `owner`, with the viewer the program installed (the help
    // window belongs to a layer above this one).
    virtual void showHelp(QWidget *owner);
    // Writes `bytes` to `path`, replacing the file only once everything is written, or says
    // why not in words a user can read. A file saved without all of the old one's extended
    // attributes is reported through message().
    virtual config::Result<FileOutput::Saved> writeFile(const QString &path,
                                                        const QByteArray &bytes);

    static DesktopServices &instance();
    // Installs a replacement (tests); nullptr restores the real one. Not owned.
    static void setInstance(DesktopServices *services);
    // What showHelp() of the real instance calls.
    using HelpViewer = std::function<void(QWidget *owner)>;
    static void setHelpViewer(HelpViewer viewer);

protected:
    // writeFile() on a disk that fails as `faults` says (tests; nullptr: the real disk).
    config::Result<FileOutput::Saved> writeFile(const QString &path, const QByteArray &bytes,
                                                const FileOutput::Faults *faults);
};
