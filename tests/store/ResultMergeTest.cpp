#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "engine/AnalizeDisk.h"
#include "engine/NumberText.h"
#include "engine/RescanMerge.h"
#include "engine/ResultListCheck.h"
#include "engine/ResultStore.h"
#include "engine/ResultStoreIndex.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tests/store/TempFolder.h"

namespace {

// Drive C as stored: note the case twins "Data" and "data".
TResultStore StoredDriveC() {
    TResultStore store("");
    store.ReplaceGlobal({{"C:", "C:\\Data", "C:\\Data\\new", "C:\\Data\\old", "C:\\Data\\x",
                          "C:\\Other", "C:\\data"},
                         {"1000", "600", "0", "100", "500", "300", "100"},
                         {"0", "60", "0", "16.6", "83.3", "30", "10"}});
    return store;
}

// The rescan of C:\Data: "old" is gone, "brand new" was created, "new" and
// "x" changed.
const TStringList kRescanDirs = {"C:\\Data", "C:\\Data\\brand new", "C:\\Data\\new", "C:\\Data\\x"};
const TStringList kRescanSizes = {"900", "200", "300", "400"};
const TStringList kRescanPercents = {"0", "22.2", "33.3", "44.4"};

std::string Share(std::int64_t child, std::int64_t parent) {
    return PercentText(SharePercent(child, parent));
}

// The merge as a plain first-match search from the first entry, as lists
// outside the stored form are still merged.
void PlainMerge(TStoredSet& set, const TStringList& dirs, const TStringList& sizes,
                const TStringList& percents) {
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        for (std::size_t m = 0; m < set.Dirs.size(); ++m) {
            if (TResultStoreIndex::ComparePaths(set.Dirs[m], dirs[k]) == 0) {
                if (k < sizes.size() && m < set.Sizes.size()) {
                    set.Sizes.Set(m, sizes[k]);
                }
                if (k > 0 && k < percents.size() && m < set.Percents.size()) {
                    set.Percents.Set(m, percents[k]);
                }
                break;
            }
        }
    }
}

}  // namespace

TEST(AppendAnalizeInfo, ReplacesTheFolderBelowAndCarriesItsChangeUpwards) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo({kRescanDirs, kRescanSizes, kRescanPercents});
    // "old" is gone, "brand new" stands at its sorted place; the case twin
    // "data" is another folder and stays.
    EXPECT_EQ((TStringList{"C:", "C:\\Data", "C:\\Data\\brand new", "C:\\Data\\new", "C:\\Data\\x",
                           "C:\\Other", "C:\\data"}),
              store.GlobalDirs());
    // The drive root grew by what Data grew.
    EXPECT_EQ((TStringList{"1300", "900", "200", "300", "400", "300", "100"}),
              store.GlobalDirSizes());
    // Below Data the rescan's shares; Data and its siblings of the new root.
    EXPECT_EQ((TStringList{"0", Share(900, 1300), "22.2", "33.3", "44.4", Share(300, 1300),
                           Share(100, 1300)}),
              store.GlobalPercents());
}

TEST(AppendAnalizeInfo, KeepsTheStoredDriveLetterAndTellsCaseTwinsApart) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo({{"c:\\data", "c:\\data\\sub"}, {"50", "50"}, {"0", "100"}});
    EXPECT_EQ((TStringList{"C:", "C:\\Data", "C:\\Data\\new", "C:\\Data\\old", "C:\\Data\\x",
                           "C:\\Other", "C:\\data", "C:\\data\\sub"}),
              store.GlobalDirs());
    EXPECT_EQ((TStringList{"950", "600", "0", "100", "500", "300", "50", "50"}),
              store.GlobalDirSizes());
    EXPECT_EQ(Share(600, 950), store.GlobalPercents()[1]);
    EXPECT_EQ("16.6", store.GlobalPercents()[3]) << "below a sibling nothing changed";
    EXPECT_EQ(Share(50, 950), store.GlobalPercents()[6]);
    EXPECT_EQ("100", store.GlobalPercents()[7]);
}

