// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

// A window of the program's own beside the main window (its owner): the preview, the entry
// dialogs, the about box and the help window. It has no QWidget parent, since a child would
// be disabled along with the owner it locks, so this class gives it what a child dialog would
// have had:
// - it is transient for the owner in the window system, so a window manager keeps it above;
// - it is centred on the screen, or on the owner, with its frame on screen;
// - it closes when the owner goes away, and on Esc;
// - a locking window keeps the owner, and any further controls of the owner named to it,
//   disabled while it is open, is modal to the owner so that activating the owner hands the
//   input back to it, and when it closes, however it closes, gives the owner its input back
//   with the focus on the control that had it.
class SecondaryWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Locking { LocksOwner, LeavesOwnerFree };
    enum class Placement { ScreenCentre, OwnerCentre };

    SecondaryWindow(QWidget *owner, Qt::WindowFlags flags, Locking locking,
                    Placement placement = Placement::ScreenCentre);
    ~SecondaryWindow() override;

    // Controls of the owner held disabled while this window is open, besides the owner.
    void setLockedControls(const QList<QWidget *> &controls);
    // Places and shows the window above its owner, gives it the input and locks the owner.
    void open();

    QWidget *owner() const { return m_owner; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Esc closes the window, as its Close or Cancel button does.
    void keyPressEvent(QKeyEvent *event) override;
    // For a window of fields, switches and lists: an Enter that reaches the window from one of
    // them applies nothing (a default button would apply the whole window on a stray Enter);
    // on a button, the button takes it itself.
    void setEnterAppliesNothing(bool nothing) { m_enterAppliesNothing = nothing; }

private:
    void lockOwner();
    void releaseOwner();
    void handBackLater();

    QPointer<QWidget> m_owner;
    QList<QPointer<QWidget>> m_lockedControls;
    QPointer<QWidget> m_ownerFocus;
    Locking m_locking;
    Placement m_placement;
    bool m_locked = false;
    bool m_enterAppliesNothing = false;
    QMetaObject::Connection m_handBack;
    class OwnerClicks;
    std::unique_ptr<OwnerClicks> m_ownerClicks;
};
