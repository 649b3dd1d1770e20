#pragma once

#include <QString>

#include <initializer_list>

// The entry texts that the entry dialogs append to the main window's code boxes. Values are
// copied exactly as typed: nothing is trimmed, quoted, escaped or checked here.

// One value line of a class entry: TAB, key, value, ";".
struct EntryValue
{
    const char *key;
    QString value;
};

// The common shape: "class <name> {", one TAB-indented line per value, TAB "};" and an
// empty line, every line ended by CR LF.
QString classEntry(const QString &className, std::initializer_list<EntryValue> values);

// `text` between two double quotes.
QString quoted(const QString &text);
// The body of a sound[] value: {"<file>", db<volume>, <pitch>}.
QString soundArray(const QString &file, const QString &volume, const QString &pitch);

struct IdentityValues
{
    QString className, name, face, glasses, speaker, pitch;
};
QString identityEntry(const IdentityValues &v);

struct RadioValues
{
    QString className, name, file, volume, pitch, title;
};
QString radioEntry(const RadioValues &v);

struct SoundValues
{
    QString className, name, file, volume, pitch, titles;
};
QString soundEntry(const SoundValues &v);

struct MusicValues
{
    QString className, name, file, volume, pitch;
};
QString musicEntry(const MusicValues &v);

// Loadout and MP-parameter entries (implemented in entries_loadout.cpp).