TEST(AppendAnalizeInfo, AFolderWhoseParentsAreNotStoredBringsThemHoldingItAlone) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo({{"C:\\Data\\old\\p\\q", "C:\\Data\\old\\p\\q\\r"},
                             {"60", "20"},
                             {"0", "33.3333320617676"}});
    EXPECT_EQ((TStringList{"C:", "C:\\Data", "C:\\Data\\new", "C:\\Data\\old", "C:\\Data\\old\\p",
                           "C:\\Data\\old\\p\\q", "C:\\Data\\old\\p\\q\\r", "C:\\Data\\x",
                           "C:\\Other", "C:\\data"}),
              store.GlobalDirs());
    EXPECT_EQ((TStringList{"1060", "660", "0", "160", "60", "60", "20", "500", "300", "100"}),
              store.GlobalDirSizes());
    EXPECT_EQ(
        (TStringList{"0", Share(660, 1060), "0", Share(160, 660), Share(60, 160), "100",
                     "33.3333320617676", Share(500, 660), Share(300, 1060), Share(100, 1060)}),
        store.GlobalPercents());
}

// C:\A is missing from the stored lists (edited by hand), though folders
// below it are stored; "C:\A\b!" sorts between "C:\A\b" and the folders
// below "C:\A\b", which must not be counted twice.
TEST(AppendAnalizeInfo, AMissingAncestorHoldsAllThatIsStoredBelowIt) {
    TResultStore store("");
    store.ReplaceGlobal({{"C:", "C:\\A\\b", "C:\\A\\b!", "C:\\A\\b\\c", "C:\\Z"},
                         {"100", "40", "5", "10", "7"},
                         {"0", "40", "5", "25", "7"}});
    store.AppendAnalizeInfo({{"C:\\A\\n", "C:\\A\\n\\m"}, {"30", "20"}, {"0", "66.6666641235352"}});
    EXPECT_EQ((TStringList{"C:", "C:\\A", "C:\\A\\b", "C:\\A\\b!", "C:\\A\\b\\c", "C:\\A\\n",
                           "C:\\A\\n\\m", "C:\\Z"}),
              store.GlobalDirs());
    // A holds b, b! and n; the drive root carries n's 30 bytes.
    EXPECT_EQ((TStringList{"130", "75", "40", "5", "10", "30", "20", "7"}), store.GlobalDirSizes());
    EXPECT_EQ(store.GlobalPercents()[1], Share(75, 130));
    EXPECT_EQ(store.GlobalPercents()[2], Share(40, 75));
    EXPECT_EQ(store.GlobalPercents()[5], Share(30, 75));
    // No folder is smaller than a stored folder directly below it.
    for (std::size_t i = 1; i < store.GlobalDirs().size(); ++i) {
        const std::string path(store.GlobalDirs()[i]);
        const std::string parent = path.substr(0, path.rfind('\\'));
        for (std::size_t j = 0; j < store.GlobalDirs().size(); ++j) {
            if (store.GlobalDirs()[j] == parent) {
                EXPECT_GE(std::stoll(std::string(store.GlobalDirSizes()[j])),
                          std::stoll(std::string(store.GlobalDirSizes()[i])))
                    << parent << " below " << path;
            }
        }
    }
}

TEST(AppendAnalizeInfo, ARescanOfTheDriveRootTakesTheRescanWhole) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo({{"C:", "C:\\New"}, {"7", "7"}, {"0", "100"}});
    EXPECT_EQ((TStringList{"C:", "C:\\New"}), store.GlobalDirs());
    EXPECT_EQ((TStringList{"7", "7"}), store.GlobalDirSizes());
    EXPECT_EQ((TStringList{"0", "100"}), store.GlobalPercents());
}

TEST(AppendAnalizeInfo, ListsOutOfOrderAreOnlyUpdatedInPlace) {
    TResultStore store = StoredDriveC();
    const std::string fifth(store.GlobalDirs()[5]), sixth(store.GlobalDirs()[6]);
    TStoredSet plain = store.Global();
    plain.Dirs.Set(5, sixth);
    plain.Dirs.Set(6, fifth);
    store.ReplaceGlobal(plain);
    store.AppendAnalizeInfo({kRescanDirs, kRescanSizes, kRescanPercents});
    PlainMerge(plain, kRescanDirs, kRescanSizes, kRescanPercents);
    EXPECT_EQ(plain.Dirs, store.GlobalDirs());
    EXPECT_EQ(plain.Sizes, store.GlobalDirSizes());
    EXPECT_EQ(plain.Percents, store.GlobalPercents());
    EXPECT_EQ("900", store.GlobalDirSizes()[1]);
}

