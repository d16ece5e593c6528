#include "engine/FolderTree.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "engine/DirOrder.h"
#include "engine/NumberText.h"
#include "engine/StoredListText.h"

void TFolderTree::Reset(std::string rootText, int parts) {
    RootText = std::move(rootText);
    Parts = parts;
    Nodes.assign(1, TFolderNode{});
    Names.clear();
    Own.assign(parts, 0);
    OwnDisk.assign(parts, 0);
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
    OwnDisk.resize(Nodes.size() * Parts, 0);
    return first;
}

void TFolderTree::SetListed(std::uint32_t node, const std::int64_t* own,
                            const std::int64_t* ownDisk) {
    Nodes[node].Listed = true;
    const auto at = static_cast<std::ptrdiff_t>(node) * Parts;
    std::copy(own, own + Parts, Own.begin() + at);
    if (ownDisk != nullptr)
        std::copy(ownDisk, ownDisk + Parts, OwnDisk.begin() + at);
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
                              TStringList& sizes, TStringList& percents,
                              TStringList* diskSizes) const {
    const size_t count = order.size() * Parts;
    dirs.reserve(count);
    sizes.reserve(count);
    percents.reserve(count);
    if (diskSizes != nullptr)
        diskSizes->reserve(count);
    for (std::uint32_t node : order) {
        const std::string path = PathOf(node);
        for (int p = 0; p < Parts; ++p) {
            const size_t at = static_cast<size_t>(node) * Parts + p;
            dirs.push_back(path);
            sizes.push_back(Int64ToText(Own[at]));
            percents.emplace_back("0");
            if (diskSizes != nullptr)
                diskSizes->push_back(Int64ToText(OwnDisk[at]));
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

void TFolderTree::SubtreeSums(const std::vector<std::int64_t>& own,
                              std::vector<std::int64_t>& total) const {
    // A child always comes after its parent, so one backward pass adds
    // every subtree into its parent.
    const size_t n = Nodes.size();
    total.resize(n);
    for (size_t i = 0; i < n; ++i)
        total[i] = own[i * Parts];
    for (size_t i = n; i-- > 1;)
        total[Nodes[i].Parent] = WrapAddSizes(total[Nodes[i].Parent], total[i]);
}

void TFolderTree::Totals(std::vector<std::int64_t>& total, std::vector<std::uint32_t>& base) const {
    // One forward pass after the sums finds the base: parents come first.
    const size_t n = Nodes.size();
    SubtreeSums(Own, total);
    // base[i]: the nearest node at or above i whose total is not 0, or
    // kNoBase.
    base.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const std::uint32_t above = i == 0 ? kNoBase : base[Nodes[i].Parent];
        base[i] = total[i] != 0 ? static_cast<std::uint32_t>(i) : above;
    }
}

namespace {

// Hands the folders of the sorted walk, in order, to a second thread that
// writes their share texts meanwhile: formatting a million shares
// costs about as much as the walk itself, and once the walk is over the
// other cores are idle. The order goes into a vector sized for every listed
// folder, whose filled length is published every kBatch folders. Small
// trees, and machines of one core, make the texts on this thread at Finish.
template <class Make>
class TTextPipe {
  public:
    TTextPipe(std::size_t listed, Make make) : order_(listed), make_(std::move(make)) {
        if (listed >= kThreadFrom && std::thread::hardware_concurrency() > 1)
            thread_ = std::thread([this] {
                // Carried to Finish: on this thread it would end the program.
                try {
                    Consume();
                } catch (...) {
                    failure_ = std::current_exception();
                }
            });
    }
    ~TTextPipe() {
        // Reached early only while an exception already leaves the walk.
        try {
            Finish();
        } catch (...) {
        }
    }

    void Push(std::uint32_t node) {
        order_[count_++] = node;
        if (count_ % kBatch == 0)
            Publish(false);
    }
    // Waits until every folder pushed has its texts.
    // An exception that ended the text thread is thrown here.
    void Finish() {
        Publish(true);
        if (thread_.joinable())
            thread_.join();
        else
            Consume();
        if (failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
    }

  private:
    static constexpr std::size_t kBatch = 4096;
    static constexpr std::size_t kThreadFrom = 1 << 16;

    void Publish(bool done) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            published_ = count_;
            done_ = done_ || done;
        }
        ready_.notify_one();
    }
    void Consume() {
        for (;;) {
            std::size_t ready;
            bool done;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return done_ || published_ > made_; });
                ready = published_;
                done = done_;
            }
            for (; made_ < ready; ++made_)
                make_(order_[made_]);
            if (done)
                return;  // published_ was final when done_ was set
        }
    }

    std::vector<std::uint32_t> order_;
    Make make_;
    std::exception_ptr failure_;  // what ended the text thread
    std::size_t count_ = 0;       // pushed (walking thread)
    std::size_t made_ = 0;        // given texts (text thread)
    std::mutex mutex_;
    std::condition_variable ready_;
    std::size_t published_ = 0;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace

