// The Discover data's parts against plain references: the heap of largest
// files, the capped type table, the stored text and the rescan update.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <set>

#include "engine/DiscoverCollector.h"
#include "engine/DiscoverData.h"
#include "engine/NcduImport.h"
#include "platform/DriveForm.h"

namespace {

struct RefFile {
    std::uint32_t Folder;
    std::string Name;  // raw
    std::int64_t Size;
};

std::string FolderText(std::uint32_t folder) {
    return folder == 0 ? "C:"
                       : "C:\\d" + std::to_string(folder % 7) + "\\s" + std::to_string(folder);
}

std::string PathOf(const RefFile& f) {
    return FolderText(f.Folder) + "\\" + EscapeName(f.Name);
}

// Files with many equal sizes and names that need escaping.
std::vector<RefFile> RandomFiles(std::mt19937& random, std::size_t count) {
    static const char* const kNames[] = {
        "a.TXT",         "b.txt",  ".bashrc", "x.tar.Gz", "new\nline.iso",
        "back\\slash.c", "100%.c", "README",  "notes.",   "..x"};
    std::vector<RefFile> files;
    std::set<std::pair<std::uint32_t, std::string>> taken;
    while (files.size() < count) {
        // One draw per statement: the operands of "+" are drawn in an order
        // each compiler chooses, which would make the files differ by build.
        const auto folder = static_cast<std::uint32_t>(random() % 40);
        std::string name = kNames[random() % 10];
        name += random() % 2 ? "" : "2";
        name += std::to_string(random() % 50);
        const auto size = static_cast<std::int64_t>(random() % 300) * 10;
        if (taken.emplace(folder, name).second)  // a folder holds a name once
            files.push_back({folder, std::move(name), size});
    }
    return files;
}

std::vector<TLargeFile> Reference(const std::vector<RefFile>& files, std::size_t keep) {
    std::vector<TLargeFile> all;
    for (const RefFile& f : files)
        all.push_back({PathOf(f), f.Size, f.Size * 2, 7});
    std::sort(all.begin(), all.end(), LargerFile);
    if (all.size() > keep)
        all.resize(keep);
    return all;
}

TDiscoverData Collect(const std::vector<RefFile>& files, int threads, std::size_t capacity) {
    std::vector<TDiscoverCollector> each;
    for (int t = 0; t < threads; ++t)
        each.emplace_back(capacity);
    // As in a walk: the threads' lists share their bar.
    for (int t = 1; t < threads; ++t)
        each[t].Join(each[0]);
    for (std::size_t i = 0; i < files.size(); ++i)
        each[i % threads].File(files[i].Folder, files[i].Name, files[i].Size, files[i].Size * 2, 7);
    for (int t = 1; t < threads; ++t)
        each[0].Merge(std::move(each[t]));
    return each[0].Finish(FolderText);
}

}  // namespace

TEST(DiscoverData, TheHeapKeepsTheLargestFilesTiesByPathOnBothSidesOfItsSize) {
    std::mt19937 random(11);
    for (std::size_t count : {0, 1, 99, 100, 101, 4000}) {
        for (int threads : {1, 3, 8}) {
            const std::vector<RefFile> files = RandomFiles(random, count);
            const TDiscoverData data = Collect(files, threads, 100);
            EXPECT_EQ(data.Largest, Reference(files, 100)) << count << " files, " << threads;
        }
    }
}

// One thread's full list raises the bar to its smallest size, 50: another
// thread's later files of that size still make the list (their paths sort
// first), and those one below it are passed over.
TEST(DiscoverData, TheSharedBarKeepsFilesOfItsOwnSize) {
    std::vector<RefFile> files;
    for (std::uint32_t i = 0; i < 400; ++i) {
        const bool first = i % 2 == 0;  // Collect gives even files to thread 0
        if (i < 200)
            files.push_back({1, (first ? "z" : "m") + std::to_string(i), first ? 50 : 10});
        else
            files.push_back(
                {1, (first ? "y" : "a") + std::to_string(i), first ? 1 : (i % 4 == 1 ? 50 : 49)});
    }
    EXPECT_EQ(Collect(files, 2, 100).Largest, Reference(files, 100));
}

