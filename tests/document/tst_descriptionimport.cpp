// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "configreader.h"
#include "descriptionimport.h"
#include "documentorigin.h"
#include "editordocument.h"
#include "encoding.h"
#include "entries.h"
#include "formmapping.h"
#include "generator.h"
#include "linediff.h"
#include "randomvalues.h"
#include "textcodec.h"
#include "textlines.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using config::Entry;
using config::EntryKind;
using config::Value;
using config::ValueKind;

namespace {

using Values = RandomValues;

// A document the form can hold: every value that the file does not show (a field whose
// switch is off, say) is still at its start value, as after opening a file.
void fillRandomly(EditorDocument &doc, Values &v)
{
    doc.applyStartUp();
    const auto maybeText = [&](Switch s, Field f) {
        doc.setSwitch(s, v.coin());
        if (doc.isChecked(s))
            doc.setText(f, v.text());
    };
    maybeText(Switch::introStringEnabled, Field::introString);
    maybeText(Switch::missionStringEnabled, Field::missionString);
    for (Switch s : {Switch::introTimeEnabled, Switch::missionTimeEnabled, Switch::disabledaiCheck,
                     Switch::gpsCheck, Switch::compassCheck, Switch::watchCheck, Switch::mapCheck,
                     Switch::notepadCheck, Switch::briefingCheck, Switch::debriefingCheck})
        doc.setSwitch(s, v.coin());
    if (v.coin()) {
        doc.setSwitch(Switch::scoreEnabled, 1);
        for (Field f : {Field::minScoreText, Field::avgScoreText, Field::maxScoreText})
            doc.setText(f, v.number());
    }
    for (auto [s, boxes] : {std::pair{Switch::mainIdentityActive, QList{CodeBox::mainIdentityCode}},
                            {Switch::mainRadioActive, {CodeBox::mainRadioCode}},
                            {Switch::mainSoundActive, {CodeBox::mainSoundCode}},
                            {Switch::mainMusicActive, {CodeBox::mainMusicCode}},
                            {Switch::mainLoadoutActive,
                             {CodeBox::mainLoadoutWeaponsCode, CodeBox::mainLoadoutMagazinesCode}},
                            {Switch::paramsActive, {CodeBox::paramsCode}}}) {
        if (!v.coin())
            continue;
        doc.setSwitch(s, 1);
        for (CodeBox box : boxes)
            doc.setCode(box, v.codeFor(box));
    }
    if (v.coin()) {
        doc.setSwitch(Switch::respawnActive, 1);
        switch (v.below(4)) {
        case 0:
            doc.setText(Field::typeValue, QStringLiteral("COOP"));
            break;
        case 1:
            doc.setText(Field::typeValue, quoted(v.word()));
            break;
        case 2:
            doc.setText(Field::typeValue, v.number());
            break;
        default:
            break; // left empty, as after start-up
        }
        if (v.coin())
            doc.setText(Field::minPlayersValue, v.number());
        if (v.coin())
            doc.setText(Field::maxPlayersValue, v.number());
        if (v.coin()) {
            doc.setSwitch(Switch::respawnCheck, 1);
            doc.setRespawnMode(RespawnMode(v.below(RespawnModeCount)));
        }
        if (v.coin()) {
            doc.setSwitch(Switch::delayCheck, 1);
            doc.setText(Field::delayText, v.number());
        }
        if (v.coin()) {
            doc.setSwitch(Switch::vehicleDelayCheck, 1);
            doc.setText(Field::vehicleDelayText, v.number());
        }
        doc.setSwitch(Switch::dialogCheck, v.coin());
    }
    if (v.coin()) {
        doc.setSwitch(Switch::mainOtherActive, 1);
        doc.setCode(CodeBox::mainOtherCode, v.otherCode());
    }
}

QString dataDir()
{
    return testDataPath(QStringLiteral("open"));
}

// The bytes saving writes for `doc` after Create, as the preview does for an opened file.
QByteArray saved(EditorDocument &doc)
{
    const QString text = doc.create();
    return doc.origin() ? doc.origin()->encode(text).bytes : descriptionFileBytes(text).bytes;
}

// A text with random damage: characters deleted or inserted, lines doubled or swapped.
QString mutated(QString text, Values &v)
{
    static const QString inserts = QStringLiteral("{};\"=#/*\n a1[],:+\\\r");
    for (int i = 1 + v.below(4); i > 0; --i) {
        const int at = v.below(int(text.size()) + 1);
        switch (v.below(4)) {
        case 0:
            text.remove(at, 1 + v.below(3));
            break;
        case 1:
            text.insert(at, inserts[v.below(int(inserts.size()))]);
            break;
        default: {
            QStringList lines = text.split(u'\n');
            const int a = v.below(int(lines.size()));
            const int b = v.below(int(lines.size()));
            if (v.coin())
                lines.insert(a, lines[b]);
            else
                lines.swapItemsAt(a, b);
            text = lines.join(u'\n');
            break;
        }
        }
    }
    return text;
}

QByteArray fileBytes(const QString &name)
{
    QFile f(QDir(dataDir()).filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file of the test data, and the same texts in the other encodings and line ends.
QList<std::pair<QString, QByteArray>> sampleFiles()
{
    QList<std::pair<QString, QByteArray>> files;
    for (const QString &name : QDir(dataDir()).entryList({u"*.ext"_qs}, QDir::Files))
        files.append({name, fileBytes(name)});
    const QString cyrillic = QString::fromUtf8(fileBytes(u"cyrillic.ext"_qs));
    files.append({u"cyrillic, UTF-16 LE"_qs,
                  config::encodeText(cyrillic, config::TextEncoding::Utf16LE).bytes});
    files.append({u"cyrillic, UTF-16 BE"_qs,
                  config::encodeText(cyrillic, config::TextEncoding::Utf16BE).bytes});
    QString crlf = QString::fromUtf8(fileBytes(u"header-comments.ext"_qs));
    crlf.replace(u"\n"_qs, u"\r\n"_qs);
    files.append({u"header-comments, CR LF"_qs, crlf.toUtf8()});
    return files;
}

} // namespace

class tst_DescriptionImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Opening a file and saving it without an edit writes the very same bytes: for the sample
    // files in every encoding and line end, for generated documents, and for seeded damage of
    // both.
    void noEditNoChange()
    {
        QList<std::pair<QString, QByteArray>> files = sampleFiles();
        constexpr int Generated = 300;
        for (int seed = 1; seed <= Generated; ++seed) {
            Values v{quint32(seed)};
            EditorDocument original;
            fillRandomly(original, v);
            files.append({QStringLiteral("generated %1").arg(seed),
                          descriptionFileBytes(original.create()).bytes});
        }
        const qsizetype whole = files.size();
        for (qsizetype i = 0; i < whole; ++i) {
            Values v{quint32(i + 1)};
            const config::DecodedText decoded = config::decodeText(files[i].second);
            for (int m = 0; m < 5; ++m) {
                const QByteArray bytes =
                    config::encodeText(mutated(decoded.text, v), decoded.encoding).bytes;
                files.append({files[i].first + QStringLiteral(", damaged %1").arg(m), bytes});
            }
        }
        int checked = 0;
        for (const auto &[name, bytes] : files) {
            EditorDocument doc;
            const OpenResult opened = openDescriptionBytes(doc, bytes, u"x.ext"_qs);
            if (!opened)
                continue; // damage made it empty or binary
            ++checked;
            const QByteArray again = saved(doc);
            if (again != bytes) {
                qWarning().noquote() << QString::fromUtf8(bytes) << "\n--- saved ---\n"
                                     << QString::fromUtf8(again);
                QFAIL(qPrintable(name));
            }
        }
        qInfo("%d files opened and saved again byte for byte", checked);
        QVERIFY(checked > whole * 5);
    }

    // One edit of one control changes the saved file only where that control's setting or
    // class body stands, and opening the saved file gives the edited value.
    void anEditChangesOnlyItsText()
    {
        const QList<std::pair<QString, QByteArray>> files = sampleFiles();
        constexpr int Edits = 400;
        int changedFiles = 0;
        for (int seed = 1; seed <= Edits; ++seed) {
            Values v{quint32(seed)};
            const auto &[name, bytes] = files[v.below(int(files.size()))];
            EditorDocument doc;
            QVERIFY(openDescriptionBytes(doc, bytes, u"x.ext"_qs));
            const QString before = doc.create();

            // The edit, and the key or class whose lines it may change.
            QString key;
            QString edit;
            const SettingRow &row = settingRows()[v.below(int(settingRows().size()))];
            switch (v.below(3)) {
            case 0:
                if (row.field && doc.isChecked(row.sw)) {
                    doc.setText(*row.field, v.number());
                } else if (row.style == ValueStyle::RespawnMode && doc.isChecked(row.sw)) {
                    doc.setRespawnMode(RespawnMode(v.below(RespawnModeCount)));
                } else if (!row.field && row.sw != Switch::respawnActive && doc.isEnabled(row.sw)) {
                    doc.setSwitch(row.sw, !doc.isChecked(row.sw));
                } else {
                    continue;
                }
                key = QString::fromUtf16(row.key);
                edit = QStringLiteral("%1 in %2").arg(key, name);
                break;
            case 1: {
                const SectionRow &section = sectionRows()[v.below(int(sectionRows().size()))];
                if (!doc.isChecked(section.sw))
                    continue;
                doc.appendCode(section.box, QStringLiteral("class added%1 {};\r\n").arg(seed));
                key = QStringLiteral("class added%1").arg(seed);
                edit =
                    QStringLiteral("code of %1 in %2").arg(QString::fromUtf16(section.name), name);
                break;
            }
            default:
                continue;
            }
            const QString after = doc.create();
            if (after == before)
                continue;
            ++changedFiles;
            // Exactly one line changed, and it is the setting's (or the added class); an item
            // whose class the file lacks (class Header, a section) comes as one new block.
            const std::vector<TextLine> a = splitLines(before);
            const std::vector<TextLine> b = splitLines(after);
            const std::vector<DiffStep> steps = diffLines(a, b);
            const QString context = edit + u'\n' + unifiedDiff(a, b, steps);
            QString inserted;
            QString deleted;
            int runs = 0;
            bool onlyInserted = true;
            DiffOp last = DiffOp::Keep;
            for (const DiffStep &s : steps) {
                if (s.op != DiffOp::Keep && last == DiffOp::Keep)
                    ++runs;
                last = s.op;
                onlyInserted = onlyInserted && s.op != DiffOp::Delete;
                if (s.op == DiffOp::Insert)
                    inserted += b[std::size_t(s.after)].text.toString() + u'\n';
                else if (s.op == DiffOp::Delete)
                    deleted += a[std::size_t(s.before)].text.toString() + u'\n';
            }
            QVERIFY2(runs == 1, qPrintable(context));
            if (changedLineCount(steps) > 1)
                QVERIFY2(onlyInserted && inserted.startsWith(u"class "_qs), qPrintable(context));
            QVERIFY2((inserted + deleted).contains(key, Qt::CaseInsensitive), qPrintable(context));
            // The saved file opens with the edited form, and saves unchanged again.
            EditorDocument reopened;
            const QByteArray savedBytes = saved(doc);
            QVERIFY(openDescriptionBytes(reopened, savedBytes, u"x.ext"_qs));
            QCOMPARE(saved(reopened), savedBytes);
            if (row.field && key == QString::fromUtf16(row.key))
                QCOMPARE(reopened.text(*row.field), doc.text(*row.field));
        }
        qInfo("%d single edits, each one changed line or one new class", changedFiles);
        QVERIFY(changedFiles > Edits / 4);
    }

    // A setting the file lacks shows the game's default, and nothing is written for it unless
    // the user changes it; switching it on or off writes its line.
    void notSet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Switch>("control");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("afterToggle");
        // Whether toggling back gives the file again (switching an OnLoad text off empties it).
        QTest::addColumn<bool>("reversible");
        const QString base = u"author = \"x\";\nclass Header { gameType = Coop; };\n"_qs;
        QTest::newRow("map shown by default")
            << base << Switch::mapCheck << 1
            << u"author = \"x\";\nshowMap = 0;\nclass Header { gameType = Coop; };\n"_qs << true;
        QTest::newRow("briefing next to the accessories")
            << u"ShowGPS = 0;\nauthor = 1;\n"_qs << Switch::briefingCheck << 1
            << u"ShowGPS = 0;\nbriefing = 0;\nauthor = 1;\n"_qs << true;
        QTest::newRow("disabledAI off by default")
            << u"showMap = 1;\n"_qs << Switch::disabledaiCheck << 0
            << u"disabledAI = 1;\nshowMap = 1;\n"_qs << true;
        QTest::newRow("set value switched off keeps its style")
            << u"disabledAI = true; // no AI\n"_qs << Switch::disabledaiCheck << 1
            << u"disabledAI = false; // no AI\n"_qs << true;
        QTest::newRow("respawn dialog on by default, off written")
            << base << Switch::dialogCheck << 1
            << u"author = \"x\";\nclass Header { gameType = Coop; };\nrespawnDialog = 0;\n"_qs
            << true;
        QTest::newRow("respawn off removes its line")
            << u"class Header { gameType = Coop; };\nrespawn = \"BASE\";\nrespawnDelay = 5;\n"_qs
            << Switch::respawnCheck << 1
            << u"class Header { gameType = Coop; };\nrespawnDelay = 5;\n"_qs << true;
        QTest::newRow("OnLoad text off removes its line")
            << u"// top\nOnLoadIntro = \"Hi\"; // greeting\nbriefing = 1;\n"_qs
            << Switch::introStringEnabled << 1 << u"// top\nbriefing = 1;\n"_qs << false;
        QTest::newRow("the MP switch alone sets nothing")
            << u"// Mission\nauthor = \"x\";\n"_qs << Switch::respawnActive << 0
            << u"// Mission\nauthor = \"x\";\n"_qs << true;
    }
    void notSet()
    {
        QFETCH(QString, text);
        QFETCH(Switch, control);
        QFETCH(int, shown);
        QFETCH(QString, afterToggle);
        QFETCH(bool, reversible);
        EditorDocument doc;
        QVERIFY(openDescriptionBytes(doc, text.toUtf8(), u"x.ext"_qs));
        QCOMPARE(doc.value(control), shown);
        QCOMPARE(doc.create(), text);
        doc.setSwitch(control, !shown);
        QCOMPARE(doc.create(), afterToggle);
        // Back as it was: no change.
        doc.setSwitch(control, shown);
        if (reversible)
            QCOMPARE(doc.create(), text);
    }

