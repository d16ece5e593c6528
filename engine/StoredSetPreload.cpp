#include "engine/StoredSetPreload.h"

TStoredSetPreload::TStoredSetPreload(const std::string& dataFolder, std::string_view path) {
    const TStoredSetFiles files = TStoredSetFiles::For(dataFolder, path);
    thread_ = std::thread([this, files] {
        // Whatever stops the read here (memory running out past the lists,
        // a damaged set) leaves nothing read: the window's own load then
        // meets the same and tells it, instead of the thread ending the
        // program.
        try {
            std::string refusal;
            ok_ = files.Exist() && LoadStoredSet(files, loaded_, refusal);
        } catch (...) {
            ok_ = false;
            loaded_ = TLoadedSet{};
        }
    });
}

TStoredSetPreload::~TStoredSetPreload() {
    Wait();
}

void TStoredSetPreload::Wait() {
    if (thread_.joinable())
        thread_.join();
}

TLoadedSet* TStoredSetPreload::Loaded() {
    Wait();
    return ok_ ? &loaded_ : nullptr;
}