// Equal sizes at the list's end are all kept up to their bound; past it the
// size is given up and the list says it holds every file larger than it.
TEST(DiscoverData, TooManyFilesOfTheSmallestSizeAreGivenUpAndTheListSaysSo) {
    for (std::size_t tied : {kTiedFiles + 50, kTiedFiles + 51}) {
        std::vector<RefFile> files;
        for (std::size_t i = 0; i < 50 + tied; ++i)
            files.push_back({static_cast<std::uint32_t>(i % 40), "f" + std::to_string(i),
                             i < 50 ? std::int64_t(100 + i) : 7});
        std::reverse(files.begin(), files.end());  // the large ones last
        const TDiscoverData data = Collect(files, 1, 100);
        if (tied == kTiedFiles + 50) {
            EXPECT_EQ(data.Largest, Reference(files, 100));
            EXPECT_EQ(data.Floor, -1);
        } else {
            EXPECT_EQ(data.Largest, Reference(files, 50));
            EXPECT_EQ(data.Floor, 7);
        }
    }
}

TEST(DiscoverData, ExtensionsFollowTheLastDotThatIsNotFirst) {
    EXPECT_EQ(FileExtension(".bashrc"), "");
    EXPECT_EQ(FileExtension("a.tar.GZ"), "GZ");
    EXPECT_EQ(FileExtension("README"), "");
    EXPECT_EQ(FileExtension("notes."), "");
    EXPECT_EQ(FileExtension("..x"), "x");
    EXPECT_EQ(FileExtension("a b.C d"), "C d");
    TFileTypeTable table;
    table.Add("A.TXT", 5, 8);
    table.Add("b.tXt", 1, 0);
    table.Add(".bashrc", 2, 4);
    table.Add("x.\xc3\x89", 3, 4);  // only ASCII letters change case
    const TFileTypes types = table.Finish();
    ASSERT_EQ(types.Kept.size(), 2u);
    EXPECT_EQ(types.Kept[0], (TTypeTotal{"txt", 2, 6, 8}));
    EXPECT_EQ(types.Kept[1], (TTypeTotal{"\xc3\x89", 1, 3, 4}));
    EXPECT_EQ(types.NoExtension, (TTypeTotal{"", 1, 2, 4}));
}

// Names of every length from 0 to 40 bytes, dots anywhere (first, last,
// doubled, 15 to 17 bytes from the end, where the look-up reads its two
// words), capitals and bytes above ASCII: every file lands in the type
// FileExtension names, folded to lower case, whichever thread's table
// counts it.
TEST(DiscoverData, EveryNameLengthCountsUnderTheExtensionItsLastDotNames) {
    std::mt19937 random(17);
    const std::string alphabet = "aB.z\xc3\x89Q. 9";
    std::map<std::string, TTypeTotal> reference;
    TTypeTotal none;
    std::vector<TFileTypeTable> tables(2);
    for (int i = 0; i < 40000; ++i) {
        std::string name(random() % 41, 'x');
        for (char& c : name)
            c = alphabet[random() % alphabet.size()];
        if (name.size() > 17 && random() % 4 == 0)
            name[name.size() - 15 - random() % 3] = '.';
        const auto bytes = static_cast<std::int64_t>(random() % 5000);
        TFileTypeTable& table = tables[random() % 2];
        // No file is offered to the lists: only a name without a type can
        // make none of them.
        const bool mayList = table.MayList(name, bytes);
        EXPECT_EQ(table.Add(name, bytes, 1) != nullptr, mayList) << name;
        std::string ext(FileExtension(name));
        for (char& c : ext)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        TTypeTotal& total = ext.empty() ? none : reference[ext];
        total.Ext = ext;
        total.Add(bytes, 1);
    }
    tables[0].Merge(std::move(tables[1]));
    const TFileTypes types = tables[0].Finish(kTypeSlots);
    EXPECT_EQ(types.NoExtension, none);
    EXPECT_EQ(types.Other, TTypeTotal{});
    ASSERT_EQ(types.Kept.size(), reference.size());
    for (const TTypeTotal& t : types.Kept)
        EXPECT_EQ(t, reference[t.Ext]) << t.Ext;
}

