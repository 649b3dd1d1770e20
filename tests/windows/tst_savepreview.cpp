// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editordocument.h"
#include "longlines.h"
#include "previewcheck.h"
#include "savepreview.h"
#include "scriptedservices.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QWindow>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_savePreview : public QObject
{
    Q_OBJECT

    // A stand-in for the main window, with its file dialog as a child as the real one has.
    std::unique_ptr<StandInMain> main;
    QPointer<QFileDialog> dialog;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedServices> prompts;

    QPointer<savePreview> open(const QString &text)
    {
        QPointer<savePreview> preview = savePreview::openWith(main.get(), dialog, text);
        QCoreApplication::processEvents(); // window-system activation
        return preview;
    }
    void verifyMainReleased()
    {
        flushDeletes();
        QCoreApplication::processEvents();
        QVERIFY(main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), main.get());
        QCOMPARE(QApplication::focusWidget(), main.get());
    }
    QString path(const QString &name = QStringLiteral("description.ext")) const
    {
        return dir->filePath(name);
    }
    void saveTo(savePreview *preview, const QString &target)
    {
        prompts->fileAnswers << target;
        QTest::mouseClick(preview->saveAsButton(), Qt::LeftButton);
    }
    void verifyStillOpenAfterFailure(const QPointer<savePreview> &preview, const QString &text)
    {
        flushDeletes();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->codePreview()->toPlainText(), text);
        QVERIFY(!main->isEnabled());
    }

