#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"
#include "tests/store/TempFolder.h"

namespace {

int EntriesIn(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// Sets an environment variable for one scope.
class TEnv {
  public:
    TEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = getenv(name);
        hadOld_ = old != nullptr;
        old_ = hadOld_ ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~TEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool hadOld_;
    std::string old_;
};

}  // namespace

TEST(AtomicFile, ReplacesTheFileWithMode0600AndLeavesNoTemporary) {
    TTempFolder folder;
    std::string path = folder.Slash() + "CDirs";
    WriteBytes(path, "old\r\n");
    chmod(path.c_str(), 0644);
    ASSERT_TRUE(WriteFileAtomically(path, "new\r\n"));
    EXPECT_EQ("new\r\n", ReadBytes(path));
    EXPECT_EQ(0600u, ModeOf(path));
    EXPECT_EQ(1, EntriesIn(folder.Path()));
}

TEST(AtomicFile, WritesLargeContentInPieces) {
    TTempFolder folder;
    std::string path = folder.Slash() + "big";
    std::string bytes;
    for (int i = 0; bytes.size() < 3'000'000; ++i) {
        bytes += std::to_string(i) + "\r\n";
    }
    TAtomicFile file(path);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write(bytes.substr(0, 10)));
    ASSERT_TRUE(file.Write(bytes.substr(10, 2'000'000)));  // larger than the buffer
    ASSERT_TRUE(file.Write(bytes.substr(2'000'010)));
    ASSERT_TRUE(file.Finish());
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(bytes, ReadBytes(path));
}

TEST(AtomicFile, AnAbandonedWriteKeepsTheEarlierFileWhole) {
    TTempFolder folder;
    std::string path = folder.Slash() + "CPercents";
    WriteBytes(path, "0\r\n50\r\n");
    {
        TAtomicFile file(path);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("0\r\n"));
        ASSERT_TRUE(file.Finish());
        EXPECT_TRUE(std::filesystem::exists(file.TempPath()));
    }  // never committed
    EXPECT_EQ("0\r\n50\r\n", ReadBytes(path));
    EXPECT_EQ(1, EntriesIn(folder.Path()));
}

TEST(AtomicFile, FailsWhereNoTemporaryCanBeMade) {
    TTempFolder folder;
    EXPECT_FALSE(WriteFileAtomically(folder.Slash() + "missing/CDirs", "x"));
    TAtomicFile file(folder.Slash() + "missing/CDirs");
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Finish());
    EXPECT_FALSE(file.Commit());
}

TEST(DataFolder, IsCreatedUnderXdgDataHomeWithMode0700) {
    TTempFolder folder;
    TEnv xdg("XDG_DATA_HOME", folder.Slash() + "deep/share");
    std::string data = DataFolder();
    EXPECT_EQ(folder.Slash() + "deep/share/cobaltquarry/", data);
    EXPECT_EQ(0700u, ModeOf(data));
    EXPECT_EQ(0700u, ModeOf(folder.Slash() + "deep"));
    EXPECT_EQ(data, DataFolder());  // an existing folder is taken as it is
}

TEST(DataFolder, FallsBackToHomeForAnUnsetOrRelativeXdgDataHome) {
    TTempFolder folder;
    TEnv home("HOME", folder.Path());
    TEnv xdg("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(folder.Slash() + ".local/share/cobaltquarry/", DataFolder());
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folder.Slash() + ".local/share/cobaltquarry/", DataFolder());
}

TEST(DataFolder, IsEmptyWhenTheFolderCannotBeMade) {
    TTempFolder folder;
    WriteBytes(folder.Slash() + "file", "x");
    TEnv xdg("XDG_DATA_HOME", folder.Slash() + "file");
    EXPECT_EQ("", DataFolder());
}

