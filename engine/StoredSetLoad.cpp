#include "engine/StoredSetLoad.h"

#include <errno.h>

#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "engine/ExtraFileKinds.h"
#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "engine/ResultListCheck.h"
#include "engine/StoredSetLoadExtras.h"
#include "platform/DataFolderLock.h"

namespace {

// The file is read into the list's buffer and its lines marked where they
// lie, so a million folders load without a million allocations; each piece
// read is summed, split and checked while it is still in the cache.
bool LoadList(const std::string& path, std::uint64_t limit, TResultRole role, TStringList& list,
              TResultFileSum& sum, TListFault& fault) {
    list.RawBuffer(0);
    TResultChecksum checksum;
    TResultLineMarker marker(list);
    TListChecker checker(role);
    const bool ok = ReadDataFileInto(
        path, [&list](std::size_t size) { return list.ResizeRaw(size); },
        [&](std::size_t from, std::size_t to) {
            checksum.Feed(list.RawBytes().substr(from, to - from));
            marker.Feed(to);
            checker.Check(list);
        },
        limit);
    if (ok) {
        marker.Finish();
        checker.Check(list);
    } else {
        list.clear();
    }
    fault = checker.Fault();
    sum = TResultFileSum{list.size(), checksum.Bytes(), checksum.Value()};
    return ok;
}

using TListFaults = std::array<TListFault, 3>;
constexpr std::array<TResultRole, 3> kRoleOf = {TResultRole::Percents, TResultRole::Dirs,
                                                TResultRole::DirSizes};

// The three files are read, summed, split and checked at once: Dirs, the
// largest, on this thread, the other two on a second one, so that a set of
// a million folders loads in about the time of its largest file.
bool LoadLists(const std::array<std::string, 3>& paths, const TFileLimits& limits,
               std::array<TStringList*, 3> lists, TResultFileSums& sums, TListFaults& faults,
               std::string& failed) {
    // Why a file failed, taken where it failed: errno is each thread's own.
    std::array<int, 3> errors{};
    auto load = [&](std::size_t i) {
        try {
            if (!LoadList(paths[i], limits[i], kRoleOf[i], *lists[i], sums[i], faults[i]))
                errors[i] = errno != 0 ? errno : EIO;
        } catch (const std::length_error&) {
            // A line of 4 GiB or more: no list holds it, nor did a save write it.
            lists[i]->clear();
            errors[i] = EFBIG;
        } catch (const std::bad_alloc&) {
            // A set larger than the memory the program may take: refused
            // like a file that cannot be read, not the end of the program
            // (at every start, for a set that stays on disk).
            lists[i]->clear();
            errors[i] = ENOMEM;
        } catch (const std::exception&) {
            // Nothing else may end the program on this thread either.
            lists[i]->clear();
            errors[i] = EIO;
        }
    };
    std::thread others;
    try {
        others = std::thread([&load] {
            load(0);
            load(2);
        });
    } catch (const std::system_error&) {
        // No second thread to be had: the files are read one after another.
        load(0);
        load(2);
    }
    load(1);
    if (others.joinable())
        others.join();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (errors[i] != 0) {
            failed = paths[i];
            errno = errors[i];
            return false;
        }
    }
    return true;
}

// Far more than any manifest holds.
constexpr std::uint64_t kManifestLimit = 64 << 10;

}  // namespace

TFileLimits LimitsOf(const TResultSetSums& set) {
    return {set.Files[0].Bytes, set.Files[1].Bytes, set.Files[2].Bytes};
}

bool SumFile(const std::string& path, std::uint64_t limit, TResultFileSum& sum) {
    TResultChecksum checksum;
    TResultLineCount lines;
    if (!ReadDataFileChunks(
            path,
            [&](std::string_view piece) {
                checksum.Feed(piece);
                lines.Feed(piece);
            },
            limit)) {
        return false;
    }
    sum = TResultFileSum{lines.Lines(), checksum.Bytes(), checksum.Value()};
    return true;
}

bool SumFiles(const std::array<std::string, 3>& paths, const TFileLimits& limits,
              TResultFileSums& sums) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!SumFile(paths[i], limits[i], sums[i]))
            return false;
    }
    return true;
}

TManifestState ReadManifest(const std::string& path, TResultSetManifest& manifest) {
    std::string text;
    if (!ReadDataFile(path, text, kManifestLimit)) {
        return errno == ENOENT ? TManifestState::Absent : TManifestState::Garbled;
    }
    return TResultSetManifest::Parse(text, manifest) ? TManifestState::Valid
                                                     : TManifestState::Garbled;
}

