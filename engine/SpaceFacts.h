#pragma once
// Where the bytes below a walked folder would come back from: a file sink
// that adds up the files' sizes and allocated bytes, the allocated bytes
// of hard-linked files that also have names outside the walk (removing
// the folder would not free them), and what sparse files leave out (size
// minus allocated bytes, where positive). Hard-linked files count once.
#include <cstdint>
#include <map>
#include <utility>

#include "engine/FileSink.h"

struct TSpaceFacts {
    std::int64_t FileBytes = 0;
    std::int64_t Allocated = 0;
    std::int64_t Shared = 0;  // allocated bytes of files with names elsewhere
    std::int64_t Sparse = 0;  // bytes of sparse files that take no space
};

class TSpaceFactsSink : public TFileSink {
  public:
    void File(const TWalkFile& file) override;
    // Only the count of names matters here.
    bool WantsName(const TWalkFile&) const override { return false; }
    void Merge(TFileSink& other) override;
    void Finish(const TFolderTree& tree) override;
    const TSpaceFacts& Facts() const { return facts_; }

  private:
    struct TLinked {
        std::uint32_t Seen = 0, Links = 0;
        std::int64_t Allocated = 0;
    };
    TSpaceFacts facts_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, TLinked> linked_;
};
