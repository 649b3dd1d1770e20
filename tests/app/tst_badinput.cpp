// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editordocument.h"
#include "encoding.h"
#include "mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

// Awkward text pasted into the main window's code boxes and fields: huge, with NUL
// characters, broken surrogates, foreign line ends, right-to-left scripts and emoji. Nothing
// may crash, and the saved file must hold exactly that text in the file's 8-bit form: CR LF
// line ends, Windows-1252, one "?" per character the code page lacks, counted for the user
// before the save.
namespace {

QString utf16(std::initializer_list<char16_t> units)
{
    QString s;
    for (char16_t u : units)
        s += QChar(u);
    return s;
}

// 10 MiB of code in lines of 128 characters (CR LF included); each line holds one Greek
// letter the code page lacks and one euro sign it has. Returns the text and the bytes the
// file must hold for it.
constexpr int HugeLines = 81920;
std::pair<QString, QByteArray> hugeCode()
{
    // The six digits at the start of each line number it.
    const QString line = QStringLiteral("\tvalue[]={\"000000\", \"\u03A9\u20AC\"};") +
                         QString(128 - 28, QLatin1Char('x')) + QStringLiteral("\r\n");
    const QByteArray lineBytes =
        QByteArray("\tvalue[]={\"000000\", \"?\x80\"};") + QByteArray(128 - 28, 'x') + "\r\n";
    Q_ASSERT(line.size() == 128 && lineBytes.size() == 128);
    std::pair<QString, QByteArray> out{line.repeated(HugeLines), lineBytes.repeated(HugeLines)};
    constexpr int Digits = 11;
    for (int i = 0; i < HugeLines; ++i) {
        int n = i;
        for (int d = Digits + 5; d >= Digits; --d, n /= 10) {
            out.first[i * 128 + d] = QLatin1Char(char('0' + n % 10));
            out.second[i * 128 + d] = char('0' + n % 10);
        }
    }
    return out;
}

// Bytes from a literal that may hold NUL characters.
template <std::size_t N> QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// Every line break in the file is CR LF.
bool onlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    return true;
}

} // namespace

