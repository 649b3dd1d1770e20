// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "helpwindow.h"

#include "windowplacement.h"

#include "helpcontent.h"
#include "helppage.h"
#include "helpsearch.h"
#include "helpsitemap.h"
#include "longlines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

const QString defaultCaption = QStringLiteral("Merrow Editor Help");

// The topic a contents, index or search item opens, possibly with an anchor.
constexpr int TopicRole = Qt::UserRole;

QString pagePath(const QString &topic)
{
    return topic.section(u'#', 0, 0);
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

void HelpBrowser::changeEvent(QEvent *event)
{
    QTextBrowser::changeEvent(event);
    // Link colours are taken from the palette when a page is read, so a page shown while the
    // desktop turns dark or light is read again.
    const bool paletteChanged =
        event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
    if (paletteChanged && m_content && m_current.isValid()) {
        const int scrolled = verticalScrollBar()->value();
        reload();
        verticalScrollBar()->setValue(scrolled);
    }
}

// Every resource the document asks for, of any type, is answered here, and never with an
// empty variant: with none, the document would read the name as a file on disk itself.
QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = m_current.resolved(name);
    std::optional<QByteArray> data;
    if (url.scheme() == scheme && m_content)
        data = m_content->read(url.path(QUrl::FullyDecoded));
    switch (type) {
    case QTextDocument::HtmlResource:
    case QTextDocument::MarkdownResource:
        if (url.scheme() != scheme)
            return QByteArray();
        if (!data)
            return tr("The topic %1 is not in the help file.")
                .arg(url.path(QUrl::FullyDecoded).toHtmlEscaped());
        // The page's style sheets are put into it from the file.
        return HelpPage::prepare(*data,
                                 [this, url](const QString &href) {
                                     const QUrl sheet = url.resolved(QUrl(href));
                                     return sheet.scheme() == scheme && m_content
                                                ? m_content->read(sheet.path(QUrl::FullyDecoded))
                                                : std::nullopt;
                                 })
            .html;
    default: {
        // Pictures, and anything else: pages hold their style sheets already and link to
        // none (HelpPage), so nothing else is asked for. The document keeps every answer in
        // one cache by name, whatever its type, and a picture whose cached answer is no
        // picture is read from disk under its name: so every answer is a picture.
        QImage image;
        if (data)
            image.loadFromData(*data);
        return image.isNull() ? missingPicture() : image;
    }
    }
}

const QString HelpWindow::fileName = QStringLiteral("Merrow_Editor_Help.chm");

