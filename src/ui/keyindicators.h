// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <array>
#include <memory>

class QLabel;
class LockLamps;

// Drives the NUM, CAPS and INS panels of a status bar. It watches every key event of the
// application; NUM and CAPS are read from the X server where it can, otherwise they start
// dimmed and follow Num Lock and Caps Lock presses. INS starts dimmed and toggles on each
// press of Insert.
class KeyIndicators : public QObject
{
    Q_OBJECT

public:
    enum Indicator { NumLock, CapsLock, Insert };

    // The labels are not owned; they must outlive this object or be destroyed with its
    // parent.
    KeyIndicators(QLabel *num, QLabel *caps, QLabel *ins, QObject *parent = nullptr);
    ~KeyIndicators() override;

    bool isActive(Indicator indicator) const { return m_active[indicator]; }
    // Whether NUM and CAPS come from the keyboard itself rather than from counted presses.
    bool readsKeyboardState() const { return m_lamps != nullptr; }

    // Reads the keyboard lamps again (where they can be read) and repaints the panels.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyPressed(int key);
    void setActive(Indicator indicator, bool active);

    std::array<QLabel *, 3> m_labels;
    std::array<bool, 3> m_active{};
    std::unique_ptr<LockLamps> m_lamps;
};
