#include "engine/FolderTree.h"

#include <algorithm>
#include <cstring>

#include "engine/NumberText.h"

void TFolderTree::Reset(std::string rootText, int parts) {
    RootText = std::move(rootText);
    Parts = parts;
    Nodes.assign(1, TFolderNode{});
    Names.clear();
    Own.assign(parts, 0);
    WalkOrder.clear();
}

std::uint32_t TFolderTree::AddChildren(std::uint32_t parent,
                                       const std::vector<std::string>& names) {
    const auto first = static_cast<std::uint32_t>(Nodes.size());
    Nodes[parent].FirstChild = first;
    Nodes[parent].ChildCount = static_cast<std::uint32_t>(names.size());
    for (const std::string& name : names) {
        TFolderNode node;
        node.Parent = parent;
        node.NameOff = Names.size();
        node.NameLen = static_cast<std::uint32_t>(name.size());
        Names += name;
        Nodes.push_back(node);
    }
    Own.resize(Nodes.size() * Parts, 0);
    return first;
}

void TFolderTree::SetListed(std::uint32_t node, const std::int64_t* own) {
    Nodes[node].Listed = true;
    std::copy(own, own + Parts, Own.begin() + static_cast<std::ptrdiff_t>(node) * Parts);
}

std::string TFolderTree::PathOf(std::uint32_t node) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t n = node; n != 0; n = Nodes[n].Parent)
        chain.push_back(n);
    std::string path = RootText;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += '\\';
        path += NameOf(*it);
    }
    return path;
}

std::vector<std::uint32_t> TFolderTree::BreadthFirstOrder() const {
    std::vector<std::uint32_t> queue{0};
    std::vector<std::uint32_t> order;
    for (size_t q = 0; q < queue.size(); ++q) {
        const TFolderNode& n = Nodes[queue[q]];
        if (n.Listed)
            order.push_back(queue[q]);
        for (std::uint32_t c = 0; c < n.ChildCount; ++c)
            queue.push_back(n.FirstChild + c);
    }
    return order;
}

void TFolderTree::EmitInOrder(const std::vector<std::uint32_t>& order, TStringList& dirs,
                              TStringList& sizes, TStringList& percents) const {
    const size_t count = order.size() * Parts;
    dirs.reserve(count);
    sizes.reserve(count);
    percents.reserve(count);
    for (std::uint32_t node : order) {
        const std::string path = PathOf(node);
        for (int p = 0; p < Parts; ++p) {
            dirs.push_back(path);
            sizes.push_back(Int64ToText(Own[static_cast<size_t>(node) * Parts + p]));
            percents.emplace_back("0");
        }
    }
}

namespace {

// A sibling item in sorted emission: a folder's own entry (its name) or its
// subtree (its name followed by a backslash).
struct Item {
    std::uint32_t Node;
    bool Subtree;
};

bool ItemLess(const TFolderTree& tree, const Item& a, const Item& b) {
    const std::string_view x = tree.NameOf(a.Node);
    const std::string_view y = tree.NameOf(b.Node);
    const size_t n = std::min(x.size(), y.size());
    const int c = n ? std::memcmp(x.data(), y.data(), n) : 0;
    if (c != 0)
        return c < 0;
    if (x.size() == y.size())
        return !a.Subtree && b.Subtree;
    // One name is a prefix of the other: the shorter one continues with a
    // backslash (subtree) or ends (own entry, which sorts first).
    if (x.size() < y.size())
        return !a.Subtree || static_cast<unsigned char>(y[n]) > '\\';
    return b.Subtree && static_cast<unsigned char>(x[n]) < '\\';
}

}  // namespace

namespace {

// Sizes wrap around on overflow like the 64-bit integers they are.
std::int64_t WrapAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

}  // namespace

void TFolderTree::Totals(std::vector<std::int64_t>& total, std::vector<std::uint32_t>& base) const {
    // A child always comes after its parent, so one backward pass adds
    // every subtree into its parent and one forward pass finds the base.
    const size_t n = Nodes.size();
    total.resize(n);
    for (size_t i = 0; i < n; ++i)
        total[i] = Own[i * Parts];
    for (size_t i = n; i-- > 1;)
        total[Nodes[i].Parent] = WrapAdd(total[Nodes[i].Parent], total[i]);
    // base[i]: the nearest node at or above i whose total is not 0, or
    // kNoBase.
    base.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const std::uint32_t above = i == 0 ? kNoBase : base[Nodes[i].Parent];
        base[i] = total[i] != 0 ? static_cast<std::uint32_t>(i) : above;
    }
}

bool TFolderTree::EmitSorted(TStringList& dirs, TStringList& sizes, TStringList& percents,
                             const std::atomic<bool>& cancel, bool totals) const {
    size_t listed = 0;
    for (const TFolderNode& n : Nodes)
        listed += n.Listed;
    dirs.reserve(listed);
    sizes.reserve(listed);
    percents.reserve(listed);
    std::vector<std::int64_t> total;
    std::vector<std::uint32_t> base;
    if (totals)
        Totals(total, base);
    auto share = [&](std::uint32_t node) -> std::string {
        const std::uint32_t above = node == 0 ? kNoBase : base[Nodes[node].Parent];
        if (total[node] == 0 || above == kNoBase)
            return "0";
        return PercentText(SharePercent(total[node], total[above]));
    };
    auto emit = [&](std::uint32_t node, const std::string& path) {
        if (!Nodes[node].Listed)
            return;
        dirs.push_back(path);
        if (totals) {
            sizes.push_back(Int64ToText(total[node]));
            percents.push_back(share(node));
        } else {
            sizes.push_back(Int64ToText(Own[static_cast<size_t>(node) * Parts]));
            percents.emplace_back("0");
        }
    };
    // One item list per depth, refilled for each folder at that depth: a
    // fresh list per folder would cost an allocation for each of them.
    std::vector<std::vector<Item>> itemsAt;
    auto fillItems = [&](std::uint32_t node, size_t depth) {
        if (itemsAt.size() <= depth)
            itemsAt.resize(depth + 1);
        std::vector<Item>& items = itemsAt[depth];
        items.clear();
        const TFolderNode& n = Nodes[node];
        for (std::uint32_t c = 0; c < n.ChildCount; ++c) {
            items.push_back({n.FirstChild + c, false});
            if (Nodes[n.FirstChild + c].ChildCount)
                items.push_back({n.FirstChild + c, true});
        }
        std::sort(items.begin(), items.end(),
                  [this](const Item& a, const Item& b) { return ItemLess(*this, a, b); });
    };
    struct Frame {
        size_t Next;
        size_t PathLen;
    };
    std::string path = RootText;
    emit(0, path);
    std::vector<Frame> stack;
    fillItems(0, 0);
    stack.push_back({0, path.size()});
    size_t steps = 0;
    while (!stack.empty()) {
        if ((++steps & 4095) == 0 && cancel.load(std::memory_order_relaxed))
            return false;
        const size_t depth = stack.size() - 1;
        Frame& top = stack.back();
        const std::vector<Item>& items = itemsAt[depth];
        if (top.Next == items.size()) {
            stack.pop_back();
            continue;
        }
        const Item item = items[top.Next++];
        path.resize(top.PathLen);
        path += '\\';
        path += NameOf(item.Node);
        if (!item.Subtree) {
            emit(item.Node, path);
        } else {
            fillItems(item.Node, depth + 1);
            stack.push_back({0, path.size()});
        }
    }
    return true;
}
