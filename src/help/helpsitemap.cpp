// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helpsitemap.h"

#include "helphtml.h"

#include <QUrl>

namespace HelpSitemap {

QList<Entry> parse(const QByteArray &sitemap)
{
    const QString text = HelpHtml::decode(sitemap);
    QList<Entry> entries;
    int listDepth = 0;
    bool inEntry = false;
    Entry entry;
    auto finishEntry = [&] {
        if (inEntry && (!entry.name.isEmpty() || !entry.local.isEmpty()))
            entries.append(entry);
        inEntry = false;
    };
    HelpHtml::Scanner scanner(text);
    for (HelpHtml::Scanner::Token token = scanner.next();
         token != HelpHtml::Scanner::End && entries.size() < MostEntries; token = scanner.next()) {
        if (token != HelpHtml::Scanner::Tag)
            continue;
        const QString &tag = scanner.tagName();
        if (tag == u"ul") {
            listDepth = qMax(0, listDepth + (scanner.isClosing() ? -1 : 1));
        } else if (tag == u"object") {
            finishEntry();
            // Other objects, such as the contents' "text/site properties", carry no entry.
            if (!scanner.isClosing() &&
                scanner.attribute(QLatin1StringView("type"))
                        .compare(u"text/sitemap", Qt::CaseInsensitive) == 0) {
                inEntry = true;
                entry = Entry();
                entry.depth = qBound(0, listDepth - 1, DeepestLevel);
            }
        } else if (tag == u"param" && inEntry) {
            const QString name = scanner.attribute(QLatin1StringView("name"));
            // An index entry may name several topics; the first one is opened.
            if (name.compare(u"Name", Qt::CaseInsensitive) == 0 && entry.name.isEmpty())
                entry.name = scanner.attribute(QLatin1StringView("value")).simplified();
            else if (name.compare(u"Local", Qt::CaseInsensitive) == 0 && entry.local.isEmpty())
                entry.local = scanner.attribute(QLatin1StringView("value")).trimmed();
        }
    }
    finishEntry();
    return entries;
}

QString topicPath(const QString &sitemapPath, const QString &local)
{
    QString name = local.trimmed();
    // "ms-its:Help.chm::/page.htm" and the like name a page inside a help file, which can only
    // be this one.
    const qsizetype inFile = name.indexOf(u"::");
    if (inFile >= 0)
        name = name.mid(inFile + 2);
    name.replace(u'\\', u'/');
    if (name.isEmpty())
        return QString();
    QUrl base;
    base.setScheme(QStringLiteral("helpfile"));
    base.setPath(sitemapPath.startsWith(u'/') ? sitemapPath : u'/' + sitemapPath,
                 QUrl::DecodedMode);
    const QUrl target = base.resolved(QUrl(name));
    if (target.scheme() != base.scheme() || target.path().isEmpty())
        return QString();
    QString path = target.path(QUrl::FullyDecoded);
    if (target.hasFragment())
        path += u'#' + target.fragment(QUrl::FullyDecoded);
    return path;
}

} // namespace HelpSitemap