private Q_SLOTS:
    void init()
    {
        prompts = std::make_unique<ScriptedServices>();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        main = std::make_unique<StandInMain>();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        dialog = new QFileDialog(main.get());
        dialog->setObjectName(QStringLiteral("CommonDialog1"));
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<savePreview *>(w))
                w->close();
        }
        flushDeletes();
        main.reset();
        prompts.reset();
        dir.reset();
    }

    void layoutAndOpening()
    {
        QPointer<savePreview> preview = open(QStringLiteral("x"));
        QVERIFY(!main->isEnabled());
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->objectName(), QStringLiteral("savePreview"));
        QCOMPARE(preview->windowTitle(), QStringLiteral("Merrow Editor - Save preview"));
        QCOMPARE(preview->size(), QSize(677, 607));
        QCOMPARE(preview->minimumSize(), preview->maximumSize());
        QVERIFY(!preview->parentWidget());
        QVERIFY(preview->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(preview->windowHandle()->transientParent(), main->windowHandle());
        const Qt::WindowFlags flags = preview->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        QPlainTextEdit *code = preview->findChild<QPlainTextEdit *>(QStringLiteral("codePreview"));
        QPushButton *save = preview->findChild<QPushButton *>(QStringLiteral("saveAsButton"));
        QVERIFY(code && save);
        QCOMPARE(code->geometry(), QRect(8, 40, 665, 561));
        QCOMPARE(code->toolTip(), QStringLiteral("Generated code for the description.ext file"));
        QCOMPARE(code->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(code->font().pointSizeF(), 8.25);
        QVERIFY(!code->isReadOnly());
        QCOMPARE(code->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(save->geometry(), QRect(576, 8, 89, 25));
        QCOMPARE(save->text(), QStringLiteral("Save As"));
        QCOMPARE(save->toolTip(), QStringLiteral("Save generated file"));

        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), preview.data());
        QCOMPARE(QApplication::focusWidget(), code);
        QTest::keyClick(code, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), save);
    }

    void startStateSavesTheWorkedExample()
    {
        EditorDocument doc;
        doc.applyStartUp();
        QPointer<savePreview> preview = open(doc.create());
        saveTo(preview, path());

        const QByteArray expected = testData(QStringLiteral("startstate.ext"));
        const QByteArray bytes = readAll(path());
        QCOMPARE(bytes, expected);
        QCOMPARE(bytes.count("\r\n"), 26);
        QVERIFY(prompts->messages.isEmpty());
    }

    void successClosesAndReleasesMain()
    {
        QPointer<savePreview> preview = open(QStringLiteral("a\r\nb"));
        saveTo(preview, path());
        verifyMainReleased();
        QVERIFY(!preview);
        QCOMPARE(readAll(path()), QByteArray("a\r\nb\r\n"));
    }

    // The second click of a double-click on Save As reaches the window after the save closed
    // it; it must not bring up the file dialog again or write once more.
    void doubleClickOnSaveAsSavesOnce()
    {
        QPointer<savePreview> preview = open(QStringLiteral("a"));
        prompts->fileAnswers << path() << path(QStringLiteral("again.ext"));
        QPushButton *save = preview->saveAsButton();
        QWindow *window = preview->windowHandle();
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           window->mapFromGlobal(save->mapToGlobal(save->rect().center())));
        verifyMainReleased();
        QVERIFY(!preview);
        QCOMPARE(prompts->fileDialogs, 1);
        QCOMPARE(readAll(path()), QByteArray("a\r\n"));
        QVERIFY(!QFile::exists(path(QStringLiteral("again.ext"))));
    }

    void editsAreSavedButNeverReachTheDocument()
    {
        EditorDocument doc;
        doc.applyStartUp();
        const QString generated = doc.create();
        QPointer<savePreview> preview = open(generated);
        QPlainTextEdit *code = preview->codePreview();
        code->moveCursor(QTextCursor::End);
        QTest::keyClicks(code, QStringLiteral("respawn=3;"));
        QTest::keyClick(code, Qt::Key_Return);
        QTest::keyClicks(code, QStringLiteral("// mine"));
        saveTo(preview, path());

        QVERIFY(readAll(path()).endsWith("\r\nrespawn=3;\r\n// mine\r\n"));
        QCOMPARE(doc.generatedText(), generated);

        QPointer<savePreview> next = open(doc.create());
        QVERIFY(next != preview);
        QVERIFY(!next->codePreview()->toPlainText().contains(QStringLiteral("// mine")));
    }

    void replacingAFileReplacesAllOfIt()
    {
        writeAll(path(), QByteArray(5000, 'x'));
        QPointer<savePreview> preview = open(QStringLiteral("short"));
        saveTo(preview, path());
        QCOMPARE(readAll(path()), QByteArray("short\r\n"));
    }

    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<QByteArray>("written"); // null: nothing written
        QTest::addColumn<QString>("countText");  // empty: no question asked

        using Answers = QList<QMessageBox::StandardButton>;
        QTest::newRow("euro fits the code page") << QStringLiteral("\u20AC5") << Answers{}
                                                 << QByteArray("\x80"
                                                               "5\r\n")
                                                 << QString();
        QTest::newRow("emoji, saved anyway")
            << QStringLiteral("a\U0001F600b") << Answers{QMessageBox::Yes} << QByteArray("a?b\r\n")
            << QStringLiteral("1 character ");
        QTest::newRow("three, saved anyway")
            << QStringLiteral("\u043C\u0438\u0440") << Answers{QMessageBox::Yes}
            << QByteArray("???\r\n") << QStringLiteral("3 characters ");
        QTest::newRow("emoji, not saved")
            << QStringLiteral("a\U0001F600b") << Answers{QMessageBox::No} << QByteArray()
            << QStringLiteral("1 character ");
    }
    void characters()
    {
        QFETCH(QString, text);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(QByteArray, written);
        QFETCH(QString, countText);

        prompts->answers = answers;
        QPointer<savePreview> preview = open(text);
        saveTo(preview, path());
        flushDeletes();

        if (countText.isEmpty()) {
            QVERIFY(prompts->messages.isEmpty());
        } else {
            QCOMPARE(prompts->messages.size(), 1);
            const ScriptedServices::Message &asked = prompts->messages.first();
            QCOMPARE(asked.icon, QMessageBox::Question);
            QCOMPARE(asked.title, QStringLiteral("Merrow Editor"));
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
            QVERIFY2(asked.text.startsWith(countText), qPrintable(asked.text));
            QVERIFY(asked.text.contains(QStringLiteral("\"?\"")));
        }
        if (written.isNull()) {
            QVERIFY(!QFile::exists(path()));
            verifyStillOpenAfterFailure(preview, text);
        } else {
            QCOMPARE(readAll(path()), written);
            QVERIFY(!preview);
            QVERIFY(main->isEnabled());
        }
    }

    void failure_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("writeFailure");

        QTest::newRow("missing folder")
            << QStringLiteral("no such folder/description.ext") << false << QString();
        QTest::newRow("target is a folder")
            << QStringLiteral("description.ext") << false << QString();
        QTest::newRow("disk full over an existing file")
            << QStringLiteral("description.ext") << true << QStringLiteral("No space left");
    }
    void failure()
    {
        QFETCH(QString, target);
        QFETCH(bool, existing);
        QFETCH(QString, writeFailure);

        const QByteArray old = "class CfgMusic\r\n{\r\n};\r\n";
        if (existing)
            writeAll(path(target), old);
        else if (QTest::currentDataTag() == QByteArrayLiteral("target is a folder"))
            QVERIFY(QDir(dir->path()).mkdir(target));
        prompts->writeFailure = writeFailure;

        const QString text = QStringLiteral("respawn=3;");
        QPointer<savePreview> preview = open(text);
        saveTo(preview, path(target));

        QCOMPARE(prompts->messages.size(), 1);
        const ScriptedServices::Message &warning = prompts->messages.first();
        QCOMPARE(warning.icon, QMessageBox::Warning);
        QCOMPARE(warning.title, QStringLiteral("Merrow Editor"));
        QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY2(warning.text.contains(QDir::toNativeSeparators(path(target))),
                 qPrintable(warning.text));
        if (!writeFailure.isEmpty())
            QVERIFY(warning.text.contains(writeFailure));
        verifyStillOpenAfterFailure(preview, text);
        if (existing)
            QCOMPARE(readAll(path(target)), old);

        // The user may try again somewhere else.
        prompts->writeFailure.clear();
        saveTo(preview, path(QStringLiteral("other.ext")));
        QCOMPARE(readAll(path(QStringLiteral("other.ext"))), QByteArray("respawn=3;\r\n"));
    }

    void cancelWritesNothing()
    {
        QPointer<savePreview> preview = open(QStringLiteral("abc"));
        QTest::mouseClick(preview->saveAsButton(), Qt::LeftButton);
        QCOMPARE(prompts->fileDialogs, 1);
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(prompts->messages.isEmpty());
        verifyStillOpenAfterFailure(preview, QStringLiteral("abc"));
    }

    void dialogIsSetUpOnEveryShowing()
    {
        dialog->setNameFilter(QStringLiteral("Text (*.txt)"));
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
        QPointer<savePreview> preview = open(QStringLiteral("abc"));
        QTest::mouseClick(preview->saveAsButton(), Qt::LeftButton);

        QCOMPARE(dialog->windowTitle(),
                 QStringLiteral("Locate directory for description.ext file"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("ext"));
        QCOMPARE(dialog->nameFilters(),
                 QStringList{QStringLiteral("description.ext (description.ext)")});
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        // Lent to the preview while shown, it goes back to its owner.
        QCOMPARE(dialog->parentWidget(), main.get());
    }

    void dialogIsUsableWhileMainIsDisabled()
    {
        struct Probe : ScriptedServices
        {
            bool enabled = false;
            bool runFileDialog(QFileDialog &d) override
            {
                enabled = d.isEnabled();
                return ScriptedServices::runFileDialog(d);
            }
        };
        prompts.reset();
        Probe probe;
        QPointer<savePreview> preview = open(QStringLiteral("abc"));
        QTest::mouseClick(preview->saveAsButton(), Qt::LeftButton);
        QVERIFY(probe.enabled);
    }

    void typedNameGetsTheDefaultExtension()
    {
        QPointer<savePreview> preview = open(QStringLiteral("abc"));
        saveTo(preview, path(QStringLiteral("description")));
        QCOMPARE(readAll(path()), QByteArray("abc\r\n"));
    }

    void nextSaveStartsWithTheChosenName()
    {
        const QString chosen = path(QStringLiteral("mission.ext"));
        QPointer<savePreview> first = open(QStringLiteral("one"));
        saveTo(first, chosen);
        flushDeletes();
        QVERIFY(!first);

        QPointer<savePreview> second = open(QStringLiteral("two"));
        QTest::mouseClick(second->saveAsButton(), Qt::LeftButton);
        QCOMPARE(prompts->lastDialogSelection, QStringList{chosen});
    }

    // After a save where the dialog added ".ext", the next Save As offers the file written.
    void nextSaveOffersTheFileWritten()
    {
        QPointer<savePreview> first = open(QStringLiteral("one"));
        saveTo(first, path(QStringLiteral("description")));
        flushDeletes();
        QPointer<savePreview> second = open(QStringLiteral("two"));
        QTest::mouseClick(second->saveAsButton(), Qt::LeftButton);
        QCOMPARE(prompts->lastDialogSelection, QStringList{path()});
    }

    // The line beside Save As tells what the check found as the user edits; a click (or F8)
    // goes to the next problem; saving is not changed by what the check finds.
    void checkLine()
    {
        QPointer<savePreview> preview = open(QStringLiteral("a=1;\nb=2 c=3;\n"));
        auto *status = preview->findChild<QPushButton *>(QStringLiteral("checkStatus"));
        QVERIFY(status);
        QCOMPARE(status->geometry(), QRect(8, 8, 560, 25));
        QSignalSpy checked(preview->check(), &PreviewCheck::checked);
        QTRY_VERIFY(status->text().startsWith(QStringLiteral("1 error")));
        QVERIFY2(status->text().contains(QStringLiteral("line 2")), qPrintable(status->text()));

        QPlainTextEdit *code = preview->codePreview();
        QTest::mouseClick(status, Qt::LeftButton);
        QCOMPARE(code->textCursor().blockNumber(), 1);
        QCOMPARE(QApplication::focusWidget(), code);

        // Mended in place: checked again once typing pauses.
        checked.clear();
        QTextCursor cursor = code->textCursor();
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
        code->setTextCursor(cursor);
        QTest::keyClick(code, Qt::Key_Semicolon);
        QTRY_COMPARE(status->text(), QStringLiteral("No problems found"));

        QTest::keyClick(code, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(code, QStringLiteral("class X {"));
        QTRY_VERIFY(status->text().startsWith(QStringLiteral("1 error")));
        saveTo(preview, path());
        QCOMPARE(readAll(path()), QByteArray("a=1;\r\nb=2; c=3;\r\nclass X {\r\n"));
    }

    // A line too long to lay out is shown cut and the box cannot be edited; the check reads
    // the whole text and places its problems in what is shown; Save As writes the whole text.
    void longLineShownCut()
    {
        const qsizetype longest = LongLines::LongestLineShown;
        const QString line = "a = \"" + QString(longest * 3, u'x') + "\";";
        // Every `a` after the first is a warning, most of them in what is not shown.
        QString empty;
        for (qsizetype i = 0; i < longest; ++i)
            empty += QStringLiteral("a=%1;").arg(i);
        const QString text = line + "\r\nb=2 c=3;\r\n" + line + "\r\n" + empty;
        QPointer<savePreview> preview = open(text);
        QPlainTextEdit *code = preview->codePreview();
        QVERIFY(code->isReadOnly());
        QCOMPARE(code->document()->blockCount(), 4);
        const QString note = LongLines::cutNote(line.size() - longest);
        QCOMPARE(code->document()->findBlockByNumber(0).text(), line.left(longest) + note);
        QCOMPARE(code->document()->findBlockByNumber(2).text(), line.left(longest) + note);
        auto *status = preview->findChild<QPushButton *>(QStringLiteral("checkStatus"));
        QTRY_VERIFY(preview->check()->isResting() && status->text().startsWith(u"1 error"));
        QVERIFY2(status->text().startsWith(QStringLiteral("1 error, %1 warnings").arg(longest + 1)),
                 qPrintable(status->text()));
        QVERIFY2(status->text().contains(QStringLiteral("line 2")), qPrintable(status->text()));
        QTest::mouseClick(status, Qt::LeftButton);
        QCOMPARE(code->textCursor().blockNumber(), 1);
        QCOMPARE(code->textCursor().positionInBlock(), 4); // "b=2| c=3;"
        saveTo(preview, path());
        QCOMPARE(readAll(path()), text.toLatin1() + "\r\n");
    }

    // F8 moves the status line along with the cursor: it names the problem gone to, cut after
    // a word where it does not fit beside Save As, and the tooltip holds it whole.
    void checkLineFollowsF8()
    {
        const QString key = QString(30, u'k');
        QPointer<savePreview> preview =
            open("a=1;\nb=2 c=3;\n" + key + "=1;\n" + key + "=2;\nrespwnDelay=1;\n");
        auto *status = preview->findChild<QPushButton *>(QStringLiteral("checkStatus"));
        QTRY_VERIFY(preview->check()->isResting() && status->text() != u"Checking...");
        const QString counts = QStringLiteral("1 error, 2 warnings — line ");
        const QString twice = "'" + key +
                              "' is set twice in the same class (first on line 3); "
                              "the game keeps only one";
        const struct
        {
            int line;
            QString message;
        } steps[] = {
            {2, QStringLiteral("expected ';' after the value, found 'c'")}, // the first error
            {2, QStringLiteral("expected ';' after the value, found 'c'")},
            {4, twice},
            {5, QStringLiteral("unknown key 'respwnDelay': did you mean respawnDelay?")},
            {2, QStringLiteral("expected ';' after the value, found 'c'")}, // from the top
        };
        QPlainTextEdit *code = preview->codePreview();
        const int room = status->width() - 8;
        bool cut = false;
        for (int i = 0; i < int(std::size(steps)); ++i) {
            if (i > 0)
                QTest::keyClick(code, Qt::Key_F8);
            const QString full = counts + QString::number(steps[i].line) + ": " + steps[i].message;
            QCOMPARE(code->textCursor().blockNumber() + 1, i > 0 ? steps[i].line : 1);
            QVERIFY2(status->toolTip().startsWith(full + u'\n'), qPrintable(status->toolTip()));
            const QString shown = status->text();
            QVERIFY2(status->fontMetrics().horizontalAdvance(shown) <= room, qPrintable(shown));
            if (shown != full) {
                cut = true;
                // Cut after a whole word.
                QVERIFY2(shown.endsWith(u'…'), qPrintable(shown));
                const QString kept = shown.chopped(1);
                QVERIFY2(full.startsWith(kept) && !full[kept.size()].isLetterOrNumber(),
                         qPrintable(shown));
            }
        }
        QVERIFY2(cut, "the long message fits: make it longer");
    }

    // Once its result is shown the preview rests, whatever the check found: underlining the
    // problems, moving to one and scrolling are no edits. One typed character is one check.
    void idlePreviewRests_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary");
        QTest::newRow("error") << QStringLiteral("a=1;\nb=2 c=3;\n") << QStringLiteral("1 error");
        QTest::newRow("warning") << QStringLiteral("a=1;\nrespwnDelay=1;\n")
                                 << QStringLiteral("1 warning");
        QTest::newRow("clean") << QStringLiteral("a=1;\n") << QStringLiteral("No problems");
    }
    void idlePreviewRests()
    {
        QFETCH(QString, text);
        QFETCH(QString, summary);
        QPointer<savePreview> preview = open(text);
        PreviewCheck *check = preview->check();
        auto *status = preview->findChild<QPushButton *>(QStringLiteral("checkStatus"));
        QTRY_VERIFY2(status->text().startsWith(summary), qPrintable(status->text()));
        QSignalSpy started(check, &PreviewCheck::started);
        QSignalSpy checked(check, &PreviewCheck::checked);

        const auto verifyResting = [&](int checks) {
            // Everything the result set off (colouring, layout, repaints) is handled first.
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            QVERIFY(check->isResting());
            QCOMPARE(started.count(), checks);
        };
        verifyResting(0);
        if (QTest::currentTestFailed())
            return;
        QPlainTextEdit *code = preview->codePreview();
        QTest::keyClick(code, Qt::Key_F8);
        QTest::mouseClick(status, Qt::LeftButton);
        QTest::keyClick(code, Qt::Key_End, Qt::ControlModifier);
        verifyResting(0);
        if (QTest::currentTestFailed())
            return;

        QTest::keyClick(code, Qt::Key_Space);
        QVERIFY(!check->isResting());
        QTRY_COMPARE(checked.count(), 1);
        verifyResting(1);
    }

    // TABs stop every eight spaces, as in the code boxes, not at Qt's 80 pixels.
    void tabStopsOfEightSpaces()
    {
        QPointer<savePreview> preview = open(QStringLiteral("\tx"));
        QPlainTextEdit *code = preview->codePreview();
        QCOMPARE(code->tabStopDistance(),
                 QFontMetricsF(code->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    }

    void parentlessDialogStaysParentless()
    {
        QFileDialog own; // as the main window keeps it: an object of its own, no parent
        const QString chosen = path(QStringLiteral("own.ext"));
        QPointer<savePreview> first = savePreview::openWith(main.get(), &own, QStringLiteral("1"));
        saveTo(first, chosen);
        QCOMPARE(own.parentWidget(), nullptr);
        QVERIFY(own.isWindow());
        QCOMPARE(readAll(chosen), QByteArray("1\r\n"));

        flushDeletes();
        QPointer<savePreview> second = savePreview::openWith(main.get(), &own, QStringLiteral("2"));
        QTest::mouseClick(second->saveAsButton(), Qt::LeftButton);
        QCOMPARE(prompts->lastDialogSelection, QStringList{chosen});
        QCOMPARE(own.parentWidget(), nullptr);
    }

    // The close box and Esc, from the text box that has the focus, both close it unsaved.
    void closeBoxWritesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        QTest::newRow("Esc") << true;
    }
    void closeBoxWritesNothing()
    {
        QFETCH(bool, escape);
        QPointer<savePreview> preview = open(QStringLiteral("abc"));
        QVERIFY(!main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), preview.data());
        if (escape)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            preview->close();
        verifyMainReleased();
        QVERIFY(!preview);
        QCOMPARE(prompts->fileDialogs, 0);
        QVERIFY(QDir(dir->path()).isEmpty());
    }
};

QTEST_MAIN(tst_savePreview)
#include "tst_savepreview.moc"
