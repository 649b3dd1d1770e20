// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "configreader.h"
#include "treedump.h"

#include <QRandomGenerator>
#include <QTest>

using namespace config;

namespace {

QString messages(const ReadResult &r)
{
    QStringList lines;
    for (const Diagnostic &d : r.diagnostics) {
        lines << QStringLiteral("%1:%2: %3: %4")
                     .arg(d.position.line)
                     .arg(d.position.column)
                     .arg(d.severity == Severity::Error     ? "error"
                          : d.severity == Severity::Warning ? "warning"
                                                            : "note",
                          d.message);
    }
    return lines.join(u'\n');
}

// What every result must satisfy, whatever the input: positions inside the text and agreeing
// with their offsets, entries in source order without overlap, diagnostics in range.
void checkInvariants(const QString &text, const ReadResult &r)
{
    // Where each line starts, counted the plain way.
    QList<qsizetype> lineStarts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        if (c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029))
            lineStarts.append(i + 1);
    }
    auto checkPos = [&](const SourcePos &p) {
        QVERIFY2(p.offset >= 0 && p.offset <= text.size(), qPrintable(QString::number(p.offset)));
        // The line and the column count back to the start of that line.
        QVERIFY(p.line >= 1 && p.line <= lineStarts.size());
        QCOMPARE(p.offset - (p.column - 1), lineStarts[p.line - 1]);
        QVERIFY(p.line == lineStarts.size() || p.offset < lineStarts[p.line]);
    };
    std::function<void(const QList<Entry> &, qsizetype, qsizetype)> walk =
        [&](const QList<Entry> &entries, qsizetype from, qsizetype to) {
            qsizetype previous = from;
            for (const Entry &e : entries) {
                checkPos(e.span.start);
                checkPos(e.span.end);
                QVERIFY(e.span.start.offset >= previous);
                QVERIFY(e.span.end.offset >= e.span.start.offset);
                QVERIFY(e.span.end.offset <= to);
                previous = e.span.end.offset;
                if (e.kind == EntryKind::Class)
                    walk(e.children, e.bodySpan.start.offset, e.bodySpan.end.offset);
            }
        };
    walk(r.entries, 0, text.size());
    for (const Diagnostic &d : r.diagnostics) {
        QVERIFY(!d.message.isEmpty());
        if (d.file.isEmpty()) {
            checkPos(d.position);
            QVERIFY(d.position.offset + d.length <= text.size());
        }
    }
}

} // namespace

