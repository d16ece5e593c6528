#include "engine/DiscoverSink.h"

#include <chrono>

#include "engine/DiscoverRole.h"
#include "engine/FolderTree.h"

void TDiscoverSink::Merge(TFileSink& other) {
    collector_.Merge(std::move(static_cast<TDiscoverSink&>(other).collector_));
}

void TDiscoverSink::Finish(const TFolderTree& tree) {
    data_ = collector_.Finish([&tree](std::uint32_t folder) { return tree.PathOf(folder); }, true,
                              keptTypes_);
}

void TDiscoverSink::AddExtraLists(TExtraLists& extras) {
    extras[std::string(kDiscoverRole)] = data_.Lines();
}

std::function<std::int64_t()> TDiscoverSink::Clock = [] {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
};

std::unique_ptr<TFileSink> TDiscoverSink::Make() {
    return std::make_unique<TDiscoverSink>(Clock());
}

TFileSinkMaker TDiscoverSink::MakerAt(std::int64_t scanTime, std::size_t keptTypes) {
    return [scanTime, keptTypes] { return std::make_unique<TDiscoverSink>(scanTime, keptTypes); };
}
