// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "remoteexecution.h"

#include "ui_remoteexecution.h"

#include "desktopservices.h"
#include "systemcolours.h"
#include "windowplacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The prefix of a control's name: functionsMode for a section's key, functionJip for an
// entry's.
QString controlName(const char *prefix, const char *key)
{
    QString name = QString::fromLatin1(key);
    name[0] = name[0].toUpper();
    return QString::fromLatin1(prefix).toLower() + name;
}

QString sectionPrefix(ClassKind kind)
{
    return QString::fromLatin1(classTable(kind).className).toLower();
}

QString entryPrefix(ClassKind kind)
{
    return QString::fromLatin1(classTable(kind).entryName).toLower();
}

} // namespace

remoteExecution::remoteExecution(QWidget *owner, const QList<MissionClass> &sections)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LocksOwner,
                      Placement::OwnerCentre),
      ui(std::make_unique<Ui::remoteExecution>())
{
    ui->setupUi(this);
    setEnterAppliesNothing(true);
    SystemColours::makeDisabledTextLegible(this);
    for (int i = 0; i < SectionCount; ++i) {
        Page &page = m_pages[std::size_t(i)];
        const auto kind = ClassKind(EndingKindCount + i);
        page.initial.kind = kind;
        page.initial.values = unsetValues(kind);
        for (const MissionClass &c : sections) {
            if (c.kind == kind)
                page.initial = c;
        }
        page.shown = page.initial;
        buildPage(page, i == 0 ? ui->functionsTab : ui->commandsTab);
    }
    // Enter on a button presses that button; elsewhere it does nothing (keyPressEvent).
    for (QPushButton *button : {ui->okButton, ui->cancelButton})
        button->setAutoDefault(true);
    ui->buttonLayout->setStretchFactor(ui->problemLabel, 1);
    connect(ui->okButton, &QPushButton::clicked, this, &remoteExecution::okButton_Click);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
    resize(WindowPlacement::fitOnScreen(this, owner, sizeHint().expandedTo(size())));
    m_pages[0].list->setFocus();
}

remoteExecution::~remoteExecution() = default;

remoteExecution::Field remoteExecution::makeField(QWidget *parent, QGridLayout *grid, int line,
                                                  const QString &name, const ClassAttribute &a)
{
    Field field;
    auto *label = new QLabel(QLatin1StringView(a.key), parent);
    field.set = new QCheckBox(tr("set"), parent);
    field.set->setObjectName(name + QStringLiteral("Set"));
    field.set->setAccessibleName(tr("set %1").arg(QLatin1StringView(a.key)));
    QWidget *control = nullptr;
    if (a.type == AttributeType::Choice) {
        field.choice = new QComboBox(parent);
        field.choice->addItems(QString::fromLatin1(a.choices).split(u'|'));
        control = field.choice;
    } else {
        field.on = new QCheckBox(tr("yes"), parent);
        control = field.on;
    }
    control->setObjectName(name);
    control->setAccessibleName(QLatin1StringView(a.key));
    control->setToolTip(QString::fromLatin1(a.help));
    label->setBuddy(control);
    field.help = new QLabel(QString::fromLatin1(a.help), parent);
    field.help->setObjectName(name + QStringLiteral("Help"));
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, SystemColours::workspaceGrey(secondary));
    field.help->setPalette(secondary);
    field.help->setWordWrap(true);
    grid->addWidget(label, line, 0);
    grid->addWidget(field.set, line, 1);
    grid->addWidget(control, line, 2);
    grid->addWidget(field.help, line + 1, 2);
    return field;
}

