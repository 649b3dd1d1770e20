#include "configreader.h"
#include "editordocument.h"
#include "entries.h"
#include "generator.h"

#include <QRandomGenerator>
#include <QTest>

using namespace config;

namespace {

// Values as a mission maker types them into the form and the entry dialogs. Text the game
// cannot read (a quote inside an OnLoad text, a class name with a blank) passes through the
// generator unchanged by design, and reporting it is exactly the reader's job, so it is not
// drawn here.
class Values
{
public:
    explicit Values(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng.bounded(n)); }
    bool coin() { return below(2) == 1; }

    QString word()
    {
        static const QString first = QStringLiteral("abcxyzABCXYZ_");
        static const QString rest = QStringLiteral("abcxyzABCXYZ_0189");
        QString w(first[below(int(first.size()))]);
        for (int i = below(10); i > 0; --i)
            w += rest[below(int(rest.size()))];
        return w;
    }
    QString text()
    {
        static const QStringList words{"Hello", "mission", "é",  "at",  "dawn",         "x;y",
                                       "{a}",   "//",      "#1", "50%", "\\path\\file", "'q'"};
        QStringList parts;
        for (int i = below(5); i > 0; --i)
            parts << words[below(int(words.size()))];
        return parts.join(u' ');
    }
    QString number()
    {
        switch (below(4)) {
        case 0:
            return QString::number(below(1000));
        case 1:
            return QString::number(-below(100));
        case 2:
            return QStringLiteral("%1.%2").arg(below(10)).arg(below(100));
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
                rows.append({word(), QString::number(below(20)), coin()});
            return loadoutEntries(rows, rows).weapons;
        }
        case CodeBox::paramsCode:
            return mpParamsEntry({word(), QString::number(below(10)), text(), u"0,1,2"_qs,
                                  quoted(text()) + u", "_qs + quoted(text()), number()});
        case CodeBox::mainOtherCode:
            break;
        }
        static const QStringList other{
            "// a note\r\n",
            "/* a block\r\n   comment */\r\n",
            "enableDebugConsole=1;\r\n",
            "respawnTemplates[]={\"Counter\",\"Tickets\"};\r\n",
            "class CfgDebriefing\r\n{\r\n\tclass End1 { title=\"Won\"; };\r\n};\r\n",
            "#include \"dialogs.hpp\"\r\n",
            "#define TITLE \"t\"\r\nbriefingName=TITLE;\r\n",
        };
        return other[below(int(other.size()))];
    }

    QRandomGenerator m_rng;
};

} // namespace

class tst_generatedreads : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every file the generator writes from a form filled with sensible values reads without
    // errors: the layout, the class wrapping and every entry composer fit the format.
    void generatedFilesReadWithoutErrors()
    {
        constexpr int Documents = 400;
        for (int seed = 1; seed <= Documents; ++seed) {
            Values values{quint32(seed)};
            EditorDocument doc;
            doc.applyStartUp();
            for (int s = 0; s < SwitchCount; ++s)
                doc.setSwitch(Switch(s), values.coin() ? 1 : 0);
            for (Switch s : {Switch::respawnCheck, Switch::delayCheck, Switch::vehicleDelayCheck,
                             Switch::dialogCheck})
                doc.setEnabled(s, values.coin());
            doc.setText(Field::introString, values.text());
            doc.setText(Field::missionString, values.text());
            for (Field f : {Field::minScoreText, Field::avgScoreText, Field::maxScoreText,
                            Field::minPlayersValue, Field::maxPlayersValue, Field::delayText,
                            Field::vehicleDelayText})
                doc.setText(f, values.number());
            doc.setText(Field::typeValue, values.coin() ? u"COOP"_qs : values.word());
            doc.setRespawnMode(RespawnMode(values.below(RespawnModeCount)));
            for (int c = 0; c < CodeBoxCount; ++c)
                doc.setCode(CodeBox(c), values.codeFor(CodeBox(c)));

            const QString text = generate(doc).text;
            const ReadResult result = readConfig(text);
            if (result.hasErrors()) {
                const Diagnostic &d = result.diagnostics.front();
                QFAIL(qPrintable(QStringLiteral("seed %1, line %2: %3\n%4")
                                     .arg(seed)
                                     .arg(d.position.line)
                                     .arg(d.message, text)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_generatedreads)
#include "tst_generatedreads.moc"