TEST(DataFolder, AnExistingFolderOpenToOthersIsMadePrivate) {
    TTempFolder folder;
    TEnv xdg("XDG_DATA_HOME", folder.Path());
    ASSERT_EQ(0, mkdir((folder.Slash() + "cobaltquarry").c_str(), 0755));
    ASSERT_EQ(0, chmod((folder.Slash() + "cobaltquarry").c_str(), 0755));
    EXPECT_EQ(folder.Slash() + "cobaltquarry/", DataFolder());
    EXPECT_EQ(0700u, ModeOf(folder.Slash() + "cobaltquarry"));
}

TEST(DataFolder, ALinkIsFollowedToItsTargetAndADanglingOneIsRefused) {
    TTempFolder folder;
    TEnv xdg("XDG_DATA_HOME", folder.Path());
    const std::string link = folder.Slash() + "cobaltquarry";
    ASSERT_EQ(0, symlink((folder.Slash() + "gone").c_str(), link.c_str()));
    std::string problem;
    EXPECT_EQ("", DataFolder(&problem));
    EXPECT_NE(std::string::npos, problem.find(link)) << problem;
    EXPECT_FALSE(std::filesystem::exists(folder.Slash() + "gone"));

    ASSERT_EQ(0, mkdir((folder.Slash() + "real").c_str(), 0777));
    ASSERT_EQ(0, chmod((folder.Slash() + "real").c_str(), 0777));
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink((folder.Slash() + "real").c_str(), link.c_str()));
    EXPECT_EQ(folder.Slash() + "real/", DataFolder(&problem));
    EXPECT_EQ("", problem);
    EXPECT_EQ(0700u, ModeOf(folder.Slash() + "real"));

    // A link to a file is no data folder either.
    WriteBytes(folder.Slash() + "file", "x");
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink((folder.Slash() + "file").c_str(), link.c_str()));
    EXPECT_EQ("", DataFolder(&problem));
    EXPECT_NE(std::string::npos, problem.find("not a folder")) << problem;
}

TEST(DataFolder, AFolderOfAnotherUserIsRefused) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give a folder to another user";
    TTempFolder folder;
    TEnv xdg("XDG_DATA_HOME", folder.Path());
    ASSERT_EQ(0, mkdir((folder.Slash() + "cobaltquarry").c_str(), 0700));
    ASSERT_EQ(0, chown((folder.Slash() + "cobaltquarry").c_str(), 65534, 65534));
    std::string problem;
    EXPECT_EQ("", DataFolder(&problem));
    EXPECT_NE(std::string::npos, problem.find("another user")) << problem;
}

TEST(DataFile, ExistsOnlyForRegularFilesAndReadsWhole) {
    TTempFolder folder;
    std::string path = folder.Slash() + "CDirs";
    std::string bytes("C:\r\nC:\\caf\xe9\r\n\0end", 17);
    WriteBytes(path, bytes);
    EXPECT_TRUE(DataFileExists(path));
    EXPECT_FALSE(DataFileExists(folder.Path()));
    EXPECT_FALSE(DataFileExists(folder.Slash() + "none"));
    std::string read = "stale";
    ASSERT_TRUE(ReadDataFile(path, read));
    EXPECT_EQ(bytes, read);
    EXPECT_FALSE(ReadDataFile(folder.Slash() + "none", read));
    EXPECT_EQ("", read);
    EXPECT_FALSE(ReadDataFile(folder.Path(), read));
}

TEST(DataFile, ChunkedReadHandsOverEveryByteInOrder) {
    TTempFolder folder;
    std::string path = folder.Slash() + "CDirSizes";
    std::string bytes;
    for (int i = 0; bytes.size() < 2'500'000; ++i) {
        bytes += std::to_string(i * 7919) + "\r\n";
    }
    WriteBytes(path, bytes);
    std::string read;
    int pieces = 0;
    ASSERT_TRUE(ReadDataFileChunks(path, [&](std::string_view piece) {
        read.append(piece);
        ++pieces;
    }));
    EXPECT_EQ(bytes, read);
    EXPECT_GT(pieces, 1);
    EXPECT_FALSE(ReadDataFileChunks(folder.Slash() + "none", [](std::string_view) {}));
    EXPECT_FALSE(ReadDataFileChunks(folder.Path(), [](std::string_view) {}));
}
