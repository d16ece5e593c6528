#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/DriveTable.h"
#include "views/common/PathText.h"

namespace fs = std::filesystem;

namespace {

// Drive C: is a temporary folder holding Windows\Fonts and a few files.
class DriveC : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/cq-common-XXXXXX";
        root_ = mkdtemp(name);
        fs::create_directories(root_ / "Windows" / "Fonts");
        Write(root_ / "Windows" / "win.ini", 1234);
        Write(root_ / "100% done", 7);
        Write(root_ / "cost $HOME", 9);
        Write(root_ / "a*b", 3);
        fs::create_symlink("Windows/win.ini", root_ / "link");
        drives_ = std::make_unique<TScopedDriveTable>(TDriveTable({{'C', root_.string()}}));
        oldCwd_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(oldCwd_);
        drives_.reset();
        fs::remove_all(root_);
    }
    static void Write(const fs::path& path, int bytes) {
        std::ofstream(path) << std::string(bytes, 'x');
    }

    fs::path root_;
    fs::path oldCwd_;
    std::unique_ptr<TScopedDriveTable> drives_;
};

}  // namespace

TEST(RemoveParentDir, TakesTheLastNameWithACapitalFirstLetter) {
    EXPECT_EQ("Program files", RemoveParentDir("C:\\Program files"));
    EXPECT_EQ("Program files", RemoveParentDir("C:\\program files"));
    EXPECT_EQ("C:", RemoveParentDir("C:"));
    EXPECT_EQ("", RemoveParentDir("C:\\"));
    EXPECT_EQ("Readme.TXT", RemoveParentDir("D:\\a\\b\\readme.TXT"));
    EXPECT_EQ(".hidden", RemoveParentDir("C:\\.hidden"));
    EXPECT_EQ("\xe9t\xe9", RemoveParentDir("C:\\\xe9t\xe9"));  // only a to z change
    EXPECT_EQ("Name", RemoveParentDir("name"));
}

TEST_F(DriveC, ParentOfExistingFolders) {
    EXPECT_EQ("C:\\Windows", GetParentDir("C:\\Windows\\Fonts"));
    EXPECT_EQ("C:", GetParentDir("C:\\Windows"));
    EXPECT_EQ("C:", GetParentDir("C:\\"));
    EXPECT_EQ("C", GetParentDir("C:"));
}

// Whatever the working directory, a path that is no folder (gone, a file, a
// link) climbs its own text.
TEST_F(DriveC, APathThatIsNoFolderClimbsItsOwnPath) {
    for (const fs::path& cwd : {root_ / "Windows" / "Fonts", root_, oldCwd_}) {
        fs::current_path(cwd);
        EXPECT_EQ("C:\\gone", GetParentDir("C:\\gone\\away"));
        EXPECT_EQ("C:\\Windows", GetParentDir("C:\\Windows\\win.ini"));
        EXPECT_EQ("C:", GetParentDir("C:\\link"));
        EXPECT_EQ("Q:", GetParentDir("Q:\\nowhere"));
        EXPECT_EQ("C:", GetParentDir("C:\\gone"));
    }
}

TEST_F(DriveC, FileSizeMeasuresOneEntry) {
    EXPECT_EQ(1234, FileSize("C:\\Windows\\win.ini"));
    // "%" is written %25 in the drive form; neither it nor "$" stops the lookup.
    EXPECT_EQ(7, FileSize("C:\\100%25 done"));
    EXPECT_EQ(9, FileSize("C:\\cost $HOME"));
    EXPECT_EQ(3, FileSize("C:\\a*b"));    // a name, not a pattern
    EXPECT_EQ(15, FileSize("C:\\link"));  // the link itself, never followed
    EXPECT_EQ(0, FileSize("C:\\Windows"));
    EXPECT_EQ(0, FileSize("C:\\missing"));
    EXPECT_EQ(0, FileSize("C:\\Windows\\*"));
    EXPECT_EQ(0, FileSize("not a drive form"));
}
