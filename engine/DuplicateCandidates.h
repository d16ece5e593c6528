#pragma once
// The first step of a duplicate search: every regular file below a folder
// (on the folder's own mount; links never followed), gathered as inodes
// with all their names, keeping only inodes that share their size with
// another inode: only those can have a duplicate. Files below the minimum
// size (and always empty files, which waste nothing) are left out as they
// are listed, so memory grows with the files kept, not with their bytes.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct TDuplicateProgress;

struct TDuplicateCandidate {
    std::vector<std::string> Names;  // native paths, sorted
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t WriteNanos = 0;
};

// Lists nativeRoot's tree. The candidates come sorted by size, then device
// and inode. False when cancel was set (the list is then incomplete).
bool ListDuplicateCandidates(const std::string& nativeRoot, std::int64_t minSize,
                             std::vector<TDuplicateCandidate>& candidates,
                             TDuplicateProgress& progress, const std::atomic<bool>& cancel);
