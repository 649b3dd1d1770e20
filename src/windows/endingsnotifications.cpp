// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "endingsnotifications.h"

#include "ui_endingsnotifications.h"

#include "desktopservices.h"
#include "systemcolours.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The prefix of a page's control names: endingTitle, notificationColor.
QString prefixOf(ClassKind kind)
{
    return kind == ClassKind::Endings ? QStringLiteral("ending") : QStringLiteral("notification");
}

QString controlName(ClassKind kind, const char *key)
{
    QString name = QString::fromLatin1(key);
    name[0] = name[0].toUpper();
    return prefixOf(kind) + name;
}

// The elements of an array as typed: separated by commas, braces and quotes left out.
QStringList elementsOf(const QString &typed)
{
    QString text = typed;
    text.remove(u'{').remove(u'}').remove(u'"');
    QStringList out;
    for (const QString &element : text.split(u',')) {
        if (!element.trimmed().isEmpty())
            out << element.trimmed();
    }
    return out;
}

bool isNumber(const QString &text)
{
    bool ok = false;
    (void)text.toDouble(&ok);
    return ok;
}

// Why a typed value cannot be written, or empty.
QString problemOf(AttributeType type, const QString &typed)
{
    if (type == AttributeType::Number && !isNumber(typed.trimmed()))
        return QObject::tr("is not a number");
    if (type == AttributeType::Colour) {
        const QStringList numbers = elementsOf(typed);
        bool ok = numbers.size() == 3 || numbers.size() == 4;
        for (const QString &n : numbers)
            ok = ok && isNumber(n) && n.toDouble() >= 0 && n.toDouble() <= 1;
        if (!ok)
            return QObject::tr("needs 3 or 4 numbers from 0 to 1, separated by commas");
    }
    return {};
}

QColor colourOf(const QStringList &elements, const QColor &fallback)
{
    if (elements.size() < 3)
        return fallback;
    QColor c;
    c.setRgbF(float(std::clamp(elements[0].toDouble(), 0.0, 1.0)),
              float(std::clamp(elements[1].toDouble(), 0.0, 1.0)),
              float(std::clamp(elements[2].toDouble(), 0.0, 1.0)),
              elements.size() > 3 ? float(std::clamp(elements[3].toDouble(), 0.0, 1.0)) : 1.0f);
    return c;
}

// A notification as the game draws it: a dark box, the title in capitals above it, the icon's
// text at the left and the description beside it, texts in the notification's colour.
class NotificationPreview : public QWidget
{
public:
    using QWidget::QWidget;
    QString title, iconText, description;
    QColor colour = Qt::white;

    QSize sizeHint() const override { return {320, 76}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect box = rect().adjusted(0, 0, -1, -1);
        p.fillRect(box, QColor(20, 20, 20));
        const int line = fontMetrics().height();
        const QRect head(box.left(), box.top(), box.width(), line + 6);
        p.fillRect(head, QColor(0, 0, 0));
        p.setPen(Qt::white);
        p.drawText(head.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, title.toUpper());
        const QRect icon(box.left() + 8, head.bottom() + 6, 48, box.height() - line - 18);
        p.setPen(QPen(colour, 2));
        p.drawRect(icon);
        p.drawText(icon, Qt::AlignCenter, iconText);
        p.drawText(
            QRect(icon.right() + 10, icon.top(), box.width() - icon.width() - 30, icon.height()),
            Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, description);
    }
};

} // namespace

