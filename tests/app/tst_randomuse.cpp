// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "descriptionimport.h"
#include "documentorigin.h"
#include "editordocument.h"
#include "encoding.h"
#include "generator.h"
#include "mainwindow.h"
#include "scriptedservices.h"
#include "systemcolours.h"
#include "textcodec.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

// A long, seeded run of random user actions against the real windows: clicks and double-clicks,
// typing, editing keys, pasting, close requests, menus and their shortcuts, the entry dialogs,
// Create and saving. After every action it checks what holds whatever the user does: at most
// one window besides Main, Main enabled exactly when none is open and active otherwise, an
// entry dialog's section locked while it is open and released after it, field colours that
// follow the fields' enabled state, the generated text's layout, what a save wrote, and that
// nothing acts from a window that has closed. A failure reports the seed and the last actions;
// MERROW_SEED and MERROW_ACTIONS replay or lengthen a run, MERROW_TRACE=1 prints every action
// as it happens (for runs that crash). CI runs DefaultActions, also under the sanitizers; the
// long run is MERROW_ACTIONS=50000 in build-asan.

namespace {

constexpr quint32 DefaultSeed = 20261207;
constexpr int DefaultActions = 20000;
constexpr int RememberedActions = 20;

const QString MainName = QStringLiteral("Main");
const QString PreviewName = QStringLiteral("savePreview");
const QString AboutName = QStringLiteral("about");

// The sections whose Add button opens an entry dialog, and what the dialog locks.
struct Section
{
    const char *dialog;
    int page;
    std::array<const char *, 2> switches; // the last one governs the Add button
    const char *addButton;
};
constexpr Section Sections[] = {
    {"addIdentity", 1, {"mainIdentityActive"}, "addIdentityButton"},
    {"addRadio", 2, {"mainRadioActive"}, "addRadioButton"},
    {"addSound", 3, {"mainSoundActive"}, "addSoundButton"},
    {"addMusic", 4, {"mainMusicActive"}, "addMusicButton"},
    {"addLoadout", 5, {"mainLoadoutActive"}, "addLoadoutButton"},
    {"addMPParams", 6, {"respawnActive", "paramsActive"}, "addParamsButton"},
};

const Section *sectionOfDialog(const QString &objectName)
{
    for (const Section &s : Sections) {
        if (objectName == QLatin1String(s.dialog))
            return &s;
    }
    return nullptr;
}

// Whether `text` is the header line, an empty line, then the fragments in slot order with
// exactly GroupSeparatorCount lone CR LF among and after them. Where each separator stands is
// fixed by the golden files of the generator's tests; this is what holds in every state.
template <typename FragmentText> bool laidOut(const QString &text, FragmentText fragment)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString head = QString::fromUtf16(HeaderComment) + crlf + crlf;
    if (!text.startsWith(head))
        return false;
    qsizetype pos = head.size();
    int separators = 0;
    const auto skipSeparator = [&] {
        if (!QStringView(text).sliced(pos).startsWith(crlf))
            return false;
        pos += crlf.size();
        return ++separators > 0;
    };
    for (int i = 0; i < FragmentCount; ++i) {
        const QString f = fragment(Fragment(i));
        while (!QStringView(text).sliced(pos).startsWith(f)) {
            if (!skipSeparator())
                return false;
        }
        pos += f.size();
    }
    while (skipSeparator()) {
    }
    return pos == text.size() && separators == GroupSeparatorCount;
}

// Typed text as the log shows it, on one line.
QString visible(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    shown.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return shown;
}

QString describe(const QWidget *w)
{
    if (!w)
        return QStringLiteral("(none)");
    const QString name = w->objectName().isEmpty()
                             ? QString::fromLatin1(w->metaObject()->className())
                             : w->objectName();
    if (w->isWindow())
        return name;
    return w->window()->objectName() + QLatin1Char('/') + name;
}

// A field's own enabled state, as its switch left it: disabling the whole window or the tab
// control (the lock of an open dialog) does not count, because neither recolours fields.
bool fieldSwitchedOn(const QWidget *field)
{
    for (const QWidget *w = field; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->objectName() == QLatin1String("Items"))
            break;
        if (w->testAttribute(Qt::WA_ForceDisabled))
            return false;
    }
    return true;
}

bool isNamedField(const QWidget *w)
{
    return (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)) &&
           !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
}

