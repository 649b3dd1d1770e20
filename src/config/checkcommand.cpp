#include "checkcommand.h"

#include "configreader.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace config {

namespace {

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
    return decodeText(bytes).text;
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
