#include "engine/StoredSetPreload.h"

TStoredSetPreload::TStoredSetPreload(const std::string& dataFolder, std::string_view path) {
    const TStoredSetFiles files = TStoredSetFiles::For(dataFolder, path);
    thread_ = std::thread([this, files] {
        std::string refusal;
        ok_ = files.Exist() && LoadStoredSet(files, loaded_, refusal);
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
