// Move to Trash, restore and delete for good on real file systems: two
// tmpfs mounts in a private mount namespace as drives C: (with the home
// trash) and D: (a top-level trash: .Trash-UID, or .Trash/UID inside a
// sticky .Trash). After every step each trash folder is valid (every info
// file names an item, every item has one, relative paths at the top level),
// the stored lists of the drive equal a fresh scan's, and a restored item is
// the same bytes with the same times. Failures change nothing.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <fstream>
#include <map>
#include <random>

#include "app/shell/FollowMeasure.h"
#include "app/shell/FollowedActions.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "platform/DriveTable.h"
#include "platform/desktop/FileEventLog.h"
#include "platform/desktop/TrashContent.h"

using namespace cq::desktop;

namespace {

struct TEntryFacts {
    std::string Bytes;
    mode_t Mode;
    long long MTimeNs;
    bool operator==(const TEntryFacts& o) const {
        return Bytes == o.Bytes && Mode == o.Mode && MTimeNs == o.MTimeNs;
    }
};

// Every entry below path (path itself as ""): content, mode and time.
void Facts(const std::string& path, const std::string& rel,
           std::map<std::string, TEntryFacts>& out) {
    struct stat st;
    ASSERT_EQ(::lstat(path.c_str(), &st), 0) << path;
    TEntryFacts facts{{}, st.st_mode, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
    if (S_ISREG(st.st_mode)) {
        std::ifstream in(path, std::ios::binary);
        facts.Bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    out[rel] = facts;
    if (S_ISDIR(st.st_mode))
        for (const QString& name :
             QDir(QFile::decodeName(path.c_str()))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System))
            Facts(path + "/" + QFile::encodeName(name).toStdString(),
                  rel + "/" + QFile::encodeName(name).toStdString(), out);
}

std::map<std::string, TEntryFacts> Facts(const std::string& path) {
    std::map<std::string, TEntryFacts> out;
    Facts(path, "", out);
    return out;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TrashCycle : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to mount file systems (run as root or in a root container)";
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
            GTEST_SKIP() << "this machine does not allow a private mount namespace (unshare -m)";
        char pattern[] = "/tmp/cq-trash-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base_ = pattern;
        for (const char* name : {"c", "d", "data"}) {
            const std::string at = base_ + "/" + name;
            ASSERT_EQ(::mkdir(at.c_str(), 0755), 0);
            if (std::string(name) != "data") {
                ASSERT_EQ(mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64m"), 0) << at;
            }
        }
        c_ = base_ + "/c";
        d_ = base_ + "/d";
        table_ =
            std::make_unique<TScopedDriveTable>(TDriveTable({TDrive{'C', c_}, TDrive{'D', d_}}));
        // The results stay off both drives; the home trash lies on C:.
        setenv("XDG_DATA_HOME", (base_ + "/data").c_str(), 1);
        store_ = std::make_unique<TResultStore>();
        ASSERT_EQ(::mkdir((c_ + "/share").c_str(), 0700), 0);
        setenv("XDG_DATA_HOME", (c_ + "/share").c_str(), 1);
    }
    void TearDown() override {
        store_.reset();
        table_.reset();
        if (!base_.empty())
            for (const std::string& at : {c_, d_})
                umount2(at.c_str(), MNT_DETACH);
        if (!base_.empty())
            std::system(("rm -rf '" + base_ + "'").c_str());
    }

    void MakeTree(const std::string& root, std::mt19937& random) {
        ASSERT_EQ(::mkdir((root + "/keep").c_str(), 0755), 0);
        Write(root + "/keep/k.txt", std::string(1000, 'k'));
        ASSERT_EQ(::mkdir((root + "/junk").c_str(), 0750), 0);
        ASSERT_EQ(::mkdir((root + "/junk/deep").c_str(), 0700), 0);
        for (int i = 0; i < 5; ++i)
            Write(root + "/junk/deep/f" + std::to_string(i), std::string(random() % 5000, 'x'));
        Write(root + "/junk/a b \"q\"", "quoted");
        Write(root + "/junk/\xff\xfe", std::string(3000, 'z'));
        Write(root + "/lone.bin", std::string(12345, 'l'));
        ASSERT_EQ(::symlink("lone.bin", (root + "/link").c_str()), 0);
        // Times a copy would not keep.
        const timespec times[2] = {{1000000, 123456789}, {2000000, 987654321}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (root + "/lone.bin").c_str(), times, 0), 0);
        ASSERT_EQ(::utimensat(AT_FDCWD, (root + "/junk/deep").c_str(), times, 0), 0);
    }

    void StoreScanOf(char letter) {
        store_->SetFiles(std::string(1, letter) + ":");
        const TStoredSet scan = Scan(letter);
        ASSERT_TRUE(store_->SaveAsGlobal(scan));
    }

    static TStoredSet Scan(char letter) {
        TAnalizeDisk analyzer;
        analyzer.Directory = std::string(1, letter) + ":\\";
        analyzer.Recurse = true;
        analyzer.Execute();
        TStoredSet set;
        set.Dirs = analyzer.Dirs();
        set.Sizes = analyzer.DirSizes();
        set.Percents = analyzer.Percents();
        return set;
    }

    // The stored lists are those of a fresh scan.
    void ExpectScanned(char letter, const char* step) {
        const TStoredSet scan = Scan(letter);
        EXPECT_EQ(store_->GlobalDirs(), scan.Dirs) << step;
        EXPECT_EQ(store_->GlobalDirSizes(), scan.Sizes) << step;
        EXPECT_EQ(store_->GlobalPercents(), scan.Percents) << step;
    }

    void Follow(const TFollowPlan& plan, const char* step) {
        std::optional<std::int64_t> moved;
        EXPECT_EQ(FollowInStore(*store_, plan, moved), TStoreFollow::Stored) << step;
    }

    // Every info file of the folder names an item and every item has one;
    // paths are absolute in the home trash only.
    static void ExpectValid(const TTrashFolder& trash) {
        const QDir info(QFile::decodeName((trash.Path + "/info").c_str()));
        const QDir files(QFile::decodeName((trash.Path + "/files").c_str()));
        const QStringList infos =
            info.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
        QStringList expected;
        for (const QString& name : infos) {
            ASSERT_TRUE(name.endsWith(".trashinfo")) << name.toStdString();
            expected << name.chopped(10);
            QFile file(info.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const auto parsed = ParseTrashInfo(file.readAll().toStdString());
            ASSERT_TRUE(parsed.has_value()) << name.toStdString();
            EXPECT_EQ(parsed->Path.front() == '/', trash.Home()) << parsed->Path;
            EXPECT_EQ(parsed->DeletionDate.size(), 19u) << parsed->DeletionDate;
        }
        QStringList present =
            files.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
        expected.sort();
        present.sort();
        EXPECT_EQ(present, expected) << trash.Path;
    }

    std::string base_, c_, d_;
    std::unique_ptr<TScopedDriveTable> table_;
    std::unique_ptr<TResultStore> store_;
};

}  // namespace

TEST_F(TrashCycle, TopLevelAndHomeTrashesStayValidAndTheNumbersFollowEachStep) {
    std::mt19937 random(42);
    for (const bool sticky : {false, true}) {
        SCOPED_TRACE(sticky ? "D: with a sticky .Trash" : "D: with .Trash-UID");
        for (const std::string& root : {c_, d_}) {
            ASSERT_EQ(std::system(("rm -rf '" + root + "'/* '" + root + "'/.Trash*").c_str()), 0);
        }
        ASSERT_EQ(::mkdir((c_ + "/share").c_str(), 0700) == 0 || errno == EEXIST, true);
        if (sticky) {
            ASSERT_EQ(::mkdir((d_ + "/.Trash").c_str(), 0777), 0);
            ASSERT_EQ(::chmod((d_ + "/.Trash").c_str(), 01777), 0);
        }
        for (const auto& drive : {std::make_pair('C', c_), std::make_pair('D', d_)}) {
            const char letter = drive.first;
            const std::string& root = drive.second;
            SCOPED_TRACE(std::string(1, letter));
            MakeTree(root, random);
            StoreScanOf(letter);
            const bool home = letter == 'C';
            auto folders = [&] { return TrashFoldersOf(root, home); };
            const auto before_junk = Facts(root + "/junk");
            const auto before_lone = Facts(root + "/lone.bin");
            for (const char* name : {"junk", "lone.bin", "link"}) {
                const TFollowedAction done = TrashFollowed(root + "/" + name);
                ASSERT_TRUE(done.Result.ok) << done.Result.error.toStdString();
                Follow(done.Plan, "trash");
                ExpectScanned(letter, "trash");
            }
            std::vector<TTrashFolder> trashes = folders();
            ASSERT_EQ(trashes.size(), 1u);
            EXPECT_EQ(trashes[0].Home(), home);
            if (!home) {
                EXPECT_EQ(trashes[0].Path, sticky ? d_ + "/.Trash/" + std::to_string(getuid())
                                                  : d_ + "/.Trash-" + std::to_string(getuid()));
            }
            ExpectValid(trashes[0]);
            TTrashListing listing = ListTrash(trashes);
            ASSERT_EQ(listing.Items.size(), 3u);
            EXPECT_TRUE(listing.Problems.empty());
            std::int64_t sum = 0;
            for (const TTrashItem& item : listing.Items) {
                sum += item.Bytes;
                EXPECT_EQ(item.OriginalPath, root + "/" + item.Name);
            }
            EXPECT_EQ(listing.Bytes, sum);
            // The size is that of the trash folder in the stored lists.
            const std::string trashForm = home
                                              ? "C:\\share\\Trash"
                                              : (sticky ? "D:\\.Trash\\" + std::to_string(getuid())
                                                        : "D:\\.Trash-" + std::to_string(getuid()));
            const TStringList& dirs = store_->GlobalDirs();
            bool found = false;
            for (std::size_t i = 0; i < dirs.size(); ++i)
                if (std::string(dirs[i]) == trashForm) {
                    EXPECT_EQ(std::stoll(std::string(store_->GlobalDirSizes()[i])), listing.Bytes);
                    found = true;
                }
            EXPECT_TRUE(found) << trashForm;

            // Restore junk and lone.bin; link stays.
            TFileEventLog log;
            for (const TTrashItem& item : listing.Items)
                if (item.Name != "link") {
                    const TActionResult result = RestoreTrashItem(item, &log);
                    EXPECT_TRUE(result.ok) << result.error.toStdString();
                }
            Follow(MeasureFollowPlan(log), "restore");
            ExpectScanned(letter, "restore");
            ExpectValid(trashes[0]);
            EXPECT_EQ(Facts(root + "/junk"), before_junk);
            EXPECT_EQ(Facts(root + "/lone.bin"), before_lone);

            // Trash junk again and delete everything for good.
            Follow(TrashFollowed(root + "/junk").Plan, "trash again");
            listing = ListTrash(trashes);
            ASSERT_EQ(listing.Items.size(), 2u);
            TFileEventLog gone;
            for (const TTrashItem& item : listing.Items)
                EXPECT_TRUE(DeleteTrashItem(item, &gone).ok);
            Follow(MeasureFollowPlan(gone), "delete");
            ExpectScanned(letter, "delete");
            ExpectValid(trashes[0]);
            EXPECT_EQ(ListTrash(trashes).Items.size(), 0u);
            EXPECT_EQ(TrashBytes(trashes), 0);
            EXPECT_FALSE(QFile::exists(QFile::decodeName((root + "/junk").c_str())));
        }
    }
}

TEST_F(TrashCycle, FailuresAreToldAndChangeNothing) {
    std::mt19937 random(7);
    MakeTree(d_, random);
    ASSERT_TRUE(TrashFollowed(d_ + "/lone.bin").Result.ok);
    ASSERT_TRUE(TrashFollowed(d_ + "/junk").Result.ok);
    const auto trashes = TrashFoldersOf(d_, false);
    TTrashListing listing = ListTrash(trashes);
    ASSERT_EQ(listing.Items.size(), 2u);
    const TTrashItem lone =
        listing.Items[0].Name == "lone.bin" ? listing.Items[0] : listing.Items[1];
    const TTrashItem junk = listing.Items[0].Name == "junk" ? listing.Items[0] : listing.Items[1];

    // Something now stands where the item came from.
    Write(d_ + "/lone.bin", "new");
    const auto trashBefore = Facts(trashes[0].Path);
    TFileEventLog log;
    TActionResult result = RestoreTrashItem(lone, &log);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("already exists")) << result.error.toStdString();
    EXPECT_TRUE(log.Empty());
    EXPECT_EQ(Facts(trashes[0].Path), trashBefore);
    std::ifstream in(d_ + "/lone.bin");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");

