#include "checkcommand.h"

#include "configreader.h"
#include "missionfiles.h"
#include "preprocessor.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace config {

namespace {

struct FileText
{
    bool ok = false;
    QString text;
    QString problem;
    qint64 bytes = 0;
    // The file's size when it was not read for being larger than the limit; -1 otherwise.
    qint64 tooLarge = -1;
};

// "50 MiB", "50.3 MiB", or for the small limits of tests "1000 bytes".
QString mebibytes(qint64 bytes)
{
    constexpr qint64 MiB = 1024 * 1024;
    if (bytes < MiB)
        return QStringLiteral("%1 bytes").arg(bytes);
    if (bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    return QStringLiteral("%1 MiB").arg(double(bytes) / double(MiB), 0, 'f', 1);
}

// Identical messages printed before the rest become "N more like this".
constexpr int MaxAlike = 5;

// Reads a regular file of at most `maxBytes`. What is not a regular file is refused before it
// is opened (a FIFO would block open() and read() forever, a device never ends); the open
// itself does not wait either, and the type and size are checked again on what was opened,
// in case the name was swapped in between.
FileText readFile(const QString &path, qint64 maxBytes)
{
    FileText result;
    const QByteArray native = QFile::encodeName(path);
    auto refuse = [&](const struct stat &st) {
        if (S_ISDIR(st.st_mode)) {
            result.problem = QStringLiteral("is a folder, not a file");
            return true;
        }
        if (!S_ISREG(st.st_mode)) {
            result.problem = QStringLiteral("is not a regular file");
            return true;
        }
        if (st.st_size > maxBytes) {
            result.tooLarge = st.st_size;
            result.problem = QStringLiteral("is too large (%1; at most %2)")
                                 .arg(mebibytes(st.st_size), mebibytes(maxBytes));
            return true;
        }
        return false;
    };
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        const int error = errno;
        result.problem = error == ENOENT ? QStringLiteral("no such file") : qt_error_string(error);
        return result;
    }
    if (refuse(st))
        return result;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.problem = qt_error_string(errno);
        return result;
    }
    const std::unique_ptr<const int, void (*)(const int *)> closer(
        &fd, [](const int *f) { ::close(*f); });
    QByteArray bytes;
    if (::fstat(fd, &st) != 0 || refuse(st)) {
        if (result.problem.isEmpty())
            result.problem = qt_error_string(errno);
        return result;
    }
    try {
        // One byte more than the limit tells a file that grew since fstat().
        bytes.resize(qsizetype(std::min<qint64>(st.st_size, maxBytes) + 1));
        qsizetype filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                if (filled > maxBytes)
                    break;
                bytes.resize(qsizetype(std::min<qint64>(2 * filled, maxBytes + 1)));
            }
            const ssize_t n = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result.problem = qt_error_string(errno);
                return result;
            }
            if (n == 0)
                break;
            filled += n;
        }
        if (filled > maxBytes) {
            result.tooLarge = filled;
            result.problem = QStringLiteral("is too large (more than %1)").arg(mebibytes(maxBytes));
            return result;
        }
        bytes.truncate(filled);
        result.bytes = filled;
        result.text = decodeDescriptionBytes(bytes);
    } catch (const std::bad_alloc &) {
        result.problem = QStringLiteral("not enough memory to read it");
        return result;
    }
    result.ok = true;
    return result;
}

// The folder of one checked file, where its includes are looked for, and what they may still
// take of the budgets.
struct MissionFolder
{
    QString path;      // as the checked file's name gives it, so that names print alike
    QString canonical; // with links resolved, to tell a link that points out of the folder
    qint64 bytesLeft = 0;
    int filesLeft = 0;
    qint64 fileBytes = 0;
    qint64 totalBytes = 0;

    bool contains(const QString &file) const
    {
        const QString real = QFileInfo(file).canonicalFilePath();
        return !real.isEmpty() && !canonical.isEmpty() &&
               (canonical == u"/" ? real.startsWith(u'/') : real.startsWith(canonical + u'/'));
    }
};

// The name in `folder` that matches `name` without regard to case: the exact name first, as
// the game's file system would answer it.
QString entryInFolder(const QString &folder, const QString &name)
{
    const QString exact = folder + u'/' + name;
    struct stat st;
    if (::lstat(QFile::encodeName(exact).constData(), &st) == 0)
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    }
    return {};
}

