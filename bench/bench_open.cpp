// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Opening the 10 MiB document into the form, against Create of the same document.
#include "benchsupport.h"

#include "configreader.h"
#include "descriptionimport.h"
#include "editordocument.h"
#include "encoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

using bench::largeDocument;
using bench::largeFileBytes;
using bench::largeFilePath;

// What File > Open runs once the user agreed: read and check the bytes, decode, read the
// tree, map it and put every value into the document.
void Open_Document(benchmark::State &state)
{
    const QString &path = largeFilePath();
    EditorDocument target;
    int blocks = 0;
    for (auto _ : state) {
        const OpenResult result = openDescriptionFile(target, path);
        if (!result)
            state.SkipWithError(qPrintable(result.why()));
        else
            blocks = result->topLevelEntries - result->entriesInForm;
        benchmark::DoNotOptimize(target.code(CodeBox::mainOtherCode).constData());
    }
    state.counters["bytes"] = double(largeFileBytes().size());
    state.counters["otherBlocks"] = blocks;
}
BENCHMARK(Open_Document)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the file and creating it again without an edit: the whole round trip of a save that
// keeps an opened file, against Create of a new document of the same size.
void OpenCreate_Document(benchmark::State &state)
{
    const QString &path = largeFilePath();
    EditorDocument target;
    for (auto _ : state) {
        const OpenResult result = openDescriptionFile(target, path);
        if (!result)
            state.SkipWithError(qPrintable(result.why()));
        const QString &text = target.create();
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(OpenCreate_Document)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: the format reader alone on the decoded text, the largest share of opening.
void Open_ReaderOnly(benchmark::State &state)
{
    const auto text = decodeDescriptionFile(largeFileBytes(), QStringLiteral("x"));
    for (auto _ : state) {
        const config::ReadResult result = config::readConfig(text->text);
        benchmark::DoNotOptimize(result.entries.constData());
    }
}
BENCHMARK(Open_ReaderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: everything but the reader, i.e. reading and decoding the bytes and
// putting the mapped values into the document.
void Open_WithoutReader(benchmark::State &state)
{
    const QString &path = largeFilePath();
    const FormSnapshot values = [] {
        const auto text = decodeDescriptionFile(largeFileBytes(), QStringLiteral("x"));
        return importDescription(text->text).snapshot;
    }();
    EditorDocument target;
    for (auto _ : state) {
        const auto text = readDescriptionFile(path);
        benchmark::DoNotOptimize(text->text.constData());
        applySnapshot(target, values);
        benchmark::DoNotOptimize(target.code(CodeBox::mainOtherCode).constData());
    }
}
BENCHMARK(Open_WithoutReader)->Unit(benchmark::kMillisecond)->UseRealTime();

// What Create runs on the same document: every fragment and the joined text.
void Create_Document(benchmark::State &state)
{
    EditorDocument &document = largeDocument();
    for (auto _ : state) {
        const QString &text = document.create();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["chars"] = double(bench::codeBoxCharacters(document));
}
BENCHMARK(Create_Document)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return bench::runAll(argc, argv,
                         {{"open", "Open_Document", "Create_Document", 0},
                          {"open, create", "OpenCreate_Document", "Create_Document", 0},
                          {"(reader)", "Open_ReaderOnly", "Create_Document", 0},
                          {"(rest)", "Open_WithoutReader", "Create_Document", 0}});
}
