// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The commands of the main window: the menus, the logo and the Add buttons that open the
// entry dialogs. The preview, the about box and the entry dialogs lock this window while they
// are open, so at most one of them is open at a time; help leaves it usable.
#include "mainwindow.h"

#include "about.h"
#include "addidentity.h"
#include "addloadout.h"
#include "addmpparams.h"
#include "addmusic.h"
#include "addradio.h"
#include "addsound.h"
#include "apptitle.h"
#include "desktopservices.h"
#include "endingsnotifications.h"
#include "functionslibrary.h"
#include "missionsettings.h"
#include "openreport.h"
#include "remoteexecution.h"
#include "savepreview.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtConcurrent>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <optional>

#include <array>

// Each Add button, the entry dialog it opens, the code boxes that take the entry the dialog
// hands back (in the order of its texts) and the section switches held off while it is open.
struct AddButton
{
    const char *name;
    EntryDialog *(*create)(QWidget *main);
    std::array<CodeBox, 2> boxes;
    int boxCount;
    std::array<Switch, 2> locks;
    int lockCount;
};

namespace {

// Reads a file and maps it onto the form on a worker thread, so that the window keeps painting
// however large the file. Input waits until the file is read; past half a second a progress
// window with Cancel takes it. Nothing when the user cancels: the form stays as it was.
// The reader's tree of a large file is built and dropped on the worker thread, in that
// thread's own heap, which the text boxes filled next cannot reuse: handing the freed pages
// back keeps the tree from adding to the peak memory of opening.
void returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

std::optional<OpenedDescription> loadInBackground(QWidget *owner, const QString &path)
{
    QFutureWatcher<OpenedDescription> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([path] {
        OpenedDescription opened = openDescription(path);
        returnFreedMemory();
        return opened;
    }));
    QTimer slow;
    slow.setSingleShot(true);
    QObject::connect(&slow, &QTimer::timeout, &loop, &QEventLoop::quit);
    slow.start(500);
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!watcher.isFinished()) {
        QProgressDialog progress(Main::tr("Opening %1…").arg(QDir::toNativeSeparators(path)),
                                 Main::tr("Cancel"), 0, 0, owner);
        progress.setObjectName(QStringLiteral("openProgress"));
        progress.setWindowTitle(AppTitle);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        progress.show();
        loop.exec();
        if (!watcher.isFinished())
            return std::nullopt; // the worker's result is thrown away when it ends
    }
    return watcher.result();
}

template <typename Dialog> EntryDialog *createDialog(QWidget *main)
{
    return new Dialog(main);
}

constexpr AddButton AddButtons[] = {
    {"addIdentityButton",
     createDialog<addIdentity>,
     {CodeBox::mainIdentityCode},
     1,
     {Switch::mainIdentityActive},
     1},
    {"addRadioButton",
     createDialog<addRadio>,
     {CodeBox::mainRadioCode},
     1,
     {Switch::mainRadioActive},
     1},
    {"addSoundButton",
     createDialog<addSound>,
     {CodeBox::mainSoundCode},
     1,
     {Switch::mainSoundActive},
     1},
    {"addMusicButton",
     createDialog<addMusic>,
     {CodeBox::mainMusicCode},
     1,
     {Switch::mainMusicActive},
     1},
    {"addLoadoutButton",
     createDialog<addLoadout>,
     {CodeBox::mainLoadoutWeaponsCode, CodeBox::mainLoadoutMagazinesCode},
     2,
     {Switch::mainLoadoutActive},
     1},
    {"addParamsButton",
     createDialog<addMPParams>,
     {CodeBox::paramsCode},
     1,
     {Switch::respawnActive, Switch::paramsActive},
     2},
};

const QString ExitTitle = QStringLiteral("Exiting ...");
const QString ExitQuestion =
    QStringLiteral("Do you really want to exit ?\r\n\r\nAll unsaved data will be lost !");

} // namespace

