#pragma once
// The collector of a find's walk (FileSink.h): every file name that matches
// the find, with its size, allocated bytes and time of last change. A file
// with several hard links is found at each of its names, as find lists
// them. Paths are made at Finish, when the walk's tree can name folders.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FileSink.h"
#include "engine/FindQuery.h"

class TNameMatcher;

class TFindSink : public TFileSink {
  public:
    TFindSink(const TFindQuery& query, const TNameMatcher& matcher);

    void File(const TWalkFile& file) override;
    void Merge(TFileSink& other) override;
    void Finish(const TFolderTree& tree) override;

    // After Finish: the files found, by path in byte order.
    TFoundItems& Found() { return found_; }

  private:
    struct THit {
        std::uint32_t Folder;
        std::string Name;  // raw bytes
        std::int64_t Size, Allocated, MTime;
    };
    const TFindQuery& query_;
    const TNameMatcher& matcher_;
    std::int64_t changedBefore_;
    std::vector<THit> hits_;
    TFoundItems found_;
};