void remoteExecution::buildPage(Page &page, QWidget *tab)
{
    const ClassKind kind = page.initial.kind;
    const ClassTable &table = classTable(kind);
    const QString section = sectionPrefix(kind), entry = entryPrefix(kind);
    auto *layout = qobject_cast<QVBoxLayout *>(tab->layout());

    page.sectionNote = new QLabel(tab);
    page.sectionNote->setObjectName(section + QStringLiteral("Note"));
    page.sectionNote->setWordWrap(true);
    layout->addWidget(page.sectionNote);
    page.sectionForm = new QWidget(tab);
    auto *sectionGrid = new QGridLayout(page.sectionForm);
    sectionGrid->setContentsMargins(0, 0, 0, 0);
    int line = 0;
    for (const ClassAttribute &a : table.ownAttributes) {
        page.sectionFields.push_back(
            makeField(page.sectionForm, sectionGrid, line, controlName(table.className, a.key), a));
        line += 2;
    }
    sectionGrid->setColumnStretch(2, 1);
    layout->addWidget(page.sectionForm);

    auto *lower = new QHBoxLayout;
    auto *side = new QVBoxLayout;
    page.list = new QListWidget(tab);
    page.list->setObjectName(section + QStringLiteral("List"));
    page.list->setAccessibleName(QString::fromLatin1(table.title));
    page.list->setMaximumWidth(fontMetrics().averageCharWidth() * 32);
    for (const ClassEntry &e : page.shown.entries)
        page.list->addItem(e.readOnly ? tr("%1 (as written)").arg(e.name) : e.name);
    side->addWidget(page.list, 1);
    auto *buttons = new QHBoxLayout;
    page.add = new QPushButton(tr("Add"), tab);
    page.add->setObjectName(section + QStringLiteral("Add"));
    page.remove = new QPushButton(tr("Remove"), tab);
    page.remove->setObjectName(section + QStringLiteral("Remove"));
    for (QPushButton *b : {page.add, page.remove}) {
        b->setAutoDefault(true);
        buttons->addWidget(b);
    }
    side->addLayout(buttons);
    lower->addLayout(side);

    auto *right = new QVBoxLayout;
    page.note = new QLabel(tab);
    page.note->setObjectName(entry + QStringLiteral("Note"));
    page.note->setWordWrap(true);
    right->addWidget(page.note);
    page.form = new QWidget(tab);
    auto *grid = new QGridLayout(page.form);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *nameLabel = new QLabel(tr("class"), page.form);
    page.name = new QLineEdit(page.form);
    page.name->setObjectName(entry + QStringLiteral("Name"));
    page.name->setAccessibleName(tr("class name"));
    page.name->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")), page.name));
    page.name->setToolTip(kind == ClassKind::RemoteFunctions
                              ? tr("The function's name, such as BIS_fnc_showSubtitle.")
                              : tr("The command's name, such as setDir."));
    nameLabel->setBuddy(page.name);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(page.name, 0, 2);
    line = 1;
    for (const ClassAttribute &a : table.attributes) {
        page.fields.push_back(
            makeField(page.form, grid, line, controlName(table.entryName, a.key), a));
        line += 2;
    }
    grid->setColumnStretch(2, 1);
    right->addWidget(page.form);
    page.written = new QPlainTextEdit(tab);
    page.written->setObjectName(entry + QStringLiteral("Written"));
    page.written->setReadOnly(true);
    page.written->setAccessibleName(tr("as written"));
    page.written->setTabStopDistance(fontMetrics().horizontalAdvance(u' ') * 4);
    right->addWidget(page.written, 1);
    right->addStretch();
    lower->addLayout(right, 1);
    layout->addLayout(lower, 1);

    connect(page.list, &QListWidget::currentRowChanged, this,
            [this, &page](int row) { showEntry(page, row); });
    connect(page.add, &QPushButton::clicked, this, [this, &page] { addEntry(page); });
    connect(page.remove, &QPushButton::clicked, this, [this, &page] { removeEntry(page); });
    connect(page.name, &QLineEdit::textEdited, this, [this, &page] { store(page); });
    for (const auto *fields : {&page.sectionFields, &page.fields}) {
        for (const Field &field : *fields) {
            connect(field.set, &QCheckBox::toggled, this, [this, &page] { store(page); });
            if (field.choice)
                connect(field.choice, &QComboBox::currentIndexChanged, this,
                        [this, &page] { store(page); });
            else
                connect(field.on, &QCheckBox::toggled, this, [this, &page] { store(page); });
        }
    }
    if (page.initial.readOnly) {
        page.sectionNote->setText(page.initial.why +
                                  tr(" The window shows it as it is; edit it in Other."));
        page.add->setEnabled(false);
        page.remove->setEnabled(false);
        // Nothing of it was read: its controls would show values the text may not have.
        for (QWidget *w : {page.sectionForm, page.form, static_cast<QWidget *>(page.written)})
            w->hide();
        return;
    }
    page.sectionNote->hide();
    page.showing = true;
    showValues(page.sectionFields, table.ownAttributes, page.shown.values, QString());
    page.showing = false;
    page.list->setCurrentRow(page.shown.entries.isEmpty() ? -1 : 0);
    showEntry(page, page.list->currentRow());
}

