#include "engine/StoredSetWrite.h"

#include <errno.h>

#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "engine/EachAtOnce.h"
#include "engine/ExtraFileKinds.h"
#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "engine/StoredSetLoad.h"
#include "engine/StoredSetLoadExtras.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"
#include "platform/HistoryFolder.h"

namespace {

constexpr std::size_t kSavePiece = 256 << 10;

std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The set's files written out and flushed, not yet renamed: the three in
// the order of the manifest, then the extra files whose kind is known.
struct TWritten {
    std::array<std::unique_ptr<TAtomicFile>, 3> Main;
    std::vector<std::pair<std::string, std::unique_ptr<TAtomicFile>>> Extras;
};

// One file of the set, to write and flush.
struct TOutFile {
    std::string Path;
    const TStringList* Lines;
    std::unique_ptr<TAtomicFile> File;
    TResultFileSum Sum;
    std::string Error;  // why it could not be written
};

// Writes and flushes one file; errno is the writing thread's own, so the
// reason is taken here.
bool WriteOutFile(TOutFile& out) noexcept {
    try {
        out.File = std::make_unique<TAtomicFile>(out.Path);
        if (WriteSummedList(*out.File, *out.Lines, out.Sum))
            return true;
        out.Error = Reason(out.Path);
    } catch (...) {
        out.Error = out.Path + ": there is not enough memory";
    }
    return false;
}

// The new files are written and flushed before anything is replaced, so a
// failure here (a full disk) changes nothing. They are written at once:
// one at a time, each flush waited for the one before.
bool WriteOut(const TStoredSetFiles& files, const TStoredSet& set, TWritten& written,
              TResultSetSums& sums, std::string& error) {
    const std::array<std::string, 3> main = files.Main();
    const std::array<const TStringList*, 3> lists = {&set.Percents, &set.Dirs, &set.Sizes};
    std::vector<TOutFile> out;
    std::vector<std::string> roles;
    for (std::size_t i = 0; i < main.size(); ++i)
        out.push_back({main[i], lists[i], nullptr, {}, {}});
    for (const auto& [role, lines] : set.Extras) {
        if (FindExtraFileKind(role) == nullptr) {
            continue;  // no kind: nothing could load it again
        }
        out.push_back({files.Extra(role), &lines, nullptr, {}, {}});
        roles.push_back(role);
    }
    if (!EachAtOnce(out.size(), [&out](std::size_t i) { return WriteOutFile(out[i]); })) {
        // The first that failed, in the set's order, as one at a time.
        for (const TOutFile& o : out) {
            if (!o.Error.empty()) {
                error = o.Error;
                break;
            }
        }
        return false;
    }
    for (std::size_t i = 0; i < main.size(); ++i) {
        written.Main[i] = std::move(out[i].File);
        sums.Files[i] = out[i].Sum;
    }
    for (std::size_t r = 0; r < roles.size(); ++r) {
        TOutFile& o = out[main.size() + r];
        sums.Extras[roles[r]] = o.Sum;
        written.Extras.emplace_back(o.Path, std::move(o.File));
    }
    return true;
}

// When the manifest is renamed, the result files are the whole set it
// records as the one before, and that set is kept under other names too: a
// save cut off between the renames leaves files that are each of the new
// set or of that one, which the loader tells from files changed outside
// the program, and falls back on the kept set.
bool KeepWholeSet(const TStoredSetFiles& files, const TWholeSet& whole, std::string& error) {
    const std::array<std::string, 3> main = files.Main();
    const std::array<std::string, 3> kept = files.Kept();
    switch (whole.Where) {
        case TWholeSet::TWhere::Main:
            for (std::size_t i = 0; i < main.size(); ++i) {
                if (!KeepDataFileAs(main[i], kept[i])) {
                    error = Reason(kept[i]);
                    return false;
                }
            }
            for (const std::string& role : whole.ExtrasInMain) {
                const std::string file = files.Extra(role);
                if (!KeepDataFileAs(file, KeptName(file))) {
                    error = Reason(KeptName(file));
                    return false;
                }
            }
            break;
        case TWholeSet::TWhere::Kept:
            // The files left mixed by a save cut off earlier are made the
            // kept set again.
            for (std::size_t i = 0; i < main.size(); ++i) {
                if (whole.MainDiffers[i] && !KeepDataFileAs(kept[i], main[i])) {
                    error = Reason(main[i]);
                    return false;
                }
            }
            // The set's extra files are its kept copies, found there by a
            // load too: nothing to restore.
            break;
        case TWholeSet::TWhere::None:
            break;
    }
    return true;
}

// Extra files of the drive that the set just stored does not hold would
// only be stale: the manifest no longer names them, so they go.
void RemoveStaleExtras(const TStoredSetFiles& files, const TExtraLists& kept) {
    for (const TExtraFileKind& kind : ExtraFileKinds()) {
        if (kept.find(kind.Role) == kept.end()) {
            RemoveDataFile(files.Extra(kind.Role));
        }
    }
}

}  // namespace