// Answers every question at random and picks a file in a scratch folder (or cancels).
// Remembers what a save should have written so that the run can check the file.
class RandomPrompts : public ScriptedServices
{
public:
    RandomPrompts(QRandomGenerator &random, const QString &folder)
        : m_random(random), m_folder(folder)
    {
    }

    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        ScriptedServices::message(parent, icon, title, text, buttons, defaultButton);
        if (parent && !parent->window()->isVisible() && problem.isEmpty())
            problem =
                QStringLiteral("%1 asked \"%2\" after it closed")
                    .arg(parent->window()->objectName(), text.section(QLatin1Char('\n'), 0, 0));
        QMessageBox::StandardButton answer = defaultButton;
        if (buttons.testFlag(QMessageBox::Yes) && buttons.testFlag(QMessageBox::No))
            answer = m_random.bounded(2) ? QMessageBox::Yes : QMessageBox::No;
        lastAnswer = answer;
        notes << QStringLiteral("asked \"%1\": %2")
                     .arg(text.section(QLatin1Char('\r'), 0, 0).left(40),
                          answer == QMessageBox::Yes  ? QStringLiteral("Yes")
                          : answer == QMessageBox::No ? QStringLiteral("No")
                                                      : QStringLiteral("OK"));
        return answer;
    }

    bool runFileDialog(QFileDialog &dialog) override
    {
        ++fileDialogs;
        if (dialog.parentWidget() && !dialog.parentWidget()->isVisible() && problem.isEmpty())
            problem = QStringLiteral("the file dialog opened for a closed %1")
                          .arg(dialog.parentWidget()->objectName());
        // The dialog lives as long as Main and opens with the file chosen last, or with the
        // file the document was opened from.
        const QString expected = openedPath.isEmpty() ? m_lastChoice : openedPath;
        if ((&dialog == m_lastDialog || !openedPath.isEmpty()) &&
            dialog.selectedFiles().value(0) != expected && problem.isEmpty())
            problem = QStringLiteral("the file dialog forgot %1, it shows %2")
                          .arg(expected, dialog.selectedFiles().value(0));
        if (m_random.bounded(4) == 0) {
            notes << QStringLiteral("file dialog cancelled");
            return false;
        }
        const QString path =
            m_folder + QStringLiteral("/description%1.ext").arg(m_random.bounded(3));
        writeFailure = m_random.bounded(8) == 0 ? QStringLiteral("The disk is full.") : QString();
        dialog.selectFile(path);
        m_lastDialog = &dialog;
        m_lastChoice = path;
        // The preview lends itself the dialog while it runs; its text is what gets saved.
        const auto *preview = dialog.parentWidget();
        const auto *text =
            preview ? preview->findChild<QPlainTextEdit *>(QStringLiteral("codePreview")) : nullptr;
        // Raw, as the preview saves it: no-break spaces stay what they are.
        pendingSave = {path, text ? text->document()->toRawText() : QString()};
        notes << QStringLiteral("file dialog: %1%2")
                     .arg(path.section(QLatin1Char('/'), -1),
                          writeFailure.isEmpty() ? QString() : QStringLiteral(" (disk full)"));
        return true;
    }

    struct Save
    {
        QString path;
        QString text;
    };
    std::optional<Save> pendingSave;
    // The file the document was opened from (or last saved to), which Save As proposes, and
    // the encoding a save keeps.
    QString openedPath;
    config::TextEncoding openedEncoding = config::TextEncoding::Utf8;
    QStringList notes; // what was asked and answered during the current action
    QMessageBox::StandardButton lastAnswer = QMessageBox::NoButton;
    QString problem; // something wrong seen while answering

private:
    QRandomGenerator &m_random;
    QString m_folder;
    QPointer<QFileDialog> m_lastDialog;
    QString m_lastChoice;
};

// Notices that the offscreen platform and QTest print thousands of times in such a run and
// that say nothing about the program.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg &&
        (message.contains(QLatin1String("not accepted by receiving widget")) ||
         message.contains(QLatin1String("does not support raise()")) ||
         message.contains(QLatin1String("does not support grabbing"))))
        return;
    previousHandler(type, context, message);
}

// Painting every window after every action would take most of the run's time, and the program
// draws nothing of its own: pending repaints are held back and done after every few actions.
class PaintThrottle : public QObject
{
public:
    static constexpr int Every = 8;

    PaintThrottle() { qApp->installEventFilter(this); }

    void paintWindows()
    {
        m_painting = true;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) {
                QEvent update(QEvent::UpdateRequest);
                QCoreApplication::sendEvent(w, &update);
            }
        }
        m_painting = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest && !m_painting)
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painting = false;
};

} // namespace

class tst_RandomUse : public QObject
{
    Q_OBJECT

private:
    // Where the user is: which window has the input.
    enum Place : unsigned { InMain = 1, InEntryDialog = 2, InPreview = 4, InAbout = 8 };
    static constexpr unsigned Anywhere = InMain | InEntryDialog | InPreview | InAbout;
    static constexpr unsigned OutsideMain = InEntryDialog | InPreview | InAbout;

    struct Action
    {
        int weight;
        unsigned places;
        const char *name;
        void (tst_RandomUse::*run)();
    };
    static const Action Actions[];

    QRandomGenerator m_random;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<RandomPrompts> m_prompts;
    std::unique_ptr<Main> m_main;
    QString m_detail;  // what the running action did, for the log
    QString m_failure; // set by an action that saw something wrong
    QStringList m_log; // the last actions, oldest first
    int m_restarts = 0;

    // ---- windows ----

