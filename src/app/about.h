// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "secondarywindow.h"

#include <memory>

class QLabel;

namespace Ui {
class about;
}

// The borderless about box. It keeps the main window disabled while it is open and goes
// away when its picture is clicked, or from the keyboard with Esc, Enter or Space, or when the
// window system closes it (Alt+F4): a box that locks the main window must never trap a user
// without a mouse.
class about : public SecondaryWindow
{
    Q_OBJECT

public:
    explicit about(QWidget *main);
    ~about() override;

    // What About and the double-click on the logo call: disables `main` and opens a fresh
    // about box, which deletes itself when it closes.
    static about *openFor(QWidget *main);

    QLabel *Picture1() const;
    QLabel *Label1() const;

    void Picture1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::about> ui;
    bool m_pressedOnPicture = false;
};
