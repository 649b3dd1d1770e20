#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <initializer_list>

class EditorDocument;
class QLineEdit;
class QPushButton;

// The common ground of the small windows that compose one class entry and append it to a
// code box of the main window. Such a window has no QWidget parent (a parent would be
// disabled together with the main window); it locks the main window itself while it is
// open and releases it however it closes, so the main window is never left disabled.
//
// A subclass builds its form, calls setUpButtons() and implements addClicked(). The
// owner creates it with new and calls open(); the window deletes itself on close.
class EntryDialog : public QWidget
{
    Q_OBJECT

public:
    // mainWindow: the window to lock. lockNames: objectNames of the main window's children
    // to disable besides "Items": the section switch(es), then the section's Add button.
    EntryDialog(QWidget *mainWindow, EditorDocument &document, QStringList lockNames);
    ~EntryDialog() override;

    // Centres and shows the window above the main window, then locks the main window.
    void open();

    // Greys a text box while it is switched off, as the main window does with its fields.
    static void showFieldEnabled(QLineEdit *field, bool enabled);
    // What an "Enabled" switch does to the optional field it governs: unticked, the field is
    // emptied (so a switched-off value is never written), disabled and greyed; ticked, it is
    // enabled again, still empty.
    static void applyEnabledSwitch(QLineEdit *field, bool ticked);

protected:
    // Call after setupUi: fixed at its form size, Esc presses `cancel`, Enter presses
    // nothing, labels and text boxes in their exact font size.
    void setUpButtons(QPushButton *add, QPushButton *cancel);
    // True when every field holds at least one character (blanks count). Otherwise beeps,
    // tells the user to fill the fields and returns false; the dialog stays as it is.
    bool requireFilled(std::initializer_list<const QLineEdit *> fields);
    EditorDocument &document() { return m_document; }
    // Closes (and so deletes) the window; the main window is released by the close.
    void finish();
    // The Add button: check, compose, append through document().appendCode(), finish().
    virtual void addClicked() = 0;

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void lockMainWindow();
    void releaseMainWindow();
    void setMainControlsEnabled(bool enabled);

    QPointer<QWidget> m_main;
    EditorDocument &m_document;
    QStringList m_lockNames;
    QPointer<QPushButton> m_cancel;
    bool m_locked = false;
};
