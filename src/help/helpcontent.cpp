// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helpcontent.h"

#include <chm_lib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QtEndian>

#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {

// A damaged file may claim any length for an object; nothing in a help file is this large.
constexpr quint64 LargestObject = 64 * 1024 * 1024;
constexpr qsizetype LargestStream = 256 * 1024 * 1024;
constexpr char Magic[] = "merrow-help 1\n";

// Record codes of the #SYSTEM object.
constexpr quint16 SystemContentsFile = 0;
constexpr quint16 SystemIndexFile = 1;
constexpr quint16 SystemDefaultTopic = 2;
constexpr quint16 SystemTitle = 3;

QString zeroTerminated(const QByteArray &data)
{
    const qsizetype end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

// The reading process's limits: a file that makes the library loop or allocate without end
// costs a bounded amount, and a crash leaves no core file behind.
void limitThisProcess()
{
#ifdef Q_OS_WIN
    // No error box for a crash (the editor reports the file as damaged), and a job that ends
    // the process past a second of CPU time per ten of the POSIX limit's, or past 1 GiB.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (HANDLE job = ::CreateJobObjectW(nullptr, nullptr)) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_TIME |
                                                  JOB_OBJECT_LIMIT_PROCESS_MEMORY |
                                                  JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
        limits.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart = 10LL * 10'000'000;
        limits.ProcessMemoryLimit = SIZE_T(1024) * 1024 * 1024;
        // A failure (an older system, or Wine without job limits) leaves the reader unlimited,
        // as the parent's own timeout still ends it.
        if (::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                      sizeof limits))
            ::AssignProcessToJobObject(job, ::GetCurrentProcess());
    }
    // The records go out as bytes; text mode would add a CR before every LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);
#else
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit cpu{10, 10};
    ::setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space up front; it has its own limits.
    const rlimit memory{1024ul * 1024 * 1024, 1024ul * 1024 * 1024};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
#endif
}

bool writeOut(const void *data, size_t size)
{
    return std::fwrite(data, 1, size, stdout) == size;
}

bool writeRecord(const QByteArray &path, const QByteArray &data)
{
    const quint32 pathSize = qToLittleEndian(quint32(path.size()));
    const quint32 dataSize = qToLittleEndian(quint32(data.size()));
    return writeOut(&pathSize, 4) && writeOut(path.constData(), size_t(path.size())) &&
           writeOut(&dataSize, 4) && writeOut(data.constData(), size_t(data.size()));
}