// Whatever the cap turns away, every listed type is exact, the listed ones
// are the largest of the exact ones, and nothing is lost in the sums; with
// room for every type the list is the plain top of the reference.
TEST(DiscoverData, TheCappedTypeTableListsOnlyExactTotalsAndLosesNothing) {
    std::mt19937 random(5);
    for (std::size_t slotCount : {std::size_t{6}, std::size_t{40}, kTypeSlots}) {
        std::map<std::string, TTypeTotal> reference;
        std::vector<TFileTypeTable> tables(3, TFileTypeTable(slotCount));
        TTypeTotal all;
        for (int i = 0; i < 20000; ++i) {
            // Extensions of 1 to 17 bytes (on both sides of what the table
            // packs into two words), in pairs that differ only in their
            // last byte, written in random case.
            const int kind = static_cast<int>(random() % 34);
            std::string written = std::string("abcdefghijklmnopq").substr(0, 1 + kind % 17);
            written.back() = kind < 17 ? 'x' : 'y';
            for (char& c : written)
                if (random() % 2 && c >= 'a')
                    c = static_cast<char>(c - 'a' + 'A');
            const std::string name = "f." + written;
            const std::int64_t bytes = static_cast<std::int64_t>(random() % 1000) * (kind + 1);
            tables[random() % 3].Add(name, bytes, bytes + 1);
            std::string ext(FileExtension(name));
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            reference[ext].Ext = ext;
            reference[ext].Add(bytes, bytes + 1);
            all.Add(bytes, bytes + 1);
        }
        tables[0].Merge(std::move(tables[1]));
        tables[0].Merge(std::move(tables[2]));
        // A copy goes on counting the same way (its look-ups are its own).
        TFileTypeTable copy = tables[0];
        copy.Add("x.A", 1, 1);
        tables[0].Add("y.a", 1, 1);
        reference["a"].Ext = "a";
        reference["a"].Add(1, 1);
        all.Add(1, 1);
        EXPECT_EQ(copy.Finish(10), tables[0].Finish(10)) << slotCount;
        const TFileTypes types = tables[0].Finish(10);
        EXPECT_EQ(types.All(), all) << slotCount;
        EXPECT_LE(types.Kept.size(), 10u);
        for (const TTypeTotal& t : types.Kept)
            EXPECT_EQ(t, reference[t.Ext]) << slotCount;
        if (slotCount < 34)
            continue;
        std::vector<TTypeTotal> top;
        for (const auto& entry : reference)
            top.push_back(entry.second);
        std::sort(top.begin(), top.end(), [](const TTypeTotal& a, const TTypeTotal& b) {
            return a.Bytes != b.Bytes ? a.Bytes > b.Bytes : a.Ext < b.Ext;
        });
        top.resize(10);
        EXPECT_EQ(types.Kept, top) << slotCount;
    }
}

TEST(DiscoverData, TypeTotalsStopAtTheLargestByteCount) {
    // An import counts files before it refuses sizes that add up to 2^63.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    TTypeTotal total;
    total.Add(std::int64_t{1} << 62, 1);
    total.Add((std::int64_t{1} << 62) - 1, kMax - 1);
    EXPECT_EQ(kMax, total.Bytes);  // exactly at the limit
    EXPECT_EQ(kMax, total.Allocated);
    total.Add(1, 1);  // one past it
    EXPECT_EQ(kMax, total.Bytes);
    EXPECT_EQ(kMax, total.Allocated);
    EXPECT_EQ(3u, total.Files);
    TTypeTotal sum;
    sum.Add(total);
    sum.Add(total);
    EXPECT_EQ(kMax, sum.Bytes);
    EXPECT_EQ(6u, sum.Files);
}

TEST(DiscoverData, TheStoredTextReadsBackAndAnythingElseIsRefused) {
    std::mt19937 random(3);
    TDiscoverData data = Collect(RandomFiles(random, 3000), 2, kLargestFiles);
    data.Largest[3].MTime = kNoTime;
    data.Floor = 12;
    data.TypesAsOfDriveScan = true;
    const std::string text = data.Text();
    TDiscoverData back;
    std::string error;
    ASSERT_TRUE(TDiscoverData::Parse(text, back, error)) << error;
    EXPECT_EQ(back, data);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    // Cut anywhere, a byte changed where it matters, or text appended.
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, text.size() / 2, text.size() - 1})
        EXPECT_FALSE(TDiscoverData::Parse(text.substr(0, cut), back, error)) << cut;
    std::string swapped = text;
    const std::size_t second = swapped.find("\r\n", swapped.find("largest")) + 2;
    swapped.insert(second, "1 ");  // a file larger than the one before it
    EXPECT_FALSE(TDiscoverData::Parse(swapped, back, error));
    EXPECT_FALSE(TDiscoverData::Parse(text + "x\r\n", back, error));
    EXPECT_EQ(back, TDiscoverData{});
}

