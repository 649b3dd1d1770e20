// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

// The seed of a test's random inputs. A run uses `fallback`, so that a run on CI is the same
// every time; MERROW_SEED=N replays another seed and MERROW_SEED=random picks one, which is
// printed so that a failure can be replayed.
inline quint32 testSeed(quint32 fallback)
{
    quint32 seed = fallback;
    const QByteArray asked = qgetenv("MERROW_SEED");
    if (asked == "random") {
        seed = QRandomGenerator::global()->generate();
    } else if (!asked.isEmpty()) {
        bool ok = false;
        seed = asked.toUInt(&ok);
        if (!ok)
            qFatal("MERROW_SEED must be a number from 0 to 4294967295, or \"random\"");
    }
    qInfo("MERROW_SEED=%u", seed);
    return seed;
}
