// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "benchsupport.h"
#include "encoding.h"
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <random>

#include "entries.h"

using namespace Qt::StringLiterals;

namespace bench {

namespace {

// Appends `line` and a CR LF, with `depth` TABs before it.
void line(QString &out, int depth, QStringView text)
{
    for (int i = 0; i < depth; ++i)
        out += u'\t';
    out += text;
    out += u"\r\n";
}

QString num(qsizetype n)
{
    return QString::number(n);
}

// One child class of each kind of top-level class, numbered `n`, in the styles real mission
// files mix: comments before and beside values, arrays of numbers and strings, doubled quotes,
// nested classes, one-line classes and preprocessor conditions.
using ChildWriter = void (*)(QString &out, qsizetype n, std::mt19937 &random);

void soundChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"// Played by the trigger at checkpoint "_s + num(n % 40));
    line(out, 1, u"class alarm_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"name = \"Alarm "_s + num(n) + u"\";"_s);
    line(out, 2,
         u"sound[] = {\"sound\\alarm_"_s + num(n) + u".ogg\", db+"_s + num(random() % 12) +
             u", 1.0};"_s);
    line(out, 2, u"titles[] = {0, \"*Alarm*\", 2.5, \"The gate is open.\"};");
    line(out, 1, u"};");
}

void musicChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"class track_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"name = \"Track "_s + num(n) + u"\";"_s);
    line(out, 2, u"sound[] = {\"\\music\\track_"_s + num(n) + u".ogg\", db+0, 1.0};"_s);
    line(out, 2, u"duration = "_s + num(60 + random() % 240) + u"; // seconds"_s);
    line(out, 2, u"musicClass = \"action\";");
    line(out, 1, u"};");
}

void radioChild(QString &out, qsizetype n, std::mt19937 &)
{
    line(out, 1, u"class radio_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"name = \"\";");
    line(out, 2, u"sound[] = {\"\\radio\\msg_"_s + num(n) + u".ogg\", db-100, 1.0};"_s);
    line(out, 2,
         u"title = \"Alpha, this is HQ. Proceed to grid "_s + num(100 + n % 900) + u".\";"_s);
    line(out, 1, u"};");
}

void identityChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"class Identity_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"name = \"Sgt. Miller "_s + num(n) + u"\";"_s);
    line(out, 2, u"face = \"WhiteHead_"_s + num(1 + random() % 20) + u"\";"_s);
    line(out, 2, u"glasses = \"None\";");
    line(out, 2, u"speaker = \"Male01ENG\";");
    line(out, 2, u"pitch = 1."_s + num(random() % 10) + u";"_s);
    line(out, 1, u"};");
}

void paramChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"class Param_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"title = \"Enemy strength "_s + num(n) + u"\";"_s);
    line(out, 2, u"values[] = {0, 1, 2, 3};");
    line(out, 2, u"texts[] = {\"Low\", \"Medium\", \"High\", \"Extreme\"};");
    line(out, 2, u"default = "_s + num(random() % 4) + u";"_s);
    line(out, 2, u"code = \"missionStrength = %1\";");
    line(out, 1, u"};");
}

void weaponChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"class Rifle_"_s + num(n) + u" { count = "_s + num(1 + random() % 8) + u"; };"_s);
}

void debriefingChild(QString &out, qsizetype n, std::mt19937 &random)
{
    if (n % 7 == 0) {
        line(out, 1, u"/* Endings for the second act: the convoy either reaches the harbour");
        line(out, 1, u"   or is stopped at the bridge. */");
    }
    line(out, 1, u"class End"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"title = \"Mission accomplished\";");
    line(out, 2, u"subtitle = \"\";");
    line(out, 2,
         u"description = \"The convoy reached \"\"Harbour "_s + num(n) + u"\"\" intact.\";"_s);
    line(out, 2, u"picture = \"b_inf\";");
    line(out, 2, u"pictureColor[] = {0.0, 0.3, 0.6, 1};");
    line(out, 2, u"score = "_s + num(random() % 1000) + u";"_s);
    line(out, 1, u"};");
}

void notificationChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 0, u"#ifdef USE_NOTIFICATIONS");
    line(out, 1, u"class Task"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"title = \"%1\";");
    line(out, 2,
         u"iconPicture = \"\\a3\\ui_f\\data\\igui\\cfg\\simpletasks\\types\\attack_ca.paa\";");
    line(out, 2, u"description = \"%2\";");
    line(out, 2, u"priority = "_s + num(random() % 10) + u";"_s);
    line(out, 2, u"duration = 5;");
    line(out, 1, u"};");
    line(out, 0, u"#endif");
}

void orbatChild(QString &out, qsizetype n, std::mt19937 &random)
{
    line(out, 1, u"class Company_"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"id = "_s + num(n) + u";"_s);
    line(out, 2, u"side = \"West\";");
    line(out, 2, u"size = \"Company\";");
    line(out, 2, u"type = \"Infantry\";");
    line(out, 2, u"commander = \"Johnson\"; // the player's company");
    line(out, 2, u"text = \"%1 Company\";");
    line(out, 2, u"color[] = {0, 0.3, 0.6, 1};");
    line(out, 2, u"class Platoon_1 { id = 1; side = \"West\"; size = \"Platoon\"; };");
    line(out, 2, u"class Platoon_2");
    line(out, 2, u"{");
    line(out, 3, u"id = 2;");
    line(out, 3, u"size = \"Platoon\";");
    line(out, 3, u"type = \"Armored\";");
    line(out, 3, u"strength = "_s + num(random() % 40) + u";"_s);
    line(out, 3, u"description = \"Attached from the 2nd battalion\";");
    line(out, 2, u"};");
    line(out, 1, u"};");
}

void hintChild(QString &out, qsizetype n, std::mt19937 &)
{
    line(out, 1, u"class Topic"_s + num(n));
    line(out, 1, u"{");
    line(out, 2, u"displayName = QUOTE(Topic "_s + num(n) + u");"_s);
    line(out, 2, u"class Hint");
    line(out, 2, u"{");
    line(out, 3, u"displayName = \"Reaching the harbour\";");
    line(out, 3, u"description = \"Press %11 to open the map.\";");
    line(out, 3, u"tip = \"The bridge is guarded at night.\";");
    line(out, 3, u"arguments[] = {{\"Map\"}, {{\"M\"}}};");
    line(out, 2, u"};");
    line(out, 1, u"};");
}

struct Section
{
    const char16_t *name;
    ChildWriter child;
    // The share of the file's characters, in percent.
    int share;
};

// The form's sections and what the Other box holds, in the proportions of joined real files:
// the Other box receives about half of the text.
constexpr Section Sections[] = {
    {u"CfgIdentities", identityChild, 8},
    {u"CfgRadio", radioChild, 8},
    {u"CfgSounds", soundChild, 14},
    {u"CfgMusic", musicChild, 8},
    {u"Weapons", weaponChild, 2},
    {u"Params", paramChild, 8},
    {u"CfgDebriefing", debriefingChild, 14},
    {u"CfgNotifications", notificationChild, 12},
    {u"CfgORBAT", orbatChild, 14},
    {u"CfgHints", hintChild, 12},
};

} // namespace

