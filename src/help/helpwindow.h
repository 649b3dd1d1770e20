// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "helpcontent.h"
#include "secondarywindow.h"

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include <QWidget>

#include <memory>

class HelpSearch;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// A browser that takes pages, pictures and style sheets from the help file only: nothing on
// disk or on the network is ever read through a link of a help page.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    static const QString scheme; // of the URLs that address the inside of the help file

    explicit HelpBrowser(QWidget *parent = nullptr);

    void setContent(const HelpContent *content) { m_content = content; }
    static QUrl topicUrl(const QString &path);

    QVariant loadResource(int type, const QUrl &name) override;

protected:
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;
    void changeEvent(QEvent *event) override;

private:
    void followLink(const QUrl &link);

    const HelpContent *m_content = nullptr;
    QUrl m_current;
};

// The program's help window: shows the help file beside the main window without blocking it.
class HelpWindow : public SecondaryWindow
{
    Q_OBJECT

public:
    static const QString fileName; // "Merrow_Editor_Help.chm"

    // A top-level window of its own, kept above `owner` and closed along with it, that reads
    // help files with `reader`.
    explicit HelpWindow(QWidget *owner = nullptr, HelpContent::Reader reader = {});
    ~HelpWindow() override;

    // Opens `path` at its default topic; on failure the window says so, and why.
    bool openFile(const QString &path);
    bool isFileOpen() const;
    // The open file, or null.
    const HelpContent *content() const { return m_content.get(); }
    HelpBrowser *browser() const { return m_browser; }

    // Opens the help file in the help window of `owner`, creating that window the first time
    // (reading with `reader`) and raising it afterwards.
    static HelpWindow *showFor(QWidget *owner, const HelpContent::Reader &reader = {});

    // Where the help file is looked for, in order: the current directory, beside the
    // executable, the installed data folder. The first that exists, or empty.
    static QStringList searchPlaces();
    static QString locateFile();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void home_Click();
    void showMissingFile();
    void fillContents();
    void fillIndex();
    void openTopic(const QString &path);
    void contents_Activated(QTreeWidgetItem *item);
    void indexFilter_Edited(const QString &text);
    void index_Activated(QListWidgetItem *item);
    void search_Run();
    void searchResult_Activated(QListWidgetItem *item);
    void browser_SourceChanged(const QUrl &source);

    HelpContent::Reader m_reader;
    std::unique_ptr<HelpContent> m_content;
    // Built at the first search: until then no page needs to be read as text.
    std::unique_ptr<HelpSearch> m_search;
    QSplitter *m_splitter;
    QTabWidget *m_tabs;
    QTreeWidget *m_contents;
    QLineEdit *m_indexFilter;
    QListWidget *m_index;
    QLineEdit *m_searchField;
    QToolButton *m_searchButton;
    QListWidget *m_searchResults;
    HelpBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
    QUrl m_homeUrl;
};
