#pragma once
// A drive's three stored lists (folder paths, totals, shares of the parent)
// in the order a scan stores them: drive roots ("C:") first, then every
// other path in strictly rising byte order, so that every folder comes
// before the folders below it and the folders below it form one run. The
// rescan merge and the edits after item commands both work on this form.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/StringList.h"

class TSortedFolderLists {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The lists are kept by reference and changed in place.
    TSortedFolderLists(TStringList& dirs, TStringList& sizes, TStringList& percents);

    // A further list parallel to the paths (a number per folder, as the
    // allocated bytes are) takes every insertion and removal with them, an
    // inserted entry getting "0". It must have the paths' length.
    void KeepParallel(TStringList& list) { parallel_.push_back(&list); }

    // Whether the paths are in the order above; nothing else holds for
    // lists that are not (sizes and shares of one length are the caller's).
    bool InScanOrder() const;

    // First position at or after from (never among the roots) whose path
    // does not come before key in byte order.
    std::size_t Bound(std::string_view key, std::size_t from = 0) const;
    // Bound within [from, to) when the answer is likely close to from:
    // steps of growing length, then bisection, so a short run costs a few
    // comparisons however long the list.
    std::size_t BoundNear(std::string_view key, std::size_t from, std::size_t to) const;
    // Where path is stored, or npos.
    std::size_t Find(std::string_view path) const;
    // The entries below folder: the run from "folder\" up to "folder]" (']'
    // follows '\' in byte order).
    void RunBelow(std::string_view folder, std::size_t& lo, std::size_t& hi) const;

    // Stores an entry at its sorted place (a root after the other roots).
    void Insert(std::string_view path, std::string_view size, std::string_view percent);
    // Removes the entries [lo, hi).
    void Remove(std::size_t lo, std::size_t hi);
    // Writes the share of every direct child of folder anew from the sizes,
    // as a scan writes it: "0" for an empty folder, else its size in percent
    // of the folder's. Subfolders of a child are passed over a whole run at
    // a time, so the cost follows the number of children.
    void RecomputeShares(std::string_view folder);

    // The sum of the values list (sizes_, or a parallel list) holds for the
    // direct children of folder, passing over deeper runs as
    // RecomputeShares does.
    std::int64_t ChildrenSum(std::string_view folder, const TStringList& values) const;

  protected:
    TStringList& dirs_;
    TStringList& sizes_;
    TStringList& percents_;
    std::size_t roots_ = 0;
    std::vector<TStringList*> parallel_;

  private:
    void WriteShare(std::size_t child, std::int64_t parent, bool parentOk);
};
