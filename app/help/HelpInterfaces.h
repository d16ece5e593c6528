#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace cq::app {

// The roles of the program's help system. A viewer registers with the
// manager; the manager offers it each request; a selector decides when
// several viewers could answer; a WinHelp tester says whether the legacy
// viewer may take a request nobody else took.

class IHelpManager {
  public:
    virtual ~IHelpManager() = default;
    // The window that owns help windows (the main window), or null.
    virtual QWidget* HelpOwner() const = 0;
    // The help file of the request being served; "" outside a request.
    virtual QString HelpFile() const = 0;
    // The application's current help file.
    virtual QString ApplicationHelpFile() const = 0;
    // A viewer announces that it leaves; the manager forgets it.
    virtual void Release(int viewerId) = 0;
};

class ICustomHelpViewer {
  public:
    virtual ~ICustomHelpViewer() = default;
    virtual QString GetViewerName() const = 0;
    virtual int UnderstandsKeyword(const QString& keyword) = 0;
    virtual QStringList GetHelpStrings(const QString& keyword) = 0;
    virtual bool CanShowTableOfContents() = 0;
    virtual void ShowTableOfContents() = 0;
    virtual void ShowHelp(const QString& helpString) = 0;
    virtual void NotifyID(int viewerId) = 0;
    virtual void SoftShutDown() = 0;
    virtual void ShutDown() = 0;
};

class IExtendedHelpViewer {
  public:
    virtual ~IExtendedHelpViewer() = default;
    virtual bool UnderstandsTopic(const QString& topic) = 0;
    virtual void DisplayTopic(const QString& topic) = 0;
    virtual bool UnderstandsContext(int contextId, const QString& helpFile) = 0;
    virtual void DisplayHelpByContext(int contextId, const QString& helpFile) = 0;
};

// A viewer that can stand in for the desktop's handler of a help file:
// shows the whole file at its start page.
class IHelpFileHandler {
  public:
    virtual ~IHelpFileHandler() = default;
    // True when the viewer took the file (and shows it).
    virtual bool OpenHelpFile(const QString& helpFile) = 0;
};

class IHelpSelector {
  public:
    virtual ~IHelpSelector() = default;
    // Index of the help string to show.
    virtual int SelectKeyword(const QStringList& helpStrings) = 0;
    // Index of the viewer whose table of contents to show, or -1.
    virtual int TableOfContents(const QStringList& viewerNames) = 0;
};

class IWinHelpTester {
  public:
    virtual ~IWinHelpTester() = default;
    virtual bool CanShowALink(const QString& aLink, const QString& fileName) = 0;
    virtual bool CanShowTopic(const QString& topic, const QString& fileName) = 0;
    virtual bool CanShowContext(int context, const QString& fileName) = 0;
    virtual QStringList GetHelpStrings(const QString& aLink) = 0;
    virtual QString GetHelpPath() = 0;
    virtual QString GetDefaultHelpFile() = 0;
};

}  // namespace cq::app
