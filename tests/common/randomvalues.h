// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editordocument.h"
#include "entries.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// Random values a mission maker could type into the form and the entry dialogs, drawn from a
// seed: words, texts, numbers, file names and whole code-box entries made by the entry
// composers, each of a kind the generator writes and the reader reads back unchanged. Shared by
// the property tests of the reader and of opening files.
class RandomValues
{
public:
    explicit RandomValues(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng.bounded(n)); }
    bool coin() { return below(2) == 1; }

    QString word()
    {
        static const QString first = QStringLiteral("abcxyzABCXYZ_");
        static const QString rest = QStringLiteral("abcxyzABCXYZ_0189");
        QString w(first[below(int(first.size()))]);
        for (int i = below(8); i > 0; --i)
            w += rest[below(int(rest.size()))];
        return w;
    }
    // Non-ASCII characters stand alone between ASCII ones, so that the Windows-1252 bytes of a
    // saved file never happen to be valid UTF-8.
    QString text()
    {
        static const QStringList words{
            "Hello", "mission", "é",   "at",     "dawn", "x;y", "{a}",
            "//",    "#1",      "50%", "\\p\\f", "'q'",  "€",   "say \"\"hi\"\""};
        QStringList parts;
        for (int i = below(5); i > 0; --i)
            parts << words[below(int(words.size()))];
        return parts.join(u' ');
    }
    QString number()
    {
        switch (below(5)) {
        case 0:
            return QString::number(below(1000));
        case 1:
            return QString::number(-below(100));
        case 2:
            return QStringLiteral("%1.%2").arg(below(10)).arg(below(100));
        case 3:
            return QStringLiteral("1e%1").arg(below(5));
        default:
            return QStringLiteral("+%1").arg(below(10));
        }
    }
    QString file() { return QStringLiteral("sound\\") + word() + QStringLiteral(".ogg"); }

    QString codeFor(CodeBox box)
    {
        QString code;
        for (int i = below(4); i > 0; --i)
            code += entryFor(box);
        // Hand edits: a comment, a last line without its break.
        if (below(4) == 0)
            code += QStringLiteral("// note ") + word() + QStringLiteral("\r\n");
        if (below(6) == 0)
            code += QStringLiteral("\tclass ") + word() + QStringLiteral(" {};");
        return code;
    }

    QString otherCode()
    {
        static const QStringList pool{
            "// Other code\r\n",
            "/* a block\r\n   comment */\r\n",
            "enableDebugConsole=1;\r\n",
            "respawnTemplates[]={\"Counter\",\"Tickets\"};\r\n",
            "class CfgDebriefing\r\n{\r\n\tclass End1 { title=\"Won\"; };\r\n};\r\n",
            "#include \"dialogs.hpp\"\r\n",
            "#define TITLE \"t\"\r\nbriefingName=TITLE;\r\n",
            "  author=\"me\";   // indented\r\n\r\n\r\n",
        };
        QString code;
        for (int i = 1 + below(4); i > 0; --i)
            code += pool[below(int(pool.size()))];
        // A last line without its break.
        if (coin())
            code += QStringLiteral("class CfgSounds2 {};");
        return code;
    }

private:
    QString entryFor(CodeBox box)
    {
        switch (box) {
        case CodeBox::mainIdentityCode:
            return identityEntry({word(), text(), word(), word(), word(), number()});
        case CodeBox::mainRadioCode:
            return radioEntry({word(), text(), file(), number(), number(), quoted(text())});
        case CodeBox::mainSoundCode:
            return soundEntry({word(), text(), file(), number(), number(),
                               coin() ? QString() : number() + u", "_qs + quoted(text())});
        case CodeBox::mainMusicCode:
            return musicEntry({word(), text(), file(), number(), number()});
        case CodeBox::mainLoadoutWeaponsCode:
        case CodeBox::mainLoadoutMagazinesCode: {
            QList<LoadoutRow> rows;
            for (int i = 1 + below(3); i > 0; --i)
                rows.append({word(), QString::number(below(20)), true});
            return loadoutEntries(rows, rows).weapons;
        }
        case CodeBox::paramsCode:
            return mpParamsEntry({word(), QString::number(below(10)), text(), u"0,1,2"_qs,
                                  quoted(text()) + u", "_qs + quoted(text()), number()});
        case CodeBox::mainOtherCode:
            break;
        }
        return {};
    }

    QRandomGenerator m_rng;
};
