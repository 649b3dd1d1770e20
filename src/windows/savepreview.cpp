// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "savepreview.h"

#include "apptitle.h"
#include "formfonts.h"
#include "ui_savepreview.h"

#include "changeswindow.h"
#include "desktopservices.h"
#include "documentorigin.h"
#include "encoding.h"
#include "keyassist.h"
#include "linediff.h"
#include "longlines.h"
#include "previewcheck.h"
#include "windowplacement.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>

#include <climits>

namespace {

// "mission/description.ext": the file with its folder, as a mission maker tells missions apart.
QString shortName(const DocumentOrigin &origin)
{
    if (origin.path.isEmpty())
        return origin.fileName;
    const QFileInfo info(origin.path);
    return info.dir().dirName() + u'/' + info.fileName();
}

// The room the changes line takes below the text box of an opened document's preview.
constexpr int ChangesLineHeight = 28;

// The longest file name the system takes (Windows has no NAME_MAX; its file systems take 255).
#ifdef NAME_MAX
constexpr qsizetype LongestFileName = NAME_MAX;
#else
constexpr qsizetype LongestFileName = 255;
#endif

} // namespace

savePreview::savePreview(QWidget *main, QFileDialog *dialog, const QString &text,
                         std::shared_ptr<const DocumentOrigin> origin)
    : SecondaryWindow(main,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint,
                      Locking::LocksOwner),
      ui(std::make_unique<Ui::savePreview>()), m_dialog(dialog), m_origin(std::move(origin))
{
    ui->setupUi(this);
    if (m_origin) {
        ui->changesStatus->setVisible(true);
        ui->changesStatus->setFocusPolicy(Qt::NoFocus);
        setFixedSize(width(), height() + ChangesLineHeight);
        m_generated = text;
        connect(ui->changesStatus, &QPushButton::clicked, this, &savePreview::showChanges);
        auto *changes = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
        connect(changes, &QShortcut::activated, this, &savePreview::showChanges);
        // Counting the changed lines of a large file takes a moment: once typing pauses.
        m_changesPause.setSingleShot(true);
        m_changesPause.setInterval(300);
        connect(&m_changesPause, &QTimer::timeout, this, &savePreview::updateChanges);
        connect(ui->codePreview->document(), &QTextDocument::contentsChange, this,
                [this](int, int removed, int added) {
                    if (removed != 0 || added != 0) {
                        m_edited = true;
                        m_changesPause.start();
                    }
                });
        if (!m_origin->path.isEmpty()) {
            ui->saveButton->setVisible(true);
            ui->checkStatus->resize(ui->saveButton->x() - 8 - ui->checkStatus->x(),
                                    ui->checkStatus->height());
            connect(ui->saveButton, &QPushButton::clicked, this, &savePreview::saveButton_Click);
            auto *save = new QShortcut(QKeySequence::Save, this);
            connect(save, &QShortcut::activated, this, &savePreview::saveButton_Click);
        }
    } else {
        setFixedSize(size());
    }

    fitOnScreen(main);

    // The text box names Verdana at 8.25 pt, which the form can only store as 8.
    FormFonts::apply(this);

    // TABs stop every eight spaces, as in the main window's code boxes.
    ui->codePreview->setTabStopDistance(
        QFontMetricsF(ui->codePreview->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    LongLines::guard(ui->codePreview);
    KeyAssist::install(ui->codePreview);
    connect(ui->saveAsButton, &QPushButton::clicked, this, &savePreview::saveAsButton_Click);
    setText(text);
    // Filling the box is no edit of the user's.
    m_edited = false;
    m_changesPause.stop();
    m_check = new PreviewCheck(ui->codePreview, ui->checkStatus);
    m_check->checkNow();
    // The status line takes clicks; from the keyboard F8 goes to the next problem.
    ui->checkStatus->setFocusPolicy(Qt::NoFocus);
    auto *next = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(next, &QShortcut::activated, m_check, &PreviewCheck::goToNextProblem);
    if (m_origin)
        updateChanges();
}

savePreview::~savePreview() = default;

savePreview *savePreview::openWith(QWidget *main, QFileDialog *dialog, const QString &text,
                                   std::shared_ptr<const DocumentOrigin> origin, Start start)
{
    auto *preview = new savePreview(main, dialog, text, std::move(origin));
    preview->open();
    if (start == Start::SaveInPlace && preview->ui->saveButton->isVisibleTo(preview))
        preview->ui->saveButton->setFocus();
    else
        preview->ui->codePreview->setFocus();
    return preview;
}

QPlainTextEdit *savePreview::codePreview() const
{
    return ui->codePreview;
}

QPushButton *savePreview::saveAsButton() const
{
    return ui->saveAsButton;
}

QPushButton *savePreview::saveButton() const
{
    return ui->saveButton;
}

QPushButton *savePreview::changesStatus() const
{
    return ui->changesStatus;
}

QString savePreview::savedText() const
{
    // The raw text keeps no-break spaces, which toPlainText() would turn into plain spaces.
    if (m_origin && !m_edited)
        return m_generated; // what Create made, with the file's line ends
    const QString shown = LongLines::wholeText(ui->codePreview);
    if (!m_origin)
        return normalizeLineBreaks(shown);
    return restoreLineEnds(m_generated, shown, m_origin->lineEnd);
}

void savePreview::updateChanges()
{
    const QString saved = savedText();
    const QString name = shortName(*m_origin);
    if (saved == m_origin->text) {
        ui->changesStatus->setText(tr("Unchanged from %1").arg(name));
        return;
    }
    const qsizetype changed =
        changedLineCount(diffLines(splitLines(m_origin->text), splitLines(saved)));
    ui->changesStatus->setText(changed == 1
                                   ? tr("1 line changed from %1").arg(name)
                                   : tr("%1 lines changed from %2").arg(changed).arg(name));
}

void savePreview::showChanges()
{
    if (!m_origin)
        return;
    const QString saved = savedText();
    const std::vector<TextLine> before = splitLines(m_origin->text);
    const std::vector<TextLine> after = splitLines(saved);
    const QString name = shortName(*m_origin);
    if (m_changes)
        m_changes->close();
    // Lines too long to show are cut there as they are here.
    m_changes = new changesWindow(
        this, name, tr("%1 (as it will be saved)").arg(name),
        LongLines::shownText(unifiedDiff(before, after, diffLines(before, after))).text);
    m_changes->open();
}

// Esc closes it as it closes every other secondary window: the text box leaves the key to
// its window (an open completion list takes it first). A key press, not a shortcut, so that
// the Esc which closes a window above this one (the changes) is not taken here as well.
// On a screen smaller than the window (800 × 600), the text box gives up what does not fit, so
// that the lines above and below it and the Save As button stay on the screen.
void savePreview::fitOnScreen(const QWidget *main)
{
    const QSize fits = WindowPlacement::fitOnScreen(this, main, size());
    const int narrower = width() - fits.width();
    const int shorter = height() - fits.height();
    if (narrower <= 0 && shorter <= 0)
        return;
    const QSize cut(qMax(0, narrower), qMax(0, shorter));
    ui->codePreview->resize(ui->codePreview->size() - cut);
    for (QWidget *line : {ui->checkStatus, ui->changesStatus})
        line->resize(line->width() - cut.width(), line->height());
    ui->changesStatus->move(ui->changesStatus->pos() - QPoint(0, cut.height()));
    for (QWidget *button : {ui->saveButton, ui->saveAsButton})
        button->move(button->pos() - QPoint(cut.width(), 0));
    setFixedSize(size() - cut);
}

void savePreview::setText(const QString &text)
{
    // The text box takes CR LF as one break; the line and paragraph separators the text may
    // hold become CR LF first. Text that is all CR LF goes in as it is, without a copy.
    LongLines::setText(ui->codePreview, normalizeLineBreaks(text));
}

void savePreview::saveAsButton_Click()
{
    // A click queued before the window closed (the second half of a double-click on a save
    // that succeeded) would ask for a file again for a window that is gone.
    if (!isVisible())
        return;
    QString path;
    if (!runSaveDialog(&path))
        return;
    saveTo(path);
}

void savePreview::saveButton_Click()
{
    if (!isVisible() || !m_origin || m_origin->path.isEmpty())
        return;
    if (!confirmChangedOnDisk())
        return;
    saveTo(m_origin->path);
}

void savePreview::saveTo(const QString &path)
{
    // The raw text keeps no-break spaces, which toPlainText() would turn into plain spaces;
    // the encoder makes the widget's paragraph separators CR LF. An opened file keeps its
    // encoding and line ends.
    const config::TextEncoding encoding =
        m_origin ? m_origin->encoding : config::TextEncoding::Windows1252;
    const config::EncodedBytes encoded =
        m_origin ? m_origin->encode(savedText())
                 : descriptionFileBytes(LongLines::wholeText(ui->codePreview));
    if (encoded.replaced > 0 && !confirmReplacedCharacters(encoded.replaced))
        return;

    if (const auto written = DesktopServices::instance().writeFile(path, encoded.bytes); !written) {
        // The preview stays open with its text, so nothing is lost and the user can try
        // another place.
        DesktopServices::instance().message(this, QMessageBox::Warning, AppTitle,
                                            tr("The file %1 could not be saved.\n\n%2")
                                                .arg(QDir::toNativeSeparators(path), written.why()),
                                            QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    // The next Save As offers the file actually written, with the suffix the dialog added.
    if (m_dialog)
        m_dialog->selectFile(path);
    Q_EMIT saved(path, encoded.bytes, encoding);
    close();
}

bool savePreview::runSaveDialog(QString *path)
{
    if (!m_dialog)
        return false;
    QFileDialog &dialog = *m_dialog;
    dialog.setWindowTitle(tr("Locate directory for description.ext file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("ext"));
    dialog.setNameFilter(QStringLiteral("description.ext (description.ext)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    // An opened file is saved where it came from unless the user chooses otherwise.
    if (m_origin && !m_origin->path.isEmpty())
        dialog.selectFile(m_origin->path);

    // The main window keeps the dialog so that it remembers the file between saves; it has no
    // QWidget parent there, but were it a child of the main window (disabled while the
    // preview is open) it would be disabled too. It is lent to the preview while it runs.
    const QPointer<QWidget> owner = dialog.parentWidget();
    const Qt::WindowFlags flags = dialog.windowFlags();
    dialog.setParent(this, flags);
    dialog.setEnabled(true);

    // The dialog greys its Save button for a name longer than a file name can be and says
    // nothing. The reason goes on the button, and Enter in the name box says it in a message.
    static const auto tooLong = [](const QFileDialog &d) {
        const QStringList files = d.selectedFiles();
        const qsizetype bytes =
            files.isEmpty() ? 0 : QFile::encodeName(QFileInfo(files.first()).fileName()).size();
        if (bytes <= LongestFileName)
            return QString();
        return tr("The file name is too long: it has %1 bytes, and a file name can have at most "
                  "%2 bytes.")
            .arg(bytes)
            .arg(LongestFileName);
    };
    struct LongNames : QObject
    {
        QFileDialog *dialog = nullptr;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    if (const QString reason = tooLong(*dialog); !reason.isEmpty()) {
                        DesktopServices::instance().message(dialog, QMessageBox::Warning, AppTitle,
                                                            reason, QMessageBox::Ok,
                                                            QMessageBox::Ok);
                        return true;
                    }
                }
            }
            return QObject::eventFilter(watched, event);
        }
    } longNames;
    longNames.dialog = &dialog;
    auto *nameBox = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QPushButton *saveButton = buttons ? buttons->button(QDialogButtonBox::Save) : nullptr;
    if (nameBox && saveButton) {
        nameBox->installEventFilter(&longNames);
        connect(nameBox, &QLineEdit::textChanged, &longNames,
                [&dialog, saveButton] { saveButton->setToolTip(tooLong(dialog)); });
    }

    const bool chosen = DesktopServices::instance().runFileDialog(dialog);
    if (saveButton)
        saveButton->setToolTip(QString());
    if (m_dialog)
        m_dialog->setParent(owner, flags);

    if (!chosen || !m_dialog)
        return false;
    const QStringList files = m_dialog->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return false;
    *path = files.first();
    return true;
}

bool savePreview::confirmChangedOnDisk()
{
    // What the file held when it was read (or last saved from here); anything else on disk
    // now is another program's work, which saving in place would silently undo.
    const QByteArray read = m_origin->encode(m_origin->text).bytes;
    QFile file(m_origin->path);
    QString question;
    if (!file.exists()) {
        question = tr("%1 is no longer there: another program moved or deleted it since it was "
                      "opened.\n\nSave it there again?");
    } else if (file.open(QIODevice::ReadOnly) &&
               (file.size() != read.size() || file.read(read.size() + 1) != read)) {
        // A file that cannot be read is left to the save, which says why it cannot write it.
        question = tr("%1 was changed by another program since it was opened.\n\nSave over "
                      "those changes?");
    } else {
        return true;
    }
    return DesktopServices::instance().message(
               this, QMessageBox::Question, AppTitle,
               question.arg(QDir::toNativeSeparators(m_origin->path)),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool savePreview::confirmReplacedCharacters(qsizetype replaced)
{
    const QString count = replaced == 1 ? tr("1 character") : tr("%1 characters").arg(replaced);
    const QString text = tr("%1 of the text cannot be written in the file's 8-bit code page "
                            "(Windows-1252) and will be written as \"?\".\n\nSave anyway?")
                             .arg(count);
    return DesktopServices::instance().message(this, QMessageBox::Question, AppTitle, text,
                                               QMessageBox::Yes | QMessageBox::No,
                                               QMessageBox::No) == QMessageBox::Yes;
}