void remoteExecution::showValues(const std::vector<Field> &fields,
                                 std::span<const ClassAttribute> attributes,
                                 const QList<AttributeValue> &values, const QString &inherited)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field &field = fields[i];
        const ClassAttribute &a = attributes[i];
        const AttributeValue &value = values[qsizetype(i)];
        field.set->setChecked(value.set);
        field.set->setEnabled(!value.readOnly);
        // Not set: what the game takes instead.
        const QString shown = value.set && !value.readOnly ? value.value
                              : a.unset                    ? QString::fromLatin1(a.unset)
                                                           : inherited;
        if (field.choice) {
            field.choice->setCurrentIndex(shown.toInt());
            field.choice->setEnabled(value.set && !value.readOnly);
        } else {
            field.on->setChecked(shown == u"1");
            field.on->setEnabled(value.set && !value.readOnly);
        }
        field.help->setText(value.readOnly ? tr("Written as %1, which this window cannot show; "
                                                "edit it in Other.")
                                                 .arg(value.written)
                                           : QString::fromLatin1(a.help));
    }
}

void remoteExecution::storeValues(const std::vector<Field> &fields, QList<AttributeValue> &values)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field &field = fields[i];
        AttributeValue &value = values[qsizetype(i)];
        if (value.readOnly)
            continue;
        const bool set = field.set->isChecked();
        value = {};
        value.set = set;
        if (set)
            value.value = field.choice ? QString::number(field.choice->currentIndex())
                                       : QString::fromLatin1(field.on->isChecked() ? "1" : "0");
        QWidget *control = field.choice ? static_cast<QWidget *>(field.choice) : field.on;
        control->setEnabled(set);
    }
}

void remoteExecution::showEntry(Page &page, int row)
{
    const ClassKind kind = page.initial.kind;
    const ClassTable &table = classTable(kind);
    page.showing = true;
    page.row = row;
    const bool any = row >= 0 && row < page.shown.entries.size();
    const ClassEntry entry = any ? page.shown.entries[row] : newClassEntry(kind, {});
    const bool editable = any && !entry.readOnly;
    page.remove->setEnabled(any);
    page.name->setText(entry.name);
    page.name->setReadOnly(!editable);
    page.written->setVisible(any && entry.readOnly);
    page.written->setPlainText(entry.written);
    page.note->setText(!any ? tr("None yet: Add makes one.")
                       : entry.readOnly
                           ? tr("Written in a way this window cannot show (a macro, inheritance "
                                "or preprocessor lines); it stays as written, and Remove takes "
                                "it out.")
                           : QString());
    page.form->setEnabled(editable);
    showValues(page.fields, table.attributes, entry.values, inherited(page));
    page.showing = false;
}

