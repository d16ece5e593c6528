#pragma once
// What a duplicate search found: groups of files with the same bytes. A
// copy is one inode: its hard-linked names are one copy (they take the
// space once). Copies whose data already lies in the very same extents (a
// reflink clone) form one "shared set": they take the space once as well,
// so a group wastes its size once for every shared set beyond the first.
#include <cstdint>
#include <string>
#include <vector>

struct TDuplicateCopy {
    std::vector<std::string> Names;  // native paths of the inode, sorted; at least one
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t WriteNanos = 0;  // last write when hashed, ns since 1970
    // Copies of one group with the same SharedSet hold their data in the same
    // extents; each copy has its own set when it shares with no other copy.
    int SharedSet = 0;
};

struct TDuplicateGroup {
    std::int64_t Size = 0;  // bytes of each copy
    std::vector<TDuplicateCopy> Copies;

    // How many separate places hold the bytes (shared sets).
    int Places() const;
    // Size x (places - 1): what removing all but one copy would free.
    std::int64_t Waste() const;
    // Whether copy i shares its data with another copy of the group.
    bool IsShared(std::size_t i) const;
};

struct TDuplicateResult {
    std::string Root;                     // the native folder searched
    std::int64_t MinSize = 1;             // files below this size were left out
    std::int64_t Time = 0;                // when the search ended, seconds since 1970
    std::vector<TDuplicateGroup> Groups;  // by waste, the largest first
    std::uint64_t FilesListed = 0;        // regular files below Root
    std::uint64_t Candidates = 0;         // files sharing their size with another

    std::int64_t TotalWaste() const;
    // What reclaiming the copies with a name inside nativeFolder would free,
    // one copy of a group kept there when all its places are inside.
    std::int64_t WasteInside(const std::string& nativeFolder) const;
    // Puts groups in the order the lists show them: by waste, then size,
    // then the first name; copies in a group by their first name.
    void Sort();
};
