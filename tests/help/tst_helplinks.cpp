// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// The shipped help: every topic named by the contents and the index exists, every link and
// picture between pages resolves inside the help folder and is compiled into the file, and
// nothing points outside it (the viewer refuses such links, so they would be dead ends).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString helpRoot = QDir::cleanPath(QStringLiteral(SHIPPED_HELP_PAGES));

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Paths inside the help folder, relative to it, with forward slashes.
QString relativeToRoot(const QString &absolute)
{
    return QDir(helpRoot).relativeFilePath(absolute);
}

struct Project
{
    QMap<QString, QString> options;
    QSet<QString> files;
};

Project readProject()
{
    Project project;
    QString section;
    const QStringList lines =
        readText(helpRoot + QStringLiteral("/Merrow_Editor_Help.hhp")).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = line;
            continue;
        }
        if (section == QLatin1String("[OPTIONS]")) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq > 0)
                project.options.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
        } else if (section == QLatin1String("[FILES]")) {
            project.files.insert(
                QDir::cleanPath(line.replace(QLatin1Char('\\'), QLatin1Char('/'))));
        }
    }
    return project;
}

// The Local values of a contents or index file, in order.
QStringList sitemapTopics(const QString &text)
{
    static const QRegularExpression local(
        QStringLiteral("<param\\s+name\\s*=\\s*\"Local\"\\s+value\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    QStringList topics;
    for (const QRegularExpressionMatch &m : local.globalMatch(text))
        topics << m.captured(1);
    return topics;
}

// Everything a page makes the viewer load or follow: href and src attributes, and url(...)
// in style sheets.
QStringList references(const QString &text)
{
    static const QRegularExpression attribute(
        QStringLiteral("\\b(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cssUrl(QStringLiteral("url\\(\\s*['\"]?([^'\")]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const QRegularExpressionMatch &m : attribute.globalMatch(text))
        found << m.captured(1) + m.captured(2) + m.captured(3);
    for (const QRegularExpressionMatch &m : cssUrl.globalMatch(text))
        found << m.captured(1);
    return found;
}

QSet<QString> anchorsOf(const QString &text)
{
    static const QRegularExpression anchor(QStringLiteral("\\b(?:id|name)\\s*=\\s*\"([^\"]*)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    QSet<QString> names;
    for (const QRegularExpressionMatch &m : anchor.globalMatch(text))
        names.insert(m.captured(1));
    return names;
}

// Why a reference made from the file at `from` (relative to the help folder) fails, or an
// empty string when it resolves to a file that the project compiles in.
QString checkReference(const QString &from, const QString &reference, const Project &project)
{
    if (reference.isEmpty())
        return QStringLiteral("empty reference");
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (scheme.match(reference).hasMatch())
        return QStringLiteral("points outside the help file");
    if (reference.startsWith(QLatin1Char('/')) || reference.startsWith(QLatin1Char('\\')))
        return QStringLiteral("absolute path");
    if (reference.contains(QLatin1Char('\\')))
        return QStringLiteral("backslash in a path");

    const qsizetype hash = reference.indexOf(QLatin1Char('#'));
    const QString path = hash < 0 ? reference : reference.left(hash);
    const QString fragment = hash < 0 ? QString() : reference.mid(hash + 1);
    QString target = from;
    if (!path.isEmpty()) {
        const QString base = QFileInfo(from).path();
        const QString absolute =
            QDir::cleanPath(helpRoot + QLatin1Char('/') + base + QLatin1Char('/') + path);
        if (!absolute.startsWith(helpRoot + QLatin1Char('/')))
            return QStringLiteral("leaves the help folder");
        target = relativeToRoot(absolute);
        if (!QFileInfo(absolute).isFile())
            return QStringLiteral("no such file %1").arg(target);
        if (!project.files.contains(target))
            return QStringLiteral("%1 is not listed in the project, so it is not compiled in")
                .arg(target);
    }
    if (!fragment.isEmpty() &&
        !anchorsOf(readText(helpRoot + QLatin1Char('/') + target)).contains(fragment))
        return QStringLiteral("no anchor #%1 in %2").arg(fragment, target);
    return QString();
}

QStringList helpFiles(const QStringList &patterns)
{
    QStringList files;
    QDirIterator it(helpRoot, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << relativeToRoot(it.next());
    files.sort();
    return files;
}

} // namespace

class tst_HelpLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void projectMatchesFolder();
    void sitemapTopicsExist_data();
    void sitemapTopicsExist();
    void referencesStayInside_data();
    void referencesStayInside();
    void everyPageIsListed();
    void compiledFileIsBuilt();

private:
    Project m_project;
};

void tst_HelpLinks::initTestCase()
{
    m_project = readProject();
    QVERIFY2(!m_project.files.isEmpty(), "the project lists no files");
}

void tst_HelpLinks::projectMatchesFolder()
{
    const QString title = m_project.options.value(QStringLiteral("Compiled file"));
    QCOMPARE(title, QStringLiteral("Merrow_Editor_Help.chm"));
    for (const char *option : {"Default topic", "Contents file", "Index file"}) {
        const QString value = m_project.options.value(QLatin1String(option));
        QVERIFY2(
            QFileInfo(helpRoot + QLatin1Char('/') + value).isFile(),
            qPrintable(
                QStringLiteral("%1 names a missing file: '%2'").arg(QLatin1String(option), value)));
    }
    QCOMPARE(m_project.options.value(QStringLiteral("Default topic")), QStringLiteral("start.htm"));

    for (const QString &file : std::as_const(m_project.files))
        QVERIFY2(QFileInfo(helpRoot + QLatin1Char('/') + file).isFile(),
                 qPrintable(QStringLiteral("listed but missing: ") + file));
    // A page or picture left out of [FILES] is silently missing from the compiled file.
    const QStringList content =
        helpFiles({QStringLiteral("*.htm"), QStringLiteral("*.html"), QStringLiteral("*.css"),
                   QStringLiteral("*.png"), QStringLiteral("*.gif"), QStringLiteral("*.jpg")});
    for (const QString &file : content)
        QVERIFY2(m_project.files.contains(file),
                 qPrintable(QStringLiteral("not listed in the project: ") + file));
}

void tst_HelpLinks::sitemapTopicsExist_data()
{
    QTest::addColumn<QString>("sitemap");
    QTest::newRow("contents") << m_project.options.value(QStringLiteral("Contents file"));
    QTest::newRow("index") << m_project.options.value(QStringLiteral("Index file"));
}

void tst_HelpLinks::sitemapTopicsExist()
{
    QFETCH(QString, sitemap);
    const QString text = readText(helpRoot + QLatin1Char('/') + sitemap);
    const QStringList topics = sitemapTopics(text);
    QVERIFY2(topics.size() >= 10, qPrintable(sitemap + QStringLiteral(" lists too few topics")));
    // Every entry carries a name and a topic; an entry without one shows as a blank line.
    static const QRegularExpression object(QStringLiteral("<OBJECT\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    QCOMPARE(text.count(object), topics.size());
    for (const QString &topic : topics) {
        const QString why = checkReference(sitemap, topic, m_project);
        QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("%1: %2: %3").arg(sitemap, topic, why)));
    }
}

void tst_HelpLinks::referencesStayInside_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files =
        helpFiles({QStringLiteral("*.htm"), QStringLiteral("*.html"), QStringLiteral("*.css"),
                   QStringLiteral("*.hhc"), QStringLiteral("*.hhk")});
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void tst_HelpLinks::referencesStayInside()
{
    QFETCH(QString, file);
    const QString text = readText(helpRoot + QLatin1Char('/') + file);
    QVERIFY(!text.isEmpty());
    QVERIFY2(!text.contains(QLatin1String("<script"), Qt::CaseInsensitive),
             "the viewer runs no scripts");
    for (const QString &reference : references(text)) {
        const QString why = checkReference(file, reference, m_project);
        QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(reference, why)));
    }
}

void tst_HelpLinks::everyPageIsListed()
{
    // A page neither in the contents nor in the index can only be found by chance.
    QSet<QString> listed;
    for (const char *option : {"Contents file", "Index file"}) {
        const QString sitemap = m_project.options.value(QLatin1String(option));
        for (const QString &topic : sitemapTopics(readText(helpRoot + QLatin1Char('/') + sitemap)))
            listed.insert(topic.section(QLatin1Char('#'), 0, 0));
    }
    for (const QString &page : helpFiles({QStringLiteral("*.htm"), QStringLiteral("*.html")}))
        QVERIFY2(listed.contains(page), qPrintable(QStringLiteral("unlisted page: ") + page));
}

void tst_HelpLinks::compiledFileIsBuilt()
{
    QFile file(QStringLiteral(HELP_SHIPPED_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    // Every compiled help file starts with this signature.
    QCOMPARE(file.read(4), QByteArray("ITSF"));
    // The pictures alone weigh more than this; a file this small lost its content.
    QVERIFY(file.size() > 50 * 1024);
}

QTEST_GUILESS_MAIN(tst_HelpLinks)
#include "tst_helplinks.moc"
