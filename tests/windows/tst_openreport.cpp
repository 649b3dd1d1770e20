// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "openreport.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

// The report beside the main window closes from the keyboard wherever its focus is, and the
// main window, never locked by it, keeps working.
class tst_openReport : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<StandInMain>();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<openReport *>(w))
                delete w;
        }
        main.reset();
    }

    void keyboardCloses_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::newRow("Escape on the button")
            << QStringLiteral("closeReportButton") << int(Qt::Key_Escape);
        QTest::newRow("Escape in the text") << QStringLiteral("reportText") << int(Qt::Key_Escape);
        QTest::newRow("Return on the button")
            << QStringLiteral("closeReportButton") << int(Qt::Key_Return);
        QTest::newRow("Space on the button")
            << QStringLiteral("closeReportButton") << int(Qt::Key_Space);
    }
    void keyboardCloses()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QPointer<openReport> report =
            new openReport(main.get(), QStringLiteral("Opened"), QStringLiteral("1 setting"));
        report->open();
        QCoreApplication::processEvents();
        QVERIFY(main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), report.data());
        QWidget *target = report->findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key(key));
        flushDeletes();
        QCoreApplication::processEvents();
        QVERIFY(!report);
        QVERIFY(main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), main.get());
    }
};

QTEST_MAIN(tst_openReport)
#include "tst_openreport.moc"
