#pragma once
// The bar list's change view as data: for every row of the current folder,
// how much it grew or shrank since a kept set of the drive's results, and
// the folders that were inside the current folder then and are gone now.
// Folders only: files are not in the results, so their rows have no change.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ResultChanges.h"
#include "engine/StringList.h"

struct TRowChange {
    enum class TKind { None, Same, Grown, Shrunk, New, Gone };
    TKind Kind = TKind::None;  // None: a file, or a folder without results
    std::int64_t Change = 0;   // bytes gained; negative: lost
    std::int64_t Size = 0;     // now; for a gone folder the size it had
};

struct TGoneFolder {
    std::string Path;  // drive form, as the lists keep it
    std::string Name;  // the native name's raw bytes
    std::int64_t Size = 0;
};

class TBarChanges {
  public:
    // dirs: the global folder list the comparison was made on; folder: the
    // current folder as listed ("C:\" for a root); rowPaths: the listed path
    // of each row.
    void Build(const TStringList& dirs, const TResultChanges& changes, const std::string& folder,
               const std::vector<std::string>& rowPaths);

    std::vector<TRowChange> Rows;   // parallel to rowPaths
    std::vector<TGoneFolder> Gone;  // largest first
    // The largest change of any row or gone folder, without its sign: the
    // change that fills the bar column.
    std::int64_t Largest = 0;

    // The text of the change column: "+1.5", "-0.3", "0.0"; "+1.5 new" and
    // "-2.0 gone" for folders that came or went; "" without a change.
    static std::string ChangeText(const TRowChange& row);
    // A change in whole pixels of a bar column width wide: in proportion to
    // largest, and at least one pixel for any change at all.
    static int BarLength(std::int64_t change, std::int64_t largest, int width);
};

// "+1.5", "-0.3", "0.0": bytes in megabytes with the sign of the change.
std::string SignedMB(std::int64_t bytes);