    // Its folder is gone.
    TTrashItem elsewhere = junk;
    elsewhere.OriginalPath = d_ + "/gone/junk";
    result = RestoreTrashItem(elsewhere, &log);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("no longer exists")) << result.error.toStdString();

    // The item went meanwhile (another program emptied the trash).
    ASSERT_EQ(std::system(("rm -rf '" + junk.FilesPath() + "'").c_str()), 0);
    result = RestoreTrashItem(junk, &log);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("no longer in the Trash")) << result.error.toStdString();
    EXPECT_TRUE(log.Empty());
    // Deleting it removes what is left: its info file.
    EXPECT_TRUE(DeleteTrashItem(junk, &log).ok);
    EXPECT_FALSE(QFile::exists(QFile::decodeName(junk.InfoPath().c_str())));

    // A trash that cannot be read is told, with the size of what can be.
    ASSERT_EQ(std::system(("rm -rf '" + trashes[0].Path + "/info'").c_str()), 0);
    Write(trashes[0].Path + "/info", "not a folder");
    std::vector<QString> problems;
    TrashBytes(trashes, &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].contains("cannot be read")) << problems[0].toStdString();
    listing = ListTrash(trashes);
    EXPECT_FALSE(listing.Problems.empty());
    // Its item is listed without an original place, and cannot be restored.
    ASSERT_EQ(listing.Items.size(), 1u);
    EXPECT_TRUE(listing.Items[0].OriginalPath.empty());
    result = RestoreTrashItem(listing.Items[0]);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("not known")) << result.error.toStdString();
}