// Finds an #include as the game does: relative to the including file, inside the mission
// folder only, without regard to case. #include paths are written with backslashes, as the
// game's own paths are.
IncludedFile loadInclude(MissionFolder &folder, const QString &path, const QString &fromFile)
{
    IncludedFile result;
    QString relative = path;
    relative.replace(u'\\', u'/');
    const bool absolute = relative.startsWith(u'/') ||
                          (relative.size() >= 2 && relative[1] == u':' && relative[0].isLetter());
    // Both made absolute: relativeFilePath() hands a relative name back unchanged.
    const QString fromFolder = QDir(QFileInfo(folder.path).absoluteFilePath())
                                   .relativeFilePath(QFileInfo(fromFile).absolutePath());
    const QString inFolder = QDir::cleanPath(
        fromFolder.isEmpty() || fromFolder == u"." ? relative : fromFolder + u'/' + relative);
    if (absolute || inFolder == u".." || inFolder.startsWith(u"../")) {
        result.problem = QStringLiteral("is outside the mission folder; only files inside it are "
                                        "read");
        return result;
    }
    QString found = folder.path;
    for (const QString &part : inFolder.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        found = entryInFolder(found, part);
        if (found.isEmpty())
            return result; // not found: a warning
    }
    found = QDir::cleanPath(found);
    if (!folder.contains(found)) {
        if (QFileInfo(found).canonicalFilePath().isEmpty())
            return result; // a link to nothing
        result.problem = QStringLiteral("leads outside the mission folder; only files inside it "
                                        "are read");
        return result;
    }
    if (folder.filesLeft <= 0) {
        result.problem = QStringLiteral("is not read: the includes have reached their limit of "
                                        "files");
        return result;
    }
    const FileText text = readFile(found, std::min(folder.fileBytes, folder.bytesLeft));
    if (!text.ok) {
        result.problem = text.problem;
        if (text.tooLarge >= 0 && text.tooLarge <= folder.fileBytes) {
            result.problem = QStringLiteral("is not read: the included files together would be "
                                            "larger than %1")
                                 .arg(mebibytes(folder.totalBytes));
        }
        return result;
    }
    --folder.filesLeft;
    folder.bytesLeft -= text.bytes;
    result.found = true;
    result.name = found;
    result.text = text.text;
    return result;
}

// Prints one file's diagnostics, each with its kind's name in brackets at the end; one that
// stands for identical ones past the fifth is a note saying how many there are, so a file with
// a million duplicate keys prints six lines.
void printDiagnostics(const QString &path, const QList<Diagnostic> &diagnostics, QTextStream &out)
{
    const QString checkedName = detail::escapeControls(path);
    for (const Diagnostic &d : diagnostics) {
        out << (d.file.isEmpty() ? checkedName : detail::escapeControls(d.file)) << ':'
            << d.position.line << ':' << d.position.column << ": ";
        if (d.alike > 0)
            out << "note: " << d.alike << " more like this";
        else
            out << (d.severity == Severity::Error     ? "error"
                    : d.severity == Severity::Warning ? "warning"
                                                      : "note")
                << ": " << detail::escapeControls(d.message);
        out << " [" << diagnosticName(d.kind) << "]\n";
    }
}

} // namespace

QString decodeDescriptionBytes(const QByteArray &bytes)
{
    return decodeText(bytes).text;
}

int runCheck(const QStringList &paths, QTextStream &out, const CheckLimits &limits, bool pedantic)
{
    bool unreadable = false;
    bool errors = false;
    for (const QString &path : paths) {
        try {
            const FileText file = readFile(path, limits.fileBytes);
            if (!file.ok) {
                out << detail::escapeControls(path)
                    << ": error: cannot read the file: " << file.problem << '\n';
                unreadable = true;
                continue;
            }
            MissionFolder folder;
            folder.path = QFileInfo(path).path();
            folder.canonical = QFileInfo(folder.path).canonicalFilePath();
            folder.bytesLeft = folder.totalBytes = limits.includedBytes;
            folder.filesLeft = limits.includedFiles;
            folder.fileBytes = limits.fileBytes;
            ReadOptions options;
            options.fileName = QDir::cleanPath(path);
            options.styleNotes = pedantic;
            options.keepEntries = false;
            options.keepAlike = MaxAlike;
            options.fileExists = missionFileLookup(folder.path);
            options.includeLoader = [&folder](const QString &include, const QString &fromFile) {
                return loadInclude(folder, include, fromFile);
            };
            const ReadResult read = readConfig(file.text, options);
            printDiagnostics(path, read.diagnostics, out);
            errors = errors || read.hasErrors();
        } catch (const std::bad_alloc &) {
            out << detail::escapeControls(path)
                << ": error: cannot read the file: not enough memory to check it\n";
            unreadable = true;
        }
    }
    out.flush();
    return unreadable ? 2 : errors ? 1 : 0;
}

} // namespace config