QString realisticText(qsizetype characters)
{
    QString out;
    out.reserve(characters + 4096);
    std::mt19937 random(20261207);
    for (const char16_t *l :
         {u"/*",
          u" * Operation Lantern: description.ext",
          u" * Joined from the missions of the",
          u" * second campaign; edit the sections in the editor, the rest by hand.",
          u" */",
          u"#define USE_NOTIFICATIONS",
          u"#define QUOTE(x) #x",
          u"",
          u"onLoadName = \"Operation Lantern\";",
          u"onLoadMission = \"Hold the harbour until dawn.\"; // shown while loading",
          u"author = \"Mission Maker\";",
          u"respawn = \"BASE\";",
          u"respawnDelay = 20;",
          u"respawnDialog = true;",
          u"showGPS = 1;",
          u"showCompass = 1;",
          u"disabledAI = 1;",
          u"",
          u"class Header",
          u"{",
          u"\tgameType = Coop;",
          u"\tminPlayers = 1;",
          u"\tmaxPlayers = 32;",
          u"};",
          u""})
        line(out, 0, l);
    const qsizetype body = characters - out.size();
    qsizetype n = 0;
    for (const Section &section : Sections) {
        const qsizetype end = out.size() + body * section.share / 100 - 8;
        line(out, 0, u"class "_s + QString::fromUtf16(section.name));
        line(out, 0, u"{");
        while (out.size() < end)
            section.child(out, n++, random);
        line(out, 0, u"};");
        line(out, 0, u"");
    }
    return out;
}

QString oneEntry(int number)
{
    const QString n = QString::number(number);
    return soundEntry({QStringLiteral("sound") + n, QStringLiteral("Sound ") + n,
                       QStringLiteral("sound") + n + QStringLiteral(".ogg"), QStringLiteral("0"),
                       QStringLiteral("1.0"), QString()});
}

QString entryText(qsizetype characters, int firstNumber)
{
    QString text;
    text.reserve(characters + 256);
    for (int n = firstNumber;; ++n) {
        const QString entry = oneEntry(n);
        if (text.size() + entry.size() > characters)
            break;
        text += entry;
    }
    return text;
}

void fillCodeBoxes(EditorDocument &document, qsizetype characters)
{
    const qsizetype perBox = characters / CodeBoxCount;
    for (int i = 0; i < CodeBoxCount; ++i)
        document.setCode(CodeBox(i), entryText(perBox, i * 1000000));
}

qsizetype codeBoxCharacters(const EditorDocument &document)
{
    qsizetype total = 0;
    for (int i = 0; i < CodeBoxCount; ++i)
        total += document.code(CodeBox(i)).size();
    return total;
}

EditorDocument &largeDocument()
{
    static EditorDocument *document = [] {
        auto *d = new EditorDocument;
        fillCodeBoxes(*d, LargeText);
        return d;
    }();
    return *document;
}

const QByteArray &largeFileBytes()
{
    static const QByteArray bytes = descriptionFileBytes(largeDocument().create()).bytes;
    return bytes;
}

const QString &largeFilePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("description.ext"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(largeFileBytes()) != largeFileBytes().size())
            std::abort();
        return p;
    }();
    return path;
}

const QString &realisticFileText()
{
    static const QString text = realisticText(LargeText);
    return text;
}

const QString &realisticFilePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("description.ext"));
        const QByteArray bytes = realisticFileText().toUtf8();
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
        return p;
    }();
    return path;
}

QString oneLineText(OneLine shape, qsizetype characters)
{
    QString text;
    text.reserve(characters + 16);
    if (shape == OneLine::QuotedValue) {
        text = u"x = \""_s;
        text += QString(std::max<qsizetype>(0, characters - 8), u'a');
        text += u"\";"_s;
    } else {
        const bool lines = shape == OneLine::EntryLines;
        for (int i = 0; text.size() < characters - 2; ++i) {
            text += u"a%1=1;"_s.arg(i);
            if (lines)
                text += u"\r\n"_s;
        }
        if (lines)
            text.chop(2);
    }
    text += u"\r\n"_s;
    return text;
}

const QString &oneLineFilePath(OneLine shape)
{
    static QTemporaryDir dir;
    static QString paths[3];
    QString &path = paths[int(shape)];
    if (path.isEmpty()) {
        path = dir.filePath(u"%1.ext"_s.arg(int(shape)));
        const QByteArray bytes = oneLineText(shape, LargeText).toUtf8();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    return path;
}

} // namespace bench
