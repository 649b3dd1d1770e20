// The commands of the main window: the menus, the logo and the Add buttons that open the
// entry dialogs. Every window opened here locks this one itself and releases it when it
// closes, so at most one of them is open at a time.
#include "mainwindow.h"

#include "about.h"
#include "addidentity.h"
#include "addloadout.h"
#include "addmpparams.h"
#include "addmusic.h"
#include "addradio.h"
#include "addsound.h"
#include "savepreview.h"
#include "userprompts.h"

#include <QAction>
#include <QPushButton>

namespace {

// Each Add button and the entry dialog it opens.
struct AddButton
{
    const char *name;
    EntryDialog *(*create)(QWidget *main, EditorDocument &document);
};

template <typename Dialog> EntryDialog *createDialog(QWidget *main, EditorDocument &document)
{
    return new Dialog(main, document);
}

constexpr AddButton AddButtons[] = {
    {"addIdentityButton", createDialog<addIdentity>},
    {"addRadioButton", createDialog<addRadio>},
    {"addSoundButton", createDialog<addSound>},
    {"addMusicButton", createDialog<addMusic>},
    {"addLoadoutButton", createDialog<addLoadout>},
    {"addParamsButton", createDialog<addMPParams>},
};

const QString ExitTitle = QStringLiteral("Exiting ...");
const QString ExitQuestion =
    QStringLiteral("Do you really want to exit ?\r\n\r\nAll unsaved data will be lost !");

} // namespace

void Main::connectCommands()
{
    connect(mnuCreate(), &QAction::triggered, this, &Main::mnuCreate_Click);
    connect(mnuMinimize(), &QAction::triggered, this, &Main::mnuMinimize_Click);
    connect(mnuExit(), &QAction::triggered, this, &Main::mnuExit_Click);
    connect(mnuHelpContents(), &QAction::triggered, this, &Main::mnuHelpContents_Click);
    connect(mnuAbout(), &QAction::triggered, this, &Main::mnuAbout_Click);
    connect(this, &Main::logoDoubleClicked, this, &Main::Picture1_DblClick);

    for (const AddButton &button : AddButtons) {
        auto *push = findChild<QPushButton *>(QString::fromLatin1(button.name));
        Q_ASSERT_X(push, "Main::connectCommands", button.name);
        const auto create = button.create;
        connect(push, &QPushButton::clicked, this,
                [this, create] { create(this, m_document)->open(); });
    }
}

void Main::mnuCreate_Click()
{
    savePreview::openWith(this, commonDialog(), m_document.create());
}

void Main::mnuMinimize_Click()
{
    showMinimized();
}

void Main::mnuExit_Click()
{
    const auto answer =
        UserPrompts::instance().message(this, QMessageBox::Question, ExitTitle, ExitQuestion,
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        close();
}

void Main::mnuHelpContents_Click()
{
    UserPrompts::instance().showHelp(this);
}

void Main::mnuAbout_Click()
{
    about::openFor(this);
}

void Main::Picture1_DblClick()
{
    about::openFor(this);
}
