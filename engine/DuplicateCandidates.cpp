#include "engine/DuplicateCandidates.h"

#include <algorithm>
#include <tuple>

#include "engine/DuplicateProgress.h"
#include "platform/DirListing.h"

namespace {

struct TListed {
    std::string Path;
    std::uint64_t Device, Inode;
    std::int64_t Size, WriteNanos;
};

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Every regular file of at least minSize bytes below root, one entry per
// name; false when cancelled.
bool ListFiles(const std::string& root, std::int64_t minSize, std::vector<TListed>& files,
               TDuplicateProgress& progress, const std::atomic<bool>& cancel) {
    std::vector<std::string> folders{root};
    std::vector<TDirEntry> entries;
    while (!folders.empty()) {
        if (cancel.load(std::memory_order_relaxed))
            return false;
        const std::string folder = std::move(folders.back());
        folders.pop_back();
        TDirListing listing(folder, TDirListing::kNoReadOnly);
        entries.clear();
        listing.ReadAll(entries);
        for (TDirEntry& e : entries) {
            if (e.IsLink || e.OtherMount)
                continue;
            if (e.Attr & faDirectory) {
                folders.push_back(Joined(folder, e.Name));
                continue;
            }
            if (e.Attr & faSysFile)
                continue;
            ++progress.FilesListed;
            if (e.Size > 0 && e.Size >= minSize)
                files.push_back({Joined(folder, e.Name), e.Device, e.Inode, e.Size,
                                 e.LastWriteSeconds * 1000000000 + e.LastWriteNanos});
        }
    }
    return true;
}

}  // namespace

bool ListDuplicateCandidates(const std::string& nativeRoot, std::int64_t minSize,
                             std::vector<TDuplicateCandidate>& candidates,
                             TDuplicateProgress& progress, const std::atomic<bool>& cancel) {
    std::vector<TListed> files;
    if (!ListFiles(nativeRoot, std::max<std::int64_t>(minSize, 1), files, progress, cancel))
        return false;
    std::sort(files.begin(), files.end(), [](const TListed& a, const TListed& b) {
        return std::tie(a.Size, a.Device, a.Inode, a.Path) <
               std::tie(b.Size, b.Device, b.Inode, b.Path);
    });
    candidates.clear();
    for (std::size_t i = 0; i < files.size();) {
        // One size: its inodes, each with all its names.
        std::size_t end = i;
        std::vector<TDuplicateCandidate> inodes;
        while (end < files.size() && files[end].Size == files[i].Size) {
            TListed& f = files[end++];
            if (inodes.empty() || inodes.back().Inode != f.Inode ||
                inodes.back().Device != f.Device)
                inodes.push_back({{}, f.Device, f.Inode, f.Size, f.WriteNanos});
            inodes.back().Names.push_back(std::move(f.Path));
        }
        if (inodes.size() > 1)
            for (TDuplicateCandidate& c : inodes)
                candidates.push_back(std::move(c));
        i = end;
    }
    progress.Candidates = candidates.size();
    return true;
}
