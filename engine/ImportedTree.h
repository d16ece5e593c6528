#pragma once
// A scan read from an export, kept whole so that its folders can be listed
// as a file system's would be: every folder and item with its name, size and
// time, grouped by the folder they are in.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ExcludedReason.h"

// Items grouped by their parent, each group in the order the items came
// (a stable counting sort): the items of group g are Order[Start[g]] up to
// Order[Start[g + 1]]. An export interleaves a folder's items with whole
// subtrees; grouping them is one linear pass.
struct TGrouping {
    std::vector<std::uint32_t> Start, Order;
};
TGrouping GroupByParent(const std::vector<std::uint32_t>& parentOf, std::size_t groups);

struct TImportedEntry {
    static constexpr std::uint32_t kNoFolder = 0xFFFFFFFFu;
    std::uint64_t NameOff = 0;
    std::uint32_t NameLen = 0;
    std::uint32_t Folder = kNoFolder;                  // the folder's index when the entry is one
    std::int64_t Size = 0;                             // logical size; 0 for a folder
    std::int64_t Disk = 0;                             // allocated bytes ("dsize"); 0 for a folder
    std::int64_t MTime = 0;                            // seconds since 1970
    bool NotRegular = false;                           // a link, device, fifo or socket
    TExcludedReason Excluded = TExcludedReason::None;  // left out: no size, never a folder
};

class TImportedTree {
  public:
    // Folder 0 is the root.
    void AddRoot(std::int64_t mtime);
    // Adds an entry to Parent (a folder index); returns the new folder's
    // index when IsFolder.
    std::uint32_t Add(std::uint32_t parent, std::string_view name, bool isFolder, std::int64_t size,
                      std::int64_t mtime, bool notRegular, std::int64_t disk = 0);
    // Adds an entry the scan left out (no size; not listed as a folder even
    // when it was one, since nothing of it was read).
    void AddExcluded(std::uint32_t parent, std::string_view name, TExcludedReason why,
                     std::int64_t mtime);
    // Groups the entries by folder; call once after the last Add.
    void Finish();

    std::size_t FolderCount() const { return folderMTime_.size(); }
    // The folder reached from the root through the given raw names, or -1.
    std::int64_t FolderAt(const std::vector<std::string>& names) const;
    // The entries of a folder, in the order the export gave them.
    const TImportedEntry* begin(std::uint32_t folder) const;
    const TImportedEntry* end(std::uint32_t folder) const;
    std::string_view NameOf(const TImportedEntry& entry) const {
        return std::string_view(names_).substr(entry.NameOff, entry.NameLen);
    }
    std::int64_t FolderMTime(std::uint32_t folder) const { return folderMTime_[folder]; }

  private:
    std::vector<TImportedEntry> entries_;
    std::vector<std::uint32_t> parentOf_;  // per entry, until Finish
    std::vector<std::uint32_t> start_;     // per folder, after Finish
    std::vector<std::int64_t> folderMTime_;
    std::string names_;
};
