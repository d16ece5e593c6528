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
    // other is a fan-out of the same makers, in the same order.
    void Merge(TFileSink& other) override;
    void Finish(const TFolderTree& tree) override;
    void AddExtraLists(TExtraLists& extras) override;

    // A maker of fan-outs over the given makers; none when there are none,
    // the one maker itself when there is one.
    static TFileSinkMaker Over(std::vector<TFileSinkMaker> makers);

  private:
    std::vector<std::unique_ptr<TFileSink>> sinks_;
};
