// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "missionsettings.h"

#include "ui_missionsettings.h"

#include "systemcolours.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
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
    if (row.multiplayerDefault) {
        return QObject::tr("default: %1 in single player, %2 in multiplayer")
            .arg(value, QLatin1StringView(row.multiplayerDefault));
    }
    for (const config::SettingChoice &c : row.choices) {
        if (value == QLatin1StringView(c.value))
            return QObject::tr("default: %1").arg(choiceText(c));
    }
    return QObject::tr("default: %1").arg(value);
}

// Both defaults with their meaning, for the default's tooltip.
QString defaultHelp(const config::KeySetting &row)
{
    if (!row.multiplayerDefault)
        return {};
    QString help;
    for (const char *value : {row.defaultValue, row.multiplayerDefault}) {
        for (const config::SettingChoice &c : row.choices) {
            if (QLatin1StringView(value) == QLatin1StringView(c.value)) {
                help += (help.isEmpty() ? QObject::tr("Single player: %1")
                                        : QObject::tr("\nMultiplayer: %1"))
                            .arg(choiceText(c));
            }
        }
    }
    return help;
}

// Player IDs as typed: separated by commas, semicolons or spaces, quotes left out, each once.
QStringList playerIds(const QString &typed)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s\"]+"));
    QStringList ids;
    for (const QString &id : typed.split(separators, Qt::SkipEmptyParts)) {
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

// As tall as all its rows, so that none is hidden behind a scroll bar of its own.
void fitList(QListWidget *list)
{
    int height = 2 * list->frameWidth();
    for (int i = 0; i < list->count(); ++i)
        height += list->sizeHintForRow(i);
    list->setFixedHeight(height);
}

} // namespace

missionSettings::missionSettings(QWidget *owner, const QList<MissionSetting> &settings)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LocksOwner,
                      Placement::OwnerCentre),
      ui(std::make_unique<Ui::missionSettings>())
{
    ui->setupUi(this);
    setEnterAppliesNothing(true);
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
    // A longer default wraps rather than widen the window past a small screen.
    defaultWidth = std::min(defaultWidth, fontMetrics().averageCharWidth() * 44);
    for (QGridLayout *grid :
         {ui->missionGrid, ui->respawnGrid, ui->corpsesGrid, ui->multiplayerGrid}) {
        grid->setColumnMinimumWidth(0, keyWidth);
        grid->setColumnMinimumWidth(3, defaultWidth);
    }
    // Enter on a button presses that button; elsewhere it does nothing (keyPressEvent).
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
        m_rows.front()->set->setFocus();
}

missionSettings::~missionSettings() = default;

void missionSettings::watchWheel(QWidget *control)
{
    control->installEventFilter(this);
    if (auto *view = qobject_cast<QAbstractItemView *>(control))
        view->viewport()->installEventFilter(this);
}

bool missionSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return SecondaryWindow::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    // A spin box or a combo box with the focus takes the wheel: the user chose it.
    const bool takesWheel =
        qobject_cast<QAbstractSpinBox *>(watched) || qobject_cast<QComboBox *>(watched);
    if (takesWheel && widget && widget->hasFocus())
        return false;
    // Anything else the pointer passes over scrolls the window.
    QCoreApplication::sendEvent(ui->settingsArea->viewport(), event);
    return true;
}