TWholeSet FindWholeSet(const TStoredSetFiles& files, const TResultFileSums* known) {
    TWholeSet whole;
    TResultSetManifest manifest;
    TResultFileSums sums;
    const TManifestState state = ReadManifest(files.Set, manifest);
    if (state == TManifestState::Garbled) {
        return whole;
    }
    if (known != nullptr) {
        sums = *known;
    } else if (!SumFiles(files.Main(), kWholeFiles, sums)) {
        return whole;
    }
    whole.Where = TWholeSet::TWhere::Main;
    whole.Sums.Files = sums;
    if (state == TManifestState::Absent) {
        // A set saved without a manifest counts as whole: nothing says otherwise.
        return whole;
    }
    whole.LastGeneration = manifest.Current.Generation;
    const TSetKind kind = KindOf(manifest, sums);
    whole.Sums.Generation = manifest.Current.Generation;
    // The extra files found as a load finds them (StoredSetLoadExtras.h).
    if (kind == TSetKind::Recorded) {
        whole.Sums.Extras = ExtrasThere(files, manifest.Current, SameLists(manifest), sums[1].Lines,
                                        whole.ExtrasInMain);
    } else if (kind == TSetKind::Previous) {
        whole.Sums = manifest.Previous;
        whole.Sums.Extras =
            ExtrasThere(files, manifest.Previous, nullptr, sums[1].Lines, whole.ExtrasInMain);
    } else if (kind == TSetKind::Interrupted) {
        TResultFileSums keptSums;
        if (SumFiles(files.Kept(), LimitsOf(manifest.Previous), keptSums) &&
            keptSums == manifest.Previous.Files) {
            whole.Where = TWholeSet::TWhere::Kept;
            whole.Sums = manifest.Previous;
            // Only the kept copies are sure to be that set's.
            whole.Sums.Extras.clear();
            for (const auto& [role, sum] : manifest.Previous.Extras) {
                const std::string copy = KeptName(files.Extra(role));
                if (FindExtraFileKind(role) != nullptr &&
                    ExtraFileHasSum(copy, sum, ExtraFileBound(role, keptSums[1].Lines))) {
                    whole.Sums.Extras.emplace(role, sum);
                }
            }
            for (std::size_t i = 0; i < sums.size(); ++i) {
                whole.MainDiffers[i] = sums[i] != manifest.Previous.Files[i];
            }
        } else {
            whole.Where = TWholeSet::TWhere::None;
        }
    }
    return whole;
}

bool WriteSummedList(TAtomicFile& file, const TStringList& lines, TResultFileSum& sum) {
    if (!file.Open()) {
        return false;
    }
    TResultChecksum checksum;
    TResultLineCount lineCount;
    std::string piece;
    piece.reserve(kSavePiece + 4096);
    auto put = [&] {
        checksum.Feed(piece);
        lineCount.Feed(piece);
        const bool ok = file.Write(piece);
        piece.clear();
        return ok;
    };
    for (const std::string_view line : lines) {
        piece.append(line).append("\r\n");
        if (piece.size() >= kSavePiece && !put()) {
            return false;
        }
    }
    if (!put() || !file.Finish()) {
        return false;
    }
    sum = TResultFileSum{lineCount.Lines(), checksum.Bytes(), checksum.Value()};
    return true;
}

bool WriteStoredSet(const TStoredSetFiles& files, const TStoredSet& set, const TWholeSet& whole,
                    const TSaveStep& step, TResultFileSums& sums, std::string& error) {
    auto stepDone = [&step](int done) {
        if (step) {
            step(done);
        }
    };
    TResultSetManifest manifest;
    manifest.Current.Generation = whole.LastGeneration + 1;
    TWritten written;
    if (!WriteOut(files, set, written, manifest.Current, error)) {
        return false;
    }
    stepDone(0);
    if (!KeepWholeSet(files, whole, error)) {
        return false;
    }
    SyncDataFolder(files.DataFolder);
    stepDone(1);
    // The extra files are renamed before the manifest: until it is, the
    // old manifest names the set before, whose extra files are then taken
    // from the copies just kept of them. Renamed after it, a save that
    // changed only extra files (a folder rescan that left every size as it
    // was) and was cut off would leave the set it records without them.
    for (auto& [path, file] : written.Extras) {
        if (!file->Commit()) {
            error = Reason(path);
            return false;
        }
        stepDone(6);
    }
    if (whole.Where != TWholeSet::TWhere::None) {
        manifest.HasPrevious = true;
        manifest.Previous = whole.Sums;
    }
    if (!WriteFileAtomically(files.Set, manifest.Text())) {
        error = Reason(files.Set);
        return false;
    }
    const std::array<std::string, 3> main = files.Main();
    if (whole.Where == TWholeSet::TWhere::None) {
        // No whole set was there (a damaged manifest, a mix with nothing
        // kept): its files go once the new manifest is in place, so that a
        // save cut off part way cannot leave them mixed with new ones in a
        // way that reads as edited by hand.
        for (const std::string& file : main) {
            if (!RemoveDataFile(file)) {
                error = Reason(file);
                return false;
            }
        }
    }
    stepDone(2);
    for (std::size_t i = 0; i < written.Main.size(); ++i) {
        if (!written.Main[i]->Commit()) {
            error = Reason(main[i]);
            return false;
        }
        stepDone(3 + static_cast<int>(i));
    }
    RemoveStaleExtras(files, set.Extras);
    sums = manifest.Current.Files;
    return true;
}
