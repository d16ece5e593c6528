#pragma once
// Writing a drive's set atomically with its manifest. The new files are
// written out and flushed first; the whole set they replace is kept under
// other names (".CDirs.previous") and named in the new manifest as the set
// before; then the extra files are renamed over the old ones, then the
// manifest, then the three result files. A load after a crash at any point
// finds the old set or the new one, each with its own extra files
// (StoredSetLoad.h, StoredSetLoadExtras.h).
// The caller holds the data folder's exclusive lock throughout.
#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "engine/ResultSetManifest.h"
#include "engine/StoredSet.h"
#include "engine/StoredSetFiles.h"

class TAtomicFile;

// Where the last whole set of a drive is before a save replaces it: the
// result files themselves (as the manifest records them, or changed outside
// the program), or, after a save that was cut off, the kept files. Its
// extra files are those found as recorded (in the same place).
struct TWholeSet {
    enum class TWhere { None, Main, Kept } Where = TWhere::None;
    TResultSetSums Sums;
    std::uint64_t LastGeneration = 0;
    // Which of the result files differ from the kept set (Where == Kept).
    std::array<bool, 3> MainDiffers{};
    // The extra files found under their own names (the others are kept
    // copies already).
    std::set<std::string> ExtrasInMain;
};

// known: the sums of the result files when they are known without reading
// them (null: they are read); the extra files are read either way.
TWholeSet FindWholeSet(const TStoredSetFiles& files, const TResultFileSums* known);

// The list written to file (opened here, finished, not committed) as CR LF
// lines, gathered into pieces of 256 KiB, each summed, counted and written
// at once; sum is the file's. False when it could not be written.
bool WriteSummedList(TAtomicFile& file, const TStringList& lines, TResultFileSum& sum);

// Runs after each step of a save (TResultStore::SaveStepHook).
using TSaveStep = std::function<void(int step)>;

// Stores set as the drive's set, replacing whole (found under the same
// lock). sums: the result files' as written. False, with the reason in
// error, when the new set was not stored. Extra files of the drive that
// the set lacks are removed: the manifest no longer names them.
bool WriteStoredSet(const TStoredSetFiles& files, const TStoredSet& set, const TWholeSet& whole,
                    const TSaveStep& step, TResultFileSums& sums, std::string& error);
