// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the benchmark programs share: a reporter that prints, after the usual table, the
// ratio of the median times of each measured pair, and the large test text.

#include <benchmark/benchmark.h>

#include "editordocument.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace bench {

// A pair measured in the same run: `subject` against `baseline`, and the ratio it must stay
// under (0: shown for comparison only).
struct Pair
{
    const char *title;
    const char *subject;
    const char *baseline;
    double target;
};

// Keeps the median of every benchmark (by its function name) and prints the ratios at the
// end. Without repetitions a benchmark's single run stands in for its median.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    explicit RatioReporter(std::vector<Pair> pairs) : m_pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const Times times{run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit};
            const std::string &name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[name] = times;
            else if (run.run_type == Run::RT_Iteration && !m_medians.count(name))
                m_single[name] = times;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Wall-clock ratio against the target; the CPU-time ratio beside it shows how much of a
    // difference is waiting (for the disk, or for other programs on a busy machine).
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %14s %14s %8s %8s %8s\n", "pair", "subject", "baseline", "ratio",
                    "cpu", "target");
        for (const Pair &pair : m_pairs) {
            const Times s = median(pair.subject);
            const Times b = median(pair.baseline);
            if (s.real <= 0 || b.real <= 0 || b.cpu <= 0)
                continue;
            const double ratio = s.real / b.real;
            std::printf("%-10s %11.3f ms %11.3f ms %7.2fx %7.2fx ", pair.title, s.real * 1e3,
                        b.real * 1e3, ratio, s.cpu / b.cpu);
            if (pair.target <= 0)
                std::printf("%8s (for comparison)\n", "");
            else
                std::printf("%7.1fx %s\n", pair.target, ratio <= pair.target ? "met" : "MISSED");
        }
        std::fflush(stdout);
    }

private:
    struct Times
    {
        double real = 0;
        double cpu = 0;
    };

    Times median(const std::string &name) const
    {
        if (auto it = m_medians.find(name); it != m_medians.end())
            return it->second;
        if (auto it = m_single.find(name); it != m_single.end())
            return it->second;
        return {};
    }

    std::vector<Pair> m_pairs;
    std::map<std::string, Times> m_medians;
    std::map<std::string, Times> m_single;
};

// Runs the registered benchmarks with five repetitions (unless the command line names
// another count) and prints the pairs' ratios.
inline int runAll(int argc, char **argv, std::vector<Pair> pairs)
{
    std::vector<char *> args(argv, argv + argc);
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    // Ahead of the caller's own flags, so that those win.
    args.insert(args.begin() + 1, {repetitions, aggregatesOnly});
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// Sound entries as the dialog writes them, numbered, until `characters` are reached (the
// result is cut at an entry boundary, so it may be a little shorter).
QString entryText(qsizetype characters, int firstNumber = 0);
// One sound entry.
QString oneEntry(int number);
// Fills the eight code boxes with entries, `characters` in all (the boxes' switches stay as
// they are), and counts what they hold.
void fillCodeBoxes(EditorDocument &document, qsizetype characters);
qsizetype codeBoxCharacters(const EditorDocument &document);
// The number of characters in the document's code boxes of the large benchmarks: 10 MiB.
inline constexpr qsizetype LargeText = 10 * 1024 * 1024;
// A document in its design state (every section switched on) whose boxes hold LargeText,
// made once.
EditorDocument &largeDocument();
// The bytes Save writes for it, and a file holding them (made once, removed at exit).
const QByteArray &largeFileBytes();
const QString &largeFilePath();

// A description file as mission makers write them, about `characters` long, with CR LF breaks:
// the form's sections and, for the Other box, about as much again of other classes, with
// comments, arrays, strings, doubled quotes, nested and one-line classes and preprocessor
// lines. The same text on every call.
QString realisticText(qsizetype characters);
// realisticText(LargeText), made once, and a UTF-8 file holding it (removed at exit).
const QString &realisticFileText();
const QString &realisticFilePath();

// Files of LargeText characters that hold one line each (made once, removed at exit): one
// quoted value (`x = "aaa…";`), and short entries one after another (`a0=1;a1=1;…`); for
// comparison, the same entries one a line.
enum class OneLine { QuotedValue, Entries, EntryLines };
QString oneLineText(OneLine shape, qsizetype characters);
const QString &oneLineFilePath(OneLine shape);

} // namespace bench
