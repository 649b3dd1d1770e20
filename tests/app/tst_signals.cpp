// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The real editor, offscreen, asked to end by a signal as a logout or `kill` asks: it ends its
// event loop as a closed window does, so nothing of the run stays in the temporary folder.
class tst_signals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endsCleanly_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QStringList>("arguments");

        QTest::newRow("SIGTERM") << int(SIGTERM) << QStringList();
        QTest::newRow("SIGHUP") << int(SIGHUP) << QStringList();
        QTest::newRow("SIGINT") << int(SIGINT) << QStringList();
        // The signal comes while the warning about the missing file waits for an answer.
        QTest::newRow("SIGTERM during a message")
            << int(SIGTERM) << QStringList{QStringLiteral("/nonexistent/description.ext")};
    }

    void endsCleanly()
    {
        QFETCH(int, signal);
        QFETCH(QStringList, arguments);

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess editor;
        editor.setProcessEnvironment(environment);
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(QStringLiteral(MERROW_EDITOR_PATH), arguments);
        QVERIFY(editor.waitForStarted());

        // The run's settings folder shows that the editor is up and listening.
        const QDir folder(temporary.path());
        const QStringList pattern{QStringLiteral("merrow-editor-*")};
        QTRY_COMPARE_WITH_TIMEOUT(folder.entryList(pattern, QDir::Dirs).size(), 1, 60000);
        QCOMPARE(::kill(editor.processId(), signal), 0);

        QVERIFY(editor.waitForFinished(60000));
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(editor.exitCode(), 0);
        QCOMPARE(folder.entryList(pattern, QDir::Dirs), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_signals)
#include "tst_signals.moc"
