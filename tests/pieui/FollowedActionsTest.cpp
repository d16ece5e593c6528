// The stored analysis after the item commands: a random series of Move to
// Trash (of one item or of several at once, followed as one change), Rename,
// Copy-and-Paste and Cut-and-Paste on a real temporary drive,
// run through the code the item menu runs and followed in the store as the
// window does (the change made to the lists shown, stored behind them).
// Files acted on have often grown or shrunk since the scan. After every
// command the stored set (the three lists, the allocated bytes, and the
// Discover data down to each list's floor) equals what a fresh scan of the
// whole drive stores; on a drive with hard links
// across folders, where only a scan can tell which folder counts a file,
// no total goes below zero.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell/FollowedActions.h"
#include "app/shell/ManyFollowed.h"
#include "engine/AnalizeDisk.h"
#include "engine/DetachedSave.h"
#include "engine/DiscoverData.h"
#include "engine/DiscoverRole.h"
#include "engine/DiskSizeList.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "platform/DriveTable.h"

using namespace cq::desktop;
namespace fs = std::filesystem;

namespace {

// Names that sort next to each other in byte order ("a" < "a b" < "a-b" <
// "a.b" < "a\..." < "ab"), case twins, and the bytes the drive form escapes.
const char* const kNames[] = {"a", "a b", "a-b",         "a.b",     "A",  "ab",
                              "b", "50%", "back\\slash", ".hidden", "z~", "Zz"};

// Where the trash lies: in the drive (its folders and info files are then
// part of every scan) or beside it on the same file system (trashed items
// leave the drive's lists); and whether files have hard links across
// folders.
class FollowedActions : public ::testing::TestWithParam<std::tuple<bool, bool>> {
  protected:
    bool TrashInTheDrive() const { return std::get<0>(GetParam()); }
    bool HardLinks() const { return std::get<1>(GetParam()); }

    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        drive_ = root_.path().toStdString() + "/drive";
        const std::string dataHome =
            TrashInTheDrive() ? drive_ + "/share" : root_.path().toStdString() + "/share";
        fs::create_directories(dataHome);
        fs::create_directories(root_.path().toStdString() + "/results");
        qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString(dataHome)));
        trashHome_ = dataHome;
        table_ = std::make_unique<TScopedDriveTable>(TDriveTable({TDrive{'T', drive_}}));
        // The result files lie outside the drive they describe.
        store_ = std::make_unique<TResultStore>(root_.path().toStdString() + "/results/");
        store_->SetFiles("T:");
    }
    void TearDown() override { fs::remove_all(root_.path().toStdString()); }

    void MakeTree(int depth, const std::string& folder) {
        fs::create_directories(folder);
        const int entries = Pick(4) + 2 + depth;
        for (int i = 0; i < entries; ++i) {
            const std::string path = folder + "/" + kNames[Pick(std::size(kNames))];
            if (fs::exists(fs::symlink_status(path)))
                continue;
            const int kind = Pick(10);
            if (kind < 4 && depth > 0) {
                MakeTree(depth - 1, path);
            } else if (kind == 4) {
                fs::create_symlink("../elsewhere", path);
            } else if (kind == 5) {
                // A copy that meets it fails and takes its half-made copy
                // back to the trash.
                ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            } else if (kind == 6 && HardLinks() && !files_.empty()) {
                fs::create_hard_link(files_[static_cast<size_t>(Pick(files_.size()))], path);
            } else {
                std::ofstream(path) << std::string(static_cast<size_t>(Pick(5000)), 'x');
                files_.push_back(path);
            }
        }
    }

    TStoredSet Scan() const {
        TAnalizeDisk analyzer;
        analyzer.Directory = "T:\\";
        analyzer.Recurse = true;
        analyzer.Execute();
        TExtraLists extras = analyzer.TakeExtras();
        return {analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents(), std::move(extras)};
    }

    // A file the scan measured grows or shrinks before it is moved. Where
    // the command then leaves it in place (it failed), it is put back as
    // it was: only what a command moves can follow.
    struct TResized {
        std::string Path;
        std::uintmax_t Size = 0;
        fs::file_time_type Time;
    };
    std::optional<TResized> ChangeSize(const std::string& item) {
        if (Pick(2) == 0 || !fs::is_regular_file(fs::symlink_status(item)))
            return std::nullopt;
        TResized was{item, fs::file_size(item), fs::last_write_time(item)};
        fs::resize_file(item, static_cast<std::uintmax_t>(Pick(9000)));
        return was;
    }
    static void PutBackIfThere(const std::optional<TResized>& was) {
        if (!was || !fs::is_regular_file(fs::symlink_status(was->Path)))
            return;
        fs::resize_file(was->Path, was->Size);
        fs::last_write_time(was->Path, was->Time);
    }

    // As the window does: the change made to the lists shown, then stored
    // by the save that runs behind them.
    void Follow(const TFollowPlan& plan) {
        if (!PlanTouchesStore(*store_, plan))
            return;
        auto moved = std::make_shared<std::optional<std::int64_t>>();
        const std::unique_ptr<TDetachedSave> job =
            TDetachedSave::BeginChange(*store_, FollowChange(plan, moved));
        job->Run();
        job->Finish();
        ASSERT_TRUE(job->Saved()) << job->Error();
    }

    // Every item of the drive but its root and the trash's data home.
    std::vector<std::string> Items(bool foldersOnly) const {
        std::vector<std::string> items;
        for (auto it = fs::recursive_directory_iterator(drive_); it != fs::end(it); ++it) {
            if (it->path().string().rfind(trashHome_, 0) == 0) {
                it.disable_recursion_pending();
                continue;
            }
            if (!foldersOnly || fs::is_directory(it->symlink_status()))
                items.push_back(it->path().string());
        }
        if (foldersOnly)
            items.push_back(drive_);
        return items;
    }

    // One random command, as the menu runs it: a move to the trash, a
    // rename, or (more often, as they have more ways to go) a copy or a cut
    // of one or two items into a folder, a copy cancelled at its first
    // file now and then. Returns what it was.
    std::string RunOne() {
        const std::vector<std::string> items = Items(false);
        if (items.empty())
            return "nothing to act on";
        const std::string item = items[static_cast<size_t>(Pick(items.size()))];
        TFollowedAction done;
        std::optional<TResized> resized;
        std::string what;
        const int command = Pick(10);
        switch (command < 2 ? 0 : command < 4 ? 1 : 2) {
            case 0:
                resized = ChangeSize(item);
                if (Pick(2) == 0) {
                    const std::vector<std::string> many = SeveralBeside(items, item);
                    done = TrashManyFollowed(many);
                    what = "trash " + std::to_string(many.size()) + " items from " + item;
                    break;
                }
                done = TrashFollowed(item);
                what = "trash " + item;
                break;
            case 1: {
                const QString name = QFile::decodeName(kNames[Pick(std::size(kNames))]);
                resized = ChangeSize(item);
                done = RenameFollowed(item, name);
                what = "rename " + item + " to " + name.toStdString();
                break;
            }
            default: {
                TClipboardItems clip{Pick(2) == 0, {item}};
                if (clip.cut)
                    resized = ChangeSize(item);
                if (Pick(3) == 0)
                    clip.paths.push_back(items[static_cast<size_t>(Pick(items.size()))]);
                const std::vector<std::string> folders = Items(true);
                const std::string into = folders[static_cast<size_t>(Pick(folders.size()))];
                TCopyProgress progress;
                progress.cancel = Pick(4) == 0;
                done = PasteFollowed(clip, into, &progress);
                what = std::string(clip.cut ? "cut " : "copy ") + item + " into " + into;
            }
        }
        PutBackIfThere(resized);
        Follow(done.Plan);
        return what + (done.Result.ok ? "" : " (failed: " + done.Result.error.toStdString() + ")");
    }

    // The item and up to seven more, none inside another chosen folder (the
    // menu of many items leaves those out: they go with their folder).
    std::vector<std::string> SeveralBeside(const std::vector<std::string>& items,
                                           const std::string& first) {
        std::vector<std::string> chosen{first};
        const int more = 1 + Pick(7);
        for (int i = 0; i < more; ++i) {
            const std::string& next = items[static_cast<size_t>(Pick(items.size()))];
            bool related = false;
            for (const std::string& c : chosen)
                related = related || next == c || next.rfind(c + "/", 0) == 0 ||
                          c.rfind(next + "/", 0) == 0;
            if (!related)
                chosen.push_back(next);
        }
        return chosen;
    }

    int Pick(std::size_t n) { return static_cast<int>(rng_() % n); }

    QTemporaryDir root_;
    std::string drive_, trashHome_;
    std::unique_ptr<TScopedDriveTable> table_;
    std::unique_ptr<TResultStore> store_;
    std::vector<std::string> files_;  // made by MakeTree, for hard links
    std::mt19937 rng_;
};

