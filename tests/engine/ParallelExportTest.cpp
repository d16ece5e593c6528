// The export with several listing threads against the one written on a
// single thread: the same bytes, plain and compressed, on random trees
// with hostile names, hard links, unreadable folders and paths too long for
// one open, whatever the threads and however small the window; and the same
// partial output when cancelled.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "engine/NcduExport.h"
#include "tests/engine/RandomTree.h"
#include "tests/platform/TempDir.h"

namespace {

std::string ReadExport(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TExportSettings Settings(const std::string& root, int threads, TExportWindow window = {}) {
    TExportSettings s;
    s.NativeRoot = root;
    s.ProgVer = "test";
    s.Timestamp = 1700000000;
    s.Threads = threads;
    s.Window = window;
    return s;
}

bool ExportTree(const TExportSettings& s, const std::string& file, std::string& error) {
    TExportOutput out;
    return out.Open(file, error) && ExportNcdu(s, out, error) && out.Commit(error);
}

// A chain of Depth folders with long names, opened from each other: the
// deepest paths are longer than one open takes.
void MakeLongChain(const std::string& root, int depth) {
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    const std::string name(60, 'n');
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int file = openat(fd, ("f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        close(file);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    close(fd);
}

// A random tree with the names a JSON text finds hardest, more hard links,
// a fifo, a wide folder and a long chain.
void MakeExportTree(const std::string& root, unsigned seed) {
    MakeRandomTree(root, seed, 150, 400);
    for (const std::string name : {"line\nbreak", "esc\x1b[31m", "quote\"d", "back\\slash",
                                   "tab\there", "bad \xff\xfe", "\x7f"}) {
        ASSERT_EQ(mkdir((root + "/" + name).c_str(), 0755), 0);
        std::ofstream(root + "/" + name + "/f " + name) << name;
        ASSERT_EQ(link((root + "/" + name + "/f " + name).c_str(),
                       (root + "/hard " + std::to_string(name.size()) + name).c_str()),
                  0);
    }
    ASSERT_EQ(mkfifo((root + "/a fifo").c_str(), 0644), 0);
    // Enough entries that the export goes out in several pieces.
    ASSERT_EQ(mkdir((root + "/wide").c_str(), 0755), 0);
    for (int i = 0; i < 300; ++i) {
        const std::string folder = root + "/wide/" + std::to_string(i);
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        for (int f = 0; f < 30; ++f)
            std::ofstream(folder + "/a file with a name of some length " + std::to_string(f));
    }
    MakeLongChain(root + "/wide/7", 80);
}

// Thread counts with windows from none to the default; OpenFolders 0 opens
// every subfolder by its path.
const std::pair<int, TExportWindow> kParallel[] = {
    {2, {}}, {8, {1, 1 << 20, 0}}, {3, {2, 1 << 20, 1}}, {64, {7, 1 << 20, 3}}, {5, {64, 1, 8}}};

}  // namespace

TEST(ParallelExport, WritesTheBytesOfTheSequentialExport) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TTempDir dir;
        const std::string tree = dir / "tree";
        MakeExportTree(tree, seed);
        std::string error;
        TExportProgress counted;
        TExportSettings one = Settings(tree, 1);
        one.Progress = &counted;
        ASSERT_TRUE(ExportTree(one, dir / "one.json", error)) << error;
        ASSERT_TRUE(ExportTree(one, dir / "one.json.zst", error)) << error;
        const std::string plain = ReadExport(dir / "one.json");
        const std::string packed = ReadExport(dir / "one.json.zst");
        // Long enough that the output goes out in several pieces.
        ASSERT_GT(plain.size(), std::size_t{1} << 19);
        for (const auto& [threads, window] : kParallel) {
            SCOPED_TRACE("threads " + std::to_string(threads) + ", window " +
                         std::to_string(window.Folders));
            TExportProgress progress;
            TExportSettings many = Settings(tree, threads, window);
            many.Progress = &progress;
            ASSERT_TRUE(ExportTree(many, dir / "many.json", error)) << error;
            ASSERT_TRUE(ExportTree(many, dir / "many.json.zst", error)) << error;
            EXPECT_TRUE(ReadExport(dir / "many.json") == plain);
            EXPECT_TRUE(ReadExport(dir / "many.json.zst") == packed);
            EXPECT_EQ(progress.Folders.load(), counted.Folders.load());
            EXPECT_EQ(progress.Files.load(), counted.Files.load());
            EXPECT_EQ(progress.Bytes.load(), counted.Bytes.load());
        }
    }
}

// Folders an unprivileged user cannot read or search are marked in the
// same place; a root that cannot be read is refused with the same message.
TEST(ParallelExport, UnreadableFoldersAsTheSequentialExport) {
    TTempDir dir;
    const std::string tree = dir / "tree";
    MakeRandomTree(tree, 7, 80, 200);
    ASSERT_EQ(mkdir((tree + "/wide").c_str(), 0755), 0);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(mkdir((tree + "/wide/" + std::to_string(i)).c_str(), 0755), 0);
    for (const auto& [name, mode] :
         {std::pair{"closed", 0}, {"search only", 0111}, {"read only", 0444}, {"wide/closed", 0}}) {
        const std::string path = tree + "/" + name;
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        std::ofstream(path + "/f") << "secret";
        ASSERT_EQ(mkdir((path + "/inner").c_str(), 0755), 0);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
    }
    const std::string out = dir / "out";
    ASSERT_EQ(mkdir(out.c_str(), 0777), 0);
    ASSERT_EQ(chmod(out.c_str(), 0777), 0);
    const int status = RunInChild([&] {
        if (!DropPrivileges())
            return 2;
        std::string error;
        if (!ExportTree(Settings(tree, 1), out + "/one.json", error))
            return 3;
        for (const auto& [threads, window] : kParallel)
            if (!ExportTree(Settings(tree, threads, window), out + "/many.json", error) ||
                ReadExport(out + "/many.json") != ReadExport(out + "/one.json"))
                return 4;
        // The root itself unreadable.
        std::string one, many;
        const std::string closed = tree + "/closed";
        if (ExportTree(Settings(closed, 1), out + "/x.json", one) ||
            ExportTree(Settings(closed, 8), out + "/x.json", many) || one != many ||
            one.find("cannot be read") == std::string::npos)
            return 5;
        return access((out + "/x.json").c_str(), F_OK) == 0 ? 6 : 0;
    });
    ASSERT_EQ(status, 0);
    const std::string written = ReadExport(out + "/one.json");
    std::size_t marked = 0;
    for (std::size_t at = 0; (at = written.find("\"read_error\":true", at)) != std::string::npos;
         ++at)
        ++marked;
    // The two closed folders and the one that can be searched but not read.
    EXPECT_EQ(marked, 3u);
}

// A cancelled export into a file leaves none; on standard output it stops
// after the same whole pieces of the same bytes, with any threads.
TEST(ParallelExport, CancelledAsTheSequentialExport) {
    TTempDir dir;
    const std::string tree = dir / "tree";
    MakeExportTree(tree, 5);
    std::string error;
    ASSERT_TRUE(ExportTree(Settings(tree, 1), dir / "whole.json", error)) << error;
    const std::string whole = ReadExport(dir / "whole.json");
    for (const int threads : {1, 8}) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        std::atomic<bool> cancel{true};
        TExportSettings s = Settings(tree, threads);
        s.Cancel = &cancel;
        EXPECT_FALSE(ExportTree(s, dir / "cancelled.json", error));
        EXPECT_EQ(error, "cancelled");
        EXPECT_NE(access((dir / "cancelled.json").c_str(), F_OK), 0);

        // Cancelled as soon as the first piece reaches the other end of
        // standard output.
        const std::string got = dir / ("got" + std::to_string(threads));
        const int status = RunInChild([&] {
            int ends[2];
            if (pipe(ends) != 0 || dup2(ends[1], 1) < 0)
                return 2;
            close(ends[1]);
            cancel = false;
            std::string read;
            std::thread reader([&] {
                char buffer[1 << 16];
                for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) {
                    read.append(buffer, static_cast<std::size_t>(n));
                    cancel = true;
                }
            });
            std::string why;
            const bool written = ExportTree(s, "-", why);
            close(1);
            reader.join();
            std::ofstream(got, std::ios::binary) << read;
            return !written && why == "cancelled" ? 0 : 3;
        });
        ASSERT_EQ(status, 0);
        const std::string part = ReadExport(got);
        EXPECT_GT(part.size(), 0u);
        EXPECT_LT(part.size(), whole.size());
        EXPECT_EQ(part.size() % (1 << 18), 0u);
        EXPECT_TRUE(whole.compare(0, part.size(), part) == 0);
    }
}
