#pragma once

#include <string>

#include "platform/help/HtmlHelpApi.h"

namespace cq::help {

// Owns the dlopen handle of the HTML help engine plugin. A plugin that is
// missing, cannot be loaded or lacks the entry point leaves the object empty:
// Entry() is then null and every help request is to be ignored.
class HelpEngineLibrary {
  public:
    HelpEngineLibrary() = default;
    explicit HelpEngineLibrary(const std::string& path);
    ~HelpEngineLibrary();

    HelpEngineLibrary(const HelpEngineLibrary&) = delete;
    HelpEngineLibrary& operator=(const HelpEngineLibrary&) = delete;
    HelpEngineLibrary(HelpEngineLibrary&& other) noexcept;
    HelpEngineLibrary& operator=(HelpEngineLibrary&& other) noexcept;

    bool Loaded() const { return entry_ != nullptr; }
    HtmlHelpFunc Entry() const { return entry_; }
    // The loader's last error text, empty after a successful load.
    const std::string& Error() const { return error_; }

    // File name of the plugin beside the executable.
    static const char* FileName();
    // The plugin's path for a program whose executable lies in exeDir: beside
    // it, or else in the installed plugin folder (see ProgramFiles).
    static std::string DefaultPath(const std::string& exeDir);

  private:
    void Unload();

    void* handle_ = nullptr;
    HtmlHelpFunc entry_ = nullptr;
    std::string error_;
};

}  // namespace cq::help
