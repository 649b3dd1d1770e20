// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "configreader.h"
#include "treedump.h"

#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>

#include <psapi.h> // after windows.h, whose types it uses
#else
#include <sys/resource.h>
#endif

using namespace config;

namespace {

// The process's peak memory so far, in KiB.
long peakKiB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

QString params(int n, const QString &pattern)
{
    QStringList list;
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list << pattern.arg(i);
    return list.join(u',');
}

} // namespace

class tst_macroexpansion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Macros whose expansion would be far larger than the file stop at the expansion budget
    // while their text is built: the peak memory of the read stays a small multiple of the
    // budget. Macros with many parameters expand each one to its own argument. The first rows
    // raise the peak the most, so that a later row cannot hide behind an earlier one.
    void expansion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lastEntry"); // the tree of the last entry
        QTest::addColumn<QString>("error");     // an expected error; empty: none
        const QString stop = "macro expansion stopped at 'M': the macros expand to far more "
                             "text than the file holds";
        const QString huge = QString(100000, u'y');
        QTest::newRow("parameter named 100,000 times")
            << "#define M(a) " + QString("a ").repeated(100000) + "\nx = M(" + huge + ");"
            << "x=w:" << stop;
        QTest::newRow("parameter made a string 100,000 times")
            << "#define M(a) " + QString("#a ").repeated(100000) + "\nx = M(" + huge + ");"
            << "x=w:" << stop;
        QTest::newRow("parameters glued 100,000 times")
            << "#define M(a) " + QString("a##").repeated(100000) + "a\nx = M(" + huge + ");"
            << "x=w:" << stop;
        QTest::newRow("object-like macro used 100,000 times")
            << "#define M " + huge + "\nx[] = {" + QString("M,").repeated(100000) + "};"
            << "" << stop;
        QTest::newRow("just within the budget")
            << "#define M(a) a a a a\nx = M(" + QString(1000, u'y') + ");"
            << "x=w:" + QString(1000, u'y') + " " + QString(1000, u'y') + " " +
                   QString(1000, u'y') + " " + QString(1000, u'y')
            << "";
        QTest::newRow("50,000 parameters")
            << "#define M(" + params(50000, "p%1") + ") {p49999, p0, p25000}\nx[] = M(" +
                   params(50000, "%1") + ");"
            << "x[]={n:49999,n:0,n:25000}"
            << "";
        QTest::newRow("a parameter named twice takes the first argument")
            << "#define M(a, b, a) {a, b}\nx[] = M(1, 2, 3);"
            << "x[]={n:1,n:2}"
            << "";
        QTest::newRow("parameter names inside strings stay")
            << "#define M(a) {\"a\", #a, a}\nx[] = M(q);"
            << "x[]={s:a,s:q,w:q}"
            << "";
    }
    void expansion()
    {
        QFETCH(QString, text);
        QFETCH(QString, lastEntry);
        QFETCH(QString, error);
        const long before = peakKiB();
        const ReadResult r = readConfig(text);
        // The budget is a few million characters at most here; building past it would take
        // gigabytes.
        QVERIFY2(peakKiB() - before < 256 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 KiB").arg(peakKiB() - before)));
        QStringList errors;
        for (const Diagnostic &d : r.diagnostics) {
            if (d.severity == Severity::Error)
                errors << d.message;
            QVERIFY2(d.message.size() < 200, qPrintable(d.message.left(200)));
        }
        if (error.isEmpty())
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        else
            QVERIFY2(errors.contains(error), qPrintable(errors.join(u'\n')));
        QVERIFY(!r.entries.isEmpty());
        if (!lastEntry.isEmpty())
            QCOMPARE(dumpEntries({r.entries.back()}), lastEntry);
    }
};

QTEST_GUILESS_MAIN(tst_macroexpansion)
#include "tst_macroexpansion.moc"
