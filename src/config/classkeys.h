// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the code boxes know of keys for completion and key help: the keys that may stand at the
// top level of description.ext and inside the classes the game reads, each with its type, one
// line of help, its values and its default.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace config {

// The kind of value a key takes, as completion and key help name it.
enum class KeyType {
    Text,        // a quoted string
    Number,      // a number
    Switch,      // 0 or 1
    Choice,      // one of the listed values
    Word,        // an unquoted name (gameType = Coop)
    Code,        // a script, in a quoted string
    FilePath,    // a quoted path inside the mission folder
    TextArray,   // key[] = {"a", "b"}
    NumberArray, // key[] = {1, 2}
    Array,       // key[] = {...} of mixed values
    Class,       // class Name { ... };
};

struct KeyInfo
{
    // As the documentation spells it, without "[]".
    QString name;
    KeyType type = KeyType::Text;
    QString help;
    // The allowed values or range, empty when any value of the type goes.
    QString values;
    // The game's behaviour when the key is absent, empty when the documentation gives none.
    QString defaultValue;

    bool isArray() const;
    // The text completion inserts: the name, with "[]" for an array.
    QString written() const;
};

// "text", "number", "0 or 1", "array of texts", "class", ...
QString keyTypeName(KeyType type);

// The keys that may stand directly inside the class at `classPath` (empty: the top level of
// the file; {"CfgSounds"}: inside class CfgSounds; {"CfgSounds", "mySound"}: inside one of its
// sounds), sorted by name without regard to case. Empty for a class the table does not know.
QList<KeyInfo> keysIn(const QStringList &classPath);
// The key `name` (with or without "[]") inside the class at `classPath`, compared without regard
// to case.
std::optional<KeyInfo> findKeyIn(const QStringList &classPath, QStringView name);

// The key help a tooltip shows, one line each: "name[] (type)", the help line, "Values: ...",
// "Default: ..." (the last two when known).
QString keyHelpText(const KeyInfo &key);

// Where a cursor stands, from a cheap scan of the text before it (strings, comments and
// directives are stepped over; class headers and braces are counted).
struct KeyContext
{
    // The classes around the cursor, outermost first, after `root`.
    QStringList classPath;
    // The cursor stands where a key or class may begin (after '{' of a class, ';', '}' or at the
    // start), not inside a value, a string or a comment.
    bool atKey = false;
    // Right after "class": only a class name can follow.
    bool classOnly = false;
    // The name typed so far, just before the cursor, and where it starts.
    QString prefix;
    qsizetype prefixStart = 0;
};

// `root` is the class a code box holds the body of ({"CfgSounds"} for the sounds box; empty for
// a whole file or the Other box).
KeyContext keyContextAt(QStringView textBefore, const QStringList &root = {});

} // namespace config