QWidget *missionSettings::makeControl(Row &row, QWidget *parent, QWidget *&extra)
{
    const config::KeySetting &key = *row.initial.row;
    const QString name = QLatin1StringView(key.key);
    switch (key.type) {
    case SettingType::Text:
    case SettingType::FilePath: {
        auto *edit = new QLineEdit(parent);
        edit->setPlaceholderText(key.type == SettingType::FilePath
                                     ? tr("path inside the mission folder")
                                     : tr("text, or $STR_name from the string table"));
        row.control = edit;
        return edit;
    }
    case SettingType::Number: {
        auto *cell = new QWidget(parent);
        auto *layout = new QHBoxLayout(cell);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *spin = new QSpinBox(cell);
        spin->setRange(key.minimum, key.maximum);
        spin->setValue(QLatin1StringView(key.defaultValue).toInt());
        spin->setFocusPolicy(Qt::StrongFocus);
        watchWheel(spin);
        layout->addWidget(spin);
        row.expression = new QLabel(cell);
        row.expression->setObjectName(name + QStringLiteral("Expression"));
        row.expression->setVisible(!row.initial.expression.isEmpty());
        layout->addWidget(row.expression, 1);
        row.control = spin;
        connect(spin, &QSpinBox::valueChanged, this, [this, &row] { showExpression(row); });
        return cell;
    }
    case SettingType::Choice: {
        auto *combo = new QComboBox(parent);
        for (const config::SettingChoice &c : key.choices)
            combo->addItem(choiceText(c), QLatin1StringView(c.value).toString());
        if (key.form == config::SettingForm::PlayerList) {
            combo->addItem(tr("Only the players listed below"),
                           QString::fromLatin1(PlayerListChoice));
            row.players = new QLineEdit(parent);
            row.players->setObjectName(name + QStringLiteral("Players"));
            row.players->setAccessibleName(tr("%1 player IDs").arg(name));
            row.players->setPlaceholderText(tr("player IDs (Steam), separated by commas"));
            extra = row.players;
        }
        combo->setCurrentIndex(
            std::max(0, combo->findData(QLatin1StringView(key.defaultValue).toString())));
        combo->setFocusPolicy(Qt::StrongFocus);
        watchWheel(combo);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, &row] { updateEnabled(row); });
        row.control = combo;
        return combo;
    }
    case SettingType::FlagSet:
        if (key.form == config::SettingForm::ChannelVoice) {
            auto *grid = new QWidget(parent);
            auto *layout = new QGridLayout(grid);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(new QLabel(tr("Chat"), grid), 0, 1);
            layout->addWidget(new QLabel(tr("Voice"), grid), 0, 2);
            int line = 1;
            for (const config::SettingChoice &c : key.choices) {
                const QString channel = QLatin1StringView(c.value);
                layout->addWidget(new QLabel(choiceText(c), grid), line, 0);
                auto *chat = new QCheckBox(tr("disabled"), grid);
                chat->setObjectName(name + channel + QStringLiteral("Chat"));
                chat->setAccessibleName(tr("%1 chat disabled").arg(QLatin1StringView(c.label)));
                auto *voice = new QCheckBox(tr("disabled"), grid);
                voice->setObjectName(name + channel + QStringLiteral("Voice"));
                voice->setAccessibleName(tr("%1 voice disabled").arg(QLatin1StringView(c.label)));
                layout->addWidget(chat, line, 1);
                layout->addWidget(voice, line, 2);
                row.channels.push_back({channel.toInt(), {chat, voice}});
                ++line;
            }
            layout->setColumnStretch(3, 1);
            watchWheel(grid);
            row.control = grid;
            return grid;
        } else {
            auto *list = new QListWidget(parent);
            for (const config::SettingChoice &c : key.choices) {
                auto *item = new QListWidgetItem(choiceText(c), list);
                item->setData(Qt::UserRole, QLatin1StringView(c.value).toString());
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            // A ticked row is one whose box is ticked: no row is shown selected.
            list->setSelectionMode(QAbstractItemView::NoSelection);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
            watchWheel(list);
            row.control = list;
            if (key.form == config::SettingForm::CustomNames) {
                auto *own = new QWidget(parent);
                auto *layout = new QHBoxLayout(own);
                layout->setContentsMargins(0, 0, 0, 0);
                row.ownName = new QLineEdit(own);
                row.ownName->setObjectName(name + QStringLiteral("Own"));
                row.ownName->setAccessibleName(tr("%1 of your own").arg(name));
                row.ownName->setPlaceholderText(tr("a template of a mod or of the mission"));
                row.addName = new QPushButton(tr("Add"), own);
                row.addName->setObjectName(name + QStringLiteral("Add"));
                row.addName->setAutoDefault(true);
                layout->addWidget(row.ownName, 1);
                layout->addWidget(row.addName);
                connect(row.addName, &QPushButton::clicked, this,
                        [this, &row] { addOwnName(row); });
                connect(row.ownName, &QLineEdit::returnPressed, this,
                        [this, &row] { addOwnName(row); });
                extra = own;
            }
            return list;
        }
    }
    return nullptr;
}