QString remoteExecution::inherited(const Page &page)
{
    // An entry's key without a default of its own (jip) follows the section's.
    const ClassTable &table = classTable(page.initial.kind);
    for (std::size_t i = 0; i < table.ownAttributes.size(); ++i) {
        const ClassAttribute &a = table.ownAttributes[i];
        const AttributeValue &value = page.shown.values.value(qsizetype(i));
        if (QByteArrayView(a.key) == "jip")
            return value.set && !value.readOnly ? value.value : QString::fromLatin1(a.unset);
    }
    return {};
}

void remoteExecution::store(Page &page)
{
    if (page.showing || page.initial.readOnly)
        return;
    const ClassTable &table = classTable(page.initial.kind);
    storeValues(page.sectionFields, page.shown.values);
    // A key switched off shows the game's default again.
    page.showing = true;
    showValues(page.sectionFields, table.ownAttributes, page.shown.values, QString());
    page.showing = false;
    const int row = page.row;
    if (row < 0 || row >= page.shown.entries.size() || page.shown.entries[row].readOnly)
        return;
    ClassEntry &entry = page.shown.entries[row];
    entry.name = page.name->text();
    page.list->item(row)->setText(entry.name);
    storeValues(page.fields, entry.values);
    // What an unset key shows may follow what was just changed (the section's jip).
    page.showing = true;
    showValues(page.fields, table.attributes, entry.values, inherited(page));
    page.showing = false;
}

void remoteExecution::addEntry(Page &page)
{
    const ClassTable &table = classTable(page.initial.kind);
    QString name;
    for (int n = 1; name.isEmpty(); ++n) {
        name = QLatin1StringView(table.entryName) + QString::number(n);
        for (const ClassEntry &e : page.shown.entries) {
            if (e.name.compare(name, Qt::CaseInsensitive) == 0)
                name.clear();
        }
    }
    page.shown.entries << newClassEntry(page.initial.kind, name);
    page.list->addItem(name);
    page.list->setCurrentRow(int(page.shown.entries.size() - 1));
    page.name->setFocus();
    page.name->selectAll();
}

void remoteExecution::removeEntry(Page &page)
{
    const int row = page.list->currentRow();
    if (row < 0 || row >= page.shown.entries.size())
        return;
    page.row = -1;
    page.shown.entries.removeAt(row);
    delete page.list->takeItem(row);
    showEntry(page, page.list->currentRow());
    page.list->setFocus();
}

bool remoteExecution::showProblem()
{
    for (std::size_t k = 0; k < m_pages.size(); ++k) {
        Page &page = m_pages[k];
        const QList<ClassEntry> &entries = page.shown.entries;
        for (qsizetype row = 0; row < entries.size(); ++row) {
            const ClassEntry &entry = entries[row];
            if (entry.readOnly)
                continue;
            QString problem;
            if (entry.name.isEmpty())
                problem = tr("A class needs a name.");
            // Against every other entry of the section, those kept as written too.
            for (qsizetype other = 0; other < entries.size() && problem.isEmpty(); ++other) {
                if (other != row &&
                    entries[other].name.compare(entry.name, Qt::CaseInsensitive) == 0)
                    problem = tr("Two classes are named %1.").arg(entry.name);
            }
            if (problem.isEmpty())
                continue;
            ui->problemLabel->setText(problem);
            ui->sectionTabs->setCurrentIndex(int(k));
            page.list->setCurrentRow(int(row));
            page.name->setFocus();
            DesktopServices::instance().beep();
            return true;
        }
    }
    ui->problemLabel->clear();
    return false;
}

void remoteExecution::okButton_Click()
{
    // The second click of a double-click may arrive after the first closed the window.
    if (!isVisible() || showProblem())
        return;
    QList<MissionClass> changed;
    for (const Page &page : m_pages) {
        if (!(page.shown.values == page.initial.values &&
              page.shown.entries == page.initial.entries))
            changed << page.shown;
    }
    if (!changed.isEmpty())
        Q_EMIT sectionsChosen(changed);
    close();
}