class tst_configreader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every construct of the format reads into the expected tree without a problem.
    void constructs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tree");
        QTest::newRow("line comment") << "// hello\nx=1;"
                                      << "comment x=n:1";
        QTest::newRow("block comment") << "/* a\n b */ x=1;"
                                       << "comment x=n:1";
        QTest::newRow("class") << "class A { x=1; };"
                               << "class A{x=n:1}";
        QTest::newRow("inheritance") << "class B: A\n{\n};"
                                     << "class B:A{}";
        QTest::newRow("declaration and delete") << "class A; delete B;"
                                                << "decl A delete B";
        QTest::newRow("nested classes") << "class A { class B { class C {}; }; };"
                                        << "class A{class B{class C{}}}";
        QTest::newRow("string") << "x = \"a b\";"
                                << "x=s:a b";
        QTest::newRow("escaped quote") << "x = \"say \"\"hi\"\"\";"
                                       << "x=s:say \"hi\"";
        QTest::newRow("numbers") << "a=1; b=-2.5; c=1e-3; d=0x1F; e=.5; f=3.;"
                                 << "a=n:1 b=n:-2.5 c=n:1e-3 d=n:0x1F e=n:.5 f=n:3.";
        QTest::newRow("true and false") << "a=TRUE; b=false;"
                                        << "a=w:TRUE b=w:false";
        QTest::newRow("array") << "a[] = {1, \"x\", {2, 3}, {}};"
                               << "a[]={n:1,s:x,{n:2,n:3},{}}";
        QTest::newRow("array over lines") << "a[] = {\n  1,\n  2\n};"
                                          << "a[]={n:1,n:2}";
        QTest::newRow("trailing comma") << "a[] = {1, 2,};"
                                        << "a[]={n:1,n:2}";
        QTest::newRow("array append") << "a[] += {\"b\"};"
                                      << "a[]+={s:b}";
        QTest::newRow("sound volume") << "s[] = {\"f.ogg\", db+10, 1.0};"
                                      << "s[]={s:f.ogg,n:db+10,n:1.0}";
        QTest::newRow("include") << "#include \"a\\b.hpp\"\n#include <c.hpp>"
                                 << "#include(a\\b.hpp) #include(c.hpp)";
        QTest::newRow("define") << "#define X 1\nx = X;"
                                << "#define(X 1) x=n:1";
        QTest::newRow("define with arguments")
            << "#define PAIR(a,b) {a, b}\nx[] = PAIR(1, \"two\");"
            << "#define(PAIR(a,b) {a, b}) x[]={n:1,s:two}";
        QTest::newRow("stringify and paste")
            << "#define S(a) #a\n#define J(a,b) a##b\nx = S(hi there); y = J(12,34);"
            << "#define(S(a) #a) #define(J(a,b) a##b) x=s:hi there y=n:1234";
        QTest::newRow("continuation") << "#define LONG 1 + \\\n 2\nx = __EVAL(LONG);"
                                      << "#define(LONG 1 +   2) x=e:1 + 2";
        QTest::newRow("undef") << "#define X\n#undef X\n#ifdef X\nx=1;\n#endif"
                               << "#define(X) #undef(X) #ifdef(X) skipped #endif()";
        QTest::newRow("ifdef else") << "#define X\n#ifdef X\na=1;\n#else\nb=2;\n#endif"
                                    << "#define(X) #ifdef(X) a=n:1 #else() skipped #endif()";
        QTest::newRow("ifndef") << "#ifndef X\na=1;\n#endif"
                                << "#ifndef(X) a=n:1 #endif()";
        QTest::newRow("if") << "#define ON 1\n#if ON\na=1;\n#endif\n#if 0\nb=1;\n#endif"
                            << "#define(ON 1) #if(ON) a=n:1 #endif() #if(0) skipped #endif()";
        QTest::newRow("eval") << "x = __EVAL(1 + 2);"
                              << "x=e:1 + 2";
        QTest::newRow("exec") << "__EXEC(a = 1)\nx=1;"
                              << "exec(a = 1) x=n:1";
        QTest::newRow("comments inside a class") << "class A {\n// c\nx=1; /* d */\n};"
                                                 << "class A{comment x=n:1 comment}";
        QTest::newRow("comment inside an array stays in the value") << "a[]={1, /* c */ 2};"
                                                                    << "a[]={n:1,n:2}";
        QTest::newRow("directive inside a class") << "class F {\n#include \"f.hpp\"\n};"
                                                  << "class F{#include(f.hpp)}";
        QTest::newRow("macro naming itself") << "#define A A\nx[] = {A};"
                                             << "#define(A A) x[]={w:A}";
        QTest::newRow("byte order mark") << QString(QChar(0xFEFF)) + "x=1;"
                                         << "x=n:1";
    }
    void constructs()
    {
        QFETCH(QString, text);
        QFETCH(QString, tree);
        ReadOptions options;
        options.checkKnownKeys = false;
        const ReadResult r = readConfig(text, options);
        QCOMPARE(dumpEntries(r.entries), tree);
        QVERIFY2(r.errorCount() == 0, qPrintable(messages(r)));
        checkInvariants(text, r);
    }

    // Each problem the reader reports, with its severity, place and message.
    void diagnostics_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing ';' before more on the line")
            << "x = 1 y = 2;"
            << "1:7: error: expected ';' after the value, found 'y'";
        QTest::newRow("missing ';' at the end of the line")
            << "x = 1\ny = 2;"
            << "1:6: error: expected ';' after the value, found the end of the line";
        QTest::newRow("missing ';' before '}'")
            << "class A { x = \"a\" };"
            << "1:19: warning: expected ';' after the value, found '}' (the game logs "
               "\"'/A.x': Missing ';' prior '}'\")";
        QTest::newRow("missing ';' after a class")
            << "class A {} x=1;"
            << "1:10: error: expected ';' after '}' of class A, found 'x'";
        QTest::newRow("unclosed brace") << "class A {\nx=1;\n"
                                        << "2:5: error: expected '}' to close class A (opened on "
                                           "line 1), found the end of the file\n"
                                           "1:1: note: class A opened here";
        QTest::newRow("unterminated string")
            << "x = \"abc;\ny=1;"
            << "1:5: error: unterminated string: expected '\"' before the end of the line";
        QTest::newRow("unterminated comment")
            << "x=1; /* no end"
            << "1:6: error: unterminated comment: expected '*/', found the end of the file";
        QTest::newRow("unquoted text with spaces")
            << "x = Hello world;"
            << "1:5: warning: unquoted text with spaces: expected a string in quotes, found 'Hello "
               "world'";
        QTest::newRow("unquoted text")
            << "x = COOP;"
            << "1:5: warning: unquoted text: expected a number or a string in quotes, found 'COOP'";
        QTest::newRow("game type as the game writes it") << "class Header { gameType = Coop; };"
                                                         << "";
        QTest::newRow("empty value") << "x=;"
                                     << "1:3: error: empty value: expected a value, found ';'";
        QTest::newRow("key twice") << "class A {\nx=1;\nX=2;\n};"
                                   << "3:1: warning: 'X' is set twice in the same class (first on "
                                      "line 2); the game keeps only one";
        QTest::newRow("close to a known key")
            << "respwnDelay = 5;"
            << "1:1: warning: unknown key 'respwnDelay': did you mean respawnDelay?";
        QTest::newRow("close to a known class")
            << "class CfgSound {};"
            << "1:1: warning: unknown key 'CfgSound': did you mean CfgSounds?";
        QTest::newRow("known key in other case") << "RESPAWNDELAY = 5;"
                                                 << "";
        QTest::newRow("unknown and far from every key") << "myOwnSetting = 5;"
                                                        << "";
        QTest::newRow("missing '='") << "x 1;"
                                     << "1:3: error: expected '=' after 'x', found '1'";
        QTest::newRow("'+=' on a value") << "x += 1;"
                                         << "1:3: error: expected '=' after 'x', found '+=' (only "
                                            "arrays can be added to: 'x[] +=')";
        QTest::newRow("array without braces")
            << "x[] = 1;"
            << "1:7: error: expected '{' to start the array 'x[]', found '1'";
        QTest::newRow("missing comma")
            << "x[] = {1 \"a\"};"
            << "1:10: error: expected ',' or '}' in the array, found '\"a\"'";
        QTest::newRow("empty element") << "x[] = {1,,2};"
                                       << "1:10: error: expected a value in the array, found ','";
        QTest::newRow("unclosed array")
            << "x[] = {1, 2;"
            << "1:7: error: expected '}' to close the array opened on line 1, found ';'";
        QTest::newRow("array without '[]'")
            << "x = {1};"
            << "1:5: error: expected a value, found '{' (an array needs '[]' after its name)";
        QTest::newRow("stray brace")
            << "};"
            << "1:1: error: expected a class, a value or an array, found '}' with no class open";
        QTest::newRow("class without a name")
            << "class {};"
            << "1:7: error: expected a class name after 'class', found '{'";
        QTest::newRow("class without a body")
            << "class A x=1;"
            << "1:9: error: expected '{' or ';' after 'class A', found 'x'";
        QTest::newRow("unknown directive")
            << "#pragma once"
            << "1:1: error: unknown preprocessor directive '#pragma': expected include, define, "
               "undef, ifdef, ifndef, if, else or endif";
        QTest::newRow("endif alone")
            << "#endif"
            << "1:1: error: #endif without a matching #ifdef, #ifndef or #if";
        QTest::newRow("ifdef without endif")
            << "#ifdef X\nx=1;"
            << "1:1: error: expected '#endif' to close this block, found the end of the file";
        QTest::newRow("wrong argument count") << "#define F(a,b) a\nx = F(1);"
                                              << "2:5: error: macro 'F' takes 2 arguments, found 1";
        QTest::newRow("unclosed arguments")
            << "#define F(a) a\nx = F(1;"
            << "2:4: error: empty value: expected a value, found ';'\n"
               "2:5: error: expected ')' to close the arguments of macro 'F', found the end of "
               "the file";
        QTest::newRow("unclosed eval")
            << "x = __EVAL(1 + 2;"
            << "1:11: error: expected ')' to close __EVAL(, found the end of the file";
        QTest::newRow("include without quotes")
            << "#include file.hpp"
            << "1:1: error: expected \"file\" or <file> after #include, found 'file.hpp'";
    }
    void diagnostics()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ReadResult r = readConfig(text);
        QCOMPARE(messages(r), expected);
        checkInvariants(text, r);
    }

    // Spans give back the exact source of each entry, on the right line and column.
    void spans_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        const QString file = QStringLiteral("// head\r\nclass A: B\r\n{\r\n\tx = 1;\r\n};\r\n\ty[] "
                                            "+= {1,\r\n 2};\r\n#define Q 1\r\n"
                                            "z = \"é\"\"\"; /* tail */");
        QTest::newRow("comment") << file << 0 << "// head" << 1 << 1;
        QTest::newRow("class") << file << 1 << "class A: B\r\n{\r\n\tx = 1;\r\n};" << 2 << 1;
        QTest::newRow("array over lines") << file << 2 << "y[] += {1,\r\n 2};" << 6 << 2;
        QTest::newRow("directive") << file << 3 << "#define Q 1" << 8 << 1;
        QTest::newRow("value") << file << 4 << "z = \"é\"\"\";" << 9 << 1;
        QTest::newRow("trailing comment") << file << 5 << "/* tail */" << 9 << 12;
        QTest::newRow("paragraph separators")
            << QStringLiteral("a=1;\u2029b=2;") << 1 << "b=2;" << 2 << 1;
        QTest::newRow("lone CR") << QStringLiteral("a=1;\rb=2;") << 1 << "b=2;" << 2 << 1;
    }
    void spans()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, raw);
        QFETCH(int, line);
        QFETCH(int, column);
        const ReadResult r = readConfig(text);
        QVERIFY(index < r.entries.size());
        const Entry &e = r.entries[index];
        QCOMPARE(r.raw(e.span).toString(), raw);
        QCOMPARE(e.span.start.line, line);
        QCOMPARE(e.span.start.column, column);
    }

    void classBodyAndValueSpans()
    {
        const QString text = QStringLiteral("class A {\n  x[] = {\"a\", 2};\n};");
        const ReadResult r = readConfig(text);
        const Entry &a = r.entries.front();
        QCOMPARE(r.raw(a.bodySpan).toString(), QStringLiteral("\n  x[] = {\"a\", 2};\n"));
        const Value &v = a.children.front().value;
        QCOMPARE(r.raw(v.span).toString(), QStringLiteral("{\"a\", 2}"));
        QCOMPARE(r.raw(v.elements[0].span).toString(), QStringLiteral("\"a\""));
        QCOMPARE(v.elements[1].span.start.line, 2);
        QCOMPARE(v.elements[1].span.start.column, 15);
    }

    // A caller that looks inside some top-level classes only gets the others without children,
    // and with everything else as a full read gives it: entries, spans and diagnostics.
    void keepBodyOf()
    {
        const QString text = QStringLiteral(
            "class Keep { a = 1; class Inner { b = 2; }; };\n// between\n"
            "class Drop { c = 3 d = 4; class Inner { e = 5; }; };\n"
            "class Params { class P { values[] = {1}; default = 2; }; };\nlast = 6;\n");
        ReadOptions options;
        options.keepBodyOf = [](QStringView name) { return name == u"Keep"; };
        const ReadResult full = readConfig(text);
        const ReadResult part = readConfig(text, options);
        QCOMPARE(messages(part), messages(full));
        QCOMPARE(part.entries.size(), full.entries.size());
        for (qsizetype i = 0; i < full.entries.size(); ++i) {
            const Entry &f = full.entries[i], &p = part.entries[i];
            QCOMPARE(p.kind, f.kind);
            QCOMPARE(p.name, f.name);
            QCOMPARE(p.span.start.offset, f.span.start.offset);
            QCOMPARE(p.span.end.line, f.span.end.line);
            QCOMPARE(p.bodySpan.end.offset, f.bodySpan.end.offset);
            QCOMPARE(p.children.size(), p.name == u"Keep" ? f.children.size() : 0);
        }
        QCOMPARE(part.entries[0].children[1].children.size(), 1); // Keep's Inner, whole
        checkInvariants(text, part);
    }

    // The status line: counts, then the first error (or warning) with its line.
    void summaryLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clean") << "x=1;"
                               << "No problems found";
        QTest::newRow("errors named before warnings")
            << "a=COOP;\nclass A {} b=1;\nc=1 d=2;"
            << "2 errors, 1 warning — line 2: expected ';' after '}' of class A, found 'b'";
        QTest::newRow("warning only")
            << "respwnDelay=1;"
            << "1 warning — line 1: unknown key 'respwnDelay': did you mean respawnDelay?";
    }
    void summaryLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ReadResult r = readConfig(text);
        QVERIFY2(summary(r.diagnostics) == expected, qPrintable(messages(r)));
    }

    // Includes go through the loader; what it cannot find is a warning, cycles an error.
    void includes()
    {
        QHash<QString, QString> files{{"a.hpp", "#include \"b.hpp\"\nx=1;"},
                                      {"b.hpp", "#define FROM_B 2\ny=2;"},
                                      {"loop.hpp", "#include \"loop.hpp\""},
                                      {"bad.hpp", "z = 1 w = 2;"}};
        ReadOptions options;
        options.fileName = "main.ext";
        options.includeLoader = [&](const QString &path, const QString &) {
            IncludedFile f;
            f.found = files.contains(path);
            f.name = path;
            f.text = files.value(path);
            return f;
        };
        const QString text = "#include \"a.hpp\"\nv = FROM_B;\n#include \"missing.hpp\"\n"
                             "#include \"loop.hpp\"\n#include \"bad.hpp\"";
        const ReadResult r = readConfig(text, options);
        QCOMPARE(
            dumpEntries(r.entries),
            QStringLiteral("#include(a.hpp){#include(b.hpp){#define(FROM_B 2) y=n:2} x=n:1} "
                           "v=n:2 #include(missing.hpp) #include(loop.hpp){#include(loop.hpp)} "
                           "#include(bad.hpp){invalid}"));
        QCOMPARE(r.diagnostics.size(), 3);
        QCOMPARE(r.diagnostics[0].severity, Severity::Warning);
        QCOMPARE(r.diagnostics[0].message, QStringLiteral("included file 'missing.hpp' not found"));
        QCOMPARE(r.diagnostics[1].file, QStringLiteral("loop.hpp"));
        QVERIFY(r.diagnostics[1].message.startsWith("#include cycle"));
        QCOMPARE(r.diagnostics[2].file, QStringLiteral("bad.hpp"));
        QCOMPARE(r.diagnostics[2].position.column, 7);
    }

    // Hostile inputs end, without blowing the stack, in a result with a diagnostic.
    void hostileInputs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("firstError"); // one of the errors; empty: none
        QTest::newRow("100,000 nested braces")
            << QString("class A ") + QString("{").repeated(100000)
            << "expected a class, a value or an array, found '{'";
        QTest::newRow("100,000 nested classes")
            << QString("class A {").repeated(100000)
            << "classes and arrays nested more than 256 levels deep; the block is skipped";
        QTest::newRow("100,000 nested arrays")
            << QString("a[]=") + QString("{").repeated(100000)
            << "classes and arrays nested more than 256 levels deep; the block is skipped";
        QTest::newRow("doubling macros")
            << "#define A0 x x\n#define A1 A0 A0\n#define A2 A1 A1\n#define A3 A2 A2\n"
               "#define A4 A3 A3\n#define A5 A4 A4\n#define A6 A5 A5\n#define A7 A6 A6\n"
               "#define A8 A7 A7\n#define A9 A8 A8\n#define B A9 A9 A9 A9 A9 A9 A9 A9\n"
               "#define C B B B B B B B B\n#define D C C C C C C C C\nv[]={D D D D D D D D};"
            << "macro expansion stopped at 'A1': the macros expand to far more text than the file "
               "holds";
        QTest::newRow("mutually recursive macros") << "#define A B\n#define B A\nx[]={A};"
                                                   << "";
        QTest::newRow("macro nested too deep") << [] {
            QString s;
            for (int i = 0; i < 100; ++i)
                s += QStringLiteral("#define M%1 M%2\n").arg(i).arg(i + 1);
            return s + "x[]={M0};";
        }() << "macros nested more than 64 expansions deep; 'M64' is left unexpanded";
        QTest::newRow("unterminated everything")
            << "class A { x = \"abc\n/* y"
            << "unterminated string: expected '\"' before the end of the line";
    }
    void hostileInputs()
    {
        QFETCH(QString, text);
        QFETCH(QString, firstError);
        const ReadResult r = readConfig(text);
        QStringList errors;
        for (const Diagnostic &d : r.diagnostics) {
            if (d.severity == Severity::Error)
                errors << d.message;
        }
        if (firstError.isEmpty())
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        else
            QVERIFY2(errors.contains(firstError), qPrintable(errors.join(u'\n')));
        checkInvariants(text, r);
    }

    // Reading work grows linearly with the input, also for the shapes that could make a naive
    // reader quadratic (which would show as about 256 times the steps for sixteen times the
    // input).
    void linearWork_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("unit"); // %1 becomes the unit's number
        QTest::addColumn<QString>("suffix");
        QTest::newRow("distinct top-level keys") << ""
                                                 << "respwnDelay%1 = %1;\n"
                                                 << "";
        QTest::newRow("one large class") << "class A {\n"
                                         << "v%1 = \"s\";\n"
                                         << "};";
        QTest::newRow("the same key again and again") << ""
                                                      << "x = 1;\n"
                                                      << "";
        QTest::newRow("macro invocations") << "#define M(a) {a, #a}\n"
                                           << "x%1[] = M(%1);\n"
                                           << "";
        QTest::newRow("comments inside one array") << "a[] = {"
                                                   << "/* c */ %1,"
                                                   << "};";
        QTest::newRow("comments between statements") << ""
                                                     << "// c\nx%1 = 1; /* d */\n"
                                                     << "";
        QTest::newRow("nesting past the limit") << "a[] = "
                                                << "{"
                                                << "";
        QTest::newRow("unterminated strings") << ""
                                              << "x%1 = \"abc\n"
                                              << "";
        QTest::newRow("switched off blocks") << ""
                                             << "#ifdef X%1\nx=1;\n"
                                             << "";
        QTest::newRow("errors everywhere") << ""
                                           << "x%1 = 1 y; } ]\n"
                                           << "";
    }
    void linearWork()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, unit);
        QFETCH(QString, suffix);
        auto text = [&](int n) {
            QString t = prefix;
            for (int i = 0; i < n; ++i)
                t += unit.contains(u"%1") ? unit.arg(i) : unit;
            return t + suffix;
        };
        // Counted work, not time: the count does not depend on how busy the machine is. Per
        // character of text (numbered units grow longer), sixteen times the units must take
        // at most a sixteenth more steps.
        constexpr int Small = 2000;
        const ReadResult small = readConfig(text(Small));
        const ReadResult large = readConfig(text(16 * Small));
        const qint64 smallSize = small.sourceText().size(), largeSize = large.sourceText().size();
        QVERIFY(small.steps() >= smallSize);
        QVERIFY2(16 * large.steps() * smallSize <= 17 * small.steps() * largeSize,
                 qPrintable(QStringLiteral("%1 steps for %2 characters, %3 steps for %4")
                                .arg(small.steps())
                                .arg(smallSize)
                                .arg(large.steps())
                                .arg(largeSize)));
    }

    // Random bytes and random edits of a valid file: the reader always ends with a result that
    // keeps its invariants. Seeded, so a failure can be replayed.
    void randomMutations()
    {
        const QString valid = QStringLiteral(
            "// header\r\nOnLoadMission=\"Hello \"\"you\"\"\";\r\nrespawn=3;\r\n"
            "#define VOL(x) db##x\r\n#ifdef VOL\r\nclass CfgSounds\r\n{\r\n"
            "sounds[]={};\r\nclass S: Base { name=\"s\"; sound[]={\"s.ogg\", VOL(+1), 1.0,}; "
            "titles[] += {0, \"t\"}; };\r\n};\r\n#else\r\nx=1;\r\n#endif\r\n/* end */\r\n"
            "v=__EVAL(1+2); __EXEC(a=1)\r\ndelete Old; class Fwd;\r\n");
        QVERIFY(!readConfig(valid).hasErrors());
        const QString alphabet = QStringLiteral("{}[]();,=:\"#/*\\\r\n \tx1+é");
        // Pieces that reach the preprocessor's and parser's less common paths.
        const QStringList pieces{"#define A(x) x##x\n",
                                 "#define B B B\n",
                                 "A(",
                                 "#ifdef A\n",
                                 "#else\n",
                                 "#endif\n",
                                 "__EVAL(",
                                 "__EXEC(",
                                 "class ",
                                 "delete ",
                                 "[] +=",
                                 "#if 1\n",
                                 "/*",
                                 "*/",
                                 "\"\"",
                                 "\\\n"};
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 3000; ++round) {
            QString text = valid;
            const int edits = 1 + int(rng.bounded(6));
            for (int e = 0; e < edits; ++e) {
                const qsizetype at = rng.bounded(int(text.size() + 1));
                switch (rng.bounded(5)) {
                case 0:
                    text.remove(at, 1 + rng.bounded(8));
                    break;
                case 1:
                    text.insert(at, alphabet[rng.bounded(int(alphabet.size()))]);
                    break;
                case 2:
                    text.insert(at, QChar(char16_t(rng.bounded(0x10000))));
                    break;
                case 3:
                    text.insert(at, pieces[rng.bounded(int(pieces.size()))]);
                    break;
                default:
                    text.insert(at, text.mid(rng.bounded(int(text.size())), rng.bounded(40)));
                    break;
                }
            }
            const ReadResult r = readConfig(text);
            checkInvariants(text, r);
            // Leaving out the class bodies changes nothing else: not the diagnostics, not the
            // top-level entries.
            ReadOptions topLevel;
            topLevel.keepBodyOf = [](QStringView) { return false; };
            const ReadResult t = readConfig(text, topLevel);
            QCOMPARE(messages(t), messages(r));
            QCOMPARE(t.entries.size(), r.entries.size());
            for (qsizetype i = 0; i < r.entries.size(); ++i) {
                QCOMPARE(t.entries[i].kind, r.entries[i].kind);
                QCOMPARE(t.entries[i].span.end.offset, r.entries[i].span.end.offset);
            }
            if (QTest::currentTestFailed()) {
                qWarning("%s", qPrintable(messages(r)));
                qWarning("round %d: %s", round, qPrintable(text));
                return;
            }
        }
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(int(rng.bounded(2000)), Qt::Uninitialized);
            for (char &b : bytes)
                b = char(rng.bounded(256));
            const QString text = QString::fromLatin1(bytes);
            checkInvariants(text, readConfig(text));
        }
    }
};

QTEST_GUILESS_MAIN(tst_configreader)
#include "tst_configreader.moc"
