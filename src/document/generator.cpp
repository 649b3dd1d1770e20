#include "generator.h"

#include <optional>

namespace {

constexpr QStringView CrLf = u"\r\n";

// The accessory switches, their slots and the line each writes when checked and when not.
struct Accessory
{
    Switch sw;
    Fragment slot;
    const char16_t *on;
    const char16_t *off;
};
constexpr Accessory Accessories[] = {
    {Switch::disabledaiCheck, Fragment::disabledAI, u"disabledAI=TRUE;\r\n",
     u"disabledAI=FALSE;\r\n"},
    {Switch::gpsCheck, Fragment::gps, u"ShowGPS=1;\r\n", u"ShowGPS=0;\r\n"},
    {Switch::compassCheck, Fragment::compass, u"showCompass=1;\r\n", u"showCompass=0;\r\n"},
    {Switch::watchCheck, Fragment::watch, u"showWatch=1;\r\n", u"showWatch=0;\r\n"},
    {Switch::mapCheck, Fragment::map, u"showMap=1;\r\n", u"showMap=0;\r\n"},
    {Switch::notepadCheck, Fragment::notepad, u"showNotePad=1;\r\n", u"showNotePad=0;\r\n"},
    {Switch::briefingCheck, Fragment::briefing, u"briefing=1;\r\n", u"briefing=0;\r\n"},
    {Switch::debriefingCheck, Fragment::debriefing, u"debriefing=1;\r\n", u"debriefing=0;\r\n"},
};

const Accessory *findAccessory(Switch s)
{
    for (const auto &a : Accessories) {
        if (a.sw == s)
            return &a;
    }
    return nullptr;
}

// When a fragment's switch lets it be written. OnLoad strings and times test "not 0",
// the others "is 1"; the respawn lines also need their switch's enabled flag.
enum class Gate { NotZero, IsOne, EnabledAndOne, Enabled };

using Compose = void (*)(const EditorDocument &, QString &out);

struct FragmentRule
{
    Fragment slot;
    Switch gate;
    Gate kind;
    Compose compose;            // the text while the gate is open
    const char16_t *closedText; // the text otherwise (nullptr: empty)
};

void assignment(QString &out, QStringView key, QStringView value)
{
    out += key;
    out += u'=';
    out += value;
    out += u';';
    out += CrLf;
}

void classBlock(QString &out, QStringView name, QStringView preamble, QStringView code)
{
    out += u"class ";
    out += name;
    out += u"\r\n{\r\n";
    out += preamble;
    out += code;
    out += u"};\r\n";
}

// Compose functions for rows whose text does not depend on the document.
template <const char16_t *Text> void literal(const EditorDocument &, QString &out)
{
    out += Text;
}

constexpr char16_t IntroTimeOn[] = u"OnLoadIntroTime=TRUE;\r\n";
constexpr char16_t MissionTimeOn[] = u"OnLoadMissionTime=TRUE;\r\n";
constexpr char16_t SoundsPreamble[] = u"sounds[]={};\r\n\r\n";
constexpr char16_t TracksPreamble[] = u"tracks[]={};\r\n\r\n";

template <int AccessoryIndex> void accessoryOn(const EditorDocument &, QString &out)
{
    out += Accessories[AccessoryIndex].on;
}
template <int AccessoryIndex> constexpr const char16_t *accessoryOff()
{
    return Accessories[AccessoryIndex].off;
}

constexpr FragmentRule Rules[] = {
    {Fragment::introString, Switch::introStringEnabled, Gate::NotZero,
     [](const EditorDocument &d, QString &out) {
         out += u"OnLoadIntro=\"";
         out += d.text(Field::introString);
         out += u"\";\r\n";
     },
     nullptr},
    {Fragment::missionString, Switch::missionStringEnabled, Gate::NotZero,
     [](const EditorDocument &d, QString &out) {
         out += u"OnLoadMission=\"";
         out += d.text(Field::missionString);
         out += u"\";\r\n";
     },
     nullptr},
    {Fragment::introTime, Switch::introTimeEnabled, Gate::NotZero, literal<IntroTimeOn>,
     u"OnLoadIntroTime=FALSE;\r\n"},
    {Fragment::missionTime, Switch::missionTimeEnabled, Gate::NotZero, literal<MissionTimeOn>,
     u"OnLoadMissionTime=FALSE;\r\n"},
    {Fragment::disabledAI, Switch::disabledaiCheck, Gate::IsOne, accessoryOn<0>, accessoryOff<0>()},
    {Fragment::gps, Switch::gpsCheck, Gate::IsOne, accessoryOn<1>, accessoryOff<1>()},
    {Fragment::compass, Switch::compassCheck, Gate::IsOne, accessoryOn<2>, accessoryOff<2>()},
    {Fragment::watch, Switch::watchCheck, Gate::IsOne, accessoryOn<3>, accessoryOff<3>()},
    {Fragment::map, Switch::mapCheck, Gate::IsOne, accessoryOn<4>, accessoryOff<4>()},
    {Fragment::notepad, Switch::notepadCheck, Gate::IsOne, accessoryOn<5>, accessoryOff<5>()},
    {Fragment::briefing, Switch::briefingCheck, Gate::IsOne, accessoryOn<6>, accessoryOff<6>()},
    {Fragment::debriefing, Switch::debriefingCheck, Gate::IsOne, accessoryOn<7>, accessoryOff<7>()},
    {Fragment::score, Switch::scoreEnabled, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         assignment(out, u"minScore", d.text(Field::minScoreText));
         assignment(out, u"avgScore", d.text(Field::avgScoreText));
         assignment(out, u"maxScore", d.text(Field::maxScoreText));
     },
     nullptr},
    {Fragment::identity, Switch::mainIdentityActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"CfgIdentities", {}, d.code(CodeBox::mainIdentityCode));
     },
     nullptr},
    {Fragment::radio, Switch::mainRadioActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"CfgRadio", SoundsPreamble, d.code(CodeBox::mainRadioCode));
     },
     nullptr},
    {Fragment::sound, Switch::mainSoundActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"CfgSounds", SoundsPreamble, d.code(CodeBox::mainSoundCode));
     },
     nullptr},
    {Fragment::music, Switch::mainMusicActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"CfgMusic", TracksPreamble, d.code(CodeBox::mainMusicCode));
     },
     nullptr},
    {Fragment::loadout, Switch::mainLoadoutActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"Weapons", {}, d.code(CodeBox::mainLoadoutWeaponsCode));
         out += CrLf;
         classBlock(out, u"Magazines", {}, d.code(CodeBox::mainLoadoutMagazinesCode));
     },
     nullptr},
    {Fragment::header, Switch::respawnActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         out += u"class Header\r\n{\r\n";
         assignment(out, u"gameType", d.text(Field::typeValue));
         assignment(out, u"minPlayers", d.text(Field::minPlayersValue));
         assignment(out, u"maxPlayers", d.text(Field::maxPlayersValue));
         out += u"};\r\n";
     },
     nullptr},
    {Fragment::respawn, Switch::respawnCheck, Gate::EnabledAndOne,
     [](const EditorDocument &d, QString &out) {
         assignment(out, u"respawn", QString::number(int(d.respawnMode())));
     },
     nullptr},
    {Fragment::respawnDelay, Switch::delayCheck, Gate::EnabledAndOne,
     [](const EditorDocument &d, QString &out) {
         assignment(out, u"respawnDelay", d.text(Field::delayText));
     },
     nullptr},
    {Fragment::vehicleDelay, Switch::vehicleDelayCheck, Gate::EnabledAndOne,
     [](const EditorDocument &d, QString &out) {
         assignment(out, u"respawnVehicleDelay", d.text(Field::vehicleDelayText));
     },
     nullptr},
    {Fragment::respawnDialog, Switch::dialogCheck, Gate::Enabled,
     [](const EditorDocument &d, QString &out) {
         out +=
             d.value(Switch::dialogCheck) == 1 ? u"respawnDialog=1;\r\n" : u"respawnDialog=0;\r\n";
     },
     nullptr},
    {Fragment::params, Switch::paramsActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) {
         classBlock(out, u"Params", {}, d.code(CodeBox::paramsCode));
     },
     nullptr},
    {Fragment::other, Switch::mainOtherActive, Gate::IsOne,
     [](const EditorDocument &d, QString &out) { out += d.code(CodeBox::mainOtherCode); }, nullptr},
};
static_assert(std::size(Rules) == FragmentCount);

