#include "platform/help/HelpEngineLibrary.h"

#include <dlfcn.h>

#include <utility>

#include "platform/help/ProgramFiles.h"

namespace cq::help {

HelpEngineLibrary::HelpEngineLibrary(const std::string& path) {
    // RTLD_LOCAL keeps the plugin's symbols out of the global namespace, so
    // the one entry point is reachable only through dlsym. RTLD_NODELETE keeps
    // its code mapped after dlclose: help windows it created may outlive the
    // handle until the application tears its widgets down.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        const char* err = dlerror();
        error_ = err != nullptr ? err : "dlopen failed";
        return;
    }
    dlerror();
    void* symbol = dlsym(handle_, kHtmlHelpSymbol);
    if (symbol == nullptr) {
        const char* err = dlerror();
        error_ = err != nullptr ? err : "entry point missing";
        Unload();
        return;
    }
    entry_ = reinterpret_cast<HtmlHelpFunc>(symbol);
}

HelpEngineLibrary::~HelpEngineLibrary() {
    Unload();
}

HelpEngineLibrary::HelpEngineLibrary(HelpEngineLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      entry_(std::exchange(other.entry_, nullptr)),
      error_(std::move(other.error_)) {}

HelpEngineLibrary& HelpEngineLibrary::operator=(HelpEngineLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        handle_ = std::exchange(other.handle_, nullptr);
        entry_ = std::exchange(other.entry_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

void HelpEngineLibrary::Unload() {
    entry_ = nullptr;
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

const char* HelpEngineLibrary::FileName() {
    return "libcq_hhctrl.so";
}

std::string HelpEngineLibrary::DefaultPath(const std::string& exeDir) {
    return ProgramFiles::FindPlugin(exeDir, FileName());
}

}  // namespace cq::help
