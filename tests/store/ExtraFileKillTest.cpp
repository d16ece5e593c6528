// Kill trials of saves whose sets hold both extra files (allocated bytes
// and Discover data): whatever a save is killed at, the next load finds the
// set before it or the set it stored, each whole with its own extra files,
// and the folder rescans after it carry them on. A folder rescan that
// leaves every size as it was (only the files' times change) is the case
// where both sets the manifest records have the same three files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "engine/ResultStore.h"
#include "tests/store/DriveCFolderTest.h"
#include "tests/store/ExtraTrialSets.h"

namespace {

namespace fs = std::filesystem;

bool Same(const TStoredSet& a, const TStoredSet& b) {
    return a.Dirs == b.Dirs && a.Sizes == b.Sizes && a.Percents == b.Percents &&
           a.Extras == b.Extras;
}

std::string Describe(const TStoredSet& set) {
    std::string text = std::to_string(set.Dirs.size()) + " folders, sizes";
    for (std::string_view size : set.Sizes)
        text.append(" ").append(size);
    text += ", extra files:";
    for (const auto& [role, lines] : set.Extras)
        text += " " + role + " (" + std::to_string(lines.size()) + " lines)";
    return text;
}

bool HaveStrace() {
    return std::system("strace -qq -o /dev/null -e trace=flock true 2>/dev/null") == 0;
}

class ExtraFileKillTest : public TDriveCFolderTest {
  protected:
    TStoredSet Loaded(std::string& notice) {
        TResultStore store = Store();
        EXPECT_TRUE(store.LoadGlobal()) << store.LoadNotice;
        notice = store.LoadNotice;
        return store.Global();
    }

    // After a save of next over whole (loaded with wholeNotice) was killed:
    // one of the two loads, extra files and all, and no extra file is told
    // lost.
    TStoredSet ExpectOneWhole(const TStoredSet& whole, const std::string& wholeNotice,
                              const TStoredSet& next, const std::string& what,
                              std::string& notice) {
        const TStoredSet loaded = Loaded(notice);
        // With the same three lists no mix of files can come about: the set
        // before loads as it did, or the new one as saved, without a word.
        if (next.Dirs == whole.Dirs && next.Sizes == whole.Sizes &&
            next.Percents == whole.Percents) {
            EXPECT_EQ(notice, Same(loaded, next) ? "" : wholeNotice) << what;
        }
        EXPECT_TRUE(Same(loaded, whole) || Same(loaded, next))
            << what << ": loaded " << Describe(loaded) << "; before " << Describe(whole)
            << "; saved " << Describe(next);
        for (const char* lost : {"damaged", "missing", "changed outside"})
            EXPECT_EQ(notice.find(lost), std::string::npos) << what << ": " << notice;
        return loaded;
    }

    // The next folder rescan stores both extra files again, merged.
    void ExpectRescansCarryOn(const TStoredSet& loaded, const std::string& what) {
        TStoredSet expected = loaded;
        trial::Rescan(expected, 99, 1);
        TResultStore store = Store();
        ASSERT_TRUE(store.UpdateStoredSet([](TStoredSet& set) { trial::Rescan(set, 99, 1); }))
            << what << ": " << store.SaveError;
        std::string notice;
        EXPECT_TRUE(Same(Loaded(notice), expected)) << what;
        EXPECT_EQ(expected.Extras.size(), 2u) << what;
    }

    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            files[entry.path().filename()] = ReadBytes(entry.path());
        return files;
    }
    void Restore(const std::map<std::string, std::string>& files) const {
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            fs::remove_all(entry.path());
        for (const auto& [name, bytes] : files)
            WriteBytes(File(name), bytes);
    }
};

