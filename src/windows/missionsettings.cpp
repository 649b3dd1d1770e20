// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionsettings.h"

#include "ui_missionsettings.h"

#include "systemcolours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>

#include <algorithm>
#include <array>

using config::SettingType;

namespace {

QString choiceText(const config::SettingChoice &c)
{
    return QStringLiteral("%1 \u2013 %2")
        .arg(QLatin1StringView(c.value), QLatin1StringView(c.label));
}

QString defaultText(const config::KeySetting &row)
{
    const QLatin1StringView value(row.defaultValue);
    for (const config::SettingChoice &c : row.choices) {
        if (value == QLatin1StringView(c.value))
            return QObject::tr("default: %1").arg(choiceText(c));
    }
    return QObject::tr("default: %1").arg(value);
}

} // namespace

missionSettings::missionSettings(QWidget *owner, const QList<MissionSetting> &settings)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LocksOwner,
                      Placement::OwnerCentre),
      ui(std::make_unique<Ui::missionSettings>())
{
    ui->setupUi(this);
    // Values of settings that are not set read as disabled text, at 3:1 in every theme.
    SystemColours::makeDisabledTextLegible(this);
    // The titles are the table's, so that the window and the help name the groups alike.
    const std::array<QGroupBox *, config::SettingGroupCount> groups{
        ui->missionGroup, ui->respawnGroup, ui->corpsesGroup, ui->multiplayerGroup};
    for (std::size_t g = 0; g < groups.size(); ++g)
        groups[g]->setTitle(config::settingGroupTitle(config::SettingGroup(g)));
    m_rows.reserve(std::size_t(settings.size()));
    for (const MissionSetting &setting : settings)
        addRow(setting);
    // One set of column widths for every group, so that the controls line up down the window.
    int keyWidth = 0, defaultWidth = 0;
    for (const config::KeySetting &row : config::keySettings()) {
        keyWidth = std::max(keyWidth, fontMetrics().horizontalAdvance(QLatin1StringView(row.key) +
                                                                      QStringLiteral("[]")));
        defaultWidth = std::max(defaultWidth, fontMetrics().horizontalAdvance(defaultText(row)));
    }
    for (QGridLayout *grid :
         {ui->missionGrid, ui->respawnGrid, ui->corpsesGrid, ui->multiplayerGrid}) {
        grid->setColumnMinimumWidth(0, keyWidth);
        grid->setColumnMinimumWidth(3, defaultWidth);
    }
    // Enter on a button presses that button; anywhere else it presses OK (keyPressEvent).
    ui->okButton->setAutoDefault(true);
    ui->cancelButton->setAutoDefault(true);
    connect(ui->okButton, &QPushButton::clicked, this, &missionSettings::okButton_Click);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);

    // Wide enough for every row without a horizontal scroll bar, as tall as the screen allows.
    const QSize page = ui->settingsPage->sizeHint();
    const QRect screen =
        owner && owner->screen() ? owner->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(page.width() + ui->settingsArea->verticalScrollBar()->sizeHint().width() + 40,
                    screen.width() - 40),
           std::min(page.height() + 120, screen.height() - 80));
    if (!m_rows.empty())
        m_rows.front().set->setFocus();
}

missionSettings::~missionSettings() = default;

