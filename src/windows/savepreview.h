// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "secondarywindow.h"
#include "textcodec.h"

#include <QPointer>
#include <QString>

#include <QTimer>

#include <memory>

class DocumentOrigin;
class changesWindow;

class QFileDialog;
class PreviewCheck;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class savePreview;
}

// Shows the text the Create command generated, lets the user touch it up and saves it as
// description.ext. It keeps the main window locked while it is open. For a document opened
// from a file it also says how many lines saving changes in that file, shows those changes on
// request, and saves in the file's own encoding and line ends.
class savePreview : public SecondaryWindow
{
    Q_OBJECT

public:
    // `main` is disabled while the preview is shown; `dialog` is the main window's file
    // dialog, shared between saves so that it remembers the chosen file.
    // `origin` is the file an opened document came from, or null.
    savePreview(QWidget *main, QFileDialog *dialog, const QString &text,
                std::shared_ptr<const DocumentOrigin> origin = {});

    // Create starts in the text box; Save (Ctrl+S) on the Save button of an opened file, so
    // that Enter or Ctrl+S once more writes it.
    enum class Start { InText, SaveInPlace };
    static constexpr Start SaveInPlace = Start::SaveInPlace;
    ~savePreview() override;

    // What the Create command calls: disables `main`, then opens a fresh preview holding
    // `text`. The window deletes itself when it closes.
    static savePreview *openWith(QWidget *main, QFileDialog *dialog, const QString &text,
                                 std::shared_ptr<const DocumentOrigin> origin = {},
                                 Start start = Start::InText);

    QPlainTextEdit *codePreview() const;
    QPushButton *saveAsButton() const;
    // Shown for a document opened from a file: writes it in place, without the file dialog.
    QPushButton *saveButton() const;
    // "Unchanged from mission/description.ext", "3 lines changed from ..."; shown only for an
    // opened document.
    QPushButton *changesStatus() const;
    PreviewCheck *check() const { return m_check; }

    // The text Save As writes: the text box's text, with the opened file's line ends.
    QString savedText() const;

    void saveAsButton_Click();
    // Asks first only when another program changed or removed the file since it was read.
    void saveButton_Click();
    // Opens the changes window (Ctrl+D, or a click on the changes line).
    void showChanges();

Q_SIGNALS:
    // A save succeeded: `bytes` are now in the file at `path`.
    void saved(const QString &path, const QByteArray &bytes, config::TextEncoding encoding);

private:
    void fitOnScreen(const QWidget *main);
    void setText(const QString &text);
    void updateChanges();
    bool runSaveDialog(QString *path);
    bool confirmReplacedCharacters(qsizetype replaced);
    bool confirmChangedOnDisk();
    // Encodes the text to save and writes it to `path`; closes the window when it is saved.
    void saveTo(const QString &path);

    std::unique_ptr<Ui::savePreview> ui;
    QPointer<QFileDialog> m_dialog;
    PreviewCheck *m_check = nullptr;
    std::shared_ptr<const DocumentOrigin> m_origin;
    // The generated text with the opened file's line ends, which the text box cannot hold.
    QString m_generated;
    // Whether the user touched the text box since it was filled.
    bool m_edited = false;
    QTimer m_changesPause;
    // One changes window at a time: asking again shows the changes as they are now.
    QPointer<changesWindow> m_changes;
};
