// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "documentvalues.h"
#include "generator.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

class DocumentOrigin;

// Everything the editor knows about the description being edited: the values the main
// window edits (DocumentValues), the fragment slots the Create command fills and the last
// generated text. It needs no window; the main window is a view of it and listens to its
// signals. The generator reads only the values, so the document can ask it for fragments.
class EditorDocument : public QObject, public DocumentValues
{
    Q_OBJECT

public:
    // A document in its design state: every switch checked, "NONE" selected, the start
    // texts in the fields, every slot empty. applyStartUp() turns it into the start state.
    explicit EditorDocument(QObject *parent = nullptr);

    // Back to the design state (signals are emitted for everything that changes); forgets the
    // file the document was opened from.
    void resetToDesignState();
    // The start-up sequence: unchecks the sixteen switches in their fixed order, each
    // through setSwitch() so that every rule and signal runs, and empties the respawn
    // dialog slot. Called once before the main window is first shown.
    void applyStartUp();

    // Sets a switch (0 or 1) and runs its value-level rule: the respawnActive cascade,
    // the emptying of an OnLoad string, the rewrite of an accessory slot. Setting the value
    // a switch already has does nothing.
    void setSwitch(Switch s, int value);

    // Only the four switches that follow respawnActive have an enabled flag to set.
    void setEnabled(Switch s, bool enabled);

    void setText(Field f, const QString &text);

    void setCode(CodeBox c, const QString &text);
    // The box's text becomes its old text directly followed by `text`.
    void appendCode(CodeBox c, const QString &text);

    void setRespawnMode(RespawnMode mode);

    // The file the document was opened from; Create then writes that file again with only the
    // user's changes (see DocumentOrigin). Null for a document that was never opened.
    const std::shared_ptr<const DocumentOrigin> &origin() const { return m_origin; }
    void setOrigin(std::shared_ptr<const DocumentOrigin> origin);

    const QString &fragment(Fragment f) const { return m_fragments[std::size_t(f)]; }
    const QString &generatedText() const { return m_generatedText; }

    // The generation steps of the Create command: compute every fragment from the current
    // values, store each in its slot and the joined text in generatedText(). An opened
    // document's text is its file with the changes made since (see DocumentOrigin::render).
    const QString &create();

Q_SIGNALS:
    void switchChanged(Switch s, int value);
    void enabledChanged(Switch s, bool enabled);
    void textChanged(Field f);
    // The whole text of a box was replaced.
    void codeChanged(CodeBox c);
    // `text` was added at the end of the box (a view can insert just that).
    void codeAppended(CodeBox c, const QString &text);
    void respawnModeChanged(RespawnMode mode);

private:
    std::array<QString, FragmentCount> m_fragments;
    QString m_generatedText;
    std::shared_ptr<const DocumentOrigin> m_origin;
};
