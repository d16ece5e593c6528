#pragma once
// Edits of a drive's stored lists (folder paths, totals, shares of the
// parent) that follow what the user did to the drive's items, so that the
// lists stay what a scan of the whole drive would now give:
// - a folder taken out leaves with everything below it, and its total
//   leaves every ancestor;
// - a folder put in arrives with everything below it at its sorted places,
//   and its total joins every ancestor;
// - a file's bytes leave or join its folder and every ancestor;
// - a new empty folder gets its entry.
// A list of the folders' allocated bytes, when given, takes the same edits
// with the allocated figures beside the sizes. No total ever goes below
// zero: an edit that would take one there is refused whole.
// Ancestors not yet stored when something arrives (folders new since the
// scan) are stored empty first. Finish then writes anew the share of every
// folder whose parent's total changed, as a scan writes it; a folder taken
// out takes its shares written, so any number of edits may come before
// Finish.
//
// Applies to lists of one length each, drive roots first and every other
// path in strictly rising byte order (the order a scan stores); for any
// other lists Usable is false and every edit does nothing.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "engine/SortedFolderLists.h"
#include "engine/StringList.h"

// A folder with everything below it, its paths relative to it: "" for the
// folder itself, then "\sub", "\sub\deeper", ... in the lists' order.
struct TFolderRun {
    TStringList Tails, Sizes, Percents;
    TStringList Allocated;  // parallel to Tails, or empty when not known
    bool Empty() const { return Tails.empty(); }
};

class TFolderListEdit : private TSortedFolderLists {
  public:
    // allocated: the folders' allocated bytes, parallel to dirs; left out
    // (and AllocatedKept false) when it has another length.
    TFolderListEdit(TStringList& dirs, TStringList& sizes, TStringList& percents,
                    TStringList* allocated = nullptr);

    bool Usable() const { return usable_; }
    // The allocated list was given and is still true: false once a folder
    // arrived without its allocated bytes, so the caller drops the list.
    bool AllocatedKept() const { return allocated_ != nullptr && allocatedTrue_; }
    // Whether the lists hold the drive of path (its letter in any case);
    // paths of other drives are left alone by every edit.
    bool HoldsDriveOf(std::string_view path) const;

    // Removes the folder and everything below it; empty when it is not stored.
    TFolderRun TakeFolder(std::string_view path);
    // Stores the run as the folder path (replacing what was stored there).
    void PutFolder(std::string_view path, const TFolderRun& run);
    // Adds bytes and allocated bytes (negative: removes them) to a folder
    // and its ancestors. Refused (false, nothing changed) when a total
    // would go below zero.
    bool AddBytes(std::string_view folder, std::int64_t bytes, std::int64_t allocated = 0);
    // The bytes of the folder's own files as stored: its total less its
    // subfolders' (and the same of the allocated bytes); false when the
    // folder is not stored.
    bool OwnBytes(std::string_view folder, std::int64_t& bytes, std::int64_t& allocated) const;
    // Stores an empty folder unless it is stored already.
    void MakeFolder(std::string_view path);

    // Writes the shares under every folder whose total changed.
    void Finish();

    // A scan's lists of one folder (the folder first) as a run.
    static TFolderRun RunOfScan(const TStringList& dirs, const TStringList& sizes,
                                const TStringList& percents);
    // The same with the folders' allocated bytes (parallel to dirs).
    static TFolderRun RunOfScan(const TStringList& dirs, const TStringList& sizes,
                                const TStringList& percents, const TStringList& allocated);

  private:
    std::string OnDrive(std::string_view path) const;
    void MakeAncestors(const std::string& path);
    bool ChainStaysWhole(const std::string& folder, std::int64_t bytes,
                         std::int64_t allocated) const;
    void AddToChain(const std::string& folder, std::int64_t bytes, std::int64_t allocated);
    void FinishBelow(const std::string& folder);

    bool usable_ = false;
    TStringList* allocated_ = nullptr;
    bool allocatedTrue_ = true;
    std::set<std::string> changed_;  // folders whose children's shares are due
};
