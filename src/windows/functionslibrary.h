// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "missionclasses.h"
#include "secondarywindow.h"

#include <QList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace Ui {
class functionsLibrary;
}

// A function file the window offers to start from a template: where, and what it holds.
struct NewFunctionFile
{
    QString path; // absolute, with the system's separators
    QString text;
};

// The mission's functions (class CfgFunctions) as a tree of tags, categories and functions,
// with Add and Remove for each level and the chosen one's name and keys, each with its "set"
// switch and one line of help. Each function shows whether its file is in the mission folder
// (`missionFolder`, empty while the text came from no file). OK hands back the changed
// functions (functionsChosen), with the files of new functions the user agreed to create from
// a template, and closes, unless a name or value cannot be written, which it names instead;
// Esc and Cancel close without a change. What it cannot show is shown as written, read-only.
class functionsLibrary : public SecondaryWindow
{
    Q_OBJECT

public:
    functionsLibrary(QWidget *owner, const MissionFunctions &functions,
                     const QString &missionFolder);
    ~functionsLibrary() override;

    // The tree the window holds now, with the edits of the shown node.
    MissionFunctions shownFunctions() const;

Q_SIGNALS:
    void functionsChosen(const MissionFunctions &functions, const QList<NewFunctionFile> &files);

private:
    struct Field
    {
        QCheckBox *set = nullptr;
        QLineEdit *edit = nullptr;
    };
    // The node at `path` (tag, category, function indices); nullptr when there is none.
    FunctionNode *nodeAt(const QList<int> &path);
    QList<int> shownPath() const;
    void fillTree(const QList<int> &select);
    void showNode();
    void storeNode();
    void addNode(FunctionLevel level);
    void removeNode();
    // What the file state label says of the function at `path`, and whether its file is
    // missing from the mission folder or found there (neither when it cannot be looked for).
    QString fileState(const QList<int> &path, bool *missing = nullptr, bool *found = nullptr);
    // The function item's File column.
    void markFile(QTreeWidgetItem *item);
    QString fullName(const QList<int> &path);
    bool showProblem();
    void okButton_Click();

    std::unique_ptr<Ui::functionsLibrary> ui;
    MissionFunctions m_initial;
    QList<FunctionNode> m_tags;
    QString m_folder;
    std::function<bool(const QString &)> m_exists;
    bool m_showing = false;
    QList<int> m_shown;

    QTreeWidget *m_tree = nullptr;
    std::array<QPushButton *, FunctionLevelCount> m_add{};
    QPushButton *m_remove = nullptr;
    QLabel *m_note = nullptr;
    QLineEdit *m_name = nullptr;
    QLabel *m_fileState = nullptr;
    QPlainTextEdit *m_written = nullptr;
    QWidget *m_keys = nullptr; // the scrolling area of the keys
    std::array<QWidget *, FunctionLevelCount> m_forms{};
    std::array<std::vector<Field>, FunctionLevelCount> m_fields;
};
