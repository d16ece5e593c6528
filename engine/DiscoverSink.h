#pragma once
// The walk's file sink that collects the Discover data (one per walking
// thread, merged when the walk ends): each counted file goes to a
// TDiscoverCollector; the names of a hard-linked file whose bytes count
// elsewhere are left out, so the file is listed once, where it counts.
#include <functional>
#include <memory>

#include "engine/DiscoverCollector.h"
#include "engine/FileSink.h"

class TDiscoverSink : public TFileSink {
  public:
    // ScanTime: the time the old files are counted from (the scan's start);
    // KeptTypes: how many types are listed by name.
    explicit TDiscoverSink(std::int64_t scanTime, std::size_t keptTypes = kKeptTypes)
        : collector_(kLargestFiles, scanTime), keptTypes_(keptTypes) {}

    void File(const TWalkFile& file) override {
        if (file.Counted)
            collector_.File(file.Folder, file.Name, file.Size, file.Allocated,
                            file.LastWriteSeconds, file.Named);
    }
    bool WantsName(const TWalkFile& file) const override {
        return collector_.MayList(file.Name, file.Size, file.LastWriteSeconds);
    }
    void Join(TFileSink& first) override {
        collector_.Join(static_cast<TDiscoverSink&>(first).collector_);
    }
    void Merge(TFileSink& other) override;
    void Finish(const TFolderTree& tree) override;
    // The data's lines under the kind's role (DiscoverKind.h).
    void AddExtraLists(TExtraLists& extras) override;

    // The data, once the walk has finished the sink.
    TDiscoverData& Data() { return data_; }

    // A maker for TWalkSettings::MakeSink / TAnalizeDisk::MakeFileSink:
    // sinks that count the old files from now, as Clock tells it.
    static std::unique_ptr<TFileSink> Make();
    // Seconds since 1970 now: the system clock, unless a test that compares
    // two scans' stored bytes fixes it (set it while no walk runs).
    static std::function<std::int64_t()> Clock;
    // A maker of sinks that count them from ScanTime.
    static TFileSinkMaker MakerAt(std::int64_t scanTime, std::size_t keptTypes = kKeptTypes);

  private:
    TDiscoverCollector collector_;
    std::size_t keptTypes_;
    TDiscoverData data_;
};
