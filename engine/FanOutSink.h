#pragma once
// One file sink that hands every file to several (one per collector), so
// that a walk with more than one collector still makes one sink per thread.
#include <memory>
#include <vector>

#include "engine/FileSink.h"

class TFanOutSink : public TFileSink {
  public:
    explicit TFanOutSink(std::vector<std::unique_ptr<TFileSink>> sinks);
    void File(const TWalkFile& file) override;
    bool WantsName(const TWalkFile& file) const override;
    // first is a fan-out of the same makers, in the same order.
    void Join(TFileSink& first) override;
    // other is a fan-out of the same makers, in the same order.
    void Merge(TFileSink& other) override;
    void Finish(const TFolderTree& tree) override;
    void AddExtraLists(TExtraLists& extras) override;

    // A maker of fan-outs over the given makers; none when there are none,
    // the one maker itself when there is one.
    // Makers that are empty are left out.
    static TFileSinkMaker Over(std::vector<TFileSinkMaker> makers);
    // The sink of type T: sink itself, or one a fan-out hands files to.
    template <class T>
    static T* Find(TFileSink* sink) {
        if (auto* found = dynamic_cast<T*>(sink))
            return found;
        if (auto* fan = dynamic_cast<TFanOutSink*>(sink))
            for (const auto& part : fan->sinks_)
                if (auto* found = Find<T>(part.get()))
                    return found;
        return nullptr;
    }

  private:
    std::vector<std::unique_ptr<TFileSink>> sinks_;
};
