#pragma once
// The files of each folder of an opened or remote scan, for a treemap that
// draws every file (TTreemapSource::SetFileLister): read from the scan's
// own tree, found by the stored form of the folder's path ("Z:\a\b").
//
// A layout asks for a folder after its parent, so each folder's subfolders
// are noted as its entries are read, and the next folder is found at once:
// no path is walked from the root again, and a folder of many thousands of
// subfolders is read once, not once per subfolder. A folder asked for
// first (the current folder's children) is found from its nearest known
// ancestor down.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/ImportedTree.h"
#include "engine/LargestFiles.h"

class TTreemapScanFiles {
  public:
    // root: the scan's root as the stored list writes it ("Z:").
    TTreemapScanFiles(std::shared_ptr<const TImportedTree> tree, std::string root);

    // The files of folder (not its subfolders) added to out; none for a
    // folder the scan does not hold.
    void operator()(const std::string& folder, std::vector<TLargeFile>& out);

  private:
    static constexpr std::int64_t kNone = -1;
    // The folder's index in the tree, or kNone.
    std::int64_t Find(const std::string& folder);
    // Notes the subfolders of a folder under their stored paths.
    void NoteSubfolders(std::uint32_t at, const std::string& path);

    std::shared_ptr<const TImportedTree> tree_;
    std::unordered_map<std::string, std::uint32_t> folders_;
    std::unordered_set<std::uint32_t> noted_;  // folders whose subfolders are in folders_
};