bool TFolderTree::EmitSorted(TStringList& dirs, TStringList& sizes, TStringList& percents,
                             const std::atomic<bool>& cancel, bool totals, TDirIndex* index,
                             TStringList* diskSizes) const {
    // Every listed folder's path length, so the lists' bytes are reserved
    // once.
    std::vector<std::size_t> pathLen(Nodes.size());
    size_t listed = 0, pathBytes = 0;
    for (size_t i = 0; i < Nodes.size(); ++i) {
        pathLen[i] = i == 0 ? RootText.size() : pathLen[Nodes[i].Parent] + 1 + Nodes[i].NameLen;
        if (Nodes[i].Listed) {
            ++listed;
            pathBytes += pathLen[i];
        }
    }
    pathLen = {};
    dirs.reserve(listed);
    dirs.ReserveBytes(pathBytes);
    sizes.reserve(listed);
    sizes.ReserveBytes(listed * 12);
    percents.reserve(listed);
    percents.ReserveBytes(listed * 16);
    // Each folder's size and share in node order: the sorted walk visits
    // nodes all over the tree, so it should find them in one place.
    std::vector<std::int64_t> value(Nodes.size());
    std::vector<float> share;
    if (totals) {
        std::vector<std::uint32_t> base;
        Totals(value, base);
        share.assign(Nodes.size(), 0.0f);
        for (size_t i = 1; i < Nodes.size(); ++i) {
            const std::uint32_t above = base[Nodes[i].Parent];
            if (value[i] != 0 && above != kNoBase)
                share[i] = SharePercent(value[i], value[above]);
        }
    } else {
        for (size_t i = 0; i < Nodes.size(); ++i)
            value[i] = Own[i * Parts];
    }
    std::vector<std::int64_t> disk;
    if (diskSizes != nullptr) {
        diskSizes->reserve(listed);
        diskSizes->ReserveBytes(listed * 12);
        if (totals) {
            SubtreeSums(OwnDisk, disk);
        } else {
            disk.resize(Nodes.size());
            for (size_t i = 0; i < Nodes.size(); ++i)
                disk[i] = OwnDisk[i * Parts];
        }
    }
    TNumberChars chars, sizeChars;
    // The shares, the costly texts, are the second thread's; the sizes are
    // written with the paths.
    auto makeTexts = [&](std::uint32_t node) {
        // A share of exactly 0 comes only from a total of 0 (or none to take
        // it of): SharePercent of a child that is not 0 is never 0.
        percents.push_back(totals && share[node] != 0.0f ? PercentTextIn(share[node], chars)
                                                         : std::string_view("0"));
    };
    TTextPipe<decltype(makeTexts)> pipe(listed, makeTexts);
    if (index != nullptr) {
        index->First.fill(static_cast<std::int64_t>(listed));
        index->Last.fill(0);
    }
    auto emit = [&](std::uint32_t node, const std::string& path) {
        if (!Nodes[node].Listed)
            return;
        if (index != nullptr) {
            // The paths come in rising order: the last one of a key is this.
            const unsigned char key = DirKey(path);
            const auto at = static_cast<std::int64_t>(dirs.size());
            index->Last[key] = at;
            index->First[key] = std::min(index->First[key], at);
        }
        dirs.push_back(path);
        sizes.push_back(Int64TextIn(value[node], sizeChars));
        if (diskSizes != nullptr)
            diskSizes->push_back(Int64TextIn(disk[node], sizeChars));
        pipe.Push(node);
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
    pipe.Finish();
    return true;
}
