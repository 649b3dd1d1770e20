// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "descriptionimport.h"
#include "editordocument.h"
#include "missionclasses.h"
#include "othersettings.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QAction;
struct NewFunctionFile;
class QFileDialog;
class openReport;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class KeyIndicators;
struct AddButton;

namespace Ui {
class Main;
}

// The main window: a view of the one EditorDocument of the run. Check boxes, text fields,
// code boxes and respawn options are bound to the document by objectName; user input goes
// to the document, the document's signals update the widgets, and each switch's rule then
// enables, disables and recolours the controls of its section.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window around a document in its design state and runs the start-up
    // sequence, so that the window is in its start state before it is first shown.
    explicit Main(QWidget *parent = nullptr);
    ~Main() override;

    EditorDocument &document() { return m_document; }
    const EditorDocument &document() const { return m_document; }

    // The Save As dialog the preview window borrows (made on first use); the main window
    // never opens it itself.
    QFileDialog *commonDialog() const;

    QTabWidget *items() const;

    // Menu commands, for whoever connects them.
    QAction *mnuOpen() const;
    QAction *mnuMissionSettings() const;
    QAction *mnuEndings() const;
    QAction *mnuFunctions() const;
    QAction *mnuRemoteExec() const;
    QAction *mnuCreate() const;
    QAction *mnuSave() const;
    QAction *mnuOpenReport() const;
    QAction *mnuMinimize() const;
    QAction *mnuExit() const;
    QAction *mnuHelpContents() const;
    QAction *mnuAbout() const;

    // Opens a description file into the form (File > Open, the command line, a drop). Only
    // while no other window locks this one; asks first when the form holds entries the user
    // made since start-up or the last opening. False when nothing was opened.
    bool openFile(const QString &path);

    // The commands of the menus and of the logo.
    void mnuOpen_Click();
    // Opens the Mission settings window on the Other text (File menu, Ctrl+E, and the Other
    // box's context menu); what it hands back is written into Other.
    void mnuMissionSettings_Click();
    // Opens the Endings and notifications window on the Other text (File menu, Ctrl+J); the
    // classes it hands back are written into Other.
    void mnuEndings_Click();
    // Opens the Functions window on the Other text (File menu, Ctrl+F), with the folder of the
    // opened file as the mission folder; what it hands back is written into Other.
    void mnuFunctions_Click();
    // Opens the Remote execution window on the Other text (File menu, Ctrl+Shift+R); the
    // sections it hands back are written into Other as the endings are (classesChosen).
    void mnuRemoteExec_Click();
    void mnuCreate_Click();
    // An opened file: the preview, whose Save writes the file in place. Otherwise Create.
    void mnuSave_Click();
    // Shows what opening the last file found (it opens by itself only when that matters).
    void mnuOpenReport_Click();
    void mnuMinimize_Click();
    void mnuExit_Click();
    void mnuHelpContents_Click();
    void mnuAbout_Click();
    void Picture1_DblClick();

Q_SIGNALS:
    // The logo on the page "On Load" was double-clicked.
    void logoDoubleClicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpWindow();
    void setUpStatusBar();
    void setUpCommonDialog() const;
    void bindSwitches();
    void bindFields();
    void bindCodeBoxes();
    void bindRespawnOptions();
    void fitPage(QWidget *page);
    // Connects the menu items, the logo and the Add buttons to what they open.
    void connectCommands();
    void showStatusNote(const QString &note);
    // After a save of an opened document: the saved file becomes its origin.
    void openedFileSaved(const QString &path, const QByteArray &bytes,
                         config::TextEncoding encoding);
    // Writes the settings the Mission settings window hands back into Other, switching it on.
    void missionSettingsChosen(const QList<MissionSetting> &changes);
    // Makes `text`, the Other text with a window's edits, the Other text, switching Other on
    // when it changes.
    void putIntoOther(const QString &text);
    // Writes the classes the Endings and notifications window or the Remote execution window
    // hands back into Other, switching it on.
    void classesChosen(const QList<MissionClass> &changed);
    // Writes the functions the Functions window hands back into Other, switching it on, and
    // creates the function files the user agreed to, none that exists already.
    void functionsChosen(const MissionFunctions &functions, const QList<NewFunctionFile> &files);
    // The Other box's own menu with "Mission Settings…" added.
    void otherContextMenu(const QPoint &position);
    // Opens the entry dialog of an Add button; its entry goes into the button's code boxes.
    void openEntry(const AddButton &button, QWidget *addButton);

    // Enables, disables and recolours the controls a switch governs, for its current value.
    void applyRule(Switch s);
    void setControlEnabled(QWidget *control, bool enabled);

    void document_switchChanged(Switch s, int value);
    void document_enabledChanged(Switch s, bool enabled);
    void document_textChanged(Field f);
    void document_codeChanged(CodeBox c);
    void document_codeAppended(CodeBox c, const QString &text);
    void document_respawnModeChanged(RespawnMode mode);

    QWidget *control(const char *name) const;
    // Tells on their controls which settings the opened file sets more than once or only under
    // a condition; the marks of the previous file go.
    void markControls(const ImportReport &report);
    QPlainTextEdit *codeEdit(CodeBox c) const;

    std::unique_ptr<Ui::Main> ui;
    // The form's controls by name, gathered in one walk over the form: the rules, bindings
    // and commands look up over a hundred names while the window is made.
    QHash<QString, QWidget *> m_controls;
    EditorDocument m_document;
    mutable std::unique_ptr<QFileDialog> m_commonDialog;
    // The controls each switch's rule enables and disables, from the rule tables.
    std::array<std::vector<QWidget *>, SwitchCount> m_governed;
    KeyIndicators *m_indicators = nullptr;
    // The form as start-up or the last opening left it: opening over anything else asks first.
    FormSnapshot m_baseline;
    // The last opened file's report: its window title and text.
    QString m_reportTitle;
    QString m_reportText;
    QPointer<openReport> m_report;
    // Controls marked by markControls(), with their own tooltips.
    QHash<QWidget *, QString> m_markedControls;
    mutable std::unique_ptr<QFileDialog> m_openDialog;
    // Set while the window itself writes into a code box, so that the write is not taken
    // for an edit by the user.
    bool m_writingCode = false;
};
