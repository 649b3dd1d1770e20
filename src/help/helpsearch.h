// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class HelpContent;

// A plain full-text search over the pages of a help file: a page is found when every word of
// the question begins a word of its text, letter case aside.
class HelpSearch
{
public:
    struct Result
    {
        QString path;
        QString title;
    };

    explicit HelpSearch(const HelpContent &content);

    // The pages found, those that use the words most often first.
    QList<Result> find(const QString &question) const;
    // The words of `text`: runs of letters and digits, case-folded.
    static QStringList words(QStringView text);

private:
    struct Page
    {
        QString path;
        QString title;
        // Each word once, sorted, with how often the page uses it.
        QList<std::pair<QString, int>> words;
    };
    QList<Page> m_pages;
};