    static QList<QWidget *> secondaryWindows()
    {
        QList<QWidget *> windows;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->objectName() == MainName)
                continue;
            const Qt::WindowType type = w->windowType();
            if (type == Qt::ToolTip || type == Qt::Popup || type == Qt::Desktop)
                continue;
            windows << w;
        }
        return windows;
    }

    // The window that has the input: the open secondary window, else the main window.
    QWidget *activeWindow() const
    {
        const QList<QWidget *> open = secondaryWindows();
        return open.isEmpty() ? static_cast<QWidget *>(m_main.get()) : open.last();
    }

    Place place() const
    {
        const QWidget *w = activeWindow();
        if (w == m_main.get())
            return InMain;
        if (w->objectName() == PreviewName)
            return InPreview;
        if (w->objectName() == AboutName)
            return InAbout;
        return InEntryDialog;
    }

    QWidget *keyTarget() const
    {
        QWidget *window = activeWindow();
        QWidget *focus = window->focusWidget();
        return focus && focus->isVisible() ? focus : window;
    }

    template <typename T = QWidget> T *mainChild(const char *name) const
    {
        return m_main->findChild<T *>(QString::fromLatin1(name));
    }

    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool startProgram()
    {
        m_main = std::make_unique<Main>();
        // Entries come only from an entry dialog that is open.
        connect(&m_main->document(), &EditorDocument::codeAppended, this, [this](CodeBox box) {
            if (place() != InEntryDialog)
                m_failure = QStringLiteral("an entry was appended to %1 with no dialog open")
                                .arg(codeBoxName(box));
        });
        m_main->show();
        return QTest::qWaitForWindowActive(m_main.get());
    }

    // ---- input ----

    int pick(int n) { return int(m_random.bounded(n)); }

    // One keystroke of random text: mostly letters and digits, then what code and quoted
    // texts are made of, letters of other scripts, emoji, TABs and line breaks.
    QString randomKeystroke(bool allowBreaks)
    {
        static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCXYZ0123456789 ");
        static const QString syntax = QStringLiteral("\"'{};=,.[]\\/_-+");
        static const QStringList foreign = {
            QStringLiteral("ä"), QStringLiteral("ß"), QStringLiteral("é"),  QStringLiteral("€"),
            QStringLiteral("ж"), QStringLiteral("Ω"), QStringLiteral("中"), QStringLiteral("ع"),
            QStringLiteral("😀"), QStringLiteral("🎵")};
        const int roll = pick(100);
        if (roll < 60)
            return plain.at(pick(plain.size()));
        if (roll < 78)
            return syntax.at(pick(syntax.size()));
        if (roll < 90 || !allowBreaks)
            return foreign.at(pick(foreign.size()));
        return roll < 95 ? QStringLiteral("\t") : QStringLiteral("\n");
    }

    static void typeKeystroke(QWidget *target, const QString &keystroke)
    {
        if (keystroke == QLatin1String("\t")) {
            QTest::keyClick(target, Qt::Key_Tab);
        } else if (keystroke == QLatin1String("\n")) {
            QTest::keyClick(target, Qt::Key_Return);
        } else {
            const char16_t first = keystroke.at(0).unicode();
            const auto key =
                first < 0x80 ? Qt::Key(QChar(first).toUpper().unicode()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, target, key, keystroke, Qt::NoModifier);
        }
    }

    QString typeRandomText(QWidget *target, int length, bool allowBreaks)
    {
        QString typed;
        for (int i = 0; i < length; ++i) {
            const QString keystroke = randomKeystroke(allowBreaks);
            // Each keystroke goes where the focus is now; TAB and Enter may move it.
            QWidget *now = target ? target : keyTarget();
            typeKeystroke(now, keystroke);
            typed += keystroke;
        }
        return typed;
    }

    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = keyTarget();
        m_detail = describe(target);
        QTest::keyClick(target, key, modifiers);
    }

    // Where on a control a click lands: a random point, or the indicator of a check box or
    // option button, a random tab of a tab bar, a random place in a code box.
    std::pair<QWidget *, QPoint> clickPoint(QWidget *w)
    {
        if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
            return {w, QPoint(4, w->height() / 2)};
        if (auto *edit = qobject_cast<QPlainTextEdit *>(w))
            w = edit->viewport();
        if (auto *bar = qobject_cast<QTabBar *>(w)) {
            const int tab = pick(bar->count());
            m_detail += QStringLiteral(" tab %1").arg(tab);
            return {bar, bar->tabRect(tab).center()};
        }
        return {w, QPoint(pick(qMax(1, w->width())), pick(qMax(1, w->height())))};
    }

    void clickWidget(QWidget *w)
    {
        const auto [target, at] = clickPoint(w);
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }

    // A double-click arrives from the window system: its second click still reaches the
    // window when the first one closed it, as input queued for a closing window does.
    void doubleClickWidget(QWidget *w)
    {
        const auto [target, at] = clickPoint(w);
        QWindow *window = target->window()->windowHandle();
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           window->mapFromGlobal(target->mapToGlobal(at)));
    }

    // ---- actions ----

    // Buttons, check boxes, option buttons, text fields, code boxes and tabs; in the about
    // box, its picture and text.
    static bool isClickable(const QWidget *w)
    {
        return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
               qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTabBar *>(w) ||
               (w->window()->objectName() == AboutName && qobject_cast<const QLabel *>(w));
    }

    // A random enabled control of the window that has the input, or nullptr.
    QWidget *anyControl()
    {
        QWidget *window = activeWindow();
        QList<QWidget *> controls;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (w->isVisible() && w->isEnabled() && isClickable(w))
                controls << w;
        }
        QWidget *control = controls.isEmpty() ? nullptr : controls.at(pick(controls.size()));
        m_detail = control ? describe(control) : QStringLiteral("nothing in ") + describe(window);
        return control;
    }

    void clickControl()
    {
        if (QWidget *control = anyControl())
            clickWidget(control);
    }

    void doubleClickControl()
    {
        if (QWidget *control = anyControl())
            doubleClickWidget(control);
    }

    void typeText()
    {
        QWidget *target = keyTarget();
        const QString typed = typeRandomText(nullptr, 1 + pick(12), true);
        m_detail = QStringLiteral("\"%1\" into %2").arg(visible(typed), describe(target));
    }

    void pressEscape() { pressKey(Qt::Key_Escape); }
    void pressEnter() { pressKey(Qt::Key_Return); }
    void pressTab() { pressKey(Qt::Key_Tab); }
    void pressBacktab() { pressKey(Qt::Key_Backtab, Qt::ShiftModifier); }
    void pressSpace() { pressKey(Qt::Key_Space); }

    // Editing and lock keys: moving about in and deleting from texts, and the keys whose state
    // the status bar shows.
    void pressOtherKey()
    {
        static constexpr Qt::Key Keys[] = {
            Qt::Key_Backspace, Qt::Key_Delete,   Qt::Key_Home,   Qt::Key_End,    Qt::Key_Left,
            Qt::Key_Right,     Qt::Key_Up,       Qt::Key_Down,   Qt::Key_PageUp, Qt::Key_PageDown,
            Qt::Key_Insert,    Qt::Key_CapsLock, Qt::Key_NumLock};
        const Qt::Key key = Keys[pick(int(std::size(Keys)))];
        pressKey(key);
        m_detail = QKeySequence(key).toString() + QStringLiteral(" into ") + m_detail;
    }

    // Pastes text copied in another program: lines broken by CR LF, lone CR or LF, line and
    // paragraph separators, with TABs, quotes and letters of other scripts.
    void pasteText()
    {
        static const QStringList Breaks = {QStringLiteral("\r\n"), QStringLiteral("\r"),
                                           QStringLiteral("\n"), QString(QChar(0x2028)),
                                           QString(QChar(0x2029))};
        QString text;
        for (int line = 0, lines = 1 + pick(3); line < lines; ++line) {
            for (int i = 0, n = pick(10); i < n; ++i)
                text += randomKeystroke(true);
            text += Breaks.at(pick(int(Breaks.size())));
        }
        QGuiApplication::clipboard()->setText(text);
        pressKey(Qt::Key_V, Qt::ControlModifier);
        m_detail = QStringLiteral("\"%1\" into %2").arg(visible(text), m_detail);
    }

    // Select all and delete: keeps the code boxes from growing without end.
    void eraseAll()
    {
        pressKey(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(keyTarget(), Qt::Key_Delete);
    }

    void closeActiveWindow()
    {
        QWidget *window = activeWindow();
        m_detail = describe(window);
        window->windowHandle()->close(); // as the window manager's close button does
    }

    // The main window's close button, also while another window keeps it disabled.
    void closeMainWindow() { m_main->windowHandle()->close(); }

    // What the menu commands leave behind, to tell whether one ran.
    struct Traces
    {
        int helpRequests;
        qsizetype questions;
        bool minimized;
        Place place;
    };
    Traces traces() const
    {
        return {m_prompts->helpRequests, m_prompts->messages.size(), m_main->isMinimized(),
                place()};
    }

    enum class Command { Create, Minimize, Exit, Help, About };
    static bool ran(Command command, const Traces &before, const Traces &after)
    {
        switch (command) {
        case Command::Create:
            return before.place != InPreview && after.place == InPreview;
        case Command::Minimize:
            return after.minimized && !before.minimized;
        case Command::Exit:
            return after.questions > before.questions;
        case Command::Help:
            return after.helpRequests > before.helpRequests;
        case Command::About:
            return before.place != InAbout && after.place == InAbout;
        }
        return false;
    }

    // Menu shortcuts act from every control of Main, text fields included, and nowhere else.
    // Returns whether the command ran.
    bool pressShortcut(Qt::Key key, Qt::KeyboardModifiers modifiers, Command command)
    {
        const bool inMain = place() == InMain;
        const Traces before = traces();
        pressKey(key, modifiers);
        settle();
        const bool done = ran(command, before, traces());
        if (done != inMain)
            m_failure =
                QStringLiteral("%1 %2 in %3")
                    .arg(QKeySequence(key | modifiers).toString(),
                         done ? QStringLiteral("ran its command") : QStringLiteral("did nothing"),
                         m_detail);
        return done;
    }

    // Opens a menu of the menu bar with the mouse and clicks one of its items.
    void chooseMenuItem()
    {
        static constexpr std::pair<const char *, Command> Items[] = {
            {"mnuCreate", Command::Create}, {"mnuMinimize", Command::Minimize},
            {"mnuExit", Command::Exit},     {"mnuHelpContents", Command::Help},
            {"mnuAbout", Command::About},
        };
        const auto &[name, command] = Items[pick(int(std::size(Items)))];
        m_detail = QLatin1String(name);
        auto *item = m_main->findChild<QAction *>(QLatin1String(name));
        QMenu *menu = nullptr;
        for (QMenu *m : m_main->menuBar()->findChildren<QMenu *>()) {
            if (m->actions().contains(item))
                menu = m;
        }
        QMenuBar *bar = m_main->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        settle();
        if (!menu->isVisible()) {
            m_failure = QStringLiteral("the menu %1 did not open").arg(menu->objectName());
            return;
        }
        const Traces before = traces();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        settle();
        if (menu->isVisible())
            m_failure = QStringLiteral("the menu %1 stayed open").arg(menu->objectName());
        else if (!ran(command, before, traces()))
            m_failure = QStringLiteral("the menu item did nothing");
    }

    // A click on the disabled main window behind another window does nothing.
    void clickMainBehind()
    {
        QList<QWidget *> controls;
        for (QWidget *w : m_main->findChildren<QWidget *>()) {
            if (w->isVisible() && w->isEnabledTo(m_main.get()) && isClickable(w))
                controls << w;
        }
        if (controls.isEmpty())
            return;
        QWidget *control = controls.at(pick(controls.size()));
        m_detail = describe(control);
        clickWidget(control);
    }

    void pressCreate() { pressShortcut(Qt::Key_F2, Qt::ControlModifier, Command::Create); }
    void pressMinimize() { pressShortcut(Qt::Key_M, Qt::ControlModifier, Command::Minimize); }
    void pressHelp() { pressShortcut(Qt::Key_F1, Qt::NoModifier, Command::Help); }

    // Exit asks first; Yes ends the program, No changes nothing, not even the focused text
    // (Ctrl+X is not a cut here).
    void pressExit()
    {
        const QWidget *field = keyTarget();
        const auto text = [field] {
            if (const auto *line = qobject_cast<const QLineEdit *>(field))
                return line->text();
            if (const auto *box = qobject_cast<const QPlainTextEdit *>(field))
                return box->toPlainText();
            return QString();
        };
        const QString textBefore = text();
        if (!pressShortcut(Qt::Key_X, Qt::ControlModifier, Command::Exit) || !m_failure.isEmpty())
            return;
        if (m_prompts->lastAnswer == QMessageBox::Yes && m_main->isVisible())
            m_failure = QStringLiteral("Exit answered Yes left Main open");
        else if (m_prompts->lastAnswer == QMessageBox::No &&
                 (!m_main->isVisible() || text() != textBefore))
            m_failure = QStringLiteral("Exit answered No changed something");
    }

    // Goes to a section's page, switches it on if needed and presses its Add button.
    void openEntryDialog()
    {
        const Section &section = Sections[pick(int(std::size(Sections)))];
        m_detail = QString::fromLatin1(section.dialog);
        QTabBar *bar = m_main->items()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(section.page).center());
        for (const char *name : section.switches) {
            auto *box = name ? mainChild<QCheckBox>(name) : nullptr;
            if (box && !box->isChecked())
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        QTest::mouseClick(mainChild<QPushButton>(section.addButton), Qt::LeftButton);
        settle();
        if (activeWindow()->objectName() != QLatin1String(section.dialog))
            m_failure = QStringLiteral("its Add button did not open %1").arg(section.dialog);
    }

    // Opens a description into the form: a file saved earlier in the run or the text the form
    // would write now, now and then with a few bytes changed. The question before replacing
    // entries is answered at random; a file not opened leaves the form exactly as it was. The
    // report that opening shows is read and closed, as a user would.
    void openFile()
    {
        QByteArray bytes;
        QFile saved(m_folder->filePath(QStringLiteral("description%1.ext").arg(pick(3))));
        if (pick(2) && saved.open(QIODevice::ReadOnly))
            bytes = saved.readAll();
        else
            bytes = descriptionFileBytes(generate(m_main->document()).text).bytes;
        const int damage = pick(3) == 0 ? 1 + pick(8) : 0;
        for (int n = 0; n < damage && !bytes.isEmpty(); ++n)
            bytes[pick(int(bytes.size()))] = char(pick(256));
        const QString path = m_folder->filePath(QStringLiteral("open.ext"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            m_failure = QStringLiteral("cannot write %1").arg(path);
            return;
        }
        file.close();
        m_detail = QStringLiteral("%1 bytes, %2 changed").arg(bytes.size()).arg(damage);
        const FormSnapshot before = FormSnapshot::of(m_main->document());
        const bool opened = m_main->openFile(path);
        settle();
        for (QWidget *w : secondaryWindows()) {
            if (w->objectName() == QLatin1String("openReport"))
                w->close();
        }
        settle();
        if (!opened && !(FormSnapshot::of(m_main->document()) == before))
            m_failure = QStringLiteral("a file that was not opened changed the form");
    }

    // Types into the empty fields of the open entry dialog (now and then leaving one out, so
    // that the required-field check also runs) and presses its Add button.
    void fillAndAdd()
    {
        QWidget *dialog = activeWindow();
        m_detail = describe(dialog);
        for (QLineEdit *field : dialog->findChildren<QLineEdit *>()) {
            if (!field->isVisible() || !field->isEnabled() || !field->text().isEmpty() ||
                pick(12) == 0)
                continue;
            QTest::mouseClick(field, Qt::LeftButton);
            typeRandomText(field, 1 + pick(6), false);
        }
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->objectName().startsWith(QLatin1String("add"))) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        m_failure = QStringLiteral("no Add button in ") + describe(dialog);
    }

    void doubleClickLogo()
    {
        QTabBar *bar = m_main->items()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QWidget *logo = mainChild("Picture1");
        QTest::mousePress(logo, Qt::LeftButton);
        QTest::mouseRelease(logo, Qt::LeftButton);
        QTest::mouseDClick(logo, Qt::LeftButton);
        QTest::mouseRelease(logo, Qt::LeftButton);
        settle();
        if (activeWindow()->objectName() != AboutName)
            m_failure = QStringLiteral("the logo did not open the about box");
    }

    void saveAs()
    {
        QWidget *preview = activeWindow();
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("saveAsButton")),
                          Qt::LeftButton);
    }

    // ---- invariants ----

    QString checkWindows(const QString &dialogBefore) const
    {
        const QList<QWidget *> open = secondaryWindows();
        if (open.size() > 1) {
            QStringList names;
            for (const QWidget *w : open)
                names << describe(w);
            return QStringLiteral("more than one secondary window open: ") + names.join(u", ");
        }
        if (m_main->isEnabled() != open.isEmpty())
            return QStringLiteral("Main is %1 while %2 is open")
                .arg(m_main->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                     open.isEmpty() ? QStringLiteral("no other window") : describe(open.first()));

        if (!open.isEmpty()) {
            // An open entry dialog holds its section locked.
            if (const Section *section = sectionOfDialog(open.first()->objectName())) {
                QStringList locked{QStringLiteral("Items"), QLatin1String(section->addButton)};
                for (const char *name : section->switches) {
                    if (name)
                        locked << QLatin1String(name);
                }
                for (const QString &name : locked) {
                    const QWidget *w = m_main->findChild<QWidget *>(name);
                    if (!w || !w->testAttribute(Qt::WA_ForceDisabled))
                        return QStringLiteral("%1 is not locked while %2 is open")
                            .arg(name, open.first()->objectName());
                }
            }
            return {};
        }

        // No other window: the section controls are as their switches say.
        const QString after = dialogBefore.isEmpty()
                                  ? QString()
                                  : QStringLiteral(" after %1 closed").arg(dialogBefore);
        if (!m_main->items()->isEnabled())
            return QStringLiteral("Items is disabled") + after;
        for (const Section &s : Sections) {
            for (const char *name : s.switches) {
                if (name && !mainChild(name)->isEnabled())
                    return QStringLiteral("%1 is disabled").arg(name) + after;
            }
            const auto *governing =
                mainChild<QCheckBox>(s.switches[1] ? s.switches[1] : s.switches[0]);
            const bool on = governing->isChecked();
            if (mainChild(s.addButton)->isEnabled() != on)
                return QStringLiteral("%1 is %2 while %3 is %4")
                           .arg(s.addButton,
                                on ? QStringLiteral("disabled") : QStringLiteral("enabled"),
                                governing->objectName(),
                                on ? QStringLiteral("on") : QStringLiteral("off")) +
                       after;
        }
        return {};
    }

    // The window that takes the input is the active one: a window that closes hands the
    // focus back to Main.
    QString checkActivation() const
    {
        if (!m_main->isVisible() || m_main->isMinimized())
            return {};
        if (QApplication::activeWindow() != activeWindow())
            return QStringLiteral("%1 is active instead of %2")
                .arg(describe(QApplication::activeWindow()), describe(activeWindow()));
        return {};
    }

    QString checkFieldColours() const
    {
        QList<QWidget *> windows = secondaryWindows();
        windows << m_main.get();
        for (const QWidget *window : windows) {
            for (const QWidget *field : window->findChildren<QWidget *>()) {
                if (!isNamedField(field))
                    continue;
                const QPalette palette = QApplication::palette(field);
                const bool on = fieldSwitchedOn(field);
                const QColor expected = on ? SystemColours::enabledFieldBackground(palette)
                                           : SystemColours::inactiveFieldBackground(palette);
                const QColor shown = SystemColours::fieldBackground(field);
                if (shown != expected)
                    return QStringLiteral("%1 is %2 but painted %3 instead of %4")
                        .arg(describe(field),
                             on ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                             shown.name(), expected.name());
            }
        }
        return {};
    }

    QString checkGeneratedText(bool previewJustOpened) const
    {
        const EditorDocument &document = m_main->document();
        for (int c = 0; c < CodeBoxCount; ++c) {
            if (document.code(CodeBox(c)) != normalizeLineBreaks(document.code(CodeBox(c))))
                return QStringLiteral("%1 holds a line break other than CR LF")
                    .arg(codeBoxName(CodeBox(c)));
        }
        if (document.origin()) {
            // An opened file is written again with only the form's changes.
            if (previewJustOpened &&
                document.generatedText() != document.origin()->render(document))
                return QStringLiteral("Create stored a text other than the opened file's");
            return {};
        }
        const GeneratedFile file = generate(document);
        const QString headerLine = QString::fromUtf16(HeaderComment) + QStringLiteral("\r\n");
        if (!file.text.startsWith(headerLine))
            return QStringLiteral("the generated text does not start with the header line");
        if (!laidOut(file.text, [&](Fragment f) { return file.fragments[int(f)]; }))
            return QStringLiteral("the generated text is not header, fragments and the %1 "
                                  "group separators in place")
                .arg(GroupSeparatorCount);

        const QString &stored = document.generatedText();
        if (!stored.isEmpty() && !stored.startsWith(headerLine))
            return QStringLiteral("the stored generated text lost its header line");
        if (!previewJustOpened)
            return {};
        // Create has just run: it stored this very text and its fragments, and shows it.
        if (stored != file.text)
            return QStringLiteral("Create stored a text other than what the document generates");
        if (!laidOut(stored, [&](Fragment f) { return document.fragment(f); }))
            return QStringLiteral("Create's text does not match the fragments it stored");
        const auto *preview =
            activeWindow()->findChild<QPlainTextEdit *>(QStringLiteral("codePreview"));
        // The raw text: a no-break space (as an opened 8-bit file can hold) stays one.
        if (!preview ||
            normalizeLineBreaks(preview->document()->toRawText()) != normalizeLineBreaks(stored))
            return QStringLiteral("the preview does not show the generated text");
        return {};
    }

    // A save that closed the preview wrote exactly the preview's text.
    QString checkSave()
    {
        const auto save = std::exchange(m_prompts->pendingSave, std::nullopt);
        if (!save || place() == InPreview)
            return {}; // cancelled, refused or failed: the preview stays open
        QFile file(save->path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("the preview closed but %1 was not written").arg(save->path);
        const QByteArray bytes = file.readAll();
        if (m_main->document().origin()) {
            // Saved in the opened file's encoding and line ends.
            const QByteArray written =
                config::encodeText(normalizeLineBreaks(save->text), m_prompts->openedEncoding)
                    .bytes;
            const config::DecodedText read = config::decodeText(bytes);
            const QString expected = config::decodeText(written).text;
            const QString got = normalizeLineBreaks(read.text);
            if (got != expected) {
                qsizetype at = 0;
                while (at < got.size() && at < expected.size() && got[at] == expected[at])
                    ++at;
                return QStringLiteral("%1 does not hold the preview's text (read as %2, from "
                                      "character %3: \"%4\" against \"%5\")")
                    .arg(save->path, config::encodingName(read.encoding))
                    .arg(at)
                    .arg(got.mid(at, 20), expected.mid(at, 20));
            }
            return {};
        }
        if (bytes != descriptionFileBytes(save->text).bytes)
            return QStringLiteral("%1 does not hold the preview's text").arg(save->path);
        return {};
    }

    QString checkInvariants(const QString &dialogBefore, bool previewBefore)
    {
        QString failure = std::exchange(m_prompts->problem, QString());
        if (failure.isEmpty())
            failure = checkWindows(dialogBefore);
        if (failure.isEmpty())
            failure = checkActivation();
        if (failure.isEmpty())
            failure = checkFieldColours();
        if (failure.isEmpty())
            failure = checkGeneratedText(!previewBefore && place() == InPreview);
        if (failure.isEmpty())
            failure = checkSave();
        return failure;
    }

    // ---- the run ----

    const Action &chooseAction();

    void remember(int index, const QString &entry)
    {
        m_log << QStringLiteral("#%1 %2").arg(index).arg(entry);
        if (m_log.size() > RememberedActions)
            m_log.removeFirst();
        static const bool trace = qEnvironmentVariableIntValue("MERROW_TRACE") != 0;
        if (trace)
            qInfo("%s", qPrintable(m_log.last()));
    }

    // The user gets the program back on the screen: from the task bar after Minimize, or by
    // starting it again after it was closed. Returns what was done, or nullptr.
    const char *bringBack()
    {
        if (m_main->isMinimized()) {
            m_main->showNormal();
            m_main->activateWindow();
            settle();
            return "restore Main from the task bar";
        }
        if (!m_main->isVisible()) {
            ++m_restarts;
            m_main.reset();
            settle();
            if (!startProgram())
                m_failure = QStringLiteral("the new main window never became active");
            return "start the program again";
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietHandler); }

    void randomUse()
    {
        bool ok = false;
        quint32 seed = qEnvironmentVariable("MERROW_SEED").toUInt(&ok);
        if (!ok)
            seed = DefaultSeed;
        int count = qEnvironmentVariableIntValue("MERROW_ACTIONS", &ok);
        if (!ok || count <= 0)
            count = DefaultActions;
        qInfo("random use: MERROW_SEED=%u MERROW_ACTIONS=%d", seed, count);

        m_random.seed(seed);
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_prompts = std::make_unique<RandomPrompts>(m_random, m_folder->path());
        QVERIFY(startProgram());

        PaintThrottle painter;
        QElapsedTimer clock;
        clock.start();
        int previews = 0;
        int dialogs = 0;
        for (int i = 0; i < count; ++i) {
            const QWidget *before = activeWindow();
            const QString dialogBefore =
                sectionOfDialog(before->objectName()) ? before->objectName() : QString();
            const bool previewBefore = before->objectName() == PreviewName;

            m_failure.clear();
            m_detail.clear();
            m_prompts->notes.clear();
            if (const auto &origin = m_main->document().origin()) {
                m_prompts->openedPath = origin->path;
                m_prompts->openedEncoding = origin->encoding;
            } else {
                m_prompts->openedPath.clear();
            }

            QString entry;
            if (const char *step = bringBack()) {
                entry = QString::fromLatin1(step);
            } else {
                const Action &action = chooseAction();
                (this->*action.run)();
                settle();
                entry = QString::fromLatin1(action.name);
            }
            if (!m_detail.isEmpty())
                entry += QStringLiteral(": ") + m_detail;
            if (!m_prompts->notes.isEmpty())
                entry += QStringLiteral(" [") + m_prompts->notes.join(QStringLiteral("; ")) +
                         QLatin1Char(']');
            remember(i, entry);

            QString failure = m_failure;
            // The changes window only shows what saving changes; it closes by Esc before the
            // next action, which keeps one window at a time for the invariants.
            for (QWidget *window : secondaryWindows()) {
                if (window->objectName() == QLatin1String("changesWindow")) {
                    const QPointer<QWidget> w = window; // deleted once it closes
                    QTest::keyClick(w, Qt::Key_Escape);
                    settle();
                    if (w && w->isVisible() && failure.isEmpty())
                        failure = QStringLiteral("Esc did not close the changes window");
                }
            }
            if (failure.isEmpty())
                failure = checkInvariants(dialogBefore, previewBefore);
            if (!failure.isEmpty()) {
                const QString report =
                    QStringLiteral("%1\nafter action #%2 of %3 with MERROW_SEED=%4; the last "
                                   "actions:\n  %5\nreplay: MERROW_SEED=%4 MERROW_ACTIONS=%6")
                        .arg(failure)
                        .arg(i)
                        .arg(count)
                        .arg(seed)
                        .arg(m_log.join(QStringLiteral("\n  ")))
                        .arg(i + 1);
                QFAIL(qPrintable(report));
            }
            if (i % PaintThrottle::Every == 0)
                painter.paintWindows();
            previews += !previewBefore && place() == InPreview;
            dialogs += dialogBefore.isEmpty() && place() == InEntryDialog;
        }
        qInfo("random use: %d actions in %lld ms: %d previews, %d entry dialogs, %d restarts, "
              "%lld questions, %d file dialogs",
              count, clock.elapsed(), previews, dialogs, m_restarts,
              qlonglong(m_prompts->messages.size()), m_prompts->fileDialogs);
    }

    void cleanup()
    {
        for (QWidget *w : secondaryWindows())
            w->close();
        settle();
        m_main.reset();
        m_prompts.reset();
        m_folder.reset();
        settle();
    }
};