void Main::connectCommands()
{
    connect(mnuOpen(), &QAction::triggered, this, &Main::mnuOpen_Click);
    connect(mnuMissionSettings(), &QAction::triggered, this, &Main::mnuMissionSettings_Click);
    connect(mnuEndings(), &QAction::triggered, this, &Main::mnuEndings_Click);
    connect(mnuFunctions(), &QAction::triggered, this, &Main::mnuFunctions_Click);
    connect(mnuRemoteExec(), &QAction::triggered, this, &Main::mnuRemoteExec_Click);
    connect(mnuCreate(), &QAction::triggered, this, &Main::mnuCreate_Click);
    connect(mnuSave(), &QAction::triggered, this, &Main::mnuSave_Click);
    connect(mnuOpenReport(), &QAction::triggered, this, &Main::mnuOpenReport_Click);
    connect(mnuMinimize(), &QAction::triggered, this, &Main::mnuMinimize_Click);
    connect(mnuExit(), &QAction::triggered, this, &Main::mnuExit_Click);
    connect(mnuHelpContents(), &QAction::triggered, this, &Main::mnuHelpContents_Click);
    connect(mnuAbout(), &QAction::triggered, this, &Main::mnuAbout_Click);
    connect(this, &Main::logoDoubleClicked, this, &Main::Picture1_DblClick);

    for (const AddButton &button : AddButtons) {
        auto *push = findChild<QPushButton *>(QString::fromLatin1(button.name));
        Q_ASSERT_X(push, "Main::connectCommands", button.name);
        connect(push, &QPushButton::clicked, this,
                [this, &button, push] { openEntry(button, push); });
    }

    QPlainTextEdit *other = codeEdit(CodeBox::mainOtherCode);
    other->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(other, &QWidget::customContextMenuRequested, this, &Main::otherContextMenu);
}

void Main::otherContextMenu(const QPoint &position)
{
    QPlainTextEdit *other = codeEdit(CodeBox::mainOtherCode);
    std::unique_ptr<QMenu> menu(other->createStandardContextMenu(position));
    menu->setObjectName(QStringLiteral("otherContextMenu"));
    menu->addSeparator();
    QAction *settings = menu->addAction(mnuMissionSettings()->text());
    settings->setObjectName(QStringLiteral("otherMissionSettings"));
    connect(settings, &QAction::triggered, this, &Main::mnuMissionSettings_Click);
    menu->exec(other->viewport()->mapToGlobal(position));
}

void Main::openEntry(const AddButton &button, QWidget *addButton)
{
    EntryDialog *dialog = button.create(this);
    QList<QWidget *> locked{items()};
    for (int i = 0; i < button.lockCount; ++i)
        locked << control(switchName(button.locks[std::size_t(i)]));
    locked << addButton;
    dialog->setLockedControls(locked);
    connect(dialog, &EntryDialog::entryComposed, this, [this, &button](const QStringList &texts) {
        for (int i = 0; i < button.boxCount && i < texts.size(); ++i) {
            // An empty text would change nothing; skipping it spares the box an update.
            if (!texts[i].isEmpty())
                m_document.appendCode(button.boxes[std::size_t(i)], texts[i]);
        }
    });
    dialog->open();
}

void Main::mnuOpen_Click()
{
    if (!isEnabled())
        return;
    if (!m_openDialog) {
        // Its own dialog, so that Save As keeps offering the file saved last.
        m_openDialog = std::make_unique<QFileDialog>(this);
        m_openDialog->setObjectName(QStringLiteral("openDialog"));
        m_openDialog->setWindowTitle(tr("Open description.ext"));
        m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_openDialog->setFileMode(QFileDialog::ExistingFile);
        m_openDialog->setNameFilters(
            {QStringLiteral("description.ext (description.ext)"), tr("All files (*)")});
    }
    if (!DesktopServices::instance().runFileDialog(*m_openDialog))
        return;
    const QStringList files = m_openDialog->selectedFiles();
    if (!files.isEmpty() && !files.first().isEmpty())
        openFile(files.first());
}

