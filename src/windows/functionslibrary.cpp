// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "functionslibrary.h"

#include "ui_functionslibrary.h"

#include "desktopservices.h"
#include "missionfiles.h"
#include "systemcolours.h"
#include "windowplacement.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The prefix of a level's control names: tagTag, categoryFile, functionPreInit.
QString prefixOf(FunctionLevel level)
{
    static const char *const Prefixes[FunctionLevelCount] = {"tag", "category", "function"};
    return QString::fromLatin1(Prefixes[int(level)]);
}

QString controlName(FunctionLevel level, const char *key)
{
    QString name = QString::fromLatin1(key);
    name[0] = name[0].toUpper();
    return prefixOf(level) + name;
}

QList<int> pathOf(QTreeWidgetItem *item)
{
    QList<int> path;
    for (; item; item = item->parent())
        path.prepend(item->parent() ? item->parent()->indexOfChild(item)
                                    : item->treeWidget()->indexOfTopLevelItem(item));
    return path;
}

// Why a typed value cannot be written, or empty: the switches take 0 or 1, the header type
// -1, 0 or 1, the extension .sqf or .fsm, as the documentation lists them.
QString problemOf(const char *key, const QString &typed)
{
    const QString k = QLatin1StringView(key);
    if (k == u"headerType")
        return typed == u"-1" || typed == u"0" || typed == u"1"
                   ? QString()
                   : QStringLiteral("is not -1, 0 or 1");
    if (k == u"ext")
        return typed == u".sqf" || typed == u".fsm" ? QString()
                                                    : QStringLiteral("is not .sqf or .fsm");
    if (k == u"preInit" || k == u"postInit" || k == u"preStart" || k == u"recompile")
        return typed == u"0" || typed == u"1" ? QString() : QStringLiteral("is not 0 or 1");
    return {};
}

// Where `file` (backslashes, relative to `folder`) goes: into the folders the mission has
// whatever their case, as the game finds them, new ones as written.
QString inFolder(const QString &folder, const QString &file)
{
    QString path = QDir::cleanPath(folder);
    for (const QString &part : file.split(u'\\', Qt::SkipEmptyParts)) {
        const QString found = config::entryInFolder(path, part);
        path = found.isEmpty() ? path + u'/' + part : found;
    }
    return path;
}

bool addonPath(const QString &path)
{
    return path.startsWith(u'\\') || path.startsWith(u'/') || path.startsWith(u'@');
}

} // namespace

