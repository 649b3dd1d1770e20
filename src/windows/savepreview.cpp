#include "savepreview.h"

#include "apptitle.h"
#include "formfonts.h"
#include "ui_savepreview.h"

#include "desktopservices.h"
#include "encoding.h"
#include "longlines.h"
#include "previewcheck.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QShortcut>
#include <QTextDocument>

savePreview::savePreview(QWidget *main, QFileDialog *dialog, const QString &text)
    : SecondaryWindow(main,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint,
                      Locking::LocksOwner),
      ui(std::make_unique<Ui::savePreview>()), m_dialog(dialog)
{
    ui->setupUi(this);
    setFixedSize(size());

    // The text box names Verdana at 8.25 pt, which the form can only store as 8.
    FormFonts::apply(this);

    // TABs stop every eight spaces, as in the main window's code boxes.
    ui->codePreview->setTabStopDistance(
        QFontMetricsF(ui->codePreview->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    LongLines::guard(ui->codePreview);
    connect(ui->saveAsButton, &QPushButton::clicked, this, &savePreview::saveAsButton_Click);
    setText(text);
    m_check = new PreviewCheck(ui->codePreview, ui->checkStatus);
    m_check->checkNow();
    // The status line takes clicks; from the keyboard F8 goes to the next problem.
    ui->checkStatus->setFocusPolicy(Qt::NoFocus);
    auto *next = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(next, &QShortcut::activated, m_check, &PreviewCheck::goToNextProblem);
}

savePreview::~savePreview() = default;

savePreview *savePreview::openWith(QWidget *main, QFileDialog *dialog, const QString &text)
{
    auto *preview = new savePreview(main, dialog, text);
    preview->open();
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

void savePreview::setText(const QString &text)
{
    // The document separates lines with CR LF; the text box wants one break per line.
    QString lines = normalizeLineBreaks(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->codePreview->setPlainText(lines);
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

    // The raw text keeps no-break spaces, which toPlainText() would turn into plain spaces;
    // the encoder makes the widget's paragraph separators CR LF.
    const EncodedText encoded = descriptionFileBytes(ui->codePreview->document()->toRawText());
    if (encoded.replaced > 0 && !confirmReplacedCharacters(encoded.replaced))
        return;

    QString reason;
    if (!DesktopServices::instance().writeFile(path, encoded.bytes, &reason)) {
        // The preview stays open with its text, so nothing is lost and the user can try
        // another place.
        DesktopServices::instance().message(
            this, QMessageBox::Warning, AppTitle,
            tr("The file %1 could not be saved.\n\n%2").arg(QDir::toNativeSeparators(path), reason),
            QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    // The next Save As offers the file actually written, with the suffix the dialog added.
    if (m_dialog)
        m_dialog->selectFile(path);
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

    // The main window keeps the dialog so that it remembers the file between saves; it has no
    // QWidget parent there, but were it a child of the main window (disabled while the
    // preview is open) it would be disabled too. It is lent to the preview while it runs.
    const QPointer<QWidget> owner = dialog.parentWidget();
    const Qt::WindowFlags flags = dialog.windowFlags();
    dialog.setParent(this, flags);
    dialog.setEnabled(true);
    const bool chosen = DesktopServices::instance().runFileDialog(dialog);
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
