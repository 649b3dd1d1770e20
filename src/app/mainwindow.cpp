// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include "confighighlighter.h"
#include "desktopservices.h"
#include "formfonts.h"
#include "formmapping.h"
#include "helpwindow.h"
#include "keyassist.h"
#include "keyindicators.h"
#include "longlines.h"
#include "singleline.h"
#include "systemcolours.h"
#include "ui_mainwindow.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <array>
#include <vector>

namespace {

// Client area below the menu bar; the status bar sits at its bottom edge.
constexpr int ClientWidth = 705;
constexpr int ClientHeight = 559;

// The controls a switch governs: each is enabled while the switch is on and disabled while
// it is off; text fields and code boxes are also whitened or greyed with it.
struct Rule
{
    Switch sw;
    std::array<const char *, 6> controls;
};

// Section switches: the Add button, then the section's code boxes.
constexpr Rule SectionRules[] = {
    {Switch::mainIdentityActive, {"addIdentityButton", "mainIdentityCode"}},
    {Switch::mainRadioActive, {"addRadioButton", "mainRadioCode"}},
    {Switch::mainSoundActive, {"addSoundButton", "mainSoundCode"}},
    {Switch::mainMusicActive, {"addMusicButton", "mainMusicCode"}},
    {Switch::mainLoadoutActive,
     {"addLoadoutButton", "mainLoadoutWeaponsCode", "mainLoadoutMagazinesCode"}},
    {Switch::paramsActive, {"addParamsButton", "paramsCode"}},
    {Switch::mainOtherActive, {"mainOtherCode"}},
};

// String switches: the label, then the field. The document empties the field when the
// switch goes off.
constexpr Rule StringRules[] = {
    {Switch::introStringEnabled, {"onLoadIntroLabel", "introString"}},
    {Switch::missionStringEnabled, {"onLoadMissionLabel", "missionString"}},
};

// Value switches: their dependants change state, never value or selection.
constexpr Rule ValueRules[] = {
    {Switch::delayCheck, {"delayText", "sec1"}},
    {Switch::vehicleDelayCheck, {"vehicleDelayText", "sec2"}},
    {Switch::respawnCheck,
     {"noneOption", "birdOption", "instantOption", "baseOption", "groupOption", "sideOption"}},
    {Switch::scoreEnabled,
     {"minScoreLabel", "avgScoreLabel", "maxScoreLabel", "minScoreText", "avgScoreText",
      "maxScoreText"}},
};

// The master switch of "MP options" governs the header frame directly; the four respawn
// switches follow it through the document's enabled flags (and three of them are unchecked
// by the document when it goes off).
constexpr Rule MasterRules[] = {
    {Switch::respawnActive,
     {"gameTypeLabel", "minPlayersLabel", "maxPlayersLabel", "typeValue", "minPlayersValue",
      "maxPlayersValue"}},
};

// Sub-headings drawn in the workspace grey.
constexpr const char *GreyHeadings[] = {"Label10", "Label12", "Label2"};

struct Panel
{
    const char *name;
    const char *text;
    int stretch;
    int minimumWidth;
};
constexpr Panel StatusPanels[] = {
    {"textPanel", "Ostrel Description Editor by Tandry", 1, 0},
    {"numPanel", "NUM", 0, 96},
    {"capsPanel", "CAPS", 0, 96},
    {"insPanel", "INS", 0, 96},
};

// Controls whose designed bottom edge lies below the page area keep this distance from it.
constexpr int PageBottomMargin = 4;
constexpr char DesignedGeometry[] = "designedGeometry";

// The document's code holds CR LF breaks. A text box takes CR LF as one break as it stands
// (setPlainText() and insertText() make one block per CR LF, CR or LF), so the text goes in as
// it is, without a converted copy of a text that may be megabytes long.
const QString &toWidgetText(const QString &documentText)
{
    return documentText;
}

// How long a note stays in the status bar's text panel.
constexpr int StatusNoteMs = 4000;

// The local file a drag carries, or empty.
QString droppedFile(const QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool isTextBox(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w);
}

} // namespace

