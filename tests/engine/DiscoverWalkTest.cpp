// The Discover data a real walk collects, against a plain reference built
// from find(1) on a random tree with hostile names: the largest files (a
// hard-linked file once, where the scan counts it; equal sizes by path), the
// type table under the same cap rule, each listed type's largest files, the
// largest files changed a year before the scan, allocated bytes and times;
// and after a folder rescan that adds, grows and deletes files, the lists a
// fresh scan would give, down to each one's floor.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>

#include "engine/AnalizeDisk.h"
#include "engine/DirOrder.h"
#include "engine/DiscoverSink.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"

namespace {

// A file as find(1) lists it.
struct FoundFile {
    std::uint64_t Inode;
    std::int64_t Size, Blocks, MTime;
    std::string Folder, Name;  // drive form, escaped; raw
};

std::string DriveFolder(const std::string& root, const std::string& nativeFolder) {
    std::string path = "C:";
    std::string_view rest(nativeFolder);
    rest.remove_prefix(root.size());
    while (!rest.empty()) {
        rest.remove_prefix(1);  // the "/"
        const std::size_t end = std::min(rest.find('/'), rest.size());
        path += "\\" + EscapeName(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    return path;
}

// Every entry below Root that is not a folder: "%i %s %b %T@ %p\0".
std::vector<FoundFile> Find(const std::string& root) {
    const std::string command =
        "find '" + root + "' -mindepth 1 -not -type d -printf '%i %s %b %T@ %p\\0'";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string out;
    char buffer[65536];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0);
    std::vector<FoundFile> files;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find('\0', at);
        const std::string record = out.substr(at, end - at);
        at = end + 1;
        FoundFile f{};
        double mtime = 0;
        int used = 0;
        sscanf(record.c_str(), "%lu %ld %ld %lf %n", &f.Inode, &f.Size, &f.Blocks, &mtime, &used);
        const std::string path = record.substr(used);
        const std::size_t slash = path.rfind('/');
        f.Folder = DriveFolder(root, path.substr(0, slash));
        f.Name = path.substr(slash + 1);
        f.MTime = static_cast<std::int64_t>(mtime);
        files.push_back(f);
    }
    return files;
}

// Each inode once: in the folder that sorts first, at its name there that
// is first in byte order.
std::vector<FoundFile> Once(std::vector<FoundFile> files) {
    std::map<std::uint64_t, FoundFile> kept;
    for (FoundFile& f : files) {
        auto [it, added] = kept.try_emplace(f.Inode, f);
        const int order = CompareDirs(f.Folder, it->second.Folder);
        if (!added && (order < 0 || (order == 0 && f.Name < it->second.Name)))
            it->second = f;
    }
    files.clear();
    for (auto& entry : kept)
        files.push_back(entry.second);
    return files;
}

std::vector<TLargeFile> ReferenceLargest(const std::vector<FoundFile>& files) {
    std::vector<TLargeFile> list;
    for (const FoundFile& f : files)
        list.push_back({f.Folder + "\\" + EscapeName(f.Name), f.Size, f.Blocks * 512, f.MTime});
    std::sort(list.begin(), list.end(), LargerFile);
    if (list.size() > kLargestFiles)
        list.resize(kLargestFiles);
    return list;
}

TFileTypes ReferenceTypes(const std::vector<FoundFile>& files) {
    std::map<std::string, TTypeTotal> all;
    TFileTypes types;
    for (const FoundFile& f : files) {
        std::string ext(FileExtension(f.Name));
        for (char& c : ext)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        TTypeTotal& t = ext.empty() ? types.NoExtension : all[ext];
        t.Ext = ext;
        t.Add(f.Size, f.Blocks * 512);
    }
    std::vector<TTypeTotal> sorted;
    for (auto& entry : all)
        sorted.push_back(entry.second);
    std::sort(sorted.begin(), sorted.end(), [](const TTypeTotal& a, const TTypeTotal& b) {
        return a.Bytes != b.Bytes ? a.Bytes > b.Bytes : a.Ext < b.Ext;
    });
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i < kKeptTypes)
            types.Kept.push_back(sorted[i]);
        else
            types.Other.Add(sorted[i]);
    }
    return types;
}

// Of Files, those that Keep takes, in the list's order, at most Capacity.
template <class Keep>
std::vector<TLargeFile> ReferenceList(const std::vector<FoundFile>& files, std::size_t capacity,
                                      Keep keep) {
    std::vector<FoundFile> kept;
    for (const FoundFile& f : files)
        if (keep(f))
            kept.push_back(f);
    std::vector<TLargeFile> list = ReferenceLargest(kept);
    if (list.size() > capacity)
        list.resize(capacity);
    return list;
}

