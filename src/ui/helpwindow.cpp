#include "helpwindow.h"

#include "windowplacement.h"

#include <chm_lib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QPointer>
#include <QStringDecoder>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <QtEndian>

namespace {

// A damaged file may claim any length for an object; nothing in a help file is this large.
constexpr quint64 largestObject = 64 * 1024 * 1024;

// Record codes of the #SYSTEM object.
constexpr quint16 systemDefaultTopic = 2;
constexpr quint16 systemTitle = 3;

const QString defaultCaption = QStringLiteral("Merrow Editor Help");

bool isPage(const QString &path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

QString archivePath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

QString zeroTerminated(const QByteArray &data)
{
    const qsizetype end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

int collectPages(chmFile *, chmUnitInfo *unit, void *context)
{
    const QString path = QString::fromUtf8(unit->path);
    if (isPage(path))
        static_cast<QStringList *>(context)->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

// Pages that declare their character set are left to the browser. Undeclared ones are
// UTF-8 when they decode as such; otherwise they come from the 8-bit era of help files.
QVariant decodePage(const QByteArray &page)
{
    QStringDecoder declared = QStringDecoder::decoderForHtml(page);
    if (declared.isValid() && qstrcmp(declared.name(), "UTF-8") != 0)
        return page;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(page);
    if (!utf8.hasError())
        return page;
    QStringDecoder windows1252("windows-1252");
    if (!windows1252.isValid())
        return page;
    text = windows1252.decode(page);
    return text;
}

} // namespace

HelpArchive::HelpArchive(const QString &path)
{
    m_file = chm_open(QFile::encodeName(path).constData());
    if (m_file)
        readSystemData();
}

HelpArchive::~HelpArchive()
{
    if (m_file)
        chm_close(m_file);
}

std::optional<QByteArray> HelpArchive::read(const QString &path) const
{
    if (!m_file)
        return std::nullopt;
    chmUnitInfo unit;
    if (chm_resolve_object(m_file, path.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > largestObject)
        return std::nullopt;
    QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(
        m_file, &unit, reinterpret_cast<unsigned char *>(data.data()), 0, LONGINT64(unit.length));
    if (got != LONGINT64(unit.length))
        return std::nullopt;
    return data;
}

void HelpArchive::readSystemData()
{
    const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
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
        if (code == systemDefaultTopic)
            m_defaultTopic = zeroTerminated(record);
        else if (code == systemTitle)
            m_title = zeroTerminated(record);
    }
}

QString HelpArchive::firstPage() const
{
    QStringList pages;
    chm_enumerate(m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectPages, &pages);
    // A damaged file may list pages whose content is gone.
    for (const QString &page : std::as_const(pages)) {
        if (read(page))
            return page;
    }
    return QString();
}

QString HelpArchive::defaultTopic() const
{
    if (!m_file)
        return QString();
    if (!m_defaultTopic.isEmpty()) {
        const QString topic = archivePath(m_defaultTopic);
        // The record may carry an anchor; the page itself must be there.
        if (read(topic.section(QLatin1Char('#'), 0, 0)))
            return topic;
    }
    return firstPage();
}

const QString HelpBrowser::scheme = QStringLiteral("helpfile");

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(false);
    // Every link goes through followLink(), which keeps the browser inside the help file.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::topicUrl(const QString &path)
{
    QUrl url;
    url.setScheme(scheme);
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    url.setPath(archivePath(hash < 0 ? path : path.left(hash)), QUrl::DecodedMode);
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1), QUrl::DecodedMode);
    return url;
}

void HelpBrowser::followLink(const QUrl &link)
{
    const QUrl target = m_current.resolved(link);
    if (target.scheme() != scheme)
        return; // the web, mail and files on disk are outside the help file
    setSource(target);
}

void HelpBrowser::doSetSource(const QUrl &name, QTextDocument::ResourceType type)
{
    m_current = m_current.resolved(name);
    QTextBrowser::doSetSource(m_current, type);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = m_current.resolved(name);
    // An empty answer rather than none: with none, the document would read local files itself.
    if (url.scheme() != scheme || !m_archive)
        return QByteArray();
    if (std::optional<QByteArray> data = m_archive->read(url.path(QUrl::FullyDecoded)))
        return type == QTextDocument::HtmlResource ? decodePage(*data) : QVariant(*data);
    if (type == QTextDocument::HtmlResource)
        return tr("The topic %1 is not in the help file.").arg(url.path(QUrl::FullyDecoded));
    return QByteArray();
}

const QString HelpWindow::fileName = QStringLiteral("Merrow_Editor_Help.chm");

HelpWindow::HelpWindow(QWidget *owner) : QWidget(nullptr)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(defaultCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window must still end the program while help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (owner)
        setWindowIcon(owner->windowIcon());
    resize(760, 560);

    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setText(tr("Back"));
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_forward->setText(tr("Forward"));
    m_home = new QToolButton(this);
    m_home->setObjectName(QStringLiteral("helpHome"));
    m_home->setText(tr("Home"));
    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    m_home->setEnabled(false);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, &HelpWindow::home_Click);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);

    WindowPlacement::keepAbove(this, owner);
}

HelpWindow::~HelpWindow()
{
    // The browser may still ask for resources while it is torn down.
    m_browser->setArchive(nullptr);
}

bool HelpWindow::openFile(const QString &path)
{
    m_browser->setArchive(nullptr);
    m_archive = std::make_unique<HelpArchive>(path);
    const QString topic = m_archive->defaultTopic();
    if (topic.isEmpty()) {
        m_archive.reset();
        m_homeUrl.clear();
        m_browser->clearHistory();
        m_browser->setPlainText(
            tr("The help file %1 could not be opened.").arg(QFileInfo(path).fileName()));
        m_home->setEnabled(false);
        setWindowTitle(defaultCaption);
        return false;
    }
    m_browser->setArchive(m_archive.get());
    m_homeUrl = HelpBrowser::topicUrl(topic);
    m_browser->clearHistory();
    m_browser->setSource(m_homeUrl);
    m_home->setEnabled(true);
    setWindowTitle(m_archive->title().isEmpty() ? defaultCaption : m_archive->title());
    return true;
}

bool HelpWindow::isFileOpen() const
{
    return m_archive != nullptr;
}

void HelpWindow::home_Click()
{
    if (m_homeUrl.isValid())
        m_browser->setSource(m_homeUrl);
}

HelpWindow *HelpWindow::showFor(QWidget *owner)
{
    static QHash<const QWidget *, QPointer<HelpWindow>> windows;
    for (auto it = windows.begin(); it != windows.end();)
        it = it.value().isNull() ? windows.erase(it) : std::next(it);

    QPointer<HelpWindow> &window = windows[owner];
    if (!window) {
        window = new HelpWindow(owner);
        if (owner) {
            HelpWindow *created = window;
            connect(owner, &QObject::destroyed, created, [created] { delete created; });
        }
    }
    // The file is looked for anew until it has been opened once, so a help file put in
    // place while the program runs is found on the next request.
    if (!window->isFileOpen())
        window->openFile(QDir::current().absoluteFilePath(fileName));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
