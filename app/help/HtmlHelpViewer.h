#pragma once

#include "app/help/HelpInterfaces.h"
#include "platform/help/HelpEngineLibrary.h"

namespace cq::app {

// The viewer "QuenHtmlHelp": serves help requests for compiled HTML help
// files (.chm) by calling the HTML help engine plugin. Without the plugin
// it still answers the help system's questions, but shows nothing.
class THtmlHelpViewer : public ICustomHelpViewer,
                        public IExtendedHelpViewer,
                        public IHelpFileHandler,
                        public IHelpSelector {
  public:
    // Loads the plugin from pluginPath.
    explicit THtmlHelpViewer(const std::string& pluginPath);
    // Uses an entry point directly (null: no engine); for hosts that load
    // the engine themselves and for tests.
    explicit THtmlHelpViewer(help::HtmlHelpFunc entry);
    ~THtmlHelpViewer() override;

    // The manager reference that registration hands back (null drops it).
    void SetManager(IHelpManager* manager) { manager_ = manager; }
    IHelpManager* Manager() const { return manager_; }
    int ViewerId() const { return viewerId_; }
    bool EngineLoaded() const { return htmlHelp_ != nullptr; }
    const QString& DefaultExtension() const { return defaultExtension_; }
    // The folder put in front of a help file name without one; defaults to
    // the folder of the program's executable.
    void SetProgramFolder(const QString& folder) { programFolder_ = folder; }

    // The help file the next request goes to (see HelpFile rules below).
    QString HelpFile() const;
    // True when the text from the name's last full stop on is ".chm" in any case.
    static bool IsChm(const QString& name);
    // The topic with the default extension appended unless it ends in .htm/.html.
    QString TopicWithExtension(const QString& topic) const;

    // ICustomHelpViewer
    QString GetViewerName() const override;
    int UnderstandsKeyword(const QString& keyword) override;
    QStringList GetHelpStrings(const QString& keyword) override;
    bool CanShowTableOfContents() override;
    void ShowTableOfContents() override;
    void ShowHelp(const QString& helpString) override;
    void NotifyID(int viewerId) override;
    void SoftShutDown() override;
    void ShutDown() override;

    // IExtendedHelpViewer
    bool UnderstandsTopic(const QString& topic) override;
    void DisplayTopic(const QString& topic) override;
    bool UnderstandsContext(int contextId, const QString& helpFile) override;
    void DisplayHelpByContext(int contextId, const QString& helpFile) override;

    // IHelpFileHandler: a .chm is shown at its start page in the engine's
    // window, since the desktop has no viewer of its own for it.
    bool OpenHelpFile(const QString& helpFile) override;

    // IHelpSelector
    int SelectKeyword(const QStringList& helpStrings) override;
    int TableOfContents(const QStringList& viewerNames) override;

  private:
    void HtmlHelp(const QString& file, unsigned command, std::uintptr_t data);

    QString viewerName_;
    QString defaultExtension_;
    help::HelpEngineLibrary library_;
    help::HtmlHelpFunc htmlHelp_ = nullptr;
    int viewerId_ = 0;
    IHelpManager* manager_ = nullptr;
    QString programFolder_;
};

}  // namespace cq::app
