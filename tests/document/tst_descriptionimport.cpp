#include "configreader.h"
#include "descriptionimport.h"
#include "editordocument.h"
#include "encoding.h"
#include "entries.h"
#include "generator.h"
#include "randomvalues.h"
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

// The values that differ from `base`, compactly: "gpsCheck=1 mode=3 typeValue=COOP".
QString formChanges(const FormSnapshot &s, const FormSnapshot &base)
{
    QStringList out;
    for (int i = 0; i < SwitchCount; ++i) {
        if (s.switches[i] != base.switches[i] && Switch(i) != Switch::mainOtherActive)
            out << QString::fromLatin1(switchName(Switch(i))) + u'=' +
                       QString::number(s.switches[i]);
    }
    if (s.respawnMode != base.respawnMode)
        out << QStringLiteral("mode=%1").arg(int(s.respawnMode));
    for (int i = 0; i < FieldCount; ++i) {
        if (s.fields[i] != base.fields[i])
            out << QString::fromLatin1(fieldName(Field(i))) + u'=' + s.fields[i];
    }
    for (int i = 0; i < CodeBoxCount; ++i) {
        if (s.codes[i] != base.codes[i] && CodeBox(i) != CodeBox::mainOtherCode)
            out << QString::fromLatin1(codeBoxName(CodeBox(i))) + u'=' + s.codes[i];
    }
    return out.join(u' ');
}

// --- Comparing files token by token and tree by tree --------------------------------------

// Values of the same meaning, as the form may write them instead.
QString synonym(QString token)
{
    static const QStringList modes{"none", "bird", "instant", "base", "group", "side"};
    QString bare = token;
    if (bare.size() >= 2 && bare.startsWith(u'"') && bare.endsWith(u'"'))
        bare = bare.mid(1, bare.size() - 2);
    const QString folded = bare.toCaseFolded();
    if (const qsizetype m = modes.indexOf(folded); m >= 0)
        return QString::number(m);
    if (folded == u"true")
        return QStringLiteral("1");
    if (folded == u"false")
        return QStringLiteral("0");
    return token;
}

// Line breaks as LF: the boxes hold CR LF whatever the file had.
QString lf(QString text)
{
    return text.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
}

// The tokens of a text: strings, comments, words and single punctuation characters. Names are
// compared without regard to case, as the game does.
QStringList tokens(const QString &text)
{
    QStringList out;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        if (c == u'"') {
            // As the reader: a string without its closing quote ends with its line.
            while (j < n && text[j] != u'\r' && text[j] != u'\n' &&
                   !(text[j] == u'"' && (j + 1 >= n || text[j + 1] != u'"')))
                j += text[j] == u'"' ? 2 : 1;
            if (j < n && text[j] == u'"')
                ++j;
            out << synonym(text.mid(i, j - i));
        } else if (text.mid(i, 2) == u"//") {
            while (j < n && text[j] != u'\n' && text[j] != u'\r')
                ++j;
            out << text.mid(i, j - i);
        } else if (text.mid(i, 2) == u"/*") {
            j = text.indexOf(u"*/", i + 2);
            j = j < 0 ? n : j + 2;
            // Trimmed: one without its "*/" runs to the end of the file, whose last line break
            // is the one saving adds.
            out << lf(text.mid(i, j - i)).trimmed();
        } else if (QStringLiteral("{}[]();,:=+").contains(c)) {
            out << QString(c);
        } else {
            while (j < n && !text[j].isSpace() && !QStringLiteral("{}[]();,:=\"").contains(text[j]))
                ++j;
            out << synonym(text.mid(i, j - i).toCaseFolded());
        }
        i = j;
    }
    return out;
}

QString dumpValue(const Value &v)
{
    if (v.kind == ValueKind::Array) {
        QStringList parts;
        for (const Value &e : v.elements)
            parts << dumpValue(e);
        return u'{' + parts.join(u',') + u'}';
    }
    return synonym(v.text);
}

bool isFormPreamble(const Entry &parent, const Entry &e)
{
    const QString cls = parent.name.toCaseFolded();
    const QString name = e.name.toCaseFolded();
    return e.kind == EntryKind::Array && !e.append && e.value.elements.isEmpty() &&
           (((cls == u"cfgradio" || cls == u"cfgsounds") && name == u"sounds") ||
            (cls == u"cfgmusic" && name == u"tracks"));
}

