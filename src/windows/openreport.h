#pragma once

#include "secondarywindow.h"

class QPlainTextEdit;
class QPushButton;

// What opening a file did with it: a short report beside the main window, which stays usable.
// It says how many settings went into the form, how many sections into code boxes and how many
// blocks were kept in Other, and lists the reader's problems with their line numbers. Esc
// closes it, as it does the entry dialogs.
class openReport : public SecondaryWindow
{
    Q_OBJECT

public:
    openReport(QWidget *owner, const QString &title, const QString &text);

    QPlainTextEdit *reportText() const { return m_text; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPlainTextEdit *m_text;
    QPushButton *m_close;
};
