// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "about.h"
#include "standinmain.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWindow>

class tst_about : public QObject
{
    Q_OBJECT

    std::unique_ptr<StandInMain> main;

    QPointer<about> open()
    {
        QPointer<about> box = about::openFor(main.get());
        QCoreApplication::processEvents(); // window-system activation
        return box;
    }

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<StandInMain>();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<about *>(w))
                delete w;
        }
        main.reset();
    }

    void layout()
    {
        QPointer<about> box = open();
        QCOMPARE(box->objectName(), QStringLiteral("about"));
        QCOMPARE(box->size(), QSize(256, 128));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QCOMPARE(box->windowTitle(), QStringLiteral("About"));
        QVERIFY(box->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(box->windowType(), Qt::Tool);
        QVERIFY(!box->parentWidget());
        QCOMPARE(box->windowHandle()->transientParent(), main->windowHandle());

        QLabel *picture = box->findChild<QLabel *>(QStringLiteral("Picture1"));
        QLabel *label = box->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(picture && label);
        QCOMPARE(picture->geometry(), QRect(0, 0, 256, 128));
        QCOMPARE(picture->frameShape(), QFrame::NoFrame);
        QCOMPARE(label->mapTo(box, QPoint()), QPoint(184, 96));
        QCOMPARE(label->size(), QSize(65, 17));
        QCOMPARE(label->text(), QStringLiteral("ver.: 1.1"));
        QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(label->font().pointSize(), 9);
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(224, 224, 224));
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::Window).alpha(), 0);
    }

    void opensCentredAndLocksMain()
    {
        QPointer<about> box = open();
        QVERIFY(box->isVisible());
        QVERIFY(!main->isEnabled());
        const QRect screen = box->screen()->availableGeometry();
        QCOMPARE(box->geometry().center(), screen.center());
        QCOMPARE(QApplication::activeWindow(), box.data());
    }

    void clickOnPictureCloses()
    {
        QPointer<about> box = open();
        QTest::mouseClick(box->Picture1(), Qt::LeftButton, {}, QPoint(20, 20));
        flushDeletes();
        QCoreApplication::processEvents();
        QVERIFY(!box);
        QVERIFY(main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), main.get());
        QCOMPARE(QApplication::focusWidget(), main.get());
    }

    void otherInputDoesNothing_data()
    {
        QTest::addColumn<int>("input");
        QTest::newRow("click on the version text") << 0;
        QTest::newRow("right click on the picture") << 1;
        QTest::newRow("a letter") << 2;
        QTest::newRow("Ctrl+Return") << 3;
    }
    void otherInputDoesNothing()
    {
        QFETCH(int, input);
        QPointer<about> box = open();
        switch (input) {
        case 0:
            QTest::mouseClick(box->Label1(), Qt::LeftButton, {}, QPoint(10, 8));
            break;
        case 1:
            QTest::mouseClick(box->Picture1(), Qt::RightButton, {}, QPoint(20, 20));
            break;
        case 2:
            QTest::keyClick(box, Qt::Key_A);
            break;
        case 3:
            QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
            break;
        }
        flushDeletes();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!main->isEnabled());
    }

    // The box locks the main window, so the keyboard alone must be able to close it: Esc,
    // Enter and Space as a click does, and the window system's close (Alt+F4).
    void keyboardCloses_data()
    {
        QTest::addColumn<int>("key"); // 0: the window system's close
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("window close") << 0;
    }
    void keyboardCloses()
    {
        QFETCH(int, key);
        QPointer<about> box = open();
        QCOMPARE(QApplication::activeWindow(), box.data());
        if (key)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                        : QApplication::activeWindow(),
                            Qt::Key(key),
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        else
            QVERIFY(box->windowHandle()->close());
        flushDeletes();
        QCoreApplication::processEvents();
        QVERIFY(!box);
        QVERIFY(main->isEnabled());
        QCOMPARE(QApplication::activeWindow(), main.get());
    }

    void eachOpeningIsFresh()
    {
        QPointer<about> first = open();
        QTest::mouseClick(first->Picture1(), Qt::LeftButton, {}, QPoint(5, 5));
        flushDeletes();
        QPointer<about> second = open();
        QVERIFY(!first);
        QVERIFY(second);
        QVERIFY(!main->isEnabled());
    }
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