endingsNotifications::endingsNotifications(QWidget *owner, const QList<MissionClass> &classes)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowCloseButtonHint, Locking::LocksOwner,
                      Placement::OwnerCentre),
      ui(std::make_unique<Ui::endingsNotifications>())
{
    ui->setupUi(this);
    setEnterAppliesNothing(true);
    SystemColours::makeDisabledTextLegible(this);
    for (int kind = 0; kind < EndingKindCount; ++kind) {
        Page &page = m_pages[std::size_t(kind)];
        page.initial.kind = ClassKind(kind);
        for (const MissionClass &c : classes) {
            if (c.kind == ClassKind(kind))
                page.initial = c;
        }
        page.entries = page.initial.entries;
        buildPage(page, kind == 0 ? ui->endingsTab : ui->notificationsTab);
    }
    // Enter on a button presses that button; elsewhere it does nothing (keyPressEvent).
    for (QPushButton *button : {ui->okButton, ui->cancelButton})
        button->setAutoDefault(true);
    // A problem OK names takes the room beside the buttons.
    ui->buttonLayout->setStretchFactor(ui->problemLabel, 1);
    connect(ui->okButton, &QPushButton::clicked, this, &endingsNotifications::okButton_Click);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
    // Tall enough for every key of a notification with its help line, within the screen.
    QSize wanted = sizeHint().expandedTo(size());
    for (const Page &page : m_pages) {
        const QWidget *entryPage = page.form->parentWidget();
        wanted = wanted.expandedTo(
            {0, entryPage->sizeHint().height() + ui->introLabel->sizeHint().height() + 140});
    }
    const QRect screen =
        owner && owner->screen() ? owner->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(wanted.width(), screen.width() - 40),
           std::min(wanted.height(), screen.height() - 80));
    m_pages[0].list->setFocus();
}

endingsNotifications::~endingsNotifications() = default;

