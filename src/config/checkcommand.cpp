// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checkcommand.h"

#include "configreader.h"
#include "lexer.h"
#include "missionfiles.h"
#include "nativefile.h"
#include "preprocessor.h"
#include "textcodec.h"
#include "textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

namespace config {

namespace {

// Identical messages printed before the rest become "N more like this".
constexpr int MaxAlike = 5;

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

const char *severityName(Severity severity)
{
    return severity == Severity::Error     ? "error"
           : severity == Severity::Warning ? "warning"
                                           : "note";
}

// Where a diagnostic's text ends: `text` is the file it is in, when at hand.
SourcePos endOf(const Diagnostic &d, const QString *text)
{
    SourcePos end = d.position;
    end.offset = d.position.offset + d.length;
    if (!text) {
        end.column += int(d.length);
        return end;
    }
    const qsizetype stop = std::min(end.offset, text->size());
    for (qsizetype i = d.position.offset; i < stop; ++i) {
        const char16_t c = text->at(i).unicode();
        if (c == u'\r' && i + 1 < stop && text->at(i + 1) == u'\n')
            continue; // CR LF ends one line, at its LF
        if (detail::isLineBreak(c)) {
            ++end.line;
            end.column = 1;
        } else {
            ++end.column;
        }
    }
    return end;
}

// GitHub's workflow commands: '%', CR and LF escaped in the message, and ':' and ',' too in
// a property's value.
QString githubEscape(const QString &s, bool property)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case u'%':
            out += u"%25";
            break;
        case u'\r':
            out += u"%0D";
            break;
        case u'\n':
            out += u"%0A";
            break;
        case u':':
            out += property ? u"%3A"_qs : u":"_qs;
            break;
        case u',':
            out += property ? u"%2C"_qs : u","_qs;
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A file's name as a SARIF artifact's URI: relative names stay relative, with '/' between
// their parts.
QString sarifUri(const QString &path)
{
    const QString p = QDir::fromNativeSeparators(path);
    if (QDir::isAbsolutePath(p))
        return QUrl::fromLocalFile(p).toString(QUrl::FullyEncoded);
    return QString::fromLatin1(QUrl::toPercentEncoding(p, "/"));
}

QString compact(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// Prints what --check finds in one of the formats. Every diagnostic goes through diagnostic();
// past `maxDiagnostics` errors and warnings it only counts them.
class CheckPrinter
{
public:
    CheckPrinter(QTextStream &out, const CheckOutput &options) : m_out(out), m_options(options)
    {
        if (m_options.format == CheckFormat::Json) {
            m_out << "{\"diagnostics\": [";
        } else if (m_options.format == CheckFormat::Sarif) {
            QJsonArray rules;
            for (int k = 0; k <= int(DiagnosticKind::OutOfMemory); ++k)
                rules.append(QJsonObject{{"id", QString(diagnosticName(DiagnosticKind(k)))}});
            rules.append(QJsonObject{{"id", UnreadableName}});
            QJsonObject driver{{"name", "merrow-editor"},
                               {"informationUri", "https://merroweditor.org/"},
                               {"rules", rules}};
            if (const QString version = QCoreApplication::applicationVersion(); !version.isEmpty())
                driver.insert("version", version);
            const QString tool = compact(QJsonObject{{"driver", driver}});
            m_out << "{\"version\": \"2.1.0\",\n"
                     "\"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n"
                     "\"runs\": [{\"tool\": "
                  << tool << ",\n\"columnKind\": \"utf16CodeUnits\",\n\"results\": [";
        }
    }

    // A file that could not be read: always printed, never counted.
    void unreadable(const QString &path, const QString &problem)
    {
        const QString message = u"cannot read the file: "_qs + problem;
        switch (m_options.format) {
        case CheckFormat::Gcc:
            m_out << detail::escapeControls(path) << ": error: " << message << '\n';
            return;
        case CheckFormat::GitHub:
            m_out << "::error file=" << githubEscape(path, true) << ",title=" << UnreadableName
                  << "::" << githubEscape(message, false) << '\n';
            return;
        case CheckFormat::Json:
            item(compact(QJsonObject{{"file", path},
                                     {"severity", "error"},
                                     {"name", UnreadableName},
                                     {"message", message}}));
            return;
        case CheckFormat::Sarif:
            item(compact(QJsonObject{
                {"ruleId", UnreadableName},
                {"level", "error"},
                {"message", QJsonObject{{"text", message}}},
                {"locations",
                 QJsonArray{QJsonObject{{"physicalLocation",
                                         QJsonObject{{"artifactLocation",
                                                      QJsonObject{{"uri", sarifUri(path)}}}}}}}}}));
            return;
        }
    }

    // One file's diagnostics. `path` names the checked file; `texts` holds the included ones.
    void file(const QString &path, const ReadResult &read, const QHash<QString, QString> &texts)
    {
        for (const Diagnostic &d : read.diagnostics) {
            // A note goes with the error or warning before it; one that stands for identical
            // ones past the fifth counts as one.
            const bool follows = d.severity == Severity::Note && d.alike == 0;
            if (follows && !m_lastShown)
                continue;
            if (!follows) {
                if (m_options.maxDiagnostics > 0 && m_shown >= m_options.maxDiagnostics) {
                    m_notShown += d.alike > 0 ? d.alike : 1;
                    m_lastShown = false;
                    continue;
                }
                ++m_shown;
                m_lastShown = true;
            }
            const QString *text = nullptr;
            if (d.file.isEmpty())
                text = &read.sourceText();
            else if (const auto it = texts.constFind(d.file); it != texts.cend())
                text = &*it;
            print(path, d, text);
        }
    }

    void finish(int exitCode)
    {
        const QString more =
            QStringLiteral("%1 more errors and warnings were not shown (--max-diagnostics=%2; "
                           "0 shows all)")
                .arg(m_notShown)
                .arg(m_options.maxDiagnostics);
        switch (m_options.format) {
        case CheckFormat::Gcc:
            if (m_notShown > 0)
                m_out << "note: " << more << '\n';
            break;
        case CheckFormat::GitHub:
            if (m_notShown > 0)
                m_out << "::notice title=merrow-editor::" << githubEscape(more, false) << '\n';
            break;
        case CheckFormat::Json:
            m_out << (m_items > 0 ? "\n" : "") << "],\n\"notShown\": " << m_notShown << "}\n";
            break;
        case CheckFormat::Sarif:
            m_out << (m_items > 0 ? "\n" : "") << "],\n\"invocations\": [{\"executionSuccessful\": "
                  << (exitCode == 2 ? "false" : "true") << ", \"exitCode\": " << exitCode
                  << "}],\n\"properties\": {\"notShown\": " << m_notShown << "}}]}\n";
            break;
        }
        m_out.flush();
    }

private:
    static constexpr QLatin1StringView UnreadableName{"cannot-read"};

    // One element of the JSON or SARIF list, on a line of its own.
    void item(const QString &json) { m_out << (m_items++ > 0 ? ",\n" : "\n") << json; }

    QString nameOf(const QString &path, const QString &file) const
    {
        return file.isEmpty() ? path : file;
    }

    QString message(const Diagnostic &d) const
    {
        return d.alike > 0 ? QStringLiteral("%1 more like this").arg(d.alike) : d.message;
    }

    void print(const QString &path, const Diagnostic &d, const QString *text)
    {
        const QString file = nameOf(path, d.file);
        const SourcePos end = endOf(d, text);
        const Severity severity = d.alike > 0 ? Severity::Note : d.severity;
        const QLatin1StringView name = diagnosticName(d.kind);
        switch (m_options.format) {
        case CheckFormat::Gcc: {
            const QString checkedName = detail::escapeControls(path);
            auto shownName = [&](const QString &f) {
                return f.isEmpty() ? checkedName : detail::escapeControls(f);
            };
            if (d.alike > 0) {
                m_out << shownName(d.file) << ':' << d.position.line << ':' << d.position.column
                      << ": note: " << message(d) << " [" << name << "]\n";
                return;
            }
            for (const IncludeSite &site : d.includedFrom)
                m_out << "In file included from " << shownName(site.file) << ':'
                      << site.position.line << ":\n";
            m_out << shownName(d.file) << ':' << d.position.line << ':' << d.position.column << ": "
                  << severityName(severity) << ": " << detail::escapeControls(d.message) << " ["
                  << name << "]\n";
            if (text)
                printSourceLine(*text, d, m_out);
            return;
        }
        case CheckFormat::GitHub: {
            const char *command = severity == Severity::Error     ? "error"
                                  : severity == Severity::Warning ? "warning"
                                                                  : "notice";
            m_out << "::" << command << " file=" << githubEscape(file, true)
                  << ",line=" << d.position.line;
            // A column range only on one line, as GitHub takes it.
            if (end.line == d.position.line)
                m_out << ",col=" << d.position.column << ",endColumn=" << end.column;
            else
                m_out << ",endLine=" << end.line;
            QString body = message(d);
            for (const IncludeSite &site : d.includedFrom)
                body += u"\nIn file included from "_qs + nameOf(path, site.file) + u':' +
                        QString::number(site.position.line);
            m_out << ",title=" << githubEscape(name.toString(), true)
                  << "::" << githubEscape(body, false) << '\n';
            return;
        }
        case CheckFormat::Json: {
            QJsonArray chain;
            for (const IncludeSite &site : d.includedFrom)
                chain.append(QJsonObject{{"file", nameOf(path, site.file)},
                                         {"line", site.position.line},
                                         {"column", site.position.column}});
            QJsonObject o{{"file", file},
                          {"line", d.position.line},
                          {"column", d.position.column},
                          {"end", QJsonObject{{"line", end.line}, {"column", end.column}}},
                          {"severity", severityName(severity)},
                          {"name", name.toString()},
                          {"message", message(d)},
                          {"includedFrom", chain}};
            if (d.alike > 0)
                o.insert("alike", d.alike);
            item(compact(o));
            return;
        }
        case CheckFormat::Sarif: {
            auto location = [](const QString &f, QJsonObject region) {
                return QJsonObject{
                    {"physicalLocation",
                     QJsonObject{{"artifactLocation", QJsonObject{{"uri", sarifUri(f)}}},
                                 {"region", region}}}};
            };
            QJsonObject result{
                {"ruleId", name.toString()},
                {"level", severityName(severity)},
                {"message", QJsonObject{{"text", message(d)}}},
                {"locations", QJsonArray{location(file, QJsonObject{
                                                            {"startLine", d.position.line},
                                                            {"startColumn", d.position.column},
                                                            {"endLine", end.line},
                                                            {"endColumn", end.column},
                                                        })}}};
            QJsonArray related;
            int id = 0;
            for (const IncludeSite &site : d.includedFrom) {
                QJsonObject l = location(nameOf(path, site.file),
                                         QJsonObject{{"startLine", site.position.line},
                                                     {"startColumn", site.position.column}});
                l.insert("id", id++);
                l.insert("message", QJsonObject{{"text", "included from here"}});
                related.append(l);
            }
            if (!related.isEmpty())
                result.insert("relatedLocations", related);
            item(compact(result));
            return;
        }
        }
    }

    QTextStream &m_out;
    CheckOutput m_options;
    int m_shown = 0;
    qsizetype m_notShown = 0;
    bool m_lastShown = false;
    int m_items = 0;
};

} // namespace

bool parseCheckFormat(QStringView name, CheckFormat *format)
{
    static constexpr std::pair<const char *, CheckFormat> Formats[] = {
        {"gcc", CheckFormat::Gcc},
        {"github", CheckFormat::GitHub},
        {"json", CheckFormat::Json},
        {"sarif", CheckFormat::Sarif},
    };
    for (const auto &[formatName, value] : Formats) {
        if (name == QLatin1StringView(formatName)) {
            *format = value;
            return true;
        }
    }
    return false;
}

QString checkFormatNames()
{
    return QStringLiteral("gcc, github, json or sarif");
}

int runCheck(const QStringList &paths, QTextStream &out, const CheckLimits &limits, bool pedantic,
             const CheckOutput &output)
{
    CheckPrinter printer(out, output);
    bool unreadable = false;
    bool errors = false;
    for (QString path : paths) {
        // A mission folder stands for its description.ext, named as the user named the folder.
        if (QFileInfo(path).isDir()) {
            const QString found = entryInFolder(path, QStringLiteral("description.ext"));
            if (found.isEmpty()) {
                printer.unreadable(path, QStringLiteral("is a folder without a description.ext"));
                unreadable = true;
                continue;
            }
            path = QDir::cleanPath(path + u'/' + QFileInfo(found).fileName());
        }
        try {
            const Result<FileText, ReadFailure> file = readTextFile(path, limits.fileBytes);
            if (!file) {
                printer.unreadable(path, file.why().problem);
                unreadable = true;
                continue;
            }
            MissionFolder folder = MissionFolder::of(path, limits);
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
            const ReadResult read = readConfig(file->text, options);
            printer.file(path, read, includedTexts);
            errors = errors || read.hasErrors();
        } catch (const std::bad_alloc &) {
            printer.unreadable(path, QStringLiteral("not enough memory to check it"));
            unreadable = true;
        }
    }
    const int exitCode = unreadable ? 2 : errors ? 1 : 0;
    printer.finish(exitCode);
    return exitCode;
}

} // namespace config