// A dialog-type window, which the window system keeps above its owner, that leaves the owner
// usable beside it.
HelpWindow::HelpWindow(QWidget *owner, HelpContent::Reader reader)
    : SecondaryWindow(owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint,
                      Locking::LeavesOwnerFree, Placement::OwnerCentre),
      m_reader(std::move(reader))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(defaultCaption);
    // Wide enough for the pictures of the pages beside the contents, where the screen is.
    resize(WindowPlacement::fitOnScreen(this, owner, QSize(880, 600)));

    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setText(tr("Back"));
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_forward->setText(tr("Forward"));
    m_home = new QToolButton(this);
    m_home->setObjectName(QStringLiteral("helpHome"));
    m_home->setText(tr("Home"));

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setUniformRowHeights(true);

    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    m_indexFilter->setPlaceholderText(tr("Type a keyword"));
    m_indexFilter->setClearButtonEnabled(true);
    m_indexFilter->installEventFilter(this);
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("helpIndex"));
    m_index->setUniformItemSizes(true);
    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index);

    m_searchField = new QLineEdit;
    m_searchField->setObjectName(QStringLiteral("helpSearchField"));
    m_searchField->setPlaceholderText(tr("Words to find"));
    m_searchField->setClearButtonEnabled(true);
    m_searchButton = new QToolButton;
    m_searchButton->setObjectName(QStringLiteral("helpSearchButton"));
    m_searchButton->setText(tr("Search"));
    m_searchResults = new QListWidget;
    m_searchResults->setObjectName(QStringLiteral("helpSearchResults"));
    auto *searchPage = new QWidget;
    searchPage->setObjectName(QStringLiteral("helpSearch"));
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchField);
    searchRow->addWidget(m_searchButton);
    auto *searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(m_searchResults);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_tabs->addTab(m_contents, tr("Contents"));
    m_tabs->addTab(indexPage, tr("Index"));
    m_tabs->addTab(searchPage, tr("Search"));

    m_browser = new HelpBrowser;
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    LongLines::guard(m_browser);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName(QStringLiteral("helpSplitter"));
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({240, 640});
    m_splitter->setChildrenCollapsible(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_splitter);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    m_home->setEnabled(false);
    m_tabs->setEnabled(false);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, &HelpWindow::home_Click);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::browser_SourceChanged);
    // A tab chosen is a tab to type into: the index and the search take the keys at once.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (QWidget *field = tab == 1 ? m_indexFilter : tab == 2 ? m_searchField : nullptr)
            field->setFocus(Qt::TabFocusReason);
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::contents_Activated);
    // Moving through the contents with the keys shows each topic on the way.
    connect(m_contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            openTopic(item->data(0, TopicRole).toString());
    });
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::contents_Activated);
    connect(m_indexFilter, &QLineEdit::textEdited, this, &HelpWindow::indexFilter_Edited);
    connect(m_indexFilter, &QLineEdit::returnPressed, this,
            [this] { index_Activated(m_index->currentItem()); });
    connect(m_index, &QListWidget::itemClicked, this, &HelpWindow::index_Activated);
    connect(m_index, &QListWidget::itemActivated, this, &HelpWindow::index_Activated);
    connect(m_searchField, &QLineEdit::returnPressed, this, &HelpWindow::search_Run);
    connect(m_searchButton, &QToolButton::clicked, this, &HelpWindow::search_Run);
    connect(m_searchResults, &QListWidget::itemClicked, this, &HelpWindow::searchResult_Activated);
    connect(m_searchResults, &QListWidget::itemActivated, this,
            &HelpWindow::searchResult_Activated);
}

HelpWindow::~HelpWindow()
{
    // The browser may still ask for resources while it is torn down.
    m_browser->setContent(nullptr);
}

