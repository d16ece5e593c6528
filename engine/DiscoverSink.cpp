#include "engine/DiscoverSink.h"

#include "engine/DiscoverRole.h"
#include "engine/FolderTree.h"

void TDiscoverSink::Merge(TFileSink& other) {
    collector_.Merge(std::move(static_cast<TDiscoverSink&>(other).collector_));
}

void TDiscoverSink::Finish(const TFolderTree& tree) {
    data_ = collector_.Finish([&tree](std::uint32_t folder) { return tree.PathOf(folder); });
}

void TDiscoverSink::AddExtraLists(TExtraLists& extras) {
    extras[std::string(kDiscoverRole)] = data_.Lines();
}
