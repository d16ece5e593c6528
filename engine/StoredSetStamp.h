#pragma once
// What a set on disk is, as far as a look at its four files (without
// reading them) tells, and what a set in memory knows of the set on disk it
// was loaded from or saved as: the stamp to tell whether that set is still
// there, and the sums of its files so that a save replacing it need not
// read them again.
#include <array>

#include "engine/ResultSetManifest.h"
#include "platform/DataFolder.h"

// Equal stamps, the same set.
struct TStoredSetStamp {
    std::array<TDataFileStamp, 4> Files;  // Percents, Dirs, DirSizes, the manifest
    bool operator==(const TStoredSetStamp& o) const { return Files == o.Files; }
    bool operator!=(const TStoredSetStamp& o) const { return !(*this == o); }
};

// The sums of the three result files: Percents, Dirs, DirSizes.
using TResultFileSums = std::array<TResultFileSum, 3>;

struct TStoredSetOrigin {
    // A set on disk is known: the lists were loaded from it or saved as it.
    bool Valid = false;
    // A file of that set was written in the tick its stamp was taken: an
    // edit within that tick would not show, so the stamp does not tell.
    bool Racy = false;
    TStoredSetStamp Stamp;
    // Sums are those of the result files while they have SumsStamp.
    bool SumsValid = false;
    TStoredSetStamp SumsStamp;
    TResultFileSums Sums{};
};