QString dumpEntry(const Entry &e, const config::ReadResult &read);

QString dumpChildren(const Entry &parent, const config::ReadResult &read)
{
    QStringList parts;
    for (const Entry &c : parent.children) {
        // The form writes the empty sounds[] / tracks[] at the top of these classes itself.
        if (!isFormPreamble(parent, c))
            parts << dumpEntry(c, read);
    }
    return parts.join(u' ');
}

QString dumpEntry(const Entry &e, const config::ReadResult &read)
{
    const QString name = e.name.toCaseFolded();
    switch (e.kind) {
    case EntryKind::Class:
        return u"class "_qs + name + u':' + e.base.toCaseFolded() + u'{' + dumpChildren(e, read) +
               u'}';
    case EntryKind::ClassDeclaration:
        return u"decl "_qs + name;
    case EntryKind::Delete:
        return u"delete "_qs + name;
    case EntryKind::Value:
        return name + u'=' + dumpValue(e.value);
    case EntryKind::Array:
        return name + (e.append ? u"[]+="_qs : u"[]="_qs) + dumpValue(e.value);
    case EntryKind::Directive:
        return u'#' + e.name + u' ' + lf(e.text);
    case EntryKind::Comment:
        return lf(e.text);
    case EntryKind::Exec:
        return u"exec "_qs + e.value.text;
    case EntryKind::Skipped:
    case EntryKind::Invalid:
        return lf(read.raw(e.span).toString());
    }
    return {};
}

QStringList topLevelDumps(const QString &text)
{
    const config::ReadResult read = config::readConfig(text);
    QStringList out;
    for (const Entry &e : read.entries)
        out << dumpEntry(e, read);
    return out;
}

// What may be in a created file without being in the opened one: the header comment and the
// lines the form always writes, at their "off" values.
bool mayBeAdded(const QString &dump)
{
    static const QStringList added{QString::fromUtf16(HeaderComment),
                                   "onloadintrotime=0",
                                   "onloadmissiontime=0",
                                   "disabledai=0",
                                   "showgps=0",
                                   "showcompass=0",
                                   "showwatch=0",
                                   "showmap=0",
                                   "shownotepad=0",
                                   "briefing=0",
                                   "debriefing=0",
                                   "respawndialog=0"};
    return added.contains(dump);
}

// Every element of `part` in `whole`, counted.
QStringList missingFrom(QStringList part, QStringList whole)
{
    std::sort(part.begin(), part.end());
    std::sort(whole.begin(), whole.end());
    QStringList missing;
    std::set_difference(part.begin(), part.end(), whole.begin(), whole.end(),
                        std::back_inserter(missing));
    return missing;
}

QString dataDir()
{
    return testDataPath(QStringLiteral("open"));
}

} // namespace