Main::Main(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::Main>())
{
    Q_INIT_RESOURCE(merrow);
    // Help files are read by this program itself, started again in the help's reader mode.
    DesktopServices::setHelpViewer([](QWidget *owner) {
        HelpWindow::showFor(owner, {QCoreApplication::applicationFilePath()});
    });
    ui->setupUi(this);
    for (QWidget *w : findChildren<QWidget *>()) {
        // The form's names are unique; of the toolkit's repeated inner names the first stays.
        if (const QString name = w->objectName(); !name.isEmpty() && !m_controls.contains(name))
            m_controls.insert(name, w);
    }
    setUpWindow();
    setUpStatusBar();

    bindSwitches();
    bindFields();
    bindCodeBoxes();
    bindRespawnOptions();
    for (int i = 0; i < SwitchCount; ++i)
        applyRule(Switch(i));
    connectCommands();

    m_document.applyStartUp();
    m_baseline = FormSnapshot::of(m_document);
    setAcceptDrops(true);

    // Takes effect when the window is first activated.
    ui->introStringEnabled->setFocus();
}

Main::~Main() = default;

QTabWidget *Main::items() const
{
    return ui->Items;
}
QAction *Main::mnuOpen() const
{
    return ui->mnuOpen;
}

QAction *Main::mnuMissionSettings() const
{
    return ui->mnuMissionSettings;
}

QAction *Main::mnuEndings() const
{
    return ui->mnuEndings;
}

QAction *Main::mnuFunctions() const
{
    return ui->mnuFunctions;
}

QAction *Main::mnuRemoteExec() const
{
    return ui->mnuRemoteExec;
}

QAction *Main::mnuCreate() const
{
    return ui->mnuCreate;
}
QAction *Main::mnuOpenReport() const
{
    return ui->mnuOpenReport;
}

QAction *Main::mnuSave() const
{
    return ui->mnuSave;
}

QAction *Main::mnuMinimize() const
{
    return ui->mnuMinimize;
}
QAction *Main::mnuExit() const
{
    return ui->mnuExit;
}
QAction *Main::mnuHelpContents() const
{
    return ui->mnuHelpContents;
}
QAction *Main::mnuAbout() const
{
    return ui->mnuAbout;
}

void Main::setUpWindow()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    FormFonts::apply(this);
    SystemColours::makeDisabledTextLegible(this);
    // Where the captions' font is missing and a wider one stands in, the tab bar gets scroll
    // arrows; Tab must not stop on them (Ctrl+Tab and the arrow keys change pages).
    for (QToolButton *arrow : ui->Items->tabBar()->findChildren<QToolButton *>())
        arrow->setFocusPolicy(Qt::NoFocus);
    const QFont dialogFont = FormFonts::standardDialogFont();
    // The tab control's own font is for its tab captions only; controls on the pages use the
    // window's font unless they name one.
    for (int i = 0; i < ui->Items->count(); ++i) {
        QWidget *page = ui->Items->widget(i);
        page->setFont(dialogFont);
        for (QWidget *child : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setProperty(DesignedGeometry, child->geometry());
        page->installEventFilter(this);
    }

    for (const char *name : GreyHeadings) {
        QWidget *heading = control(name);
        QPalette palette = heading->palette();
        palette.setColor(QPalette::WindowText, SystemColours::workspaceGrey(palette));
        heading->setPalette(palette);
    }

    SingleLine::apply(this);
    ui->Picture1->installEventFilter(this);
    // Menu shortcuts belong to the whole window, even inside a text field.
    for (auto *field : findChildren<QLineEdit *>())
        field->installEventFilter(this);
    for (auto *box : findChildren<QPlainTextEdit *>()) {
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this); // where a dropped file lands
    }

    // F10 opens the first menu, the desktop's way into a menu bar from the keyboard; the arrow
    // keys go on from there. The captions carry no access-key letters to do it otherwise.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(ui->mnuFile->menuAction()); });

    setFixedSize(ClientWidth, menuBar()->sizeHint().height() + ClientHeight);
    WindowPlacement::centre(this, nullptr, QRect());
}

void Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window manager that is still starting, or one slowed by a busy machine, may map the
    // window without giving it the input; asking once more costs nothing when it has.
    if (!event->spontaneous())
        activateWindow();
}

void Main::setUpStatusBar()
{
    QStatusBar *bar = ui->StatusBar1;
    bar->setFixedHeight(17);
    std::array<QLabel *, std::size(StatusPanels)> labels{};
    for (std::size_t i = 0; i < std::size(StatusPanels); ++i) {
        const Panel &panel = StatusPanels[i];
        auto *label = new QLabel(QString::fromLatin1(panel.text), bar);
        label->setObjectName(QString::fromLatin1(panel.name));
        label->setToolTip(label->text());
        label->setMinimumWidth(panel.minimumWidth);
        label->setIndent(3);
        // Permanent, so that status tips of the menus never cover the panels.
        bar->addPermanentWidget(label, panel.stretch);
        labels[i] = label;
    }
    m_indicators = new KeyIndicators(labels[1], labels[2], labels[3], this);
}

QFileDialog *Main::commonDialog() const
{
    if (!m_commonDialog)
        setUpCommonDialog();
    return m_commonDialog.get();
}

void Main::setUpCommonDialog() const
{
    // Made on first use: building a file dialog (its file system model and watcher thread)
    // took longer than the whole rest of the window, and most runs may never save. No
    // parent: the preview window runs it while this window is disabled.
    m_commonDialog = std::make_unique<QFileDialog>();
    m_commonDialog->setObjectName(QStringLiteral("CommonDialog1"));
    m_commonDialog->setWindowTitle(QStringLiteral("Locate directory for description.ext file"));
    m_commonDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_commonDialog->setFileMode(QFileDialog::AnyFile);
    m_commonDialog->setDefaultSuffix(QStringLiteral("ext"));
    m_commonDialog->setNameFilter(QStringLiteral("description.ext (description.ext)"));
}

QWidget *Main::control(const char *name) const
{
    QWidget *w = m_controls.value(QString::fromLatin1(name));
    Q_ASSERT_X(w, "Main::control", name);
    return w;
}

void Main::markControls(const ImportReport &report)
{
    for (auto it = m_markedControls.cbegin(); it != m_markedControls.cend(); ++it)
        it.key()->setToolTip(it.value());
    m_markedControls.clear();
    const auto mark = [this](const SettingRow *row, const QString &note) {
        QWidget *w = control(row->field ? fieldName(*row->field) : switchName(row->sw));
        if (!m_markedControls.contains(w))
            m_markedControls.insert(w, w->toolTip());
        w->setToolTip(w->toolTip().isEmpty() ? note : w->toolTip() + QStringLiteral("\n\n") + note);
    };
    const auto key = [](const SettingRow *row) { return QString::fromUtf16(row->key); };
    for (const SettingRow *row : report.setMoreThanOnce)
        mark(row, tr("The opened file sets %1 more than once. This shows its last line, which is "
                     "the one the game uses; the earlier lines stay in Other as written.")
                      .arg(key(row)));
    // The file's own lines go after the sentence, not through arg(): they may hold "%1".
    for (const ImportReport::ConditionalSetting &set : report.setUnderCondition)
        mark(set.row, tr("The opened file sets %1 inside an #if or #ifdef block, so what the game "
                         "uses depends on the condition. Those lines stay in Other as written; "
                         "this control does not show them:")
                              .arg(key(set.row)) +
                          u'\n' + set.lines.join(u'\n'));
}

QPlainTextEdit *Main::codeEdit(CodeBox c) const
{
    return static_cast<QPlainTextEdit *>(control(codeBoxName(c)));
}