const TResultSetSums* SameLists(const TResultSetManifest& manifest) {
    return manifest.HasPrevious && manifest.Previous.SameFiles(manifest.Current)
               ? &manifest.Previous
               : nullptr;
}

TSetKind KindOf(const TResultSetManifest& manifest, const TResultFileSums& sums) {
    bool allCurrent = true, allPrevious = true;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const bool current = sums[i] == manifest.Current.Files[i];
        const bool previous = manifest.HasPrevious && sums[i] == manifest.Previous.Files[i];
        if (!current && !previous) {
            return TSetKind::Outside;
        }
        allCurrent = allCurrent && current;
        allPrevious = allPrevious && previous;
    }
    return allCurrent ? TSetKind::Recorded
                      : (allPrevious ? TSetKind::Previous : TSetKind::Interrupted);
}

bool ReadStoredSet(const TStoredSetFiles& files, TStoredSet& set, TSetRead& read) {
    read.Notice.clear();
    read.FromMain = false;
    set.Extras.clear();
    const std::array<TStringList*, 3> lists = {&set.Percents, &set.Dirs, &set.Sizes};
    TResultFileSums sums;
    TListFaults faults;
    std::string failed;
    if (!LoadLists(files.Main(), kWholeFiles, lists, sums, faults, failed)) {
        read.Refusal = DataFileProblem(failed, errno);
        return false;
    }
    TResultSetManifest manifest;
    const TManifestState state = ReadManifest(files.Set, manifest);
    if (state == TManifestState::Garbled) {
        read.Refusal = files.Set + " is damaged, so the files cannot be checked";
        return false;
    }
    const TSetKind kind =
        state == TManifestState::Valid ? KindOf(manifest, sums) : TSetKind::Recorded;
    read.Sums = sums;
    const std::string drive = "drive " + files.DriveLetter() + ":";
    if (kind == TSetKind::Interrupted) {
        // A save was cut off between its renames: the set before it, kept whole.
        if (!LoadLists(files.Kept(), LimitsOf(manifest.Previous), lists, sums, faults, failed) ||
            sums != manifest.Previous.Files) {
            read.Refusal =
                "its files are a mix of two saves (the last one was cut off), and the results "
                "saved before it were not kept";
            return false;
        }
    }
    if (kind == TSetKind::Interrupted || kind == TSetKind::Previous) {
        read.Notice = InterruptedSaveNotice(files);
    } else if (kind == TSetKind::Outside) {
        read.Notice = "The result files of " + drive +
                      " were changed outside the program since they were last saved; they are "
                      "used as they are now.";
    }
    const std::string fault =
        ResultListsFault(set.Percents, set.Dirs, set.Sizes, faults,
                         TResultListNames{files.Percents, files.Dirs, files.DirSizes});
    if (!fault.empty()) {
        read.Refusal = fault;
        return false;
    }
    // Extra files are only known for a set the manifest records; a set
    // changed outside the program or saved without a manifest has none.
    if (state == TManifestState::Valid && kind != TSetKind::Outside) {
        const bool before = kind == TSetKind::Interrupted || kind == TSetKind::Previous;
        const std::string told =
            LoadExtraFiles(files, before ? manifest.Previous : manifest.Current,
                           before ? nullptr : SameLists(manifest), set.Dirs, set.Extras);
        if (!told.empty())
            read.Notice += (read.Notice.empty() ? "" : " ") + told;
    }
    read.FromMain = kind != TSetKind::Interrupted;
    return true;
}

bool LoadStoredSet(const TStoredSetFiles& files, TLoadedSet& loaded, std::string& refusal) {
    loaded.Files = files;
    TDataFolderLock lock(files.DataFolder, TDataFolderLock::TMode::Shared);
    const TStoredSetStamp before = files.StampOnDisk();
    TSetRead read;
    if (!ReadStoredSet(files, loaded.Set, read)) {
        refusal = read.Refusal;
        return false;
    }
    TStoredSetOrigin& origin = loaded.Origin;
    loaded.FromMain = read.FromMain;
    if (read.FromMain) {
        // A save of these lists knows what it replaces without reading it,
        // unless a file changed while they were read or in the tick since.
        bool racy = false;
        origin.SumsStamp = files.StampNow(racy);
        origin.SumsValid = !racy && before == origin.SumsStamp;
        origin.Sums = read.Sums;
    }
    loaded.Notice = read.Notice;
    origin.Valid = true;
    origin.Stamp = files.StampNow(origin.Racy);
    return true;
}
