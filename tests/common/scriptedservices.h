// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "desktopservices.h"

#include <QFileDialog>
#include <QList>
#include <QStringList>

#include <functional>

// Answers message boxes and the file dialog from a script instead of blocking, and
// records what the program asked. Installs itself for its lifetime.
class ScriptedServices : public DesktopServices
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    ScriptedServices() { DesktopServices::setInstance(this); }
    ~ScriptedServices() override { DesktopServices::setInstance(nullptr); }

    void beep() override { ++beeps; }
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        messages.append({icon, title, text, buttons, defaultButton});
        return answers.isEmpty() ? defaultButton : answers.takeFirst();
    }
    bool runFileDialog(QFileDialog &dialog) override
    {
        ++fileDialogs;
        lastDialogSelection = dialog.selectedFiles();
        if (fileAnswers.isEmpty())
            return false; // cancelled
        dialog.selectFile(fileAnswers.takeFirst());
        return true;
    }
    void showHelp(QWidget *) override { ++helpRequests; }
    config::Result<FileOutput::Saved> writeFile(const QString &path,
                                                const QByteArray &bytes) override
    {
        if (writeFailure.isEmpty())
            return DesktopServices::writeFile(path, bytes, diskFaults);
        return config::Result<FileOutput::Saved>::failure(writeFailure);
    }

    // Failures of the disk below the real file output (not owned; nullptr: none).
    const FileOutput::Faults *diskFaults = nullptr;
    int beeps = 0;
    int fileDialogs = 0;
    int helpRequests = 0;
    QList<Message> messages;
    QList<QMessageBox::StandardButton> answers; // consumed in order; default button when empty
    QStringList fileAnswers;                    // paths chosen in the file dialog; empty: cancel
    QStringList lastDialogSelection;            // what the dialog had selected when shown
    QString writeFailure;                       // non-empty: every write fails with this reason
};
