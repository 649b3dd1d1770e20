#pragma once

#include "secondarywindow.h"

#include <QPointer>
#include <QString>

#include <memory>

class QFileDialog;
class PreviewCheck;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class savePreview;
}

// Shows the text the Create command generated, lets the user touch it up and saves it as
// description.ext. It keeps the main window locked while it is open.
class savePreview : public SecondaryWindow
{
    Q_OBJECT

public:
    // `main` is disabled while the preview is shown; `dialog` is the main window's file
    // dialog, shared between saves so that it remembers the chosen file.
    savePreview(QWidget *main, QFileDialog *dialog, const QString &text);
    ~savePreview() override;

    // What the Create command calls: disables `main`, then opens a fresh preview holding
    // `text`. The window deletes itself when it closes.
    static savePreview *openWith(QWidget *main, QFileDialog *dialog, const QString &text);

    QPlainTextEdit *codePreview() const;
    QPushButton *saveAsButton() const;
    PreviewCheck *check() const { return m_check; }

    void saveAsButton_Click();

private:
    void setText(const QString &text);
    bool runSaveDialog(QString *path);
    bool confirmReplacedCharacters(qsizetype replaced);

    std::unique_ptr<Ui::savePreview> ui;
    QPointer<QFileDialog> m_dialog;
    PreviewCheck *m_check = nullptr;
};
