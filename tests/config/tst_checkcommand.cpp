#include "checkcommand.h"
#include "textlines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace config;

namespace {

struct CheckRun
{
    int exitCode;
    QString output;
};

CheckRun check(const QStringList &paths)
{
    QString output;
    QTextStream out(&output);
    const int exitCode = runCheck(paths, out);
    return {exitCode, output};
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
        QCOMPARE(run.output, expectedOutput());
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
                                   "mean respawnDelay?";
        QTest::newRow("missing file") << QStringList{"valid.ext", "nowhere.ext"} << 2
                                      << "nowhere.ext: error: cannot read the file: no such file";
        QTest::newRow("folder") << QStringList{"inc"} << 2
                                << "inc: error: cannot read the file: is a folder, not a file";
        QTest::newRow("unreadable wins over errors")
            << QStringList{"mistakes.ext", "nowhere.ext"} << 2
            << "mistakes.ext:2:1: warning: unknown key 'respwnDelay': did you mean respawnDelay?";
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
        QCOMPARE(decodeDescriptionBytes(bytes), text);
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
        const CheckRun run = check({dir.filePath("a.ext")});
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