constexpr bool rulesInSlotOrder()
{
    for (int i = 0; i < FragmentCount; ++i) {
        if (int(Rules[i].slot) != i)
            return false;
    }
    return true;
}
static_assert(rulesInSlotOrder(), "Rules is indexed by Fragment");

// The file after its header comment: fragments in slot order, with a lone CR LF group
// separator after each of these.
constexpr Fragment GroupEnds[] = {
    Fragment::missionString, Fragment::missionTime, Fragment::debriefing,    Fragment::score,
    Fragment::identity,      Fragment::radio,       Fragment::sound,         Fragment::music,
    Fragment::loadout,       Fragment::header,      Fragment::respawnDialog, Fragment::params,
};
static_assert(std::size(GroupEnds) == GroupSeparatorCount);

bool endsGroup(Fragment f)
{
    for (Fragment end : GroupEnds) {
        if (end == f)
            return true;
    }
    return false;
}

bool gateOpen(const EditorDocument &d, const FragmentRule &rule)
{
    const int value = d.value(rule.gate);
    switch (rule.kind) {
    case Gate::NotZero:
        return value != 0;
    case Gate::IsOne:
        return value == 1;
    case Gate::EnabledAndOne:
        return d.isEnabled(rule.gate) && value == 1;
    case Gate::Enabled:
        return d.isEnabled(rule.gate);
    }
    return false;
}

