#include "engine/StoredSetPreload.h"

#include "engine/ResultStore.h"

TStoredSetPreload::TStoredSetPreload(const std::string& dataFolder, std::string_view path)
    : store_(std::make_unique<TResultStore>(dataFolder)) {
    store_->SetFiles(path);
    thread_ = std::thread([this] { loaded_ = store_->AnalizeFiExists() && store_->LoadGlobal(); });
}

TStoredSetPreload::~TStoredSetPreload() {
    Wait();
}

void TStoredSetPreload::Wait() {
    if (thread_.joinable())
        thread_.join();
}

TResultStore& TStoredSetPreload::Store() {
    Wait();
    return *store_;
}

bool TStoredSetPreload::Loaded() {
    Wait();
    return loaded_;
}