// A rescan of one folder that adds, grows and deletes files: the merged
// list equals a fresh scan's down to the smallest size it holds, and says
// when it holds fewer files than a drive scan would.
TEST(DiscoverData, ARescanLeavesTheListAFreshScanWouldHaveDownToItsSmallestSize) {
    std::mt19937 random(9);
    for (int round = 0; round < 30; ++round) {
        std::vector<RefFile> files = RandomFiles(random, 200 + random() % 3000);
        const std::uint32_t rescanned = 1 + random() % 39;
        TDiscoverData stored = Collect(files, 2, kLargestFiles);
        std::vector<RefFile> after, inside;
        for (RefFile f : files) {
            if (f.Folder == rescanned && random() % 2 == 0)
                continue;  // deleted
            if (f.Folder == rescanned && random() % 3 == 0)
                f.Size += static_cast<std::int64_t>(random() % 5000);
            after.push_back(f);
        }
        for (int i = 0; i < static_cast<int>(random() % 60); ++i)
            after.push_back(
                {rescanned, "new" + std::to_string(i), std::int64_t(random() % 400) * 10});
        for (const RefFile& f : after)
            if (f.Folder == rescanned)
                inside.push_back(f);
        stored.MergeRescan(FolderText(rescanned), Collect(inside, 1, kLargestFiles));
        const std::vector<TLargeFile> fresh = Reference(after, kLargestFiles);
        std::vector<TLargeFile> expected;
        for (const TLargeFile& f : fresh)
            if (!stored.Largest.empty() && f.Size >= stored.Largest.back().Size)
                expected.push_back(f);
        EXPECT_EQ(stored.Largest, expected) << round;
        EXPECT_EQ(stored.Partial(), stored.Largest.size() < fresh.size()) << round;
        EXPECT_TRUE(stored.TypesAsOfDriveScan);
    }
}

// An export lists every file: its largest files and types come from it, a
// hard-linked file once (at its name in the folder that sorts first, as its
// bytes count), and an export without times (ncdu without -e) says so.
TEST(DiscoverData, AnImportedExportFillsTheDataAndSaysWhenItHasNoTimes) {
    const std::string withoutTimes =
        R"([1,2,{"progname":"ncdu","progver":"2.3","timestamp":1700000000},)"
        R"([{"name":"/srv"},{"name":"a.TXT","asize":10,"dsize":4096},)"
        R"([{"name":"z"},{"name":"link.bin","asize":500,"ino":7,"nlink":2}],)"
        R"([{"name":"b"},{"name":"same.bin","asize":500,"ino":7,"nlink":2},)"
        R"({"name":"new\nline.iso","asize":300}]]])";
    for (bool times : {false, true}) {
        std::string text = withoutTimes;
        if (times)
            text.replace(text.find(R"("asize":10)"), 10, R"("asize":10,"mtime":1600000000)");
        TMemorySource source(text);
        TNcduImport result;
        std::string error;
        ASSERT_TRUE(ImportNcdu(
            source, [](const std::string&) { return std::string("T:"); }, result, error))
            << error;
        const TDiscoverData& d = result.Discover;
        EXPECT_EQ(d.HasTimes, times);
        ASSERT_EQ(d.Largest.size(), 3u);
        EXPECT_EQ(d.Largest[0].Path, "T:\\b\\same.bin");
        EXPECT_EQ(d.Largest[1].Path, "T:\\b\\new%0Aline.iso");
        EXPECT_EQ(d.Largest[2].Path, "T:\\a.TXT");
        EXPECT_EQ(d.Largest[2].Allocated, 4096);
        EXPECT_EQ(d.Largest[2].MTime, times ? 1600000000 : kNoTime);
        EXPECT_EQ(d.Types.All().Files, 3u);
        EXPECT_EQ(d.Types.Kept[0], (TTypeTotal{"bin", 1, 500, 0}));
    }
}