void missionSettings::addRow(const MissionSetting &setting)
{
    const config::KeySetting &key = *setting.row;
    const std::array<QGridLayout *, config::SettingGroupCount> grids{
        ui->missionGrid, ui->respawnGrid, ui->corpsesGrid, ui->multiplayerGrid};
    QGridLayout *grid = grids[std::size_t(key.group)];
    QWidget *parent = grid->parentWidget();
    const QString name = QLatin1StringView(key.key);
    int line = grid->rowCount();

    m_rows.push_back(std::make_unique<Row>());
    Row &row = *m_rows.back();
    row.initial = setting;

    auto *label =
        new QLabel(key.type == SettingType::FlagSet ? name + QStringLiteral("[]") : name, parent);
    label->setObjectName(name + QStringLiteral("Label"));
    row.set = new QCheckBox(tr("set"), parent);
    row.set->setObjectName(name + QStringLiteral("Set"));
    row.set->setAccessibleName(tr("set %1").arg(name));

    QWidget *cell = nullptr;
    QWidget *extra = nullptr;
    if (setting.readOnly) {
        auto *written = new QLineEdit(setting.written, parent);
        written->setReadOnly(true);
        written->setToolTip(tr("Written in a way this window cannot show; edit it in Other."));
        row.control = cell = written;
    } else {
        cell = makeControl(row, parent, extra);
    }
    row.control->setObjectName(name);
    row.control->setAccessibleName(name);
    row.control->setToolTip(QString::fromLatin1(key.help));
    auto *fallback = new QLabel(setting.readOnly ? tr("edit in Other") : defaultText(key), parent);
    fallback->setObjectName(name + QStringLiteral("Default"));
    fallback->setWordWrap(true);
    if (!setting.readOnly)
        fallback->setToolTip(defaultHelp(key));
    auto *help = new QLabel(QString::fromLatin1(key.help), parent);
    help->setObjectName(name + QStringLiteral("Help"));
    // Secondary text, not disabled text: it is read, and must read at 4.5:1.
    QPalette secondary = help->palette();
    secondary.setColor(QPalette::WindowText, SystemColours::workspaceGrey(secondary));
    help->setPalette(secondary);

    grid->addWidget(label, line, 0, Qt::AlignTop);
    grid->addWidget(row.set, line, 1, Qt::AlignTop);
    grid->addWidget(cell, line, 2);
    grid->addWidget(fallback, line, 3, Qt::AlignTop);
    if (extra)
        grid->addWidget(extra, ++line, 2);
    grid->addWidget(help, line + 1, 2, 1, 2);
    grid->setColumnStretch(2, 1);

    showSetting(row, setting);
    if (setting.readOnly) {
        row.set->setEnabled(false);
        return;
    }
    connect(row.set, &QCheckBox::toggled, this, [this, &row] { updateEnabled(row); });
}

void missionSettings::updateEnabled(const Row &row) const
{
    const bool on = row.set->isChecked() && !row.initial.readOnly;
    row.control->setEnabled(on);
    if (row.expression)
        row.expression->setEnabled(on);
    if (row.players) {
        auto *combo = qobject_cast<QComboBox *>(row.control);
        row.players->setEnabled(
            on && combo && combo->currentData().toString() == QLatin1StringView(PlayerListChoice));
    }
    if (row.ownName) {
        row.ownName->setEnabled(on);
        row.addName->setEnabled(on);
    }
}

void missionSettings::showExpression(const Row &row) const
{
    if (!row.expression || row.initial.expression.isEmpty())
        return;
    const auto *spin = qobject_cast<QSpinBox *>(row.control);
    const bool kept = spin && QString::number(spin->value()) == row.initial.value;
    row.expression->setText(kept ? tr("written as %1").arg(row.initial.expression)
                                 : tr("replaces %1").arg(row.initial.expression));
}

void missionSettings::addOwnName(Row &row)
{
    auto *list = qobject_cast<QListWidget *>(row.control);
    const QString name = row.ownName->text().trimmed();
    if (!list || name.isEmpty() || name.contains(u'"'))
        return;
    row.ownName->clear();
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toString().compare(name, Qt::CaseInsensitive) == 0) {
            list->item(i)->setCheckState(Qt::Checked);
            return;
        }
    }
    auto *item = new QListWidgetItem(tr("%1 \u2013 of a mod or of the mission").arg(name), list);
    item->setData(Qt::UserRole, name);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    fitList(list);
}

