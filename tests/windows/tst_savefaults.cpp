// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fileoutput.h"
#include "mainwindowfixture.h"
#include "savepreview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <memory>

// Saving into places that refuse the file, end to end: the real main window creates, its
// preview saves through the real file output, and the machine is made to fail underneath.
// Where the machine cannot be made to fail (no mounting, no file attributes) the variant is
// skipped, and the seam's simulated failure stands in.
namespace {

// What a folder looked like: every entry with its bytes (folders as "<dir>").
using Snapshot = QMap<QString, QByteArray>;

Snapshot snapshot(const QString &folder)
{
    Snapshot entries;
    const QDir dir(folder);
    for (const QFileInfo &info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (info.isDir()) {
            entries.insert(info.fileName() + QLatin1Char('/'), QByteArray("<dir>"));
            const Snapshot inner = snapshot(info.filePath());
            for (auto it = inner.begin(); it != inner.end(); ++it)
                entries.insert(info.fileName() + QLatin1Char('/') + it.key(), it.value());
            continue;
        }
        QFile file(info.filePath());
        entries.insert(info.fileName(), file.open(QIODevice::ReadOnly)
                                            ? file.readAll()
                                            : QByteArray("<unreadable>"));
    }
    return entries;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether a new file can be made in `folder` right now (root passes permission checks, so
// only a real attempt tells whether a fault bites).
bool canCreateIn(const QString &folder)
{
    const QString probe = QDir(folder).filePath(QStringLiteral(".probe"));
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    QFile::remove(probe);
    return true;
}

// A fault put on the file system for the length of one test; undone by the destructor
// whatever way the test ends.
class Fault
{
public:
    virtual ~Fault() = default;
    // Undoes the fault early (to show that the same save then succeeds).
    virtual void lift() = 0;
};

// The immutable attribute on a folder: nothing can be created, renamed or removed in it,
// not even by root.
class ImmutableFolder : public Fault
{
public:
    explicit ImmutableFolder(const QString &folder)
    {
        m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        if (m_fd < 0)
            return;
        int flags = 0;
        if (::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0)
            return;
        m_flags = flags;
        flags |= FS_IMMUTABLE_FL;
        m_set = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ~ImmutableFolder() override
    {
        lift();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool active() const { return m_set; }
    void lift() override
    {
        if (!m_set)
            return;
        int flags = m_flags;
        if (::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0)
            m_set = false;
    }

private:
    int m_fd = -1;
    int m_flags = 0;
    bool m_set = false;
};

// A file system mounted over a folder: a read-only bind of the folder onto itself, or a
// small tmpfs.
class MountedFolder : public Fault
{
public:
    static std::unique_ptr<MountedFolder> readOnlyBind(const QString &folder)
    {
        auto m = std::unique_ptr<MountedFolder>(new MountedFolder(folder));
        const QByteArray path = QFile::encodeName(folder);
        if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
            return m;
        m->m_mounted = true;
        ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr);
        return m;
    }
    static std::unique_ptr<MountedFolder> tmpfs(const QString &folder, const char *options)
    {
        auto m = std::unique_ptr<MountedFolder>(new MountedFolder(folder));
        m->m_mounted = ::mount("merrow-test", QFile::encodeName(folder).constData(), "tmpfs",
                               MS_NOSUID | MS_NODEV, options) == 0;
        return m;
    }
    ~MountedFolder() override { lift(); }
    bool active() const { return m_mounted; }
    // Changes the options of a mounted tmpfs, e.g. to give it more room.
    bool remount(const char *options)
    {
        return m_mounted && ::mount(nullptr, QFile::encodeName(m_folder).constData(), nullptr,
                                    MS_REMOUNT | MS_NOSUID | MS_NODEV, options) == 0;
    }
    void lift() override
    {
        if (!m_mounted)
            return;
        const QByteArray path = QFile::encodeName(m_folder);
        if (::umount2(path.constData(), 0) != 0)
            ::umount2(path.constData(), MNT_DETACH);
        m_mounted = false;
    }

private:
    explicit MountedFolder(const QString &folder) : m_folder(folder) {}
    QString m_folder;
    bool m_mounted = false;
};

// Permission bits without write access; bites only when the tests do not run as root.
class ReadOnlyPermissions : public Fault
{
public:
    explicit ReadOnlyPermissions(const QString &folder) : m_path(QFile::encodeName(folder))
    {
        m_set = ::chmod(m_path.constData(), 0555) == 0;
    }
    ~ReadOnlyPermissions() override { lift(); }
    void lift() override
    {
        if (m_set && ::chmod(m_path.constData(), 0755) == 0)
            m_set = false;
    }

private:
    QByteArray m_path;
    bool m_set = false;
};

enum class Kind {
    MissingFolder,
    ImmutableFolder,
    ReadOnlyMount,
    ReadOnlyPermissions,
    NotWritableSeam,
    TargetIsFolder,
    DiskFull,
};

// Answers the file dialog by typing the path into its file name box, as a user does. (Selecting
// a file in a folder that does not exist makes the dialog take the path as relative to its
// current folder, which would save somewhere else than the test means.)
class TypingPrompts : public ScriptedServices
{
public:
    bool runFileDialog(QFileDialog &dialog) override
    {
        ++fileDialogs;
        if (fileAnswers.isEmpty())
            return false;
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *list = dialog.findChild<QListView *>(QStringLiteral("listView"));
        if (!name || !list)
            return false;
        list->clearSelection();
        name->setText(fileAnswers.takeFirst());
        if (!confirmWithEnter)
            return true;
        // The user presses Enter in the name box, sees what the Save button shows, and gives up.
        auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QPushButton *save = buttons ? buttons->button(QDialogButtonBox::Save) : nullptr;
        saveEnabled = save && save->isEnabled();
        saveToolTip = save ? save->toolTip() : QString();
        QTest::keyClick(name, Qt::Key_Return);
        return false;
    }

    bool confirmWithEnter = false;
    bool saveEnabled = false;
    QString saveToolTip;
};

// What a file is besides its text, made before a save.
enum class Setup {
    Plain,
    Attribute, // a user attribute
    HardLink,  // a second name
};

constexpr char Attribute[] = "user.merrow.note";
// What a failed in-place write says when the backup holds the one copy of the old text.
const QString KeptIn = QStringLiteral("old text is kept in");

const QByteArray OldFile = "// the mission's own file\r\nclass CfgMusic\r\n{\r\n};\r\n";

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(FileOutput::Faults)

class tst_saveFaults : public QObject, MainWindowFixture<TypingPrompts>
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    // As root the test makes its mounts in a mount namespace of its own, so that none can
    // outlast a crashed run on the machine.
    bool privateMounts = false;

    QPointer<savePreview> create()
    {
        main->mnuCreate()->trigger();
        QCoreApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *preview = qobject_cast<savePreview *>(w); preview && preview->isVisible())
                return preview;
        }
        return nullptr;
    }

    void save(savePreview *preview, const QString &target)
    {
        prompts->fileAnswers << target;
        QTest::mouseClick(preview->saveAsButton(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Puts `text` in the "Other" code box, as a user pasting it would.
    void pasteIntoOther(const QString &text)
    {
        main->items()->setCurrentIndex(7);
        auto *active = find<QCheckBox>("mainOtherActive");
        if (!active->isChecked())
            QTest::mouseClick(active, Qt::LeftButton, {}, QPoint(4, active->height() / 2));
        QVERIFY(active->isChecked());
        auto *box = find<QPlainTextEdit>("mainOtherCode");
        box->setFocus();
        box->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0)
            privateMounts = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!privateMounts)
            qInfo("Mounts are made in the machine's own namespace");
    }

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

    void fault_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("reason"); // what the warning must say after the file name

        QTest::newRow("folder missing")
            << Kind::MissingFolder << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("folder not writable: immutable")
            << Kind::ImmutableFolder << QString::fromLocal8Bit(std::strerror(EPERM));
        QTest::newRow("folder not writable: read-only mount")
            << Kind::ReadOnlyMount << QStringLiteral("not writable");
        QTest::newRow("folder not writable: permissions")
            << Kind::ReadOnlyPermissions << QString::fromLocal8Bit(std::strerror(EACCES));
        QTest::newRow("folder not writable: seam")
            << Kind::NotWritableSeam << QString::fromLocal8Bit(std::strerror(EACCES));
        QTest::newRow("target is a folder") << Kind::TargetIsFolder << QStringLiteral("directory");
        QTest::newRow("disk full")
            << Kind::DiskFull << QString::fromLocal8Bit(std::strerror(ENOSPC));
    }

    // Each fault: a warning naming the file and why, the preview still open with its text,
    // the main window still locked, and whatever was on disk left exactly as it was. Once the
    // fault is gone the same save succeeds.
    void fault()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, reason);