void Main::bindSwitches()
{
    auto collect = [this](const auto &rules) {
        for (const Rule &rule : rules) {
            for (const char *name : rule.controls) {
                if (name)
                    m_governed[std::size_t(rule.sw)].push_back(control(name));
            }
        }
    };
    collect(SectionRules);
    collect(StringRules);
    collect(ValueRules);
    collect(MasterRules);

    for (int i = 0; i < SwitchCount; ++i) {
        const Switch s = Switch(i);
        auto *box = static_cast<QCheckBox *>(control(switchName(s)));
        box->setChecked(m_document.isChecked(s));
        box->setEnabled(m_document.isEnabled(s));
        // Setting the value the document already has does nothing, so the echo of a
        // document change through toggled() ends there.
        connect(box, &QCheckBox::toggled, this,
                [this, s](bool on) { m_document.setSwitch(s, on ? 1 : 0); });
    }
    connect(&m_document, &EditorDocument::switchChanged, this, &Main::document_switchChanged);
    connect(&m_document, &EditorDocument::enabledChanged, this, &Main::document_enabledChanged);
}

void Main::bindFields()
{
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        auto *edit = static_cast<QLineEdit *>(control(fieldName(f)));
        edit->setText(m_document.text(f));
        connect(edit, &QLineEdit::textEdited, this,
                [this, f](const QString &text) { m_document.setText(f, text); });
    }
    connect(&m_document, &EditorDocument::textChanged, this, &Main::document_textChanged);
}

void Main::bindCodeBoxes()
{
    for (int i = 0; i < CodeBoxCount; ++i) {
        const CodeBox c = CodeBox(i);
        QPlainTextEdit *edit = codeEdit(c);
        // Entries are indented with TABs; eight spaces per stop, as plain editors show them,
        // instead of the widget's much wider default.
        edit->setTabStopDistance(QFontMetricsF(edit->font()).horizontalAdvance(QLatin1Char(' ')) *
                                 8);
        LongLines::setText(edit, toWidgetText(m_document.code(c)));
        // The raw text keeps no-break spaces (toPlainText() would turn them into spaces);
        // the document turns the widget's paragraph separators into CR LF. A box showing a
        // cut line holds the whole text it was given.
        m_document.setCodeSource(c, [edit] { return LongLines::wholeText(edit); });
        LongLines::guard(edit);
        (new ConfigHighlighter(edit))->setPalette(edit->palette());
        // Completion and key help know the class whose body the box holds.
        QStringList root;
        for (const SectionRow &row : sectionRows()) {
            if (row.box == c)
                root = {QString::fromUtf16(row.name)};
        }
        KeyAssist::install(edit, root);
        connect(edit->document(), &QTextDocument::contentsChanged, this, [this, c] {
            if (!m_writingCode)
                m_document.markCodeStale(c);
        });
    }
    connect(&m_document, &EditorDocument::codeChanged, this, &Main::document_codeChanged);
    connect(&m_document, &EditorDocument::codeAppended, this, &Main::document_codeAppended);
}

void Main::bindRespawnOptions()
{
    for (int i = 0; i < RespawnModeCount; ++i) {
        const RespawnMode mode = RespawnMode(i);
        auto *option = static_cast<QRadioButton *>(control(respawnOptionName(mode)));
        option->setChecked(m_document.respawnMode() == mode);
        connect(option, &QRadioButton::toggled, this, [this, mode](bool checked) {
            if (checked)
                m_document.setRespawnMode(mode);
        });
    }
    connect(&m_document, &EditorDocument::respawnModeChanged, this,
            &Main::document_respawnModeChanged);
}

void Main::applyRule(Switch s)
{
    const bool on = m_document.isChecked(s);
    for (QWidget *dependant : m_governed[std::size_t(s)])
        setControlEnabled(dependant, on);
}

void Main::setControlEnabled(QWidget *control, bool enabled)
{
    control->setEnabled(enabled);
    if (isTextBox(control))
        SystemColours::setFieldBackground(control, enabled);
}

