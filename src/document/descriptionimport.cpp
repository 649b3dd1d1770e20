#include "descriptionimport.h"

#include "checkcommand.h"
#include "encoding.h"
#include "generator.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <vector>

using config::Entry;
using config::EntryKind;
using config::Value;
using config::ValueKind;

// ---------------------------------------------------------------------------------------------
// Reading the bytes

namespace {

QString displayed(const QString &name)
{
    return u'\u201C' + name + u'\u201D';
}

// NUL bytes never occur in text; a few stray control characters do (a form feed, an old
// end-of-file mark), so only a file made mostly of them counts as binary.
bool looksBinary(QByteArrayView bytes)
{
    if (bytes.contains('\0'))
        return true;
    qsizetype control = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v') ||
            b == 0x7F)
            ++control;
    }
    return control * 10 > bytes.size();
}

QString sizeInMiB(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString tooLarge(const QString &name, qint64 size)
{
    return displayed(name) + QStringLiteral(" is too large to open (%1 MiB; at most %2 MiB).")
                                 .arg(sizeInMiB(size))
                                 .arg(MaxDescriptionFileBytes / (1024 * 1024));
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8")
                                          : QStringLiteral("Windows-1252");
}

DescriptionText decodeDescriptionFile(const QByteArray &bytes, const QString &displayName)
{
    DescriptionText result;
    if (bytes.isEmpty()) {
        result.error = displayed(displayName) + QStringLiteral(" is empty.");
        return result;
    }
    if (bytes.size() > MaxDescriptionFileBytes) {
        result.error = tooLarge(displayName, bytes.size());
        return result;
    }
    if (looksBinary(bytes)) {
        result.error = displayed(displayName) +
                       QStringLiteral(" is not a text file (it holds binary data), so it cannot "
                                      "be a description.");
        return result;
    }
    QByteArrayView view(bytes);
    const bool bom = view.startsWith("\xEF\xBB\xBF");
    if (bom)
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) {
        result.encoding = TextEncoding::Utf8;
        result.byteOrderMarkDropped = bom;
    } else {
        text = config::decodeDescriptionBytes(bom ? bytes.sliced(3) : bytes);
        result.encoding = TextEncoding::Windows1252;
        result.byteOrderMarkDropped = bom;
    }
    result.ok = true;
    result.text = std::move(text);
    return result;
}

DescriptionText readDescriptionFile(const QString &path)
{
    DescriptionText result;
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists()) {
        result.error = displayed(name) + QStringLiteral(" does not exist.");
        return result;
    }
    if (info.isDir()) {
        result.error = displayed(name) + QStringLiteral(" is a folder, not a file.");
        return result;
    }
    if (!info.isFile()) {
        result.error = displayed(name) + QStringLiteral(" is not a regular file.");
        return result;
    }
    if (info.size() > MaxDescriptionFileBytes) {
        result.error = tooLarge(name, info.size());
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error =
            displayed(name) + QStringLiteral(" cannot be read: ") + file.errorString() + u'.';
        return result;
    }
    // One byte more than allowed tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(MaxDescriptionFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error =
            displayed(name) + QStringLiteral(" cannot be read: ") + file.errorString() + u'.';
        return result;
    }
    return decodeDescriptionFile(bytes, name);
}

// ---------------------------------------------------------------------------------------------
// Snapshots of the form

FormSnapshot FormSnapshot::of(const EditorDocument &document)
{
    FormSnapshot v;
    for (int i = 0; i < SwitchCount; ++i) {
        v.switches[i] = document.value(Switch(i));
        v.enabled[i] = document.isEnabled(Switch(i));
    }
    for (int i = 0; i < FieldCount; ++i)
        v.fields[i] = document.text(Field(i));
    for (int i = 0; i < CodeBoxCount; ++i)
        v.codes[i] = document.code(CodeBox(i));
    v.respawnMode = document.respawnMode();
    return v;
}

FormSnapshot FormSnapshot::startState()
{
    static const FormSnapshot start = [] {
        EditorDocument document;
        document.applyStartUp();
        return of(document);
    }();
    return start;
}

void applySnapshot(EditorDocument &document, const FormSnapshot &snapshot)
{
    document.resetToDesignState();
    document.applyStartUp();
    // The master switch first: its rule unchecks and disables its dependants, which must then
    // get their own values.
    document.setSwitch(Switch::respawnActive, snapshot.switches[int(Switch::respawnActive)]);
    for (int i = 0; i < SwitchCount; ++i) {
        if (Switch(i) != Switch::respawnActive)
            document.setSwitch(Switch(i), snapshot.switches[i]);
    }
    for (int i = 0; i < SwitchCount; ++i)
        document.setEnabled(Switch(i), snapshot.enabled[i]);
    // After the switches: unchecking an OnLoad string switch empties its field.
    for (int i = 0; i < FieldCount; ++i)
        document.setText(Field(i), snapshot.fields[i]);
    for (int i = 0; i < CodeBoxCount; ++i) {
        if (document.code(CodeBox(i)) != snapshot.codes[i])
            document.setCode(CodeBox(i), snapshot.codes[i]);
    }
    document.setRespawnMode(snapshot.respawnMode);
}

