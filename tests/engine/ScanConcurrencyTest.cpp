// Two runs of cobaltquarry-scan that store folder rescans of one drive at
// the same moment: both updates are stored, every time. The first run is
// held inside each lock it takes (strace delays its flock calls), so the
// second one arrives while the first holds the data folder, as two users'
// runs naturally do now and then.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "platform/DriveForm.h"
#include "tests/platform/TempDir.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool HaveStrace() {
    return std::system("strace -qq -o /dev/null -e trace=flock true 2>/dev/null") == 0;
}

class ScanConcurrencyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.MakeDir("tree");
        dir_.MakeDir("tree/a");
        dir_.MakeDir("tree/b");
        dir_.MakeDir("data");
        const auto form = NativeToDriveForm(dir_ / "tree");
        ASSERT_TRUE(form && DriveLetterOf(*form) == 'C')
            << dir_.Path() << " must lie on the root file system (drive C:)";
        tree_ = *form;
    }

    std::string DataFolder() const { return dir_ / "data/cobaltquarry/"; }

    // The drive's stored set: the tree as scanned now, under its ancestors
    // up to C:, as a scan of the whole drive would hold it.
    void StoreTheTree() {
        TAnalizeDisk scan;
        scan.Directory = tree_;
        scan.Recurse = true;
        scan.Execute();
        TStringList dirs, sizes, percents;
        std::string ancestor = tree_;
        std::vector<std::string> chain;
        while (ancestor.find('\\') != std::string::npos) {
            ancestor = ancestor.substr(0, ancestor.rfind('\\'));
            chain.insert(chain.begin(), ancestor);
        }
        for (const std::string& folder : chain) {
            dirs.push_back(folder);
            sizes.push_back(scan.DirSizes()[0]);
            percents.push_back(folder == chain.front() ? "0" : "100");
        }
        for (std::size_t i = 0; i < scan.Dirs().size(); ++i) {
            dirs.push_back(scan.Dirs()[i]);
            sizes.push_back(scan.DirSizes()[i]);
            percents.push_back(i == 0 ? "100" : std::string(scan.Percents()[i]));
        }
        std::filesystem::create_directories(DataFolder());
        TResultStore store(DataFolder());
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData({dirs, sizes, percents})) << store.SaveError;
    }

    std::string StoredSize(const std::string& folder) {
        TResultStore store(DataFolder());
        store.SetFiles("C:");
        EXPECT_TRUE(store.LoadGlobal()) << store.LoadNotice;
        for (std::size_t i = 0; i < store.GlobalDirs().size(); ++i)
            if (store.GlobalDirs()[i] == folder)
                return std::string(store.GlobalDirSizes()[i]);
        return "<missing>";
    }

    TTempDir dir_;
    std::string tree_;
};

}  // namespace

TEST_F(ScanConcurrencyTest, TwoFolderRescansStoredAtOnceAreBothKept) {
    if (!HaveStrace())
        GTEST_SKIP() << "needs strace (deps/debian-packages.txt) and leave to trace";
    const std::string scan = CQ_SCAN_BINARY;
    const std::string env = "XDG_DATA_HOME='" + dir_.Path() + "/data' ";
    // Each lock the first run takes is held half a second longer. The leak
    // check of a sanitizer build cannot run under a tracer; the others can.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string slowed = "ASAN_OPTIONS='" + std::string(asan != nullptr ? asan : "") +
                               ":detect_leaks=0' strace -f -qq -o /dev/null -e trace=flock -e "
                               "inject=flock:delay_exit=500000 ";
    for (int round = 0; round < 20; ++round) {
        StoreTheTree();
        const long long a = 1000 + round, b = 5000 + 7 * round;
        dir_.MakeFile("tree/a/f", a);
        dir_.MakeFile("tree/b/f", b);
        const std::string script = "(" + env + slowed + scan + " --save '" + dir_ / "tree/a" +
                                   "' >'" + dir_ / "out1" + "' 2>&1; echo $? >'" +
                                   dir_ / "status1" + "') & (" + env + scan + " --save '" +
                                   dir_ / "tree/b" + "' >'" + dir_ / "out2" + "' 2>&1; echo $? >'" +
                                   dir_ / "status2" + "'); wait";
        ASSERT_EQ(std::system(script.c_str()), 0);
        EXPECT_EQ(ReadWholeFile(dir_ / "status1"), "0\n") << ReadWholeFile(dir_ / "out1");
        EXPECT_EQ(ReadWholeFile(dir_ / "status2"), "0\n") << ReadWholeFile(dir_ / "out2");
        EXPECT_EQ(StoredSize(tree_ + "\\a"), std::to_string(a)) << "round " << round;
        EXPECT_EQ(StoredSize(tree_ + "\\b"), std::to_string(b)) << "round " << round;
        EXPECT_EQ(StoredSize(tree_), std::to_string(a + b)) << "round " << round;
        if (HasFailure())
            break;
    }
}