void Main::document_switchChanged(Switch s, int value)
{
    static_cast<QCheckBox *>(control(switchName(s)))->setChecked(value != 0);
    applyRule(s);
}

void Main::document_enabledChanged(Switch s, bool enabled)
{
    control(switchName(s))->setEnabled(enabled);
}

void Main::document_textChanged(Field f)
{
    auto *edit = static_cast<QLineEdit *>(control(fieldName(f)));
    // Typing already shows the text; rewriting it would move the cursor.
    if (edit->text() != m_document.text(f))
        edit->setText(m_document.text(f));
}

void Main::document_codeChanged(CodeBox c)
{
    m_writingCode = true;
    LongLines::setText(codeEdit(c), toWidgetText(m_document.code(c)));
    m_writingCode = false;
}

void Main::document_codeAppended(CodeBox c, const QString &text)
{
    QPlainTextEdit *edit = codeEdit(c);
    if (LongLines::appendNeedsWholeText(edit, text)) {
        document_codeChanged(c);
        return;
    }
    m_writingCode = true;
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toWidgetText(text));
    m_writingCode = false;
}

void Main::document_respawnModeChanged(RespawnMode mode)
{
    static_cast<QRadioButton *>(control(respawnOptionName(mode)))->setChecked(true);
}

void Main::fitPage(QWidget *page)
{
    // The row of tabs takes part of the tab control's height, so a control designed to reach
    // down to the bottom of the page is shortened to end just inside the page area.
    const int bottom = page->height() - PageBottomMargin;
    for (QWidget *child : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect designed = child->property(DesignedGeometry).toRect();
        if (designed.isNull())
            continue;
        QRect fitted = designed;
        if (fitted.bottom() > bottom)
            fitted.setBottom(bottom);
        child->setGeometry(fitted);
    }
    // The logo shrinks with its box, keeping its proportions, instead of losing its edge.
    if (ui->Picture1->parentWidget() == page) {
        const QPixmap logo(QStringLiteral(":/logo.png"));
        ui->Picture1->setPixmap(
            logo.scaled(ui->Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

void Main::showStatusNote(const QString &note)
{
    auto *panel = findChild<QLabel *>(QStringLiteral("textPanel"));
    panel->setText(note);
    // A few seconds, then the panel's own text again.
    QTimer::singleShot(StatusNoteMs, panel,
                       [panel] { panel->setText(QString::fromLatin1(StatusPanels[0].text)); });
}

void Main::dragEnterEvent(QDragEnterEvent *event)
{
    if (isEnabled() && !droppedFile(event).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Main::dropEvent(QDropEvent *event)
{
    const QString file = droppedFile(event);
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the question and the report must not run inside it.
    QTimer::singleShot(0, this, [this, file] { openFile(file); });
}

void Main::closeEvent(QCloseEvent *event)
{
    // While another window of the program is open this window is disabled, and closing it
    // then would pull the rug from under that window.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool Main::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (auto *page = qobject_cast<QWidget *>(watched);
            page && page->parentWidget() && ui->Items->indexOf(page) >= 0)
            fitPage(page);
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // A file dropped anywhere on the window is opened, not pasted as its name.
        if (!droppedFile(static_cast<QDropEvent *>(event)).isEmpty()) {
            if (event->type() == QEvent::Drop)
                dropEvent(static_cast<QDropEvent *>(event));
            else
                dragEnterEvent(static_cast<QDragEnterEvent *>(event));
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == ui->Picture1)
            Q_EMIT logoDoubleClicked();
        break;
    case QEvent::ShortcutOverride: {
        // A text field claims keys such as Ctrl+X for itself; leaving the override
        // unaccepted lets the menu's shortcut win.
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *action :
             {ui->mnuOpen, ui->mnuOpenReport, ui->mnuMissionSettings, ui->mnuEndings,
              ui->mnuFunctions, ui->mnuRemoteExec, ui->mnuCreate, ui->mnuSave, ui->mnuMinimize,
              ui->mnuExit, ui->mnuHelpContents, ui->mnuAbout}) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
