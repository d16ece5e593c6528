#include "engine/FanOutSink.h"

#include <algorithm>

TFanOutSink::TFanOutSink(std::vector<std::unique_ptr<TFileSink>> sinks)
    : sinks_(std::move(sinks)) {}

void TFanOutSink::File(const TWalkFile& file) {
    for (const auto& sink : sinks_)
        sink->File(file);
}

bool TFanOutSink::WantsName(const TWalkFile& file) const {
    return std::any_of(sinks_.begin(), sinks_.end(),
                       [&file](const auto& sink) { return sink->WantsName(file); });
}

void TFanOutSink::Join(TFileSink& first) {
    auto& fan = static_cast<TFanOutSink&>(first);
    for (std::size_t i = 0; i < sinks_.size(); ++i)
        sinks_[i]->Join(*fan.sinks_[i]);
}

void TFanOutSink::Merge(TFileSink& other) {
    auto& fan = static_cast<TFanOutSink&>(other);
    for (std::size_t i = 0; i < sinks_.size(); ++i)
        sinks_[i]->Merge(*fan.sinks_[i]);
}

void TFanOutSink::Finish(const TFolderTree& tree) {
    for (const auto& sink : sinks_)
        sink->Finish(tree);
}

void TFanOutSink::AddExtraLists(TExtraLists& extras) {
    for (const auto& sink : sinks_)
        sink->AddExtraLists(extras);
}

TFileSinkMaker TFanOutSink::Over(std::vector<TFileSinkMaker> makers) {
    makers.erase(std::remove_if(makers.begin(), makers.end(),
                                [](const TFileSinkMaker& make) { return !make; }),
                 makers.end());
    if (makers.size() <= 1)
        return makers.empty() ? TFileSinkMaker() : makers.front();
    return [makers = std::move(makers)] {
        std::vector<std::unique_ptr<TFileSink>> sinks;
        for (const TFileSinkMaker& make : makers)
            sinks.push_back(make());
        return std::make_unique<TFanOutSink>(std::move(sinks));
    };
}
