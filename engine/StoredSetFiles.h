#pragma once
// The files of one drive's stored set in a data folder ("CPercents",
// "CDirs", "CDirSizes", the manifest "CSet", the extra files "CDiskSizes"
// ...), the names their earlier set is kept under while a save replaces
// them, and their stamps. Names only: nothing here reads a file's lines.
#include <array>
#include <string>
#include <string_view>

#include "engine/StoredSetStamp.h"

struct TStoredSetFiles {
    // With its trailing "/"; the names below are empty when no drive is chosen.
    std::string DataFolder;
    std::string Percents;
    std::string Dirs;
    std::string DirSizes;
    std::string Set;

    // Named after the first character of path (the drive letter of a
    // drive-form path); none for an empty path or data folder.
    static TStoredSetFiles For(const std::string& dataFolder, std::string_view path);

    bool Named() const { return !Percents.empty(); }
    // All three result files exist (named, and there).
    bool Exist() const;
    // The three result files in the order of the manifest.
    std::array<std::string, 3> Main() const { return {Percents, Dirs, DirSizes}; }
    // Where they are kept while a save replaces them.
    std::array<std::string, 3> Kept() const;
    // The file of an extra list of the drive; empty when none are named.
    std::string Extra(std::string_view role) const;
    // The drive's letter as the names have it; empty when none are named.
    std::string DriveLetter() const;
    // Why nothing can be read or written: "no drive is chosen", ...
    std::string Unnamed(const std::string& dataFolderProblem) const;

    TStoredSetStamp StampOnDisk() const;
    // StampOnDisk, and whether a file of it was written within the file
    // system's current tick, so that a change in that tick would not show.
    TStoredSetStamp StampNow(bool& racy) const;
};

// The name a file of a set is kept under while a save replaces it:
// "CDirs" -> ".CDirs.previous".
std::string KeptName(const std::string& file);

// A temporary file of a save (".CDirs.Ab12Cd", ".CSet.Ab12Cd") or of
// keeping a file without hard links ("..CDirs.previous.Ab12Cd").
bool IsOwnTemporaryName(std::string_view name);