void missionSettings::showSetting(const Row &row, const MissionSetting &setting)
{
    row.set->setChecked(setting.set);
    if (auto *list = qobject_cast<QListWidget *>(row.control)) {
        // Names of the file's own come after the documented ones, ticked.
        for (const QString &flag : setting.flags) {
            bool listed = false;
            for (int i = 0; i < list->count() && !listed; ++i)
                listed = list->item(i)->data(Qt::UserRole).toString() == flag;
            if (!listed) {
                auto *item =
                    new QListWidgetItem(tr("%1 \u2013 of a mod or of the mission").arg(flag), list);
                item->setData(Qt::UserRole, flag);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            }
        }
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            item->setCheckState(setting.flags.contains(item->data(Qt::UserRole).toString())
                                    ? Qt::Checked
                                    : Qt::Unchecked);
        }
        fitList(list);
    }
    showExpression(row);
    updateEnabled(row);
    if (setting.readOnly || !setting.set)
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(row.control))
        edit->setText(setting.value);
    else if (auto *spin = qobject_cast<QSpinBox *>(row.control))
        spin->setValue(setting.value.toInt());
    else if (auto *combo = qobject_cast<QComboBox *>(row.control)) {
        combo->setCurrentIndex(std::max(0, combo->findData(setting.value)));
        if (row.players && setting.value == QLatin1StringView(PlayerListChoice))
            row.players->setText(setting.flags.join(QStringLiteral(", ")));
    }
    for (const auto &[channel, boxes] : row.channels) {
        for (const ChannelSwitch &c : setting.channels) {
            if (c.channel == channel) {
                boxes.first->setChecked(c.chat);
                boxes.second->setChecked(c.voice);
            }
        }
    }
    showExpression(row);
    updateEnabled(row);
}

MissionSetting missionSettings::stateOf(const Row &row) const
{
    MissionSetting s = row.initial;
    if (s.readOnly)
        return s;
    s.set = row.set->isChecked();
    s.value.clear();
    s.expression.clear();
    s.flags.clear();
    s.channels.clear();
    s.perChannel = false;
    if (!s.set)
        return s;
    const MissionSetting &was = row.initial;
    if (auto *edit = qobject_cast<QLineEdit *>(row.control)) {
        s.value = edit->text();
    } else if (auto *spin = qobject_cast<QSpinBox *>(row.control)) {
        s.value = QString::number(spin->value());
        // The expression stays while the value is still its value.
        if (was.set && s.value == was.value)
            s.expression = was.expression;
    } else if (auto *combo = qobject_cast<QComboBox *>(row.control)) {
        s.value = combo->currentData().toString();
        if (row.players && s.value == QLatin1StringView(PlayerListChoice))
            s.flags = playerIds(row.players->text());
    } else if (auto *list = qobject_cast<QListWidget *>(row.control)) {
        // The names the file had keep their order; the newly ticked follow in the list's.
        QStringList ticked;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->checkState() == Qt::Checked)
                ticked << list->item(i)->data(Qt::UserRole).toString();
        }
        for (const QString &flag : was.flags) {
            if (ticked.removeOne(flag))
                s.flags << flag;
        }
        s.flags << ticked;
    } else if (!row.channels.empty()) {
        bool voice = false;
        QList<ChannelSwitch> shown;
        for (const auto &[channel, boxes] : row.channels) {
            shown << ChannelSwitch{channel, boxes.first->isChecked(), boxes.second->isChecked()};
            voice = voice || boxes.second->isChecked();
        }
        // A new key is written per channel; the short form stays until a voice is disabled.
        s.perChannel = !was.set || was.perChannel || voice;
        for (const ChannelSwitch &c : was.channels) {
            for (qsizetype i = 0; i < shown.size(); ++i) {
                if (shown[i].channel != c.channel)
                    continue;
                // Listed with neither disabled, it stays listed in the per-channel form.
                if (s.perChannel || shown[i].chat)
                    s.channels << shown[i];
                shown.removeAt(i);
                break;
            }
        }
        for (const ChannelSwitch &c : shown) {
            if (c.chat || c.voice)
                s.channels << c;
        }
        if (s.channels.isEmpty())
            s.perChannel = was.set && was.perChannel;
    }
    return s;
}

void missionSettings::okButton_Click()
{
    // The second click of a double-click may arrive after the first closed the window.
    if (!isVisible())
        return;
    QList<MissionSetting> changes;
    for (const auto &row : m_rows) {
        const MissionSetting now = stateOf(*row);
        if (!(now == row->initial))
            changes << now;
    }
    if (!changes.isEmpty())
        Q_EMIT settingsChosen(changes);
    close();
}
