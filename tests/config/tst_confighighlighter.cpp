// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "confighighlighter.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// The format the highlighter gave the character at `position`.
QTextCharFormat formatAt(QTextDocument &doc, int position)
{
    const QTextBlock block = doc.findBlock(position);
    const int inBlock = position - block.position();
    for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
        if (inBlock >= r.start && inBlock < r.start + r.length)
            return r.format;
    }
    return {};
}

// Which role's colour and weight the character shows; -1 for plain text.
int roleAt(QTextDocument &doc, const ConfigHighlighter &h, int position)
{
    const QTextCharFormat f = formatAt(doc, position);
    for (int r = 0; r < ConfigHighlighter::RoleCount; ++r) {
        const QTextCharFormat rf = h.roleFormat(ConfigHighlighter::Role(r));
        if (f.foreground() == rf.foreground() && f.fontWeight() == rf.fontWeight() &&
            f.fontItalic() == rf.fontItalic())
            return r;
    }
    return -1;
}

} // namespace

class tst_confighighlighter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("at"); // the first occurrence of this is looked at
        QTest::addColumn<int>("role");
        using R = ConfigHighlighter::Role;
        QTest::newRow("line comment") << "x=1; // note"
                                      << "note" << int(R::Comment);
        QTest::newRow("block comment") << "/* a */ x=1;"
                                       << "a" << int(R::Comment);
        QTest::newRow("after a block comment") << "/* a */ x=1;"
                                               << "x" << -1;
        QTest::newRow("string") << "x=\"a \"\"b\"\" c\";"
                                << "c" << int(R::String);
        QTest::newRow("comment marker in a string") << "x=\"//no\";"
                                                    << "no" << int(R::String);
        QTest::newRow("integer") << "x=42;"
                                 << "42" << int(R::Number);
        QTest::newRow("negative exponent") << "x=-1.5e-3;"
                                           << "5e" << int(R::Number);
        QTest::newRow("hex") << "x=0x1F;"
                             << "1F" << int(R::Number);
        QTest::newRow("digits in a name") << "abc1=2;"
                                          << "1" << -1;
        QTest::newRow("class") << "class A: B {};"
                               << "class" << int(R::Keyword);
        QTest::newRow("delete") << "delete A;"
                                << "delete" << int(R::Keyword);
        QTest::newRow("class inside a name") << "subclass=1;"
                                             << "class" << -1;
        QTest::newRow("directive") << "  #include \"a.hpp\""
                                   << "a.hpp" << int(R::Preprocessor);
        QTest::newRow("continued directive") << "#define A 1 \\\n  + 2\nx=3;"
                                             << "+ 2" << int(R::Preprocessor);
        QTest::newRow("after a continued directive") << "#define A 1 \\\n  + 2\nx=3;"
                                                     << "x" << -1;
        QTest::newRow("comment over lines") << "/* a\nclass b\n*/ c=1;"
                                            << "class" << int(R::Comment);
        QTest::newRow("after a comment over lines") << "/* a\nclass b\n*/ c=1;"
                                                    << "c=" << -1;
        QTest::newRow("directive's comment over lines") << "#define A /* x\n y */ 1\nb=2;"
                                                        << " 1" << int(R::Preprocessor);
        QTest::newRow("after a directive's comment") << "#define A /* x\n y */ 1\nb=2;"
                                                     << "b" << -1;
        QTest::newRow("line comment ends a directive") << "#define A 1 // \\\nb=2;"
                                                       << "b" << -1;
        QTest::newRow("eval") << "x=__EVAL(1);"
                              << "__EVAL" << int(R::Preprocessor);
    }
    void roles()
    {
        QFETCH(QString, text);
        QFETCH(QString, at);
        QFETCH(int, role);
        QTextDocument doc(text);
        ConfigHighlighter h(&doc);
        QCoreApplication::processEvents(); // the first highlight runs from the event loop
        QCOMPARE(roleAt(doc, h, int(text.indexOf(at))), role);
    }

    // Opening or closing a block comment in one line recolours the lines after it.
    void editsCarryCommentState()
    {
        QTextDocument doc(QStringLiteral("a=1;\nb=2;\nc=3;"));
        doc.documentLayout(); // as in an editor: edits are reported only to a laid out document
        ConfigHighlighter h(&doc);
        QCoreApplication::processEvents();
        const int c = int(doc.toPlainText().indexOf(u'c'));
        QCOMPARE(roleAt(doc, h, c), -1);
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("/*"));
        QCOMPARE(roleAt(doc, h, c + 2), int(ConfigHighlighter::Role::Comment));
        cursor.deletePreviousChar();
        QCOMPARE(roleAt(doc, h, c + 1), -1);
    }

    // Problems are underlined with a wavy line over their range; one between characters
    // marks the character before it; replacing the list removes old underlines.
    void underlines()
    {
        const QString text = QStringLiteral("x = 1\ny = bad;");
        QTextDocument doc(text);
        ConfigHighlighter h(&doc);
        QCoreApplication::processEvents();
        const int bad = int(text.indexOf(u"bad"));
        h.setDiagnostics({{bad, 3, false, "unquoted"}, {5, 0, true, "missing ;"}});
        for (int p : {bad, bad + 2, 4})
            QCOMPARE(formatAt(doc, p).underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(formatAt(doc, bad + 3).underlineStyle(), QTextCharFormat::NoUnderline);
        QCOMPARE(formatAt(doc, 3).underlineStyle(), QTextCharFormat::NoUnderline);
        QVERIFY(formatAt(doc, bad).underlineColor() != formatAt(doc, 4).underlineColor());
        QCOMPARE(formatAt(doc, bad + 1).underlineColor(), formatAt(doc, bad).underlineColor());
        QCOMPARE(formatAt(doc, 0).underlineStyle(), QTextCharFormat::NoUnderline);
        h.setDiagnostics({});
        QCOMPARE(formatAt(doc, bad).underlineStyle(), QTextCharFormat::NoUnderline);
    }

    // In a dark palette every role stays readable against the background.
    void darkPalette()
    {
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Link, QColor(0, 0, 90));
        dark.setColor(QPalette::LinkVisited, QColor(40, 0, 40));
        dark.setColor(QPalette::Highlight, QColor(0, 40, 80));
        dark.setColor(QPalette::PlaceholderText, QColor(50, 50, 50));
        QTextDocument doc;
        ConfigHighlighter h(&doc);
        h.setPalette(dark);
        for (int r = 0; r < ConfigHighlighter::RoleCount; ++r) {
            const QColor c = h.roleFormat(ConfigHighlighter::Role(r)).foreground().color();
            QVERIFY2(c.lightness() - 20 >= 60, qPrintable(QString::number(r)));
        }
    }

    // In a text box only the shown blocks and a few around them are coloured, as they are
    // painted: the rest keep no formats. Scrolling far down colours what comes into view with
    // the state of a comment opened far above, and an edit above recolours what is shown.
    void colourShownOnly()
    {
        constexpr int Lines = 20000;
        constexpr int Opened = 10000; // this line opens a comment that never closes
        QString text;
        for (int i = 0; i < Lines; ++i)
            text += i == Opened ? QStringLiteral("/* open\n") : QStringLiteral("x=1; // n\n");
        text += QStringLiteral("y=2;");
        QPlainTextEdit edit;
        edit.resize(300, 200);
        ConfigHighlighter h(&edit);
        edit.setPlainText(text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QTRY_COMPARE(roleAt(*edit.document(), h, int(text.indexOf(u'n'))),
                     int(ConfigHighlighter::Role::Comment));
        QVERIFY2(h.blocksColoured() < 500, qPrintable(QString::number(h.blocksColoured())));
        const QTextBlock far = edit.document()->findBlockByNumber(Lines / 4);
        QVERIFY(far.layout()->formats().isEmpty());

        const int last = int(text.lastIndexOf(u'y'));
        edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
        QTRY_COMPARE(roleAt(*edit.document(), h, last), int(ConfigHighlighter::Role::Comment));
        QVERIFY2(h.blocksColoured() < 1000, qPrintable(QString::number(h.blocksColoured())));

        QTextCursor cursor(edit.document()->findBlockByNumber(Opened));
        cursor.deleteChar(); // "* open": the comment is gone
        QTRY_COMPARE(roleAt(*edit.document(), h, last - 1), -1);
    }

    // Around the shown blocks, long lines are coloured only as far as a few screens of short
    // ones would reach: a box of lines just short of being cut costs what it shows.
    void colourNearLongLinesSparingly()
    {
        const QString line = QStringLiteral("x = \"%1\";\n").arg(QString(19000, u'a'));
        QPlainTextEdit edit;
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit.resize(300, 200);
        ConfigHighlighter h(&edit);
        edit.setPlainText(line.repeated(300));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.verticalScrollBar()->setValue(150);
        QTRY_COMPARE(roleAt(*edit.document(), h, line.size() * 150 + 5),
                     int(ConfigHighlighter::Role::String));
        const qint64 shown = edit.viewport()->height() / edit.fontMetrics().height() + 2;
        QVERIFY2(h.charactersColoured() < (3 * shown + 10) * line.size(),
                 qPrintable(QString::number(h.charactersColoured() / line.size())));
    }
};

QTEST_MAIN(tst_confighighlighter)
#include "tst_confighighlighter.moc"