// ---------------------------------------------------------------------------------------------
// The report

namespace {

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

QString lineText(const OpenNote &note)
{
    if (note.line <= 0)
        return QStringLiteral("  ") + note.text;
    return QStringLiteral("  line %1: ").arg(note.line) + note.text;
}

} // namespace

QString OpenReport::summary() const
{
    return counted(settingsIntoForm, "setting", "settings") + u" into the form, "_qs +
           counted(sectionsIntoBoxes, "section", "sections") + u" into code boxes, "_qs +
           counted(blocksInOther, "block", "blocks") + u" kept in Other"_qs;
}

QString OpenReport::encodingNote() const
{
    QString note = QStringLiteral("Read as ") + encodingName(encoding);
    if (byteOrderMarkDropped)
        note += QStringLiteral(" (byte order mark dropped)");
    return note;
}

QString OpenReport::text() const
{
    QStringList lines;
    if (!fileName.isEmpty())
        lines << QStringLiteral("Opened ") + displayed(fileName) + u'.';
    lines << summary() + u'.';
    lines << encodingNote() + u'.';
    if (unreadBlocksInOther > 0) {
        lines << counted(unreadBlocksInOther, "part", "parts") +
                     QStringLiteral(" that could not be read %1 kept in Other as text.")
                         .arg(unreadBlocksInOther == 1 ? u"is"_qs : u"are"_qs);
    }
    const auto section = [&lines](const QString &title, const QList<OpenNote> &notes) {
        if (notes.isEmpty())
            return;
        lines << QString() << title;
        for (const OpenNote &note : notes)
            lines << lineText(note);
    };
    section(QStringLiteral("Written differently by the form (same meaning):"), synonyms);
    section(QStringLiteral("Kept in Other although the form has them:"), keptInOther);
    section(QStringLiteral("Added by the form (Create always writes these):"), added);
    if (!problems.isEmpty()) {
        lines << QString() << QStringLiteral("Problems found in the file:");
        // A badly broken file can have thousands; the first ones say what is wrong.
        constexpr qsizetype MaxListed = 200;
        for (const config::Diagnostic &d : problems.first(std::min(problems.size(), MaxListed))) {
            QString where = QStringLiteral("line %1").arg(d.position.line);
            if (!d.file.isEmpty())
                where = d.file + u' ' + where;
            lines << QStringLiteral("  ") + where + u": "_qs +
                         (d.severity == config::Severity::Error ? u"error: "_qs : u"warning: "_qs) +
                         d.message;
        }
        if (problems.size() > MaxListed)
            lines << QStringLiteral("  … and %1 more").arg(problems.size() - MaxListed);
    }
    return lines.join(u'\n');
}

// ---------------------------------------------------------------------------------------------
// Mapping the tree into the form

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v';
}

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool onlyWhiteSpace(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.isSpace(); });
}

