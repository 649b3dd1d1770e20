// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

// Reading the HTML of help files: pages, the contents and the index. A help file may be
// damaged, so everything here takes any bytes and runs in time linear in their size.
namespace HelpHtml {

// The text of a page or sitemap: its declared character set, else UTF-8 when it decodes as
// such, else the 8-bit code page of older help files.
QString decode(const QByteArray &bytes);

// Characters the scanning on this thread has gone over, searches included: a count of the
// work that, unlike time, does not depend on how busy the machine is (tests show with it that
// damaged files are read in linear time).
inline thread_local qsizetype workSteps = 0;

// Replaces character references (&amp;, &#233;, &#xE9; and the common named ones).
QString unescape(QStringView text);

// Splits HTML into runs of text and tags. Comments are skipped; an unterminated tag or
// comment ends the input.
class Scanner
{
public:
    enum Token { Text, Tag, End };

    explicit Scanner(QStringView html) : m_html(html) {}

    Token next();
    // For elements whose content is no markup (scripts, style sheets): the text from here to
    // the end tag "</name" (case aside) or the end, which next() then goes on from.
    QStringView rawTextUntilEndOf(QStringView name);
    // The current text run, still escaped.
    QStringView text() const { return m_text; }
    // The current tag's name in lower case, and whether it is a closing tag.
    const QString &tagName() const { return m_tagName; }
    bool isClosing() const { return m_closing; }
    // The value of the current tag's attribute `name` (case-insensitive), unescaped; empty if
    // the tag has no such attribute.
    QString attribute(QLatin1StringView name) const;
    // Every attribute of the current tag in order, names in lower case, values unescaped. An
    // attribute without a value has an empty one.
    QList<std::pair<QString, QString>> attributes() const;

private:
    QStringView m_html;
    qsizetype m_at = 0;
    QStringView m_text;
    QStringView m_attributes;
    QString m_tagName;
    bool m_closing = false;
    // Set once a quote was found never to close: from then on quotes are not followed, so a
    // damaged file cannot make every later tag search to its end.
    bool m_quotesBroken = false;
};

// The readable text of a page, without tags, scripts and style sheets, and its title (the
// <title>, else the first <h1>; empty if it has neither).
struct PageText
{
    QString title;
    QString text;
};
PageText pageText(QStringView html);

} // namespace HelpHtml
