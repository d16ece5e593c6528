// The history of a drive: the set a drive scan replaces is kept, named by
// drive and time, in a private folder; only the newest are kept; folder
// rescans and failed saves keep nothing.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "engine/DetachedSave.h"
#include "engine/DiscoverData.h"
#include "engine/DiscoverKind.h"
#include "engine/DiskSizeList.h"
#include "engine/DriveScanSave.h"
#include "engine/ExtraRescan.h"
#include "engine/RescanMerge.h"
#include "engine/ResultStore.h"
#include "engine/ScanHistory.h"
#include "platform/HistoryFolder.h"
#include "tests/history/HistoryLists.h"
#include "tests/store/TempFolder.h"

namespace {

struct TSet {
    TStringList Dirs, Sizes, Percents;
};

TSet RandomSet(std::mt19937_64& random, std::size_t count) {
    TSet set;
    ToLists(RandomDrive(random, count), set.Dirs, set.Sizes);
    set.Percents.assign(set.Dirs.size(), "12.5");
    return set;
}

// Extra lists of a set as a walk makes them: allocated bytes per folder and
// the Discover data, a few large files below the set's folders; the roles
// in drop are left out.
TExtraLists RandomExtras(std::mt19937_64& random, const TStringList& dirs,
                         const std::set<std::string>& drop = {}) {
    TExtraLists extras;
    TStringList disk;
    for (std::size_t i = 0; i < dirs.size(); ++i)
        disk.push_back(std::to_string(random() % 1'000'000'000));
    extras[std::string(kDiskSizesRole)] = disk;
    TDiscoverData discover;
    std::int64_t size = 1'000'000'000;
    for (std::size_t i = 0; i < 1 + random() % 5; ++i) {
        size -= static_cast<std::int64_t>(1 + random() % 1000);
        const std::string folder(dirs[random() % dirs.size()]);
        discover.Largest.push_back({folder + "\\f" + std::to_string(i) + ".bin", size, size, 1});
    }
    discover.TypesAsOfDriveScan = true;
    extras[std::string(kDiscoverRole)] = discover.Lines();
    for (const std::string& role : drop)
        extras.erase(role);
    return extras;
}

// The data folder's files (not the history) and their bytes.
std::map<std::string, std::string> DataFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
}

// The data folder's files an hour older, so that a load trusts their stamps.
void DateBack(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            std::filesystem::last_write_time(entry.path(),
                                             entry.last_write_time() - std::chrono::hours(1));
}

void CopyDataFiles(const std::string& from, const std::string& to) {
    std::filesystem::remove_all(to);
    std::filesystem::create_directories(to);
    for (const auto& [name, bytes] : DataFiles(from))
        WriteBytes(to + name, bytes);
}

std::vector<std::int64_t> SizeValues(const TStringList& sizes) {
    std::vector<std::int64_t> values;
    for (const auto& size : sizes) {
        values.push_back(std::stoll(std::string(size)));
    }
    return values;
}

class ScanHistoryTest : public ::testing::Test {
  protected:
    TTempFolder folder;
    std::mt19937_64 random{31};

    std::string HistoryPath() const { return folder.Slash() + "history/"; }
    TResultStore Store() const {
        TResultStore store(folder.Slash());
        store.SetFiles("C:");
        return store;
    }
};

TEST_F(ScanHistoryTest, KeepsTheNewestSetsOfEachDrive) {
    TScanHistory history(folder.Slash());
    ASSERT_EQ(history.Keep, TScanHistory::kDefaultKeep);
    const TSet set = RandomSet(random, 50);
    std::vector<std::int64_t> times;
    std::string error;
    for (int i = 0; i < 15; ++i) {
        // Two sets in the same second must both be kept under their own names.
        const std::int64_t time = 1'700'000'000 + (i / 2) * 3600;
        times.push_back(time);
        ASSERT_TRUE(history.Record('C', time, set.Dirs, set.Sizes, error)) << error;
    }
    ASSERT_TRUE(history.Record('D', 1'800'000'000, set.Dirs, set.Sizes, error));
    WriteBytes(HistoryPath() + "notes.txt", "not a kept set");

    const std::vector<THistoryEntry> kept = history.Entries('C');
    ASSERT_EQ(kept.size(), 12u);
    std::sort(times.rbegin(), times.rend());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].Time, times[i]);
        EXPECT_EQ(kept[i].Drive, 'C');
        EXPECT_EQ(ModeOf(kept[i].Path), 0600u);
        THistoryEntry parsed;
        ASSERT_TRUE(TScanHistory::ParseName(kept[i].Name, parsed));
        EXPECT_EQ(parsed.Time, kept[i].Time);
        // Within one second the set kept later comes first.
        if (i + 1 < kept.size() && kept[i].Time == kept[i + 1].Time) {
            EXPECT_GT(kept[i].Serial, kept[i + 1].Serial);
        }
    }
    EXPECT_EQ(history.Entries('D').size(), 1u);
    EXPECT_EQ(ModeOf(HistoryPath()), 040700u & 07777u);
    EXPECT_EQ(TScanHistory::TimeText(1'765'266'010), "2025-12-09 07:40 UTC");
    EXPECT_EQ(TScanHistory::FileName('C', 1'765'266'010), "C-20251209T074010Z.zst");

    // Fewer kept from now on: the surplus goes with the next record.
    history.Keep = 3;
    ASSERT_TRUE(history.Record('C', 1'600'000'000, set.Dirs, set.Sizes, error));
    const std::vector<THistoryEntry> fewer = history.Entries('C');
    ASSERT_EQ(fewer.size(), 3u);
    EXPECT_EQ(fewer[0].Time, times[0]);
}

// The names carry UTC times: read back in any zone, each is the time it was
// written with, also where the local clock skips or repeats that hour. The
// zones are set here as well as by the runs of the whole program under
// them, so that the case checks them wherever it runs.
TEST_F(ScanHistoryTest, NamesReadBackInAnyZone) {
    const char* before = getenv("TZ");
    const std::string zoneBefore = before != nullptr ? before : "";
    const TSet set = RandomSet(random, 5);
    std::string error;
    // 2026-03-08 and 2026-11-01: New York's changes; 2026-03-29 and
    // 2026-10-25: Berlin's (and London's).
    std::vector<std::int64_t> times;
    for (const std::int64_t day : {1772928000, 1793491200, 1774742400, 1792886400})
        for (std::int64_t minute = 0; minute < 24 * 60; minute += 15)
            times.push_back(day + minute * 60 + minute % 60);
    std::uniform_int_distribution<std::int64_t> any(0, 253402300799);  // to 9999-12-31
    for (int i = 0; i < 200; ++i)
        times.push_back(any(random));
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Asia/Kolkata", "UTC"}) {
        SCOPED_TRACE(zone);
        setenv("TZ", zone, 1);
        tzset();
        for (const std::int64_t time : times) {
            THistoryEntry entry;
            const std::string name = TScanHistory::FileName('C', time, 2);
            ASSERT_TRUE(TScanHistory::ParseName(name, entry)) << name;
            EXPECT_EQ(entry.Time, time) << name;
            EXPECT_EQ(entry.Serial, 2);
        }
    }
    // A set kept at 02:30 UTC on Berlin's day of change is listed and loads.
    TScanHistory history(folder.Slash());
    ASSERT_TRUE(history.Record('C', 1774751400, set.Dirs, set.Sizes, error)) << error;
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const std::vector<THistoryEntry> kept = history.Entries('C');
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Name, "C-20260329T023000Z.zst");
    THistorySnapshot snapshot;
    EXPECT_TRUE(history.Load(kept[0], snapshot, error)) << error;
    if (before != nullptr)
        setenv("TZ", zoneBefore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// Scans of a drive in a row: after each save the history holds the sets
// before it, newest first, each as it was stored, at the time it was saved.
TEST_F(ScanHistoryTest, EachDriveScanKeepsTheSetItReplaces) {
    TResultStore store = Store();
    std::vector<TSet> saved;
    std::vector<std::int64_t> savedAt;
    std::string note;
    for (int scan = 0; scan < 4; ++scan) {
        saved.push_back(RandomSet(random, 1 + random() % 400));
        ASSERT_TRUE(SaveDriveScan(
            store, {saved.back().Dirs, saved.back().Sizes, saved.back().Percents}, note));
        EXPECT_TRUE(note.empty()) << note;
        // Saves within one second get distinct times on disk for the check.
        const auto stamp =
            std::filesystem::last_write_time(store.SetFile) - std::chrono::hours(24 * (10 - scan));
        std::filesystem::last_write_time(store.SetFile, stamp);
        savedAt.push_back(DataFileTime(store.SetFile));
    }
    TScanHistory history(folder.Slash());
    const std::vector<THistoryEntry> kept = history.Entries('C');
    ASSERT_EQ(kept.size(), 3u);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const TSet& set = saved[saved.size() - 2 - i];
        THistorySnapshot snapshot;
        std::string message;
        ASSERT_TRUE(history.Load(kept[i], snapshot, message)) << message;
        EXPECT_EQ(snapshot.Dirs, set.Dirs);
        EXPECT_EQ(snapshot.Sizes, SizeValues(set.Sizes));
        EXPECT_EQ(snapshot.Time, savedAt[saved.size() - 2 - i]);
    }
    // The current results are untouched by the history.
    ASSERT_TRUE(store.LoadGlobal());
    EXPECT_EQ(store.GlobalDirs(), saved.back().Dirs);
}

// A window holds the set it loaded while the scanner stores a drive scan;
// the window's drive scan then keeps what the scanner stored, not the set
// it holds: each replaced set is kept once.
TEST_F(ScanHistoryTest, ADriveScanKeepsTheSetItReallyReplacedOnce) {
    const TSet first = RandomSet(random, 50), second = RandomSet(random, 60),
               third = RandomSet(random, 70);
    std::string note;
    TResultStore window = Store();
    ASSERT_TRUE(SaveDriveScan(window, {first.Dirs, first.Sizes, first.Percents}, note));
    for (const std::string& file :
         {window.SetFile, window.DirsFile, window.DirSizesFile, window.PercentsFile})
        std::filesystem::last_write_time(
            file, std::filesystem::last_write_time(file) - std::chrono::hours(2));
    const std::int64_t firstTime = DataFileTime(window.SetFile);
    ASSERT_TRUE(window.LoadGlobal());
    TResultStore scanner = Store();
    ASSERT_TRUE(SaveDriveScan(scanner, {second.Dirs, second.Sizes, second.Percents}, note)) << note;
    const std::int64_t secondTime = DataFileTime(window.SetFile);
    ASSERT_TRUE(SaveDriveScan(window, {third.Dirs, third.Sizes, third.Percents}, note)) << note;
    TScanHistory history(folder.Slash());
    const std::vector<THistoryEntry> kept = history.Entries('C');
    ASSERT_EQ(kept.size(), 2u);
    THistorySnapshot snapshot;
    std::string message;
    ASSERT_TRUE(history.Load(kept[0], snapshot, message)) << message;
    EXPECT_EQ(snapshot.Dirs, second.Dirs);
    EXPECT_EQ(snapshot.Time, secondTime);
    ASSERT_TRUE(history.Load(kept[1], snapshot, message)) << message;
    EXPECT_EQ(snapshot.Dirs, first.Dirs);
    EXPECT_EQ(snapshot.Time, firstTime);

    // A history folder that is a link is not read, as it is not written.
    std::filesystem::rename(HistoryPath(), folder.Slash() + "elsewhere");
    std::filesystem::create_directory_symlink(folder.Slash() + "elsewhere",
                                              folder.Slash() + "history");
    EXPECT_TRUE(history.Entries('C').empty());
}

TEST_F(ScanHistoryTest, RescansFailedSavesAndNoKeepingLeaveNoHistory) {
    TResultStore store = Store();
    const TSet first = RandomSet(random, 100), second = RandomSet(random, 100);
    std::string note;
    ASSERT_TRUE(SaveDriveScan(store, {first.Dirs, first.Sizes, first.Percents}, note));

    // A folder rescan merges into the set and saves it by itself.
    ASSERT_TRUE(store.LoadGlobal());
    store.AppendAnalizeInfo({{first.Dirs[1]}, {"7"}, {"0"}});
    ASSERT_TRUE(store.SaveGlobalSLS());
    // A save that stops part way replaces nothing, so nothing is kept.
    store.SaveStepHook = [](int step) {
        if (step == 1) {
            throw std::runtime_error("stopped");
        }
    };
    EXPECT_THROW(SaveDriveScan(store, {second.Dirs, second.Sizes, second.Percents}, note),
                 std::runtime_error);
    store.SaveStepHook = nullptr;
    // With no sets to keep, a drive scan keeps none.
    setenv(TScanHistory::kKeepVariable, "0", 1);
    ASSERT_TRUE(SaveDriveScan(store, {second.Dirs, second.Sizes, second.Percents}, note));
    unsetenv(TScanHistory::kKeepVariable);
    EXPECT_TRUE(TScanHistory(folder.Slash()).Entries('C').empty());

    // A stored set that cannot be trusted (and no whole set before it) is
    // not kept; the save goes on.
    std::filesystem::remove(store.SetFile);
    WriteBytes(store.DirSizesFile, "12\r\nnot a number\r\n");
    ASSERT_TRUE(SaveDriveScan(store, {first.Dirs, first.Sizes, first.Percents}, note));
    EXPECT_TRUE(TScanHistory(folder.Slash()).Entries('C').empty());
    ASSERT_TRUE(SaveDriveScan(store, {second.Dirs, second.Sizes, second.Percents}, note));
    EXPECT_EQ(TScanHistory(folder.Slash()).Entries('C').size(), 1u);
}

// The window's save keeps the lists it stores as the global ones instead of
// reading them back: the files are byte for byte a plain save's, the lists
// are what a load reads, and the set replaced (the loaded lists, moved out)
// is kept. A save stopped part way stores nothing and leaves the loaded
// lists in place.
TEST_F(ScanHistoryTest, ASaveKeepingItsListsStoresAndKeepsAsAPlainSave) {
    TTempFolder plainFolder;
    TResultStore plain(plainFolder.Slash());
    plain.SetFiles("C:");
    TResultStore window = Store();
    std::string note;
    TSet before = RandomSet(random, 300);
    // Each set stored gets a time of its own on disk, later than the one before.
    auto dateBack = [&window](int hours) {
        for (const std::string& file :
             {window.SetFile, window.DirsFile, window.DirSizesFile, window.PercentsFile})
            std::filesystem::last_write_time(
                file, std::filesystem::last_write_time(file) - std::chrono::hours(hours));
    };
    ASSERT_TRUE(SaveDriveScan(window, {before.Dirs, before.Sizes, before.Percents}, note));
    dateBack(1000);
    ASSERT_TRUE(window.LoadGlobal());
    for (int scan = 0; scan < 3; ++scan) {
        const TSet next = RandomSet(random, 1 + random() % 300);
        ASSERT_TRUE(SaveDriveScan(plain, {next.Dirs, next.Sizes, next.Percents}, note));
        THistoryCopy copy;
        ASSERT_TRUE(SaveDriveScanAsGlobal(window, {next.Dirs, next.Sizes, next.Percents}, copy));
        // Kept after the save, as the window does on a thread of its own.
        std::thread([&copy, &note] { note = KeepInHistory(copy); }).join();
        EXPECT_TRUE(note.empty()) << note;
        for (const auto& [mine, theirs] : {std::pair{window.DirsFile, plain.DirsFile},
                                           {window.DirSizesFile, plain.DirSizesFile},
                                           {window.PercentsFile, plain.PercentsFile}})
            EXPECT_EQ(ReadBytes(mine), ReadBytes(theirs)) << mine;
        EXPECT_EQ(window.GlobalDirs(), next.Dirs);
        EXPECT_EQ(window.GlobalDirSizes(), next.Sizes);
        EXPECT_EQ(window.GlobalPercents(), next.Percents);
        TResultStore reader = Store();
        ASSERT_TRUE(reader.LoadGlobal()) << reader.LoadNotice;
        EXPECT_EQ(reader.GlobalDirs(), next.Dirs);
        const std::vector<THistoryEntry> kept = TScanHistory(folder.Slash()).Entries('C');
        ASSERT_FALSE(kept.empty());
        THistorySnapshot snapshot;
        std::string message;
        ASSERT_TRUE(TScanHistory(folder.Slash()).Load(kept[0], snapshot, message)) << message;
        EXPECT_EQ(snapshot.Dirs, before.Dirs);
        EXPECT_EQ(snapshot.Sizes, SizeValues(before.Sizes));
        before = next;
        dateBack(100 - 10 * scan);
        ASSERT_TRUE(window.LoadGlobal());
    }

    const std::size_t keptBefore = TScanHistory(folder.Slash()).Entries('C').size();
    const TSet refused = RandomSet(random, 40);
    THistoryCopy copy;
    for (int step : {0, 1, 2}) {
        window.SaveStepHook = [step](int at) {
            if (at == step)
                throw std::runtime_error("stopped");
        };
        EXPECT_THROW(
            SaveDriveScanAsGlobal(window, {refused.Dirs, refused.Sizes, refused.Percents}, copy),
            std::runtime_error);
        window.SaveStepHook = nullptr;
        EXPECT_EQ(window.GlobalDirs(), before.Dirs) << step;
        EXPECT_EQ(window.GlobalDirSizes(), before.Sizes) << step;
        EXPECT_FALSE(copy.Set.Whole) << step;
        EXPECT_TRUE(KeepInHistory(copy).empty());
    }
    EXPECT_EQ(TScanHistory(folder.Slash()).Entries('C').size(), keptBefore);
    // A change stored after the stopped saves lands on the set before them.
    ASSERT_TRUE(window.LoadGlobal());
    ASSERT_TRUE(window.UpdateStoredSet([](TStoredSet& set) {
        set.Sizes.Set(0, "5");
        set.DropExtras();
    }));
    TResultStore reader = Store();
    ASSERT_TRUE(reader.LoadGlobal()) << reader.LoadNotice;
    EXPECT_EQ(reader.GlobalDirs(), before.Dirs);
    EXPECT_EQ(std::string(reader.GlobalDirSizes()[0]), "5");
}

// The save behind the views: the window's lists are the new ones at once,
// and what the worker stores is what a plain save stores, byte for byte, the
// manifest too (whose record of the set replaced comes from checksums known
// since the load, not read again); the set replaced is kept. A save stopped
// on its thread stores and keeps nothing and marks the lists not stored. A
// rescan merged into a set stored meanwhile stores and shows what the merge
// into that set gives.
TEST_F(ScanHistoryTest, ASaveBehindTheViewsStoresAsAPlainSave) {
    TTempFolder plainFolder;
    TResultStore window = Store();
    TSet before = RandomSet(random, 200);
    std::string note;
    ASSERT_TRUE(SaveDriveScan(window, {before.Dirs, before.Sizes, before.Percents}, note));
    auto behind = [&window](const TSet& set) {
        std::unique_ptr<TDetachedSave> job =
            TDetachedSave::BeginDriveScan(window, {set.Dirs, set.Sizes, set.Percents});
        EXPECT_EQ(window.GlobalDirs(), set.Dirs);
        std::thread([&job] { job->Run(); }).join();
        job->Finish();
        return job;
    };
    // Older files, so that their stamps are trusted when the window loads them.
    auto dateBack = [&window](int hours) {
        for (const std::string& file :
             {window.SetFile, window.DirsFile, window.DirSizesFile, window.PercentsFile})
            std::filesystem::last_write_time(
                file, std::filesystem::last_write_time(file) - std::chrono::hours(hours));
    };
    for (int scan = 0; scan < 3; ++scan) {
        dateBack(100 - 10 * scan);
        ASSERT_TRUE(window.LoadGlobal());
        std::filesystem::remove_all(plainFolder.Slash());
        std::filesystem::create_directories(plainFolder.Slash());
        for (const char* name : {"CSet", "CDirs", "CDirSizes", "CPercents"})
            std::filesystem::copy_file(folder.Slash() + name, plainFolder.Slash() + name);
        const TSet next = RandomSet(random, 1 + random() % 200);
        TResultStore plain(plainFolder.Slash());  // knows nothing: reads what it replaces
        plain.SetFiles("C:");
        ASSERT_TRUE(plain.SaveAnalizeData({next.Dirs, next.Sizes, next.Percents}));
        const auto job = behind(next);
        ASSERT_TRUE(job->Saved()) << job->Error();
        EXPECT_FALSE(window.ListsUnsaved());
        for (const char* name : {"CSet", "CDirs", "CDirSizes", "CPercents"})
            EXPECT_EQ(ReadBytes(folder.Slash() + name), ReadBytes(plainFolder.Slash() + name))
                << name;
        EXPECT_TRUE(job->HistoryTried());
        EXPECT_TRUE(job->HistoryNote().empty()) << job->HistoryNote();
        THistorySnapshot snapshot;
        std::string message;
        const std::vector<THistoryEntry> kept = TScanHistory(folder.Slash()).Entries('C');
        ASSERT_TRUE(TScanHistory(folder.Slash()).Load(kept.at(0), snapshot, message)) << message;
        EXPECT_EQ(snapshot.Dirs, before.Dirs);
        before = next;
    }

    const std::size_t keptBefore = TScanHistory(folder.Slash()).Entries('C').size();
    const std::string sizesBefore = ReadBytes(window.DirSizesFile);
    const TSet stopped = RandomSet(random, 50);
    window.SaveStepHook = [](int at) {
        if (at == 1)
            throw std::runtime_error("stopped");
    };
    const auto failed = behind(stopped);
    window.SaveStepHook = nullptr;
    EXPECT_FALSE(failed->Saved());
    EXPECT_EQ(failed->Error(), "stopped");
    EXPECT_TRUE(window.ListsUnsaved());
    EXPECT_EQ(window.GlobalDirSizes(), stopped.Sizes);
    EXPECT_EQ(ReadBytes(window.DirSizesFile), sizesBefore);
    EXPECT_EQ(TScanHistory(folder.Slash()).Entries('C').size(), keptBefore);

    // A rescan of C:\A; the scanner stores another size of C:\Z meanwhile.
    const TStringList dirs{"C:", "C:\\A", "C:\\A\\B", "C:\\Z"};
    ASSERT_TRUE(window.SaveAsGlobal({dirs, {"200", "150", "50", "10"}, {"0", "75", "33.3", "5"}}));
    for (bool meanwhile : {false, true}) {
        dateBack(1);
        ASSERT_TRUE(window.LoadGlobal());
        TResultStore scanner = Store();
        if (meanwhile) {
            ASSERT_TRUE(scanner.SaveAnalizeData(
                {dirs, {"700", "150", "50", "510"}, {"0", "21.4", "33.3", "72.8"}}));
        }
        ASSERT_TRUE(scanner.LoadGlobal());
        scanner.AppendAnalizeInfo({{"C:\\A", "C:\\A\\B"}, {"1150", "1050"}, {"0", "91.3"}});
        std::unique_ptr<TDetachedSave> job = TDetachedSave::BeginFolderRescan(
            window, {{"C:\\A", "C:\\A\\B"}, {"1150", "1050"}, {"0", "91.3"}});
        std::thread([&job] { job->Run(); }).join();
        job->Finish();
        ASSERT_TRUE(job->Saved()) << job->Error();
        EXPECT_EQ(job->ShownAgain(), meanwhile);
        EXPECT_EQ(window.GlobalDirSizes(), scanner.GlobalDirSizes()) << meanwhile;
        EXPECT_EQ(window.GlobalPercents(), scanner.GlobalPercents()) << meanwhile;
        TResultStore reader = Store();
        ASSERT_TRUE(reader.LoadGlobal());
        EXPECT_EQ(reader.GlobalDirSizes(), scanner.GlobalDirSizes()) << meanwhile;
    }
}

// With the extra lists of the walk: a save behind the views writes the same
// files as a plain drive scan's save, extra files and manifest byte for byte
// (a set without one of them removes its stale file the same way), and the
// history keeps the replaced set with its extra lists. A rescan behind the
// views stores what the plain merge stores, also into a set saved meanwhile.
TEST_F(ScanHistoryTest, ASaveBehindTheViewsStoresAndKeepsTheExtraFilesAsAPlainSave) {
    TTempFolder plainFolder;
    const std::string disk(kDiskSizesRole), discover(kDiscoverRole);
    TResultStore window = Store();
    TSet before = RandomSet(random, 150);
    TExtraLists beforeExtras = RandomExtras(random, before.Dirs);
    std::string note;
    ASSERT_TRUE(
        SaveDriveScan(window, {before.Dirs, before.Sizes, before.Percents, beforeExtras}, note));
    const std::vector<std::set<std::string>> drops = {{}, {discover}, {}, {disk, discover}, {}};
    for (const std::set<std::string>& drop : drops) {
        DateBack(folder.Slash());
        ASSERT_TRUE(window.LoadGlobal());
        ASSERT_EQ(window.GlobalExtras(), beforeExtras);
        CopyDataFiles(folder.Slash(), plainFolder.Slash());
        const TSet next = RandomSet(random, 1 + random() % 150);
        const TExtraLists nextExtras = RandomExtras(random, next.Dirs, drop);
        TResultStore plain(plainFolder.Slash());
        plain.SetFiles("C:");
        ASSERT_TRUE(SaveDriveScan(plain, {next.Dirs, next.Sizes, next.Percents, nextExtras}, note));
        ASSERT_TRUE(note.empty()) << note;

        std::unique_ptr<TDetachedSave> job = TDetachedSave::BeginDriveScan(
            window, {next.Dirs, next.Sizes, next.Percents, nextExtras});
        EXPECT_EQ(window.GlobalExtras(), nextExtras) << "shown before the save runs";
        std::thread([&job] { job->Run(); }).join();
        job->Finish();
        ASSERT_TRUE(job->Saved()) << job->Error();
        EXPECT_TRUE(job->HistoryNote().empty()) << job->HistoryNote();
        EXPECT_EQ(DataFiles(folder.Slash()), DataFiles(plainFolder.Slash()));
        EXPECT_EQ(DataFiles(folder.Slash()).count("CDiscover"), drop.count(discover) ? 0u : 1u);

        for (const std::string& where : {folder.Slash(), plainFolder.Slash()}) {
            SCOPED_TRACE(where);
            THistorySnapshot snapshot;
            std::string message;
            const std::vector<THistoryEntry> kept = TScanHistory(where).Entries('C');
            ASSERT_TRUE(TScanHistory(where).Load(kept.at(0), snapshot, message)) << message;
            EXPECT_EQ(snapshot.Dirs, before.Dirs);
            EXPECT_EQ(snapshot.Extras, beforeExtras);
        }
        before = next;
        beforeExtras = nextExtras;
    }

    // A rescan of C:\A with its own extra lists; the scanner stores another
    // set meanwhile, or not.
    const TStringList dirs{"C:", "C:\\A", "C:\\A\\B", "C:\\Z"};
    const TExtraLists extras = RandomExtras(random, dirs);
    ASSERT_TRUE(
        window.SaveAsGlobal({dirs, {"200", "150", "50", "10"}, {"0", "75", "33.3", "5"}, extras}));
    const TStringList rescanDirs{"C:\\A", "C:\\A\\B", "C:\\A\\N"};
    const TStringList rescanSizes{"1150", "1050", "7"}, rescanPercents{"0", "91.3", "0.6"};
    const TExtraLists rescanExtras = RandomExtras(random, rescanDirs);
    for (bool meanwhile : {false, true}) {
        SCOPED_TRACE(meanwhile);
        DateBack(folder.Slash());
        ASSERT_TRUE(window.LoadGlobal());
        CopyDataFiles(folder.Slash(), plainFolder.Slash());
        TResultStore plain(plainFolder.Slash());
        plain.SetFiles("C:");
        ASSERT_TRUE(plain.LoadGlobal());
        if (meanwhile) {
            const TExtraLists newer = RandomExtras(random, dirs);
            for (const std::string& where : {folder.Slash(), plainFolder.Slash()}) {
                TResultStore scanner(where);
                scanner.SetFiles("C:");
                ASSERT_TRUE(scanner.SaveAnalizeData(
                    {dirs, {"700", "150", "50", "510"}, {"0", "21.4", "33.3", "72.8"}, newer}));
            }
        }
        ASSERT_TRUE(plain.UpdateStoredSet([&](TStoredSet& set) {
            AppendRescanWithExtras(set.Dirs, set.Sizes, set.Percents, set.Extras, rescanDirs,
                                   rescanSizes, rescanPercents, rescanExtras);
        }));
        std::unique_ptr<TDetachedSave> job = TDetachedSave::BeginFolderRescan(
            window, {rescanDirs, rescanSizes, rescanPercents, rescanExtras});
        std::thread([&job] { job->Run(); }).join();
        job->Finish();
        ASSERT_TRUE(job->Saved()) << job->Error();
        EXPECT_EQ(job->ShownAgain(), meanwhile);
        EXPECT_EQ(DataFiles(folder.Slash()), DataFiles(plainFolder.Slash()));
        EXPECT_EQ(window.GlobalDirs(), plain.GlobalDirs());
        EXPECT_EQ(window.GlobalDirSizes(), plain.GlobalDirSizes());
        EXPECT_EQ(window.GlobalExtras(), plain.GlobalExtras());
        EXPECT_EQ(window.GlobalExtras().count(disk), 1u) << "the allocated bytes follow the rescan";
    }
}

}  // namespace