// The first line where two lists differ, for the failure message.
std::string FirstDifference(const TStringList& stored, const TStringList& scanned) {
    for (std::size_t i = 0; i < std::max(stored.size(), scanned.size()); ++i) {
        const std::string a = i < stored.size() ? std::string(stored[i]) : "<end>";
        const std::string b = i < scanned.size() ? std::string(scanned[i]) : "<end>";
        if (a != b)
            return "line " + std::to_string(i) + ": stored " + a + ", scan " + b;
    }
    return "none";
}

const TStringList& DiskSizesOf(const TStoredSet& set) {
    static const TStringList none;
    const auto it = set.Extras.find(kDiskSizesRole);
    return it == set.Extras.end() ? none : it->second;
}

// The stored list holds the fresh scan's files larger than its floor.
void ExpectDownToFloor(const TFileList& stored, const std::vector<TLargeFile>& fresh,
                       const std::string& what) {
    std::vector<TLargeFile> expected;
    for (const TLargeFile& f : fresh)
        if (f.Size > stored.Floor)
            expected.push_back(f);
    ASSERT_EQ(stored.Files.size(), expected.size()) << what << " floor " << stored.Floor;
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_TRUE(stored.Files[i] == expected[i])
            << what << ": " << stored.Files[i].Path << " against " << expected[i].Path;
}