        QString folder = dir->filePath(QStringLiteral("mission"));
        QVERIFY(QDir().mkpath(folder));
        QString target = QDir(folder).filePath(QStringLiteral("description.ext"));
        QVERIFY(writeAll(target, OldFile));
        // A text that cannot fit the small file system below.
        QString payload;
        for (int i = 0; i < 4000; ++i)
            payload += QStringLiteral("// line %1 of a long block of code\r\n").arg(i, 5);
        std::unique_ptr<Fault> fault;
        bool throughSeam = false;

        switch (kind) {
        case Kind::MissingFolder:
            QVERIFY(QDir(folder).removeRecursively());
            break;
        case Kind::ImmutableFolder: {
            auto immutable = std::make_unique<ImmutableFolder>(folder);
            if (!immutable->active())
                QSKIP("This file system does not take the immutable attribute here");
            fault = std::move(immutable);
            break;
        }
        case Kind::ReadOnlyMount: {
            auto mounted = MountedFolder::readOnlyBind(folder);
            if (!mounted->active())
                QSKIP("Mounting is not allowed here");
            fault = std::move(mounted);
            break;
        }
        case Kind::ReadOnlyPermissions:
            fault = std::make_unique<ReadOnlyPermissions>(folder);
            break;
        case Kind::NotWritableSeam:
            throughSeam = true;
            break;
        case Kind::TargetIsFolder:
            QVERIFY(QFile::remove(target));
            QVERIFY(QDir(folder).mkdir(QStringLiteral("description.ext")));
            QVERIFY(writeAll(QDir(target).filePath(QStringLiteral("keep.txt")), OldFile));
            break;
        case Kind::DiskFull: {
            auto mounted = MountedFolder::tmpfs(folder, "size=64k,mode=0755");
            if (mounted->active()) {
                fault = std::move(mounted);
                QVERIFY(writeAll(target, OldFile)); // on the small file system
            } else {
                qInfo("Mounting is not allowed here: the disk fills through the seam");
                throughSeam = true;
            }
            break;
        }
        }
        if (throughSeam)
            prompts->writeFailure = reason;
        else if (kind != Kind::MissingFolder && kind != Kind::TargetIsFolder &&
                 kind != Kind::DiskFull && canCreateIn(folder))
            QSKIP("The folder stays writable for this user");