functionsLibrary::functionsLibrary(QWidget *owner, const MissionFunctions &functions,
                                   const QString &missionFolder)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LocksOwner,
                      Placement::OwnerCentre),
      ui(std::make_unique<Ui::functionsLibrary>()), m_initial(functions), m_tags(functions.tags),
      m_folder(missionFolder)
{
    ui->setupUi(this);
    setEnterAppliesNothing(true);
    SystemColours::makeDisabledTextLegible(this);
    if (!m_folder.isEmpty())
        m_exists = config::missionFileLookup(m_folder);

    auto *side = new QVBoxLayout;
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("functionsTree"));
    m_tree->setAccessibleName(tr("Functions"));
    m_tree->setHeaderLabels({tr("Class"), tr("File")});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    side->addWidget(m_tree, 1);
    auto *buttons = new QHBoxLayout;
    for (int level = 0; level < FunctionLevelCount; ++level) {
        const FunctionLevelTable &table = functionLevelTable(FunctionLevel(level));
        m_add[level] = new QPushButton(tr("Add %1").arg(QLatin1StringView(table.title)), this);
        m_add[level]->setObjectName(QStringLiteral("functionsAdd") +
                                    QLatin1StringView(table.title));
        buttons->addWidget(m_add[level]);
        connect(m_add[level], &QPushButton::clicked, this,
                [this, level] { addNode(FunctionLevel(level)); });
    }
    m_remove = new QPushButton(tr("Remove"), this);
    m_remove->setObjectName(QStringLiteral("functionsRemove"));
    buttons->addWidget(m_remove);
    side->addLayout(buttons);
    ui->functionsLayout->addLayout(side, 1);

    auto *right = new QVBoxLayout;
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("functionsNote"));
    m_note->setWordWrap(true);
    right->addWidget(m_note);
    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(tr("class"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("functionsName"));
    m_name->setAccessibleName(tr("class name"));
    m_name->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")), m_name));
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    right->addLayout(nameRow);
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, SystemColours::workspaceGrey(secondary));
    // The keys scroll when the window is too low for all of them with their help lines, rather
    // than squeezing the lines into each other.
    auto *keys = new QWidget;
    auto *keysLayout = new QVBoxLayout(keys);
    keysLayout->setContentsMargins(0, 0, 0, 0);
    auto *keysArea = new QScrollArea(this);
    m_keys = keysArea;
    keysArea->setObjectName(QStringLiteral("functionsKeys"));
    keysArea->setFrameShape(QFrame::NoFrame);
    keysArea->setWidgetResizable(true);
    keysArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int level = 0; level < FunctionLevelCount; ++level) {
        const FunctionLevel l = FunctionLevel(level);
        auto *form = new QWidget(keys);
        form->setObjectName(prefixOf(l) + QStringLiteral("Form"));
        auto *grid = new QGridLayout(form);
        grid->setContentsMargins(0, 0, 0, 0);
        int line = 0;
        for (const ClassAttribute &a : functionLevelTable(l).attributes) {
            const QString name = controlName(l, a.key);
            Field field;
            auto *label = new QLabel(QLatin1StringView(a.key), form);
            field.set = new QCheckBox(tr("set"), form);
            field.set->setObjectName(name + QStringLiteral("Set"));
            field.set->setAccessibleName(tr("set %1").arg(QLatin1StringView(a.key)));
            field.edit = new QLineEdit(form);
            field.edit->setObjectName(name);
            field.edit->setAccessibleName(QLatin1StringView(a.key));
            field.edit->setToolTip(QString::fromLatin1(a.help));
            auto *help = new QLabel(QString::fromLatin1(a.help), form);
            help->setPalette(secondary);
            help->setWordWrap(true);
            grid->addWidget(label, line, 0);
            grid->addWidget(field.set, line, 1);
            grid->addWidget(field.edit, line, 2);
            grid->addWidget(help, line + 1, 2);
            line += 2;
            connect(field.set, &QCheckBox::toggled, this, &functionsLibrary::storeNode);
            connect(field.edit, &QLineEdit::textEdited, this, &functionsLibrary::storeNode);
            m_fields[level].push_back(field);
        }
        grid->setColumnStretch(2, 1);
        keysLayout->addWidget(form);
        m_forms[level] = form;
    }
    keysLayout->addStretch();
    keysArea->setWidget(keys);
    right->addWidget(keysArea, 1);
    m_fileState = new QLabel(this);
    m_fileState->setObjectName(QStringLiteral("functionFileState"));
    m_fileState->setWordWrap(true);
    m_fileState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    right->addWidget(m_fileState);
    m_written = new QPlainTextEdit(this);
    m_written->setObjectName(QStringLiteral("functionsWritten"));
    m_written->setReadOnly(true);
    m_written->setAccessibleName(tr("as written"));
    m_written->setTabStopDistance(fontMetrics().horizontalAdvance(u' ') * 4);
    right->addWidget(m_written, 1);
    right->addStretch();
    ui->functionsLayout->addLayout(right, 2);

    // Enter on a button presses that button; elsewhere it does nothing (the base's keys).
    for (QPushButton *button : {ui->okButton, ui->cancelButton})
        button->setAutoDefault(true);
    ui->buttonLayout->setStretchFactor(ui->problemLabel, 1);
    connect(ui->okButton, &QPushButton::clicked, this, &functionsLibrary::okButton_Click);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &functionsLibrary::showNode);
    connect(m_remove, &QPushButton::clicked, this, &functionsLibrary::removeNode);
    connect(m_name, &QLineEdit::textEdited, this, &functionsLibrary::storeNode);

    if (m_initial.readOnly) {
        m_note->setText(m_initial.why + tr(" The window shows nothing to edit; edit it in Other."));
        for (QPushButton *b : m_add)
            b->setEnabled(false);
    }
    fillTree(m_tags.isEmpty() ? QList<int>{} : QList<int>{0});
    resize(WindowPlacement::fitOnScreen(this, owner, sizeHint().expandedTo({760, 520})));
    m_tree->setFocus();
}

