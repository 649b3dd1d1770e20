#pragma once

// Opening an existing description.ext into the form: reading the file's bytes safely, mapping
// the reader's tree onto the document's switches, fields, options and code boxes, and a report
// of what went where.
//
// The mapping never drops text. What the form can hold exactly (a setting whose value it can
// write back unchanged, or a section whose body fits its code box) goes into the form; every
// other part of the file goes into the Other box in its original order and formatting, with
// its comments. Creating the file from the opened document therefore gives the original file
// again, except for the order of top-level entries, the spelling of synonyms, the lines the
// form always writes and white space: settings take the form's own layout, and blank lines
// between the last setting the form holds and the Other box are not kept.

#include "configreader.h"
#include "editordocument.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// Larger files are refused: nobody writes a description that long, and reading one would tie
// up the editor for a long time.
inline constexpr qint64 MaxDescriptionFileBytes = 50 * 1024 * 1024;

enum class TextEncoding { Utf8, Windows1252 };
// "UTF-8" or "Windows-1252".
QString encodingName(TextEncoding encoding);

// The text of a file, or why it cannot be opened.
struct DescriptionText
{
    bool ok = false;
    // One sentence naming the file, e.g. "“mission.ext” is empty." Empty when ok.
    QString error;
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMarkDropped = false;
};

// Reads a file for opening. A missing file, a folder, something that is not a regular file, a
// file that cannot be read, one over MaxDescriptionFileBytes, an empty file and a binary file
// give an error and no text.
DescriptionText readDescriptionFile(const QString &path);
// The same checks and decoding for bytes already in memory (a drop, a test); `displayName`
// names them in the error.
DescriptionText decodeDescriptionFile(const QByteArray &bytes, const QString &displayName);

// Every value of the form: switches with their enabled flags, fields, code boxes and the
// respawn mode. Two snapshots are equal exactly when a user would see the same form. The
// generated text and fragment slots are not part of it: Create rewrites them from these.
// Whether to ask before replacing the entries: keep FormSnapshot::of(document) after start-up
// and after each successful open, and compare the current one with it.
struct FormSnapshot
{
    std::array<int, SwitchCount> switches{};
    std::array<bool, SwitchCount> enabled{};
    std::array<QString, FieldCount> fields;
    std::array<QString, CodeBoxCount> codes;
    RespawnMode respawnMode = RespawnMode::None;

    static FormSnapshot of(const EditorDocument &document);
    // The values after start-up (design state, then applyStartUp()).
    static FormSnapshot startState();

    bool operator==(const FormSnapshot &other) const = default;
};

// Puts `snapshot` into `document`: back to the design state, the start-up sequence, then every
// switch, field, option and code box through the document's setters, so that every rule and
// signal runs as if the user had set them.
void applySnapshot(EditorDocument &document, const FormSnapshot &snapshot);

// A remark of the report tied to a line of the file (0: the file as a whole).
struct OpenNote
{
    int line = 0;
    QString text;
};

// What opening did with the file.
struct OpenReport
{
    QString fileName;
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMarkDropped = false;

    // Top-level settings that fill a field, option or switch (a score or Header value counts
    // once per key).
    int settingsIntoForm = 0;
    // Sections whose bodies went into code boxes (Weapons and Magazines count as one).
    int sectionsIntoBoxes = 0;
    // Top-level parts kept in the Other box: classes, keys, comments, preprocessor lines and
    // text that could not be read.
    int blocksInOther = 0;
    // Of these, parts the reader could not make sense of.
    int unreadBlocksInOther = 0;

    // Values written differently by the form, e.g. line 7: respawn = "BASE" becomes respawn=3.
    QList<OpenNote> synonyms;
    // Settings and sections the form has that went to Other all the same, and why, and the
    // parts that could not be read.
    QList<OpenNote> keptInOther;
    // Lines Create writes although the file did not have them (the form always writes them).
    QList<OpenNote> added;
    // The reader's problems, in source order.
    QList<config::Diagnostic> problems;

    // "14 settings into the form, 3 sections into code boxes, 2 blocks kept in Other".
    QString summary() const;
    // "Read as UTF-8" / "Read as Windows-1252" (for the status bar).
    QString encodingNote() const;
    // The whole report, one remark a line: the summary, the encoding, the synonyms, what was
    // kept in Other and why, what Create adds, and the reader's problems with line numbers.
    QString text() const;
};

struct ImportResult
{
    FormSnapshot snapshot;
    OpenReport report;
};

// Maps the text of a description file onto the form, starting from the start state. Pure:
// needs no document and never fails; text that cannot be read ends up in the Other box.
ImportResult importDescription(const QString &text, const QString &fileName = QString());

// What File > Open (and the command line, and a drop) runs once the user agreed: on success
// the document holds the file's values; on failure it is left exactly as it was.
struct OpenResult
{
    bool ok = false;
    // Why the file could not be opened (see readDescriptionFile()).
    QString error;
    OpenReport report;
};
OpenResult openDescriptionFile(EditorDocument &document, const QString &path);
OpenResult openDescriptionBytes(EditorDocument &document, const QByteArray &bytes,
                                const QString &displayName);