TEST(TrashInfo, PathsRoundTripEveryByteAndTopLevelPathsAreRelative) {
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        std::string name;
        const int length = 1 + random() % 30;
        for (int i = 0; i < length; ++i) {
            char c;
            do
                c = static_cast<char>(random() % 256);
            while (c == '\0' || c == '/');
            name += c;
        }
        const TTrashFolder top{"/mnt/x/.Trash-0", "/mnt/x"};
        const std::string path = "/mnt/x/dir/" + name;
        const std::string rel = InfoPathFor(top, path);
        EXPECT_EQ(rel, "dir/" + name);
        const auto parsed = ParseTrashInfo(TrashInfoText(rel, 0));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(OriginalPathOf(top, parsed->Path), path);
        const TTrashFolder home{"/home/u/.local/share/Trash", ""};
        EXPECT_EQ(
            OriginalPathOf(home, ParseTrashInfo(TrashInfoText(InfoPathFor(home, path), 0))->Path),
            path);
    }
    // Not an info file: no header, no path; keys of other groups are ignored.
    EXPECT_FALSE(ParseTrashInfo("Path=/a\n").has_value());
    EXPECT_FALSE(ParseTrashInfo("[Trash Info]\nDeletionDate=2024-01-01T00:00:00\n").has_value());
    EXPECT_EQ(ParseTrashInfo("\n[Trash Info]\r\nPath=%2Fa%20b%zz\r\n")->Path, "/a b%zz");
    // An item outside the top folder keeps its absolute path.
    EXPECT_EQ(InfoPathFor({"/m/.Trash-0", "/m"}, "/other/f"), "/other/f");
}
