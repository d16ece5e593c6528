// The walk's table of hard links against the rule as an import applies it
// (CountLinksOnce over every sighting at the end): random trees, random
// files with names in random folders, folders committed in random orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "engine/DirOrder.h"
#include "engine/LinkCount.h"
#include "engine/LinkTable.h"

namespace {

// Names of bytes around the backslash (which a folder's escaped name never
// holds) and at the ends of the byte range, some of them prefixes of
// others, so that the order of paths turns on each rule.
std::string RandomLinkName(std::mt19937& random, bool folder = false) {
    static const std::string kBytes = "aAb [\\]~\x01\xff.";
    static const std::string kFolderBytes = "aAb []~\x01\xff.";
    const std::string& bytes = folder ? kFolderBytes : kBytes;
    std::string name;
    const int length = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < length; ++i)
        name += bytes[random() % bytes.size()];
    return name;
}

TFolderTree RandomLinkTree(std::mt19937& random, const std::string& root) {
    TFolderTree tree;
    tree.Reset(root, 1);
    for (std::uint32_t node = 0; node < tree.Nodes.size() && tree.Nodes.size() < 60; ++node) {
        std::vector<std::string> names;
        for (int i = static_cast<int>(random() % 4); i > 0; --i) {
            std::string n = RandomLinkName(random, true);
            if (std::find(names.begin(), names.end(), n) == names.end())
                names.push_back(n);
        }
        if (!names.empty())
            tree.AddChildren(node, names);
    }
    return tree;
}

// Which name counts and where, by file (device, inode): the kept folder's
// path and the name.
using TKept =
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::pair<std::string, std::string>>;

// A recording sink: what arrives, by file.
class TKeptSink : public TFileSink {
  public:
    explicit TKeptSink(const TFolderTree& tree) : tree_(tree) {}
    void File(const TWalkFile& f) override {
        ASSERT_TRUE(f.Counted);
        ASSERT_EQ(Files.count({f.Device, f.Inode}), 0u) << "a file arrives once";
        Files[{f.Device, f.Inode}] = {tree_.PathOf(f.Folder), std::string(f.Name)};
        Names += f.Names;
    }
    void Merge(TFileSink&) override {}
    TKept Files;
    std::uint32_t Names = 0;

  private:
    const TFolderTree& tree_;
};

}  // namespace

TEST(LinkTable, FoldersCompareAsTheirPathsDo) {
    std::mt19937 random(3);
    for (const std::string root : {"C:", "C:\\x", "D:\\a\\["}) {
        const TFolderTree tree = RandomLinkTree(random, root);
        const auto n = static_cast<std::uint32_t>(tree.Nodes.size());
        for (std::uint32_t a = 0; a < n; ++a)
            for (std::uint32_t b = 0; b < n; ++b) {
                const int want = CompareDirs(tree.PathOf(a), tree.PathOf(b));
                const int got = CompareFolders(tree, a, b);
                EXPECT_EQ(want < 0, got < 0) << tree.PathOf(a) << " | " << tree.PathOf(b);
                EXPECT_EQ(want == 0, got == 0) << tree.PathOf(a) << " | " << tree.PathOf(b);
            }
    }
}

TEST(LinkTable, TheWalksTableCountsEachFileWhereTheWholeListDoes) {
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        TFolderTree tree = RandomLinkTree(random, "C:");
        const auto folders = static_cast<std::uint32_t>(tree.Nodes.size());
        // Files of 2 to 4 names, some of them in one folder, some of them
        // (Links beyond the names) outside the walk.
        std::vector<std::vector<TLinkSighting>> byFolder(folders);
        std::vector<TLinkSeen> all;
        std::vector<std::string> allNames;
        for (std::uint64_t inode = 1; inode <= 30; ++inode) {
            const std::uint32_t names = 2 + static_cast<std::uint32_t>(random() % 3);
            const std::uint32_t links = names + static_cast<std::uint32_t>(random() % 2);
            const std::uint64_t device = random() % 2;
            const std::int64_t size = static_cast<std::int64_t>(random() % 1000);
            for (std::uint32_t i = 0; i < names; ++i) {
                const auto folder = static_cast<std::uint32_t>(random() % folders);
                TLinkSighting s;
                s.Device = device;
                s.Inode = inode;
                s.Size = size;
                s.Disk = size * 2;
                s.Links = links;
                s.First = true;
                s.FirstNames = 1;
                s.Name = RandomLinkName(random) + std::to_string(i);
                byFolder[folder].push_back(s);
                all.push_back({device, inode, folder, 0, size, size * 2, false,
                               static_cast<std::int64_t>(allNames.size())});
                allNames.push_back(s.Name);
            }
        }
        // The whole list at the end, on a tree where every name counted.
        TFolderTree whole = tree;
        for (const TLinkSeen& l : all) {
            whole.Own[l.Node] += l.Size;
            whole.OwnDisk[l.Node] += l.Disk;
        }
        CountLinksOnce(all, whole, [&allNames](const TLinkSeen& l) {
            return std::string_view(allNames[static_cast<std::size_t>(l.Detail)]);
        });
        TKept want;
        for (const TLinkSeen& l : all)
            if (l.Kept)
                want[{l.Device, l.Inode}] = {whole.PathOf(l.Node),
                                             allNames[static_cast<std::size_t>(l.Detail)]};
        // The walk's way, folder by folder in a random order.
        std::vector<std::uint32_t> order(folders);
        for (std::uint32_t i = 0; i < folders; ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        TLinkTable table;
        for (std::uint32_t folder : order) {
            std::vector<TLinkSighting>& sightings = byFolder[folder];
            std::int64_t own = 0, ownDisk = 0;
            for (const TLinkSighting& s : sightings) {
                own += s.Size;
                ownDisk += s.Disk;
            }
            TLinkTable::ResolveFolder(sightings, &own, &ownDisk);
            table.Commit(tree, folder, sightings, &own, &ownDisk);
            tree.SetListed(folder, &own, &ownDisk);
        }
        EXPECT_EQ(table.Size(), 30u);
        EXPECT_EQ(tree.Own, whole.Own) << "round " << round;
        EXPECT_EQ(tree.OwnDisk, whole.OwnDisk) << "round " << round;
        TKeptSink sink(tree);
        table.Deliver(sink);
        EXPECT_EQ(sink.Files, want) << "round " << round;
        EXPECT_EQ(sink.Names, all.size());
    }
}
