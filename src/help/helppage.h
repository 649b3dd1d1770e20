// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// What the help window shows of a page. The text browser trusts the markup it is given: it
// lays nested elements out recursively, in time that doubles with each level of nested
// tables, and slows with the square of a list's items; control characters and stray bytes
// reach its text layout unchanged. A damaged or hostile help file is read safely in another
// process, but its pages are shown here, so every page passes through prepare() first and
// comes out in a shape the browser always lays out quickly:
// - the markup is written anew from what the scanner found, every tag and attribute quoted
//   the same way, so the browser sees exactly the structure that was checked;
// - elements nested deeper than the limits below are left out, their content kept;
// - control characters, invalid bytes and references to either are dropped;
// - style sheets a page links to are put into it from the help file, without their at-rules
//   (an @import would make the browser fetch a file) and escapes (which can spell one);
// - a page that is too large or holds too many tags is shown as its escaped source below a
//   short notice.
// All of it takes time linear in the page's size, counted in HelpHtml::workSteps.
namespace HelpPage {

// Elements open at once beyond this depth are left out.
inline constexpr int DeepestNesting = 40;
// Each level of nested tables doubles the browser's layout work.
inline constexpr int DeepestTables = 6;
inline constexpr int DeepestLists = 12;
// List items beyond this many in a page are left out (their text joins the item before).
inline constexpr int MostListItems = 1000;
// A longer page, or one with more tags, is shown as its source.
inline constexpr qsizetype LargestPage = 512 * 1024;
inline constexpr qsizetype MostTags = 10000;
// Style sheets put into one page, together; a sheet that would go beyond is left out, as is
// one whose brackets nest deeper than DeepestStyleBrackets.
inline constexpr qsizetype LargestStyle = 64 * 1024;
inline constexpr int DeepestStyleBrackets = 8;

// The bytes of the style sheet a page links to by `href` (as written in the page), or
// nothing.
using StyleSheetReader = std::function<std::optional<QByteArray>(const QString &href)>;

struct Prepared
{
    QString html;
    // Whether the page is shown as its source, below the notice.
    bool asSource = false;
};

Prepared prepare(const QByteArray &page, const StyleSheetReader &styleSheet = {});

// `text` without what the browser must not get: control characters other than tab and line
// breaks, the replacement character that stands for invalid bytes, noncharacters and halves
// of surrogate pairs.
QString withoutControls(QStringView text);

// The notice above a page shown as its source.
QString sourceNotice();

} // namespace HelpPage