    // A line the editor adds to an opened file looks like the file's own (space around "=",
    // how it writes on and off) and never comes between a comment and what the comment
    // labels; a Header added to a file holds just what the user set.
    void addedLinesFollowTheFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("saved");
        QTest::newRow("header with the game type alone")
            << u"// Mission\nauthor = \"x\";\n"_qs << u"gameType"_qs
            << u"// Mission\nclass Header\n{\n\tgameType = Coop;\n};\nauthor = \"x\";\n"_qs;
        QTest::newRow("TRUE as the file writes it, with its spacing")
            << u"author=\"x\";\nshowMap =  0;\n"_qs << u"disabledAI"_qs
            << u"author=\"x\";\ndisabledAI =  1;\nshowMap =  0;\n"_qs;
        QTest::newRow("above the comment of the next line")
            << u"// Respawn at the base\n// after 5 s\nrespawn = 3;\n"_qs << u"disabledAI"_qs
            << u"disabledAI = TRUE;\n// Respawn at the base\n// after 5 s\nrespawn = 3;\n"_qs;
        QTest::newRow("words for booleans")
            << u"class Header { gameType = Coop; };\nshowGPS = false;\n"_qs << u"disabledAI"_qs
            << u"class Header { gameType = Coop; };\ndisabledAI = true;\nshowGPS = false;\n"_qs;
    }
    void addedLinesFollowTheFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, edit);
        QFETCH(QString, saved);
        EditorDocument doc;
        QVERIFY(openDescriptionBytes(doc, text.toUtf8(), u"x.ext"_qs));
        if (edit == u"gameType") {
            doc.setSwitch(Switch::respawnActive, 1);
            doc.setText(Field::typeValue, u"Coop"_qs);
        } else {
            doc.setSwitch(Switch::disabledaiCheck, 1);
        }
        QCOMPARE(doc.create(), saved);
    }

    // A setting set twice: the form holds the last line, which the game uses, the earlier one
    // stays in Other, and the report says so; an edit changes the last line only.
    void setTwiceShowsTheLast()
    {
        const QString text = u"respawnDelay = 5;\nrespawn = 3;\nrespawnDelay = 20; // later\n"_qs;
        EditorDocument doc;
        const OpenResult opened = openDescriptionBytes(doc, text.toUtf8(), u"x.ext"_qs);
        QVERIFY(opened);
        QCOMPARE(doc.text(Field::delayText), u"20"_qs);
        QCOMPARE(opened->setMoreThanOnce.size(), std::size_t(1));
        QCOMPARE(QString::fromUtf16(opened->setMoreThanOnce.front()->key), u"respawnDelay"_qs);
        QCOMPARE(opened->keptAsWritten.value(0).line, 1);
        QVERIFY(opened->keptAsWritten.value(0).text.contains(u"line 3"_qs));
        QCOMPARE(doc.code(CodeBox::mainOtherCode), u"respawnDelay = 5;\r\n"_qs);
        doc.setText(Field::delayText, u"30"_qs);
        QCOMPARE(doc.create(),
                 u"respawnDelay = 5;\nrespawn = 3;\nrespawnDelay = 30; // later\n"_qs);
    }

    // Other shows what the form does not hold, in file order; an edited line lands in the gap
    // between form settings where it stood, a new line in the gap of the line before it.
    void otherKeepsItsPlaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("saved");
        const QString text =
            u"a = 1;\nshowMap = 1;\nb = 2;\nclass Header { gameType = Coop; };\n"_qs
            u"c = 3;\n"_qs;
        const QString other = u"a = 1;\r\nb = 2;\r\nc = 3;\r\n"_qs;
        QTest::newRow("changed line") << text << other << u"a = 1;\r\nb = 20;\r\nc = 3;\r\n"_qs
                                      << QString(text).replace(u"b = 2;"_qs, u"b = 20;"_qs);
        QTest::newRow("inserted at a boundary goes to the earlier gap")
            << text << other << u"a = 1;\r\nb = 2;\r\nd = 4;\r\nc = 3;\r\n"_qs
            << QString(text).replace(u"b = 2;\n"_qs, u"b = 2;\nd = 4;\n"_qs);
        QTest::newRow("inserted at the top")
            << text << other << u"z = 0;\r\na = 1;\r\nb = 2;\r\nc = 3;\r\n"_qs
            << u"z = 0;\n"_qs + text;
        QTest::newRow("deleted line")
            << text << other << u"a = 1;\r\nc = 3;\r\n"_qs << QString(text).remove(u"b = 2;\n"_qs);
        QTest::newRow("appended without a final break")
            << text << other << u"a = 1;\r\nb = 2;\r\nc = 3;\r\ne = 5;"_qs << text + u"e = 5;"_qs;
    }
    void otherKeepsItsPlaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, other);
        QFETCH(QString, edited);
        QFETCH(QString, saved);
        EditorDocument doc;
        QVERIFY(openDescriptionBytes(doc, text.toUtf8(), u"x.ext"_qs));
        QCOMPARE(doc.code(CodeBox::mainOtherCode), other);
        doc.setCode(CodeBox::mainOtherCode, edited);
        QCOMPARE(doc.create(), saved);
    }

    // A text box knows one line break; the file keeps each kept line's own, and new lines get
    // the file's usual one.
    void lineEndsAreRestored_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("restored");
        QTest::newRow("unchanged, mixed")
            << u"a\r\nb\nc\r"_qs << u"a\nb\nc\n"_qs << u"a\r\nb\nc\r"_qs;
        QTest::newRow("line inserted")
            << u"a\nb\n"_qs << u"a\u2029x\u2029b\u2029"_qs << u"a\nx\r\nb\n"_qs;
        QTest::newRow("last line without a break stays so")
            << u"a\r\nb"_qs << u"a\nb"_qs << u"a\r\nb"_qs;
        QTest::newRow("line added after a last line without a break")
            << u"a\nb"_qs << u"a\nb\nc"_qs << u"a\nb\r\nc"_qs;
        QTest::newRow("everything new") << QString() << u"x\ny\n"_qs << u"x\r\ny\r\n"_qs;
    }
    void lineEndsAreRestored()
    {
        QFETCH(QString, original);
        QFETCH(QString, edited);
        QFETCH(QString, restored);
        QCOMPARE(restoreLineEnds(original, edited, u"\r\n"), restored);
    }

    // Texts with nothing in common beyond the search limit still diff: the middle is replaced
    // whole, and every line is accounted for.
    void diffOfUnrelatedTexts()
    {
        QString a, b;
        for (int i = 0; i < 3000; ++i) {
            a += QStringLiteral("a%1\n").arg(i);
            b += QStringLiteral("b%1\n").arg(i);
        }
        a = u"same\n"_qs + a + u"end\n"_qs;
        b = u"same\n"_qs + b + u"end\n"_qs;
        const std::vector<TextLine> before = splitLines(a);
        const std::vector<TextLine> after = splitLines(b);
        const std::vector<DiffStep> steps = diffLines(before, after);
        QCOMPARE(changedLineCount(steps), 3000);
        QCOMPARE(restoreLineEnds(a, b, u"\n"), b);
    }

    // How much of a file has a control (in the form, or in Mission settings and Endings and
    // notifications for what stays in Other), and what stays as written and why.
    void report_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("kept");
        QTest::newRow("handwritten")
            << u"handwritten.ext"_qs << u"17 of 17 top-level entries have a control"_qs
            << u"\n3 settings in Other have a control in Mission settings.\n"
               u"1 class in Other has a control in Endings and notifications."_qs;
        QTest::newRow("header with comments and includes")
            << u"header-comments.ext"_qs << u"13 of 15 top-level entries have a control"_qs
            << u"\n6 settings in Other have a control in Mission settings."_qs;
        // Both sections of CfgRemoteExec count once; written twice, it has no control.
        QTest::newRow("remote execution")
            << u"remoteexec-once.ext"_qs << u"2 of 2 top-level entries have a control"_qs
            << u"\nclass CfgRemoteExec in Other has a control in Remote execution."_qs;
        // Functions and remote execution each count once, each in its own window.
        QTest::newRow("functions and remote execution")
            << u"functions-remoteexec.ext"_qs << u"2 of 2 top-level entries have a control"_qs
            << u"\nclass CfgFunctions in Other has a control in Functions.\n"
               u"class CfgRemoteExec in Other has a control in Remote execution."_qs;
        QTest::newRow("remote execution twice")
            << u"remoteexec.ext"_qs << u"1 of 3 top-level entries have a control"_qs
            << u"Read as UTF-8."_qs;
        QTest::newRow("inside #ifdef")
            << u"preprocessor.ext"_qs << u"6 of 25 top-level entries have a control"_qs
            << u"it stands inside an #if block"_qs;
        QTest::newRow("functions")
            << u"../missions/complete/description.ext"_qs
            << u"10 of 11 top-level entries have a control"_qs
            << u"\nclass CfgFunctions in Other has a control in Functions."_qs;
        QTest::newRow("functions made by macros")
            << u"../missions/macros/description.ext"_qs
            << u"1 of 5 top-level entries have a control"_qs
            << u"0 sections into code boxes.\n\nKept as written"_qs; // no line of Functions
    }
    void report()
    {
        QFETCH(QString, file);
        QFETCH(QString, summary);
        QFETCH(QString, kept);
        EditorDocument doc;
        const OpenResult opened = openDescriptionBytes(doc, fileBytes(file), file);
        QVERIFY(opened);
        const QString text = opened->text();
        QVERIFY2(text.startsWith(summary + u"; the rest stays as written."_qs), qPrintable(text));
        QVERIFY2(text.contains(kept), qPrintable(text));
        QVERIFY(!text.contains(u"Added by the form"_qs));
    }

    // Opening a file from its folder reports the problems inside the files it includes, named
    // from that folder with the line that includes them; what they set never fills the form.
    void reportNamesProblemsInIncludedFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(u"inc"_qs));
        auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        QVERIFY(write(u"description.ext"_qs,
                      "onLoadName = \"Alarm\";\n#include \"inc\\Sounds.hpp\"\n"
                      "#include \"gone.hpp\"\n"));
        QVERIFY(write(u"inc/sounds.hpp"_qs, "respawn = 3;\nx = 1 y = 2;\n"));
        EditorDocument doc;
        const OpenResult opened = openDescriptionFile(doc, dir.filePath(u"description.ext"_qs));
        QVERIFY(opened);
        const QString text = opened->text();
        QVERIFY2(text.contains(u"\n  inc/sounds.hpp line 2 (included on line 2): error: expected "
                               "';' after the value, found 'y'\n"_qs),
                 qPrintable(text));
        QVERIFY2(text.contains(u"\n  line 3: warning: included file 'gone.hpp' not found"_qs),
                 qPrintable(text));
        QCOMPARE(FormSnapshot::of(doc),
                 importDescription(DescriptionText{{}, doc.origin()->text}).snapshot);
    }

    // Text the reader cannot make sense of still opens: it goes to Other as it stands, and the
    // report names the problems with their lines.
    void unreadablePartsGoToOther()
    {
        const QString text = u"briefing=1;\nclass A { x = ; y 1; };\nshowMap = 1\n}\n"_qs
                             u"class CfgSounds { sounds[] = {}; class s { a = 1 2 3; }; \n"_qs;
        const ImportResult result = importDescription(text, u"broken.ext"_qs);
        const ImportReport &report = result.report;
        QVERIFY(!report.problems.isEmpty());
        QVERIFY(report.unreadBlocks >= 1);
        const QString other = result.snapshot.codes[int(CodeBox::mainOtherCode)];
        // Every character of the file except the settings the form took is in Other.
        QString rest = text;
        rest.remove(u"briefing=1;"_qs);
        rest.remove(u"showMap = 1"_qs);
        QCOMPARE(QString(other).remove(QRegularExpression(u"\\s"_qs)),
                 rest.remove(QRegularExpression(u"\\s"_qs)));
        const QString full = report.text();
        QVERIFY2(full.contains(u"could not be read stay"_qs), qPrintable(full));
        for (const config::Diagnostic &d : report.problems) {
            QVERIFY2(full.contains(QStringLiteral("line %1: ").arg(d.position.line) +
                                   (d.severity == config::Severity::Error     ? u"error: "_qs
                                    : d.severity == config::Severity::Warning ? u"warning: "_qs
                                                                              : u"note: "_qs) +
                                   d.message),
                     qPrintable(full));
        }
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("note");

        QTest::newRow("ASCII") << QByteArray("a=1;\r\n") << u"a=1;\r\n"_qs << u"Read as UTF-8"_qs;
        QTest::newRow("UTF-8") << QByteArray("t=\"\xC3\xA9\xE2\x82\xAC\";") << u"t=\"é€\";"_qs
                               << u"Read as UTF-8"_qs;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBFt=\"\xC3\xA9\";") << u"t=\"é\";"_qs
            << u"Read as UTF-8 with byte order mark"_qs;
        QTest::newRow("Windows-1252") << QByteArray("t=\"\xE9\x80 \x93\";") << u"t=\"é€ “\";"_qs
                                      << u"Read as Windows-1252"_qs;
        QTest::newRow("UTF-8 with one stray Windows-1252 byte")
            << QByteArray("t=\"\xC3\xA9t\xE9 \xD0\x96\";") << u"t=\"été Ж\";"_qs
            << u"Read as UTF-8"_qs;
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE"
                                                 "b\0=\0"
                                                 "1\0;\0",
                                                 10)
                                   << u"b=1;"_qs << u"Read as UTF-16 LE"_qs;
        QTest::newRow("a few control characters")
            << QByteArray("a=1; b=2; c=3;\x1A\r\n\x0C") << u"a=1; b=2; c=3;\x1A\r\n\x0C"_qs
            << u"Read as UTF-8"_qs;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, note);
        const auto decoded = decodeDescriptionFile(bytes, u"x.ext"_qs);
        QVERIFY2(decoded, qPrintable(decoded.why()));
        QCOMPARE(decoded->text, text);
        EditorDocument doc;
        const OpenResult result = openDescriptionBytes(doc, bytes, u"x.ext"_qs);
        QCOMPARE(result->encodingNote(), note);
        // Unchanged, the file is written back as it was read, whether its bytes were kept or
        // are made again from its text.
        QCOMPARE(doc.origin()->encode(doc.origin()->text).bytes, bytes);

        // Saved as plain ASCII and read back as the editor does after a save, the file keeps
        // its encoding: a later "é" is written in it, not guessed anew.
        const config::TextEncoding encoding = doc.origin()->encoding;
        const QByteArray saved = doc.origin()->encode(u"a=1;\r\n"_qs).bytes;
        EditorDocument reopened;
        QVERIFY(applyOpened(reopened, openSavedDescription(saved, encoding, u"x.ext"_qs)));
        QCOMPARE(reopened.origin()->encoding, encoding);
        QCOMPARE(reopened.origin()->encode(u"t=\"é\";"_qs).bytes,
                 config::encodeText(u"t=\"é\";"_qs, encoding).bytes);
    }

    // An empty file is a description not yet begun: it opens, and saved without an edit it
    // stays empty, whatever is switched on.
    void emptyFileOpens()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"description.ext"_qs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        EditorDocument doc;
        doc.applyStartUp();
        const OpenResult result = openDescriptionFile(doc, path);
        QVERIFY2(result, qPrintable(result.why()));
        QVERIFY(doc.origin());
        QCOMPARE(doc.create(), QString());
        QCOMPARE(doc.origin()->encode(doc.create()).bytes, QByteArray());
        // Its Other box is empty too: switching Other on (as Mission Settings does when it
        // adds a setting) writes no placeholder comment into the file.
        QCOMPARE(doc.code(CodeBox::mainOtherCode), QString());
        doc.setSwitch(Switch::mainOtherActive, 1);
        QCOMPARE(doc.create(), QString());
    }

    // Files that cannot be opened give a clear message and leave the form exactly as it was.
    void badInput_data()
    {
        QTest::addColumn<QString>("kind"); // how "bad" is made when it is not just `bytes`
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray text("briefing=1;");
        QTest::newRow("folder") << u"folder"_qs << QByteArray()
                                << u"“bad” is a folder, not a file."_qs;
        QTest::newRow("missing") << u"missing"_qs << QByteArray() << u"“bad” does not exist."_qs;
#ifndef Q_OS_WIN // the toolkit cannot take the owner's right to read there
        QTest::newRow("unreadable") << u"unreadable"_qs << text << u"“bad” cannot be read: "_qs;
#endif
        QTest::newRow("too large")
            << u"large"_qs << QByteArray()
            << u"“bad” is too large to open: it has 52428801 bytes, more than the 50 MiB (52428800 "
               u"bytes) the editor opens."_qs;
        QTest::newRow("NUL bytes")
            << QString() << text + QByteArray(3, '\0') + 'x' << u"“bad” is not a text file"_qs;
        QTest::newRow("control characters")
            << QString() << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x0E\x0F a=1;")
            << u"“bad” is not a text file"_qs;
    }
    void badInput()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString path = dir.filePath(u"bad"_qs);
        if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(u"bad"_qs));
        } else if (kind != u"missing") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            if (kind == u"large")
                QVERIFY(f.resize(MaxDescriptionFileBytes + 1)); // sparse: costs no disk
            f.close();
            if (kind == u"unreadable") {
                QVERIFY(f.setPermissions(QFileDevice::Permissions()));
                // Permissions do not stop a user with every right; reading process memory
                // from its start fails for everyone.
                if (QFile probe(path); probe.open(QIODevice::ReadOnly)) {
                    path = u"/proc/self/mem"_qs;
                    message.replace(u"bad"_qs, u"mem"_qs);
                }
            }
        }

        EditorDocument doc;
        doc.applyStartUp();
        doc.setSwitch(Switch::mainSoundActive, 1);
        doc.setCode(CodeBox::mainSoundCode, u"class s {};\r\n"_qs);
        doc.setRespawnMode(RespawnMode::Group);
        const QString generated = doc.create();
        const FormSnapshot before = FormSnapshot::of(doc);

        const OpenResult result = openDescriptionFile(doc, path);
        QVERIFY(!result);
        QVERIFY2(result.why().startsWith(message), qPrintable(result.why()));
        QVERIFY(FormSnapshot::of(doc) == before);
        QCOMPARE(doc.generatedText(), generated);
        if (!bytes.isEmpty() && kind.isEmpty())
            QCOMPARE(decodeDescriptionFile(bytes, u"bad"_qs).why(), result.why());
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionImport)
#include "tst_descriptionimport.moc"