class tst_DescriptionImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Any document the form can hold survives saving and opening: the same switches, fields,
    // options and code boxes, and Create then writes the same bytes again.
    void roundTrip()
    {
        constexpr int Documents = 1000;
        for (int seed = 1; seed <= Documents; ++seed) {
            Values v{quint32(seed)};
            EditorDocument original;
            fillRandomly(original, v);
            const QString text = original.create();
            const QByteArray bytes = descriptionFileBytes(text).bytes;

            EditorDocument opened;
            const OpenResult result = openDescriptionBytes(opened, bytes, u"seed.ext"_qs);
            QVERIFY2(result.ok, qPrintable(result.error));
            const FormSnapshot want = FormSnapshot::of(original);
            const FormSnapshot got = FormSnapshot::of(opened);
            if (!(want == got)) {
                const FormSnapshot start = FormSnapshot::startState();
                QFAIL(
                    qPrintable(QStringLiteral("seed %1:\n%2\n-- against --\n%3\n-- file --\n%4")
                                   .arg(seed)
                                   .arg(formChanges(got, start), formChanges(want, start), text)));
            }
            QCOMPARE(descriptionFileBytes(opened.create()).bytes, bytes);
            QVERIFY2(result.report.synonyms.isEmpty(),
                     qPrintable(result.report.text())); // the form's own spelling
        }
    }

    // Generated files with random damage (characters deleted or inserted, lines doubled or
    // swapped) still open, and nothing of them is lost: every token is in what Create writes,
    // and every comment, directive and unreadable part is in the Other box as it stood.
    void mutatedFilesLoseNothing()
    {
        constexpr int Files = 1000;
        static const QString inserts = QStringLiteral("{};\"=#/*\n a1[],:+\\");
        for (int seed = 1; seed <= Files; ++seed) {
            Values v{quint32(seed)};
            EditorDocument original;
            fillRandomly(original, v);
            QString text = original.create();
            for (int i = 1 + v.below(4); i > 0; --i) {
                const int at = v.below(int(text.size()));
                switch (v.below(4)) {
                case 0:
                    text.remove(at, 1 + v.below(3));
                    break;
                case 1:
                    text.insert(at, inserts[v.below(int(inserts.size()))]);
                    break;
                default: {
                    QStringList lines = text.split(u"\r\n"_qs);
                    const int a = v.below(int(lines.size()));
                    const int b = v.below(int(lines.size()));
                    if (v.coin())
                        lines.insert(a, lines[b]);
                    else
                        lines.swapItemsAt(a, b);
                    text = lines.join(u"\r\n"_qs);
                    break;
                }
                }
            }

            const ImportResult result = importDescription(text);
            EditorDocument opened;
            applySnapshot(opened, result.snapshot);
            QVERIFY(FormSnapshot::of(opened) == result.snapshot);
            const QString created = opened.create();
            const QString context = QStringLiteral("seed %1\n--- file ---\n%2\n--- created ---\n%3")
                                        .arg(seed)
                                        .arg(text, created);

            const QString other = result.snapshot.switches[int(Switch::mainOtherActive)]
                                      ? lf(result.snapshot.codes[int(CodeBox::mainOtherCode)])
                                      : QString();
            const config::ReadResult read = config::readConfig(text);
            for (const Entry &e : read.entries) {
                const bool keptAsText =
                    e.kind == EntryKind::Invalid || e.kind == EntryKind::Skipped ||
                    e.kind == EntryKind::Directive ||
                    (e.kind == EntryKind::Comment && e.text != QStringView(HeaderComment));
                const QString raw = lf(read.raw(e.span).toString()).trimmed();
                if (keptAsText && !other.contains(raw))
                    qWarning().noquote() << context;
                QVERIFY2(!keptAsText || other.contains(raw),
                         qPrintable(QStringLiteral("seed %1, not in Other: ").arg(seed) + raw));
            }
            const QStringList lost = missingFrom(tokens(text), tokens(created));
            if (!lost.isEmpty())
                qWarning().noquote() << context;
            QVERIFY2(lost.isEmpty(),
                     qPrintable(QStringLiteral("seed %1: ").arg(seed) + lost.join(u"  "_qs)));
        }
    }

    // Files written by hand, exercising every construct of the format: opened and created
    // again, nothing of them is lost, whatever went into the form and whatever into Other.
    void nothingLost_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("summary");
        // What goes where in each file, so that a change of the mapping shows here too.
        const QList<std::pair<const char *, const char *>> files{
            {"constructs.ext", "4 settings into the form, 2 sections into code boxes, 16 blocks"},
            {"cp1252.ext", "1 setting into the form, 0 sections into code boxes, 1 block"},
            {"generated.ext", "22 settings into the form, 6 sections into code boxes, 2 blocks"},
            {"handwritten.ext", "12 settings into the form, 3 sections into code boxes, 7 blocks"},
            {"partial.ext", "2 settings into the form, 1 section into code boxes, 11 blocks"},
            {"preprocessor.ext", "1 setting into the form, 1 section into code boxes, 25 blocks"},
            {"utf8bom.ext", "1 setting into the form, 0 sections into code boxes, 1 block"},
        };
        QCOMPARE(QDir(dataDir()).entryList({u"*.ext"_qs}, QDir::Files).size(), files.size());
        for (const auto &[name, summary] : files) {
            QTest::newRow(name) << QDir(dataDir()).filePath(QString::fromLatin1(name))
                                << QString::fromLatin1(summary) + u" kept in Other"_qs;
        }
    }
    void nothingLost()
    {
        QFETCH(QString, path);
        QFETCH(QString, summary);
        const DescriptionText original = readDescriptionFile(path);
        QVERIFY2(original.ok, qPrintable(original.error));
        const config::ReadResult read = config::readConfig(original.text);
        // Broken files are the business of unreadablePartsGoToOther and the damaged files.
        QVERIFY(!read.hasErrors());

        EditorDocument doc;
        const OpenResult result = openDescriptionFile(doc, path);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.report.summary(), summary);
        const QString created = doc.create();

        const QStringList lostTokens = missingFrom(tokens(original.text), tokens(created));
        QVERIFY2(lostTokens.isEmpty(), qPrintable(lostTokens.join(u"  ") + u"\n\n"_qs + created));

        const QStringList before = topLevelDumps(original.text);
        const QStringList after = topLevelDumps(created);
        const QStringList lost = missingFrom(before, after);
        QVERIFY2(lost.isEmpty(), qPrintable(u"lost:\n"_qs + lost.join(u'\n')));
        QStringList extra = missingFrom(after, before);
        extra.erase(std::remove_if(extra.begin(), extra.end(), mayBeAdded), extra.end());
        QVERIFY2(extra.isEmpty(), qPrintable(u"added:\n"_qs + extra.join(u'\n')));

        // Opening what Create wrote gives the same form: the mapping is stable.
        EditorDocument again;
        QVERIFY(openDescriptionBytes(again, descriptionFileBytes(created).bytes, u"x"_qs).ok);
        QCOMPARE(again.create(), created);
    }

    // How single constructs are mapped: into a field, option, switch or box, or into Other.
    // "form" lists what differs from a file without any setting; "counts" are the report's
    // settings, sections and blocks kept in Other.
    void mapping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<int>("synonyms");
        const QString header =
            u"class Header { gameType = COOP; minPlayers = 1; maxPlayers = 8; };\n"_qs;
        const QString headerForm = u"respawnActive=1 "_qs;
        const QString headerFields = u"typeValue=COOP minPlayersValue=1 maxPlayersValue=8"_qs;

        QTest::newRow("accessory synonyms")
            << u"showGPS = true;\ndisabledAI = 1;\nShowMap=0;\n"_qs
            << u"disabledaiCheck=1 gpsCheck=1"_qs << QString() << u"3 0 0"_qs << 3;
        QTest::newRow("byte order mark left in the text")
            << u"\uFEFFbriefing=1;"_qs << u"briefingCheck=1"_qs << QString() << u"1 0 0"_qs << 0;
        QTest::newRow("accessory value the form lacks")
            << u"ShowGPS=2;\n"_qs << QString() << u"ShowGPS=2;"_qs << u"0 0 1"_qs << 0;
        QTest::newRow("OnLoad text keeps its escapes")
            << u"onLoadIntro = \"He said \"\"go\"\"\";\n"_qs
            << u"introStringEnabled=1 introString=He said \"\"go\"\""_qs << QString() << u"1 0 0"_qs
            << 1;
        QTest::newRow("respawn by name") << header + u"respawn = \"BASE\";\nrespawnDelay=5;\n"_qs
                                         << headerForm + u"respawnCheck=1 delayCheck=1 mode=3 "_qs +
                                                headerFields + u" delayText=5"_qs
                                         << QString() << u"5 0 0"_qs << 1;
        QTest::newRow("respawn word, dialog off")
            << header + u"respawn = side;\nrespawnDialog = false;\n"_qs
            << headerForm + u"respawnCheck=1 mode=5 "_qs + headerFields << QString() << u"5 0 0"_qs
            << 2;
        QTest::newRow("respawn without Header")
            << u"respawn = 3;\n"_qs << QString() << u"respawn = 3;"_qs << u"0 0 1"_qs << 0;
        QTest::newRow("respawn mode out of range")
            << header + u"respawn = 7;\n"_qs << headerForm + headerFields << u"respawn = 7;"_qs
            << u"3 0 1"_qs << 0;
        const QString reordered =
            u"class Header { minPlayers = 1; gameType = COOP; maxPlayers = 8; };"_qs;
        QTest::newRow("Header in another order")
            << reordered << QString() << reordered << u"0 0 1"_qs << 0;
        QTest::newRow("scores only together")
            << u"minScore=1;\nmaxScore=9;\n"_qs << QString() << u"minScore=1;\r\nmaxScore=9;"_qs
            << u"0 0 2"_qs << 0;
        QTest::newRow("expression and macro values")
            << u"#define D 5\nminScore=1+1;\navgScore=D;\nmaxScore=__EVAL(3);\n"_qs << QString()
            << u"#define D 5\r\nminScore=1+1;\r\navgScore=D;\r\nmaxScore=__EVAL(3);"_qs
            << u"0 0 4"_qs << 0;
        QTest::newRow("repeated key: the first into the form, later ones after it")
            << u"briefing=0;\nbriefing=1;\n"_qs << QString() << u"briefing=1;"_qs << u"1 0 1"_qs
            << 0;
        QTest::newRow("inside #ifndef")
            << u"#ifndef X\nbriefing=1;\n#endif\n"_qs << QString()
            << u"#ifndef X\r\nbriefing=1;\r\n#endif"_qs << u"0 0 3"_qs << 0;
        QTest::newRow("comment inside a setting")
            << u"briefing = /* on */ 1;\n"_qs << QString() << u"briefing = /* on */ 1;"_qs
            << u"0 0 1"_qs << 0;
        QTest::newRow("comment in a class line")
            << u"class CfgMusic // tracks\n{\n};\n"_qs << QString()
            << u"class CfgMusic // tracks\r\n{\r\n};"_qs << u"0 0 1"_qs << 0;
        QTest::newRow("sounds with its empty array and a comment")
            << u"class cfgSounds {\n    sounds[] = {}; // legacy\n    class a {};\n};\n"_qs
            << u"mainSoundActive=1 mainSoundCode=    // legacy\r\n    class a {};\r\n"_qs
            << QString() << u"0 1 0"_qs << 1;
        QTest::newRow("sounds array with entries")
            << u"class CfgSounds { sounds[] = {a}; };\n"_qs << QString()
            << u"class CfgSounds { sounds[] = {a}; };"_qs << u"0 0 1"_qs << 0;
        QTest::newRow("loadout pair")
            << u"class Weapons {\nclass M16 {count=2;};\n};\nclass Magazines {\n};\n"_qs
            << u"mainLoadoutActive=1 mainLoadoutWeaponsCode=class M16 {count=2;};\r\n"_qs
            << QString() << u"0 1 0"_qs << 0;
        QTest::newRow("section using a macro of the file")
            << u"#define T \"x\"\nclass CfgIdentities { class a { name = T; }; };\n"_qs << QString()
            << u"#define T \"x\"\r\nclass CfgIdentities { class a { name = T; }; };"_qs
            << u"0 0 2"_qs << 0;
        QTest::newRow("Other keeps order, indentation and stray semicolons")
            << u"  a = 1; ;\nbriefing=1; b = 2;\n\n// c\n#include \"x.hpp\"\n"_qs
            << u"briefingCheck=1"_qs << u"  a = 1; ;\r\nb = 2;\r\n\r\n// c\r\n#include \"x.hpp\""_qs
            << u"1 0 4"_qs << 0;
        QTest::newRow("a directive stays first on its line")
            << u"a=1; briefing=1;\n#define X\n"_qs << u"briefingCheck=1"_qs
            << u"a=1; \r\n#define X"_qs << u"1 0 2"_qs << 0;
        QTest::newRow("word after an include")
            << u"#include \"d.hpp\"\nclass Header { gameType = GT; minPlayers = 1; maxPlayers = 2; };"_qs
            << QString()
            << u"#include \"d.hpp\"\r\nclass Header { gameType = GT; minPlayers = 1; maxPlayers = 2; };"_qs
            << u"0 0 2"_qs << 0;
    }
    void mapping()
    {
        QFETCH(QString, text);
        QFETCH(QString, form);
        QFETCH(QString, other);
        QFETCH(QString, counts);
        QFETCH(int, synonyms);

        const ImportResult result = importDescription(text);
        QCOMPARE(formChanges(result.snapshot, importDescription(QString()).snapshot), form);
        const int on = result.snapshot.switches[int(Switch::mainOtherActive)];
        QCOMPARE(on, other.isEmpty() ? 0 : 1);
        if (on)
            QCOMPARE(result.snapshot.codes[int(CodeBox::mainOtherCode)], other);
        const OpenReport &r = result.report;
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(r.settingsIntoForm)
                     .arg(r.sectionsIntoBoxes)
                     .arg(r.blocksInOther),
                 counts);
        QCOMPARE(r.synonyms.size(), synonyms);
    }

    // Text the reader cannot make sense of still opens: it goes to Other as it stands, and the
    // report names the problems with their lines.
    void unreadablePartsGoToOther()
    {
        const QString text = u"briefing=1;\nclass A { x = ; y 1; };\nshowMap = 1\n}\n"_qs
                             u"class CfgSounds { sounds[] = {}; class s { a = 1 2 3; }; \n"_qs;
        const ImportResult result = importDescription(text, u"broken.ext"_qs);
        const OpenReport &report = result.report;
        QVERIFY(!report.problems.isEmpty());
        QVERIFY(report.unreadBlocksInOther >= 1);
        const QString other = result.snapshot.codes[int(CodeBox::mainOtherCode)];
        // Every character of the file except the settings the form took is in Other.
        QString rest = text;
        rest.remove(u"briefing=1;"_qs);
        rest.remove(u"showMap = 1"_qs);
        QCOMPARE(QString(other).remove(QRegularExpression(u"\\s"_qs)),
                 rest.remove(QRegularExpression(u"\\s"_qs)));
        const QString full = report.text();
        QVERIFY2(full.contains(u"could not be read"_qs), qPrintable(full));
        for (const config::Diagnostic &d : report.problems) {
            QVERIFY2(full.contains(
                         QStringLiteral("line %1: ").arg(d.position.line) +
                         (d.severity == config::Severity::Error ? u"error: "_qs : u"warning: "_qs) +
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
            << u"Read as UTF-8 (byte order mark dropped)"_qs;
        QTest::newRow("Windows-1252") << QByteArray("t=\"\xE9\x80 \x93\";") << u"t=\"é€ “\";"_qs
                                      << u"Read as Windows-1252"_qs;
        QTest::newRow("a few control characters")
            << QByteArray("a=1; b=2; c=3;\x1A\r\n\x0C") << u"a=1; b=2; c=3;\x1A\r\n\x0C"_qs
            << u"Read as UTF-8"_qs;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, note);
        const DescriptionText decoded = decodeDescriptionFile(bytes, u"x.ext"_qs);
        QVERIFY2(decoded.ok, qPrintable(decoded.error));
        QCOMPARE(decoded.text, text);
        EditorDocument doc;
        const OpenResult result = openDescriptionBytes(doc, bytes, u"x.ext"_qs);
        QCOMPARE(result.report.encodingNote(), note);
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
        QTest::newRow("unreadable") << u"unreadable"_qs << text << u"“bad” cannot be read: "_qs;
        QTest::newRow("too large") << u"large"_qs << QByteArray()
                                   << u"“bad” is too large to open (50.0 MiB; at most 50 MiB)."_qs;
        QTest::newRow("empty") << QString() << QByteArray() << u"“bad” is empty."_qs;
        QTest::newRow("NUL bytes")
            << QString() << text + QByteArray(3, '\0') + 'x' << u"“bad” is not a text file"_qs;
        QTest::newRow("control characters")
            << QString() << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x0E\x0F a=1;")
            << u"“bad” is not a text file"_qs;
        QTest::newRow("UTF-16") << QString()
                                << QByteArray("\xFF\xFE"
                                              "b\0=\0"
                                              "1\0;\0",
                                              10)
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
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith(message), qPrintable(result.error));
        QVERIFY(FormSnapshot::of(doc) == before);
        QCOMPARE(doc.generatedText(), generated);
        if (!bytes.isEmpty() && kind.isEmpty())
            QCOMPARE(decodeDescriptionFile(bytes, u"bad"_qs).error, result.error);
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionImport)
#include "tst_descriptionimport.moc"
