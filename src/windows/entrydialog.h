// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "secondarywindow.h"

#include <QPointer>
#include <QStringList>

#include <initializer_list>

class QLineEdit;
class QPushButton;

// The common ground of the small windows that compose one class entry for a code box of the
// main window. The dialog only composes: Add hands the entry back through entryComposed()
// and whoever opened the dialog decides where it goes. Locking the main window while the
// dialog is open, and handing it back however the dialog closes, is SecondaryWindow's.
//
// A subclass builds its form, calls setUpButtons() and implements addClicked(). The owner
// creates it with new, connects entryComposed() and calls open(); the window deletes itself
// on close.
class EntryDialog : public SecondaryWindow
{
    Q_OBJECT

public:
    explicit EntryDialog(QWidget *owner);

    // Greys a text box while it is switched off, as the main window does with its fields.
    static void showFieldEnabled(QLineEdit *field, bool enabled);
    // What an "Enabled" switch does to the optional field it governs: unticked, the field is
    // emptied (so a switched-off value is never written), disabled and greyed; ticked, it is
    // enabled again, still empty.
    static void applyEnabledSwitch(QLineEdit *field, bool ticked);

Q_SIGNALS:
    // The composed entry: one text for each code box the dialog fills, in the order its
    // owner knows; an empty text adds nothing to its box.
    void entryComposed(const QStringList &texts);

protected:
    // Call after setupUi: fixed at its form size, Esc presses `cancel`, Enter presses
    // nothing, labels and text boxes in their exact font size, fields of one line each.
    void setUpButtons(QPushButton *add, QPushButton *cancel);
    // True when every field holds at least one character (blanks count). Otherwise beeps,
    // tells the user to fill the fields and returns false; the dialog stays as it is.
    bool requireFilled(std::initializer_list<const QLineEdit *> fields);
    // Hands the entry back and closes (and so deletes) the window.
    void handBack(const QStringList &texts);
    // Closes the window; the main window is released by the close.
    void finish();
    // The Add button: check, compose, handBack().
    virtual void addClicked() = 0;

    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QPushButton> m_cancel;
};