// What the user does, and how often. Actions that need a particular window are drawn only
// while it has the input.
const tst_RandomUse::Action tst_RandomUse::Actions[] = {
    {300, Anywhere, "click", &tst_RandomUse::clickControl},
    {30, Anywhere, "double-click", &tst_RandomUse::doubleClickControl},
    {180, Anywhere, "type", &tst_RandomUse::typeText},
    {40, Anywhere, "Esc", &tst_RandomUse::pressEscape},
    {40, Anywhere, "Enter", &tst_RandomUse::pressEnter},
    {40, Anywhere, "Tab", &tst_RandomUse::pressTab},
    {20, Anywhere, "Shift+Tab", &tst_RandomUse::pressBacktab},
    {30, Anywhere, "Space", &tst_RandomUse::pressSpace},
    {20, Anywhere, "select all, Delete", &tst_RandomUse::eraseAll},
    {15, Anywhere, "paste", &tst_RandomUse::pasteText},
    {30, Anywhere, "key", &tst_RandomUse::pressOtherKey},
    {30, Anywhere, "Ctrl+F2", &tst_RandomUse::pressCreate},
    {10, Anywhere, "Ctrl+M", &tst_RandomUse::pressMinimize},
    {5, Anywhere, "Ctrl+X", &tst_RandomUse::pressExit},
    {10, Anywhere, "F1", &tst_RandomUse::pressHelp},
    {60, InMain, "open a dialog", &tst_RandomUse::openEntryDialog},
    {8, InMain, "open a file", &tst_RandomUse::openFile},
    {10, InMain, "double-click the logo", &tst_RandomUse::doubleClickLogo},
    {10, InMain, "menu", &tst_RandomUse::chooseMenuItem},
    {10, OutsideMain, "click on Main", &tst_RandomUse::clickMainBehind},
    {80, InEntryDialog, "fill in and Add", &tst_RandomUse::fillAndAdd},
    {50, InPreview, "Save As", &tst_RandomUse::saveAs},
    // Closing the main window ends the program (the run then starts it again), so it is rare.
    {30, OutsideMain, "close request", &tst_RandomUse::closeActiveWindow},
    {1, InMain, "close request", &tst_RandomUse::closeActiveWindow},
    {10, OutsideMain, "close request to Main", &tst_RandomUse::closeMainWindow},
};

const tst_RandomUse::Action &tst_RandomUse::chooseAction()
{
    const Place here = place();
    int total = 0;
    for (const Action &a : Actions)
        total += (a.places & here) ? a.weight : 0;
    int roll = pick(total);
    for (const Action &a : Actions) {
        if (!(a.places & here))
            continue;
        if (roll < a.weight)
            return a;
        roll -= a.weight;
    }
    Q_UNREACHABLE();
}

QTEST_MAIN(tst_RandomUse)
#include "tst_randomuse.moc"