std::string TypeOf(const FoundFile& f) {
    std::string ext(FileExtension(f.Name));
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext;
}

// List equals the reference down to its floor: every file larger than it.
void ExpectDownToFloor(const TFileList& list, const std::vector<TLargeFile>& reference,
                       const std::string& what) {
    std::vector<TLargeFile> expected;
    for (const TLargeFile& f : reference)
        if (f.Size > list.Floor)
            expected.push_back(f);
    EXPECT_EQ(list.Files, expected) << what;
}

// The types' and the old files' lists against the files find found.
void ExpectTypeAndOldFiles(const TDiscoverData& data, const std::vector<FoundFile>& found,
                           const std::string& what) {
    ASSERT_TRUE(data.TypeFilesKnown && data.OldKnown()) << what;
    std::size_t exact = 0;
    for (const TTypeTotal& t : data.Types.Kept) {
        const auto list = data.TypeFiles.find(t.Ext);
        ASSERT_NE(list, data.TypeFiles.end()) << t.Ext << ", " << what;
        ExpectDownToFloor(list->second,
                          ReferenceList(found, kTypeFiles,
                                        [&t](const FoundFile& f) { return TypeOf(f) == t.Ext; }),
                          "type " + t.Ext + ", " + what);
        exact += list->second.Floor < 0;
    }
    EXPECT_EQ(data.TypeFiles.size(), data.Types.Kept.size()) << what;
    const std::int64_t before = data.OldBefore();
    const std::vector<TLargeFile> old =
        ReferenceList(found, kOldFiles, [before](const FoundFile& f) { return f.MTime < before; });
    ExpectDownToFloor(data.Old, old, "old files, " + what);
    EXPECT_EQ(old.size(), kOldFiles) << what;
    EXPECT_GT(exact, data.Types.Kept.size() / 2) << what;
}

TDiscoverData Scan(const std::string& driveForm, int threads) {
    TAnalizeDisk analyzer;
    analyzer.Directory = driveForm;
    analyzer.Recurse = true;
    analyzer.WalkThreads = threads;
    analyzer.MakeFileSink = &TDiscoverSink::Make;
    analyzer.Execute();
    std::unique_ptr<TFileSink> sink = analyzer.TakeFileSink();
    EXPECT_NE(sink, nullptr);
    return sink ? static_cast<TDiscoverSink&>(*sink).Data() : TDiscoverData{};
}

// Names with line breaks, backslashes, "%", blanks, bytes that are not
// UTF-8, leading dots, several dots and extensions in either case.
class HostileTree {
  public:
    HostileTree(const std::string& root, unsigned seed) : root_(root), random_(seed) {}

    std::string Name() {
        static const char* const kStems[] = {"a",      "new\nline", "back\\slash", "100%",
                                             "blank ", "\xff\xfe",  ".hidden",     "x.tar",
                                             "cr\r",   "",          "..",          "Dots.."};
        std::string name = kStems[random_() % std::size(kStems)] + std::to_string(counter_++);
        if (random_() % 5 != 0) {
            // About 700 extensions, so that the table's cap of 500 is met.
            std::string ext = "e" + std::to_string(random_() % 700);
            if (random_() % 3 == 0)
                ext[0] = 'E';
            if (random_() % 20 == 0)
                ext += "\n";
            name += "." + ext;
        }
        return name;
    }

    void Build(int folders, int files) {
        dirs_.push_back(root_);
        for (int i = 0; i < folders; ++i) {
            const std::string parent =
                random_() % 4 ? dirs_[random_() % dirs_.size()] : dirs_.back();
            std::string name = Name();
            if (name.rfind(".", 0) == 0 && name.size() <= 2)
                name = "d" + name;
            dirs_.push_back(parent + "/" + name);
            ASSERT_EQ(mkdir(dirs_.back().c_str(), 0755), 0) << dirs_.back();
        }
        for (int i = 0; i < files; ++i)
            AddFile(dirs_[random_() % dirs_.size()]);
        // Hard links across folders and within one: a file may have several
        // names in a folder, which the listing gives in no particular order.
        for (int i = 0; i < 30; ++i) {
            const std::string& target = made_[random_() % made_.size()];
            const std::string folder = random_() % 3 ? dirs_[random_() % dirs_.size()]
                                                     : target.substr(0, target.rfind('/'));
            ASSERT_EQ(link(target.c_str(), (folder + "/hard" + std::to_string(i)).c_str()), 0);
        }
        ASSERT_EQ(symlink("nowhere", (dirs_[1] + "/dangling.lnk").c_str()), 0);
        ASSERT_EQ(symlink("..", (dirs_[2] + "/up").c_str()), 0);
    }

