#pragma once
// What a find looks for and what it finds.
//
// A find matches each item's name (never its path) against a pattern, in
// one of three ways (TNameMatcher): a shell wildcard on the name's bytes,
// as find -name; a piece of text the name contains; a Perl-compatible
// regular expression searched anywhere in the name read as UTF-8. It takes
// files, folders or both, below one folder (never that folder itself) or
// on the whole drive, from a minimum size up; files may further be limited
// to those not changed for over a number of days.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TFindMode { Wildcard, Contains, Regex };
enum class TFindKinds { Files, Folders, Both };

struct TFindQuery {
    std::string Pattern;  // as typed (UTF-8 for Contains and Regex)
    TFindMode Mode = TFindMode::Wildcard;
    bool IgnoreCase = false;
    TFindKinds Kinds = TFindKinds::Both;
    // The folder below which items are found (drive form, "C:" for the
    // whole drive); the folder itself is never found.
    std::string Below;
    // Bytes: a file's size, a folder's total.
    std::int64_t MinSize = 0;
    // Files only: not changed for over this many days before Now (seconds
    // since 1970, the time the find starts).
    std::optional<int> OlderThanDays;
    std::int64_t Now = 0;

    bool WantsFiles() const { return Kinds != TFindKinds::Folders; }
    bool WantsFolders() const { return Kinds != TFindKinds::Files; }
    // The latest change a file may have to be found (when OlderThanDays).
    std::int64_t ChangedBefore() const {
        return OlderThanDays ? Now - std::int64_t(*OlderThanDays) * 24 * 3600 : 0;
    }
};

// An item found, with what the lists show of it.
struct TFoundItem {
    std::string Path;  // drive form
    bool Folder = false;
    std::int64_t Size = 0;
    std::int64_t Allocated = -1;  // -1: not known
    std::int64_t MTime = -1;      // seconds since 1970; -1: not known
};

using TFoundItems = std::vector<TFoundItem>;