int collectObject(chmFile *, chmUnitInfo *unit, void *context)
{
    static_cast<QList<chmUnitInfo> *>(context)->append(*unit);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

const QString HelpContent::readerOption = QStringLiteral("--read-help");

std::optional<int> HelpContent::serveIfAsked(int argc, char **argv)
{
    if (argc != 3 || QString::fromLocal8Bit(argv[1]) != readerOption)
        return std::nullopt;
    return serve(QFile::decodeName(argv[2]));
}

QString HelpContent::normalizedPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

bool HelpContent::isPage(const QString &path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

int HelpContent::serve(const QString &path)
{
    limitThisProcess();
    // Only a regular file: a FIFO or a device would block the reader or never end.
    if (!QFileInfo(path).isFile())
        return 1;
#ifdef PPC_BSTR
    // The Windows build of the library takes a wide name, so that a help file in a folder
    // named in any script opens.
    QString name = path;
    chmFile *file = chm_open(reinterpret_cast<BSTR>(name.data()));
#else
    chmFile *file = chm_open(QFile::encodeName(path).constData());
#endif
    if (!file)
        return 1;
    QList<chmUnitInfo> units;
    chm_enumerate(file, CHM_ENUMERATE_ALL, collectObject, &units);
    bool ok = writeOut(Magic, sizeof Magic - 1);
    for (chmUnitInfo &unit : units) {
        if (!ok)
            break;
        if (unit.length > LargestObject || unit.path[0] != '/')
            continue;
        QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
        if (unit.length > 0 &&
            chm_retrieve_object(file, &unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                                LONGINT64(unit.length)) != LONGINT64(unit.length))
            continue; // its content is gone; the rest may still be there
        ok = writeRecord(QByteArray(unit.path), data);
    }
    const quint32 end = 0;
    ok = ok && writeOut(&end, 4) && std::fflush(stdout) == 0;
    chm_close(file);
    return ok ? 0 : 1;
}

config::Result<HelpContent> HelpContent::fromStream(const QByteArray &stream)
{
    const auto damaged = [] {
        return config::Result<HelpContent>::failure(
            QCoreApplication::translate("HelpContent", "It is damaged."));
    };
    const qsizetype magicSize = sizeof Magic - 1;
    if (!stream.startsWith(QByteArrayView(Magic, magicSize)))
        return damaged();
    HelpContent content;
    qsizetype at = magicSize;
    auto take = [&](QByteArray *out) {
        if (at + 4 > stream.size())
            return false;
        const quint32 size = qFromLittleEndian<quint32>(stream.constData() + at);
        at += 4;
        if (size > quint64(stream.size() - at))
            return false;
        *out = stream.mid(at, size);
        at += size;
        return true;
    };
    while (true) {
        QByteArray path;
        if (!take(&path))
            return damaged();
        if (path.isEmpty())
            break; // the end marker: everything arrived
        QByteArray data;
        if (!take(&data))
            return damaged();
        const QString name = QString::fromUtf8(path);
        if (!content.m_objects.contains(name))
            content.m_paths.append(name);
        content.m_objects.insert(name, data);
    }
    content.readSystemData();
    if (content.m_defaultTopic.isEmpty())
        return config::Result<HelpContent>::failure(
            QCoreApplication::translate("HelpContent", "It holds no page."));
    return content;
}

config::Result<HelpContent> HelpContent::load(const QString &path, const Reader &readerSettings)
{
    const auto failure = [](const char *why) {
        return config::Result<HelpContent>::failure(
            QCoreApplication::translate("HelpContent", why));
    };
    const QFileInfo info(path);
    if (!info.exists())
        return failure("It does not exist.");
    // A FIFO or a device is refused at once: reading one could block for ever.
    if (!info.isFile())
        return failure("It is not a regular file.");

    QProcess reader;
    reader.setProgram(readerSettings.program.isEmpty() ? QCoreApplication::applicationFilePath()
                                                       : readerSettings.program);
    reader.setArguments({readerOption, info.absoluteFilePath()});
    reader.setStandardInputFile(QProcess::nullDevice());
    reader.setStandardErrorFile(QProcess::nullDevice());
    QByteArray stream;
    bool tooLarge = false;
    bool tooSlow = false;
    QEventLoop wait;
    QObject::connect(&reader, &QProcess::readyReadStandardOutput, &wait, [&] {
        stream += reader.readAllStandardOutput();
        if (stream.size() > LargestStream && !tooLarge) {
            tooLarge = true;
            reader.kill();
        }
    });
    QObject::connect(&reader, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(&reader, &QProcess::errorOccurred, &wait, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            wait.quit();
    });
    QTimer::singleShot(readerSettings.timeLimit, &wait, [&] {
        tooSlow = true;
        reader.kill();
    });
    reader.start();
    if (reader.state() != QProcess::NotRunning || reader.error() != QProcess::FailedToStart)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (reader.error() == QProcess::FailedToStart)
        return failure("The program that reads help files could not be started.");
    if (reader.state() != QProcess::NotRunning) {
        reader.kill();
        reader.waitForFinished(1000);
    }
    stream += reader.readAllStandardOutput();
    if (tooLarge)
        return failure("It holds more than the help window can show.");
    if (tooSlow)
        return failure("Reading it took too long.");
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return failure("It could not be read; it may be damaged.");
    return fromStream(stream);
}

std::optional<QByteArray> HelpContent::read(const QString &path) const
{
    const auto it = m_objects.constFind(path);
    if (it == m_objects.constEnd())
        return std::nullopt;
    return *it;
}

void HelpContent::readSystemData()
{
    if (const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"))) {
        // A version number, then records of a 16-bit code, a 16-bit length and the data.
        const QByteArray &data = *system;
        qsizetype at = 4;
        while (at + 4 <= data.size()) {
            const quint16 code = qFromLittleEndian<quint16>(data.constData() + at);
            const quint16 length = qFromLittleEndian<quint16>(data.constData() + at + 2);
            at += 4;
            if (at + length > data.size())
                break;
            const QByteArray record = data.mid(at, length);
            at += length;
            if (code == SystemDefaultTopic)
                m_defaultTopic = zeroTerminated(record);
            else if (code == SystemTitle)
                m_title = zeroTerminated(record);
            else if (code == SystemContentsFile)
                m_contentsFile = normalizedPath(zeroTerminated(record));
            else if (code == SystemIndexFile)
                m_indexFile = normalizedPath(zeroTerminated(record));
        }
    }
    // Files compiled without these records, or with records naming what is not there, may
    // still hold a contents and an index under their usual extensions.
    auto findFile = [this](QString *file, QLatin1StringView extension) {
        if (!file->endsWith(u'/') && m_objects.contains(*file))
            return;
        file->clear();
        for (const QString &path : std::as_const(m_paths)) {
            if (path.endsWith(extension, Qt::CaseInsensitive)) {
                *file = path;
                return;
            }
        }
    };
    findFile(&m_contentsFile, QLatin1StringView(".hhc"));
    findFile(&m_indexFile, QLatin1StringView(".hhk"));
    if (!m_defaultTopic.isEmpty()) {
        m_defaultTopic = normalizedPath(m_defaultTopic);
        // The record may carry an anchor; the page itself must be there.
        if (!m_objects.contains(m_defaultTopic.section(QLatin1Char('#'), 0, 0)))
            m_defaultTopic.clear();
    }
    if (m_defaultTopic.isEmpty()) {
        for (const QString &path : std::as_const(m_paths)) {
            if (isPage(path)) {
                m_defaultTopic = path;
                break;
            }
        }
    }
}
