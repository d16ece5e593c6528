#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/help/HelpInterfaces.h"

namespace cq::app {

// The program's help system: keeps the registered viewers and routes topic,
// keyword, context and contents requests to the viewer that understands
// them. Requests nobody takes may go to the legacy viewer, but only when
// the WinHelp tester allows it.
class THelpManager : public IHelpManager {
  public:
    THelpManager() = default;
    ~THelpManager() override;

    THelpManager(const THelpManager&) = delete;
    THelpManager& operator=(const THelpManager&) = delete;

    // The application's help system.
    static THelpManager& Application();

    // Registers a viewer (extended if it also implements IExtendedHelpViewer),
    // gives it its number and returns the manager it talks to.
    IHelpManager& RegisterViewer(ICustomHelpViewer* viewer);
    void SetHelpSelector(IHelpSelector* selector) { selector_ = selector; }
    IHelpSelector* HelpSelector() const { return selector_; }
    void SetWinHelpTester(IWinHelpTester* tester) { tester_ = tester; }
    IWinHelpTester* WinHelpTester() const { return tester_; }
    // The legacy viewer (none by default): receives a description of each
    // request that no viewer took and the tester let through.
    void SetLegacyViewer(std::function<void(const QString& request)> legacy);

    void SetApplicationHelpFile(const QString& file) { applicationHelpFile_ = file; }
    void SetHelpOwner(QWidget* owner) { owner_ = owner; }

    // Each returns true when a viewer took the request.
    bool ShowTopicHelp(const QString& topic, const QString& helpFile);
    bool ShowHelp(const QString& keyword, const QString& helpFile);
    bool ShowContextHelp(int contextId, const QString& helpFile);
    bool ShowTableOfContents();
    // Offers a whole help file to the viewers that can show one at its
    // start page; false when none took it.
    bool OpenHelpFile(const QString& helpFile);

    // Closes every viewer's windows, keeping the viewers registered.
    void SoftShutDownAll();
    int ViewerCount() const { return int(viewers_.size()); }

    // IHelpManager
    QWidget* HelpOwner() const override { return owner_; }
    QString HelpFile() const override { return requestFile_; }
    QString ApplicationHelpFile() const override { return applicationHelpFile_; }
    void Release(int viewerId) override;

  private:
    struct Entry {
        int id;
        ICustomHelpViewer* viewer;
    };
    // Sets the request's help file for the duration of one request.
    class RequestScope;

    void PassToLegacy(bool allowed, const QString& request);

    std::vector<Entry> viewers_;
    int nextId_ = 1;
    IHelpSelector* selector_ = nullptr;
    IWinHelpTester* tester_ = nullptr;
    std::function<void(const QString&)> legacy_;
    QString applicationHelpFile_;
    QString requestFile_;
    QPointer<QWidget> owner_;
};

}  // namespace cq::app