// Saves, each killed (SIGKILL) after a random one of its steps or not at
// all: drive scans, folder rescans that change only the Discover data and
// folder rescans that change sizes too, each over whatever the last load
// found.
TEST_F(ExtraFileKillTest, RandomKillsOfDriveAndFolderSavesLoseNoExtraFile) {
    std::mt19937 random(29);
    TStoredSet whole = trial::DriveSet(0);
    ASSERT_TRUE(Store().SaveAnalizeData(whole));
    std::string wholeNotice;
    int kills = 0, sameListKills = 0;
    // 200 kills, with a save now and then that runs to its end.
    for (int round = 1; kills < 200; ++round) {
        ASSERT_LT(round, 400);
        const int kind = static_cast<int>(random() % 3);  // drive, same lists, sizes changed
        const std::int64_t grow = kind == 2 ? round : 0;
        // A save with both extra files runs its step hook 8 times.
        const int killAt = 1 + static_cast<int>(random() % 9);
        TStoredSet next = trial::DriveSet(round);
        if (kind != 0) {
            next = whole;
            trial::Rescan(next, round, grow);
        }
        if (kind == 1) {
            ASSERT_TRUE(next.Sizes == whole.Sizes && next.Dirs == whole.Dirs &&
                        next.Percents == whole.Percents && next.Extras != whole.Extras);
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TResultStore store = Store();
            int calls = 0;
            store.SaveStepHook = [&](int) {
                if (++calls == killAt)
                    raise(SIGKILL);
            };
            const bool saved = kind == 0 ? store.SaveAnalizeData(next)
                                         : store.UpdateStoredSet([&](TStoredSet& set) {
                                               trial::Rescan(set, round, grow);
                                           });
            _exit(saved ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
        kills += killed;
        sameListKills += killed && kind == 1;
        const std::string what = "round " + std::to_string(round) + ", kind " +
                                 std::to_string(kind) + ", killed at " + std::to_string(killAt);
        std::string notice;
        const TStoredSet loaded = ExpectOneWhole(whole, wholeNotice, next, what, notice);
        if (!killed) {
            EXPECT_TRUE(Same(loaded, next)) << what;
        }
        whole = loaded;
        wholeNotice = notice;
        if (HasFailure())
            break;
    }
    EXPECT_GT(sameListKills, 40);
    ExpectRescansCarryOn(whole, "after the trials");
}

// A folder rescan's save run in a child process under strace, killed at
// each of its renames, links, flushes, removals and locks in turn, over a
// set whose manifest records a set before it.
TEST_F(ExtraFileKillTest, AKillAtEveryCallOfAFolderRescansSaveLosesNoExtraFile) {
    if (!HaveStrace())
        GTEST_SKIP() << "needs strace (deps/debian-packages.txt) and leave to trace";
    const std::vector<std::string> calls = {"rename",   "renameat", "renameat2", "link",
                                            "linkat",   "fsync",    "fdatasync", "unlink",
                                            "unlinkat", "flock"};
    std::string traced;
    for (const std::string& call : calls)
        traced += (traced.empty() ? "" : ",") + call;
    // The leak check of a sanitizer build cannot run under a tracer.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string prefix = "ASAN_OPTIONS='" + std::string(asan != nullptr ? asan : "") +
                               ":detect_leaks=0' strace -qq ";
    for (const std::int64_t grow : {0, 7}) {
        ASSERT_TRUE(Store().SaveAnalizeData(trial::DriveSet(1)));
        ASSERT_TRUE(Store().UpdateStoredSet([](TStoredSet& set) { trial::Rescan(set, 2, 0); }));
        // Left by a save killed before: the next one removes it.
        WriteBytes(File(".CDiscover.Ab12Cd"), "cobaltquarry discover 1\r\n");
        const std::map<std::string, std::string> base = Snapshot();
        std::string notice;
        const TStoredSet whole = Loaded(notice);
        TStoredSet next = whole;
        trial::Rescan(next, 3, grow);
        const std::string child = std::string(CQ_KILL_CHILD) + " '" + folder.Slash() + "' 3 " +
                                  std::to_string(grow) + " >/dev/null 2>&1";

        // Which of the calls the save makes, and how often.
        const std::string log = folder.Path() + ".trace";
        ASSERT_EQ(
            0, std::system((prefix + "-o '" + log + "' -e trace=" + traced + " " + child).c_str()));
        std::map<std::string, int> made;
        const std::string text = ReadBytes(log);
        for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
            const std::size_t open = text.find('(', at);
            if (open != std::string::npos && open < text.find('\n', at))
                ++made[text.substr(at, open - at)];
            if (text.find('\n', at) == std::string::npos)
                break;
        }
        std::remove(log.c_str());
        for (const char* call : {"flock", "fsync"})
            EXPECT_GT(made[call], 0) << call;
        EXPECT_GT(made["rename"] + made["renameat"] + made["renameat2"], 0);
        EXPECT_GT(made["link"] + made["linkat"], 0);
        EXPECT_GT(made["unlink"] + made["unlinkat"], 0);

        int kills = 0;
        for (const auto& [call, count] : made) {
            for (int n = 1; n <= count; ++n) {
                Restore(base);
                const int status =
                    std::system((prefix + "-o /dev/null -e trace=" + call + " -e inject=" + call +
                                 ":signal=KILL:when=" + std::to_string(n) + " " + child)
                                    .c_str());
                const std::string what = call + " " + std::to_string(n) + " of " +
                                         std::to_string(count) + ", grow " + std::to_string(grow);
                EXPECT_NE(status, 0) << what << ": the save was not killed";
                kills += status != 0;
                std::string told;
                const TStoredSet loaded = ExpectOneWhole(whole, notice, next, what, told);
                ExpectRescansCarryOn(loaded, what);
                if (HasFailure())
                    return;
            }
        }
        EXPECT_GT(kills, 10) << "grow " << grow;
        Restore({});
    }
}

}  // namespace

namespace {

// A save that renamed its extra files after its manifest (as the program
// did before) and was killed in between left a manifest naming the new
// Discover data beside the old file. The three lists are those of both
// sets, so the set before is whole: it loads with its Discover data, the
// user is told, and later rescans carry it on.
TEST_F(ExtraFileKillTest, AnExtraFileLeftBehindItsManifestLoadsAsTheSetBefore) {
    ASSERT_TRUE(Store().SaveAnalizeData(trial::DriveSet(1)));
    ASSERT_TRUE(Store().UpdateStoredSet([](TStoredSet& set) { trial::Rescan(set, 2, 0); }));
    std::string notice;
    const TStoredSet before = Loaded(notice);
    const std::string oldFile = ReadBytes(File("CDiscover"));
    ASSERT_TRUE(Store().UpdateStoredSet([](TStoredSet& set) { trial::Rescan(set, 3, 0); }));
    WriteBytes(File("CDiscover"), oldFile);

    const TStoredSet loaded = Loaded(notice);
    EXPECT_TRUE(Same(loaded, before)) << Describe(loaded);
    EXPECT_EQ(notice,
              "The last save of the results of drive C: was interrupted; the results saved "
              "before it are shown.");
    ExpectRescansCarryOn(loaded, "after the set before was loaded");
}

}  // namespace