void appendFragment(const EditorDocument &d, Fragment f, QString &out)
{
    const FragmentRule &rule = Rules[int(f)];
    if (gateOpen(d, rule))
        rule.compose(d, out);
    else if (rule.closedText)
        out += rule.closedText;
}

} // namespace

GeneratedFile generate(const EditorDocument &document)
{
    GeneratedFile file;
    generateInto(document, file);
    return file;
}

void generateInto(const EditorDocument &document, GeneratedFile &file)
{
    // resize(0) rather than clear(): a string nobody else shares keeps its room.
    qsizetype total = 64;
    for (int i = 0; i < FragmentCount; ++i) {
        file.fragments[i].resize(0);
        appendFragment(document, Fragment(i), file.fragments[i]);
        total += file.fragments[i].size() + 2;
    }
    QString &text = file.text;
    text.resize(0);
    text.reserve(total);
    text += HeaderComment;
    text += u"\r\n\r\n";
    for (int i = 0; i < FragmentCount; ++i) {
        text += file.fragments[i];
        if (endsGroup(Fragment(i)))
            text += CrLf;
    }
}

QString generateFragment(const EditorDocument &document, Fragment fragment)
{
    QString out;
    appendFragment(document, fragment, out);
    return out;
}

bool isAccessory(Switch s)
{
    return findAccessory(s) != nullptr;
}

Fragment accessoryFragment(Switch accessory)
{
    const Accessory *a = findAccessory(accessory);
    Q_ASSERT(a);
    return a ? a->slot : Fragment::disabledAI;
}

QString accessoryLine(Switch accessory, int value)
{
    const Accessory *a = findAccessory(accessory);
    Q_ASSERT(a);
    if (!a)
        return {};
    return QString::fromUtf16(value == 1 ? a->on : a->off);
}
