// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helpsearch.h"

#include "helpcontent.h"
#include "helphtml.h"

#include <QHash>

#include <algorithm>

HelpSearch::HelpSearch(const HelpContent &content)
{
    for (const QString &path : content.paths()) {
        if (!HelpContent::isPage(path))
            continue;
        const HelpHtml::PageText text =
            HelpHtml::pageText(HelpHtml::decode(content.read(path).value_or(QByteArray())));
        Page page;
        page.path = path;
        page.title = text.title.isEmpty() ? path.section(u'/', -1) : text.title;
        QHash<QString, int> counts;
        for (const QString &word : words(text.text))
            ++counts[word];
        page.words.reserve(counts.size());
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            page.words.append({it.key(), it.value()});
        std::sort(page.words.begin(), page.words.end());
        m_pages.append(std::move(page));
    }
}

QStringList HelpSearch::words(QStringView text)
{
    QStringList found;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool letter = i < text.size() && text[i].isLetterOrNumber();
        if (letter && start < 0) {
            start = i;
        } else if (!letter && start >= 0) {
            found.append(text.mid(start, i - start).toString().toCaseFolded());
            start = -1;
        }
    }
    return found;
}

QList<HelpSearch::Result> HelpSearch::find(const QString &question) const
{
    QStringList wanted = words(question);
    wanted.removeDuplicates();
    if (wanted.isEmpty())
        return {};
    QList<std::pair<int, const Page *>> found;
    for (const Page &page : m_pages) {
        int uses = 0;
        bool all = true;
        for (const QString &word : std::as_const(wanted)) {
            int usesOfWord = 0;
            auto it = std::lower_bound(page.words.cbegin(), page.words.cend(),
                                       std::pair<QString, int>(word, 0));
            for (; it != page.words.cend() && it->first.startsWith(word); ++it)
                usesOfWord += it->second;
            if (usesOfWord == 0) {
                all = false;
                break;
            }
            uses += usesOfWord;
        }
        if (all)
            found.append({uses, &page});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        if (a.first != b.first)
            return a.first > b.first;
        return a.second->title.localeAwareCompare(b.second->title) < 0;
    });
    QList<Result> results;
    for (const auto &[uses, page] : std::as_const(found))
        results.append({page->path, page->title});
    return results;
}