// The Discover data as stored follows the drive: its largest files and
// each type's down to their floors, and the type table itself unless it
// says it is as of the last drive scan (an item went where it could not
// be measured).
void ExpectDiscoverFollows(const TStoredSet& stored, const TStoredSet& now,
                           const std::string& history) {
    TDiscoverData kept, fresh;
    std::string error;
    ASSERT_TRUE(stored.Extras.count(std::string(kDiscoverRole))) << history;
    ASSERT_TRUE(TDiscoverData::FromLines(stored.Extras.at(std::string(kDiscoverRole)), kept, error))
        << error;
    ASSERT_TRUE(TDiscoverData::FromLines(now.Extras.at(std::string(kDiscoverRole)), fresh, error))
        << error;
    ExpectDownToFloor({kept.Largest, kept.Floor}, fresh.Largest, history + "largest");
    if (kept.TypesAsOfDriveScan)
        return;
    ASSERT_TRUE(kept.Types == fresh.Types) << history;
    for (const auto& [ext, list] : fresh.TypeFiles) {
        ASSERT_EQ(kept.TypeFiles.count(ext), 1u) << history << "type " << ext;
        ExpectDownToFloor(kept.TypeFiles.at(ext), list.Files, history + "type " + ext);
    }
}

void ExpectNoTotalBelowZero(const TStoredSet& set, const std::string& history) {
    for (const TStringList* list : {&set.Sizes, &DiskSizesOf(set)})
        for (std::size_t i = 0; i < list->size(); ++i)
            ASSERT_GE(StoredSizeOf((*list)[i]), 0) << history << "line " << i;
}

TEST_P(FollowedActions, RandomCommandsLeaveTheStoredSetAFreshScanWouldStore) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        rng_.seed(seed);
        files_.clear();
        fs::remove_all(drive_);
        fs::remove_all(trashHome_);
        fs::create_directories(trashHome_);
        MakeTree(3, drive_);
        ASSERT_TRUE(store_->SaveAnalizeData(Scan()));
        ASSERT_TRUE(store_->LoadGlobal());
        std::string history;
        for (int step = 0; step < 25; ++step) {
            history += RunOne() + "\n";
            const TStoredSet now = Scan();
            // The files as stored, read back.
            TResultStore stored(store_->DataFolder);
            stored.SetFiles("T:");
            ASSERT_TRUE(stored.LoadGlobal()) << stored.LoadNotice;
            ASSERT_TRUE(stored.Global().Extras.count(std::string(kDiskSizesRole))) << history;
            if (HardLinks()) {
                ExpectNoTotalBelowZero(stored.Global(), history);
                continue;
            }
            ASSERT_EQ(stored.GlobalDirs(), now.Dirs)
                << history << FirstDifference(stored.GlobalDirs(), now.Dirs);
            ASSERT_EQ(stored.GlobalDirSizes(), now.Sizes)
                << history << FirstDifference(stored.GlobalDirs(), now.Dirs) << "\n"
                << FirstDifference(stored.GlobalDirSizes(), now.Sizes);
            ASSERT_EQ(stored.GlobalPercents(), now.Percents)
                << history << FirstDifference(stored.GlobalPercents(), now.Percents);
            ASSERT_EQ(DiskSizesOf(stored.Global()), DiskSizesOf(now))
                << history << FirstDifference(DiskSizesOf(stored.Global()), DiskSizesOf(now));
            ExpectDiscoverFollows(stored.Global(), now, history);
            if (HasFatalFailure())
                return;
            ASSERT_EQ(store_->GlobalDirs(), now.Dirs);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TrashInOrBesideTheDrive, FollowedActions,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "TrashInTheDrive"
                                                                        : "TrashBesideTheDrive") +
                                    (std::get<1>(info.param) ? "WithHardLinks" : "");
                         });

}  // namespace