functionsLibrary::~functionsLibrary() = default;

FunctionNode *functionsLibrary::nodeAt(const QList<int> &path)
{
    QList<FunctionNode> *level = &m_tags;
    FunctionNode *node = nullptr;
    for (int i : path) {
        if (i < 0 || i >= level->size())
            return nullptr;
        node = &(*level)[i];
        level = &node->children;
    }
    return node;
}

QList<int> functionsLibrary::shownPath() const
{
    return m_shown;
}

QString functionsLibrary::fullName(const QList<int> &path)
{
    const FunctionNode *tag = nodeAt(path.mid(0, 1));
    const FunctionNode *function = nodeAt(path);
    if (!tag || !function)
        return {};
    const AttributeValue &own = tag->entry.values.value(0);
    const QString prefix = own.set && !own.readOnly ? own.value : tag->entry.name;
    return prefix + QStringLiteral("_fnc_") + function->entry.name;
}

QString functionsLibrary::fileState(const QList<int> &path, bool *missing, bool *found)
{
    if (missing)
        *missing = false;
    if (found)
        *found = false;
    const FunctionNode *category = nodeAt(path.mid(0, 2));
    const FunctionNode *function = nodeAt(path);
    if (path.size() != 3 || !category || !function)
        return {};
    const QString file = functionFilePath(*category, *function);
    if (file.isEmpty())
        return tr("written in a way the editor cannot follow");
    if (addonPath(file))
        return tr("%1: an addon's file, not looked for").arg(file);
    if (!m_exists)
        return tr("%1: can't be checked until the mission is opened from a file").arg(file);
    if (file.contains(QStringLiteral("..")))
        return tr("%1: outside the mission folder").arg(file);
    if (m_exists(file)) {
        if (found)
            *found = true;
        return tr("%1: in the mission folder").arg(file);
    }
    if (missing)
        *missing = true;
    return tr("%1: not in the mission folder").arg(file);
}

void functionsLibrary::markFile(QTreeWidgetItem *item)
{
    bool missing = false, found = false;
    item->setToolTip(1, fileState(pathOf(item), &missing, &found));
    item->setText(1, missing ? tr("missing") : found ? tr("found") : tr("not checked"));
}

void functionsLibrary::fillTree(const QList<int> &select)
{
    m_showing = true;
    m_tree->clear();
    const std::function<void(QTreeWidgetItem *, const QList<FunctionNode> &, QList<int>)> add =
        [&](QTreeWidgetItem *parent, const QList<FunctionNode> &nodes, QList<int> path) {
            for (qsizetype i = 0; i < nodes.size(); ++i) {
                const FunctionNode &node = nodes[i];
                auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
                item->setText(0, node.entry.readOnly ? tr("%1 (as written)").arg(node.entry.name)
                                                     : node.entry.name);
                QList<int> here = path;
                here << int(i);
                if (here.size() == 3)
                    markFile(item);
                add(item, node.children, here);
            }
        };
    add(nullptr, m_tags, {});
    m_tree->expandAll();
    QTreeWidgetItem *item = nullptr;
    for (int i : select) {
        QTreeWidgetItem *next = item ? item->child(i) : m_tree->topLevelItem(i);
        if (!next)
            break;
        item = next;
    }
    m_showing = false;
    m_tree->setCurrentItem(item);
    showNode();
}

