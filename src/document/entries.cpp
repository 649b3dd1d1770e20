// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "entries.h"

#include "encoding.h"

namespace {
const QChar tab = u'\t';
} // namespace

QString classEntry(const QString &className, std::initializer_list<EntryValue> values)
{
    QString entry = QStringLiteral("class ") + className + QStringLiteral(" {") + CrLf;
    for (const EntryValue &line : values)
        entry += tab + QLatin1String(line.key) + line.value + u';' + CrLf;
    entry += tab + QStringLiteral("};") + CrLf + CrLf;
    return entry;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString soundArray(const QString &file, const QString &volume, const QString &pitch)
{
    return QStringLiteral("{\"") + file + QStringLiteral("\", db") + volume + QStringLiteral(", ") +
           pitch + u'}';
}

QString identityEntry(const IdentityValues &v)
{
    return classEntry(v.className, {{"name=", quoted(v.name)},
                                    {"face=", quoted(v.face)},
                                    {"glasses=", quoted(v.glasses)},
                                    {"speaker=", quoted(v.speaker)},
                                    {"pitch=", v.pitch}});
}

QString radioEntry(const RadioValues &v)
{
    return classEntry(v.className, {{"name=", quoted(v.name)},
                                    {"sound[]=", soundArray(v.file, v.volume, v.pitch)},
                                    {"title=", v.title}});
}

QString soundEntry(const SoundValues &v)
{
    return classEntry(v.className, {{"name=", quoted(v.name)},
                                    {"sound[]=", soundArray(v.file, v.volume, v.pitch)},
                                    {"titles[]=", u'{' + v.titles + u'}'}});
}

QString musicEntry(const MusicValues &v)
{
    return classEntry(v.className, {{"name=", quoted(v.name)},
                                    {"sound[]=", soundArray(v.file, v.volume, v.pitch)}});
}
