// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyindicators.h"
#include "systemcolours.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

class tst_KeyIndicators : public QObject
{
    Q_OBJECT

    QWidget m_window;
    QLabel *m_num = nullptr, *m_caps = nullptr, *m_ins = nullptr;
    QLineEdit *m_edit = nullptr;
    KeyIndicators *m_indicators = nullptr;

    QColor textColour(QLabel *label) const { return label->palette().color(QPalette::WindowText); }
    static QColor dimmed()
    {
        return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    }
    static QColor active()
    {
        return QApplication::palette().color(QPalette::Active, QPalette::WindowText);
    }
    void press(Qt::Key key) { QTest::keyClick(m_window.windowHandle(), key); }

private Q_SLOTS:
    void initTestCase()
    {
        auto *layout = new QVBoxLayout(&m_window);
        // The field sits in a container so that a key it ignores is offered to two parents.
        auto *container = new QWidget(&m_window);
        m_edit = new QLineEdit(container);
        layout->addWidget(container);
        for (QLabel **label : {&m_num, &m_caps, &m_ins}) {
            *label = new QLabel(&m_window);
            layout->addWidget(*label);
        }
        m_indicators = new KeyIndicators(m_num, m_caps, m_ins, &m_window);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        m_edit->setFocus();
    }

    void startsDimmed()
    {
        // Offscreen there is no keyboard to ask, so all three start dimmed.
        QVERIFY(!m_indicators->readsKeyboardState());
        for (auto i : {KeyIndicators::NumLock, KeyIndicators::CapsLock, KeyIndicators::Insert})
            QVERIFY(!m_indicators->isActive(i));
        QCOMPARE(textColour(m_ins), dimmed());
        QVERIFY(m_ins->isEnabled()); // so that its tooltip still shows
    }

    // One press toggles once, although the event travels from the window to the field and
    // on to its parent.
    void keysToggleOncePerPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("indicator");
        QTest::newRow("Insert") << int(Qt::Key_Insert) << int(KeyIndicators::Insert);
        QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << int(KeyIndicators::CapsLock);
        QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << int(KeyIndicators::NumLock);
    }
    void keysToggleOncePerPress()
    {
        QFETCH(int, key);
        QFETCH(int, indicator);
        auto which = KeyIndicators::Indicator(indicator);
        QLabel *label = std::array{m_num, m_caps, m_ins}[indicator];

        press(Qt::Key(key));
        QVERIFY(m_indicators->isActive(which));
        QCOMPARE(textColour(label), active());
        press(Qt::Key(key));
        QVERIFY(!m_indicators->isActive(which));
        QCOMPARE(textColour(label), dimmed());
    }

    void otherKeysChangeNothing()
    {
        press(Qt::Key_A);
        press(Qt::Key_F1);
        for (auto i : {KeyIndicators::NumLock, KeyIndicators::CapsLock, KeyIndicators::Insert})
            QVERIFY(!m_indicators->isActive(i));
    }

    void fieldColours()
    {
        QPlainTextEdit box;
        SystemColours::setFieldBackground(&box, false);
        box.setEnabled(false);
        const QPalette theme = QApplication::palette();
        QCOMPARE(SystemColours::fieldBackground(&box),
                 SystemColours::inactiveFieldBackground(theme));
        box.setEnabled(true);
        SystemColours::setFieldBackground(&box, true);
        QCOMPARE(SystemColours::fieldBackground(&box), theme.color(QPalette::Base));
        QVERIFY(SystemColours::inactiveFieldBackground(theme) != theme.color(QPalette::Base));

        QPalette dark = theme;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        QVERIFY(qAbs(SystemColours::inactiveFieldBackground(dark).lightness() - 30) >= 40);
        QVERIFY(qAbs(SystemColours::inactiveFieldBackground(theme).lightness() -
                     theme.color(QPalette::Base).lightness()) >= 40);
    }
};

QTEST_MAIN(tst_KeyIndicators)
#include "tst_keyindicators.moc"
