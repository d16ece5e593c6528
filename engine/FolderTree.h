#pragma once
// The folders a walk found, held compactly until the result lists are made:
// one small node per folder, names in one shared buffer, own byte counts
// per filter part. The lists' texts are built from it once, either in walk
// order or directly in the sorted order.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/StringList.h"

struct TDirIndex;

struct TFolderNode {
    std::uint32_t Parent = 0;
    std::uint32_t FirstChild = 0;  // children are consecutive nodes,
    std::uint32_t ChildCount = 0;  // in the order the listing gave them
    std::uint32_t NameLen = 0;
    std::uint64_t NameOff = 0;  // drive-form (escaped) name in Names
    bool Listed = false;        // the folder has its entries in the lists
};

class TFolderTree {
  public:
    // Starts a tree whose root (node 0) has the given path text.
    void Reset(std::string rootText, int parts);

    // Appends the children of Parent, one per drive-form name, and returns
    // the first new node.
    std::uint32_t AddChildren(std::uint32_t parent, const std::vector<std::string>& names);
    // Records a listed folder's own bytes, one count per filter part, and
    // the bytes its files take on the disk (none: not known, kept 0).
    void SetListed(std::uint32_t node, const std::int64_t* own,
                   const std::int64_t* ownDisk = nullptr);

    std::string_view NameOf(std::uint32_t node) const {
        return std::string_view(Names.data() + Nodes[node].NameOff, Nodes[node].NameLen);
    }
    // The folder's path as written in Dirs ("C:", "C:\Data\x").
    std::string PathOf(std::uint32_t node) const;

    // Listed nodes in breadth-first order, children in listing order: the
    // order a sequential walk lists them.
    std::vector<std::uint32_t> BreadthFirstOrder() const;

    // The lists in the given node order, one entry per filter part; with
    // diskSizes, the own allocated bytes beside the sizes.
    void EmitInOrder(const std::vector<std::uint32_t>& order, TStringList& dirs, TStringList& sizes,
                     TStringList& percents, TStringList* diskSizes = nullptr) const;
    // The lists in sorted order, built from the tree: siblings sorted by
    // name, where a folder's subtree takes the place of its name followed
    // by a backslash. Only for one filter part (paths are then unique, so
    // this is the one sorted order). False when Cancel stopped it.
    // With totals on, each folder's size is its total (own bytes and
    // everything below it, wrapping like 64-bit integers) and its percent
    // its share of the nearest folder above it whose total is not 0 ("0"
    // without one): the values the aggregation would give the same lists,
    // computed on the tree before any text is made.
    // With an index, the first-letter index of dirs (BuildDirIndex) is
    // made as the paths are. With diskSizes, the allocated bytes are listed
    // beside the sizes the same way (totals or own bytes).
    bool EmitSorted(TStringList& dirs, TStringList& sizes, TStringList& percents,
                    const std::atomic<bool>& cancel, bool totals = false,
                    TDirIndex* index = nullptr, TStringList* diskSizes = nullptr) const;

    std::string RootText;
    int Parts = 1;
    std::vector<TFolderNode> Nodes;
    std::string Names;
    std::vector<std::int64_t> Own;      // Nodes.size() * Parts
    std::vector<std::int64_t> OwnDisk;  // allocated bytes, laid out as Own
    std::vector<std::uint32_t> WalkOrder;

  private:
    static constexpr std::uint32_t kNoBase = 0xFFFFFFFFu;
    // Every node's total, and the nearest node at or above it whose total
    // is not 0 (the folder a share is taken of).
    void Totals(std::vector<std::int64_t>& total, std::vector<std::uint32_t>& base) const;
    // Every node's total of the first part's values in own (Own or OwnDisk).
    void SubtreeSums(const std::vector<std::int64_t>& own, std::vector<std::int64_t>& total) const;
};
