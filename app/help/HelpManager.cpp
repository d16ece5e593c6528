#include "app/help/HelpManager.h"

#include <utility>

namespace cq::app {

class THelpManager::RequestScope {
  public:
    RequestScope(THelpManager& manager, const QString& file)
        : manager_(manager), saved_(std::exchange(manager.requestFile_, file)) {}
    ~RequestScope() { manager_.requestFile_ = saved_; }

  private:
    THelpManager& manager_;
    QString saved_;
};

THelpManager::~THelpManager() {
    // Viewers still registered at the end are shut down by the help system.
    auto viewers = std::exchange(viewers_, {});
    for (const Entry& entry : viewers) {
        entry.viewer->ShutDown();
    }
}

THelpManager& THelpManager::Application() {
    static THelpManager manager;
    return manager;
}

IHelpManager& THelpManager::RegisterViewer(ICustomHelpViewer* viewer) {
    const int id = nextId_++;
    viewers_.push_back({id, viewer});
    viewer->NotifyID(id);
    return *this;
}

void THelpManager::SetLegacyViewer(std::function<void(const QString&)> legacy) {
    legacy_ = std::move(legacy);
}

void THelpManager::Release(int viewerId) {
    for (auto it = viewers_.begin(); it != viewers_.end(); ++it) {
        if (it->id == viewerId) {
            viewers_.erase(it);
            return;
        }
    }
}

bool THelpManager::ShowTopicHelp(const QString& topic, const QString& helpFile) {
    RequestScope scope(*this, helpFile);
    for (const Entry& entry : viewers_) {
        auto* extended = dynamic_cast<IExtendedHelpViewer*>(entry.viewer);
        if (extended && extended->UnderstandsTopic(topic)) {
            extended->DisplayTopic(topic);
            return true;
        }
    }
    PassToLegacy(tester_ == nullptr || tester_->CanShowTopic(topic, helpFile),
                 QStringLiteral("topic ") + topic);
    return false;
}

bool THelpManager::ShowContextHelp(int contextId, const QString& helpFile) {
    RequestScope scope(*this, helpFile);
    for (const Entry& entry : viewers_) {
        auto* extended = dynamic_cast<IExtendedHelpViewer*>(entry.viewer);
        if (extended && extended->UnderstandsContext(contextId, helpFile)) {
            extended->DisplayHelpByContext(contextId, helpFile);
            return true;
        }
    }
    PassToLegacy(tester_ == nullptr || tester_->CanShowContext(contextId, helpFile),
                 QStringLiteral("context %1").arg(contextId));
    return false;
}

bool THelpManager::ShowHelp(const QString& keyword, const QString& helpFile) {
    RequestScope scope(*this, helpFile);
    // Every help string, remembering which viewer offered it.
    QStringList strings;
    std::vector<ICustomHelpViewer*> owners;
    for (const Entry& entry : viewers_) {
        if (entry.viewer->UnderstandsKeyword(keyword) > 0) {
            for (const QString& text : entry.viewer->GetHelpStrings(keyword)) {
                strings << text;
                owners.push_back(entry.viewer);
            }
        }
    }
    if (strings.isEmpty()) {
        PassToLegacy(tester_ == nullptr || tester_->CanShowALink(keyword, helpFile),
                     QStringLiteral("keyword ") + keyword);
        return false;
    }
    const int chosen = strings.size() > 1 && selector_ ? selector_->SelectKeyword(strings) : 0;
    if (chosen < 0 || chosen >= strings.size()) {
        return false;
    }
    owners[std::size_t(chosen)]->ShowHelp(strings[chosen]);
    return true;
}

bool THelpManager::OpenHelpFile(const QString& helpFile) {
    RequestScope scope(*this, helpFile);
    for (const Entry& entry : viewers_) {
        auto* handler = dynamic_cast<IHelpFileHandler*>(entry.viewer);
        if (handler && handler->OpenHelpFile(helpFile)) {
            return true;
        }
    }
    return false;
}

bool THelpManager::ShowTableOfContents() {
    RequestScope scope(*this, applicationHelpFile_);
    QStringList names;
    std::vector<ICustomHelpViewer*> able;
    for (const Entry& entry : viewers_) {
        if (entry.viewer->CanShowTableOfContents()) {
            names << entry.viewer->GetViewerName();
            able.push_back(entry.viewer);
        }
    }
    if (able.empty()) {
        return false;
    }
    const int chosen = able.size() > 1 && selector_ ? selector_->TableOfContents(names) : 0;
    if (chosen < 0 || chosen >= int(able.size())) {
        return false;
    }
    able[std::size_t(chosen)]->ShowTableOfContents();
    return true;
}

void THelpManager::SoftShutDownAll() {
    for (const Entry& entry : viewers_) {
        entry.viewer->SoftShutDown();
    }
}

void THelpManager::PassToLegacy(bool allowed, const QString& request) {
    if (allowed && legacy_) {
        legacy_(request);
    }
}

}  // namespace cq::app
