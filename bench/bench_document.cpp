// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The document layer on a 10 MiB document: generating the file text and saving it.
#include "benchsupport.h"

#include "desktopservices.h"
#include "editordocument.h"
#include "encoding.h"
#include "generator.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

using bench::largeDocument;

// What Create runs: the document generates its text and keeps it with the fragments.
void Generate_Document(benchmark::State &state)
{
    EditorDocument &document = largeDocument();
    for (auto _ : state) {
        const QString &text = document.create();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["chars"] = double(bench::codeBoxCharacters(document));
}
BENCHMARK(Generate_Document)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: the pure generator, into fresh strings every time.
void Generate_FreshStrings(benchmark::State &state)
{
    const EditorDocument &document = largeDocument();
    for (auto _ : state) {
        GeneratedFile file = generate(document);
        benchmark::DoNotOptimize(file.text.constData());
    }
}
BENCHMARK(Generate_FreshStrings)->Unit(benchmark::kMillisecond)->UseRealTime();

void Generate_CopyBaseline(benchmark::State &state)
{
    const EditorDocument &document = largeDocument();
    const qsizetype total = bench::codeBoxCharacters(document);
    for (auto _ : state) {
        QString all;
        all.reserve(total);
        for (int i = 0; i < CodeBoxCount; ++i)
            all += document.code(CodeBox(i));
        benchmark::DoNotOptimize(all.constData());
    }
}
BENCHMARK(Generate_CopyBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text as Save As reads it from the preview: the generated file with the text box's
// paragraph separators between the lines.
const QString &largeFileText()
{
    static const QString text = [] {
        QString t = generate(largeDocument()).text;
        t.replace(QStringLiteral("\r\n"), QString(QChar::ParagraphSeparator));
        return t;
    }();
    return text;
}

QString savePath()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("description.ext"));
}

// What Save As does once the file is chosen: the text becomes the file's bytes and is
// written through the program's one file writer.
void Save_RealPath(benchmark::State &state)
{
    const QString &text = largeFileText();
    const QString path = savePath();
    for (auto _ : state) {
        const config::EncodedBytes encoded = descriptionFileBytes(text);
        if (const auto written = DesktopServices::instance().writeFile(path, encoded.bytes);
            !written) {
            state.SkipWithError(qPrintable(written.why()));
            break;
        }
    }
}
BENCHMARK(Save_RealPath)->Unit(benchmark::kMillisecond)->UseRealTime();

void Save_PlainFile(benchmark::State &state)
{
    const QByteArray bytes = descriptionFileBytes(largeFileText()).bytes;
    const QString path = savePath();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            state.SkipWithError("plain write failed");
            break;
        }
        file.close();
    }
}
BENCHMARK(Save_PlainFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two parts of the real path alone: encoding, and writing the bytes durably as the save
// does (flushed to the disk before the file takes the place of the old one).
void Save_EncodeOnly(benchmark::State &state)
{
    const QString &text = largeFileText();
    for (auto _ : state) {
        const config::EncodedBytes encoded = descriptionFileBytes(text);
        benchmark::DoNotOptimize(encoded.bytes.constData());
    }
}
BENCHMARK(Save_EncodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void Save_PlainFileSynced(benchmark::State &state)
{
    const QByteArray bytes = descriptionFileBytes(largeFileText()).bytes;
    const QString path = savePath();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush() || ::fdatasync(file.handle()) != 0) {
            state.SkipWithError("synced write failed");
            break;
        }
        file.close();
    }
}
BENCHMARK(Save_PlainFileSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // The file writer lives in the UI layer; it needs an application object, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runAll(argc, argv,
                         {{"generate", "Generate_Document", "Generate_CopyBaseline", 4.0},
                          {"(fresh)", "Generate_FreshStrings", "Generate_CopyBaseline", 0},
                          {"save", "Save_RealPath", "Save_PlainFile", 3.0},
                          {"(encode)", "Save_EncodeOnly", "Save_PlainFile", 0},
                          {"(synced)", "Save_PlainFileSynced", "Save_PlainFile", 0}});
}
