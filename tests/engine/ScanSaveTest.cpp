// cobaltquarry-scan --save, run inside the test on a drive C: that is a
// temporary folder, with the data folder in another one.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "engine/ResultFileText.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanDrawing.h"

namespace {

class ScanSaveTest : public ::testing::Test {
  protected:
    ScanSaveTest() : table_(TDriveTable({{'C', dir_ / "drive"}})) {
        dir_.MakeDir("drive");
        dir_.MakeDir("drive/docs");
        dir_.MakeFile("drive/docs/a", 6000);
        dir_.MakeDir("drive/docs/old");
        dir_.MakeFile("drive/docs/old/b", 2000);
        dir_.MakeDir("drive/media");
        dir_.MakeFile("drive/media/c", 2000);
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            oldXdg_ = old;
        setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    }
    ~ScanSaveTest() override {
        if (oldXdg_)
            setenv("XDG_DATA_HOME", oldXdg_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    // One run of the program; a command cancels only once, so a fresh one.
    int Scan(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        TScanCommand command;
        command.SetPictures(std::make_unique<TScanDrawing>());
        return command.Run(args, out_, err_);
    }

    std::string Stored(const std::string& name) const {
        return dir_ / ("data/cobaltquarry/" + name);
    }
    bool Exists(const std::string& path) const {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }
    std::string StoredBytes(const std::string& name) const {
        std::ifstream f(Stored(name), std::ios::binary);
        std::stringstream bytes;
        bytes << f.rdbuf();
        return bytes.str();
    }
    TStringList StoredLines(const std::string& name) const {
        TStringList lines;
        SplitResultLines(StoredBytes(name), lines);
        return lines;
    }
    // The stored entry of path in the list: its line at path's position in CDirs.
    std::string StoredAt(const std::string& list, const std::string& path) const {
        const TStringList dirs = StoredLines("CDirs");
        const TStringList values = StoredLines(list);
        for (size_t i = 0; i < dirs.size() && i < values.size(); ++i)
            if (dirs[i] == path)
                return std::string(values[i]);
        return "<missing>";
    }

    TTempDir dir_;
    TScopedDriveTable table_;
    std::optional<std::string> oldXdg_;
    std::ostringstream out_, err_;
};

}  // namespace

TEST_F(ScanSaveTest, DriveRootReplacesTheDrivesResultFiles) {
    // Results of an earlier analysis, to be replaced as a whole.
    ASSERT_EQ(Scan({"--save", "C:\\"}), 0) << err_.str();
    dir_.MakeFile("drive/media/d", 10000);
    ASSERT_EQ(Scan({"--save", dir_ / "drive"}), 0) << err_.str();
    EXPECT_EQ(err_.str(), "");

    TAnalizeDisk fresh;
    fresh.Directory = "C:\\";
    fresh.Recurse = true;
    fresh.Execute();
    EXPECT_EQ(StoredLines("CDirs"), fresh.Dirs());
    EXPECT_EQ(StoredLines("CDirSizes"), fresh.DirSizes());
    EXPECT_EQ(StoredLines("CPercents"), fresh.Percents());
    EXPECT_EQ(StoredAt("CDirSizes", "C:"), "20000");
    EXPECT_EQ(StoredAt("CPercents", "C:\\media"), "60");
    struct stat st;
    ASSERT_EQ(stat(Stored("CDirs").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ScanSaveTest, FolderIsMergedIntoTheStoredDriveAsADriveScanWouldStoreIt) {
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    ASSERT_EQ(StoredAt("CDirSizes", "C:\\docs"), "8000");
    ASSERT_EQ(StoredAt("CPercents", "C:\\docs"), "80");

    // docs grows below it and gets a folder the drive's results do not have;
    // old/gone goes.
    dir_.MakeDir("drive/docs/old/gone");
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    ASSERT_EQ(StoredAt("CDirSizes", "C:\\docs\\old\\gone"), "0");
    rmdir((dir_ / "drive/docs/old/gone").c_str());
    dir_.MakeFile("drive/docs/old/more", 6000);
    dir_.MakeDir("drive/docs/new");
    dir_.MakeFile("drive/docs/new/e", 1000);
    ASSERT_EQ(Scan({"--save", dir_ / "drive/docs"}), 0) << err_.str();

    EXPECT_EQ(StoredAt("CDirSizes", "C:"), "17000");
    EXPECT_EQ(StoredAt("CDirSizes", "C:\\docs"), "15000");
    EXPECT_EQ(StoredAt("CPercents", "C:\\docs"), "88.2352905273438");
    EXPECT_EQ(StoredAt("CPercents", "C:\\media"), "11.764705657959");
    EXPECT_EQ(StoredAt("CDirSizes", "C:\\docs\\new"), "1000");
    EXPECT_EQ(StoredAt("CDirSizes", "C:\\docs\\old\\gone"), "<missing>");
    EXPECT_EQ(StoredAt("CPercents", "C:\\docs\\old"), "53.3333320617676");

    // Every stored byte is what a scan of the whole drive stores.
    const std::string dirs = StoredBytes("CDirs"), sizes = StoredBytes("CDirSizes"),
                      percents = StoredBytes("CPercents");
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    EXPECT_EQ(StoredBytes("CDirs"), dirs);
    EXPECT_EQ(StoredBytes("CDirSizes"), sizes);
    EXPECT_EQ(StoredBytes("CPercents"), percents);
}

TEST_F(ScanSaveTest, FolderOfADriveWithoutStoredResultsSavesNothing) {
    EXPECT_EQ(Scan({"--save", "C:\\docs"}), 1);
    EXPECT_NE(err_.str().find("drive C: has no stored results"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("was not saved"), std::string::npos) << err_.str();
    // The scan itself is still reported.
    EXPECT_NE(out_.str().find("(8000 bytes) in 2 folders"), std::string::npos) << out_.str();
    for (const char* name : {"CDirs", "CDirSizes", "CPercents"})
        EXPECT_FALSE(Exists(Stored(name))) << name;

    // Two of the three files are no stored results either, and stay as they were.
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    const TStringList sizes = StoredLines("CDirSizes");
    ASSERT_EQ(unlink(Stored("CPercents").c_str()), 0);
    dir_.MakeFile("drive/docs/grown", 4000);
    EXPECT_EQ(Scan({"--save", "C:\\docs"}), 1);
    EXPECT_EQ(StoredLines("CDirSizes"), sizes);
    EXPECT_FALSE(Exists(Stored("CPercents")));
}

TEST_F(ScanSaveTest, WithoutSaveNothingIsStored) {
    ASSERT_EQ(Scan({"--json", "C:"}), 0) << err_.str();
    EXPECT_FALSE(Exists(dir_ / "data")) << "the data folder was made without --save";
}

// The only case here that draws: a GUI application can be made once per
// process, and the command makes it itself.
TEST_F(ScanSaveTest, PieOfASavedDriveRoot) {
    const std::string png = dir_ / "root.png";
    ASSERT_EQ(Scan({"--save", "--pie", png, "C:"}), 0) << err_.str();
    EXPECT_TRUE(Exists(Stored("CDirs")));
    QImage pie;
    ASSERT_TRUE(pie.load(QString::fromStdString(png), "PNG"));
    ASSERT_EQ(pie.size(), QSize(350, 350));
    // docs takes 80 %: the lower half of the disc is one slice's colour.
    const QRgb left = pie.pixel(175 - 60, 175 + 40);
    const QRgb right = pie.pixel(175 + 60, 175 + 40);
    EXPECT_NE(qRgb(255, 255, 255), left);
    EXPECT_LE(std::abs(qRed(left) - qRed(right)) + std::abs(qGreen(left) - qGreen(right)) +
                  std::abs(qBlue(left) - qBlue(right)),
              6);
}

namespace {

void WriteText(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream bytes;
    bytes << f.rdbuf();
    return bytes.str();
}

}  // namespace

TEST_F(ScanSaveTest, AMergeIntoListsThatCannotBeTrustedFailsAndStoresNothing) {
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    struct TCase {
        const char* what;
        const char* list;
        const char* bytes;
        const char* expected;
    };
    // Stored by an earlier version (no manifest), then damaged.
    const TCase cases[] = {
        {"a size line missing", "CDirSizes", "10000\r\n8000\r\n2000\r\n", "CDirs has 4 lines"},
        {"folders out of order", "CDirs", "C:\r\nC:\\media\r\nC:\\docs\r\nC:\\docs\\old\r\n",
         "CDirs, line 3 is out of order"},
        {"a size that is no number", "CDirSizes", "10000\r\n8000\r\n2000\r\n2k\r\n",
         "CDirSizes, line 4 is not a whole number"},
    };
    const std::string good[] = {ReadText(Stored("CDirs")), ReadText(Stored("CDirSizes")),
                                ReadText(Stored("CPercents"))};
    for (const TCase& c : cases) {
        ASSERT_EQ(unlink(Stored("CSet").c_str()) == 0 || errno == ENOENT, true);
        WriteText(Stored("CDirs"), good[0]);
        WriteText(Stored("CDirSizes"), good[1]);
        WriteText(Stored("CPercents"), good[2]);
        WriteText(Stored(c.list), c.bytes);
        const std::string before[] = {ReadText(Stored("CDirs")), ReadText(Stored("CDirSizes")),
                                      ReadText(Stored("CPercents"))};
        EXPECT_EQ(Scan({"--save", "C:\\docs"}), 1) << c.what;
        EXPECT_NE(err_.str().find(Stored(c.expected)), std::string::npos)
            << c.what << ": " << err_.str();
        EXPECT_NE(err_.str().find("Nothing was saved"), std::string::npos) << err_.str();
        EXPECT_EQ(ReadText(Stored("CDirs")), before[0]) << c.what;
        EXPECT_EQ(ReadText(Stored("CDirSizes")), before[1]) << c.what;
        EXPECT_EQ(ReadText(Stored("CPercents")), before[2]) << c.what;
        EXPECT_FALSE(Exists(Stored("CSet"))) << c.what;
    }
}

// Result files edited by hand since the last save, with no set kept from
// before it: a folder's scan merges into them as they are, says that they
// were changed outside the program, and keeps the edit.
TEST_F(ScanSaveTest, AFolderIsMergedIntoResultFilesEditedByHand) {
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    ASSERT_EQ(StoredBytes("CDirSizes"), "10000\r\n8000\r\n2000\r\n2000\r\n");
    WriteText(Stored("CDirSizes"), "10500\r\n8000\r\n2000\r\n2500\r\n");
    for (const char* kept : {".CDirs.previous", ".CDirSizes.previous", ".CPercents.previous"})
        unlink(Stored(kept).c_str());
    dir_.MakeFile("drive/docs/more", 1000);
    ASSERT_EQ(Scan({"--save", dir_ / "drive/docs"}), 0) << err_.str();
    EXPECT_NE(err_.str().find("were changed outside the program"), std::string::npos) << err_.str();
    EXPECT_EQ(StoredBytes("CDirSizes"), "11500\r\n9000\r\n2000\r\n2500\r\n");
    // Recorded anew: the next run loads them without a word.
    ASSERT_EQ(Scan({"--save", dir_ / "drive/docs"}), 0) << err_.str();
    EXPECT_EQ(err_.str(), "");
}

TEST_F(ScanSaveTest, ASaveThatCannotReachTheDataFolderFailsAndWritesNothingElsewhere) {
    // The data folder is a link to nowhere; the scanner runs in an empty folder.
    dir_.MakeDir("data");
    dir_.MakeDir("here");
    ASSERT_EQ(symlink((dir_ / "gone").c_str(), Stored("").substr(0, Stored("").size() - 1).c_str()),
              0);
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir((dir_ / "here").c_str()), 0);
    const int status = Scan({"--save", "C:"});
    ASSERT_EQ(chdir(before), 0);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err_.str().find("cannot store the results of C:"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("cannot be reached"), std::string::npos) << err_.str();
    EXPECT_FALSE(Exists(dir_ / "here/CDirs"));
    EXPECT_FALSE(Exists(dir_ / "here/CSet"));
    EXPECT_FALSE(Exists(dir_ / "gone"));
    // The report is still printed.
    EXPECT_NE(out_.str().find("(10000 bytes)"), std::string::npos) << out_.str();
}

TEST_F(ScanSaveTest, AnOpenDataFolderIsMadePrivateAndALinkIsFollowedToItsTarget) {
    dir_.MakeDir("data");
    dir_.MakeDir("elsewhere");
    ASSERT_EQ(chmod((dir_ / "elsewhere").c_str(), 0755), 0);
    ASSERT_EQ(symlink((dir_ / "elsewhere").c_str(), (dir_ / "data/cobaltquarry").c_str()), 0);
    ASSERT_EQ(Scan({"--save", "C:"}), 0) << err_.str();
    struct stat st;
    ASSERT_EQ(stat((dir_ / "elsewhere").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(Exists(dir_ / "elsewhere/CDirs"));
}

// --largest and --types after a scan, from the stored set (--stored, the
// files below PATH) and after a folder rescan merged into it.
TEST_F(ScanSaveTest, LargestFilesAndTypesAfterAScanFromTheStoredSetAndAfterARescan) {
    const std::string drive = dir_ / "drive";
    EXPECT_EQ(Scan({"--save", "--largest", "1", drive}), 0) << err_.str();
    EXPECT_NE(out_.str().find("Largest files:\n        0.0 MB"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(drive + "/docs/a\n"), std::string::npos) << out_.str();
    ASSERT_TRUE(Exists(Stored("CDiscover")));

    auto stored = [&](const std::string& path, const std::string& largest) {
        EXPECT_EQ(Scan({"--stored", "--largest", largest, "--types", "--json", path}), 0)
            << err_.str();
        return QJsonDocument::fromJson(QByteArray::fromStdString(out_.str())).object();
    };
    auto paths = [](const QJsonObject& o) {
        QStringList list;
        for (const QJsonValue& f : o["largest_files"].toArray())
            list << f.toObject()["path"].toString();
        return list;
    };
    const QString root = QString::fromStdString(drive);
    QJsonObject o = stored(drive + "/docs", "1000");
    EXPECT_EQ(paths(o), (QStringList{root + "/docs/a", root + "/docs/old/b"}));
    EXPECT_EQ(o["file_types"].toObject()["no_extension"].toObject()["files"].toInt(), 3);
    EXPECT_FALSE(o["file_types"].toObject()["as_of_last_drive_scan"].toBool());

    dir_.MakeFile("drive/docs/old/new.ISO", 9000);
    unlink((drive + "/docs/a").c_str());
    EXPECT_EQ(Scan({"--save", drive + "/docs"}), 0) << err_.str();
    o = stored(drive, "2");
    EXPECT_EQ(paths(o), (QStringList{root + "/docs/old/new.ISO", root + "/docs/old/b"}));
    EXPECT_TRUE(o["largest_files_complete"].toBool());
    EXPECT_TRUE(o["file_types"].toObject()["as_of_last_drive_scan"].toBool());
    EXPECT_EQ(o["file_types"].toObject()["types"].toArray().size(), 0);  // as of the drive scan

    // The count's limits on both sides; --stored needs something to print.
    EXPECT_EQ(Scan({"--stored", "--largest", "0", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--largest", "1001", drive}), 2);
    EXPECT_EQ(Scan({"--stored", drive}), 2);
    EXPECT_NE(err_.str().find("--stored goes with --largest, --types or --old"), std::string::npos);
    EXPECT_EQ(Scan({"--stored", "--types", "--save", drive}), 2);

    // After a drive scan each type lists its own files, and a file last
    // changed two years before the scan is old.
    const timeval twoYears[2] = {{time(nullptr) - 2 * 366 * 86400, 0},
                                 {time(nullptr) - 2 * 366 * 86400, 0}};
    ASSERT_EQ(utimes((drive + "/docs/old/b").c_str(), twoYears), 0);
    EXPECT_EQ(Scan({"--save", drive}), 0) << err_.str();
    EXPECT_EQ(Scan({"--stored", "--types", "--type-files", "20", "--old", "1000", "--json", drive}),
              0)
        << err_.str();
    o = QJsonDocument::fromJson(QByteArray::fromStdString(out_.str())).object();
    const QJsonArray types = o["file_types"].toObject()["types"].toArray();
    ASSERT_EQ(types.size(), 1);
    EXPECT_EQ(types[0].toObject()["type"].toString(), "iso");
    EXPECT_EQ(paths(types[0].toObject()), QStringList{root + "/docs/old/new.ISO"});
    EXPECT_EQ(paths(QJsonObject{{"largest_files", o["old_files"]}}),
              QStringList{root + "/docs/old/b"});
    EXPECT_TRUE(o["old_files_complete"].toBool());
    // The counts' limits on both sides; the types' files go with --types.
    EXPECT_EQ(Scan({"--stored", "--types", "--type-files", "0", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--types", "--type-files", "21", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--largest", "1", "--type-files", "1", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--old", "0", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--old", "1001", drive}), 2);
    EXPECT_EQ(Scan({"--stored", "--old", "1", drive}), 0) << err_.str();
    EXPECT_NE(out_.str().find(drive + "/docs/old/b\n"), std::string::npos) << out_.str();
}
