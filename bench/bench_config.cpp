// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The format reader on the 10 MiB document: a full read against one plain pass over the text.
#include "benchsupport.h"

#include "configreader.h"
#include "editordocument.h"
#include "generator.h"

namespace {

// The generated file of a document whose eight boxes hold 10 MiB of sound entries, every
// section switched on.
const QString &largeFileText()
{
    static const QString text = [] {
        EditorDocument document;
        bench::fillCodeBoxes(document, bench::LargeText);
        return generate(document).text;
    }();
    return text;
}

// Reads `text` once per iteration.
void readPass(benchmark::State &state, const QString &text, const config::ReadOptions &options = {})
{
    qsizetype problems = 0;
    for (auto _ : state) {
        const config::ReadResult result = config::readConfig(text, options);
        problems = result.diagnostics.size();
        benchmark::DoNotOptimize(result.entries.constData());
    }
    state.counters["chars"] = double(text.size());
    state.counters["problems"] = double(problems);
}

// One pass that looks at every character and counts line breaks and quotes: the least any
// reader must do.
void countPass(benchmark::State &state, const QString &text)
{
    for (auto _ : state) {
        qsizetype lines = 0, quotes = 0;
        for (const QChar c : text) {
            lines += c == u'\n';
            quotes += c == u'"';
        }
        benchmark::DoNotOptimize(lines);
        benchmark::DoNotOptimize(quotes);
    }
}

// Lexing, preprocessing, parsing into the tree with positions, and all diagnostics.
void Read_Config(benchmark::State &state)
{
    readPass(state, largeFileText());
}
BENCHMARK(Read_Config)->Unit(benchmark::kMillisecond)->UseRealTime();

void Read_CountBaseline(benchmark::State &state)
{
    countPass(state, largeFileText());
}
BENCHMARK(Read_CountBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pair on the realistic file: comments, strings, arrays, nested classes and
// preprocessor lines instead of sound entries alone.
void Read_Realistic(benchmark::State &state)
{
    readPass(state, bench::realisticFileText());
}
BENCHMARK(Read_Realistic)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: the same reading without the tree, as --check and the preview read.
void Read_RealisticNoTree(benchmark::State &state)
{
    config::ReadOptions options;
    options.keepEntries = false;
    readPass(state, bench::realisticFileText(), options);
}
BENCHMARK(Read_RealisticNoTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void Read_RealisticCount(benchmark::State &state)
{
    countPass(state, bench::realisticFileText());
}
BENCHMARK(Read_RealisticCount)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return bench::runAll(argc, argv,
                         {{"read", "Read_Config", "Read_CountBaseline", 10.0},
                          {"read (realistic)", "Read_Realistic", "Read_RealisticCount", 10.0},
                          {"(no tree)", "Read_RealisticNoTree", "Read_RealisticCount", 0}});
}
