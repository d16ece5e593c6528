// Which result files the loader trusts, and what a later save makes of them:
// saves cut off at every step, files edited by hand, older sets restored
// whole, and kept files or manifests that are no regular files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <vector>

#include "engine/ResultFileText.h"
#include "engine/ResultStore.h"
#include "tests/store/DriveCFolderTest.h"
#include "tests/store/MarkedSet.h"

namespace {

using TSet = TMarkedSet;

constexpr const char* kNames[3] = {"CPercents", "CDirs", "CDirSizes"};

class ResultTrustTest : public TDriveCFolderTest {
  protected:
    // Saves in a child that dies at once after step crash (-1: never), as a
    // kill -9 would.
    void SaveAndDie(const TSet& set, int crash) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TResultStore store = Store();
            store.SaveStepHook = [crash](int step) {
                if (step == crash)
                    _exit(7);
            };
            _exit(store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents}) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(crash < 0 ? 0 : 7, WEXITSTATUS(status)) << "crash step " << crash;
    }

    void WriteList(int i, const TStringList& lines) {
        WriteBytes(File(kNames[i]), JoinResultLines(lines));
    }

    // Loads in a child that a hang would not hold up: false when the child
    // did not end within seconds, or the load was refused or gave other lists.
    bool LoadEnds(bool& loaded, std::string& notice) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return false;
        const pid_t child = fork();
        if (child == 0) {
            close(pipeFds[0]);
            alarm(20);
            TResultStore store = Store();
            const bool ok = store.LoadGlobal();
            const std::string text = (ok ? "1" : "0") + store.LoadNotice;
            ssize_t written = write(pipeFds[1], text.data(), text.size());
            _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
        }
        close(pipeFds[1]);
        std::string text;
        char buffer[512];
        for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        close(pipeFds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
            return false;
        loaded = text[0] == '1';
        notice = text.substr(1);
        return true;
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

// A model of what the files hold: the set the user sees, and the one the
// manifest records as saved last. Whatever happens, the loader shows the set
// the user sees, says so exactly when that is not the one saved last, and a
// change stored by a window that loaded long before goes into the set the
// user sees, never into an older one.
TEST_F(ResultTrustTest, RandomCutOffSavesEditsAndRestoresNeverFallBackSilentlyNorGoBack) {
    std::mt19937 random(27);
    int serial = 0;
    TSet visible = MakeSet(++serial, 20);
    ASSERT_TRUE(Store().SaveAnalizeData({visible.Dirs, visible.Sizes, visible.Percents}));
    TSet recorded = visible;
    std::vector<TSet> older{visible};
    bool torn = false;  // the result files are a mix left by a cut-off save
    TResultStore window = Store();
    ASSERT_TRUE(window.LoadGlobal());
    std::string expectedKind;
    for (int round = 0; round < 160; ++round) {
        const int what = static_cast<int>(random() % 10);
        expectedKind.clear();
        if (what < 4) {
            // A save, cut off after any step or not at all.
            const int crash = static_cast<int>(random() % 7) - 1;
            const TSet next = MakeSet(++serial, 2 + random() % 40);
            SaveAndDie(next, crash);
            if (crash < 0 || crash == 5) {
                visible = recorded = next;
                torn = false;
            } else if (crash >= 2) {
                recorded = next;
                torn = crash > 2;
                expectedKind = "was interrupted";
            } else if (crash == 1) {
                torn = false;  // the files are made the whole set before it again
            }
        } else if (what < 6 && !torn) {
            // One file edited by hand, still a set the loader takes.
            const int file = static_cast<int>(random() % 3);
            TStringList& list = visible.List(file);
            const std::size_t line = list.size() - 1;
            list.Set(line, std::string(list[line]) + (file == 1 ? "x" : "7"));
            WriteList(file, list);
            expectedKind = "changed outside";
        } else if (what < 8) {
            // An older set put back whole, as from a backup.
            const TSet& back = older[random() % older.size()];
            for (int i = 0; i < 3; ++i)
                WriteList(i, const_cast<TSet&>(back).List(i));
            visible = back;
            torn = false;
        } else {
            // The window, holding what it loaded some time ago, stores a change.
            const std::string size = std::to_string(1000000 + round);
            ASSERT_TRUE(window.UpdateStoredSet([&](TStoredSet& set) {
                set.Sizes.Set(0, size);
                set.DropExtras();
            })) << window.SaveError;
            visible.Sizes.Set(0, size);
            recorded = visible;
            torn = false;
            EXPECT_TRUE(window.GlobalDirs() == visible.Dirs &&
                        window.GlobalDirSizes() == visible.Sizes)
                << "round " << round;
        }
        older.push_back(visible);
        TResultStore store = Store();
        ASSERT_TRUE(store.LoadGlobal()) << "round " << round << ": " << store.LoadNotice;
        ASSERT_TRUE(TSet({store.GlobalDirs(), store.GlobalDirSizes(), store.GlobalPercents()}) ==
                    visible)
            << "round " << round << ", operation " << what;
        EXPECT_EQ(visible != recorded, !store.LoadNotice.empty())
            << "round " << round << ": " << store.LoadNotice;
        if (!expectedKind.empty()) {
            EXPECT_TRUE(Has(store.LoadNotice, expectedKind))
                << "round " << round << ": " << store.LoadNotice;
        }
        if (random() % 4 == 0) {
            ASSERT_TRUE(window.LoadGlobal());
        }
    }
}

// Files that match neither set the manifest records are loaded as they are,
// told once, and the next save records them as the set it replaces.
TEST_F(ResultTrustTest, FilesChangedOutsideAreUsedAndTheNextSaveKeepsThemAsTheSetBefore) {
    const TSet first = MakeSet(1, 10), second = MakeSet(2, 12);
    ASSERT_TRUE(Store().SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}));
    TSet edited = first;
    edited.Sizes.Set(3, "99");
    WriteList(2, edited.Sizes);
    TResultStore store = Store();
    ASSERT_TRUE(store.LoadGlobal()) << store.LoadNotice;
    EXPECT_EQ(store.GlobalDirSizes(), edited.Sizes);
    EXPECT_EQ(store.LoadNotice,
              "The result files of drive C: were changed outside the program since they were last "
              "saved; they are used as they are now.");
    EXPECT_EQ(store.TakeLoadNotice(), store.LoadNotice);
    // A save cut off after its first rename falls back on the edited files.
    SaveAndDie(second, 3);
    ASSERT_TRUE(store.LoadGlobal()) << store.LoadNotice;
    EXPECT_EQ(store.GlobalDirSizes(), edited.Sizes);
    EXPECT_TRUE(Has(store.LoadNotice, "was interrupted")) << store.LoadNotice;
    SaveAndDie(second, -1);
    ASSERT_TRUE(store.LoadGlobal());
    EXPECT_EQ(store.GlobalDirs(), second.Dirs);
    EXPECT_EQ(store.LoadNotice, "");
    // Lists of unequal length are still refused.
    WriteList(1, MakeSet(3, 10).Dirs);
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_TRUE(Has(store.LoadNotice, "CDirs has 10 lines")) << store.LoadNotice;
}

