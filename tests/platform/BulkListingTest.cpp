// A folder listed all at once (its entries looked at on several threads)
// against a plain reference: std::filesystem for the names and lstat for
// what each entry is, on a random folder of hostile names, and against the
// listing read entry by entry.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <new>
#include <random>
#include <set>

#include "platform/DirListing.h"
#include "platform/ParallelBlocks.h"
#include "tests/platform/TempDir.h"

namespace {

// A name of 1 to 40 random bytes: anything but "/" and the zero byte, so
// invalid UTF-8, control characters, spaces and leading dots all occur.
std::string HostileName(std::mt19937& random) {
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string name;
    for (int n = length(random); static_cast<int>(name.size()) < n;) {
        const char c = static_cast<char>(byte(random));
        if (c != '/')
            name += c;
    }
    return name == "." || name == ".." ? name + "x" : name;
}

// Makes count entries of every kind with random sizes and times; returns
// their names.
std::set<std::string> MakeEntries(const TTempDir& dir, int count, std::mt19937& random) {
    std::set<std::string> names;
    std::uniform_int_distribution<long long> size(0, 1LL << 40);
    std::uniform_int_distribution<long long> seconds(-(1LL << 33), 1LL << 33);
    std::uniform_int_distribution<long> nanos(0, 999'999'999);
    while (static_cast<int>(names.size()) < count) {
        const std::string name = HostileName(random);
        if (!names.insert(name).second)
            continue;
        const std::string path = dir / name;
        switch (random() % 8) {
            case 0:
                mkdir(path.c_str(), 0755);
                break;
            case 1:
                EXPECT_EQ(symlink(random() % 2 ? "nowhere" : ".", path.c_str()), 0);
                break;
            case 2:
                EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
                break;
            default:
                dir.MakeFile(name, size(random));
        }
        const timespec times[2] = {{0, UTIME_OMIT}, {seconds(random), nanos(random)}};
        utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    return names;
}

void ExpectLikeLstat(const std::string& folder, const TDirEntry& e) {
    struct stat st;
    ASSERT_EQ(lstat((folder + "/" + e.Name).c_str(), &st), 0) << e.Name;
    const bool dir = S_ISDIR(st.st_mode);
    EXPECT_EQ(e.IsLink, S_ISLNK(st.st_mode)) << e.Name;
    EXPECT_EQ((e.Attr & faDirectory) != 0, dir) << e.Name;
    EXPECT_EQ((e.Attr & faSysFile) != 0, !dir && !S_ISLNK(st.st_mode) && !S_ISREG(st.st_mode))
        << e.Name;
    EXPECT_EQ((e.Attr & faHidden) != 0, e.Name[0] == '.') << e.Name;
    EXPECT_EQ(e.Size, dir ? 0 : st.st_size) << e.Name;
    EXPECT_EQ(e.StatSize, st.st_size) << e.Name;
    EXPECT_EQ(e.DiskBytes, static_cast<std::int64_t>(st.st_blocks) * 512) << e.Name;
    EXPECT_EQ(e.LastWriteSeconds, st.st_mtim.tv_sec) << e.Name;
    EXPECT_EQ(e.LastWriteNanos, static_cast<std::uint32_t>(st.st_mtim.tv_nsec)) << e.Name;
    EXPECT_EQ(e.Inode, st.st_ino) << e.Name;
    EXPECT_EQ(e.Links, st.st_nlink) << e.Name;
    EXPECT_EQ(e.Device, st.st_dev) << e.Name;
}

bool Same(const TDirEntry& a, const TDirEntry& b) {
    return a.Name == b.Name && a.Size == b.Size && a.StatSize == b.StatSize &&
           a.DiskBytes == b.DiskBytes && a.LastWriteSeconds == b.LastWriteSeconds &&
           a.LastWriteNanos == b.LastWriteNanos && a.Attr == b.Attr && a.IsLink == b.IsLink &&
           a.OtherMount == b.OtherMount && a.Device == b.Device && a.Inode == b.Inode &&
           a.Links == b.Links && a.MountId == b.MountId;
}

}  // namespace

// Folders below, at and above the size that brings in more threads.
TEST(BulkListing, MatchesTheReferenceAndTheListingEntryByEntry) {
    std::mt19937 random(2026);
    for (const int count : {0, 1, 700, 1024, 1025, 5000}) {
        SCOPED_TRACE(count);
        TTempDir dir;
        const std::set<std::string> made = MakeEntries(dir, count, random);
        std::vector<TDirEntry> entries;
        ASSERT_TRUE(ListFolderNative(dir.Path(), entries));

        std::set<std::string> listed;
        for (const TDirEntry& e : entries) {
            EXPECT_TRUE(listed.insert(e.Name).second) << "twice: " << e.Name;
            ExpectLikeLstat(dir.Path(), e);
        }
        std::set<std::string> reference;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            reference.insert(e.path().filename().string());
        EXPECT_EQ(listed, reference);
        EXPECT_EQ(listed, made);

        // The same entries in the same order as one read entry by entry.
        TDirListing one(dir.Path(), TDirListing::kFollowLink);
        std::vector<TDirEntry> single;
        for (TDirEntry e; one.Next(e);)
            single.push_back(e);
        ASSERT_EQ(single.size(), entries.size());
        for (std::size_t i = 0; i < single.size(); ++i)
            EXPECT_TRUE(Same(single[i], entries[i])) << i << ": " << single[i].Name;
    }
}

// An exception in the work of any worker reaches the caller once all have
// ended, instead of ending the program from a helper thread.
TEST(ForEachBlock, AnExceptionOfAnyWorkerReachesTheCaller) {
    for (const std::size_t thrower : {std::size_t{0}, std::size_t{5000}, std::size_t{99999}}) {
        std::atomic<std::size_t> done{0};
        EXPECT_THROW(ForEachBlock(100000,
                                  [&](unsigned, std::size_t i) {
                                      if (i == thrower)
                                          throw std::bad_alloc();
                                      ++done;
                                  }),
                     std::bad_alloc)
            << thrower;
        EXPECT_LT(done.load(), 100000u);
    }
}