void Main::mnuMissionSettings_Click()
{
    // Another window that locks this one is open: it works on the same text.
    if (!isEnabled())
        return;
    auto *window =
        new missionSettings(this, readMissionSettings(m_document.code(CodeBox::mainOtherCode)));
    window->setLockedControls({items()});
    connect(window, &missionSettings::settingsChosen, this, &Main::missionSettingsChosen);
    window->open();
}

void Main::missionSettingsChosen(const QList<MissionSetting> &changes)
{
    putIntoOther(applyMissionSettings(m_document.code(CodeBox::mainOtherCode), changes));
}

void Main::putIntoOther(const QString &text)
{
    if (text == m_document.code(CodeBox::mainOtherCode))
        return;
    // Other is where what the windows edit lives; switched off, it would write none of it.
    if (!m_document.isChecked(Switch::mainOtherActive))
        m_document.setSwitch(Switch::mainOtherActive, 1);
    m_document.setCode(CodeBox::mainOtherCode, text);
}

void Main::mnuEndings_Click()
{
    // Another window that locks this one is open: it works on the same text.
    if (!isEnabled())
        return;
    const QString other = m_document.code(CodeBox::mainOtherCode);
    QList<MissionClass> classes;
    for (int kind = 0; kind < EndingKindCount; ++kind)
        classes << readMissionClass(other, ClassKind(kind));
    auto *window = new endingsNotifications(this, classes);
    window->setLockedControls({items()});
    connect(window, &endingsNotifications::classesChosen, this, &Main::classesChosen);
    window->open();
}

void Main::mnuRemoteExec_Click()
{
    // Another window that locks this one is open: it works on the same text.
    if (!isEnabled())
        return;
    const QString other = m_document.code(CodeBox::mainOtherCode);
    QList<MissionClass> sections;
    for (int kind = EndingKindCount; kind < ClassKindCount; ++kind)
        sections << readMissionClass(other, ClassKind(kind));
    auto *window = new remoteExecution(this, sections);
    window->setLockedControls({items()});
    connect(window, &remoteExecution::sectionsChosen, this, &Main::classesChosen);
    window->open();
}

void Main::classesChosen(const QList<MissionClass> &changed)
{
    QString text = m_document.code(CodeBox::mainOtherCode);
    for (const MissionClass &c : changed)
        text = applyMissionClass(text, c);
    putIntoOther(text);
}

void Main::mnuFunctions_Click()
{
    // Another window that locks this one is open: it works on the same text.
    if (!isEnabled())
        return;
    const auto &origin = m_document.origin();
    const QString folder =
        origin && !origin->path.isEmpty() ? QFileInfo(origin->path).absolutePath() : QString();
    auto *window = new functionsLibrary(
        this, readMissionFunctions(m_document.code(CodeBox::mainOtherCode)), folder);
    window->setLockedControls({items()});
    connect(window, &functionsLibrary::functionsChosen, this, &Main::functionsChosen);
    window->open();
}

void Main::functionsChosen(const MissionFunctions &functions, const QList<NewFunctionFile> &files)
{
    QStringList failed;
    for (const NewFunctionFile &file : files) {
        if (QFileInfo::exists(file.path))
            continue;
        if (!QDir().mkpath(QFileInfo(file.path).absolutePath())) {
            failed << QDir::toNativeSeparators(file.path);
            continue;
        }
        const auto written = DesktopServices::instance().writeFile(file.path, file.text.toUtf8());
        if (!written)
            failed << QDir::toNativeSeparators(file.path) +
                          (written.why().isEmpty() ? QString()
                                                   : QStringLiteral(": ") + written.why());
    }
    if (!failed.isEmpty())
        DesktopServices::instance().message(
            this, QMessageBox::Warning, AppTitle,
            tr("These files could not be created:\n\n%1").arg(failed.join(u'\n')), QMessageBox::Ok,
            QMessageBox::Ok);
    putIntoOther(applyMissionFunctions(m_document.code(CodeBox::mainOtherCode), functions));
}