void functionsLibrary::showNode()
{
    if (m_showing)
        return;
    m_showing = true;
    m_shown = pathOf(m_tree->currentItem());
    const FunctionNode *node = nodeAt(m_shown);
    const int depth = int(m_shown.size()) - 1;
    const bool editable = node && !node->entry.readOnly && !m_initial.readOnly;
    m_remove->setEnabled(node && !m_initial.readOnly);
    if (!m_initial.readOnly) {
        // A category needs a tag to go into, a function a category.
        m_add[1]->setEnabled(node && (depth >= 1 || editable));
        m_add[2]->setEnabled(node && depth >= 1 && (depth == 2 || editable));
        m_note->setText(!node ? tr("None yet: Add Tag makes one.")
                        : node->entry.readOnly
                            ? tr("Written in a way this window cannot show (inheritance, #if, "
                                 "a declaration without a body or a class inside a function); "
                                 "it stays as written, and Remove takes it out.")
                            : QString());
    }
    m_name->setText(node ? node->entry.name : QString());
    m_name->setEnabled(editable);
    m_written->setVisible(node && node->entry.readOnly);
    m_keys->setVisible(!(node && node->entry.readOnly));
    m_written->setPlainText(node ? node->entry.written : QString());
    for (int level = 0; level < FunctionLevelCount; ++level) {
        const bool shown = node && level == depth;
        m_forms[level]->setVisible(shown);
        m_forms[level]->setEnabled(editable);
        for (std::size_t i = 0; i < m_fields[level].size(); ++i) {
            const Field &field = m_fields[level][i];
            const AttributeValue value =
                shown ? node->entry.values.value(qsizetype(i)) : AttributeValue{};
            field.set->setChecked(value.set);
            field.set->setEnabled(!value.readOnly);
            field.edit->setText(value.readOnly ? value.written : value.value);
            field.edit->setReadOnly(value.readOnly);
            field.edit->setEnabled(value.set);
        }
    }
    m_fileState->setVisible(node && depth == 2);
    m_fileState->setText(node && depth == 2
                             ? tr("%1, from %2").arg(fullName(m_shown), fileState(m_shown))
                             : QString());
    m_showing = false;
}

void functionsLibrary::storeNode()
{
    if (m_showing)
        return;
    FunctionNode *node = nodeAt(m_shown);
    if (!node || node->entry.readOnly || m_initial.readOnly)
        return;
    const int depth = int(m_shown.size()) - 1;
    node->entry.name = m_name->text();
    for (std::size_t i = 0; i < m_fields[depth].size(); ++i) {
        const Field &field = m_fields[depth][i];
        field.edit->setEnabled(field.set->isChecked());
        AttributeValue &value = node->entry.values[qsizetype(i)];
        if (value.readOnly)
            continue;
        value = {};
        value.set = field.set->isChecked();
        if (value.set) {
            const AttributeType type = functionLevelTable(FunctionLevel(depth)).attributes[i].type;
            value.value =
                type == AttributeType::Number ? field.edit->text().trimmed() : field.edit->text();
        }
    }
    QTreeWidgetItem *item = m_tree->currentItem();
    item->setText(0, node->entry.name);
    // The file follows the name, the folder and the extension: of the category's functions
    // too.
    const QList<QTreeWidgetItem *> functions =
        depth == 2 ? QList<QTreeWidgetItem *>{item}
        : depth == 1 ? [item] {
              QList<QTreeWidgetItem *> all;
              for (int i = 0; i < item->childCount(); ++i)
                  all << item->child(i);
              return all;
          }()
                     : QList<QTreeWidgetItem *>{};
    for (QTreeWidgetItem *f : functions)
        markFile(f);
    if (depth == 2)
        m_fileState->setText(tr("%1, from %2").arg(fullName(m_shown), fileState(m_shown)));
}

void functionsLibrary::addNode(FunctionLevel level)
{
    QList<int> parent = m_shown.mid(0, int(level));
    if (parent.size() != int(level))
        return;
    QList<FunctionNode> *siblings = &m_tags;
    if (level != FunctionLevel::Tag) {
        FunctionNode *p = nodeAt(parent);
        if (!p || p->entry.readOnly)
            return;
        siblings = &p->children;
    }
    const FunctionLevelTable &table = functionLevelTable(level);
    QString name;
    for (int n = 1; name.isEmpty(); ++n) {
        name = QLatin1StringView(table.entryName) + QString::number(n);
        for (const FunctionNode &e : *siblings) {
            if (e.entry.name.compare(name, Qt::CaseInsensitive) == 0)
                name.clear();
        }
    }
    siblings->append(newFunctionNode(level, name));
    fillTree(parent << int(siblings->size() - 1));
    m_name->setFocus();
    m_name->selectAll();
}

