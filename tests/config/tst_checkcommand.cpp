// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checkcommand.h"
#include "configreader.h"
#include "testseed.h"
#include "textcodec.h"
#include "textlines.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

using namespace config;

Q_DECLARE_METATYPE(config::CheckLimits)
Q_DECLARE_METATYPE(config::CheckFormat)

namespace {

struct CheckRun
{
    int exitCode;
    // The diagnostics' first lines, "FILE:LINE:COLUMN: severity: message [name]", as editors
    // and CI systems read them: the source lines, carets and include stacks left out.
    QString output;
    // Everything printed.
    QString full;
};

CheckRun check(const QStringList &paths, const CheckLimits &limits = {}, bool pedantic = false,
               const CheckOutput &options = {})
{
    QString full;
    QTextStream out(&full);
    const int exitCode = runCheck(paths, out, limits, pedantic, options);
    QString output;
    for (const QString &line : full.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(u' ') && !line.startsWith(u"In file included from "))
            output += line + u'\n';
    }
    return {exitCode, output, full};
}

// Makes one file of a mission folder from its description: "<folder>", "<fifo>",
// "<device>", "<link:TARGET>", "<bytes:N>" (a sparse file of N bytes) or the file's text.
// False when the machine does not allow it (a device node needs privileges).
bool makeFile(const QString &path, const QString &what)
{
    QDir().mkpath(QFileInfo(path).path());
    if (what == u"<folder>")
        return QDir().mkpath(path);
#ifdef Q_OS_WIN
    // Windows makes neither in a folder.
    if (what == u"<fifo>" || what == u"<device>")
        return false;
#else
    const QByteArray native = QFile::encodeName(path);
    if (what == u"<fifo>")
        return ::mkfifo(native.constData(), 0600) == 0;
    if (what == u"<device>") // the same device as /dev/null
        return ::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
#endif
    if (what.startsWith(u"<link:"))
        return QFile::link(what.mid(6).chopped(1), path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (what.startsWith(u"<bytes:"))
        return f.resize(what.mid(7).chopped(1).toLongLong());
    return f.write(what.toUtf8()) == what.toUtf8().size();
}

QString expectedOutput()
{
    QFile file(QStringLiteral("check.expected"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(check.expected missing)");
    return QString::fromUtf8(file.readAll());
}

} // namespace

class tst_checkcommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config")))); }

    // The data set: the valid files print nothing, the mistakes print exactly the expected
    // lines, with include paths relative to the including file. The same comparison runs
    // against the built program's --check in check_cli.
    void dataSet()
    {
        const CheckRun run = check({"valid.ext", "utf8bom.ext", "cp1252.ext", "mistakes.ext"});
        QCOMPARE(run.full, expectedOutput());
        QCOMPARE(run.exitCode, 1);
    }

    // The forms for CI systems: every diagnostic with its file, place and end, severity, name,
    // message and the #include lines that led to it, and a file that cannot be read.
    void formats_data()
    {
        QTest::addColumn<CheckFormat>("format");
        QTest::addColumn<QString>("output");
        QTest::newRow("github")
            << CheckFormat::GitHub
            << "::error file=included/texts.hpp,line=2,col=36,endColumn=44,"
               "title=missing-semicolon::expected ';' after the value, found 'briefing'%0AIn "
               "file included from included/settings.hpp:2%0AIn file included from "
               "included.ext:3\n"
               "::error file=nowhere.ext,title=cannot-read::cannot read the file: no such file\n";
        QTest::newRow("json")
            << CheckFormat::Json
            << "{\"diagnostics\": [\n"
               "{\"column\":36,\"end\":{\"column\":44,\"line\":2},\"file\":\"included/"
               "texts.hpp\",\"includedFrom\":[{\"column\":1,\"file\":\"included/"
               "settings.hpp\",\"line\":2},{\"column\":1,\"file\":\"included.ext\",\"line\":3}],"
               "\"line\":2,\"message\":\"expected ';' after the value, found 'briefing'\","
               "\"name\":\"missing-semicolon\",\"severity\":\"error\"},\n"
               "{\"file\":\"nowhere.ext\",\"message\":\"cannot read the file: no such file\","
               "\"name\":\"cannot-read\",\"severity\":\"error\"}\n"
               "],\n\"notShown\": 0}\n";
    }
    void formats()
    {
        QFETCH(CheckFormat, format);
        QFETCH(QString, output);
        CheckOutput options;
        options.format = format;
        const CheckRun run = check({"included.ext", "nowhere.ext"}, {}, false, options);
        QCOMPARE(run.full, output);
        QCOMPARE(run.exitCode, 2);
    }

    // GitHub's workflow commands end at a line break and split properties at ':' and ',':
    // those are escaped, '%' first.
    void githubEscapes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
#ifdef Q_OS_WIN
        // No ':' in a Windows file name; the drive's has one.
        const QString file = dir.path() + u"/a,b%.ext"_qs;
#else
        const QString file = dir.path() + u"/a,b:c%.ext"_qs;
#endif
        QVERIFY(makeFile(file, u"class A { x = 1 };"_qs));
        CheckOutput options;
        options.format = CheckFormat::GitHub;
        const CheckRun run = check({file}, {}, false, options);
        const QString escapedName = QString(file)
                                        .replace(u'%', u"%25"_qs)
                                        .replace(u',', u"%2C"_qs)
                                        .replace(u':', u"%3A"_qs);
        QVERIFY(escapedName.contains(u"a%2Cb"_qs) && escapedName.contains(u"%25.ext"_qs));
        QCOMPARE(run.full, u"::warning file="_qs + escapedName +
                               u",line=1,col=17,endColumn=18,title=missing-semicolon::expected "
                               u"';' after the value, found '}' (the game logs \"'/A.x': Missing "
                               u"';' prior '}'\")\n"_qs);
        QCOMPARE(run.exitCode, 0);
    }

    // SARIF 2.1.0 as code scanning reads it: one run, its rules, a result per diagnostic with
    // its region, the include chain as related locations.
    void sarif()
    {
        CheckOutput options;
        options.format = CheckFormat::Sarif;
        const CheckRun run = check({"included.ext", "mistakes.ext"}, {}, false, options);
        QCOMPARE(run.exitCode, 1);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.full.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject root = doc.object();
        QCOMPARE(root["version"].toString(), u"2.1.0"_qs);
        QCOMPARE(root["runs"].toArray().size(), 1);
        const QJsonObject runObject = root["runs"].toArray().first().toObject();
        QCOMPARE(runObject["tool"]["driver"]["name"].toString(), u"merrow-editor"_qs);
        QSet<QString> rules;
        for (const QJsonValue &rule : runObject["tool"]["driver"]["rules"].toArray())
            rules.insert(rule["id"].toString());
        const QJsonArray results = runObject["results"].toArray();
        QCOMPARE(results.size(), check({"included.ext", "mistakes.ext"}).output.count(u'\n'));
        for (const QJsonValue &result : results) {
            QVERIFY(rules.contains(result["ruleId"].toString()));
            const QJsonObject region =
                result["locations"][0]["physicalLocation"]["region"].toObject();
            QVERIFY(region["startLine"].toInt() >= 1);
            QVERIFY(region["endLine"].toInt() >= region["startLine"].toInt());
        }
        const QJsonObject first = results.first().toObject();
        QCOMPARE(first["ruleId"].toString(), u"missing-semicolon"_qs);
        QCOMPARE(first["level"].toString(), u"error"_qs);
        QCOMPARE(first["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].toString(),
                 u"included/texts.hpp"_qs);
        QCOMPARE(first["locations"][0]["physicalLocation"]["region"]["endColumn"].toInt(), 44);
        QCOMPARE(first["relatedLocations"].toArray().size(), 2);
        QCOMPARE(runObject["invocations"][0]["exitCode"].toInt(), 1);
    }

    // A file of 100,000 different errors prints the first ones and says how many more there
    // are, in every format; the exit code stays. 0 prints all.
    void maxDiagnostics_data()
    {
        QTest::addColumn<CheckFormat>("format");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("last");
        const QString more = "100 more errors and warnings were not shown (--max-diagnostics=%1; "
                             "0 shows all)";
        QTest::newRow("default")
            << CheckFormat::Gcc << -1 << 100
            << "note: " + QString(more).replace(u"100"_qs, u"%2"_qs).arg(100).arg(99900);
        QTest::newRow("ten") << CheckFormat::Gcc << 10 << 10
                             << "note: " +
                                    QString(more).replace(u"100"_qs, u"%2"_qs).arg(10).arg(99990);
        QTest::newRow("all") << CheckFormat::Gcc << 0 << 100000 << "";
        QTest::newRow("github") << CheckFormat::GitHub << 3 << 3
                                << "::notice title=merrow-editor::" +
                                       QString(more).replace(u"100"_qs, u"%2"_qs).arg(3).arg(99997);
        QTest::newRow("json") << CheckFormat::Json << 3 << 3 << "\"notShown\": 99997}";
    }
    void maxDiagnostics()
    {
        QFETCH(CheckFormat, format);
        QFETCH(int, limit);
        QFETCH(int, shown);
        QFETCH(QString, last);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString text;
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("k%1 %1;\n").arg(i);
        QVERIFY(makeFile(dir.path() + u"/a.ext"_qs, text));
        CheckOutput options;
        options.format = format;
        if (limit >= 0)
            options.maxDiagnostics = limit;
        const CheckRun run = check({dir.path() + u"/a.ext"_qs}, {}, false, options);
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.full.split(u'\n', Qt::SkipEmptyParts);
        const qsizetype printed = format == CheckFormat::Gcc
                                      ? run.full.count(u": error: expected '='"_qs)
                                      : run.full.count(u"expected '='"_qs);
        QCOMPARE(printed, qsizetype(shown));
        if (last.isEmpty())
            QVERIFY(!run.full.contains(u"not shown"_qs));
        else
            QCOMPARE(lines.last(), last);
        if (format == CheckFormat::Json) {
            QJsonParseError error;
            const QJsonObject root = QJsonDocument::fromJson(run.full.toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
            QCOMPARE(root["diagnostics"].toArray().size(), shown);
            QCOMPARE(root["notShown"].toInt(), 100000 - shown);
        }
    }

    // The limit counts over all files, and a note goes with the diagnostic it explains.
    void maxDiagnosticsOverFiles()
    {
        CheckOutput options;
        options.maxDiagnostics = 1;
        const CheckRun run = check({"mistakes.ext", "included.ext"}, {}, false, options);
        QCOMPARE(run.output.count(u": error: "_qs) + run.output.count(u": warning: "_qs), 1);
        QVERIFY(run.output.endsWith(u"were not shown (--max-diagnostics=1; 0 shows all)\n"_qs));
        QCOMPARE(run.exitCode, 1);
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("no problems") << QStringList{"valid.ext"} << 0 << "";
        QTest::newRow("errors") << QStringList{"mistakes.ext"} << 1
                                << "mistakes.ext:2:1: warning: unknown key 'respwnDelay': did you "
                                   "mean respawnDelay? [unknown-key]";
        QTest::newRow("missing file") << QStringList{"valid.ext", "nowhere.ext"} << 2
                                      << "nowhere.ext: error: cannot read the file: no such file";
        QTest::newRow("folder without a description")
            << QStringList{"inc"} << 2
            << "inc: error: cannot read the file: is a folder without a description.ext";
        QTest::newRow("unreadable wins over errors")
            << QStringList{"mistakes.ext", "nowhere.ext"} << 2
            << "mistakes.ext:2:1: warning: unknown key 'respwnDelay': did you mean respawnDelay? "
               "[unknown-key]";
    }
    void exitCodes()
    {
        QFETCH(QStringList, paths);
        QFETCH(int, exitCode);
        QFETCH(QString, firstLine);
        const CheckRun run = check(paths);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.output.section(u'\n', 0, 0), firstLine);
    }

    // UTF-8 when the bytes are valid UTF-8 (without the byte order mark), otherwise
    // Windows-1252 byte by byte.
    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("x=1;") << "x=1;";
        QTest::newRow("utf-8") << QByteArray("\"caf\xc3\xa9\"") << QString::fromUtf8("\"café\"");
        QTest::newRow("bom dropped") << QByteArray("\xef\xbb\xbfx") << "x";
        QTest::newRow("windows-1252")
            << QByteArray("caf\xe9 \x80\x96\x9f") << QString::fromUtf8("café €–Ÿ");
        QTest::newRow("undefined bytes kept")
            << QByteArray("\x81\x8d\x8f\x90\x9d")
            << QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("bom before bytes that are not utf-8")
            << QByteArray("\xef\xbb\xbf\xe9") << QString::fromUtf8("é");
        QTest::newRow("truncated utf-8 is 1252") << QByteArray("a\xc3") << QString::fromUtf8("aÃ");
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeText(bytes).text, text);
    }

    // A file is decoded as it is read, a block of 1 MiB at a time; what it reads must be what
    // decoding the whole file at once gives, also where a character or the file's end cuts a
    // block. The source line printed under the error shows the decoded comment.
    void decodingFromFile_data()
    {
        QTest::addColumn<qsizetype>("at"); // where the comment starts in the file (0: early)
        QTest::addColumn<QByteArray>("comment");
        QTest::newRow("small") << qsizetype(0) << QByteArray("caf\xc3\xa9");
        for (const qsizetype cut : {1, 2, 3}) {
            QTest::addRow("euro cut after byte %lld", qlonglong(cut))
                << (qsizetype(1) << 20) - cut << QByteArray("\xe2\x82\xac.");
        }
        QTest::newRow("file ends inside a character")
            << (qsizetype(1) << 20) - 2 << QByteArray("\xc3\xa9\xc3");
        QTest::newRow("not utf-8 past the first block")
            << (qsizetype(1) << 20) + 5 << QByteArray("caf\xe9");
        QTest::newRow("byte order mark") << qsizetype(-1) << QByteArray("\xe2\x82\xac");
    }
    void decodingFromFile()
    {
        QFETCH(qsizetype, at);
        QFETCH(QByteArray, comment);
        const QByteArray line = "x = 1 y = 2; // ";
        QByteArray bytes = at < 0 ? QByteArray("\xef\xbb\xbf") : QByteArray();
        while (bytes.size() + 80 + line.size() < at) // filler lines, then the line itself
            bytes += "// " + QByteArray(76, 'a') + '\n';
        bytes +=
            "//" + QByteArray(qMax<qsizetype>(0, at - bytes.size() - line.size() - 3), 'b') + '\n';
        bytes += line;
        if (at > 0)
            QCOMPARE(bytes.size(), at);
        bytes += comment;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"d.ext"_qs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const QString whole = decodeText(bytes).text;
        const QString lastLine = whole.mid(whole.lastIndexOf(u'\n') + 1);
        QVERIFY(lastLine.startsWith(QString::fromLatin1(line)));
        const CheckRun run = check({path});
        QVERIFY2(run.full.contains(u' ' + lastLine + u'\n'), qPrintable(run.full));
    }

    // Includes are read as the game finds them, inside the mission folder only and only from
    // regular files; nothing outside the folder is ever echoed. %1 in the files' names and the
    // expected output is the mission folder, %2 the folder around it.
    void includeLookup_data()
    {
        QTest::addColumn<QStringList>("files"); // "NAME=WHAT", see makeFile
        QTest::addColumn<QString>("main");
        QTest::addColumn<CheckLimits>("limits");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        const QString error = "%1/a.ext:1:1: error: included file ";
        const QString broken = "class A {";
        auto unclosed = [](const QString &file) {
            return file +
                   ":1:10: error: expected '}' to close class A (opened on line 1), found the "
                   "end of the file [unclosed-block]\n" +
                   file + ":1:1: note: class A opened here [unclosed-block]\n";
        };
        const CheckLimits defaults;
        QTest::newRow("name in another case")
            << QStringList{"%1/Sub/Common.hpp=" + broken} << "#include \"sub\\COMMON.hpp\""
            << defaults << unclosed("%1/Sub/Common.hpp") << 1;
#ifndef Q_OS_WIN // one folder cannot hold both names there
        QTest::newRow("exact name first")
            << QStringList{"%1/x.hpp=x=1;", "%1/X.hpp=" + broken} << "#include \"X.hpp\""
            << defaults << unclosed("%1/X.hpp") << 1;
#endif
        QTest::newRow("game and addon paths are not looked up")
            << QStringList{} << "#include \"\\a3\\ui_f\\hpp\\defineResincl.inc\"" << defaults
            << "%1/a.ext:1:1: warning: included file '\\a3\\ui_f\\hpp\\defineResincl.inc' is not "
               "read: a path starting with '\\' names a file of the game or an addon, which only "
               "the game has [include-addon]\n"
            << 0;
        QTest::newRow("missing")
            << QStringList{} << "#include \"gone.hpp\"" << defaults
            << "%1/a.ext:1:1: warning: included file 'gone.hpp' not found [include-not-found]\n"
            << 0;
        QTest::newRow("fifo") << QStringList{"%1/pipe=<fifo>"} << "#include \"pipe\"" << defaults
                              << error + "'pipe' is not a regular file [include-refused]\n"
                              << 1;
        QTest::newRow("device") << QStringList{"%1/null=<device>"} << "#include \"null\""
                                << defaults
                                << error + "'null' is not a regular file [include-refused]\n"
                                << 1;
        QTest::newRow("folder") << QStringList{"%1/sub=<folder>"} << "#include \"sub\"" << defaults
                                << error + "'sub' is a folder, not a file [include-refused]\n"
                                << 1;
        QTest::newRow("climbing out")
            << QStringList{"%2/secret.hpp=SECRET"} << "#include \"..\\secret.hpp\"" << defaults
            << error + "'..\\secret.hpp' is outside the mission folder; only files inside it "
                       "are read [include-refused]\n"
            << 1;
        QTest::newRow("climbing out and back in")
            << QStringList{"%1/x.hpp=" + broken} << "#include \"sub/../../mission/x.hpp\""
            << defaults
            << error + "'sub/../../mission/x.hpp' is outside the mission folder; only files "
                       "inside it are read [include-refused]\n"
            << 1;
        QTest::newRow("absolute") << QStringList{} << "#include \"/etc/passwd\"" << defaults
                                  << error + "'/etc/passwd' is outside the mission folder; only "
                                             "files inside it are read [include-refused]\n"
                                  << 1;
        QTest::newRow("drive letter") << QStringList{} << "#include \"C:\\secret.hpp\"" << defaults
                                      << error + "'C:\\secret.hpp' is outside the mission folder; "
                                                 "only files inside it are read [include-refused]\n"
                                      << 1;
#ifndef Q_OS_WIN // the toolkit makes shortcuts there, which are no links to the system
        QTest::newRow("link leading out")
            << QStringList{"%2/secret.hpp=SECRET", "%1/in.hpp=<link:%2/secret.hpp>"}
            << "#include \"in.hpp\"" << defaults
            << error + "'in.hpp' leads outside the mission folder; only files inside it are read "
                       "[include-refused]\n"
            << 1;
        QTest::newRow("link inside")
            << QStringList{"%1/x.hpp=" + broken, "%1/in.hpp=<link:%1/x.hpp>"}
            << "#include \"in.hpp\"" << defaults << unclosed("%1/in.hpp") << 1;
#endif
        QTest::newRow("include too large")
            << QStringList{"%1/big.hpp=<bytes:1001>"} << "#include \"big.hpp\""
            << CheckLimits{1000, 100000, 100}
            << error +
                   "'big.hpp' is too large: 1001 bytes, more than the 1000 bytes the check reads "
                   "[include-refused]\n"
            << 1;
        QTest::newRow("includes together too large")
            << QStringList{"%1/x.hpp=" + QString(600, u' ')}
            << "#include \"x.hpp\"\n#include \"x.hpp\"" << CheckLimits{1000, 1000, 100}
            << "%1/a.ext:2:1: error: included file 'x.hpp' is not read: the included files "
               "together would be more than the 1000 bytes the check reads [include-refused]\n"
            << 1;
        QTest::newRow("too many includes")
            << QStringList{"%1/x.hpp=x=1;"} << "#include \"x.hpp\"\n#include \"x.hpp\""
            << CheckLimits{1000, 1000, 1}
            << "%1/a.ext:2:1: error: included file 'x.hpp' is not read: the includes have "
               "reached their limit of files [include-refused]\n"
            << 1;
        QTest::newRow("checked file too large")
            << QStringList{"%1/a.ext=<bytes:1001>"} << "" << CheckLimits{1000, 1000, 1}
            << "%1/a.ext: error: cannot read the file: is too large: 1001 bytes, more than the "
               "1000 bytes the check reads\n"
            << 2;
        QTest::newRow("checked file over the default limit")
            << QStringList{"%1/a.ext=<bytes:52428801>"} << "" << defaults
            << "%1/a.ext: error: cannot read the file: is too large: 52428801 bytes, more than "
               "the 50 MiB (52428800 bytes) the check reads\n"
            << 2;
        QTest::newRow("checked fifo")
            << QStringList{"%1/a.ext=<fifo>"} << "" << defaults
            << "%1/a.ext: error: cannot read the file: is not a regular file\n"
            << 2;
    }
    void includeLookup()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, main);
        QFETCH(CheckLimits, limits);
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString mission = dir.filePath("mission");
        QVERIFY(QDir().mkpath(mission));
        auto place = [&](QString s) { return s.replace("%1", mission).replace("%2", dir.path()); };
        for (const QString &f : files) {
            const QString name = place(f.section(u'=', 0, 0));
            if (!makeFile(name, place(f.section(u'=', 1))))
                QSKIP(qPrintable("cannot make " + f + " here"));
        }
        if (!QFileInfo::exists(mission + "/a.ext"))
            QVERIFY(makeFile(mission + "/a.ext", main));
        // Named from the folder around it, as a user in that folder would name it.
        QVERIFY(QDir::setCurrent(dir.path()));
        const CheckRun run = check({"mission/a.ext"}, limits);
        QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config"))));
        QCOMPARE(run.output, output.replace("%1", "mission"));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.full.contains("SECRET"));
    }

    // What --check prints cannot run away: identical messages after the fifth become one note,
    // and text from the file is cut and has its control characters escaped.
    void output_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("output");
        const QString twice = "a.ext:%1:1: warning: 'y' is set twice in the same class (first on "
                              "line 1); the game keeps only one [duplicate-name]\n";
        QTest::newRow("five alike")
            << QString("y=1;\n").repeated(6)
            << twice.arg(2) + twice.arg(3) + twice.arg(4) + twice.arg(5) + twice.arg(6);
        QTest::newRow("a million alike")
            << QString("y=1;\n").repeated(100000)
            << twice.arg(2) + twice.arg(3) + twice.arg(4) + twice.arg(5) + twice.arg(6) +
                   "a.ext:7:1: note: 99994 more like this [duplicate-name]\n";
        QTest::newRow("others between")
            << QString("y=1;\n").repeated(7) + "x=a b;\ny=1;\n"
            << twice.arg(2) + twice.arg(3) + twice.arg(4) + twice.arg(5) + twice.arg(6) +
                   "a.ext:7:1: note: 2 more like this [duplicate-name]\n"
                   "a.ext:8:3: warning: unquoted text with spaces: expected a string in quotes, "
                   "found 'a b' [unquoted-text]\n";
        QTest::newRow("long text cut")
            << "x=" + QString(1000000, u'z') + ";"
            << "a.ext:1:3: warning: unquoted text: expected a number or a string in quotes, "
               "found '" +
                   QString(40, u'z') + "…' [unquoted-text]\n";
        QTest::newRow("long name cut")
            << QString(100000, u'k') + "=1;\n" + QString(100000, u'k') + "=1;"
            << "a.ext:2:1: warning: '" + QString(40, u'k') +
                   "…' is set twice in the same class (first on line 1); the game keeps only "
                   "one [duplicate-name]\n";
        QTest::newRow("control characters escaped")
            << QString("x=a") + QChar(1) + "b" + QChar(0) + "c" + QChar(0x9d) + ";"
            << "a.ext:1:3: warning: unquoted text: expected a number or a string in quotes, "
               "found 'a\\x01b\\x00c\\x9d' [unquoted-text]\n";
    }
    void output()
    {
        QFETCH(QString, text);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(makeFile("a.ext", text));
        const CheckRun run = check({"a.ext"}, {}, true);
        QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config"))));
        QCOMPARE(run.output, output);
    }

    // Each diagnostic is followed by its source line and a caret under the column, with '~'
    // for the rest of what it names; a problem in an included file follows the #include lines
    // that led to it, innermost first. Files are "NAME=TEXT"; the checked one is a.ext.
    void presentation_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("output");
        const QString unquoted = ": warning: unquoted text with spaces: expected a string in "
                                 "quotes, found ";
        const QString twice = "a.ext:%1:1: warning: 'y' is set twice in the same class (first "
                              "on line 1); the game keeps only one [duplicate-name]\n"
                              "    %1 | y=1;\n"
                              "      | ^\n";
        QTest::newRow("caret and tildes")
            << QStringList{"a.ext=x=1;\nshowMap = 1 showCompass = 1;"}
            << "a.ext:2:13: error: expected ';' after the value, found 'showCompass' "
               "[missing-semicolon]\n"
               "    2 | showMap = 1 showCompass = 1;\n"
               "      |             ^~~~~~~~~~~\n";
        QTest::newRow("tabs kept, control characters escaped, wide characters")
            << QStringList{"a.ext=\t\x01\u6f22\u00e9\u0301 = a b;"}
            << "a.ext:1:9" + unquoted +
                   "'a b' [unquoted-text]\n"
                   "    1 | \t\\x01\u6f22\u00e9\u0301 = a b;\n"
                   "      | \t          ^~~\n";
        QTest::newRow("emoji: two characters, two columns")
            << QStringList{"a.ext=s=\"\U0001F600\"; t = a b;"}
            << "a.ext:1:13" + unquoted +
                   "'a b' [unquoted-text]\n"
                   "    1 | s=\"\U0001F600\"; t = a b;\n"
                   "      |             ^~~\n";
        QTest::newRow("at the end of the line")
            << QStringList{"a.ext=x=1\n"}
            << "a.ext:1:4: warning: expected ';' after the value, found the end of the file "
               "[missing-semicolon]\n"
               "    1 | x=1\n"
               "      |    ^\n";
        QTest::newRow("long line cut around the column")
            << QStringList{"a.ext=" + QString(200, u' ') + "x = a b;" + QString(200, u' ')}
            << "a.ext:1:205" + unquoted +
                   "'a b' [unquoted-text]\n"
                   "    1 | …" +
                   QString(36, u' ') + "x = a b;" + QString(76, u' ') + "…\n" + "      | " +
                   QString(41, u' ') + "^~~\n";
        QTest::newRow("long name cut where the line is")
            << QStringList{"a.ext=x = " + QString(300, u'z') + " q;"}
            << "a.ext:1:5" + unquoted + "'" + QString(40, u'z') + "…' [unquoted-text]\n" +
                   "    1 | x = " + QString(116, u'z') + "…\n" + "      |     ^" +
                   QString(115, u'~') + "\n";
        QTest::newRow("include stack")
            << QStringList{"a.ext=x=1;\n#include \"inc\\b.hpp\"", "inc/b.hpp=\n#include \"c.hpp\"",
                           "inc/c.hpp=class C\n{\n  v = a b;\n};"}
            << "In file included from inc/b.hpp:2:\n"
               "In file included from a.ext:2:\n"
               "inc/c.hpp:3:7" +
                   unquoted +
                   "'a b' [unquoted-text]\n"
                   "    3 |   v = a b;\n"
                   "      |       ^~~\n";
        QTest::newRow("a folded run prints its source line once per kept diagnostic")
            << QStringList{"a.ext=" + QString("y=1;\n").repeated(8)}
            << twice.arg(2) + twice.arg(3) + twice.arg(4) + twice.arg(5) + twice.arg(6) +
                   "a.ext:7:1: note: 2 more like this [duplicate-name]\n";
    }
    void presentation()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        for (const QString &f : files)
            QVERIFY(makeFile(f.section(u'=', 0, 0), f.section(u'=', 1)));
        const CheckRun run = check({"a.ext"}, {}, true);
        QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config"))));
        QCOMPARE(run.full, output);
    }

    // However long the line, its source line stays short: a 20 MB line prints as little as a
    // line of 200 characters.
    void longLineOutputBounded()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(makeFile("a.ext", "x[]={" + QString(20'000'000, u'1') + "} y=1;"));
        const CheckRun run = check({"a.ext"});
        QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config"))));
        QVERIFY2(run.full.size() < 600, qPrintable(run.full.left(1000)));
        QVERIFY2(run.full.contains("    1 | …" + QString(38, u'1') + "} y=1;\n"),
                 qPrintable(run.full));
    }

    // What the game reads without complaint is no warning; unquoted text is a style note that
    // only the pedantic check gives.
    void followTheGame_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pedantic");
        QTest::addColumn<QString>("output");
        const QString unquoted = "a.ext:1:7: warning: unquoted text: expected a number or a "
                                 "string in quotes, found 'Welcome' [unquoted-text]\n";
        QTest::newRow("unquoted word") << "title=Welcome;" << false << "";
        QTest::newRow("unquoted word, pedantic") << "title=Welcome;" << true << unquoted;
        QTest::newRow("expression") << "x = safezoneX + 0.1;" << false << "";
        QTest::newRow("stringtable reference") << "title=$STR_title;" << false << "";
        QTest::newRow("stringtable reference, pedantic") << "title=$STR_title;" << true << "";
        QTest::newRow("has_include of a file that is there")
            << "#if __has_include(\"a.ext\")\nx=1;\n#else\ny=1;\n#endif\nx=2;" << false
            << "a.ext:6:1: warning: 'x' is set twice in the same class (first on line 2); the "
               "game keeps only one [duplicate-name]\n";
        QTest::newRow("has_include of a missing addon")
            << "#if __has_include(\"\\z\\ace\\main.hpp\")\nx=1;\n#else\ny=1;\n#endif\nx=2;" << false
            << "";
        QTest::newRow("import") << "import RscText;\nclass A: RscText {};" << false << "";
    }
    void followTheGame()
    {
        QFETCH(QString, text);
        QFETCH(bool, pedantic);
        QFETCH(QString, output);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(makeFile("a.ext", text));
        const CheckRun run = check({"a.ext"}, {}, pedantic);
        QVERIFY(QDir::setCurrent(testDataPath(QStringLiteral("config"))));
        QCOMPARE(run.output, output);
        QCOMPARE(run.exitCode, 0);
    }

    // Without the tree the same diagnostics come out, and folding identical ones keeps the
    // first ones and counts every other one; over seeded random texts.
    void diagnosticsWithoutTree()
    {
        const QStringList pieces{"x=1;\n",     "x = a b;\n", "class A {\n",        "};\n",
                                 "}\n",        "y[]={1,2\n", "#define M(a) a a\n", "M(z)\n",
                                 "#ifdef M\n", "#endif\n",   "import B;\n",        "\"",
                                 "=;",         "{"};
        const quint32 seed = testSeed(20261207);
        QRandomGenerator rng(seed);
        auto key = [](const Diagnostic &d) {
            return QStringLiteral("%1:%2:%3:%4")
                .arg(d.position.line)
                .arg(d.position.column)
                .arg(int(d.severity))
                .arg(d.message);
        };
        for (int round = 0; round < 300; ++round) {
            QString text;
            for (int i = int(rng.bounded(200)); i > 0; --i)
                text += pieces[rng.bounded(int(pieces.size()))];
            ReadOptions lean;
            lean.keepEntries = false;
            const ReadResult full = readConfig(text);
            const ReadResult bare = readConfig(text, lean);
            QVERIFY(bare.entries.isEmpty());
            QStringList fullKeys, bareKeys;
            for (const Diagnostic &d : full.diagnostics)
                fullKeys << key(d);
            for (const Diagnostic &d : bare.diagnostics)
                bareKeys << key(d);
            QVERIFY2(
                fullKeys == bareKeys,
                qPrintable(QStringLiteral("seed %1 round %2: %3").arg(seed).arg(round).arg(text)));
            lean.keepAlike = 2;
            const ReadResult folded = readConfig(text, lean);
            QHash<QString, qsizetype> counts;
            for (const Diagnostic &d : full.diagnostics)
                ++counts[QString::number(int(d.severity)) + d.message];
            for (const Diagnostic &d : folded.diagnostics) {
                const QString k = QString::number(int(d.severity)) + d.message;
                counts[k] -= d.alike > 0 ? d.alike : 1;
            }
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                QVERIFY2(
                    it.value() == 0,
                    qPrintable(
                        QStringLiteral("seed %1 round %2: %3").arg(seed).arg(round).arg(it.key())));
        }
    }

    // Each kind of problem carries its stable name, which --check prints in brackets.
    void diagnosticNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("syntax") << "}"
                                << "syntax";
        QTest::newRow("missing semicolon") << "x=1\ny=2;"
                                           << "missing-semicolon";
        QTest::newRow("unclosed class") << "class A {"
                                        << "unclosed-block";
        QTest::newRow("unclosed #if") << "#ifdef A"
                                      << "unclosed-block";
        QTest::newRow("unterminated string") << "x=\"abc\n;"
                                             << "unterminated-string";
        QTest::newRow("unterminated comment") << "/* x"
                                              << "unterminated-comment";
        QTest::newRow("directive") << "#foo"
                                   << "directive";
        QTest::newRow("if condition") << "#if x\n#endif"
                                      << "if-condition";
        QTest::newRow("include not found") << "#include \"missing\""
                                           << "include-not-found";
        QTest::newRow("include refused") << "#include \"refused\""
                                         << "include-refused";
        QTest::newRow("include cycle") << "#include \"self\""
                                       << "include-cycle";
        QTest::newRow("include depth") << "#include \"deeper\""
                                       << "include-depth";
        QTest::newRow("macro arguments") << "#define M(a) a\nx=M(1,2);"
                                         << "macro-arguments";
        QTest::newRow("macro budget")
            << "#define A x x x x x x x x x x\n#define B A A A A A A A A A "
               "A\n#define C B B B B B B B B B B\n#define D C C C C C C "
               "C C C C\n#define E D D D D D D D D D D\n#define F E E E E E E "
               "E E E E\nx[]={F F};"
            << "macro-budget";
        QTest::newRow("macro depth") << [] {
            QString s;
            for (int i = 0; i < 100; ++i)
                s += QStringLiteral("#define M%1 M%2\n").arg(i).arg(i + 1);
            return s + "x[]={M0};";
        }() << "macro-depth";
        QTest::newRow("nesting depth") << "a[]=" + QString(300, u'{') << "nesting-depth";
        QTest::newRow("duplicate name") << "x=1;x=2;"
                                        << "duplicate-name";
        QTest::newRow("unknown key") << "respwnDelay=1;"
                                     << "unknown-key";
        QTest::newRow("empty value") << "x=;"
                                     << "empty-value";
        QTest::newRow("unquoted text") << "x=a;"
                                       << "unquoted-text";
    }
    void diagnosticNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        int depth = 0;
        ReadOptions options;
        options.fileName = "main.ext";
        options.includeLoader = [&](const QString &path, const QString &) {
            IncludedFile f;
            f.found = path != u"missing" && path != u"refused";
            f.problem = path == u"refused" ? u"is not a regular file"_qs : QString();
            f.name = path == u"self" ? u"main.ext"_qs : path + QString::number(++depth);
            f.text = u"#include \"deeper\""_qs;
            return f;
        };
        QStringList found;
        for (const Diagnostic &d : readConfig(text, options).diagnostics)
            found << diagnosticName(d.kind);
        QVERIFY2(found.contains(name), qPrintable(found.join(u' ')));
    }
    void diagnosticNamesDistinct()
    {
        QSet<QString> names;
        for (int k = 0; k <= int(DiagnosticKind::OutOfMemory); ++k)
            names.insert(diagnosticName(DiagnosticKind(k)));
        QCOMPARE(names.size(), int(DiagnosticKind::OutOfMemory) + 1);
        QVERIFY(!names.contains(QString()));
    }

    // An include that points back up the chain is reported once, not followed forever, and an
    // include written with backslashes is found.
    void includeCycle()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write("a.ext", "#include \"sub\\b.hpp\"\n");
        write("sub/b.hpp", "#include \"..\\a.ext\"\nx = 1 y;\n");
        const CheckRun run = check({dir.filePath("a.ext")}, {}, true);
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(dir.filePath("sub/b.hpp") + ":1:1: error: #include cycle"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(dir.filePath("sub/b.hpp") + ":2:5: warning: unquoted text"),
                 qPrintable(lines[1]));
    }
};

QTEST_GUILESS_MAIN(tst_checkcommand)
#include "tst_checkcommand.moc"
