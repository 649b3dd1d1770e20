// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The windows, offscreen: start-up, appending entries, typing, the preview, opening a file,
// the preview's check and typing beside a huge field.
#include "benchsupport.h"
#include "windowsupport.h"

#include "about.h"
#include "generator.h"
#include "mainwindow.h"
#include "previewcheck.h"
#include "savepreview.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>

namespace {

// 1. Start-up: the main window built, started up and shown, against a bare window of the
// same outline.
void Startup_Main(benchmark::State &state)
{
    for (auto _ : state) {
        auto *main = new Main;
        bench::showAndPaint(main);
        state.PauseTiming();
        delete main;
        bench::settle();
        state.ResumeTiming();
    }
}
BENCHMARK(Startup_Main)->Unit(benchmark::kMillisecond)->UseRealTime();

void Startup_BareWindow(benchmark::State &state)
{
    for (auto _ : state) {
        auto *window = new QMainWindow;
        auto *tabs = new QTabWidget;
        for (int i = 0; i < 8; ++i)
            tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i + 1));
        window->setCentralWidget(tabs);
        QMenu *file = window->menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&Create"));
        file->addAction(QStringLiteral("E&xit"));
        window->menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
        window->resize(705, 580);
        bench::showAndPaint(window);
        state.PauseTiming();
        delete window;
        bench::settle();
        state.ResumeTiming();
    }
}
BENCHMARK(Startup_BareWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// 3. Append: one entry added through the document to a shown sound box. The count of
// appends is fixed so that the small box stays small.
void appendTo(benchmark::State &state, int entries)
{
    Main main;
    bench::switchSectionsOn(main.document());
    QString start;
    for (int n = 0; n < entries; ++n)
        start += bench::oneEntry(n);
    main.document().setCode(CodeBox::mainSoundCode, start);
    start.clear();
    bench::showCodeBox(main, CodeBox::mainSoundCode);
    bench::showAndPaint(&main);
    const QString entry = bench::oneEntry(entries);
    for (auto _ : state) {
        main.document().appendCode(CodeBox::mainSoundCode, entry);
        QCoreApplication::processEvents();
    }
}
void Append_Box100000(benchmark::State &state)
{
    appendTo(state, 100000);
}
void Append_Box100(benchmark::State &state)
{
    appendTo(state, 100);
}
BENCHMARK(Append_Box100000)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(300);
BENCHMARK(Append_Box100)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(300);

// 4. Typing: one key typed at the end of the Other box, with real key events. Each typed
// character is taken back (untimed) so that the boxes keep their size.
void typeInto(benchmark::State &state, qsizetype characters)
{
    Main main;
    bench::switchSectionsOn(main.document());
    main.document().setCode(CodeBox::mainOtherCode, bench::entryText(characters));
    QPlainTextEdit *edit = bench::showCodeBox(main, CodeBox::mainOtherCode);
    bench::showAndPaint(&main);
    QApplication::setActiveWindow(&main);
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(edit, 'x');
        QCoreApplication::processEvents();
        state.PauseTiming();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    // Reading the box makes sure that the typing reached the document.
    state.counters["chars"] = double(main.document().code(CodeBox::mainOtherCode).size());
}
void Typing_Box5MiB(benchmark::State &state)
{
    typeInto(state, 5 * 1024 * 1024);
}
void Typing_EmptyBox(benchmark::State &state)
{
    typeInto(state, 0);
}
BENCHMARK(Typing_Box5MiB)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(300);
BENCHMARK(Typing_EmptyBox)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(300);

// 5. Preview: Create on a 10 MiB document until the preview has painted its text, against
// putting the same text into a shown text box.
savePreview *openPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *preview = qobject_cast<savePreview *>(w); preview && preview->isVisible())
            return preview;
    }
    return nullptr;
}

// Create until the preview has painted, once per iteration; closing it is not timed.
void createAndPaint(benchmark::State &state, Main &main)
{
    for (auto _ : state) {
        main.mnuCreate()->trigger();
        savePreview *preview = openPreview();
        if (!preview) {
            state.SkipWithError("no preview opened");
            break;
        }
        bench::showAndPaint(preview);
        state.PauseTiming();
        preview->close();
        bench::settle();
        state.ResumeTiming();
    }
}

