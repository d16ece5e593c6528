#pragma once

#include <QPointer>
#include <QString>
#include <map>

#include "help/engine/HelpWindow.h"

namespace cq::help {

// The state behind the plugin's entry point: one help window per help file,
// created on first use and reused afterwards.
class HtmlHelpEngine {
  public:
    static HtmlHelpEngine& Instance();

    void* Run(QWidget* owner, const QString& address, unsigned command, std::uintptr_t data);
    void CloseAll();

    // "file.chm::/Html/Tree.html" -> {"file.chm", "Html/Tree.html"}.
    static std::pair<QString, QString> SplitAddress(const QString& address);

  private:
    HelpWindow* WindowFor(const QString& file, QWidget* owner);

    std::map<QString, QPointer<HelpWindow>> windows_;
};

}  // namespace cq::help
