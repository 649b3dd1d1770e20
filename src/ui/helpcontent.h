#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Everything stored in a compiled HTML help file, held in memory.
//
// The file is read by a separate process (this program started with --read-help), never in
// the editor's own: the library that reads the format trusts the file, and a damaged one can
// crash it or make it loop forever. The reading process runs under a time and memory limit and
// hands every object back through a pipe; if it crashes, hangs or says anything malformed, the
// file counts as unreadable and the editor carries on.
class HelpContent
{
public:
    // Reads the help file at `path`. Waits for the reading process without taking user input
    // (the windows still repaint). nullopt if the file is missing, not a regular file, damaged
    // or holds no page.
    static std::optional<HelpContent> load(const QString &path);

    // The program started to read help files: this executable unless set (tests set the
    // editor's). Also the longest wait for it, in milliseconds.
    static void setReaderProgram(const QString &program);
    static void setTimeLimit(int milliseconds);

    // The reading process's side: writes every object of the file at `path` to standard
    // output. Returns the process's exit code. Called by main() for --read-help.
    static int serve(const QString &path);

    // `path` is absolute inside the file, such as "/pages/start.htm".
    std::optional<QByteArray> read(const QString &path) const;
    // Every object's path, in the order the file lists them.
    const QStringList &paths() const { return m_paths; }
    // The topic the file asks to be shown first (it may carry an anchor), or its first page.
    QString defaultTopic() const { return m_defaultTopic; }
    QString title() const { return m_title; }
    // The paths of the contents (.hhc) and the index (.hhk), or empty if the file has none.
    QString contentsFile() const { return m_contentsFile; }
    QString indexFile() const { return m_indexFile; }

    static QString normalizedPath(QString path);
    static bool isPage(const QString &path);

    // Parses what the reading process wrote; nullopt unless it is complete and well formed.
    static std::optional<HelpContent> fromStream(const QByteArray &stream);

private:
    void readSystemData();

    QHash<QString, QByteArray> m_objects;
    QStringList m_paths;
    QString m_defaultTopic;
    QString m_title;
    QString m_contentsFile;
    QString m_indexFile;
};
