#pragma once
// What a treemap shows, read from the stored results without building a
// tree of them: the current folder's children as the bar list has them
// (its folders with their stored sizes, its files with theirs), and below
// them each stored folder's subfolders, found by bisection in the folder
// list (byte order keeps every folder's descendants in one run after it),
// the stored largest files in their folders (or, for a scan that holds
// every file, each folder's files as listed), and the rest of each
// folder's own bytes as one tile. Only the folders the layout opens are read, so a
// drive of a million folders costs what is visible; what was read is kept
// for the next layout (after a resize) of the same source.
//
// The lists are kept by reference and must outlive the source unchanged.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/LargestFiles.h"
#include "engine/StringList.h"
#include "views/common/Colors.h"
#include "views/treemap/TreemapItem.h"

// One child of the current folder: a row of the bar list.
struct TTreemapTop {
    std::string Path;  // drive form
    std::int64_t Size = 0;
    bool Folder = false;
    int Stored = -1;  // the folder's position in the stored list, or -1
    TColor Color = clGray;
};

class TTreemapSource {
  public:
    // dirs: the stored folders in byte order (roots first); sizes: the
    // sizes shown, parallel to them.
    TTreemapSource(const TStringList& dirs, const TStringList& sizes);

    // The stored largest files, drawn in their folders; allocated: their
    // allocated bytes are the sizes shown.
    void SetFiles(const std::vector<TLargeFile>& files, bool allocated);
    // The files of a stored folder (drive form, as the stored list writes
    // it) one by one, for results that hold every file (an opened or remote
    // scan): each folder read asks lister for its files, which are drawn
    // instead of the largest-files list.
    using TFileLister =
        std::function<void(const std::string& folder, std::vector<TLargeFile>& out)>;
    void SetFileLister(TFileLister lister, bool allocated);
    // The current folder: its path, position in the stored list (-1 when
    // not stored), total and its children as the bar list shows them.
    void SetTop(std::string path, int stored, std::int64_t total, std::vector<TTreemapTop> top);

    const std::string& TopPath() const { return topPath_; }
    int TopStored() const { return topStored_; }
    std::int64_t TopTotal() const { return topTotal_; }
    const std::vector<TTreemapTop>& Top() const { return top_; }
    // The current folder's children, largest first (Ref: position in Top()).
    std::vector<TTreemapItem> TopItems() const;
    // A stored folder's subfolders, its files of the largest-files list and
    // its other files as one item, largest first (equal sizes in a fixed
    // order), down to the last of at least minSize bytes (the smaller ones
    // are too small to be drawn). A malformed stored size throws
    // EConvertError.
    void Children(int stored, std::vector<TTreemapItem>& out, double minSize = 0.0) const;

    std::int64_t FolderSize(int stored) const;
    const TStringList& Dirs() const { return dirs_; }
    const TLargeFile& File(int ref) const { return files_[static_cast<std::size_t>(ref)]; }
    std::int64_t FileSize(int ref) const;

  private:
    std::size_t RunEnd(std::string_view key, std::size_t skip, std::size_t from,
                       std::size_t to) const;
    // All children of stored, those of at least keep bytes sorted to the
    // front of out and the rest dropped.
    void ReadChildren(int stored, std::vector<TTreemapItem>& out, double keep) const;
    // The folder's files, of at least keep bytes, added to out; their sum.
    std::int64_t ReadFiles(const std::string& folder, std::vector<TTreemapItem>& out,
                           double keep) const;

    const TStringList& dirs_;
    const TStringList& sizes_;
    std::size_t sortedFrom_ = 0;  // the first entry after the drive roots
    // Mutable: the files a lister gives are added as their folders are read
    // (only those big enough to be drawn, so a folder of a million small
    // files adds none of them).
    mutable std::vector<TLargeFile> files_;
    bool allocated_ = false;
    TFileLister lister_;
    mutable std::vector<TLargeFile> listed_;
    std::unordered_map<std::string, std::vector<int>> filesIn_;  // by folder (stored form)
    std::string topPath_;
    int topStored_ = -1;
    std::int64_t topTotal_ = 0;
    std::vector<TTreemapTop> top_;
    // The children of the folders read so far, largest first, down to a
    // quarter of the smallest size asked for: a layout at another size
    // (up to twice as wide and high) reads none of them again, and a folder
    // of a million small children keeps none of them.
    struct TKnownChildren {
        double Cutoff = 0.0;
        std::vector<TTreemapItem> Items;
    };
    mutable std::unordered_map<int, TKnownChildren> children_;
    mutable std::vector<TTreemapItem> scratch_;
};
