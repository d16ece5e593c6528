#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <map>
#include <random>
#include <set>

#include "platform/DirListing.h"
#include "platform/DriveTable.h"
#include "platform/FileInfo.h"
#include "tests/platform/TempDir.h"

namespace {

std::map<std::string, TDirEntry> ListByName(const std::string& native) {
    std::vector<TDirEntry> entries;
    EXPECT_TRUE(ListFolderNative(native, entries));
    std::map<std::string, TDirEntry> byName;
    for (const TDirEntry& e : entries)
        byName[e.Name] = e;
    return byName;
}

}  // namespace

TEST(DirListing, DescribesEachKindOfEntry) {
    TTempDir dir;
    dir.MakeFile("plain.txt", 1234);
    dir.MakeFile(".hidden", 7);
    dir.MakeFile("notes~", 1);
    dir.MakeFile("x.TMP", 1);
    dir.MakeFile("big.iso", 5'000'000'000LL);
    dir.MakeDir("sub");
    dir.MakeDir(".cfg");
    ASSERT_EQ(symlink("sub", (dir / "to-sub").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
    // A fifo would block anyone who opened it: listing it must not.
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);

    auto e = ListByName(dir.Path());
    ASSERT_EQ(e.size(), 10u);
    EXPECT_EQ(e["plain.txt"].Size, 1234);
    EXPECT_EQ(e["plain.txt"].Attr & (faHidden | faDirectory | faSysFile | faTemporary), 0u);
    EXPECT_EQ(e["big.iso"].Size, 5'000'000'000LL);
    EXPECT_EQ(e[".hidden"].Attr & faHidden, faHidden);
    EXPECT_EQ(e["notes~"].Attr & faTemporary, faTemporary);
    EXPECT_EQ(e["x.TMP"].Attr & faTemporary, faTemporary);
    EXPECT_EQ(e["sub"].Attr & faDirectory, faDirectory);
    EXPECT_EQ(e["sub"].Size, 0);
    EXPECT_FALSE(e["sub"].OtherMount);
    EXPECT_EQ(e[".cfg"].Attr & (faDirectory | faHidden), faDirectory | faHidden);
    // A link to a folder is a link, not a folder; its size is the link's.
    EXPECT_TRUE(e["to-sub"].IsLink);
    EXPECT_EQ(e["to-sub"].Attr & faDirectory, 0u);
    EXPECT_EQ(e["to-sub"].Size, 3);
    EXPECT_TRUE(e["dangling"].IsLink);
    EXPECT_EQ(e["dangling"].Size, 7);
    EXPECT_EQ(e["pipe"].Attr & faSysFile, faSysFile);
    EXPECT_EQ(e["plain.txt"].Attr & faVolumeID, 0u);
}

TEST(DirListing, LastWriteTimeAndLinkCount) {
    TTempDir dir;
    dir.MakeFile("f", 10);
    ASSERT_EQ(link((dir / "f").c_str(), (dir / "g").c_str()), 0);
    const struct timespec times[2] = {{1000, 0}, {1600000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0), 0);
    auto e = ListByName(dir.Path());
    EXPECT_EQ(e["f"].LastWriteSeconds, 1600000000LL);
    EXPECT_EQ(e["f"].LastWriteNanos, 123456789u);
    EXPECT_EQ(e["f"].Links, 2u);
    EXPECT_EQ(e["f"].Inode, e["g"].Inode);
    EXPECT_EQ(e["f"].Device, e["g"].Device);
}

// Times of any value the file system keeps come through as it keeps them
// (it may hold a time to its own range): the oldest and newest it can,
// 2400 (ext4 and tmpfs hold it), and random ones between.
TEST(DirListing, LastWriteTimesAtBothEndsOfTheRange) {
    TTempDir dir;
    dir.MakeFile("f", 1);
    std::mt19937_64 random(7);
    std::vector<std::int64_t> times = {std::numeric_limits<std::int64_t>::min(),
                                       -(1LL << 31) - 1,
                                       -1,
                                       0,
                                       13569465600,  // 2400-01-01
                                       (1LL << 34) + 5,
                                       std::numeric_limits<std::int64_t>::max()};
    for (int i = 0; i < 40; ++i)
        times.push_back(static_cast<std::int64_t>(random()));
    for (const std::int64_t time : times) {
        const struct timespec both[2] = {{time, 999999999}, {time, 999999999}};
        ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f").c_str(), both, 0), 0) << time;
        struct stat st;
        ASSERT_EQ(stat((dir / "f").c_str(), &st), 0);
        const TDirEntry e = ListByName(dir.Path())["f"];
        EXPECT_EQ(e.LastWriteSeconds, st.st_mtim.tv_sec) << time;
        EXPECT_EQ(e.LastWriteNanos, st.st_mtim.tv_nsec) << time;
        TDirEntry looked;
        ASSERT_TRUE(LookupNative(dir / "f", looked));
        EXPECT_EQ(looked.LastWriteSeconds, st.st_mtim.tv_sec) << time;
    }
    // 2400 is kept as it is here, not cut to what nanoseconds could hold.
    const struct timespec far[2] = {{13569465600, 0}, {13569465600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f").c_str(), far, 0), 0);
    EXPECT_EQ(ListByName(dir.Path())["f"].LastWriteSeconds, 13569465600);
}

TEST(DirListing, UnreadableFolderGivesNoEntriesAndNotOpen) {
    TTempDir dir;
    dir.MakeDir("closed");
    dir.MakeFile("closed/inside", 5);
    chmod((dir / "closed").c_str(), 0);
    const int status = RunInChild([&] {
        if (!DropPrivileges())
            return 2;
        TDirListing l(dir / "closed");
        TDirEntry e;
        return !l.IsOpen() && !l.Next(e) ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    std::vector<TDirEntry> entries;
    EXPECT_FALSE(ListFolderNative(dir / "missing", entries));
    EXPECT_TRUE(entries.empty());
}

// The names listed with the read-only bit, as the calling process sees them.
std::string ReadOnlyNames(const std::string& folder, unsigned options = 0) {
    std::string names;
    TDirListing listing(folder, options);
    TDirEntry e;
    while (listing.Next(e))
        if (e.Attr & faReadOnly)
            names += e.Name + " ";
    return names;
}

TEST(DirListing, ReadOnlyIsAPropertyOfTheEntryWhoeverLooks) {
    TTempDir dir;
    const std::map<std::string, mode_t> modes = {{"locked", 0444},       {"open", 0666},
                                                 {"owner-writes", 0644}, {"only-write", 0200},
                                                 {"none", 0000},         {"group", 0464}};
    for (const auto& [name, mode] : modes) {
        dir.MakeFile(name, 1);
        chmod((dir / name).c_str(), mode);
    }
    dir.MakeDir("dir-locked");
    chmod((dir / "dir-locked").c_str(), 0555);
    std::set<std::string> expected = {"locked", "none", "dir-locked"};
    // An immutable file is read-only whatever its mode; not every file
    // system (or container) lets the test set the flag.
    dir.MakeFile("immutable", 1);
    chmod((dir / "immutable").c_str(), 0666);
    const int fd = open((dir / "immutable").c_str(), O_RDONLY);
    int flags = 0;
    const bool immutable = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (immutable)
        expected.insert("immutable");
    else
        std::printf("immutable flag not settable here: that case is not checked\n");

    std::vector<TDirEntry> entries;
    ASSERT_TRUE(ListFolderNative(dir.Path(), entries));
    std::set<std::string> found;
    for (const TDirEntry& e : entries)
        if (e.Attr & faReadOnly)
            found.insert(e.Name);
    EXPECT_EQ(found, expected);
    // Another user sees exactly the same bits.
    const std::string mine = ReadOnlyNames(dir.Path());
    const int status = RunInChild([&] {
        if (!DropPrivileges())
            return 2;
        return ReadOnlyNames(dir.Path()) == mine ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    // The option that skips the test never sets the bit.
    EXPECT_EQ(ReadOnlyNames(dir.Path(), TDirListing::kNoReadOnly), "");
    if (immutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
        close(fd);
}

TEST(DirListing, ListingThroughALinkOnlyWhenAsked) {
    TTempDir dir;
    dir.MakeDir("real");
    dir.MakeFile("real/a", 1);
    ASSERT_EQ(symlink("real", (dir / "via").c_str()), 0);
    TDirListing strict(dir / "via");
    EXPECT_FALSE(strict.IsOpen());
    TDirListing follow(dir / "via", TDirListing::kFollowLink);
    EXPECT_TRUE(follow.IsOpen());
}

TEST(FileInfo, ExistsAndLookupByDriveForm) {
    TTempDir dir;
    TScopedDriveTable table(TDriveTable({{'T', dir.Path()}}));
    dir.MakeDir("Sub");
    dir.MakeFile("Sub/file 1", 4096);
    ASSERT_EQ(symlink("Sub", (dir / "link").c_str()), 0);
    EXPECT_TRUE(FileExists("T:\\Sub\\file 1"));
    EXPECT_FALSE(FileExists("T:\\Sub"));
    EXPECT_FALSE(FileExists("T:\\Sub\\nothing"));
    EXPECT_TRUE(FolderExists("T:\\Sub"));
    EXPECT_TRUE(FolderExists("t:\\Sub\\"));
    EXPECT_TRUE(FolderExists("T:\\"));
    EXPECT_TRUE(FolderExists("T:"));
    // Bytes compare exactly: the case twin does not exist.
    EXPECT_FALSE(FolderExists("T:\\sub"));
    EXPECT_FALSE(FolderExists("T:\\Sub\\file 1"));
    EXPECT_FALSE(FolderExists("T:\\link"));
    EXPECT_TRUE(FileExists("T:\\link"));
    EXPECT_FALSE(FolderExists("Q:\\"));
    TDirEntry e;
    ASSERT_TRUE(LookupEntry("T:\\Sub\\file 1", e));
    EXPECT_EQ(e.Name, "file 1");
    EXPECT_EQ(e.Size, 4096);
    EXPECT_GT(e.LastWriteSeconds, 0);
    ASSERT_TRUE(LookupEntry("T:\\", e));
    EXPECT_EQ(e.Name, "");
    EXPECT_TRUE(e.Attr & faDirectory);
    EXPECT_FALSE(LookupEntry("T:\\..\\x", e));
}

TEST(DirListing, LazyFoldersAreNamedButNotLookedAt) {
    TTempDir dir;
    dir.MakeDir("sub");
    dir.MakeFile("f", 3);
    TDirListing l(dir.Path(), TDirListing::kNoReadOnly | TDirListing::kLazyFolders);
    ASSERT_TRUE(l.IsOpen());
    struct stat st;
    ASSERT_EQ(stat(dir.Path().c_str(), &st), 0);
    EXPECT_EQ(l.Device(), st.st_dev);
    TDirEntry e;
    int seen = 0;
    while (l.Next(e)) {
        ++seen;
        if (e.Name == "sub") {
            EXPECT_EQ(e.Attr & faDirectory, faDirectory);
            EXPECT_EQ(e.Inode, 0u);  // not looked at
        } else {
            EXPECT_EQ(e.Size, 3);
            EXPECT_NE(e.Inode, 0u);
        }
    }
    EXPECT_EQ(seen, 2);
    // Opening a folder inside an open one, by its name alone.
    TDirListing inner(l.Fd(), "sub");
    EXPECT_TRUE(inner.IsOpen());
    EXPECT_EQ(inner.Device(), l.Device());
    TDirListing missing(l.Fd(), "nothing");
    EXPECT_FALSE(missing.IsOpen());
}

TEST(DirListing, TemporaryEndingsAreMatchedWithoutCaseAndOnlyAtTheEnd) {
    for (const char* name : {"a.tmp", "a.TEMP", "b.Swp", "c.PART", ".tmp", "x~", "~", "dl.part"})
        EXPECT_EQ(NameAttributes(name) & faTemporary, faTemporary) << name;
    for (const char* name : {"tmp", "temp", "a.tmpx", "a.tmp.txt", "a~b", "part", "a.par", "a.sw",
                             "", "a.tem", "xtemp", "a_part"})
        EXPECT_EQ(NameAttributes(name) & faTemporary, 0u) << name;
    // The hidden bit comes from the first byte, whatever the ending.
    EXPECT_EQ(NameAttributes(".swp"), faHidden | faTemporary);
    EXPECT_EQ(NameAttributes("visible.part"), faTemporary);
}