bool HelpWindow::openFile(const QString &path)
{
    m_browser->setContent(nullptr);
    m_search.reset();
    m_contents->clear();
    m_index->clear();
    m_indexFilter->clear();
    m_searchField->clear();
    m_searchResults->clear();
    m_content.reset();
    config::Result<HelpContent> content = HelpContent::load(path, m_reader);
    if (content)
        m_content = std::make_unique<HelpContent>(std::move(*content));
    if (!m_content) {
        m_homeUrl.clear();
        m_browser->clearHistory();
        m_browser->setPlainText(
            tr("The help file %1 could not be opened.").arg(QFileInfo(path).fileName()) + u' ' +
            content.why());
        m_home->setEnabled(false);
        m_tabs->setEnabled(false);
        setWindowTitle(defaultCaption);
        return false;
    }
    m_browser->setContent(m_content.get());
    fillContents();
    fillIndex();
    m_tabs->setEnabled(true);
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

void HelpWindow::fillContents()
{
    const QString sitemap = m_content->contentsFile();
    if (sitemap.isEmpty())
        return;
    // Each entry goes under the last one less deep than itself, whatever depths the file
    // claims. The items are put together before the tree gets them, which takes one update
    // of the tree instead of one for each entry.
    QList<QTreeWidgetItem *> topLevel;
    QList<std::pair<QTreeWidgetItem *, int>> open; // with their depths
    for (const HelpSitemap::Entry &entry :
         HelpSitemap::parse(m_content->read(sitemap).value_or(QByteArray()))) {
        while (!open.isEmpty() && open.last().second >= entry.depth)
            open.removeLast();
        auto *item = new QTreeWidgetItem;
        item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
        item->setData(0, TopicRole, HelpSitemap::topicPath(sitemap, entry.local));
        if (open.isEmpty())
            topLevel.append(item);
        else
            open.last().first->addChild(item);
        open.append({item, entry.depth});
    }
    m_contents->addTopLevelItems(topLevel);
    // The first level shows its topics, as a table of contents would.
    for (int i = 0; i < m_contents->topLevelItemCount(); ++i)
        m_contents->topLevelItem(i)->setExpanded(true);
}

void HelpWindow::fillIndex()
{
    const QString sitemap = m_content->indexFile();
    if (sitemap.isEmpty())
        return;
    for (const HelpSitemap::Entry &entry :
         HelpSitemap::parse(m_content->read(sitemap).value_or(QByteArray()))) {
        const QString topic = HelpSitemap::topicPath(sitemap, entry.local);
        if (entry.name.isEmpty() || topic.isEmpty())
            continue; // nothing to show or nothing to open
        auto *item = new QListWidgetItem(entry.name, m_index);
        item->setData(TopicRole, topic);
    }
    if (m_index->count() > 0)
        m_index->setCurrentRow(0);
}

void HelpWindow::openTopic(const QString &path)
{
    // The topic shown already is not added to the history again.
    const QUrl topic = HelpBrowser::topicUrl(path);
    if (!path.isEmpty() && m_content && topic != m_browser->source())
        m_browser->setSource(topic);
}

void HelpWindow::contents_Activated(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString topic = item->data(0, TopicRole).toString();
    if (topic.isEmpty())
        item->setExpanded(!item->isExpanded()); // a heading without a page of its own
    else
        openTopic(topic);
}

void HelpWindow::indexFilter_Edited(const QString &text)
{
    // Keywords holding the typed text stay listed; the first that begins with it is chosen,
    // so that typing the start of a keyword finds it.
    const QString wanted = text.trimmed();
    QListWidgetItem *chosen = nullptr;
    QListWidgetItem *firstShown = nullptr;
    for (int row = 0; row < m_index->count(); ++row) {
        QListWidgetItem *item = m_index->item(row);
        const bool shown = item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (!shown)
            continue;
        if (!firstShown)
            firstShown = item;
        if (!chosen && item->text().startsWith(wanted, Qt::CaseInsensitive))
            chosen = item;
    }
    if (!chosen)
        chosen = firstShown;
    m_index->setCurrentItem(chosen);
    if (chosen)
        m_index->scrollToItem(chosen);
}

void HelpWindow::index_Activated(QListWidgetItem *item)
{
    if (item && !item->isHidden())
        openTopic(item->data(TopicRole).toString());
}

void HelpWindow::search_Run()
{
    if (!m_content)
        return;
    if (!m_search)
        m_search = std::make_unique<HelpSearch>(*m_content);
    m_searchResults->clear();
    const QList<HelpSearch::Result> results = m_search->find(m_searchField->text());
    for (const HelpSearch::Result &result : results) {
        auto *item = new QListWidgetItem(result.title, m_searchResults);
        item->setData(TopicRole, result.path);
    }
    if (results.isEmpty() && !m_searchField->text().trimmed().isEmpty()) {
        auto *none = new QListWidgetItem(tr("No topic holds these words."), m_searchResults);
        none->setFlags(Qt::NoItemFlags);
    }
    if (!results.isEmpty())
        m_searchResults->setCurrentRow(0);
}

void HelpWindow::searchResult_Activated(QListWidgetItem *item)
{
    if (!item)
        return;
    openTopic(item->data(TopicRole).toString());
    // Shows where the page uses the first word asked for.
    const QStringList words = HelpSearch::words(m_searchField->text());
    if (!words.isEmpty())
        m_browser->find(words.first());
}

void HelpWindow::browser_SourceChanged(const QUrl &source)
{
    // The contents follow the page shown, however it was reached.
    const QString page = source.path(QUrl::FullyDecoded);
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if (pagePath((*it)->data(0, TopicRole).toString()) == page) {
            // Blocked, as the page is shown already and its anchor may differ.
            const QSignalBlocker quiet(m_contents);
            m_contents->setCurrentItem(*it);
            m_contents->scrollToItem(*it);
            return;
        }
    }
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The arrow and page keys move through the keywords while the filter keeps the input.
    if (watched == m_indexFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_index, event);
            return true;
        }
    }
    return SecondaryWindow::eventFilter(watched, event);
}

// Esc closes the help, as it closes the program's other windows.
void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}

HelpWindow *HelpWindow::showFor(QWidget *owner, const HelpContent::Reader &reader)
{
    static QHash<const QWidget *, QPointer<HelpWindow>> windows;
    for (auto it = windows.begin(); it != windows.end();)
        it = it.value().isNull() ? windows.erase(it) : std::next(it);

    QPointer<HelpWindow> &window = windows[owner];
    const bool created = !window;
    if (created) {
        window = new HelpWindow(owner, reader);
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
