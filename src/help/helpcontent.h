// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

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
    // The reading process: a program whose main() hands its arguments to serveIfAsked() first
    // (empty: this program), and the longest wait for it.
    struct Reader
    {
        QString program;
        int timeLimit = 10000; // milliseconds
    };
    // The option the reading process is started with, followed by the file's path.
    static const QString readerOption; // "--read-help"

    // Reads the help file at `path` with `reader`. Waits for the reading process without
    // taking user input (the windows still repaint). Fails, saying why, if the file is
    // missing, not a regular file, damaged or holds no page.
    static config::Result<HelpContent> load(const QString &path, const Reader &reader);

    // The reading process's entry point, for the main() of a program that is a reader: when
    // its arguments are readerOption and a path, serves that file and gives the exit code.
    static std::optional<int> serveIfAsked(int argc, char **argv);
    // The reading process's side: writes every object of the file at `path` to standard
    // output. Returns the process's exit code.
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

    // Parses what the reading process wrote; fails unless it is complete and well formed.
    static config::Result<HelpContent> fromStream(const QByteArray &stream);

private:
    void readSystemData();

    QHash<QString, QByteArray> m_objects;
    QStringList m_paths;
    QString m_defaultTopic;
    QString m_title;
    QString m_contentsFile;
    QString m_indexFile;
};
