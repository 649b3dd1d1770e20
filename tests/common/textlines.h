#pragma once

#include <QString>
#include <QStringList>

// Builds an expected text from its lines: every line followed by CR LF, as the editor
// writes them. Golden tests spell out whole files this way.
inline QString crlfLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

// `count` empty lines, for runs of group separators.
inline QStringList emptyLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QString();
    return lines;
}
