// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checkcommand.h"

#include "configreader.h"
#include "lexer.h"
#include "missionfiles.h"
#include "nativefile.h"
#include "preprocessor.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

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

// Whether `tail`, the last bytes of a text, end inside a UTF-8 sequence.
bool endsInsideSequence(QByteArrayView tail)
{
    qsizetype continuation = 0;
    for (qsizetype i = tail.size() - 1; i >= 0; --i) {
        const auto byte = static_cast<unsigned char>(tail[i]);
        if ((byte & 0xC0) == 0x80) {
            ++continuation;
            continue;
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return continuation + 1 < length;
    }
    return false;
}

// Reads the rest of `fd` as UTF-8, a block at a time, into `text` (an initial byte order mark
// is dropped, as decodeText() drops it). Nearly every description file is UTF-8, and decoding
// it as it is read means its bytes and its text are never both held whole: for a large file
// that is a third less peak memory. False for anything else (bytes that are not UTF-8, a read
// error, a file past `maxBytes`), which the caller then reads whole.
bool readUtf8InBlocks(int fd, qint64 size, qint64 maxBytes, QString &text, qint64 &total)
{
    constexpr qsizetype BlockSize = qsizetype(1) << 20;
    QStringDecoder utf8(QStringDecoder::Utf8);
    text.reserve(qsizetype(std::min(size, maxBytes)) + 4);
    QByteArray block(BlockSize, Qt::Uninitialized);
    QByteArray tail; // the last bytes read, to tell a sequence the file cuts off
    total = 0;
    for (;;) {
        int error = 0;
        const qint64 n = NativeFile::read(fd, block.data(), block.size(), &error);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        total += n;
        if (total > maxBytes)
            return false;
        const QByteArrayView in(block.constData(), qsizetype(n));
        const qsizetype used = text.size();
        text.resize(used + utf8.requiredSpace(in.size()));
        const QChar *end = utf8.appendToBuffer(text.data() + used, in);
        text.resize(end - text.constData());
        if (utf8.hasError())
            return false;
        tail = (tail + in.last(std::min<qsizetype>(4, in.size())).toByteArray()).right(4);
    }
    return !endsInsideSequence(tail);
}

// Reads a regular file of at most `maxBytes`. What is not a regular file is refused before it
// is opened (a FIFO would block open() and read() forever, a device never ends); the open
// itself does not wait either, and the type and size are checked again on what was opened,
// in case the name was swapped in between.
FileText readFile(const QString &path, qint64 maxBytes)
{
    FileText result;
    auto refuse = [&](const NativeFile::Status &st) {
        if (st.isFolder) {
            result.problem = QStringLiteral("is a folder, not a file");
            return true;
        }
        if (!st.isRegular) {
            result.problem = QStringLiteral("is not a regular file");
            return true;
        }
        if (st.size > maxBytes) {
            result.tooLarge = st.size;
            result.problem = QStringLiteral("is too large (%1; at most %2)")
                                 .arg(mebibytes(st.size), mebibytes(maxBytes));
            return true;
        }
        return false;
    };
    NativeFile::Status st;
    int error = 0;
    if (!NativeFile::status(path, &st, &error)) {
        result.problem = error == ENOENT ? QStringLiteral("no such file") : qt_error_string(error);
        return result;
    }
    if (refuse(st))
        return result;
    const int fd = NativeFile::openForReading(path, &error);
    if (fd < 0) {
        result.problem = qt_error_string(error);
        return result;
    }
    const std::unique_ptr<const int, void (*)(const int *)> closer(
        &fd, [](const int *f) { NativeFile::close(*f); });
    QByteArray bytes;
    if (!NativeFile::status(fd, &st, &error) || refuse(st)) {
        if (result.problem.isEmpty())
            result.problem = qt_error_string(error);
        return result;
    }
    try {
        if (readUtf8InBlocks(fd, st.size, maxBytes, result.text, result.bytes)) {
            result.ok = true;
            return result;
        }
        // Anything else is read whole and decoded as the editor decodes it.
        result.text = QString();
        result.bytes = 0;
        if (!NativeFile::rewind(fd, &error)) {
            result.problem = qt_error_string(error);
            return result;
        }
        // One byte more than the limit tells a file that grew since fstat().
        bytes.resize(qsizetype(std::min<qint64>(st.size, maxBytes) + 1));
        qsizetype filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                if (filled > maxBytes)
                    break;
                bytes.resize(qsizetype(std::min<qint64>(2 * filled, maxBytes + 1)));
            }
            const qint64 n =
                NativeFile::read(fd, bytes.data() + filled, bytes.size() - filled, &error);
            if (n < 0) {
                result.problem = qt_error_string(error);
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
#ifndef Q_OS_WIN
    // On Windows the exact name answers for any case; the listing gives the name as it is.
    if (NativeFile::entryExists(exact))
        return exact;
#endif
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

// How many columns a character of a source line takes in a terminal: none for a combining
// mark, two for the wide characters of East Asian scripts and emoji, one otherwise.
int columns(char32_t c)
{
    if (QChar::category(c) == QChar::Mark_NonSpacing || QChar::category(c) == QChar::Mark_Enclosing)
        return 0;
    static constexpr std::pair<char32_t, char32_t> Wide[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
    };
    for (const auto &[first, last] : Wide) {
        if (c >= first && c <= last)
            return 2;
    }
    return 1;
}

// A line longer than this is shown as a piece around the column, marked with "…" where cut.
constexpr qsizetype MaxShownLine = 120;
// How much of a cut line is shown before the column.
constexpr qsizetype ShownBefore = 40;

// The source line of a diagnostic and a caret under its column, as compilers show them:
//
//     7 | showMap = 1 showCompass = 1;
//       |             ^~~~~~~~~~~
//
// Every line starts with blanks, so that nothing from the file can pass for a diagnostic to
// an editor or CI system that reads FILE:LINE:COLUMN at the start of a line. TABs stay TABs
// on both lines, so that the caret lines up with whatever TAB width the terminal uses; other
// control characters are escaped and the caret line leaves their escapes' room. Only the
// shown piece of the line is looked at, so a line of megabytes costs no more than a short one.
void printSourceLine(QStringView text, const Diagnostic &d, QTextStream &out)
{
    const qsizetype at = std::clamp<qsizetype>(d.position.offset, 0, text.size());
    const qsizetype lineStart = std::max<qsizetype>(0, at - (d.position.column - 1));
    auto lineEndWithin = [&](qsizetype from, qsizetype limit) {
        qsizetype i = from;
        while (i < text.size() && i - from < limit && !detail::isLineBreak(text[i].unicode()))
            ++i;
        return i;
    };
    qsizetype from = lineStart;
    qsizetype to = lineEndWithin(lineStart, MaxShownLine + 1);
    if (to - lineStart > MaxShownLine) {
        from = std::max(lineStart, at - ShownBefore);
        if (from > lineStart && text[from].isLowSurrogate())
            ++from;
        to = lineEndWithin(from, MaxShownLine);
        if (to > from && to < text.size() && text[to - 1].isHighSurrogate())
            --to;
    }
    const bool cutBefore = from > lineStart;
    const bool cutAfter = to < text.size() && !detail::isLineBreak(text[to].unicode());
    const qsizetype markEnd = std::clamp<qsizetype>(at + std::max<qsizetype>(d.length, 1), at, to);

    QString shown = cutBefore ? u"…"_qs : QString();
    QString caret = cutBefore ? u" "_qs : QString();
    for (qsizetype i = from; i < to;) {
        const QChar c = text[i];
        const bool tab = c == u'\t';
        qsizetype next = i + 1;
        QString piece;
        int width = 1;
        if (tab) {
            piece = c;
        } else if (c.isHighSurrogate() && next < to && text[next].isLowSurrogate()) {
            piece = text.mid(i, 2).toString();
            width = columns(QChar::surrogateToUcs4(c, text[next]));
            ++next;
        } else {
            piece = detail::escapeControls(QStringView(&c, 1));
            width = piece.size() > 1 ? int(piece.size()) : columns(c.unicode());
        }
        shown += piece;
        if (next <= at)
            caret += tab ? u"\t"_qs : QString(width, u' ');
        else if (i <= at)
            caret += u'^' + QString(std::max(width - 1, 0), u'~');
        else if (i < markEnd)
            caret += QString(tab ? 1 : width, u'~');
        i = next;
    }
    if (at >= to)
        caret += u'^';
    if (cutAfter)
        shown += u'…';
    out << QStringLiteral("%1 | ").arg(d.position.line, 5) << shown << '\n'
        << QString(5, u' ') << " | " << caret << '\n';
}

// Prints one file's diagnostics, each with its kind's name in brackets at the end, then its
// source line with a caret. A problem in an included file comes after the #include lines that
// led to it, innermost first. One that stands for identical ones past the fifth is a single
// note saying how many there are (their source lines are alike), so a file with a million
// duplicate keys prints six diagnostics.
void printDiagnostics(const QString &path, const ReadResult &read,
                      const QHash<QString, QString> &includedTexts, QTextStream &out)
{
    const QString checkedName = detail::escapeControls(path);
    auto nameOf = [&](const QString &file) {
        return file.isEmpty() ? checkedName : detail::escapeControls(file);
    };
    for (const Diagnostic &d : read.diagnostics) {
        if (d.alike > 0) {
            out << nameOf(d.file) << ':' << d.position.line << ':' << d.position.column
                << ": note: " << d.alike << " more like this [" << diagnosticName(d.kind) << "]\n";
            continue;
        }
        for (const IncludeSite &site : d.includedFrom)
            out << "In file included from " << nameOf(site.file) << ':' << site.position.line
                << ":\n";
        out << nameOf(d.file) << ':' << d.position.line << ':' << d.position.column << ": "
            << (d.severity == Severity::Error     ? "error"
                : d.severity == Severity::Warning ? "warning"
                                                  : "note")
            << ": " << detail::escapeControls(d.message) << " [" << diagnosticName(d.kind) << "]\n";
        if (d.file.isEmpty())
            printSourceLine(read.sourceText(), d, out);
        else if (const auto text = includedTexts.constFind(d.file); text != includedTexts.cend())
            printSourceLine(*text, d, out);
    }
}

} // namespace

std::function<IncludedFile(const QString &, const QString &)>
missionIncludeLoader(const QString &path, const CheckLimits &limits)
{
    auto folder = std::make_shared<MissionFolder>();
    folder->path = QFileInfo(path).path();
    folder->canonical = QFileInfo(folder->path).canonicalFilePath();
    folder->bytesLeft = folder->totalBytes = limits.includedBytes;
    folder->filesLeft = limits.includedFiles;
    folder->fileBytes = limits.fileBytes;
    return [folder](const QString &include, const QString &fromFile) {
        return loadInclude(*folder, include, fromFile);
    };
}

QString decodeDescriptionBytes(const QByteArray &bytes)
{
    return decodeText(bytes).text;
}

int runCheck(const QStringList &paths, QTextStream &out, const CheckLimits &limits, bool pedantic)
{
    bool unreadable = false;
    bool errors = false;
    for (QString path : paths) {
        // A mission folder stands for its description.ext, named as the user named the folder.
        if (QFileInfo(path).isDir()) {
            const QString found = entryInFolder(path, QStringLiteral("description.ext"));
            if (found.isEmpty()) {
                out << detail::escapeControls(path)
                    << ": error: cannot read the file: is a folder without a description.ext\n";
                unreadable = true;
                continue;
            }
            path = QDir::cleanPath(path + u'/' + QFileInfo(found).fileName());
        }
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
            // The texts of the included files, for the source lines of their problems. Shared
            // with what the reader reads, and bounded by the includes' budget.
            QHash<QString, QString> includedTexts;
            options.includeLoader = [&folder, &includedTexts](const QString &include,
                                                              const QString &fromFile) {
                IncludedFile included = loadInclude(folder, include, fromFile);
                if (included.found)
                    includedTexts.insert(included.name, included.text);
                return included;
            };
            const ReadResult read = readConfig(file.text, options);
            printDiagnostics(path, read, includedTexts, out);
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
