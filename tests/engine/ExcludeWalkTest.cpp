// Exclude rules in the walk and the export: one thread or several, folders
// opened by name or by a path too long for one open, the same result; a
// cache folder is left out only with its signature; no rules change
// nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>

#include "engine/AnalizeDisk.h"
#include "engine/NcduExport.h"
#include "platform/DriveTable.h"
#include "platform/KernelFileSystem.h"
#include "tests/engine/RandomTree.h"
#include "tests/platform/TempDir.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Folder -> total of a whole walk of T:.
std::map<std::string, std::string> Totals(const TExcludeRules& rules, bool parallel,
                                          int threads = 4) {
    TAnalizeDisk a;
    a.Directory = "T:\\";
    a.Recurse = true;
    a.ParallelWalk = parallel;
    a.WalkThreads = threads;
    a.Exclude = rules;
    a.Execute();
    std::map<std::string, std::string> totals;
    for (std::size_t i = 0; i < a.Dirs().size(); ++i)
        totals[std::string(a.Dirs()[i])] = std::string(a.DirSizes()[i]);
    return totals;
}

std::string Exported(const std::string& root, const TExcludeRules* rules, int threads,
                     const std::string& file) {
    TExportSettings s;
    s.NativeRoot = root;
    s.ProgVer = "test";
    s.Timestamp = 1700000000;
    s.Threads = threads;
    s.Exclude = rules;
    s.Window.OpenFolders = 2;  // most folders opened by their path
    TExportOutput out;
    std::string error;
    EXPECT_TRUE(out.Open(file, error) && ExportNcdu(s, out, error) && out.Commit(error)) << error;
    return ReadAll(file);
}

std::string Exported(const std::string& root, const TExcludeRules* rules, int threads) {
    return Exported(root, rules, threads, root + ".json");
}

// The line the export gives the item called name.
std::string LineOf(const std::string& exported, const std::string& name) {
    const std::size_t at = exported.find("{\"name\":\"" + name + "\"");
    if (at == std::string::npos)
        return std::string();
    return exported.substr(at, exported.find('}', at) - at + 1);
}

// Whether the folder is a mount of the given file system type (its own
// line in the mount table).
bool MountedAs(const std::string& folder, const std::string& type) {
    std::ifstream mounts("/proc/self/mounts");
    std::string device, point, fsType, rest;
    while (mounts >> device >> point >> fsType && std::getline(mounts, rest))
        if (point == folder && fsType == type)
            return true;
    return false;
}

// Deep enough that the sequential export opens the deepest folders by path.
void MakeChain(const std::string& root, int depth) {
    std::string path = root;
    for (int i = 0; i < depth; ++i) {
        path += "/d";
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        WriteFile(path + "/f" + std::to_string(i % 3) + ".o", std::string(i % 7, 'x'));
    }
}

}  // namespace

TEST(ExcludeWalk, ThreadsAndOpeningsAgreeWithRules) {
    TTempDir dir;
    const std::string root = dir / "t";
    MakeRandomTree(root, 7, 60, 400);
    MakeChain(root, 140);
    ASSERT_EQ(mkdir((root + "/cache").c_str(), 0755), 0);
    WriteFile(root + "/cache/CACHEDIR.TAG", std::string(TExcludeRules::kCacheSignature) + "\n");
    WriteFile(root + "/cache/big", std::string(5000, 'c'));
    const TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', root}}));
    TExcludeRules rules;
    std::string error;
    ASSERT_TRUE(rules.Set({"data*", "*.old", "x", "f1.o", "*/d/d/d/d/f2.o"}, true, error));

    const auto sequential = Totals(rules, false);
    EXPECT_EQ(Totals(rules, true), sequential);
    EXPECT_EQ(Totals(rules, true, 2), sequential);
    const auto all = Totals(TExcludeRules(), true);
    EXPECT_LT(sequential.size(), all.size());  // excluded folders are not entered
    EXPECT_EQ(sequential.count("T:\\cache"), 0u);
    EXPECT_EQ(all.count("T:\\cache"), 1u);
    EXPECT_LT(std::stoll(sequential.at("T:")), std::stoll(all.at("T:")));

    const std::string one = Exported(root, &rules, 1);
    EXPECT_EQ(Exported(root, &rules, 4), one);
    EXPECT_NE(one.find(R"([{"name":"cache","excluded":"pattern"}])"), std::string::npos);
    EXPECT_NE(one.find(R"({"name":"f1.o","dev":0,"excluded":"pattern"})"), std::string::npos);
    EXPECT_EQ(one.find(R"({"name":"f0.o","dev":0)"), std::string::npos);
    // Without rules, or with none given, the export is today's.
    const TExcludeRules none;
    EXPECT_EQ(Exported(root, &none, 1), Exported(root, nullptr, 1));
    EXPECT_EQ(Exported(root, nullptr, 4).find("excluded"), std::string::npos);
}

// A tag is a cache's only with the signature at its start, and only when
// caches are excluded.
TEST(ExcludeWalk, CacheTagNeedsTheSignature) {
    TTempDir dir;
    const std::string root = dir / "t";
    ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
    const std::string signature(TExcludeRules::kCacheSignature);
    const std::map<std::string, std::string> tags = {
        {"exact", signature},
        {"more", signature + "\n# made by a build\n"},
        {"short", signature.substr(0, signature.size() - 1)},
        {"late", " " + signature},
        {"none", ""}};
    for (const auto& tag : tags) {
        ASSERT_EQ(mkdir((root + "/" + tag.first).c_str(), 0755), 0);
        if (!tag.second.empty())
            WriteFile(root + "/" + tag.first + "/CACHEDIR.TAG", tag.second);
        WriteFile(root + "/" + tag.first + "/data", "12345");
    }
    const TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', root}}));
    TExcludeRules caches, patternsOnly;
    std::string error;
    ASSERT_TRUE(caches.Set({}, true, error));
    ASSERT_TRUE(patternsOnly.Set({"nothing-here"}, false, error));
    const auto left = Totals(caches, true);
    for (const char* kept : {"short", "late", "none"})
        EXPECT_EQ(left.count(std::string("T:\\") + kept), 1u) << kept;
    for (const char* gone : {"exact", "more"})
        EXPECT_EQ(left.count(std::string("T:\\") + gone), 0u) << gone;
    EXPECT_EQ(Totals(patternsOnly, true).size(), 6u);
}

// A mount the walk does not enter is "kernfs" when it is a kernel file
// system and "othfs" otherwise, with one thread or several.
TEST(ExcludeWalk, KernelFileSystemsAreToldFromOtherMounts) {
    EXPECT_TRUE(IsKernelFileSystem(-1, "/proc"));
    TTempDir dir;
    EXPECT_FALSE(IsKernelFileSystem(-1, dir.Path()));
    EXPECT_FALSE(IsKernelFileSystem(-1, dir / "missing"));
    if (!MountedAs("/dev/pts", "devpts") || !MountedAs("/dev/shm", "tmpfs"))
        GTEST_SKIP() << "needs /dev/pts (devpts) and /dev/shm (tmpfs) mounted below /dev";
    const TScopedDriveTable table(TDriveTable({{'C', "/"}}));
    for (const int threads : {1, 4}) {
        const std::string exported = Exported("/dev", nullptr, threads, dir / "dev.json");
        EXPECT_NE(LineOf(exported, "pts").find(R"("excluded":"kernfs")"), std::string::npos)
            << LineOf(exported, "pts");
        EXPECT_NE(LineOf(exported, "shm").find(R"("excluded":"othfs")"), std::string::npos)
            << LineOf(exported, "shm");
    }
}