    void AddFile(const std::string& folder) {
        made_.push_back(folder + "/" + Name());
        std::ofstream(made_.back()).flush();
        Resize(made_.back());
    }

    // Sizes from a few values (many equal sizes) up to 16 MB, most sparse;
    // times spread over years.
    void Resize(const std::string& file) {
        static const std::int64_t kSizes[] = {0, 1, 4096, 4097, 65536, 1 << 20};
        const std::int64_t size = random_() % 2 ? kSizes[random_() % std::size(kSizes)]
                                                : std::int64_t(random_() % (16 << 20));
        ASSERT_EQ(truncate(file.c_str(), size), 0);
        if (random_() % 3 == 0) {
            std::ofstream out(file, std::ios::in | std::ios::out | std::ios::binary);
            out << "data";  // some blocks really taken
        }
        const timeval times[2] = {{1500000000 + long(random_() % 300000000), 0},
                                  {1500000000 + long(random_() % 300000000), 0}};
        ASSERT_EQ(utimes(file.c_str(), times), 0);
    }

    const std::vector<std::string>& Dirs() const { return dirs_; }
    std::vector<std::string>& Made() { return made_; }
    std::mt19937& Random() { return random_; }

  private:
    std::string root_;
    std::mt19937 random_;
    int counter_ = 0;
    std::vector<std::string> dirs_, made_;
};

}  // namespace

TEST(DiscoverWalk, TheScanListsWhatFindFindsAndARescanKeepsItTrue) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const std::string root = temp.path().toStdString() + "/drive";
    ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
    TScopedDriveTable table(TDriveTable({TDrive{'C', root}}));
    HostileTree tree(root, 20261209);
    tree.Build(150, 3000);
    if (HasFatalFailure())
        return;

    const std::vector<FoundFile> found = Once(Find(root));
    ASSERT_GT(found.size(), kLargestFiles);
    for (int threads : {1, 4}) {
        const TDiscoverData data = Scan("C:\\", threads);
        EXPECT_EQ(data.Largest, ReferenceLargest(found)) << threads << " threads";
        EXPECT_EQ(data.Floor, -1);
        EXPECT_TRUE(data.Types == ReferenceTypes(found)) << threads << " threads";
        EXPECT_EQ(data.Types.Kept.size(), kKeptTypes);
        ExpectTypeAndOldFiles(data, found, std::to_string(threads) + " threads");
        EXPECT_EQ(data.Old.Floor, -1);
    }

    // A folder with many of the files: some deleted, some grown, some added.
    const TDiscoverData before = Scan("C:\\", 4);
    std::map<std::string, int> perFolder;
    for (const std::string& f : tree.Made())
        ++perFolder[f.substr(0, f.rfind('/'))];
    std::string folder = tree.Dirs()[1];
    for (const auto& [dir, count] : perFolder)
        if (dir != root && count > perFolder[folder])
            folder = dir;
    for (const std::string& f : tree.Made()) {
        if (f.rfind(folder + "/", 0) != 0 || f.find('/', folder.size() + 1) != std::string::npos)
            continue;
        if (tree.Random()() % 3 == 0)
            unlink(f.c_str());
        else if (tree.Random()() % 2 == 0)
            tree.Resize(f);
    }
    for (int i = 0; i < 40; ++i)
        tree.AddFile(folder);
    const std::string driveFolder = DriveFolder(root, folder);
    TDiscoverData merged = before;
    merged.MergeRescan(driveFolder, Scan(driveFolder, 2));
    const std::vector<TLargeFile> fresh = ReferenceLargest(Once(Find(root)));
    ASSERT_FALSE(merged.Largest.empty());
    std::vector<TLargeFile> expected;
    for (const TLargeFile& f : fresh)
        if (f.Size >= merged.Largest.back().Size)
            expected.push_back(f);
    EXPECT_EQ(merged.Largest, expected);
    EXPECT_EQ(merged.Partial(), merged.Largest.size() < kLargestFiles);
    const std::vector<FoundFile> foundAfter = Once(Find(root));
    for (const auto& [type, list] : merged.TypeFiles) {
        const std::string& ext = type;  // a lambda cannot name a structured binding
        ExpectDownToFloor(list,
                          ReferenceList(foundAfter, kTypeFiles,
                                        [&ext](const FoundFile& f) { return TypeOf(f) == ext; }),
                          "type " + ext + " after the rescan");
    }
    const std::int64_t oldBefore = merged.OldBefore();
    ExpectDownToFloor(
        merged.Old,
        ReferenceList(foundAfter, kOldFiles,
                      [oldBefore](const FoundFile& f) { return f.MTime < oldBefore; }),
        "old files after the rescan");
    EXPECT_EQ(Scan("C:\\", 3).Largest, fresh);
}
