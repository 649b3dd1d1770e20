#include "helpwindow.h"

#include "helpcontent.h"
#include "longlines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QStringDecoder>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString defaultCaption = QStringLiteral("Merrow Editor Help");

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

// What a picture that is not in the file shows. An empty answer would not do: the browser
// then tries the name as a file on disk, under several spellings.
QImage missingPicture()
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

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
    url.setPath(HelpContent::normalizedPath(hash < 0 ? path : path.left(hash)), QUrl::DecodedMode);
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
    std::optional<QByteArray> data;
    if (url.scheme() == scheme && m_content)
        data = m_content->read(url.path(QUrl::FullyDecoded));
    if (type == QTextDocument::HtmlResource && url.scheme() == scheme) {
        if (data)
            return decodePage(*data);
        return tr("The topic %1 is not in the help file.").arg(url.path(QUrl::FullyDecoded));
    }
    if (type == QTextDocument::ImageResource) {
        QImage image;
        if (data)
            image.loadFromData(*data);
        return image.isNull() ? missingPicture() : image;
    }
    return data ? *data : QByteArray();
}

const QString HelpWindow::fileName = QStringLiteral("Merrow_Editor_Help.chm");

// A dialog-type window, which the window system keeps above its owner, that leaves the owner
// usable beside it.
HelpWindow::HelpWindow(QWidget *owner)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint,
                      Locking::LeavesOwnerFree, Placement::OwnerCentre)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(defaultCaption);
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
    LongLines::guard(m_browser);

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
}

HelpWindow::~HelpWindow()
{
    // The browser may still ask for resources while it is torn down.
    m_browser->setContent(nullptr);
}

bool HelpWindow::openFile(const QString &path)
{
    m_browser->setContent(nullptr);
    m_content.reset();
    if (std::optional<HelpContent> content = HelpContent::load(path))
        m_content = std::make_unique<HelpContent>(std::move(*content));
    if (!m_content) {
        m_homeUrl.clear();
        m_browser->clearHistory();
        m_browser->setPlainText(
            tr("The help file %1 could not be opened.").arg(QFileInfo(path).fileName()));
        m_home->setEnabled(false);
        setWindowTitle(defaultCaption);
        return false;
    }
    m_browser->setContent(m_content.get());
    m_homeUrl = HelpBrowser::topicUrl(m_content->defaultTopic());
    m_browser->clearHistory();
    m_browser->setSource(m_homeUrl);
    m_home->setEnabled(true);
    setWindowTitle(m_content->title().isEmpty() ? defaultCaption : m_content->title());
    return true;
}

bool HelpWindow::isFileOpen() const
{
    return m_content != nullptr;
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
    const bool created = !window;
    if (created) {
        window = new HelpWindow(owner);
        if (owner) {
            // At once, not later: the owner's destruction may be the end of the program.
            HelpWindow *made = window;
            connect(owner, &QObject::destroyed, made, [made] { delete made; });
        }
    }
    // The file is looked for anew until it has been opened once, so a help file put in
    // place while the program runs is found on the next request.
    if (!window->isFileOpen()) {
        const QString found = locateFile();
        if (found.isEmpty())
            window->showMissingFile();
        else
            window->openFile(found);
    }
    if (created) {
        window->open();
    } else {
        window->show();
        window->raise();
        window->activateWindow();
    }
    return window;
}

QStringList HelpWindow::searchPlaces()
{
    const QString beside = QCoreApplication::applicationDirPath();
    QStringList places{QDir::currentPath(), beside,
                       QDir::cleanPath(beside + QStringLiteral("/../share/merrow-editor")),
                       QStringLiteral(MERROW_DATA_DIR)};
    places.removeDuplicates();
    return places;
}

QString HelpWindow::locateFile()
{
    for (const QString &place : searchPlaces()) {
        const QFileInfo candidate(QDir(place).filePath(fileName));
        if (candidate.exists())
            return candidate.absoluteFilePath();
    }
    return QString();
}

void HelpWindow::showMissingFile()
{
    openFile(fileName);
    QString text = tr("The help file %1 could not be opened.").arg(fileName);
    text += QLatin1String("\n\n") + tr("It was looked for in:");
    for (const QString &place : searchPlaces())
        text += QLatin1String("\n") + QDir::toNativeSeparators(place);
    m_browser->setPlainText(text);
}
