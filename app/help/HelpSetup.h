#pragma once

#include <memory>
#include <string>

#include "app/help/HtmlHelpViewer.h"
#include "app/help/WinHelpTester.h"

namespace cq::app {

class THelpManager;

// Puts the program's help in place for the life of the object: creates the
// HTML help viewer (loading the engine plugin), registers it with the help
// manager as a viewer and as the help selector, and installs the WinHelp
// tester. On destruction the viewer is released from the manager and the
// plugin unloaded. Create one before the main window, keep it until the end.
class THelpSetup {
  public:
    // pluginPath "" means the plugin beside the program's executable.
    explicit THelpSetup(THelpManager& manager, const std::string& pluginPath = {});
    // With a ready viewer (tests, hosts that load the engine themselves).
    THelpSetup(THelpManager& manager, std::unique_ptr<THtmlHelpViewer> viewer);
    ~THelpSetup();

    THelpSetup(const THelpSetup&) = delete;
    THelpSetup& operator=(const THelpSetup&) = delete;

    THtmlHelpViewer* Viewer() const { return viewer_.get(); }
    TWinHelpTester* Tester() const { return tester_.get(); }

    static std::string DefaultPluginPath();

  private:
    THelpManager& manager_;
    std::unique_ptr<THtmlHelpViewer> viewer_;
    std::unique_ptr<TWinHelpTester> tester_;
};

}  // namespace cq::app
