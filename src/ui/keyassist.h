// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>

class QCompleter;
class QPlainTextEdit;
class QStandardItemModel;

// Completion and key help in a text box that holds description.ext text: Ctrl+Space offers the
// keys that may stand where the cursor is (top-level keys at the top level, a known class's
// keys inside it), each with its type and one line of help; hovering over a known key shows its
// help, type, values and default. The knowledge is config's (classkeys.h); the context comes
// from a scan of the text before the cursor.
class KeyAssist : public QObject
{
    Q_OBJECT

public:
    // `root`: the class whose body the box holds ({"CfgSounds"} for the sounds box), empty for
    // a whole file or the Other box. The helper belongs to `edit`.
    static KeyAssist *install(QPlainTextEdit *edit, const QStringList &root = {});

    // Made on first use: a completer with its popup list in each of the main window's eight
    // boxes was a tenth of the work before the window showed, and most runs never complete.
    QCompleter *completer();
    // Offers the keys for the cursor's place (what Ctrl+Space does); false when none fits there.
    bool showCompletions();
    // The key help for the word at `pos` in the viewport's coordinates; empty when it is not a
    // known key standing where a key stands.
    QString helpAt(const QPoint &pos) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyAssist(QPlainTextEdit *edit, const QStringList &root);
    void insertCompletion(const QString &written);
    void followTyping();
    QString textBeforeCursor() const;
    bool popupVisible() const;

    QPlainTextEdit *m_edit;
    // Kept apart: events still reach the filter while the box is being destroyed, when it can
    // no longer be asked for its viewport.
    QWidget *m_viewport;
    QStringList m_root;
    QCompleter *m_completer = nullptr;
    QStandardItemModel *m_model = nullptr;
    qsizetype m_prefixStart = 0;
};
