#include "checkcommand.h"

#include "configreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace config {

namespace {

// Windows-1252 at 0x80 to 0x9F; the five bytes it leaves undefined keep their C1 code points,
// as browsers do, so that no byte is lost.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct FileText
{
    bool ok = false;
    QString text;
    QString problem;
};

FileText readFile(const QString &path)
{
    FileText result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.problem = QStringLiteral("no such file");
        return result;
    }
    if (info.isDir()) {
        result.problem = QStringLiteral("is a folder, not a file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.problem = file.errorString();
        return result;
    }
    result.ok = true;
    result.text = decodeDescriptionBytes(bytes);
    return result;
}

// #include paths are written with backslashes, as the game's own paths are.
QString resolveInclude(const QString &path, const QString &fromFile)
{
    QString relative = path;
    relative.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(relative))
        return QDir::cleanPath(relative);
    return QDir::cleanPath(QFileInfo(fromFile).dir().filePath(relative));
}

} // namespace

QString decodeDescriptionBytes(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    // A byte order mark before bytes that are not UTF-8 after all is still no text.
    text.resize(view.size());
    QChar *out = text.data();
    for (qsizetype i = 0; i < view.size(); ++i) {
        const auto b = static_cast<unsigned char>(view[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

int runCheck(const QStringList &paths, QTextStream &out)
{
    bool unreadable = false;
    bool errors = false;
    for (const QString &path : paths) {
        const FileText file = readFile(path);
        if (!file.ok) {
            out << path << ": error: cannot read the file: " << file.problem << '\n';
            unreadable = true;
            continue;
        }
        ReadOptions options;
        options.fileName = QDir::cleanPath(path);
        options.includeLoader = [](const QString &include, const QString &fromFile) {
            IncludedFile result;
            const QString resolved = resolveInclude(include, fromFile);
            const FileText text = readFile(resolved);
            if (text.ok) {
                result.found = true;
                result.name = resolved;
                result.text = text.text;
            }
            return result;
        };
        const ReadResult read = readConfig(file.text, options);
        for (const Diagnostic &d : read.diagnostics) {
            out << (d.file.isEmpty() ? path : d.file) << ':' << d.position.line << ':'
                << d.position.column << ": "
                << (d.severity == Severity::Error ? "error" : "warning") << ": " << d.message
                << '\n';
        }
        errors = errors || read.hasErrors();
    }
    out.flush();
    return unreadable ? 2 : errors ? 1 : 0;
}

} // namespace config