QString withoutWhiteSpace(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

// How the form writes a switch-like setting.
enum class Kind {
    QuotedText,  // OnLoad texts: the field holds what stands between the quotes
    TrueFalse,   // TRUE / FALSE
    OneZero,     // 1 / 0
    Text,        // a score, delay or Header value, held as written
    RespawnMode, // 0 to 5, or a mode's name
};

enum class Group { None, Score, Respawn };

struct Setting
{
    const char16_t *key;
    Kind kind;
    Switch sw;
    std::optional<Field> field;
    Group group;
};

const Setting Settings[] = {
    {u"OnLoadIntro", Kind::QuotedText, Switch::introStringEnabled, Field::introString, Group::None},
    {u"OnLoadMission", Kind::QuotedText, Switch::missionStringEnabled, Field::missionString,
     Group::None},
    {u"OnLoadIntroTime", Kind::TrueFalse, Switch::introTimeEnabled, {}, Group::None},
    {u"OnLoadMissionTime", Kind::TrueFalse, Switch::missionTimeEnabled, {}, Group::None},
    {u"disabledAI", Kind::TrueFalse, Switch::disabledaiCheck, {}, Group::None},
    {u"ShowGPS", Kind::OneZero, Switch::gpsCheck, {}, Group::None},
    {u"showCompass", Kind::OneZero, Switch::compassCheck, {}, Group::None},
    {u"showWatch", Kind::OneZero, Switch::watchCheck, {}, Group::None},
    {u"showMap", Kind::OneZero, Switch::mapCheck, {}, Group::None},
    {u"showNotePad", Kind::OneZero, Switch::notepadCheck, {}, Group::None},
    {u"briefing", Kind::OneZero, Switch::briefingCheck, {}, Group::None},
    {u"debriefing", Kind::OneZero, Switch::debriefingCheck, {}, Group::None},
    {u"minScore", Kind::Text, Switch::scoreEnabled, Field::minScoreText, Group::Score},
    {u"avgScore", Kind::Text, Switch::scoreEnabled, Field::avgScoreText, Group::Score},
    {u"maxScore", Kind::Text, Switch::scoreEnabled, Field::maxScoreText, Group::Score},
    {u"respawn", Kind::RespawnMode, Switch::respawnCheck, {}, Group::Respawn},
    {u"respawnDelay", Kind::Text, Switch::delayCheck, Field::delayText, Group::Respawn},
    {u"respawnVehicleDelay", Kind::Text, Switch::vehicleDelayCheck, Field::vehicleDelayText,
     Group::Respawn},
    {u"respawnDialog", Kind::OneZero, Switch::dialogCheck, {}, Group::Respawn},
};
constexpr int SettingCount = int(std::size(Settings));

// The settings whose line Create writes whatever the form holds (with the respawn dialog line
// whenever the MP options are on).
bool alwaysWritten(const Setting &s)
{
    return s.kind == Kind::TrueFalse || (s.kind == Kind::OneZero && s.group == Group::None);
}

const Setting *findSetting(QStringView name)
{
    for (const Setting &s : Settings) {
        if (name.compare(QStringView(s.key), Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

struct Section
{
    const char16_t *name;
    CodeBox box;
    Switch sw;
    // The empty array the form writes at the top of the class ("sounds[]={};").
    const char16_t *preamble;
};

const Section Sections[] = {
    {u"CfgIdentities", CodeBox::mainIdentityCode, Switch::mainIdentityActive, nullptr},
    {u"CfgRadio", CodeBox::mainRadioCode, Switch::mainRadioActive, u"sounds"},
    {u"CfgSounds", CodeBox::mainSoundCode, Switch::mainSoundActive, u"sounds"},
    {u"CfgMusic", CodeBox::mainMusicCode, Switch::mainMusicActive, u"tracks"},
    {u"Weapons", CodeBox::mainLoadoutWeaponsCode, Switch::mainLoadoutActive, nullptr},
    {u"Magazines", CodeBox::mainLoadoutMagazinesCode, Switch::mainLoadoutActive, nullptr},
    {u"Params", CodeBox::paramsCode, Switch::paramsActive, nullptr},
};

const Section *findSection(QStringView name)
{
    for (const Section &s : Sections) {
        if (name.compare(QStringView(s.name), Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

constexpr const char16_t *ModeNames[RespawnModeCount] = {u"NONE", u"BIRD",  u"INSTANT",
                                                         u"BASE", u"GROUP", u"SIDE"};

QString unescaped(QStringView quoted)
{
    QString s = quoted.mid(1, quoted.size() - 2).toString();
    s.replace(u"\"\""_qs, u"\""_qs);
    return s;
}

// What a form-held entry turns into, before it is put into the values.
struct Placement
{
    int value = 0;       // the switch value (or respawn mode)
    QString fieldText;   // for settings with a field
    QString writtenLine; // the line the form writes, without its line break
};

class Mapper
{
public:
    Mapper(const config::ReadResult &read, OpenReport &report)
        : m_read(read), m_src(read.sourceText()), m_report(report),
          m_values(FormSnapshot::startState())
    {
        for (const config::Diagnostic &d : read.diagnostics) {
            if (d.severity == config::Severity::Error && d.file.isEmpty())
                m_errorOffsets.push_back(d.position.offset);
        }
        std::sort(m_errorOffsets.begin(), m_errorOffsets.end());
    }

    FormSnapshot run()
    {
        const QList<Entry> &entries = m_read.entries;
        const qsizetype n = entries.size();
        std::vector<Use> uses(std::size_t(n), Use::Other);
        classify(entries, uses);

        // The Other box: every entry that is not in the form, from the start of its line (when
        // only blanks stand before it) to the start of the next one, so that its indentation,
        // its blank lines and anything else between entries stay as they were.
        QString other;
        qsizetype firstStart = n > 0 ? segmentStart(entries, 0) : m_src.size();
        keepResidue(QStringView(m_src).left(firstStart), other);
        for (qsizetype i = 0; i < n; ++i) {
            const Entry &e = entries[i];
            const qsizetype start = segmentStart(entries, i);
            const qsizetype next = i + 1 < n ? segmentStart(entries, i + 1) : m_src.size();
            const QStringView gap =
                QStringView(m_src).mid(e.span.end.offset, next - e.span.end.offset);
            if (uses[std::size_t(i)] == Use::Other) {
                // A part that began a line still does: a directive must stand first on its
                // line, and a comment must not swallow what follows.
                if (!other.isEmpty() && !isBreak(other.back()) &&
                    (start == 0 || isBreak(m_src[start - 1])))
                    other += u"\r\n";
                other += QStringView(m_src).mid(start, e.span.end.offset - start);
                other += gap;
                ++m_report.blocksInOther;
                if (e.kind == EntryKind::Invalid) {
                    ++m_report.unreadBlocksInOther;
                    m_report.keptInOther.append(
                        {e.span.start.line, u"text that could not be read, kept as it is"_qs});
                }
            } else {
                keepResidue(gap, other);
            }
        }
        // In the order of the file, remarks about the file as a whole first.
        for (QList<OpenNote> *notes : {&m_report.synonyms, &m_report.keptInOther, &m_report.added})
            std::stable_sort(notes->begin(), notes->end(),
                             [](const OpenNote &a, const OpenNote &b) { return a.line < b.line; });
        if (!onlyWhiteSpace(other)) {
            set(Switch::mainOtherActive, 1);
            m_values.codes[int(CodeBox::mainOtherCode)] = normalizeLineBreaks(other);
        }
        return m_values;
    }

private:
    enum class Use { Other, Form, Dropped };

    // Between entries only white space and stray ';' occur; a ';' is kept so that no character
    // of the file goes missing.
    static void keepResidue(QStringView gap, QString &other)
    {
        if (onlyWhiteSpace(gap))
            return;
        other += withoutWhiteSpace(gap);
        other += u"\r\n";
    }

    qsizetype segmentStart(const QList<Entry> &entries, qsizetype i) const
    {
        const qsizetype floor = i > 0 ? entries[i - 1].span.end.offset : 0;
        qsizetype p = entries[i].span.start.offset;
        qsizetype q = p;
        while (q > floor && isBlank(m_src[q - 1]))
            --q;
        if (q == 0 || isBreak(m_src[q - 1]))
            return q;
        return p;
    }

    QStringView raw(const config::SourceSpan &span) const { return m_read.raw(span); }

    bool hasErrorIn(const config::SourceSpan &span) const
    {
        const auto it =
            std::lower_bound(m_errorOffsets.begin(), m_errorOffsets.end(), span.start.offset);
        return it != m_errorOffsets.end() && *it < std::max(span.end.offset, span.start.offset + 1);
    }

    // Whether a value stands in the file as the reader understood it, i.e. no macro made it.
    bool valueFromSource(const Value &v) const
    {
        const QStringView r = raw(v.span);
        switch (v.kind) {
        case ValueKind::String:
            return r.size() >= 2 && r.startsWith(u'"') && r.endsWith(u'"') &&
                   unescaped(r) == v.text;
        case ValueKind::Number:
        case ValueKind::Word:
            return r == v.text;
        case ValueKind::Expression:
            return r.startsWith(u"__EVAL") && r.endsWith(QString(v.text + u')'));
        case ValueKind::Array:
            return r.startsWith(u'{') &&
                   std::all_of(v.elements.cbegin(), v.elements.cend(),
                               [this](const Value &e) { return valueFromSource(e); });
        }
        return false;
    }

    bool entryFromSource(const Entry &e) const
    {
        const QStringView r = raw(e.span);
        switch (e.kind) {
        case EntryKind::Value:
        case EntryKind::Array:
            return r.startsWith(e.name) && valueFromSource(e.value);
        case EntryKind::Class:
            return r.startsWith(u"class") &&
                   std::all_of(e.children.cbegin(), e.children.cend(),
                               [this](const Entry &c) { return entryFromSource(c); });
        case EntryKind::ClassDeclaration:
        case EntryKind::Delete:
            return r.contains(e.name);
        case EntryKind::Exec:
            return r.startsWith(u"__EXEC");
        default:
            return true;
        }
    }

    // "key = value ;" with nothing else in it (a comment inside would be lost in the form).
    bool plainAssignment(const Entry &e) const
    {
        const QStringView r = raw(e.span);
        if (!r.startsWith(e.name))
            return false;
        const qsizetype v0 = e.value.span.start.offset - e.span.start.offset;
        const qsizetype v1 = e.value.span.end.offset - e.span.start.offset;
        if (v0 < e.name.size() || v1 > r.size() || v1 < v0)
            return false;
        const QString before = withoutWhiteSpace(r.mid(e.name.size(), v0 - e.name.size()));
        const QString after = withoutWhiteSpace(r.mid(v1));
        return before == u"=" && (after.isEmpty() || after == u";");
    }

    // "class Name {" ... "};" with nothing else around the body (a comment between the name
    // and the brace would be lost, since the form writes those lines itself).
    bool plainClassFrame(const Entry &e) const
    {
        if (e.kind != EntryKind::Class || e.bodySpan.start.offset < e.span.start.offset ||
            e.bodySpan.end.offset > e.span.end.offset)
            return false;
        const QStringView head = QStringView(m_src).mid(
            e.span.start.offset, e.bodySpan.start.offset - e.span.start.offset);
        const QStringView tail = QStringView(m_src).mid(e.bodySpan.end.offset,
                                                        e.span.end.offset - e.bodySpan.end.offset);
        const QString closing = withoutWhiteSpace(tail);
        return withoutWhiteSpace(head) == u"class"_qs + e.name + u'{' &&
               (closing == u"};" || closing == u"}");
    }

    void set(Switch s, int value) { m_values.switches[int(s)] = value; }

    // Why a value cannot be held by a setting of this kind, or an empty text when it can.
    QString placeValue(const Entry &e, const Setting &s, Placement &p) const
    {
        if (e.kind != EntryKind::Value)
            return u"an array, which the form has no field for"_qs;
        if (!entryFromSource(e))
            return u"its value comes from a macro"_qs;
        if (!plainAssignment(e))
            return u"a comment stands inside the line"_qs;
        const Value &v = e.value;
        const QStringView r = raw(v.span);
        const QString key = QString::fromUtf16(s.key);
        switch (s.kind) {
        case Kind::QuotedText:
            if (v.kind != ValueKind::String)
                return u"the form writes this text in quotes"_qs;
            p.value = 1;
            p.fieldText = r.mid(1, r.size() - 2).toString();
            p.writtenLine = key + u"=\""_qs + p.fieldText + u"\";"_qs;
            return {};
        case Kind::TrueFalse:
        case Kind::OneZero: {
            int on = -1;
            if (v.kind == ValueKind::Number && (v.text == u"1" || v.text == u"0"))
                on = v.text == u"1";
            else if (v.kind == ValueKind::Word &&
                     (v.text.compare(u"true", Qt::CaseInsensitive) == 0 ||
                      v.text.compare(u"false", Qt::CaseInsensitive) == 0))
                on = v.text.compare(u"true", Qt::CaseInsensitive) == 0;
            if (on < 0)
                return u"a value other than on or off"_qs;
            p.value = on;
            const bool words = s.kind == Kind::TrueFalse;
            p.writtenLine = key + u'=' +
                            (words ? (on ? u"TRUE"_qs : u"FALSE"_qs) : (on ? u"1"_qs : u"0"_qs)) +
                            u';';
            return {};
        }
        case Kind::Text: {
            if (v.kind == ValueKind::Expression)
                return u"an expression"_qs;
            if (v.kind == ValueKind::Word) {
                if (v.text.contains(u' ') || v.text.contains(u'\t'))
                    return u"text with spaces"_qs;
                if (m_includeSeen && !v.text.isEmpty())
                    return u"a word after an #include, which may be a macro"_qs;
                for (const QChar c : v.text) {
                    if (!c.isLetterOrNumber() && c != u'_' && c != u'.' && c != u'$')
                        return u"an expression"_qs;
                }
            }
            p.value = 1;
            p.fieldText = r.toString();
            p.writtenLine = key + u'=' + p.fieldText + u';';
            return {};
        }
        case Kind::RespawnMode: {
            int mode = -1;
            if (v.kind == ValueKind::Number) {
                for (int m = 0; m < RespawnModeCount; ++m) {
                    if (v.text == QString::number(m))
                        mode = m;
                }
            } else if (v.kind == ValueKind::Word || v.kind == ValueKind::String) {
                for (int m = 0; m < RespawnModeCount; ++m) {
                    if (v.text.compare(QStringView(ModeNames[m]), Qt::CaseInsensitive) == 0)
                        mode = m;
                }
                if (v.kind == ValueKind::Word && m_includeSeen)
                    mode = -1;
            }
            if (mode < 0)
                return u"not one of the respawn modes 0 to 5"_qs;
            p.value = mode;
            p.writtenLine = key + u'=' + QString::number(mode) + u';';
            return {};
        }
        }
        return u"not a value the form holds"_qs;
    }

    void noteSynonym(const Entry &e, const QString &writtenLine)
    {
        const QStringView r = raw(e.span);
        if (withoutWhiteSpace(r) == withoutWhiteSpace(writtenLine) ||
            withoutWhiteSpace(r) + u';' == withoutWhiteSpace(writtenLine))
            return;
        m_report.synonyms.append(
            {e.span.start.line, r.toString().simplified() + u" becomes "_qs + writtenLine});
    }

    void keep(const Entry &e, const QString &why)
    {
        m_report.keptInOther.append({e.span.start.line, e.name + u": "_qs + why});
    }

    // The body of a section as its code box holds it: without the rest of the "{" line and
    // without the empty array the form writes at the top, or nothing if it cannot be held.
    std::optional<QString> sectionCode(const Entry &e, const Section &s, QString &why)
    {
        if (e.kind == EntryKind::ClassDeclaration) {
            why = u"a declaration without a body"_qs;
            return {};
        }
        if (!e.base.isEmpty()) {
            why = u"it inherits from "_qs + e.base;
            return {};
        }
        if (hasErrorIn(e.span)) {
            why = u"it could not be read without errors"_qs;
            return {};
        }
        if (!entryFromSource(e)) {
            why = u"it uses macros defined in the file"_qs;
            return {};
        }
        if (!plainClassFrame(e)) {
            why = u"a comment stands in its class or closing line"_qs;
            return {};
        }
        const qsizetype bodyStart = e.bodySpan.start.offset;
        QString body = raw(e.bodySpan).toString();
        if (s.preamble) {
            const Entry *found = nullptr;
            for (const Entry &c : e.children) {
                if (c.kind == EntryKind::Array &&
                    c.name.compare(QStringView(s.preamble), Qt::CaseInsensitive) == 0) {
                    if (found || c.append || !c.value.elements.isEmpty()) {
                        why = QString::fromUtf16(s.preamble) +
                              u"[] holds entries; the form writes it empty"_qs;
                        return {};
                    }
                    found = &c;
                }
            }
            if (found) {
                qsizetype from = found->span.start.offset - bodyStart;
                qsizetype to = found->span.end.offset - bodyStart;
                qsizetype lineStart = from;
                while (lineStart > 0 && isBlank(body[lineStart - 1]))
                    --lineStart;
                qsizetype lineEnd = to;
                while (lineEnd < body.size() && isBlank(body[lineEnd]))
                    ++lineEnd;
                const bool startsLine = lineStart == 0 || isBreak(body[lineStart - 1]);
                const bool endsLine = lineEnd == body.size() || isBreak(body[lineEnd]);
                // What followed it on its line moves up to where it began.
                if (startsLine)
                    to = lineEnd;
                if (startsLine && endsLine) {
                    from = lineStart;
                    to = skipBreak(body, lineEnd);
                    // The empty line the form writes after it.
                    qsizetype blank = to;
                    while (blank < body.size() && isBlank(body[blank]))
                        ++blank;
                    if (blank < body.size() && isBreak(body[blank]))
                        to = skipBreak(body, blank);
                }
                body.remove(from, to - from);
                if (withoutWhiteSpace(raw(found->span)) !=
                    QString::fromUtf16(s.preamble) + u"[]={};"_qs) {
                    m_report.synonyms.append({found->span.start.line,
                                              raw(found->span).toString().simplified() +
                                                  u" becomes "_qs + QString::fromUtf16(s.preamble) +
                                                  u"[]={};"_qs});
                }
            } else {
                m_report.added.append({e.span.start.line, QString::fromUtf16(s.preamble) +
                                                              u"[]={}; in class "_qs +
                                                              QString::fromUtf16(s.name)});
            }
        }
        // The rest of the "{" line, when nothing but blanks stands on it.
        qsizetype lead = 0;
        while (lead < body.size() && isBlank(body[lead]))
            ++lead;
        if (lead < body.size() && isBreak(body[lead]))
            body.remove(0, skipBreak(body, lead));
        return normalizeLineBreaks(body);
    }

    static qsizetype skipBreak(const QString &s, qsizetype i)
    {
        if (i < s.size() && s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n')
            return i + 2;
        return i < s.size() && isBreak(s[i]) ? i + 1 : i;
    }

    // The Header class: gameType, minPlayers and maxPlayers and nothing else.
    bool placeHeader(const Entry &e, QString &why)
    {
        if (e.kind != EntryKind::Class || !e.base.isEmpty()) {
            why = u"not a plain class"_qs;
            return false;
        }
        if (hasErrorIn(e.span)) {
            why = u"it could not be read without errors"_qs;
            return false;
        }
        if (!plainClassFrame(e)) {
            why = u"a comment stands in its class or closing line"_qs;
            return false;
        }
        // Nothing but white space between the values (a stray ';' would be lost).
        qsizetype at = e.bodySpan.start.offset;
        bool onlyValues = true;
        for (const Entry &c : e.children) {
            onlyValues =
                onlyValues && onlyWhiteSpace(QStringView(m_src).mid(at, c.span.start.offset - at));
            at = c.span.end.offset;
        }
        if (!onlyValues ||
            !onlyWhiteSpace(QStringView(m_src).mid(at, e.bodySpan.end.offset - at))) {
            why = u"it holds more than its three values"_qs;
            return false;
        }
        static constexpr const char16_t *Keys[3] = {u"gameType", u"minPlayers", u"maxPlayers"};
        static constexpr Field Fields[3] = {Field::typeValue, Field::minPlayersValue,
                                            Field::maxPlayersValue};
        const Entry *found[3] = {};
        for (const Entry &c : e.children) {
            int k = -1;
            for (int i = 0; i < 3; ++i) {
                if (c.kind == EntryKind::Value &&
                    c.name.compare(QStringView(Keys[i]), Qt::CaseInsensitive) == 0)
                    k = i;
            }
            if (k < 0 || found[k]) {
                why = u"it holds more than gameType, minPlayers and maxPlayers"_qs;
                return false;
            }
            // The form writes them in this order; another order is kept as it is.
            if ((k > 0 && !found[k - 1]) || (k < 2 && found[k + 1])) {
                why = u"its values are in another order than gameType, minPlayers, "
                      u"maxPlayers"_qs;
                return false;
            }
            found[k] = &c;
        }
        Placement p[3];
        for (int i = 0; i < 3; ++i) {
            if (!found[i]) {
                why = u"it lacks "_qs + QString::fromUtf16(Keys[i]);
                return false;
            }
            const Setting s{Keys[i], Kind::Text, Switch::respawnActive, Fields[i], Group::None};
            const QString problem = placeValue(*found[i], s, p[i]);
            if (!problem.isEmpty()) {
                why = QString::fromUtf16(Keys[i]) + u": "_qs + problem;
                return false;
            }
        }
        for (int i = 0; i < 3; ++i) {
            m_values.fields[int(Fields[i])] = p[i].fieldText;
            noteSynonym(*found[i], p[i].writtenLine);
        }
        if (e.name != u"Header") {
            m_report.synonyms.append(
                {e.span.start.line, u"class "_qs + e.name + u" becomes class Header"_qs});
        }
        m_report.settingsIntoForm += 3;
        return true;
    }

    void classify(const QList<Entry> &entries, std::vector<Use> &uses)
    {
        const qsizetype n = entries.size();
        // Entries inside #if/#ifdef/#ifndef blocks stay where they are, in Other: their
        // meaning depends on the condition around them.
        std::vector<bool> conditional(std::size_t(n), false);
        std::vector<bool> afterInclude(std::size_t(n), false);
        {
            int depth = 0;
            bool include = false;
            for (qsizetype i = 0; i < n; ++i) {
                const Entry &e = entries[i];
                conditional[std::size_t(i)] = depth > 0;
                afterInclude[std::size_t(i)] = include;
                if (e.kind != EntryKind::Directive)
                    continue;
                if (e.name == u"if" || e.name == u"ifdef" || e.name == u"ifndef")
                    ++depth;
                else if (e.name == u"endif" && depth > 0)
                    --depth;
                else if (e.name == u"include")
                    include = true;
            }
        }

        // Where each setting and section first occurs. The form takes only the first: its
        // lines come before the Other box, so later ones stay after it, in their order, and
        // whichever of them the game keeps is still the one it keeps.
        std::array<qsizetype, SettingCount> firstSetting;
        firstSetting.fill(-1);
        std::array<qsizetype, std::size(Sections)> firstSection;
        firstSection.fill(-1);
        qsizetype firstHeader = -1;
        for (qsizetype i = 0; i < n; ++i) {
            const Entry &e = entries[i];
            if (e.kind == EntryKind::Value || e.kind == EntryKind::Array) {
                if (const Setting *s = findSetting(e.name)) {
                    qsizetype &first = firstSetting[std::size_t(s - Settings)];
                    if (first < 0)
                        first = i;
                }
            } else if (e.kind == EntryKind::Class || e.kind == EntryKind::ClassDeclaration) {
                if (const Section *s = findSection(e.name)) {
                    qsizetype &first = firstSection[std::size_t(s - Sections)];
                    if (first < 0)
                        first = i;
                } else if (e.name.compare(u"Header", Qt::CaseInsensitive) == 0 && firstHeader < 0) {
                    firstHeader = i;
                }
            }
        }
        const QString again = u"set again after an earlier line; kept after it, in Other"_qs;

        // The file's own header comment is written by Create again.
        if (n > 0 && entries[0].kind == EntryKind::Comment &&
            entries[0].text == QStringView(HeaderComment))
            uses[0] = Use::Dropped;

        // The Header class first: the respawn lines need it.
        bool headerHeld = false;
        for (qsizetype i = 0; i < n; ++i) {
            const Entry &e = entries[i];
            if ((e.kind != EntryKind::Class && e.kind != EntryKind::ClassDeclaration) ||
                e.name.compare(u"Header", Qt::CaseInsensitive) != 0)
                continue;
            QString why;
            if (i != firstHeader)
                why = again;
            else if (conditional[std::size_t(i)])
                why = u"it stands inside an #if block"_qs;
            if (why.isEmpty()) {
                m_includeSeen = afterInclude[std::size_t(i)];
                headerHeld = placeHeader(e, why);
            }
            if (headerHeld) {
                uses[std::size_t(i)] = Use::Form;
                set(Switch::respawnActive, 1);
                for (Switch d : {Switch::respawnCheck, Switch::delayCheck,
                                 Switch::vehicleDelayCheck, Switch::dialogCheck})
                    m_values.enabled[int(d)] = true;
            } else {
                keep(e, why);
            }
        }

        // Settings gathered first: the scores go into the form only all three together.
        std::array<qsizetype, SettingCount> heldAt;
        heldAt.fill(-1);
        std::array<Placement, SettingCount> placements;
        for (qsizetype i = 0; i < n; ++i) {
            const Entry &e = entries[i];
            if (e.kind != EntryKind::Value && e.kind != EntryKind::Array)
                continue;
            const Setting *s = findSetting(e.name);
            if (!s)
                continue;
            const auto k = std::size_t(s - Settings);
            QString why;
            if (i != firstSetting[k])
                why = again;
            else if (conditional[std::size_t(i)])
                why = u"it stands inside an #if block"_qs;
            else if (hasErrorIn(e.span))
                why = u"it could not be read without errors"_qs;
            else if (s->group == Group::Respawn && !headerHeld)
                why = u"the form writes the respawn settings only together with a Header "
                      u"class"_qs;
            if (why.isEmpty()) {
                m_includeSeen = afterInclude[std::size_t(i)];
                why = placeValue(e, *s, placements[k]);
            }
            if (why.isEmpty())
                heldAt[k] = i;
            else
                keep(e, why);
        }
        bool allScores = true;
        for (int k = 0; k < SettingCount; ++k) {
            if (Settings[k].group == Group::Score && heldAt[std::size_t(k)] < 0)
                allScores = false;
        }
        for (int k = 0; k < SettingCount; ++k) {
            const qsizetype at = heldAt[std::size_t(k)];
            if (at < 0)
                continue;
            const Setting &s = Settings[k];
            const Entry &e = entries[at];
            if (s.group == Group::Score && !allScores) {
                keep(e, u"the form writes minScore, avgScore and maxScore only together"_qs);
                continue;
            }
            const Placement &p = placements[std::size_t(k)];
            uses[std::size_t(at)] = Use::Form;
            ++m_report.settingsIntoForm;
            noteSynonym(e, p.writtenLine);
            if (s.kind == Kind::RespawnMode) {
                set(s.sw, 1);
                m_values.respawnMode = RespawnMode(p.value);
            } else {
                set(s.sw, p.value);
            }
            if (s.field)
                m_values.fields[int(*s.field)] = p.fieldText;
        }
        for (int k = 0; k < SettingCount; ++k) {
            const Setting &s = Settings[k];
            if (s.group == Group::Score)
                continue;
            const bool inForm = heldAt[std::size_t(k)] >= 0;
            if (!inForm) {
                // Absent (or kept in Other): switched off, as the generator would have left it.
                set(s.sw, 0);
                if (alwaysWritten(s) || (s.kind == Kind::OneZero && headerHeld))
                    m_report.added.append(
                        {0, QString::fromUtf16(s.key) +
                                (s.kind == Kind::TrueFalse ? u"=FALSE;"_qs : u"=0;"_qs)});
            }
        }
        if (!allScores)
            set(Switch::scoreEnabled, 0);
        else
            set(Switch::scoreEnabled, 1);

        // Sections.
        const Entry *loadout[2] = {};
        qsizetype loadoutAt[2] = {-1, -1};
        QString loadoutCode[2];
        for (qsizetype i = 0; i < n; ++i) {
            const Entry &e = entries[i];
            if (e.kind != EntryKind::Class && e.kind != EntryKind::ClassDeclaration)
                continue;
            const Section *s = findSection(e.name);
            if (!s)
                continue;
            QString why;
            std::optional<QString> code;
            if (i != firstSection[std::size_t(s - Sections)])
                why = again;
            else if (conditional[std::size_t(i)])
                why = u"it stands inside an #if block"_qs;
            else
                code = sectionCode(e, *s, why);
            if (!code) {
                keep(e, why);
                continue;
            }
            if (s->sw == Switch::mainLoadoutActive) {
                const int w = s->box == CodeBox::mainLoadoutWeaponsCode ? 0 : 1;
                loadout[w] = &e;
                loadoutAt[w] = i;
                loadoutCode[w] = *code;
                continue;
            }
            placeSection(e, *s, *code);
            uses[std::size_t(i)] = Use::Form;
        }
        if (loadout[0] && loadout[1]) {
            for (int w = 0; w < 2; ++w) {
                placeSection(*loadout[w], Sections[4 + w], loadoutCode[w]);
                uses[std::size_t(loadoutAt[w])] = Use::Form;
            }
            --m_report.sectionsIntoBoxes; // the pair is one section of the form
        } else {
            for (int w = 0; w < 2; ++w) {
                if (loadout[w])
                    keep(*loadout[w], u"the form writes Weapons and Magazines only together"_qs);
            }
        }
    }

    void placeSection(const Entry &e, const Section &s, const QString &code)
    {
        set(s.sw, 1);
        m_values.codes[int(s.box)] = code;
        ++m_report.sectionsIntoBoxes;
        if (e.name != QStringView(s.name)) {
            m_report.synonyms.append(
                {e.span.start.line,
                 u"class "_qs + e.name + u" becomes class "_qs + QString::fromUtf16(s.name)});
        }
    }

    const config::ReadResult &m_read;
    const QString &m_src;
    OpenReport &m_report;
    FormSnapshot m_values;
    std::vector<qsizetype> m_errorOffsets;
    bool m_includeSeen = false;
};

} // namespace

ImportResult importDescription(const QString &text, const QString &fileName)
{
    ImportResult result;
    result.report.fileName = fileName;
    // Saving ends the file with one line break more than the generated text has.
    QString body = text;
    // A byte order mark the caller left in is no part of the description.
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);
    if (body.endsWith(u"\r\n"))
        body.chop(2);
    else if (!body.isEmpty() && isBreak(body.back()))
        body.chop(1);
    config::ReadOptions options;
    options.fileName = fileName;
    const config::ReadResult read = config::readConfig(body, options);
    result.report.problems = read.diagnostics;
    Mapper mapper(read, result.report);
    result.snapshot = mapper.run();
    return result;
}

namespace {

OpenResult openText(EditorDocument &document, const DescriptionText &text, const QString &name)
{
    OpenResult result;
    if (!text.ok) {
        result.error = text.error;
        return result;
    }
    ImportResult imported = importDescription(text.text, name);
    imported.report.encoding = text.encoding;
    imported.report.byteOrderMarkDropped = text.byteOrderMarkDropped;
    applySnapshot(document, imported.snapshot);
    result.ok = true;
    result.report = std::move(imported.report);
    return result;
}

} // namespace

OpenResult openDescriptionFile(EditorDocument &document, const QString &path)
{
    const QFileInfo info(path);
    return openText(document, readDescriptionFile(path), info.fileName());
}

OpenResult openDescriptionBytes(EditorDocument &document, const QByteArray &bytes,
                                const QString &displayName)
{
    return openText(document, decodeDescriptionFile(bytes, displayName), displayName);
}
