#include "addmusic.h"

#include "editordocument.h"
#include "entries.h"
#include "ui_addmusic.h"

addMusic::addMusic(QWidget *mainWindow, EditorDocument &document)
    : EntryDialog(mainWindow, document,
                  {switchName(Switch::mainMusicActive), QStringLiteral("addMusicButton")}),
      ui(std::make_unique<Ui::addMusic>())
{
    ui->setupUi(this);
    setUpButtons(ui->addMusicButton, ui->cancelMusicButton);
    connect(ui->musicNameEnabled, &QCheckBox::toggled, this, &addMusic::musicNameEnabled_Click);
    ui->musicClassName->setFocus();
}

addMusic::~addMusic() = default;

void addMusic::musicNameEnabled_Click()
{
    applyEnabledSwitch(ui->musicMusicName, ui->musicNameEnabled->isChecked());
}

void addMusic::addMusicButton_Click()
{
    if (!requireFilled(
            {ui->musicClassName, ui->musicFileLocation, ui->musicVolume, ui->musicPitch}))
        return;
    document().appendCode(CodeBox::mainMusicCode,
                          musicEntry({ui->musicClassName->text(), ui->musicMusicName->text(),
                                      ui->musicFileLocation->text(), ui->musicVolume->text(),
                                      ui->musicPitch->text()}));
    finish();
}
