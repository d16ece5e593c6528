#pragma once
// Loading and checking a drive's stored set: the three result files read,
// summed, split and checked at once, told against the manifest (the set it
// records, the one before it, a mix of the two left by a save cut off, or
// files changed outside the program), and the extra files taken when they
// are the set's and pass their kind's checks. Free of any store: the store
// and the preload both load through here.
#include <array>
#include <cstdint>
#include <string>

#include "engine/ResultSetManifest.h"
#include "engine/StoredSet.h"
#include "engine/StoredSetFiles.h"
#include "engine/StoredSetStamp.h"

// What a read of a set tells beside its lists.
struct TSetRead {
    // What the user should be told: a save that was cut off, files changed
    // outside the program. Empty when the set loaded as saved.
    std::string Notice;
    // Why the set cannot be used, when the read returned false.
    std::string Refusal;
    // The lists are those of the result files themselves (not of the set
    // kept from before a save that was cut off); Sums are then theirs.
    bool FromMain = false;
    TResultFileSums Sums{};
};

// Reads the set of files into set: the set the manifest names, or after a
// save that was cut off the whole set kept from before it (Notice says
// so). Files that are neither are used as they are (Notice says they were
// changed outside the program). False, with Refusal, for a set that cannot
// be trusted: a file missing or unreadable, lists of unequal length,
// folders out of order, a size or percent that is not a number; set is
// then not to be used. The extra lists are only known for a set the
// manifest records; each is found as StoredSetLoadExtras.h says, and one
// that is damaged, missing or changed outside the program is told in
// Notice beside the set's own notice.
// No lock is taken: the caller holds the data folder's.
bool ReadStoredSet(const TStoredSetFiles& files, TStoredSet& set, TSetRead& read);

// A set read for a store to take, with what it knows of the set on disk:
// its stamp, and (when FromMain) the sums of its files.
struct TLoadedSet {
    TStoredSetFiles Files;
    TStoredSet Set;
    TStoredSetOrigin Origin;
    std::string Notice;
    bool FromMain = false;
};

// ReadStoredSet under a shared lock of the data folder, stamped before and
// after: Origin then tells whether what was read is still what is stored.
bool LoadStoredSet(const TStoredSetFiles& files, TLoadedSet& loaded, std::string& refusal);

// --- Checks the save shares ---
enum class TManifestState { Absent, Valid, Garbled };
// A manifest that is there but is no regular file of the user's (a folder,
// a FIFO, a link) counts as damaged, not as absent: otherwise the set would
// load unchecked.
TManifestState ReadManifest(const std::string& path, TResultSetManifest& manifest);

// What the three result files are against the manifest.
enum class TSetKind {
    Recorded,     // the set the manifest records as new: all is well
    Interrupted,  // a mix of that set and the one before: a save was cut off
    Previous,     // the set before, whole: a save was cut off before its renames
    Outside,      // any file is neither: changed outside the program
};
TSetKind KindOf(const TResultSetManifest& manifest, const TResultFileSums& sums);
// The set before, when its three files are those of the set the manifest
// records (a save changed only extra files); null otherwise. Its extra
// files fit the same lists.
const TResultSetSums* SameLists(const TResultSetManifest& manifest);

// Each file is read up to its limit: its size when opened; for the files
// kept from before a save, the size the manifest records.
using TFileLimits = std::array<std::uint64_t, 3>;
constexpr TFileLimits kWholeFiles = {kFileSize, kFileSize, kFileSize};
TFileLimits LimitsOf(const TResultSetSums& set);

// The sums of files read up to their limits, without keeping their lines;
// false when one cannot be read.
bool SumFiles(const std::array<std::string, 3>& paths, const TFileLimits& limits,
              TResultFileSums& sums);
bool SumFile(const std::string& path, std::uint64_t limit, TResultFileSum& sum);
