#pragma once

#include "app/help/HelpInterfaces.h"

namespace cq::app {

// Answers every question of the legacy WinHelp viewer in the negative, so
// that no help request ends up there.
class TWinHelpTester : public IWinHelpTester {
  public:
    bool CanShowALink(const QString& aLink, const QString& fileName) override;
    bool CanShowTopic(const QString& topic, const QString& fileName) override;
    bool CanShowContext(int context, const QString& fileName) override;
    QStringList GetHelpStrings(const QString& aLink) override;
    QString GetHelpPath() override;
    QString GetDefaultHelpFile() override;
};

}  // namespace cq::app
