#include "generator.h"

#include "encoding.h"

namespace {

// When a fragment's switch lets it be written. OnLoad strings and times test "not 0",
// the others "is 1"; the respawn lines also need their switch's enabled flag.
enum class Gate { NotZero, IsOne, EnabledAndOne, Enabled };

using Compose = void (*)(const DocumentValues &, QString &out);

struct FragmentRule
{
    Fragment slot;
    Switch gate;
    Gate kind;
    Compose compose;            // the text while the gate is open, or
    const char16_t *openText;   // the fixed text while it is open
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

constexpr char16_t SoundsPreamble[] = u"sounds[]={};\r\n\r\n";
constexpr char16_t TracksPreamble[] = u"tracks[]={};\r\n\r\n";

constexpr FragmentRule Rules[] = {
    {Fragment::introString, Switch::introStringEnabled, Gate::NotZero,
     [](const DocumentValues &d, QString &out) {
         out += u"OnLoadIntro=\"";
         out += d.text(Field::introString);
         out += u"\";\r\n";
     },
     nullptr, nullptr},
    {Fragment::missionString, Switch::missionStringEnabled, Gate::NotZero,
     [](const DocumentValues &d, QString &out) {
         out += u"OnLoadMission=\"";
         out += d.text(Field::missionString);
         out += u"\";\r\n";
     },
     nullptr, nullptr},
    {Fragment::introTime, Switch::introTimeEnabled, Gate::NotZero, nullptr,
     u"OnLoadIntroTime=TRUE;\r\n", u"OnLoadIntroTime=FALSE;\r\n"},
    {Fragment::missionTime, Switch::missionTimeEnabled, Gate::NotZero, nullptr,
     u"OnLoadMissionTime=TRUE;\r\n", u"OnLoadMissionTime=FALSE;\r\n"},
    {Fragment::disabledAI, Switch::disabledaiCheck, Gate::IsOne, nullptr, u"disabledAI=TRUE;\r\n",
     u"disabledAI=FALSE;\r\n"},
    {Fragment::gps, Switch::gpsCheck, Gate::IsOne, nullptr, u"ShowGPS=1;\r\n", u"ShowGPS=0;\r\n"},
    {Fragment::compass, Switch::compassCheck, Gate::IsOne, nullptr, u"showCompass=1;\r\n",
     u"showCompass=0;\r\n"},
    {Fragment::watch, Switch::watchCheck, Gate::IsOne, nullptr, u"showWatch=1;\r\n",
     u"showWatch=0;\r\n"},
    {Fragment::map, Switch::mapCheck, Gate::IsOne, nullptr, u"showMap=1;\r\n", u"showMap=0;\r\n"},
    {Fragment::notepad, Switch::notepadCheck, Gate::IsOne, nullptr, u"showNotePad=1;\r\n",
     u"showNotePad=0;\r\n"},
    {Fragment::briefing, Switch::briefingCheck, Gate::IsOne, nullptr, u"briefing=1;\r\n",
     u"briefing=0;\r\n"},
    {Fragment::debriefing, Switch::debriefingCheck, Gate::IsOne, nullptr, u"debriefing=1;\r\n",
     u"debriefing=0;\r\n"},
    {Fragment::score, Switch::scoreEnabled, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         assignment(out, u"minScore", d.text(Field::minScoreText));
         assignment(out, u"avgScore", d.text(Field::avgScoreText));
         assignment(out, u"maxScore", d.text(Field::maxScoreText));
     },
     nullptr, nullptr},
    {Fragment::identity, Switch::mainIdentityActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"CfgIdentities", {}, d.code(CodeBox::mainIdentityCode));
     },
     nullptr, nullptr},
    {Fragment::radio, Switch::mainRadioActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"CfgRadio", SoundsPreamble, d.code(CodeBox::mainRadioCode));
     },
     nullptr, nullptr},
    {Fragment::sound, Switch::mainSoundActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"CfgSounds", SoundsPreamble, d.code(CodeBox::mainSoundCode));
     },
     nullptr, nullptr},
    {Fragment::music, Switch::mainMusicActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"CfgMusic", TracksPreamble, d.code(CodeBox::mainMusicCode));
     },
     nullptr, nullptr},
    {Fragment::loadout, Switch::mainLoadoutActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"Weapons", {}, d.code(CodeBox::mainLoadoutWeaponsCode));
         out += CrLf;
         classBlock(out, u"Magazines", {}, d.code(CodeBox::mainLoadoutMagazinesCode));
     },
     nullptr, nullptr},
    {Fragment::header, Switch::respawnActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         out += u"class Header\r\n{\r\n";
         assignment(out, u"gameType", d.text(Field::typeValue));
         assignment(out, u"minPlayers", d.text(Field::minPlayersValue));
         assignment(out, u"maxPlayers", d.text(Field::maxPlayersValue));
         out += u"};\r\n";
     },
     nullptr, nullptr},
    {Fragment::respawn, Switch::respawnCheck, Gate::EnabledAndOne,
     [](const DocumentValues &d, QString &out) {
         assignment(out, u"respawn", QString::number(int(d.respawnMode())));
     },
     nullptr, nullptr},
    {Fragment::respawnDelay, Switch::delayCheck, Gate::EnabledAndOne,
     [](const DocumentValues &d, QString &out) {
         assignment(out, u"respawnDelay", d.text(Field::delayText));
     },
     nullptr, nullptr},
    {Fragment::vehicleDelay, Switch::vehicleDelayCheck, Gate::EnabledAndOne,
     [](const DocumentValues &d, QString &out) {
         assignment(out, u"respawnVehicleDelay", d.text(Field::vehicleDelayText));
     },
     nullptr, nullptr},
    {Fragment::respawnDialog, Switch::dialogCheck, Gate::Enabled,
     [](const DocumentValues &d, QString &out) {
         out +=
             d.value(Switch::dialogCheck) == 1 ? u"respawnDialog=1;\r\n" : u"respawnDialog=0;\r\n";
     },
     nullptr, nullptr},
    {Fragment::params, Switch::paramsActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) {
         classBlock(out, u"Params", {}, d.code(CodeBox::paramsCode));
     },
     nullptr, nullptr},
    {Fragment::other, Switch::mainOtherActive, Gate::IsOne,
     [](const DocumentValues &d, QString &out) { out += d.code(CodeBox::mainOtherCode); }, nullptr,
     nullptr},
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

bool gateOpen(const DocumentValues &d, const FragmentRule &rule)
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

void appendFragment(const DocumentValues &d, Fragment f, QString &out)
{
    const FragmentRule &rule = Rules[int(f)];
    if (!gateOpen(d, rule)) {
        if (rule.closedText)
            out += rule.closedText;
    } else if (rule.compose) {
        rule.compose(d, out);
    } else {
        out += rule.openText;
    }
}

} // namespace

GeneratedFile generate(const DocumentValues &values)
{
    GeneratedFile file;
    generateInto(values, file);
    return file;
}

void generateInto(const DocumentValues &values, GeneratedFile &file)
{
    // resize(0) rather than clear(): a string nobody else shares keeps its room.
    qsizetype total = 64;
    for (int i = 0; i < FragmentCount; ++i) {
        file.fragments[i].resize(0);
        appendFragment(values, Fragment(i), file.fragments[i]);
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

QString generateFragment(const DocumentValues &values, Fragment fragment)
{
    QString out;
    appendFragment(values, fragment, out);
    return out;
}
