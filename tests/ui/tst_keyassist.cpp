// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyassist.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

// Completion and key help through a real text box: Ctrl+Space, the list, Enter, and a hover.
class tst_KeyAssist : public QObject
{
    Q_OBJECT

    QPlainTextEdit *m_edit = nullptr;
    KeyAssist *m_assist = nullptr;

    QAbstractItemView *popup() const { return m_assist->completer()->popup(); }
    QStringList offered() const
    {
        QStringList names;
        const QAbstractItemModel *model = m_assist->completer()->completionModel();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data(Qt::UserRole).toString();
        return names;
    }
    // Puts `text` in the box with the cursor where "|" stands.
    void place(const QString &text)
    {
        const qsizetype at = text.indexOf(u'|');
        m_edit->setPlainText(QString(text).remove(at, 1));
        QTextCursor cursor = m_edit->textCursor();
        cursor.setPosition(int(at));
        m_edit->setTextCursor(cursor);
    }

private Q_SLOTS:
    void init()
    {
        m_edit = new QPlainTextEdit;
        m_edit->resize(600, 300);
        m_assist = KeyAssist::install(m_edit, {u"CfgSounds"_qs});
        m_edit->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_edit));
        m_edit->activateWindow();
        m_edit->setFocus();
    }
    void cleanup() { delete m_edit; }

    void completesKeysOfTheClassAround()
    {
        place(u"sounds[] = {};\nclass s1\n{\n\tso|\n};\n"_qs);
        QTest::keyClick(m_edit, Qt::Key_Space, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(popup()->isVisible(), 10000);
        QCOMPARE(offered(), QStringList{u"sound[]"_qs});
        // The list shows the type and the help line beside the name.
        const QString shown = popup()->currentIndex().data(Qt::DisplayRole).toString();
        QVERIFY2(shown.contains(u"array") && shown.contains(u"file"), qPrintable(shown));
        QTest::keyClick(popup(), Qt::Key_Return);
        QVERIFY(!popup()->isVisible());
        QCOMPARE(m_edit->toPlainText(), u"sounds[] = {};\nclass s1\n{\n\tsound[]\n};\n"_qs);
        QCOMPARE(m_edit->textCursor().position(), 34);
    }

    void narrowsWhileTypingAndOffersNothingInAValue()
    {
        place(u"|"_qs);
        QTest::keyClick(m_edit, Qt::Key_Space, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(popup()->isVisible(), 10000);
        QCOMPARE(offered(), QStringList{u"sounds[]"_qs});
        QTest::keyClick(popup(), Qt::Key_Escape);
        QVERIFY(!popup()->isVisible());
        QCOMPARE(m_edit->toPlainText(), QString());

        place(u"sounds[] = {|"_qs);
        QVERIFY(!m_assist->showCompletions());
        QVERIFY(!popup()->isVisible());
    }

    // A key the text already sets in the same class is not offered again; the same key in
    // another class, or the one being typed, still is.
    void offersNoKeyTheTextSets()
    {
        place(u"sounds[] = {\"a\"};\nclass a\n{\n\tname = \"A\";\n\tsound[] = {};\n\t|\n};\n"
              u"class b { titles[] = {}; };\n"_qs);
        QTest::keyClick(m_edit, Qt::Key_Space, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(popup()->isVisible(), 10000);
        const QStringList inA = offered();
        QVERIFY2(!inA.contains(u"sound[]"_qs) && !inA.contains(u"name"_qs),
                 qPrintable(inA.join(u' ')));
        QVERIFY2(inA.contains(u"titles[]"_qs), qPrintable(inA.join(u' ')));
        QTest::keyClick(popup(), Qt::Key_Escape);

        // At the top: sounds[] is set, so nothing is left to offer there.
        place(u"sounds[] = {};\n|\n"_qs);
        QVERIFY2(!m_assist->showCompletions(), qPrintable(offered().join(u' ')));
        // The key being typed is offered, though the text now holds it.
        place(u"sou|"_qs);
        QVERIFY(m_assist->showCompletions());
        QCOMPARE(offered(), QStringList{u"sounds[]"_qs});
        QTest::keyClick(popup(), Qt::Key_Escape);
    }

    void hoverShowsKeyHelp()
    {
        m_edit->setPlainText(u"class s1\n{\n\ttitles[] = {0, \"name\"};\n};\n"_qs);
        const QTextBlock line = m_edit->document()->findBlockByNumber(2);
        QTextCursor onKey(line);
        onKey.setPosition(line.position() + 3);
        QTextCursor onValue(line);
        onValue.setPosition(line.position() + 17);
        const QPoint key = m_edit->cursorRect(onKey).center();
        QVERIFY2(m_assist->helpAt(key).startsWith(u"titles[] (array)\nSubtitles"_qs),
                 qPrintable(m_assist->helpAt(key)));
        // A value that happens to be a key's name is no key.
        QCOMPARE(m_assist->helpAt(m_edit->cursorRect(onValue).center()), QString());

        QHelpEvent hover(QEvent::ToolTip, key, m_edit->viewport()->mapToGlobal(key));
        QApplication::sendEvent(m_edit->viewport(), &hover);
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::text().contains(u"Subtitles"_qs), 10000);
        QToolTip::hideText();
    }
};

QTEST_MAIN(tst_KeyAssist)
#include "tst_keyassist.moc"