TEST(AppendAnalizeInfo, DoesNothingToEmptyListsAndNeverWritesPastAShortList) {
    TResultStore empty("");
    empty.FreeSLs();
    empty.AppendAnalizeInfo({kRescanDirs, kRescanSizes, kRescanPercents});
    EXPECT_TRUE(empty.GlobalSLSEmpty());

    TResultStore store = StoredDriveC();
    TStoredSet shortened = store.Global();
    shortened.Sizes.resize(3);
    shortened.Percents.resize(1);
    store.ReplaceGlobal(std::move(shortened));
    // The rescan's own lists may be short too.
    store.AppendAnalizeInfo({kRescanDirs, {"900", "200", "300"}, {"0", "1"}});
    EXPECT_EQ((TStringList{"1000", "900", "300"}), store.GlobalDirSizes());
    EXPECT_EQ(TStringList{"0"}, store.GlobalPercents());
}

// Lists a scan does not store (unequal lengths, out of order, duplicates):
// the in-place update, indexed, equals the plain search.
TEST(AppendAnalizeInfo, OutsideTheStoredFormEqualsTheFirstMatchSearchOnRandomLists) {
    std::mt19937 random(11);
    // Few distinct names, so there are duplicates, case twins and drive
    // letters in both cases; some stored lists are sorted, some not.
    const char* names[] = {"C:",    "c:", "C:\\a", "c:\\a",    "C:\\A", "C:\\a\\b",
                           "D:\\a", "Ca", "ca",    "C:\\\xe9", ""};
    auto pick = [&] { return std::string(names[random() % std::size(names)]); };
    // Lists of 100 to 200 entries: long enough for equal paths to be
    // reordered by any sort that is not stable.
    for (int round = 0; round < 300; ++round) {
        TResultStore indexed("");
        std::vector<std::string> stored(100 + random() % 101);
        std::generate(stored.begin(), stored.end(), pick);
        if (random() % 2 == 0) {
            std::sort(stored.begin(), stored.end());
        }
        TStoredSet plain;
        plain.Dirs.assign(stored.begin(), stored.end());
        std::size_t n = plain.Dirs.size();
        plain.Sizes.assign(n - (n > 0 && random() % 4 == 0), "s");
        // One entry too many: never the stored form.
        plain.Percents.assign(n + 1, "p");
        indexed.ReplaceGlobal(plain);
        TStringList dirs, sizes, percents;
        for (std::size_t k = random() % 40; k > 0; --k)
            dirs.push_back(pick());
        for (std::size_t k = 0; k < dirs.size(); ++k) {
            sizes.push_back("s" + std::to_string(k));
            percents.push_back("p" + std::to_string(k));
        }
        indexed.AppendAnalizeInfo({dirs, sizes, percents});
        PlainMerge(plain, dirs, sizes, percents);
        ASSERT_EQ(plain.Sizes, indexed.GlobalDirSizes()) << "round " << round;
        ASSERT_EQ(plain.Percents, indexed.GlobalPercents()) << "round " << round;
    }
}

TEST(ResultStoreIndex, FindsTheFirstOfEqualPaths) {
    TStringList unsorted = {"C:\\b", "C:\\a", "c:\\b", "C:\\a", "C:"};
    TResultStoreIndex index(unsorted);
    EXPECT_EQ(0u, index.Find("C:\\b"));
    EXPECT_EQ(0u, index.Find("c:\\b"));
    EXPECT_EQ(1u, index.Find("C:\\a"));
    EXPECT_EQ(4u, index.Find("c:"));
    EXPECT_EQ(TResultStoreIndex::npos, index.Find("C:\\B"));
    EXPECT_EQ(TResultStoreIndex::npos, TResultStoreIndex(TStringList{}).Find("C:"));
}

namespace {

// A random folder tree as drive C:, scanned whole and rescanned in part.
// Names come from a small pool so that case twins ("a", "A"), names around
// the backslash in byte order ("a b", "a[", "a]"), names that are escaped in
// the stored paths ("%", "%25", "%5C", "x\y") and non-ASCII bytes meet.
class TRandomDrive {
  public:
    explicit TRandomDrive(unsigned seed)
        : random_(seed), table_(TDriveTable({TDrive{'C', dir_.Path()}})) {
        Grow("", 3);
    }

