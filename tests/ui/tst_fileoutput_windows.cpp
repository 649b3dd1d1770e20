// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fileoutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

// Saving on Windows: the old file survives every refusal, its attributes are kept, and no
// temporary file is left in the folder. Run under Wine here, which shares Windows' rules on
// sharing and attributes (it has no antivirus or indexer holding files open at random).
class tst_FileOutputWindows : public QObject
{
    Q_OBJECT

    static std::wstring wide(const QString &path)
    {
        return QDir::toNativeSeparators(path).toStdWString();
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    static QStringList folder(const QTemporaryDir &dir)
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

private Q_SLOTS:
    void replacesAndKeepsAttributes_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<DWORD>("attributes");
        QTest::newRow("new file") << false << DWORD(0);
        QTest::newRow("plain") << true << DWORD(FILE_ATTRIBUTE_ARCHIVE);
        QTest::newRow("hidden") << true << DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    }
    void replacesAndKeepsAttributes()
    {
        QFETCH(bool, existing);
        QFETCH(DWORD, attributes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));
        if (existing) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old text\r\n");
            old.close();
            QVERIFY(::SetFileAttributesW(wide(path).c_str(), attributes));
        }
        const auto saved = FileOutput::replaceFile(path, "new text\r\n");
        QVERIFY2(saved, qPrintable(saved.why()));
        QCOMPARE(read(path), QByteArray("new text\r\n"));
        const DWORD now = ::GetFileAttributesW(wide(path).c_str());
        QCOMPARE(bool(now & FILE_ATTRIBUTE_HIDDEN), bool(attributes & FILE_ATTRIBUTE_HIDDEN));
        QCOMPARE(folder(dir), QStringList{QStringLiteral("description.ext")});
    }

    // A file another program holds without sharing, or one marked read-only: a clear
    // message, the old text untouched, no temporary left.
    void refusalsKeepTheOldFile_data()
    {
        QTest::addColumn<bool>("heldOpen");
        QTest::addColumn<QString>("message");
        QTest::newRow("held open by another program")
            << true << QStringLiteral("Another program has the file open");
        QTest::newRow("read-only") << false << QStringLiteral("The file is not writable");
    }
    void refusalsKeepTheOldFile()
    {
        QFETCH(bool, heldOpen);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("description.ext"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old text\r\n");
        }
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (heldOpen) {
            holder = ::CreateFileW(wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            QVERIFY(holder != INVALID_HANDLE_VALUE);
        } else {
            QVERIFY(::SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
        }
        const auto saved = FileOutput::replaceFile(path, "new text\r\n");
        const QString error = saved.why();
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        else
            ::SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        QVERIFY(!saved);
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QCOMPARE(read(path), QByteArray("old text\r\n"));
        QCOMPARE(folder(dir).join(u' '), QStringLiteral("description.ext"));
    }
};

QTEST_GUILESS_MAIN(tst_FileOutputWindows)
#include "tst_fileoutput_windows.moc"