// The types' files and the old files read back; a text as an earlier
// version wrote it (ending after the types), or one that ends after the
// types' files, loads with the missing lists not known; a list that does
// not hold what its section says is refused.
TEST(DiscoverData, TheLaterSectionsReadBackMayBeMissingAndAreChecked) {
    std::mt19937 random(21);
    constexpr std::int64_t kScan = 1800000000;
    TDiscoverCollector collector(kLargestFiles, kScan);
    for (const RefFile& f : RandomFiles(random, 3000))
        collector.File(f.Folder, f.Name, f.Size, f.Size + 1,
                       kScan - kOldSeconds + 1 - std::int64_t(random() % 3) * 86400);
    const TDiscoverData data = collector.Finish(FolderText);
    ASSERT_TRUE(data.TypeFilesKnown && data.OldKnown() && !data.Old.Files.empty());
    ASSERT_EQ(data.TypeFiles.size(), data.Types.Kept.size());
    const std::string text = data.Text();
    TDiscoverData back;
    std::string error;
    ASSERT_TRUE(TDiscoverData::Parse(text, back, error)) << error;
    EXPECT_EQ(back, data);

    const std::size_t typeFiles = text.find("\r\ntypefiles ") + 2;
    const std::size_t old = text.find("\r\nold ") + 2;
    for (std::size_t end : {typeFiles, old}) {
        ASSERT_TRUE(TDiscoverData::Parse(text.substr(0, end), back, error)) << error;
        TDiscoverData expected = data;
        expected.Old = {};
        expected.ScanTime = kNoTime;
        if (end == typeFiles) {
            expected.TypeFiles.clear();
            expected.TypeFilesKnown = false;
        }
        EXPECT_EQ(back, expected) << end;
    }

    // Each change below breaks what one line says of its list.
    const auto& [firstType, firstList] = *data.TypeFiles.begin();
    auto typeLine = [](std::size_t count, std::int64_t floor, const std::string& ext) {
        return "type " + std::to_string(count) + " " + std::to_string(floor) + " " + ext + "\r\n";
    };
    const std::string firstLine = typeLine(firstList.Files.size(), firstList.Floor, firstType);
    const TLargeFile& firstOld = data.Old.Files.front();
    const std::string oldLine = std::to_string(firstOld.Size) + " " +
                                std::to_string(firstOld.Allocated) + " " +
                                std::to_string(firstOld.MTime) + " ";
    // The first From at or after Start (the largest files may hold the
    // same line as the old files).
    auto replaced = [&text](const std::string& from, const std::string& to, std::size_t start = 0) {
        std::string changed = text;
        const std::size_t at = changed.find(from, start);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text + "x" : changed.replace(at, from.size(), to);
    };
    const std::string broken[] = {
        replaced(firstLine, typeLine(firstList.Files.size(), firstList.Floor, "nosuchtype")),
        replaced(firstLine, typeLine(kTypeFiles + 1, firstList.Floor, firstType)),
        replaced(firstLine, typeLine(firstList.Files.size(), -2, firstType)),
        replaced(firstLine,
                 typeLine(firstList.Files.size(), firstList.Files.back().Size, firstType)),
        replaced(oldLine,
                 std::to_string(firstOld.Size) + " " + std::to_string(firstOld.Allocated) + " " +
                     std::to_string(kScan - kOldSeconds) + " ",
                 old),
        replaced(oldLine,
                 std::to_string(firstOld.Size) + " " + std::to_string(firstOld.Allocated) + " - ",
                 old),
        replaced("\r\nold " + std::to_string(data.Old.Files.size()),
                 "\r\nold " + std::to_string(data.Old.Files.size() + 1)),
        replaced(" " + std::to_string(kScan) + "\r\n",
                 " " + std::to_string(kScan - 86400) + "\r\n"),
        text.substr(0, old) + "typefiles 0\r\n" + text.substr(old),
    };
    for (std::size_t i = 0; i < std::size(broken); ++i)
        EXPECT_FALSE(TDiscoverData::Parse(broken[i], back, error)) << i;
    // The old files exactly a year before the scan are not old; one second
    // earlier they are.
    TDiscoverCollector edge(kLargestFiles, kScan);
    edge.File(0, "a.x", 5, 5, kScan - kOldSeconds);
    edge.File(0, "b.x", 4, 4, kScan - kOldSeconds - 1);
    const TDiscoverData edged = edge.Finish(FolderText);
    ASSERT_EQ(edged.Old.Files.size(), 1u);
    EXPECT_EQ(edged.Old.Files[0].Path, "C:\\b.x");
    EXPECT_EQ(edged.TypeFiles.at("x").Files.size(), 2u);
}