void endingsNotifications::buildPage(Page &page, QWidget *tab)
{
    const ClassKind kind = page.initial.kind;
    const ClassTable &table = classTable(kind);
    const QString plural =
        kind == ClassKind::Endings ? QStringLiteral("endings") : QStringLiteral("notifications");
    auto *layout = qobject_cast<QHBoxLayout *>(tab->layout());

    auto *side = new QVBoxLayout;
    page.list = new QListWidget(tab);
    page.list->setObjectName(plural + QStringLiteral("List"));
    page.list->setAccessibleName(QString::fromLatin1(table.title));
    page.list->setMaximumWidth(fontMetrics().averageCharWidth() * 28);
    for (const ClassEntry &entry : page.entries)
        page.list->addItem(entry.readOnly ? tr("%1 (as written)").arg(entry.name) : entry.name);
    side->addWidget(page.list, 1);
    auto *buttons = new QHBoxLayout;
    page.add = new QPushButton(tr("Add"), tab);
    page.add->setObjectName(plural + QStringLiteral("Add"));
    page.remove = new QPushButton(tr("Remove"), tab);
    page.remove->setObjectName(plural + QStringLiteral("Remove"));
    for (QPushButton *b : {page.add, page.remove}) {
        b->setAutoDefault(true);
        buttons->addWidget(b);
    }
    side->addLayout(buttons);
    layout->addLayout(side);

    // The chosen entry scrolls when the screen is too small for all its keys.
    auto *area = new QScrollArea(tab);
    area->setObjectName(plural + QStringLiteral("Area"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *entryPage = new QWidget(area);
    entryPage->setObjectName(prefixOf(kind) + QStringLiteral("Page"));
    auto *right = new QVBoxLayout(entryPage);
    right->setContentsMargins(0, 0, 0, 0);
    page.note = new QLabel(entryPage);
    page.note->setObjectName(plural + QStringLiteral("Note"));
    page.note->setWordWrap(true);
    right->addWidget(page.note);
    page.form = new QWidget(entryPage);
    auto *grid = new QGridLayout(page.form);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *nameLabel = new QLabel(tr("class"), page.form);
    page.name = new QLineEdit(page.form);
    page.name->setObjectName(prefixOf(kind) + QStringLiteral("Name"));
    page.name->setAccessibleName(tr("class name"));
    page.name->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")), page.name));
    page.name->setToolTip(tr("The name scripts end the mission or show the notification with."));
    nameLabel->setBuddy(page.name);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(page.name, 0, 2);
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, SystemColours::workspaceGrey(secondary));
    int line = 1;
    for (const ClassAttribute &a : table.attributes) {
        const QString name = controlName(kind, a.key);
        const bool array = a.type == AttributeType::Colour || a.type == AttributeType::Names;
        Field field;
        auto *label = new QLabel(
            QLatin1StringView(a.key) + (array ? QStringLiteral("[]") : QString()), page.form);
        label->setObjectName(name + QStringLiteral("Label"));
        field.set = new QCheckBox(tr("set"), page.form);
        field.set->setObjectName(name + QStringLiteral("Set"));
        field.set->setAccessibleName(tr("set %1").arg(QLatin1StringView(a.key)));
        field.edit = new QLineEdit(page.form);
        field.edit->setObjectName(name);
        field.edit->setAccessibleName(QLatin1StringView(a.key));
        field.edit->setToolTip(QString::fromLatin1(a.help));
        if (a.type == AttributeType::Text)
            field.edit->setPlaceholderText(tr("text, or $STR_name from the string table"));
        else if (a.type == AttributeType::Colour)
            field.edit->setPlaceholderText(tr("red, green, blue, opacity: 0 to 1"));
        else if (a.type == AttributeType::Names)
            field.edit->setPlaceholderText(tr("names, separated by commas"));
        auto *help = new QLabel(QString::fromLatin1(a.help), page.form);
        help->setObjectName(name + QStringLiteral("Help"));
        help->setPalette(secondary);
        help->setWordWrap(true);
        grid->addWidget(label, line, 0);
        grid->addWidget(field.set, line, 1);
        if (a.type == AttributeType::Colour) {
            auto *cell = new QHBoxLayout;
            cell->addWidget(field.edit, 1);
            field.swatch = new QLabel(page.form);
            field.swatch->setObjectName(name + QStringLiteral("Swatch"));
            field.swatch->setFixedSize(fontMetrics().height() * 2, fontMetrics().height());
            field.swatch->setAutoFillBackground(true);
            cell->addWidget(field.swatch);
            grid->addLayout(cell, line, 2);
        } else {
            grid->addWidget(field.edit, line, 2);
        }
        grid->addWidget(help, line + 1, 2);
        line += 2;
        page.fields.push_back(field);
    }
    grid->setColumnStretch(2, 1);
    right->addWidget(page.form);
    page.written = new QPlainTextEdit(entryPage);
    page.written->setObjectName(prefixOf(kind) + QStringLiteral("Written"));
    page.written->setReadOnly(true);
    page.written->setAccessibleName(tr("as written"));
    page.written->setTabStopDistance(fontMetrics().horizontalAdvance(u' ') * 4);
    right->addWidget(page.written, 1);
    if (kind == ClassKind::Notifications) {
        page.preview = new NotificationPreview(entryPage);
        page.preview->setObjectName(QStringLiteral("notificationPreview"));
        page.preview->setAccessibleName(tr("how the notification looks"));
        page.preview->setMinimumSize(page.preview->sizeHint());
        right->addWidget(page.preview);
    }
    right->addStretch();
    area->setWidget(entryPage);
    // The tab's own background shows through, as without the scroll area.
    area->viewport()->setAutoFillBackground(false);
    entryPage->setAutoFillBackground(false);
    layout->addWidget(area, 1);

    connect(page.list, &QListWidget::currentRowChanged, this,
            [this, &page](int row) { showEntry(page, row); });
    connect(page.add, &QPushButton::clicked, this, [this, &page] { addEntry(page); });
    connect(page.remove, &QPushButton::clicked, this, [this, &page] { removeEntry(page); });
    connect(page.name, &QLineEdit::textEdited, this, [this, &page] { storeEntry(page); });
    for (const Field &field : page.fields) {
        connect(field.set, &QCheckBox::toggled, this, [this, &page] { storeEntry(page); });
        connect(field.edit, &QLineEdit::textEdited, this, [this, &page] { storeEntry(page); });
    }
    if (page.initial.readOnly) {
        page.note->setText(page.initial.why +
                           tr(" The window shows it as it is; edit it in Other."));
        page.add->setEnabled(false);
        page.remove->setEnabled(false);
        page.form->setEnabled(false);
        page.written->hide();
        return;
    }
    page.list->setCurrentRow(page.entries.isEmpty() ? -1 : 0);
    showEntry(page, page.list->currentRow());
}

void endingsNotifications::showEntry(Page &page, int row)
{
    const ClassTable &table = classTable(page.initial.kind);
    page.showing = true;
    page.shown = row;
    const bool any = row >= 0 && row < page.entries.size();
    const ClassEntry entry = any ? page.entries[row] : newClassEntry(page.initial.kind, {});
    const bool editable = any && !entry.readOnly && !page.initial.readOnly;
    page.remove->setEnabled(any && !page.initial.readOnly);
    page.name->setText(entry.name);
    page.name->setReadOnly(!editable);
    page.written->setVisible(any && entry.readOnly);
    page.written->setPlainText(entry.written);
    if (!page.initial.readOnly) {
        page.note->setText(!any ? tr("None yet: Add makes one.")
                           : entry.readOnly
                               ? tr("Written in a way this window cannot show (inheritance, "
                                    "preprocessor lines or a class inside it); it stays as "
                                    "written, and Remove takes it out.")
                               : QString());
    }
    page.form->setEnabled(editable);
    for (std::size_t i = 0; i < page.fields.size(); ++i) {
        const Field &field = page.fields[i];
        const ClassAttribute &a = table.attributes[i];
        const AttributeValue &value = entry.values[qsizetype(i)];
        field.set->setChecked(value.set);
        field.set->setEnabled(!value.readOnly);
        QString text = value.value;
        if (value.readOnly)
            text = value.written;
        else if (!value.elements.isEmpty())
            text = value.elements.join(QStringLiteral(", "));
        field.edit->setText(text);
        field.edit->setReadOnly(value.readOnly);
        field.edit->setEnabled(value.set);
        field.edit->setToolTip(value.readOnly
                                   ? tr("Written in a way this window cannot show; edit it in "
                                        "Other.")
                                   : QString::fromLatin1(a.help));
    }
    page.showing = false;
    storeEntry(page);
}

void endingsNotifications::storeEntry(Page &page)
{
    if (page.showing)
        return;
    const ClassTable &table = classTable(page.initial.kind);
    const int row = page.shown;
    const bool any = row >= 0 && row < page.entries.size();
    ClassEntry *entry = any ? &page.entries[row] : nullptr;
    const bool editable = entry && !entry->readOnly && !page.initial.readOnly;
    if (editable) {
        entry->name = page.name->text();
        page.list->item(row)->setText(entry->name);
    }
    QStringList colour;
    QString title, iconText, description;
    for (std::size_t i = 0; i < page.fields.size(); ++i) {
        const Field &field = page.fields[i];
        const ClassAttribute &a = table.attributes[i];
        field.edit->setEnabled(field.set->isChecked());
        if (editable && !entry->values[qsizetype(i)].readOnly) {
            AttributeValue &value = entry->values[qsizetype(i)];
            value = {};
            value.set = field.set->isChecked();
            const QString typed = field.edit->text();
            if (value.set && (a.type == AttributeType::Colour || a.type == AttributeType::Names))
                value.elements = elementsOf(typed);
            else if (value.set)
                value.value = a.type == AttributeType::Number ? typed.trimmed() : typed;
        }
        const QString key = QLatin1StringView(a.key);
        const QString shown = field.set->isChecked() ? field.edit->text() : QString();
        if (a.type == AttributeType::Colour) {
            colour = elementsOf(shown);
            if (field.swatch) {
                QPalette p = field.swatch->palette();
                // Not set: the window's own background, no colour.
                p.setColor(QPalette::Window, colourOf(colour, palette().color(QPalette::Window)));
                field.swatch->setPalette(p);
            }
        } else if (key == u"title") {
            title = shown;
        } else if (key == u"iconText") {
            iconText = shown;
        } else if (key == u"description") {
            description = shown;
        }
    }
    if (auto *preview = static_cast<NotificationPreview *>(page.preview)) {
        preview->title = title;
        preview->iconText = iconText;
        preview->description = description;
        preview->colour = colourOf(colour, Qt::white);
        preview->update();
    }
}

void endingsNotifications::addEntry(Page &page)
{
    const ClassTable &table = classTable(page.initial.kind);
    QString name;
    for (int n = 1; name.isEmpty(); ++n) {
        name = QLatin1StringView(table.entryName) + QString::number(n);
        for (const ClassEntry &e : page.entries) {
            if (e.name.compare(name, Qt::CaseInsensitive) == 0)
                name.clear();
        }
    }
    page.entries << newClassEntry(page.initial.kind, name);
    page.list->addItem(name);
    page.list->setCurrentRow(int(page.entries.size() - 1));
    page.name->setFocus();
    page.name->selectAll();
}

void endingsNotifications::removeEntry(Page &page)
{
    const int row = page.list->currentRow();
    if (row < 0 || row >= page.entries.size())
        return;
    page.shown = -1;
    page.entries.removeAt(row);
    delete page.list->takeItem(row);
    showEntry(page, page.list->currentRow());
    page.list->setFocus();
}

QList<MissionClass> endingsNotifications::shownClasses()
{
    QList<MissionClass> shown;
    for (Page &page : m_pages) {
        MissionClass c = page.initial;
        c.entries = page.entries;
        shown << c;
    }
    return shown;
}

bool endingsNotifications::showProblem()
{
    for (std::size_t k = 0; k < m_pages.size(); ++k) {
        Page &page = m_pages[k];
        const ClassTable &table = classTable(page.initial.kind);
        for (qsizetype row = 0; row < page.entries.size(); ++row) {
            const ClassEntry &entry = page.entries[row];
            if (entry.readOnly)
                continue;
            QString problem;
            QWidget *at = page.name;
            if (entry.name.isEmpty())
                problem = tr("A class needs a name.");
            // Against every other class, those kept as written too.
            for (qsizetype other = 0; other < page.entries.size() && problem.isEmpty(); ++other) {
                if (other != row &&
                    page.entries[other].name.compare(entry.name, Qt::CaseInsensitive) == 0)
                    problem = tr("Two classes are named %1.").arg(entry.name);
            }
            for (std::size_t i = 0; i < table.attributes.size() && problem.isEmpty(); ++i) {
                const AttributeValue &value = entry.values[qsizetype(i)];
                if (!value.set || value.readOnly)
                    continue;
                const QString typed = value.elements.isEmpty()
                                          ? value.value
                                          : value.elements.join(QStringLiteral(","));
                const QString why = problemOf(table.attributes[i].type, typed);
                if (!why.isEmpty()) {
                    const bool array = table.attributes[i].type == AttributeType::Colour ||
                                       table.attributes[i].type == AttributeType::Names;
                    problem = QStringLiteral("%1: %2%3 %4.")
                                  .arg(entry.name, QLatin1StringView(table.attributes[i].key),
                                       array ? QStringLiteral("[]") : QString(), why);
                    at = page.fields[i].edit;
                }
            }
            if (problem.isEmpty())
                continue;
            ui->problemLabel->setText(problem);
            ui->classTabs->setCurrentIndex(int(k));
            page.list->setCurrentRow(int(row));
            at->setFocus();
            DesktopServices::instance().beep();
            return true;
        }
    }
    ui->problemLabel->clear();
    return false;
}

void endingsNotifications::okButton_Click()
{
    // The second click of a double-click may arrive after the first closed the window.
    if (!isVisible() || showProblem())
        return;
    QList<MissionClass> changed;
    for (const MissionClass &c : shownClasses()) {
        if (!(c.entries == m_pages[std::size_t(c.kind)].initial.entries))
            changed << c;
    }
    if (!changed.isEmpty())
        Q_EMIT classesChosen(changed);
    close();
}