        const Snapshot before = snapshot(dir->path());
        pasteIntoOther(payload);
        QPointer<savePreview> preview = create();
        QVERIFY(preview);
        const QString shown = preview->codePreview()->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("// line  3999 of a long block of code")));
        save(preview, target);

        QCOMPARE(prompts->messages.size(), 1);
        const ScriptedServices::Message &warning = prompts->messages.first();
        QCOMPARE(warning.icon, QMessageBox::Warning);
        QCOMPARE(warning.title, QStringLiteral("Merrow Editor"));
        QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        const QString named = QStringLiteral("The file %1 could not be saved.\n\n")
                                  .arg(QDir::toNativeSeparators(target));
        QVERIFY2(warning.text.startsWith(named), qPrintable(warning.text));
        const QString said = warning.text.mid(named.size());
        QVERIFY2(!said.trimmed().isEmpty(), qPrintable(warning.text));
        if (!reason.isEmpty())
            QVERIFY2(said.contains(reason, Qt::CaseInsensitive), qPrintable(said));

        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->codePreview()->toPlainText(), shown);
        QVERIFY(!main->isEnabled());
        // Nothing on disk changed: no half-written file, no leftover temporary file.
        QCOMPARE(snapshot(dir->path()), before);

        // Once the place can take the file, the very same save goes through.
        prompts->writeFailure.clear();
        if (kind == Kind::DiskFull && fault) {
            // Room is made on the same file system.
            QVERIFY(static_cast<MountedFolder *>(fault.get())->remount("size=4m"));
        } else if (fault) {
            fault->lift();
        }
        if (kind == Kind::MissingFolder)
            QVERIFY(QDir().mkpath(folder));
        if (kind == Kind::TargetIsFolder)
            QVERIFY(QDir(target).removeRecursively());
        save(preview, target);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(!preview);
        QVERIFY(main->isEnabled());
        const QByteArray saved = readAll(target);
        QVERIFY(saved.startsWith("// description.ext file created in Merrow Editor by Tandry\r\n"));
        QVERIFY(saved.endsWith("// line  3999 of a long block of code\r\n\r\n"));
    }

    void fullDisk_data()
    {
        QTest::addColumn<int>("lines");     // of the text pasted into "Other"
        QTest::addColumn<int>("freePages"); // left on the file system before the save

        for (int free : {0, 1}) {
            const char *room = free ? "one free page" : "full";
            QTest::newRow(qPrintable(QStringLiteral("start state, %1").arg(room))) << 0 << free;
            QTest::newRow(qPrintable(QStringLiteral("10 KB, %1").arg(room))) << 250 << free;
            QTest::newRow(qPrintable(QStringLiteral("160 KB, %1").arg(room))) << 4000 << free;
        }
    }

    // Replacing a file on a disk with no room, or a single page of room, either writes the
    // whole new text or reports the failure and leaves the old file byte for byte; the disk
    // is only found full when the data reaches it, which may be after the last write.
    void fullDisk()
    {
        QFETCH(int, lines);
        QFETCH(int, freePages);

        const QString folder = dir->filePath(QStringLiteral("mission"));
        QVERIFY(QDir().mkpath(folder));
        auto mounted = MountedFolder::tmpfs(folder, "size=64k,mode=0755");
        if (!mounted->active())
            QSKIP("Mounting is not allowed here");
        const QString target = QDir(folder).filePath(QStringLiteral("description.ext"));
        QVERIFY(writeAll(target, OldFile));
        {
            // Fill the file system, then give back the pages asked for.
            QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size()) {
            }
            QVERIFY(filler.resize(qMax<qint64>(0, filler.size() - 4096 * freePages)));
        }

        if (lines > 0) {
            QString payload;
            for (int i = 0; i < lines; ++i)
                payload += QStringLiteral("// line %1 of a long block of code\r\n").arg(i, 5);
            pasteIntoOther(payload);
        }
        QPointer<savePreview> preview = create();
        QVERIFY(preview);
        const QByteArray expected = preview->codePreview()
                                        ->toPlainText()
                                        .replace(u'\n', QStringLiteral("\r\n"))
                                        .toLatin1() +
                                    "\r\n";
        save(preview, target);

        const QByteArray onDisk = readAll(target);
        if (prompts->messages.isEmpty()) {
            QVERIFY(!preview);
            QCOMPARE(onDisk, expected);
        } else {
            QCOMPARE(prompts->messages.size(), 1);
            QVERIFY2(prompts->messages.first().text.contains(
                         QString::fromLocal8Bit(std::strerror(ENOSPC))),
                     qPrintable(prompts->messages.first().text));
            QVERIFY(preview && preview->isVisible());
            QCOMPARE(onDisk, OldFile);
        }
        // No temporary file is left behind either way.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
        if (freePages == 0)
            QVERIFY2(!prompts->messages.isEmpty(), "a full disk took a new file");
    }

    // A new file gets the user's default mode; a replaced one keeps its mode and owner.
    void modeAndOwnerKept()
    {
        const QString target = dir->filePath(QStringLiteral("description.ext"));
        QVERIFY(writeAll(target, OldFile));
        const QByteArray name = QFile::encodeName(target);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::chown(name.constData(), 1234, 4321), 0);

        const auto written = DesktopServices::instance().writeFile(target, "new");
        QVERIFY2(written, qPrintable(written.why()));
        struct stat after
        {
        };
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
        if (root) {
            QCOMPARE(after.st_uid, uid_t(1234));
            QCOMPARE(after.st_gid, gid_t(4321));
        }
        QCOMPARE(readAll(target), QByteArray("new"));
    }

    void keeps_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<FileOutput::Faults>("faults");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("said"); // in the failure's reason or the saved file's warning

        using F = FileOutput::Faults;
        const QString none;
        const auto reason = [](int e) { return QString::fromLocal8Bit(std::strerror(e)); };
        const F named{.noUnnamedFiles = true};
        QTest::newRow("plain, named temporary") << Setup::Plain << named << true << none;
        QTest::newRow("fsync EINVAL") << Setup::Plain << F{.fsyncError = EINVAL} << true << none;
        QTest::newRow("fsync ENOTSUP")
            << Setup::Plain << F{.fsyncError = ENOTSUP, .noUnnamedFiles = true} << true << none;
        QTest::newRow("fsync EIO") << Setup::Plain << F{.fsyncError = EIO} << false << reason(EIO);
        QTest::newRow("attributes") << Setup::Attribute << F{} << true << none;
        QTest::newRow("attributes, named temporary") << Setup::Attribute << named << true << none;
        QTest::newRow("attributes refused")
            << Setup::Attribute << F{.attributeError = EPERM} << true
            << QStringLiteral("extended attributes (%1) could not be kept: %2")
                   .arg(QLatin1String(Attribute), reason(EPERM));
        QTest::newRow("hard link") << Setup::HardLink << F{} << true << none;
        QTest::newRow("hard link, fsync EINVAL")
            << Setup::HardLink << F{.fsyncError = EINVAL} << true << none;
        QTest::newRow("hard link, disk full half way")
            << Setup::HardLink << F{.inPlaceWriteLimit = 2000} << false << reason(ENOSPC);
        QTest::newRow("hard link, old text cannot be put back")
            << Setup::HardLink << F{.inPlaceWriteLimit = 10} << false << KeptIn;
        // The backup cannot be made: nothing was touched yet.
        QTest::newRow("hard link, fsync EIO")
            << Setup::HardLink << F{.fsyncError = EIO} << false << reason(EIO);
    }

    // What the user keeps in a file besides its text outlives a save, and a file system that
    // cannot sync does not stop one. A failed save leaves the old text under every name, and
    // no temporary file stays; only a backup that holds the one copy of the old text does.
    void keeps()
    {
        QFETCH(Setup, setup);
        QFETCH(FileOutput::Faults, faults);
        QFETCH(bool, saved);
        QFETCH(QString, said);
        const bool backupKept = said == KeptIn;

        const QString target = dir->filePath(QStringLiteral("description.ext"));
        const QString other = dir->filePath(QStringLiteral("other.ext"));
        const QByteArray name = QFile::encodeName(target);
        QVERIFY(writeAll(target, OldFile));
        QStringList names{QStringLiteral("description.ext")};
        const QByteArray value = "kept \\0 between saves";
        if (setup == Setup::Attribute &&
            ::setxattr(name.constData(), Attribute, value.constData(), value.size(), 0) != 0)
            QSKIP("This file system takes no user attributes");
        if (setup == Setup::HardLink) {
            QCOMPARE(::link(name.constData(), QFile::encodeName(other).constData()), 0);
            names << QStringLiteral("other.ext");
        }
        struct stat before
        {
        };
        QCOMPARE(::stat(name.constData(), &before), 0);

        const QByteArray text = QByteArray("// new text\r\n").repeated(300);
        prompts->diskFaults = &faults;
        const auto done = DesktopServices::instance().writeFile(target, text);
        const QString error = done.why();
        prompts->diskFaults = nullptr;

        QCOMPARE(bool(done), saved);
        QCOMPARE(readAll(target), saved ? text : OldFile);
        if (saved) {
            QCOMPARE(prompts->messages.size(), said.isEmpty() ? 0 : 1);
            if (!said.isEmpty()) {
                const QString &warning = prompts->messages.first().text;
                QVERIFY2(warning.startsWith(QStringLiteral("The file %1 was saved.")
                                                .arg(QDir::toNativeSeparators(target))),
                         qPrintable(warning));
                QVERIFY2(warning.contains(said), qPrintable(warning));
            }
        } else {
            QVERIFY2(error.contains(said), qPrintable(error));
        }
        if (setup == Setup::Attribute && !faults.attributeError) {
            char got[64] = {};
            QCOMPARE(::getxattr(name.constData(), Attribute, got, sizeof got), value.size());
            QCOMPARE(QByteArray(got, value.size()), value);
        }
        if (setup == Setup::HardLink) {
            struct stat after
            {
            };
            QCOMPARE(::stat(name.constData(), &after), 0);
            QCOMPARE(after.st_ino, before.st_ino);
            QCOMPARE(after.st_nlink, nlink_t(2));
            QCOMPARE(readAll(other), readAll(target));
        }
        QStringList left = QDir(dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        if (backupKept) {
            const QStringList backups = left.filter(
                QRegularExpression(QStringLiteral("^\\.description\\.ext\\.merrow-backup~")));
            QCOMPARE(backups.size(), 1);
            const QString backup = dir->filePath(backups.first());
            QCOMPARE(readAll(backup), OldFile);
            QVERIFY2(error.contains(QDir::toNativeSeparators(backup)), qPrintable(error));
            left.removeOne(backups.first());
        }
        QCOMPARE(left, names);
    }

    // A save killed half way leaves a temporary file; the next save into that folder removes
    // it, but not one that a running save holds, a backup, or a user's own file.
    void staleTemporaries()
    {
        const QDir folder(dir->path());
        const QStringList stale{QStringLiteral(".description.ext.merrow~ab12CD"),
                                QStringLiteral(".merrow~Zz9988"),
                                QStringLiteral(".other.ext.merrow~000000")};
        const QStringList kept{QStringLiteral(".description.ext.backup"),
                               QStringLiteral(".description.ext.merrow-backup~abcdef"),
                               QStringLiteral(".description.ext.merrow~held01"),
                               QStringLiteral(".description.ext.merrow~abc"),
                               QStringLiteral("description.ext")};
        for (const QString &name : stale + kept)
            QVERIFY(writeAll(folder.filePath(name), OldFile));
        QFile held(folder.filePath(QStringLiteral(".description.ext.merrow~held01")));
        QVERIFY(held.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(held.handle(), LOCK_EX), 0);

        const auto written = DesktopServices::instance().writeFile(
            folder.filePath(QStringLiteral("description.ext")), "new");
        QVERIFY2(written, qPrintable(written.why()));
        QStringList expected = kept;
        expected.sort();
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }

    void longNameExplained_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("bytes"); // of the name with its suffix; 0: short enough

        QTest::newRow("255 bytes") << QString(251, u'd') << 0;
        QTest::newRow("256 bytes") << QString(252, u'd') + QStringLiteral(".ext") << 256;
        QTest::newRow("suffix makes 256 bytes") << QString(252, u'd') << 256;
        QTest::newRow("130 two-byte letters")
            << QString(130, QChar(0xE9)) + QStringLiteral(".ext") << 264;
    }

    // A name longer than a file name can be is refused with a reason: on the greyed Save
    // button, and in a message when the user presses Enter.
    void longNameExplained()
    {
        QFETCH(QString, name);
        QFETCH(int, bytes);

        QPointer<savePreview> preview = create();
        QVERIFY(preview);
        prompts->confirmWithEnter = true;
        save(preview, dir->filePath(name));

        QVERIFY(preview);
        if (bytes == 0) {
            QVERIFY(prompts->messages.isEmpty());
            QVERIFY(prompts->saveToolTip.isEmpty());
            return;
        }
        const QString reason = QStringLiteral("The file name is too long: it has %1 bytes, and a "
                                              "file name can have at most 255 bytes.")
                                   .arg(bytes);
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages.first().text, reason);
        QCOMPARE(prompts->messages.first().icon, QMessageBox::Warning);
        QCOMPARE(prompts->saveToolTip, reason);
    }

    // A name at the file-system limit leaves no room for a temporary suffix; the file is still
    // replaced, and a name beyond the limit is refused with the system's reason.
    void longFileNames()
    {
        const QString longest = dir->filePath(QString(250, u'd') + QStringLiteral(".ext"));
        QVERIFY(writeAll(longest, OldFile));
        const auto written = DesktopServices::instance().writeFile(longest, "new");
        QVERIFY2(written, qPrintable(written.why()));
        QCOMPARE(readAll(longest), QByteArray("new"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        const QString tooLong = dir->filePath(QString(300, u'd'));
        const auto refused = DesktopServices::instance().writeFile(tooLong, "new");
        QVERIFY(!refused);
        QCOMPARE(refused.why(), QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)));
    }
};

QTEST_MAIN(tst_saveFaults)
#include "tst_savefaults.moc"
