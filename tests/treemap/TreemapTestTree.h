#pragma once
// Random stored results for the treemap tests: a tree of folders written as
// the stored lists are (paths in byte order, each folder's size the sum of
// its subfolders and its own files), with some of its files as the largest
// files list.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/LargestFiles.h"
#include "engine/StringList.h"

struct TTestTree {
    TStringList Dirs, Sizes;
    std::vector<TLargeFile> Files;
};

namespace treemap_test {

struct TNode {
    std::string Path;
    std::int64_t Own = 0;
    std::vector<std::size_t> Kids;
    std::int64_t Size = 0;
};

inline std::int64_t Sum(std::vector<TNode>& nodes, std::size_t at) {
    std::int64_t total = nodes[at].Own;
    for (const std::size_t kid : nodes[at].Kids)
        total += Sum(nodes, kid);
    return nodes[at].Size = total;
}

}  // namespace treemap_test

// About `folders` folders below "C:", names chosen to test the byte order
// ("a", "a b", "a\b" ...), sizes over several orders of magnitude.
inline TTestTree MakeTestTree(std::mt19937& random, int folders) {
    using treemap_test::TNode;
    std::vector<TNode> nodes{{"C:", 0, {}, 0}};
    std::uniform_int_distribution<int> digits(1, 9), shift(0, 30);
    const char* names[] = {"a", "a b", "a-b", "b", "ab", "z", "Data", "data", "x.y"};
    std::uniform_int_distribution<int> pick(0, 8);
    for (int i = 1; i < folders; ++i) {
        std::uniform_int_distribution<std::size_t> parent(0, nodes.size() - 1);
        const std::size_t p = parent(random);
        const std::string path = nodes[p].Path + "\\" + names[pick(random)] + std::to_string(i % 7);
        bool taken = false;
        for (const std::size_t kid : nodes[p].Kids)
            taken = taken || nodes[kid].Path == path;
        if (taken)
            continue;
        nodes.push_back({path, 0, {}, 0});
        nodes[p].Kids.push_back(nodes.size() - 1);
    }
    TTestTree tree;
    for (TNode& node : nodes) {
        node.Own =
            random() % 3 == 0 ? 0 : static_cast<std::int64_t>(digits(random)) << shift(random);
        // Some of a folder's own bytes are its largest files.
        if (node.Own > 1000 && random() % 2 == 0) {
            const std::int64_t file = node.Own / (2 + random() % 3);
            tree.Files.push_back(
                {node.Path + "\\f" + std::to_string(tree.Files.size()), file, file, kNoTime});
        }
    }
    treemap_test::Sum(nodes, 0);
    std::vector<std::size_t> order(nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin() + 1, order.end(),
              [&](std::size_t a, std::size_t b) { return nodes[a].Path < nodes[b].Path; });
    for (const std::size_t i : order) {
        tree.Dirs.push_back(nodes[i].Path);
        tree.Sizes.push_back(std::to_string(nodes[i].Size));
    }
    return tree;
}
