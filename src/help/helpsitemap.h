// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The contents (.hhc) and index (.hhk) of a help file: lists of entries, each with a name and
// the topic it opens, in nested lists.
namespace HelpSitemap {

// Deeper entries are kept at this depth: a damaged file may nest without end, and item trees
// are torn down recursively.
inline constexpr int DeepestLevel = 32;
// Entries beyond this many are dropped, so that a damaged file cannot fill the lists for
// minutes.
inline constexpr qsizetype MostEntries = 50000;

struct Entry
{
    QString name;
    QString local; // the topic as written in the file; may be empty for a heading
    int depth = 0; // 0 for the outermost list
};

// The entries of a sitemap, in order. Takes any bytes, in linear time.
QList<Entry> parse(const QByteArray &sitemap);

// The path inside the help file, possibly with "#anchor", that `local` names when written in
// the sitemap at `sitemapPath`. Names such as "file.chm::/page.htm" count as inside the file;
// empty for a name elsewhere (another scheme).
QString topicPath(const QString &sitemapPath, const QString &local);

} // namespace HelpSitemap
