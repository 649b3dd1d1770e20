// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "textlines.h"

#include <QFile>

QString crlfLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QStringList emptyLines(int count)
{
    return QStringList(count, QString());
}

QString testDataPath(const QString &name)
{
    return QStringLiteral(MERROW_TEST_DATA "/") + name;
}

QByteArray testData(const QString &name)
{
    QFile file(testDataPath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s", qPrintable(file.fileName()));
    return file.readAll();
}
