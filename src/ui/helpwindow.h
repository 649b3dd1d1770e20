#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

struct chmFile;
class QToolButton;

// Read-only access to the topics and pictures stored in a compiled HTML help file.
class HelpArchive
{
public:
    explicit HelpArchive(const QString &path);
    ~HelpArchive();
    HelpArchive(const HelpArchive &) = delete;
    HelpArchive &operator=(const HelpArchive &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // `path` is absolute inside the archive, such as "/pages/start.htm".
    std::optional<QByteArray> read(const QString &path) const;
    // The topic the file asks to be shown first, or its first page; empty if it has none.
    QString defaultTopic() const;
    QString title() const { return m_title; }

private:
    void readSystemData();
    QString firstPage() const;

    chmFile *m_file = nullptr;
    QString m_defaultTopic;
    QString m_title;
};

// A browser that takes pages, pictures and style sheets from the help file only: nothing on
// disk or on the network is ever read through a link of a help page.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    static const QString scheme; // of the URLs that address the inside of the help file

    explicit HelpBrowser(QWidget *parent = nullptr);

    void setArchive(const HelpArchive *archive) { m_archive = archive; }
    static QUrl topicUrl(const QString &path);

    QVariant loadResource(int type, const QUrl &name) override;

protected:
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;

private:
    void followLink(const QUrl &link);

    const HelpArchive *m_archive = nullptr;
    QUrl m_current;
};

// The program's help window: shows the help file beside the main window without blocking it.
class HelpWindow : public QWidget
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

    // Opens the help file of the current directory in the help window of `owner`, creating
    // that window the first time and raising it afterwards.
    static HelpWindow *showFor(QWidget *owner);

private:
    void home_Click();

    std::unique_ptr<HelpArchive> m_archive;
    HelpBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_home;
    QUrl m_homeUrl;
};