// A FIFO, a link to /dev/zero and a folder in the place of each kept file
// and of the manifest: the load ends at once and refuses what it cannot
// check; a save afterwards stores the new set.
TEST_F(ResultTrustTest, KeptFilesAndManifestsThatAreNoRegularFilesAreNeverRead) {
    const TSet first = MakeSet(1, 30), second = MakeSet(2, 40), third = MakeSet(3, 50);
    const std::string targets[] = {".CPercents.previous", ".CDirs.previous", ".CDirSizes.previous",
                                   "CSet"};
    const char* kinds[] = {"fifo", "zero", "folder"};
    for (const std::string& target : targets) {
        for (const char* kind : kinds) {
            const std::string what = target + " as " + kind;
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
                std::filesystem::remove_all(entry.path());
            TResultStore before = Store();
            ASSERT_TRUE(before.SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}))
                << what << ": " << before.SaveError;
            SaveAndDie(second, 3);  // the files a mix: the kept set is needed
            ASSERT_EQ(0, unlink(File(target).c_str()));
            if (kind == std::string("fifo"))
                ASSERT_EQ(0, mkfifo(File(target).c_str(), 0600));
            else if (kind == std::string("zero"))
                ASSERT_EQ(0, symlink("/dev/zero", File(target).c_str()));
            else
                ASSERT_TRUE(std::filesystem::create_directory(File(target)));
            bool loaded = true;
            std::string notice;
            ASSERT_TRUE(LoadEnds(loaded, notice)) << what << ": the load did not end";
            EXPECT_FALSE(loaded) << what;
            EXPECT_TRUE(Has(notice, target == "CSet" ? "CSet is damaged" : "a mix of two saves"))
                << what << ": " << notice;
            TResultStore store = Store();
            const bool saved = store.SaveAnalizeData({third.Dirs, third.Sizes, third.Percents});
            if (target == "CSet" && kind == std::string("folder")) {
                // Nothing replaces a folder of the user's.
                EXPECT_FALSE(saved) << what;
                EXPECT_TRUE(Has(store.SaveError, File("CSet"))) << what << ": " << store.SaveError;
                continue;
            }
            ASSERT_TRUE(saved) << what << ": " << store.SaveError;
            ASSERT_TRUE(LoadEnds(loaded, notice)) << what;
            EXPECT_TRUE(loaded) << what << ": " << notice;
            EXPECT_EQ(notice, "") << what;
        }
    }
    // A result file itself may only be a regular file: a link is not followed.
    std::filesystem::remove_all(File("CSet"));
    ASSERT_TRUE(Store().SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}));
    std::filesystem::rename(File("CDirs"), File("elsewhere"));
    ASSERT_EQ(0, symlink(File("elsewhere").c_str(), File("CDirs").c_str()));
    TResultStore store = Store();
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_TRUE(Has(store.LoadNotice, File("CDirs") + ": is a link")) << store.LoadNotice;
    ASSERT_EQ(0, unlink(File("CDirs").c_str()));
    ASSERT_EQ(0, mkfifo(File("CDirs").c_str(), 0600));
    bool loaded = true;
    std::string notice;
    ASSERT_TRUE(LoadEnds(loaded, notice)) << "a FIFO as CDirs: the load did not end";
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(Has(notice, File("CDirs") + ": is not a regular file")) << notice;
}