void missionSettings::addRow(const MissionSetting &setting)
{
    const config::KeySetting &row = *setting.row;
    const std::array<QGridLayout *, config::SettingGroupCount> grids{
        ui->missionGrid, ui->respawnGrid, ui->corpsesGrid, ui->multiplayerGrid};
    QGridLayout *grid = grids[std::size_t(row.group)];
    QWidget *parent = grid->parentWidget();
    const QString key = QLatin1StringView(row.key);
    const int line = grid->rowCount();

    auto *name =
        new QLabel(row.type == SettingType::FlagSet ? key + QStringLiteral("[]") : key, parent);
    name->setObjectName(key + QStringLiteral("Label"));
    auto *set = new QCheckBox(tr("set"), parent);
    set->setObjectName(key + QStringLiteral("Set"));
    set->setAccessibleName(tr("set %1").arg(key));

    QWidget *control = nullptr;
    if (setting.readOnly) {
        auto *written = new QLineEdit(setting.written, parent);
        written->setReadOnly(true);
        written->setToolTip(tr("Written in a way this window cannot show; edit it in Other."));
        control = written;
    } else {
        switch (row.type) {
        case SettingType::Text:
        case SettingType::FilePath: {
            auto *edit = new QLineEdit(parent);
            if (row.type == SettingType::FilePath)
                edit->setPlaceholderText(tr("path inside the mission folder"));
            control = edit;
            break;
        }
        case SettingType::Number: {
            auto *spin = new QSpinBox(parent);
            spin->setRange(row.minimum, row.maximum);
            spin->setValue(QLatin1StringView(row.defaultValue).toInt());
            control = spin;
            break;
        }
        case SettingType::Choice: {
            auto *combo = new QComboBox(parent);
            for (const config::SettingChoice &c : row.choices)
                combo->addItem(choiceText(c), QLatin1StringView(c.value).toString());
            combo->setCurrentIndex(
                std::max(0, combo->findData(QLatin1StringView(row.defaultValue).toString())));
            control = combo;
            break;
        }
        case SettingType::FlagSet: {
            auto *list = new QListWidget(parent);
            for (const config::SettingChoice &c : row.choices) {
                auto *item = new QListWidgetItem(choiceText(c), list);
                item->setData(Qt::UserRole, QLatin1StringView(c.value).toString());
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            list->setCurrentRow(0);
            list->setMaximumHeight(list->sizeHintForRow(0) * 5 + 2 * list->frameWidth());
            control = list;
            break;
        }
        }
    }
    control->setObjectName(key);
    control->setAccessibleName(key);
    control->setToolTip(QString::fromLatin1(row.help));
    auto *fallback = new QLabel(setting.readOnly ? tr("edit in Other") : defaultText(row), parent);
    fallback->setObjectName(key + QStringLiteral("Default"));
    auto *help = new QLabel(QString::fromLatin1(row.help), parent);
    help->setObjectName(key + QStringLiteral("Help"));
    // Secondary text, not disabled text: it is read, and must read at 4.5:1.
    QPalette secondary = help->palette();
    secondary.setColor(QPalette::WindowText, SystemColours::workspaceGrey(secondary));
    help->setPalette(secondary);

    grid->addWidget(name, line, 0);
    grid->addWidget(set, line, 1);
    grid->addWidget(control, line, 2);
    grid->addWidget(fallback, line, 3);
    grid->addWidget(help, line + 1, 2, 1, 2);
    grid->setColumnStretch(2, 1);

    m_rows.push_back({setting, set, control});
    Row &added = m_rows.back();
    showSetting(added, setting);
    if (setting.readOnly) {
        set->setEnabled(false);
        return;
    }
    connect(set, &QCheckBox::toggled, control, &QWidget::setEnabled);
}

void missionSettings::showSetting(const Row &row, const MissionSetting &setting)
{
    row.set->setChecked(setting.set);
    row.control->setEnabled(setting.set && !setting.readOnly);
    if (setting.readOnly || !setting.set)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(row.control))
        edit->setText(setting.value);
    else if (auto *spin = qobject_cast<QSpinBox *>(row.control))
        spin->setValue(setting.value.toInt());
    else if (auto *combo = qobject_cast<QComboBox *>(row.control))
        combo->setCurrentIndex(std::max(0, combo->findData(setting.value)));
    else if (auto *list = qobject_cast<QListWidget *>(row.control)) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            item->setCheckState(setting.flags.contains(item->data(Qt::UserRole).toString())
                                    ? Qt::Checked
                                    : Qt::Unchecked);
        }
    }
}

MissionSetting missionSettings::stateOf(const Row &row) const
{
    MissionSetting s = row.initial;
    if (s.readOnly)
        return s;
    s.set = row.set->isChecked();
    s.value.clear();
    s.flags.clear();
    if (!s.set)
        return s;
    if (auto *edit = qobject_cast<QLineEdit *>(row.control))
        s.value = edit->text();
    else if (auto *spin = qobject_cast<QSpinBox *>(row.control))
        s.value = QString::number(spin->value());
    else if (auto *combo = qobject_cast<QComboBox *>(row.control))
        s.value = combo->currentData().toString();
    else if (auto *list = qobject_cast<QListWidget *>(row.control)) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->checkState() == Qt::Checked)
                s.flags << list->item(i)->data(Qt::UserRole).toString();
        }
    }
    return s;
}

QList<MissionSetting> missionSettings::shownSettings() const
{
    QList<MissionSetting> shown;
    for (const Row &row : m_rows)
        shown << stateOf(row);
    return shown;
}

void missionSettings::okButton_Click()
{
    // The second click of a double-click may arrive after the first closed the window.
    if (!isVisible())
        return;
    QList<MissionSetting> changes;
    for (const Row &row : m_rows) {
        const MissionSetting now = stateOf(row);
        if (!(now == row.initial))
            changes << now;
    }
    if (!changes.isEmpty())
        Q_EMIT settingsChosen(changes);
    close();
}

void missionSettings::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    // Enter anywhere applies, as OK would; the controls pass it on.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        okButton_Click();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}
