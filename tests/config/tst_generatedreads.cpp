// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "configreader.h"
#include "editordocument.h"
#include "entries.h"
#include "generator.h"
#include "randomvalues.h"

#include <QRandomGenerator>
#include <QTest>

using namespace config;

namespace {

using Values = RandomValues;

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
                doc.setCode(CodeBox(c), CodeBox(c) == CodeBox::mainOtherCode
                                            ? values.otherCode()
                                            : values.codeFor(CodeBox(c)));

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
