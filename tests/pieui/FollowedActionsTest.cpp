// The stored analysis after the item commands: a random series of Move to
// Trash, Rename, Copy-and-Paste and Cut-and-Paste on a real temporary drive,
// run through the code the item menu runs and followed in the store as the
// menu does. After every command the stored set equals what a fresh scan of
// the whole drive stores.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/shell/FollowedActions.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "platform/DriveTable.h"

using namespace cq::desktop;
namespace fs = std::filesystem;

namespace {

// Names that sort next to each other in byte order ("a" < "a b" < "a-b" <
// "a.b" < "a\..." < "ab"), case twins, and the bytes the drive form escapes.
const char* const kNames[] = {"a", "a b", "a-b",         "a.b",     "A",  "ab",
                              "b", "50%", "back\\slash", ".hidden", "z~", "Zz"};

struct TScan {
    TStringList Dirs, Sizes, Percents;
};

// Where the trash lies: in the drive (its folders and info files are then
// part of every scan) or beside it on the same file system (trashed items
// leave the drive's lists).
class FollowedActions : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        drive_ = root_.path().toStdString() + "/drive";
        const std::string dataHome =
            GetParam() ? drive_ + "/share" : root_.path().toStdString() + "/share";
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
            } else {
                std::ofstream(path) << std::string(static_cast<size_t>(Pick(5000)), 'x');
            }
        }
    }

    TScan Scan() const {
        TAnalizeDisk analyzer;
        analyzer.Directory = "T:\\";
        analyzer.Recurse = true;
        analyzer.Execute();
        return {analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents()};
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
        std::optional<std::int64_t> moved;
        TFollowedAction done;
        std::string what;
        const int command = Pick(10);
        switch (command < 2 ? 0 : command < 4 ? 1 : 2) {
            case 0:
                done = TrashFollowed(item);
                what = "trash " + item;
                break;
            case 1: {
                const QString name = QFile::decodeName(kNames[Pick(std::size(kNames))]);
                done = RenameFollowed(item, name);
                what = "rename " + item + " to " + name.toStdString();
                break;
            }
            default: {
                TClipboardItems clip{Pick(2) == 0, {item}};
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
        FollowInStore(*store_, done.Plan, moved);
        return what + (done.Result.ok ? "" : " (failed: " + done.Result.error.toStdString() + ")");
    }

    int Pick(std::size_t n) { return static_cast<int>(rng_() % n); }

    QTemporaryDir root_;
    std::string drive_, trashHome_;
    std::unique_ptr<TScopedDriveTable> table_;
    std::unique_ptr<TResultStore> store_;
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

TEST_P(FollowedActions, RandomCommandsLeaveTheStoredSetAFreshScanWouldStore) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        rng_.seed(seed);
        fs::remove_all(drive_);
        fs::remove_all(trashHome_);
        fs::create_directories(trashHome_);
        MakeTree(3, drive_);
        const TScan first = Scan();
        ASSERT_TRUE(store_->SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}));
        ASSERT_TRUE(store_->LoadGlobal());
        std::string history;
        for (int step = 0; step < 25; ++step) {
            history += RunOne() + "\n";
            const TScan now = Scan();
            // The files as stored, read back.
            TResultStore stored(store_->DataFolder);
            stored.SetFiles("T:");
            ASSERT_TRUE(stored.LoadGlobal()) << stored.LoadNotice;
            ASSERT_EQ(stored.GlobalDirs(), now.Dirs)
                << history << FirstDifference(stored.GlobalDirs(), now.Dirs);
            ASSERT_EQ(stored.GlobalDirSizes(), now.Sizes)
                << history << FirstDifference(stored.GlobalDirs(), now.Dirs) << "\n"
                << FirstDifference(stored.GlobalDirSizes(), now.Sizes);
            ASSERT_EQ(stored.GlobalPercents(), now.Percents)
                << history << FirstDifference(stored.GlobalPercents(), now.Percents);
            ASSERT_EQ(store_->GlobalDirs(), now.Dirs);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TrashInOrBesideTheDrive, FollowedActions, ::testing::Bool(),
                         [](const auto& info) {
                             return info.param ? std::string("TrashInTheDrive")
                                               : std::string("TrashBesideTheDrive");
                         });

}  // namespace