void Preview_Create(benchmark::State &state)
{
    Main main;
    bench::switchSectionsOn(main.document());
    bench::fillCodeBoxes(main.document(), bench::LargeText);
    bench::showAndPaint(&main);
    createAndPaint(state, main);
}
BENCHMARK(Preview_Create)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Create of an opened file until the preview has painted.
void createOpened(benchmark::State &state, const QString &path)
{
    Main main;
    if (!main.openFile(path)) {
        state.SkipWithError("not opened");
        return;
    }
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != &main && w->isVisible())
            w->close();
    }
    bench::showAndPaint(&main);
    createAndPaint(state, main);
}

// The same for the saved 10 MiB document opened from its file: Create then writes the file
// again with no edit, which must not cost much more than generating it.
void Preview_CreateOpened(benchmark::State &state)
{
    createOpened(state, bench::largeFilePath());
}
BENCHMARK(Preview_CreateOpened)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// `text` put into a shown bare text box once per iteration, with one round of events; clearing
// the box again is not timed.
void setPlainTextPass(benchmark::State &state, const QString &text)
{
    QPlainTextEdit edit;
    edit.resize(600, 400);
    bench::showAndPaint(&edit);
    for (auto _ : state) {
        edit.setPlainText(text);
        QCoreApplication::processEvents();
        state.PauseTiming();
        edit.clear();
        bench::settle();
        state.ResumeTiming();
    }
}

void Preview_SetPlainText(benchmark::State &state)
{
    QString text;
    {
        EditorDocument document;
        bench::switchSectionsOn(document);
        bench::fillCodeBoxes(document, bench::LargeText);
        text = generate(document).text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    setPlainTextPass(state, text);
}
BENCHMARK(Preview_SetPlainText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Opens `path` into the form until the form has painted, once per iteration; the report it
// leaves open is closed untimed.
void openIntoForm(benchmark::State &state, const QString &path, bool showOther = false)
{
    Main main;
    if (showOther) {
        // The page of the Other box, where a file's unknown lines go.
        auto *other = main.findChild<QWidget *>(QStringLiteral("mainOtherCode"));
        for (int i = 0; i < main.items()->count(); ++i) {
            if (main.items()->widget(i)->isAncestorOf(other))
                main.items()->setCurrentIndex(i);
        }
    }
    bench::showAndPaint(&main);
    for (auto _ : state) {
        // The form is left as the last opening made it, so opening again asks nothing.
        if (!main.openFile(path)) {
            state.SkipWithError("not opened");
            break;
        }
        bench::showAndPaint(&main);
        state.PauseTiming();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != &main && w->isVisible())
                w->close();
        }
        bench::settle();
        state.ResumeTiming();
    }
}

