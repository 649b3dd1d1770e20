#pragma once

#include "secondarywindow.h"
#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include <QWidget>

#include <memory>

class HelpContent;
class QToolButton;

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

    // A top-level window of its own, kept above `owner` and closed along with it.
    explicit HelpWindow(QWidget *owner = nullptr);
    ~HelpWindow() override;

    // Opens `path` at its default topic; on failure the window says so in one line.
    bool openFile(const QString &path);
    bool isFileOpen() const;
    HelpBrowser *browser() const { return m_browser; }

    // Opens the help file in the help window of `owner`, creating that window the first time
    // and raising it afterwards.
    static HelpWindow *showFor(QWidget *owner);

    // Where the help file is looked for, in order: the current directory, beside the
    // executable, the installed data folder. The first that exists, or empty.
    static QStringList searchPlaces();
    static QString locateFile();

private:
    void home_Click();
    void showMissingFile();

    std::unique_ptr<HelpContent> m_content;
    HelpBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
    QUrl m_homeUrl;
};
