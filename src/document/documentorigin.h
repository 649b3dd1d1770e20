// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Where an opened document came from: the file's text as it was read, which part of it each
// form item holds, and the rest, which the Other box shows. Saving an opened document writes
// that text again with only the parts the user changed rewritten, so a file opened and saved
// without an edit keeps every byte, and an edit shows as a small diff.

#include "formmapping.h"
#include "formsnapshot.h"
#include "textcodec.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A setting the form holds, and where it stands.
struct HeldSetting
{
    const SettingRow *row = nullptr;
    // Its whole lines, with a comment after it and the line break: what removing it removes.
    // For a setting inside class Header, the setting alone.
    qsizetype pieceStart = 0;
    qsizetype pieceEnd = 0;
    // The value as written: what a changed value replaces.
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
};

// A section whose body a code box holds.
struct HeldSection
{
    const SectionRow *row = nullptr;
    qsizetype pieceStart = 0;
    qsizetype pieceEnd = 0;
    // The part of the body the box shows: without the rest of the "{" line and the empty array
    // the form writes at its top.
    qsizetype boxStart = 0;
    qsizetype boxEnd = 0;
};

// class Header, whose values the form holds.
struct HeldHeader
{
    qsizetype pieceStart = 0;
    qsizetype pieceEnd = 0;
    // Where a value the class lacks is added: the start of the "};" line, or just before "}"
    // when something else stands on that line.
    qsizetype insertAt = 0;
    bool closingOwnLine = true;
    QString indent;
};

// Text of the file the form does not hold, between two held parts.
struct OtherGap
{
    qsizetype start = 0;
    qsizetype end = 0;
    // Gaps of nothing but white space keep their place but are not shown in the Other box.
    bool shown = false;
};

class DocumentOrigin
{
public:
    // The file as read, and how. The path is empty for text that came from no file.
    QString path;
    QString fileName;
    // Null when encoding `text` again gives these bytes.
    QByteArray bytes;
    QString text;
    config::TextEncoding encoding = config::TextEncoding::Utf8;
    // What new lines end with: the line end most of the file's lines have.
    QString lineEnd;

    // The form as the file filled it; a setting the file lacks shows the game's default.
    FormSnapshot baseline;

    std::vector<HeldSetting> settings;
    std::vector<HeldSection> sections;
    std::optional<HeldHeader> header;
    // Every part of `text` that no held piece covers, in order.
    std::vector<OtherGap> gaps;
    // Where a setting goes when the file has no form setting to put it next to.
    qsizetype topInsertAt = 0;

    // The Other box's text for the shown gaps, CR LF between lines.
    QString otherText() const;
    // The box text of a held section, CR LF between lines.
    QString boxText(const HeldSection &section) const;

    // The file with the form's current values: `text` itself when nothing that is written
    // changed, otherwise `text` with only the changed settings, class bodies and Other lines
    // rewritten, added or removed.
    QString render(const DocumentValues &now) const;

    // The bytes that saving `saved` writes: the file's own bytes when it is the text as read
    // (encoded again when they are not kept), otherwise `saved` in the file's encoding.
    config::EncodedBytes encode(QStringView saved) const;
};