// 6. Open: a saved 10 MiB description opened into the form until the form has painted,
// against Create of the same document until its preview has painted.
void Open_Main(benchmark::State &state)
{
    openIntoForm(state, bench::largeFilePath());
}
BENCHMARK(Open_Main)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Open, realistic: the realistic 10 MiB description opened into the form until the form has
// painted, against putting the same text into a shown bare text box.
void OpenRealistic_Main(benchmark::State &state)
{
    openIntoForm(state, bench::realisticFilePath());
}
BENCHMARK(OpenRealistic_Main)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void OpenRealistic_TextBox(benchmark::State &state)
{
    QString text = bench::realisticFileText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainTextPass(state, text);
}
BENCHMARK(OpenRealistic_TextBox)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 7. Check: the longest time the window cannot react while the 10 MiB preview is checked
// again in full (the reading itself runs on another thread), against one frame at 60 Hz.
void Check_LongestStall(benchmark::State &state)
{
    Main main;
    bench::switchSectionsOn(main.document());
    bench::fillCodeBoxes(main.document(), bench::LargeText);
    bench::showAndPaint(&main);
    main.mnuCreate()->trigger();
    savePreview *preview = openPreview();
    if (!preview) {
        state.SkipWithError("no preview opened");
        return;
    }
    bench::showAndPaint(preview);
    PreviewCheck *check = preview->check();
    while (check->isChecking())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (auto _ : state) {
        bool done = false;
        const QMetaObject::Connection c =
            QObject::connect(check, &PreviewCheck::checked, [&done] { done = true; });
        QElapsedTimer gap;
        gap.start();
        check->checkNow();
        qint64 longest = 0;
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = qMax(longest, gap.nsecsElapsed());
            gap.restart();
        }
        QObject::disconnect(c);
        state.SetIterationTime(double(longest) / 1e9);
    }
    preview->close();
    bench::settle();
}
BENCHMARK(Check_LongestStall)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void Check_OneFrame(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(1.0 / 60);
}
BENCHMARK(Check_OneFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// 8. Field: the main window locked and released again (the about box opened and closed,
// which repaints the whole window) while a single-line field holds 10 MiB, against the same
// with that field empty.
void lockBeside(benchmark::State &state, qsizetype characters)
{
    Main main;
    main.document().setSwitch(Switch::introStringEnabled, 1);
    main.document().setText(Field::introString, QString(characters, u'a'));
    bench::showAndPaint(&main);
    for (auto _ : state) {
        about *box = about::openFor(&main);
        bench::showAndPaint(box);
        box->close();
        bench::settle();
        main.repaint();
    }
}
void Field_Beside10MiB(benchmark::State &state)
{
    lockBeside(state, 10 * 1024 * 1024);
}
void Field_BesideEmpty(benchmark::State &state)
{
    lockBeside(state, 0);
}
BENCHMARK(Field_Beside10MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Field_BesideEmpty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Open, one line: a file of the same size whose text is one line, opened into the form until
// the form has painted, against the realistic file. The Other box, which holds the line, is
// the page shown.
void OpenRealistic_Other(benchmark::State &state)
{
    openIntoForm(state, bench::realisticFilePath(), true);
}
BENCHMARK(OpenRealistic_Other)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void OpenOneLine_Value(benchmark::State &state)
{
    openIntoForm(state, bench::oneLineFilePath(bench::OneLine::QuotedValue), true);
}
BENCHMARK(OpenOneLine_Value)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void OpenOneLine_Entries(benchmark::State &state)
{
    openIntoForm(state, bench::oneLineFilePath(bench::OneLine::Entries), true);
}
BENCHMARK(OpenOneLine_Entries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// For comparison: the same entries one a line. Reading a million statements costs the same on
// one line or on a million.
void OpenOneLine_EntryLines(benchmark::State &state)
{
    openIntoForm(state, bench::oneLineFilePath(bench::OneLine::EntryLines), true);
}
BENCHMARK(OpenOneLine_EntryLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Create, one line: the one-line files opened, against the realistic file opened.
void CreateOneLine_Value(benchmark::State &state)
{
    createOpened(state, bench::oneLineFilePath(bench::OneLine::QuotedValue));
}
BENCHMARK(CreateOneLine_Value)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void CreateOneLine_Entries(benchmark::State &state)
{
    createOpened(state, bench::oneLineFilePath(bench::OneLine::Entries));
}
BENCHMARK(CreateOneLine_Entries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void CreateRealistic_Opened(benchmark::State &state)
{
    createOpened(state, bench::realisticFilePath());
}
BENCHMARK(CreateRealistic_Opened)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns about every window it cannot size the native way.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    return bench::runAll(
        argc, argv,
        {{"start-up", "Startup_Main", "Startup_BareWindow", 2.0},
         {"append", "Append_Box100000", "Append_Box100", 2.0},
         {"typing", "Typing_Box5MiB", "Typing_EmptyBox", 1.5},
         {"preview", "Preview_Create", "Preview_SetPlainText", 1.5},
         {"open", "Open_Main", "Preview_Create", 1.5},
         {"open file", "OpenRealistic_Main", "OpenRealistic_TextBox", 1.2},
         {"create opened", "Preview_CreateOpened", "Preview_Create", 1.2},
         {"open one line", "OpenOneLine_Value", "OpenRealistic_Other", 1.5},
         {"open one line of entries", "OpenOneLine_Entries", "OpenRealistic_Other", 1.5},
         {"create one line", "CreateOneLine_Value", "CreateRealistic_Opened", 1.5},
         {"create one line of entries", "CreateOneLine_Entries", "CreateRealistic_Opened", 1.5},
         {"check", "Check_LongestStall", "Check_OneFrame", 1.0},
         {"field", "Field_Beside10MiB", "Field_BesideEmpty", 2.0}});
}
