#pragma once
// The order of the folder lists and the first-letter index over it.
//
// Paths compare byte by byte as unsigned codes, case-sensitively, a text
// before its extensions; a path without a backslash (a drive root such as
// "C:") compares as "A", which puts it before every other path of its
// drive. So every folder precedes the folders below it.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/StringList.h"

// <0, 0, >0 like memcmp, with the drive-root rule above.
int CompareDirs(std::string_view a, std::string_view b);
// The text a path is compared by: "A" for a path without a backslash.
std::string_view DirSortKey(std::string_view path);

// The three parallel lists, sorted together by Dirs with a Hoare-partition
// quicksort around the middle element. Equal paths keep no particular
// order, but for the same input the result is always the same. Returns
// false, leaving the lists partly sorted, when Cancel was seen. A fourth
// list beside them (of the same length) is put in the same order.
bool SortDirLists(TStringList& dirs, TStringList& sizes, TStringList& percents,
                  const std::atomic<bool>& cancel, TStringList* beside = nullptr);

// FIRST/LAST: lowest and highest position of the entries with each key.
// The key of a path is the byte after "X:\" (its fourth byte) when it holds
// a backslash, else 0; a path with a backslash but fewer than four bytes
// has key 0.
struct TDirIndex {
    std::array<std::int64_t, 256> First{};
    std::array<std::int64_t, 256> Last{};
};
unsigned char DirKey(std::string_view path);
// Keys without entries keep First (= count) above Last (= 0).
void BuildDirIndex(const TStringList& dirs, TDirIndex& index);
