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

// The statements as the game reads them: preprocessor lines and comments left out.
QString statements(const ReadResult &r)
{
    QList<Entry> kept;
    for (const Entry &e : r.entries) {
        if (e.kind != EntryKind::Directive && e.kind != EntryKind::Comment)
            kept.append(e);
    }
    return dumpEntries(kept);
}

// "LINE:COLUMN severity [name]" per diagnostic.
QString found(const ReadResult &r)
{
    QStringList lines;
    for (const Diagnostic &d : r.diagnostics) {
        const char *severity = d.severity == Severity::Error     ? "error"
                               : d.severity == Severity::Warning ? "warning"
                                                                 : "note";
        lines << QStringLiteral("%1:%2 %3 [%4]")
                     .arg(d.position.line)
                     .arg(d.position.column)
                     .arg(QLatin1StringView(severity), diagnosticName(d.kind));
    }
    return lines.join(u'\n');
}

// The macros of CBA, which mission frameworks copy.
const QString Cba = QStringLiteral("#define PREFIX mrw\n"
                                   "#define COMPONENT main\n"
                                   "#define DOUBLES(var1,var2) var1##_##var2\n"
                                   "#define QUOTE(var1) #var1\n"
                                   "#define ADDON DOUBLES(PREFIX,COMPONENT)\n"
                                   "#define GVAR(var1) DOUBLES(ADDON,var1)\n"
                                   "#define QGVAR(var1) QUOTE(GVAR(var1))\n");
constexpr int CbaLines = 7;

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

    // What the game makes of constructs that mission frameworks use, and what the check says
    // about them: nothing, where the game reads them without a word.
    void asTheGameReads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("game");  // the statements the game reads
        QTest::addColumn<QString>("check"); // the check's diagnostics (style notes off)
        // The arguments run to the matching ')': a ';' is part of them.
        QTest::newRow("';' in an argument") << Cba + "x = QUOTE(a; b);"
                                            << "x=s:a; b"
                                            << "";
        QTest::newRow("';' and a line break in an argument")
            << Cba + "class X { init = QUOTE(call f;\n  call g); };"
            << "class X{init=s:call f; call g}"
            << "";
        // Each argument is expanded before it takes its parameter's place, for '#' and '##'
        // too.
        QTest::newRow("a call in an argument") << Cba + "x = GVAR(DOUBLES(y,z));"
                                               << "x=w:mrw_main_y_z"
                                               << "";
        QTest::newRow("a call in a quoted argument") << Cba + "x = QGVAR(DOUBLES(y,z));"
                                                     << "x=s:mrw_main_y_z"
                                                     << "";
        QTest::newRow("the same macro in its own argument") << "#define F(a) a##a\nx = F(F(y));"
                                                            << "x=w:yyyy"
                                                            << "";
        QTest::newRow("three deep") << "#define F(a) a##a\nx = F(F(F(y)));"
                                    << "x=w:yyyyyyyy"
                                    << "";
        QTest::newRow("two calls in two arguments")
            << "#define ADD(a,b) a+b\nx = ADD(ADD(1,2),ADD(3,4));"
            << "x=w:1+2+3+4"
            << "";
        QTest::newRow("an object-like macro in an argument")
            << "#define N 5\n#define Q(a) #a\nx = Q(N);"
            << "x=s:5"
            << "";
        QTest::newRow("a name that needs its arguments from the body")
            << "#define APPLY(f) f(2)\n#define TWICE(a) a*2\nx = APPLY(TWICE);"
            << "x=w:2*2"
            << "";
        QTest::newRow("a macro that names itself stops")
            << "#define X X+1\n#define Q(a) #a\nx = Q(X);"
            << "x=s:X+1"
            << "";
        QTest::newRow("wrong count in a nested call")
            << "#define F(a) a\n#define G(a,b) a\nx = F(G(1));"
            << "x=n:1"
            << "3:7 error [macro-arguments]";
        // An argument list that never closes is reported; reading goes on after its first ';'.
        QTest::newRow("unclosed arguments") << Cba + "x = QUOTE(a;\ny = 1;"
                                            << "x=w: y=n:1"
                                            << QStringLiteral("%1:4 error [empty-value]\n"
                                                              "%1:5 error [macro-arguments]")
                                                   .arg(CbaLines + 1);
        // __EXEC and __EVAL hold what the game works out, statements included.
        QTest::newRow("__EXEC with statements") << "__EXEC(a = 1; b = 2;)\nx = 1;"
                                                << "exec(a = 1; b = 2;) x=n:1"
                                                << "";
        QTest::newRow("__EVAL") << "x = __EVAL(1 + 2);"
                                << "x=e:1 + 2"
                                << "";
        QTest::newRow("__EXEC left open") << "__EXEC(a = 1;\nx = 1;"
                                          << "invalid"
                                          << "1:7 error [syntax]";
        // Unquoted text runs to the ';', strings in quotes included.
        QTest::newRow("script call as a value")
            << "VCM_CBASettings = call compile preprocessFileLineNumbers "
               "\"Vcom\\VCM_CBASettings.sqf\";"
            << "VCM_CBASettings=w:call compile preprocessFileLineNumbers "
               "\"Vcom\\VCM_CBASettings.sqf\""
            << "";
        QTest::newRow("strings in an array are elements") << "x[] = {a \"b\"};"
                                                          << "invalid"
                                                          << "1:10 error [syntax]";
        // The game reads on without a ';' before '}', but logs it.
        QTest::newRow("';' missing before '}'") << "class A { x = 1 };"
                                                << "class A{x=n:1}"
                                                << "1:17 warning [missing-semicolon]";
    }
    void asTheGameReads()
    {
        QFETCH(QString, text);
        QFETCH(QString, game);
        QFETCH(QString, check);
        ReadOptions options;
        options.styleNotes = false;
        const ReadResult r = readConfig(text, options);
        QCOMPARE(statements(r), game);
        QCOMPARE(found(r), check);
    }

    // Calls nested in arguments far past the depth limit stop there, and the text left
    // unexpanded at each level stops at the expansion budget: errors, in time and memory that
    // grow with the text.
    void deeplyNestedArguments()
    {
        const int n = 20000;
        const QString text = u"#define F(a) a\nx = "_qs + QStringLiteral("F(").repeated(n) +
                             u"y"_qs + QStringLiteral(")").repeated(n) + u";"_qs;
        const ReadResult r = readConfig(text);
        QCOMPARE(found(r), u"2:4 error [empty-value]\n2:5 error [macro-depth]\n"
                           u"2:5 error [macro-budget]"_qs);
        QVERIFY2(r.steps() < 100 * text.size(), qPrintable(QString::number(r.steps())));
    }
};

QTEST_GUILESS_MAIN(tst_macroexpansion)
#include "tst_macroexpansion.moc"