class tst_badInput : public QObject, MainWindowFixture<>
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    // Replaces the whole text of a code box or field by pasting, as a user would.
    void paste(QWidget *edit, const QString &text)
    {
        showPageOf(edit);
        QVERIFY(edit->isEnabled());
        edit->grab(); // as shown before the paste
        edit->setFocus();
        if (auto *box = qobject_cast<QPlainTextEdit *>(edit))
            box->selectAll();
        else
            static_cast<QLineEdit *>(edit)->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        edit->grab(); // lays the text out and paints it
    }

    // Create, then Save As into the temporary folder, saying Yes to the question about
    // replaced characters. Returns the saved bytes.
    QByteArray createAndSave(qsizetype expectReplaced)
    {
        const QString path = dir->filePath(QStringLiteral("description.ext"));
        QFile::remove(path);
        prompts->messages.clear();
        prompts->answers = {QMessageBox::Yes};
        prompts->fileAnswers = {path};
        main->mnuCreate()->trigger();
        QWidget *preview = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String("savePreview"))
                preview = w;
        }
        if (!preview)
            return "<no preview>";
        preview->grab();
        QTest::mouseClick(preview->findChild<QPushButton *>(QStringLiteral("saveAsButton")),
                          Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        if (expectReplaced == 0) {
            if (!prompts->messages.isEmpty())
                return "<asked: " + prompts->messages.first().text.toUtf8() + ">";
        } else {
            const QString count = expectReplaced == 1
                                      ? QStringLiteral("1 character ")
                                      : QStringLiteral("%1 characters ").arg(expectReplaced);
            if (prompts->messages.size() != 1 ||
                prompts->messages.first().icon != QMessageBox::Question ||
                !prompts->messages.first().text.startsWith(count))
                return "<not asked about " + count.toUtf8() + ">";
        }
        if (!main->isEnabled())
            return "<main still locked>";
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return "<not saved>";
        return file.readAll();
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(openMain());
    }

    void cleanup()
    {
        closeMain();
        dir.reset();
    }

    void codeBox_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("held"); // what the document must hold afterwards
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("replaced");

        QTest::newRow("NUL characters")
            << QStringList{"mainIdentityActive"} << "mainIdentityCode"
            << utf16({0, 'a', 0, 0, 'b', '\n', 0}) << utf16({0, 'a', 0, 0, 'b', '\r', '\n', 0})
            << bytes("\0a\0\0b\r\n\0") << 0;
        QTest::newRow("lone surrogates")
            << QStringList{"mainRadioActive"} << "mainRadioCode"
            << utf16({'a', 0xD83D, 'b', 0xDE00, 'c', 0xDE00, 0xD83D, '\n', 0xD800})
            << utf16({'a', 0xD83D, 'b', 0xDE00, 'c', 0xDE00, 0xD83D, '\r', '\n', 0xD800})
            << QByteArray("a?b?c??\r\n?") << 5;
        QTest::newRow("CR-only line ends")
            << QStringList{"mainSoundActive"} << "mainSoundCode" << QStringLiteral("a\rb\r\rc\r")
            << QStringLiteral("a\r\nb\r\n\r\nc\r\n") << QByteArray("a\r\nb\r\n\r\nc\r\n") << 0;
        QTest::newRow("LF-only line ends")
            << QStringList{"mainMusicActive"} << "mainMusicCode" << QStringLiteral("\na\nb\n\nc")
            << QStringLiteral("\r\na\r\nb\r\n\r\nc") << QByteArray("\r\na\r\nb\r\n\r\nc") << 0;
        QTest::newRow("mixed line ends")
            << QStringList{"mainLoadoutActive"} << "mainLoadoutWeaponsCode"
            << QStringLiteral("a\r\r\nb\n\rc\u2028d\u2029e")
            << QStringLiteral("a\r\n\r\nb\r\n\r\nc\r\nd\r\ne")
            << QByteArray("a\r\n\r\nb\r\n\r\nc\r\nd\r\ne") << 0;
        // Hebrew and Arabic with their direction marks, between Latin text.
        QTest::newRow("right-to-left")
            << QStringList{"mainLoadoutActive"} << "mainLoadoutMagazinesCode"
            << QStringLiteral(
                   "x=\"\u05E9\u05DC\u05D5\u05DD\u200F\";\n"
                   "y=\"\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064A\u0643\u0645\";"
                   "\u202Bz\u202C")
            << QStringLiteral(
                   "x=\"\u05E9\u05DC\u05D5\u05DD\u200F\";\r\n"
                   "y=\"\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064A\u0643\u0645\";"
                   "\u202Bz\u202C")
            << QByteArray("x=\"?????\";\r\ny=\"?????? ?????\";?z?") << 18;
        // One "?" per code point: a face, a family joined by ZWJ (3 + 2), a flag (2), a
        // keycap (the digit stays, selector and keycap mark go), a skin tone (2).
        QTest::newRow("emoji") << QStringList{"respawnActive", "paramsActive"} << "paramsCode"
                               << QStringLiteral(
                                      "\U0001F600|\U0001F468\u200D\U0001F469\u200D\U0001F467|"
                                      "\U0001F1E9\U0001F1EA|1\uFE0F\u20E3|\U0001F44D\U0001F3FD")
                               << QStringLiteral(
                                      "\U0001F600|\U0001F468\u200D\U0001F469\u200D\U0001F467|"
                                      "\U0001F1E9\U0001F1EA|1\uFE0F\u20E3|\U0001F44D\U0001F3FD")
                               << QByteArray("?|?????|??|1??|??") << 12;
        // The code page's own characters above ASCII, the no-break space among them, are
        // written as their bytes, not replaced or turned into spaces.
        QTest::newRow("code page characters")
            << QStringList{"mainOtherActive"} << "mainOtherCode"
            << QStringLiteral("\u20AC\u201A\u2026\u2122\u00A0\u00E9\u00DF\u00FF\t\u00A9")
            << QStringLiteral("\u20AC\u201A\u2026\u2122\u00A0\u00E9\u00DF\u00FF\t\u00A9")
            << QByteArray("\x80\x82\x85\x99\xA0\xE9\xDF\xFF\t\xA9") << 0;
    }

    void codeBox()
    {
        QFETCH(QStringList, switches);
        QFETCH(QString, box);
        QFETCH(QString, pasted);
        QFETCH(QString, held);
        QFETCH(QByteArray, written);
        QFETCH(int, replaced);

        for (const QString &s : switches)
            switchOn(s);
        paste(find(box), pasted);
        const CodeBox c = [&] {
            for (int i = 0; i < CodeBoxCount; ++i) {
                if (box == QLatin1String(codeBoxName(CodeBox(i))))
                    return CodeBox(i);
            }
            return CodeBox::mainOtherCode;
        }();
        QCOMPARE(main->document().code(c), held);

        // The file a document holding that text gives, worked out apart from the window.
        EditorDocument expected;
        expected.applyStartUp();
        for (const QString &s : switches) {
            for (int i = 0; i < SwitchCount; ++i) {
                if (s == QLatin1String(switchName(Switch(i))))
                    expected.setSwitch(Switch(i), 1);
            }
        }
        expected.setCode(c, held);
        const config::EncodedBytes file = descriptionFileBytes(expected.create());
        QCOMPARE(file.replaced, qsizetype(replaced));

        const QByteArray saved = createAndSave(replaced);
        QCOMPARE(saved, file.bytes);
        QVERIFY2(saved.contains(written), saved.toPercentEncoding(" =;{}\"[]/").constData());
        QVERIFY(onlyCrLf(saved));
    }

    void field_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QByteArray>("line"); // the line of the file that carries the text
        QTest::addColumn<int>("replaced");

        QTest::newRow("NUL characters")
            << QStringList{"introStringEnabled"} << "introString" << utf16({'a', 0, 'b', 0})
            << bytes("\r\nOnLoadIntro=\"a\0b\0\";\r\n") << 0;
        QTest::newRow("lone surrogates")
            << QStringList{} << "missionString" << utf16({0xDC00, 'm', 0xD800})
            << QByteArray("\r\nOnLoadMission=\"?m?\";\r\n") << 2;
        QTest::newRow("CR-only and LF-only line ends")
            << QStringList{"scoreEnabled"} << "minScoreText" << QStringLiteral("1\r2\n3")
            << QByteArray("\r\nminScore=1 2 3;\r\n") << 0;
        QTest::newRow("right-to-left") << QStringList{"respawnActive"} << "typeValue"
                                       << QStringLiteral("\u05D3\u05DE\u200F CTI")
                                       << QByteArray("\r\ngameType=??? CTI;\r\n") << 3;
        QTest::newRow("emoji") << QStringList{"respawnActive", "delayCheck"} << "delayText"
                               << QStringLiteral("\u23F1\uFE0F\U0001F525")
                               << QByteArray("\r\nrespawnDelay=???;\r\n") << 3;
    }

    void field()
    {
        QFETCH(QStringList, switches);
        QFETCH(QString, field);
        QFETCH(QString, pasted);
        QFETCH(QByteArray, line);
        QFETCH(int, replaced);

        for (const QString &s : switches)
            switchOn(s);
        paste(find(field), pasted);
        const Field f = [&] {
            for (int i = 0; i < FieldCount; ++i) {
                if (field == QLatin1String(fieldName(Field(i))))
                    return Field(i);
            }
            return Field::introString;
        }();
        // A single-line field keeps one line: each line break became a space.
        QCOMPARE(main->document().text(f),
                 QString(pasted).replace(QRegularExpression("[\r\n]"), " "));

        const config::EncodedBytes file = descriptionFileBytes(main->document().create());
        QCOMPARE(file.replaced, qsizetype(replaced));
        const QByteArray saved = createAndSave(replaced);
        QCOMPARE(saved, file.bytes);
        QVERIFY2(saved.contains(line), saved.toPercentEncoding(" =;{}\"[]/").constData());
        QVERIFY(onlyCrLf(saved));
    }

    // Every kind of line break, pasted or typed into a single-line field of the main window or
    // of an entry dialog, becomes one space; dialog fields take pastes of any length too.
    void singleLineFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        const QString joinedText = QStringLiteral("a b");
        for (const char16_t *br : {u"\r", u"\n", u"\r\n", u"\u2028", u"\u2029", u"\u0085"}) {
            const QString text = QStringLiteral("a") + QString::fromUtf16(br) + QStringLiteral("b");
            QTest::newRow(qPrintable(text.toUtf8().toPercentEncoding())) << text << joinedText;
        }
        QTest::newRow("breaks side by side") << QStringLiteral("\n\r\n\r") << QStringLiteral("   ");
        const QString huge = QString(40000, u'x');
        QTest::newRow("40,000 characters") << huge << huge;
    }
    void singleLineFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);

        switchOn(QStringLiteral("introStringEnabled"));
        paste(find(QStringLiteral("introString")), text);
        QCOMPARE(main->document().text(Field::introString), kept);
        if (text.size() < 10) {
            // Typed, a line break key would insert nothing; the field takes what was typed.
            auto *field = find<QLineEdit>(QStringLiteral("introString"));
            field->clear();
            field->insert(text);
            QCOMPARE(field->text(), kept);
        }

        switchOn(QStringLiteral("mainRadioActive"));
        QTest::mouseClick(find<QPushButton>(QStringLiteral("addRadioButton")), Qt::LeftButton);
        QWidget *dialog = QApplication::activeModalWidget();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QStringLiteral("addRadio") && w->isVisible())
                dialog = w;
        }
        QVERIFY(dialog);
        auto *titles = dialog->findChild<QLineEdit *>(QStringLiteral("radioTitles"));
        titles->setFocus();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(titles, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(titles->text(), kept);
        dialog->close();
    }

    // Ten mebibytes in a code box and in a field, and a long unbroken run in a box that wraps:
    // nothing freezes, and the counts of the question still hold.
    void huge()
    {
        switchOn(QStringLiteral("mainOtherActive"));
        const auto [code, codeBytes] = hugeCode();
        QCOMPARE(code.size(), qsizetype(HugeLines) * 128);
        paste(find(QStringLiteral("mainOtherCode")), code);
        QCOMPARE(main->document().code(CodeBox::mainOtherCode).size(), code.size());

        switchOn(QStringLiteral("introStringEnabled"));
        // One unbroken run (the preview must wrap it without freezing), with a letter the code
        // page lacks (a with macron) in every 64 characters.
        const QString intro = (QString(63, QLatin1Char('x')) + QChar(0x0101)).repeated(10 << 14);
        paste(find(QStringLiteral("introString")), intro);
        QCOMPARE(main->document().text(Field::introString).size(), intro.size());

        // A mebibyte of it in a code box that wraps its lines: enough to freeze the box for
        // minutes if it wrapped at word boundaries.
        const QString run = intro.left(1 << 20);
        switchOn(QStringLiteral("mainIdentityActive"));
        paste(find(QStringLiteral("mainIdentityCode")), run);
        QCOMPARE(main->document().code(CodeBox::mainIdentityCode), run);

        const QByteArray introBytes = (QByteArray(63, 'x') + '?').repeated(10 << 14);
        const QByteArray saved = createAndSave(HugeLines + (intro.size() + run.size()) / 64);
        QVERIFY2(saved.size() > 10 * 1024 * 1024, saved.left(200).constData());
        QVERIFY(saved.contains("\r\nOnLoadIntro=\"" + introBytes + "\";\r\n"));
        QVERIFY(saved.contains("\r\nclass CfgIdentities\r\n{\r\n" + introBytes.left(1 << 20) +
                               "};\r\n"));
        QVERIFY(saved.endsWith(codeBytes + "\r\n"));
        QVERIFY(onlyCrLf(saved));
    }
};

QTEST_MAIN(tst_badInput)
#include "tst_badinput.moc"