bool Main::openFile(const QString &path)
{
    // A window that locks this one is open: what it works on must not change under it.
    if (!isEnabled())
        return false;
    const QString shown = QDir::toNativeSeparators(path);
    if (FormSnapshot::of(m_document) != m_baseline &&
        DesktopServices::instance().message(this, QMessageBox::Question, AppTitle,
                                            tr("Replace the current entries with %1?").arg(shown),
                                            QMessageBox::Yes | QMessageBox::No,
                                            QMessageBox::No) != QMessageBox::Yes)
        return false;
    std::optional<OpenedDescription> loaded = loadInBackground(this, path);
    if (!loaded)
        return false;
    const OpenResult opened = applyOpened(m_document, std::move(*loaded));
    if (!opened) {
        DesktopServices::instance().message(this, QMessageBox::Warning, AppTitle, opened.why(),
                                            QMessageBox::Ok, QMessageBox::Ok);
        return false;
    }
    m_baseline = FormSnapshot::of(m_document);
    markControls(*opened);
    const QString name = QFileInfo(path).fileName();
    if (m_report) // the report of the file opened before
        m_report->close();
    m_reportTitle = tr("Opened %1").arg(name);
    m_reportText = opened->text();
    mnuOpenReport()->setEnabled(true);
    if (opened->needsAttention()) {
        showStatusNote(opened->encodingNote());
        mnuOpenReport_Click();
    } else {
        showStatusNote(tr("Opened %1. %2.").arg(name, opened->encodingNote()));
    }
    return true;
}

void Main::mnuOpenReport_Click()
{
    if (!isEnabled() || m_reportText.isEmpty())
        return;
    // One report window: asking again brings it up.
    if (m_report) {
        m_report->raise();
        m_report->activateWindow();
        return;
    }
    m_report = new openReport(this, m_reportTitle, m_reportText);
    m_report->open();
}

void Main::mnuCreate_Click()
{
    savePreview *preview =
        savePreview::openWith(this, commonDialog(), m_document.create(), m_document.origin());
    if (m_document.origin())
        connect(preview, &savePreview::saved, this, &Main::openedFileSaved);
}

void Main::mnuSave_Click()
{
    savePreview *preview = savePreview::openWith(this, commonDialog(), m_document.create(),
                                                 m_document.origin(), savePreview::SaveInPlace);
    if (m_document.origin())
        connect(preview, &savePreview::saved, this, &Main::openedFileSaved);
}

void Main::openedFileSaved(const QString &path, const QByteArray &bytes,
                           config::TextEncoding encoding)
{
    // The saved file is what the next save compares with, read back in the encoding it was
    // written in. Its form is the current one unless the preview's text was touched up by
    // hand; then the form shows what was saved.
    OpenedDescription saved = openSavedDescription(bytes, encoding, path);
    const ImportResult &imported = *saved;
    if (!imported.origin->text.isEmpty() && imported.snapshot != FormSnapshot::of(m_document))
        applySnapshot(m_document, imported.snapshot);
    m_document.setOrigin(std::move(saved->origin));
    m_baseline = FormSnapshot::of(m_document);
}

void Main::mnuMinimize_Click()
{
    showMinimized();
}

void Main::mnuExit_Click()
{
    const auto answer =
        DesktopServices::instance().message(this, QMessageBox::Question, ExitTitle, ExitQuestion,
                                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        close();
}

void Main::mnuHelpContents_Click()
{
    DesktopServices::instance().showHelp(this);
}

void Main::mnuAbout_Click()
{
    about::openFor(this);
}

void Main::Picture1_DblClick()
{
    about::openFor(this);
}