// The global lists are changed on the set on disk: in memory when nothing
// was saved since they were loaded, else on what another save stored; a
// set that cannot be used is not written over, and the lists stay.
TEST_F(ResultTrustTest, UpdateStoredSetChangesTheSetAsItIsOnDisk) {
    const TSet first = MakeSet(1, 10), second = MakeSet(2, 10);
    ASSERT_TRUE(Store().SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}));
    // Written well before the load: an edit after it would show in the times.
    for (const char* name : {"CPercents", "CDirs", "CDirSizes", "CSet"})
        std::filesystem::last_write_time(
            File(name), std::filesystem::last_write_time(File(name)) - std::chrono::hours(1));
    TResultStore window = Store();
    ASSERT_TRUE(window.LoadGlobal());
    auto change = [](TStoredSet& set) {
        set.Sizes.Set(1, "5");
        set.DropExtras();
    };
    // In memory: what is changed is the lists, not a fresh read of the files
    // (a rescan merged into them only in memory is stored with the change).
    window.AppendAnalizeInfo({{first.Dirs[2]}, {"77"}, {"0"}});
    ASSERT_TRUE(window.UpdateStoredSet(change)) << window.SaveError;
    TResultStore check = Store();
    ASSERT_TRUE(check.LoadGlobal());
    std::size_t rescanned = 0;
    while (rescanned < check.GlobalDirs().size() && check.GlobalDirs()[rescanned] != first.Dirs[2])
        ++rescanned;
    ASSERT_LT(rescanned, check.GlobalDirs().size());
    EXPECT_EQ(check.GlobalDirSizes()[rescanned], "77");
    EXPECT_EQ(check.GlobalDirSizes()[1], "5");
    // Saved by another meanwhile: that is changed, and the window holds it.
    ASSERT_TRUE(Store().SaveAnalizeData({second.Dirs, second.Sizes, second.Percents}));
    ASSERT_TRUE(window.UpdateStoredSet(change)) << window.SaveError;
    ASSERT_TRUE(check.LoadGlobal());
    EXPECT_EQ(check.GlobalDirs(), second.Dirs);
    EXPECT_EQ(check.GlobalDirSizes()[1], "5");
    EXPECT_EQ(check.GlobalDirSizes()[2], second.Sizes[2]);
    EXPECT_EQ(window.GlobalDirs(), check.GlobalDirs());
    EXPECT_EQ(window.GlobalDirSizes(), check.GlobalDirSizes());
    // Older lists are never written over a newer set by a plain save either.
    ASSERT_TRUE(Store().SaveAnalizeData({first.Dirs, first.Sizes, first.Percents}));
    EXPECT_FALSE(window.SaveGlobalSLS());
    EXPECT_TRUE(Has(window.SaveError, "were saved again since they were loaded"))
        << window.SaveError;
    // A set that cannot be used is left as it is, and so are the lists.
    const std::string damaged = "C:\r\nC:\\b\r\nC:\\a\r\n";
    WriteBytes(File("CDirs"), damaged);
    const TStringList before = window.GlobalDirs();
    EXPECT_FALSE(window.UpdateStoredSet(change));
    EXPECT_TRUE(Has(window.SaveError, "cannot be used")) << window.SaveError;
    EXPECT_EQ(window.SaveError, window.LoadNotice);
    EXPECT_EQ(window.GlobalDirs(), before);
    EXPECT_EQ(ReadBytes(File("CDirs")), damaged);
}