    // Folders below the drive root, relative native paths ("" is the root).
    std::vector<std::string> Folders(const std::string& below = "") const {
        std::vector<std::string> folders{below};
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Native(below)))
            if (entry.is_directory() && !entry.is_symlink())
                folders.push_back(entry.path().string().substr(dir_.Path().size() + 1));
        std::sort(folders.begin(), folders.end());
        return folders;
    }

    std::string Pick(const std::vector<std::string>& from) { return from[random_() % from.size()]; }

    // Files grow, shrink, come and go; folders come and go; all at or below
    // folder.
    void ChangeInside(const std::string& folder) {
        for (int change = 1 + static_cast<int>(random_() % 5); change > 0; --change) {
            const std::vector<std::string> folders = Folders(folder);
            const std::string target = Pick(folders);
            std::vector<std::string> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(Native(folder)))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            switch (random_() % 5) {
                case 0:
                    AddFile(target);
                    break;
                case 1:
                    if (!files.empty())
                        std::filesystem::resize_file(Pick(files), Size());
                    break;
                case 2:
                    if (!files.empty())
                        std::filesystem::remove(Pick(files));
                    break;
                case 3:
                    Grow(target, 2);
                    break;
                default:
                    if (folders.size() > 1)
                        std::filesystem::remove_all(
                            Native(folders[1 + random_() % (folders.size() - 1)]));
            }
        }
    }

    // The drive form of a folder, its letter in either case now and then.
    std::string DriveForm(const std::string& folder) {
        std::string form = random_() % 4 == 0 ? "c:" : "C:";
        std::size_t from = 0;
        while (from < folder.size()) {
            std::size_t end = folder.find('/', from);
            if (end == std::string::npos)
                end = folder.size();
            form += "\\" + EscapeName(folder.substr(from, end - from));
            from = end + 1;
        }
        return folder.empty() ? form + "\\" : form;
    }

  private:
    std::string Native(const std::string& folder) const {
        return folder.empty() ? dir_.Path() : dir_ / folder;
    }
    long long Size() { return static_cast<long long>(random_() % 3 == 0 ? 0 : random_() % 100000); }
    void AddFile(const std::string& folder) {
        dir_.MakeFile((folder.empty() ? "" : folder + "/") + "f" + std::to_string(files_++),
                      Size());
    }
    void Grow(const std::string& folder, int depth) {
        static const char* const kNames[] = {"a", "A", "a b", "a!",  "a[",   "a]",
                                             "b", "%", "%25", "%5C", "x\\y", "\xc3\xa9"};
        for (int file = static_cast<int>(random_() % 3); file > 0; --file)
            AddFile(folder);
        if (depth == 0)
            return;
        for (int sub = static_cast<int>(random_() % 4); sub > 0; --sub) {
            const std::string name = kNames[random_() % std::size(kNames)];
            const std::string path = folder.empty() ? name : folder + "/" + name;
            dir_.MakeDir(path);
            Grow(path, depth - 1);
        }
    }

    std::mt19937 random_;
    TTempDir dir_;
    TScopedDriveTable table_;
    int files_ = 0;
};

void Scan(const std::string& directory, TStringList& dirs, TStringList& sizes,
          TStringList& percents) {
    TAnalizeDisk analyzer;
    analyzer.Directory = directory;
    analyzer.Recurse = true;
    analyzer.Execute();
    dirs = analyzer.Dirs();
    sizes = analyzer.DirSizes();
    percents = analyzer.Percents();
}

std::string StoredBytes(const TResultStore& store) {
    return ReadBytes(store.DirsFile) + "|" + ReadBytes(store.DirSizesFile) + "|" +
           ReadBytes(store.PercentsFile);
}

}  // namespace