void functionsLibrary::removeNode()
{
    const QList<int> path = m_shown;
    if (!nodeAt(path))
        return;
    QList<FunctionNode> *siblings =
        path.size() == 1 ? &m_tags : &nodeAt(path.mid(0, path.size() - 1))->children;
    siblings->removeAt(path.last());
    QList<int> select = path;
    if (siblings->isEmpty())
        select.removeLast();
    else
        select.last() = std::min(path.last(), int(siblings->size() - 1));
    fillTree(select);
    m_tree->setFocus();
}

MissionFunctions functionsLibrary::shownFunctions() const
{
    MissionFunctions f = m_initial;
    f.tags = m_tags;
    return f;
}

bool functionsLibrary::showProblem()
{
    QString problem;
    QWidget *at = m_name;
    QList<int> where;
    const std::function<void(const QList<FunctionNode> &, QList<int>)> check =
        [&](const QList<FunctionNode> &nodes, QList<int> path) {
            const int depth = int(path.size());
            const auto attributes = functionLevelTable(FunctionLevel(depth)).attributes;
            for (qsizetype row = 0; row < nodes.size() && problem.isEmpty(); ++row) {
                const ClassEntry &entry = nodes[row].entry;
                where = path;
                where << int(row);
                if (entry.readOnly)
                    continue;
                at = m_name;
                if (entry.name.isEmpty())
                    problem = tr("A class needs a name.");
                for (qsizetype other = 0; other < nodes.size() && problem.isEmpty(); ++other) {
                    if (other != row &&
                        nodes[other].entry.name.compare(entry.name, Qt::CaseInsensitive) == 0)
                        problem = tr("Two classes are named %1.").arg(entry.name);
                }
                for (std::size_t i = 0; i < attributes.size() && problem.isEmpty(); ++i) {
                    const AttributeValue &value = entry.values.value(qsizetype(i));
                    if (!value.set || value.readOnly)
                        continue;
                    const QString why = problemOf(attributes[i].key, value.value);
                    if (!why.isEmpty()) {
                        problem = QStringLiteral("%1: %2 %3.")
                                      .arg(entry.name, QLatin1StringView(attributes[i].key), why);
                        at = m_fields[depth][i].edit;
                    }
                }
                if (problem.isEmpty() && depth < 2)
                    check(nodes[row].children, where);
            }
        };
    check(m_tags, {});
    if (problem.isEmpty()) {
        ui->problemLabel->clear();
        return false;
    }
    ui->problemLabel->setText(problem);
    fillTree(where);
    at->setFocus();
    DesktopServices::instance().beep();
    return true;
}

void functionsLibrary::okButton_Click()
{
    // The second click of a double-click may arrive after the first closed the window.
    if (!isVisible() || showProblem())
        return;
    if (m_tags == m_initial.tags) {
        close();
        return;
    }
    // The files of new functions that the mission folder lacks, offered once for all.
    QList<NewFunctionFile> files;
    QStringList shown;
    for (int t = 0; t < m_tags.size(); ++t) {
        for (int c = 0; c < m_tags[t].children.size(); ++c) {
            const FunctionNode &category = m_tags[t].children[c];
            for (int f = 0; f < category.children.size(); ++f) {
                const FunctionNode &function = category.children[f];
                const QList<int> path{t, c, f};
                bool missing = false;
                fileState(path, &missing);
                if (function.entry.origin >= 0 || !missing)
                    continue;
                const QString file = functionFilePath(category, function);
                const QString name = fullName(path);
                files.append(
                    {inFolder(m_folder, file),
                     QStringLiteral("// %1\r\n// Called as: [] call %1;\r\n\r\nparams [];\r\n")
                         .arg(name)});
                shown << file;
            }
        }
    }
    if (!files.isEmpty() &&
        DesktopServices::instance().message(
            this, QMessageBox::Question, windowTitle(),
            tr("Create the files of the new functions from a template?\n\n%1\n\nExisting files "
               "are never replaced.")
                .arg(shown.join(u'\n')),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        files.clear();
    Q_EMIT functionsChosen(shownFunctions(), files);
    close();
}