// After rescans of folders that alone changed, the lists are those of a
// fresh scan of the whole drive, and so are the stored files, byte for byte.
TEST(AppendAnalizeInfo, StoresWhatAFreshScanOfTheWholeDriveStores) {
    TTempFolder merged, fresh;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TRandomDrive drive(seed);
        TResultStore store(merged.Slash());
        TStringList dirs, sizes, percents;
        Scan("C:\\", dirs, sizes, percents);
        store.ReplaceGlobal({dirs, sizes, percents});
        // Several rescans in a row, each merged into the previous merge.
        for (int rescan = 0; rescan < 4; ++rescan) {
            const std::vector<std::string> folders = drive.Folders();
            const std::string folder = rescan == 3 && seed % 5 == 0 ? "" : drive.Pick(folders);
            drive.ChangeInside(folder);
            const std::string form = drive.DriveForm(folder);
            Scan(form, dirs, sizes, percents);
            store.AppendAnalizeInfo({dirs, sizes, percents});
            Scan("C:\\", dirs, sizes, percents);
            ASSERT_EQ(dirs, store.GlobalDirs()) << "seed " << seed << ", rescan of " << form;
            ASSERT_EQ(sizes, store.GlobalDirSizes()) << "seed " << seed << ", rescan of " << form;
            ASSERT_EQ(percents, store.GlobalPercents())
                << "seed " << seed << ", rescan of " << form;
        }
        if (seed % 8 == 0) {
            TResultStore reference(fresh.Slash());
            store.SetFiles("C:");
            reference.SetFiles("C:");
            ASSERT_TRUE(store.SaveGlobalSLS());
            ASSERT_TRUE(reference.SaveAnalizeData({dirs, sizes, percents}));
            ASSERT_EQ(StoredBytes(reference), StoredBytes(store)) << "seed " << seed;
        }
    }
}

// Whatever roots hand-edited lists hold, lists the loader takes stay lists
// the loader takes after a merge: the save of a merge must load again.
TEST(AppendAnalizeInfo, ListsTheLoaderTakesStayInItsOrderOnRandomRoots) {
    const std::vector<std::string> roots = {" ", "B:", "C:", "C::", "C:Xa", "C:z", "D:", "c:"};
    const std::vector<std::string> below = {"C:\\a", "C:\\a\\x", "C:\\b", "C:\\a\\x\\y", "D:\\a"};
    std::mt19937 random(17);
    int merged = 0;
    for (int round = 0; round < 400; ++round) {
        // Random roots first, then random other paths, each part in byte order.
        std::vector<std::string> first, rest;
        for (const std::string& r : roots)
            if (random() % 3 == 0)
                first.push_back(r);
        for (const std::string& b : below)
            if (random() % 2 == 0)
                rest.push_back(b);
        std::sort(first.begin(), first.end());
        TResultStore store("");
        first.insert(first.end(), rest.begin(), rest.end());
        TStoredSet lists;
        lists.Dirs.assign(first.begin(), first.end());
        lists.Sizes.assign(lists.Dirs.size(), "100");
        lists.Percents.assign(lists.Dirs.size(), "50");
        store.ReplaceGlobal(std::move(lists));
        if (store.GlobalDirs().empty() ||
            !CheckResultLists(store.GlobalPercents(), store.GlobalDirs(), store.GlobalDirSizes(),
                              {})
                 .empty())
            continue;  // not lists the loader would take
        const TStringList before = store.GlobalDirs();
        const bool atRoot = random() % 4 == 0;
        const TStringList dirs =
            atRoot ? TStringList{"C:", "C:\\a"} : TStringList{"C:\\a", "C:\\a\\new", "C:\\a\\x"};
        store.AppendAnalizeInfo(
            {dirs, TStringList(dirs.size(), "10"), TStringList(dirs.size(), "1")});
        merged += store.GlobalDirs() != before;
        EXPECT_EQ(CheckResultLists(store.GlobalPercents(), store.GlobalDirs(),
                                   store.GlobalDirSizes(), {}),
                  "")
            << ::testing::PrintToString(before);
    }
    EXPECT_GT(merged, 50);  // the merge itself ran, not only the in-place update
}

namespace {

// Lists that are not whole (an ancestor smaller than the folder it holds,
// as only hand-edited files have) take a rescan that shrinks the folder to
// exactly nothing above it, never below: at the limit and past it.
TEST(MergeRescan, AnAncestorSmallerThanTheFolderStopsAtZero) {
    for (const int past : {0, 1}) {
        TStringList dirs{"C:", "C:\\a", "C:\\a\\b"};
        TStringList sizes{std::to_string(60 - past), "40", "100"};
        TStringList percents{"0", "100", "100"};
        ASSERT_TRUE(MergeRescan(dirs, sizes, percents, {"C:\\a\\b"}, {"40"}, {"0"}));
        // b lost 60: a goes from 40 to 0 (not -20), the root from 60 to 0.
        EXPECT_EQ(sizes, (TStringList{"0", "0", "40"})) << past;
    }
}

}  // namespace
