#include "engine/DirAggregate.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "engine/NumberText.h"

namespace {

bool HasBackslash(std::string_view s) {
    return s.find('\\') != std::string::npos;
}

bool IsDescendant(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path[folder.size()] == '\\' &&
           path.compare(0, folder.size(), folder) == 0;
}

// The candidate range of entry i; a drive root widens key 0 to the whole
// list, as the index is then used.
void CandidateRange(const TStringList& dirs, size_t i, TDirIndex& index, std::int64_t& lo,
                    std::int64_t& hi) {
    const auto n = static_cast<std::int64_t>(dirs.size());
    if (!HasBackslash(dirs[i])) {
        index.First[0] = 0;
        index.Last[0] = n - 1;
        lo = 0;
        hi = n - 1;
        return;
    }
    const unsigned char k = DirKey(dirs[i]);
    lo = index.First[k];
    hi = index.Last[k];
}

// Sizes wrap around on overflow like the 64-bit integers they are.
std::int64_t WrapAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

// a - b wrapping like the sums; negating b first would overflow for INT64_MIN.
std::int64_t WrapSub(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

// How the sorted entry J relates to an earlier, different entry T.
enum class Relation { Inside, Before, After };

Relation Relate(std::string_view t, std::string_view j) {
    // T not a prefix of J: J differs inside T and sorts after it.
    if (t.size() > j.size() || std::memcmp(t.data(), j.data(), t.size()) != 0)
        return Relation::After;
    const auto c = static_cast<unsigned char>(j[t.size()]);
    if (c == '\\')
        return Relation::Inside;
    return c < '\\' ? Relation::Before : Relation::After;
}

// The folder structure of a sorted list: entries with equal paths form one
// group; every group knows its deepest ancestor group and the run
// [Lo, Hi) of its descendants.
struct Nesting {
    size_t RootCount = 0;                // drive-root entries at the front
    std::vector<std::uint32_t> GroupOf;  // entry -> group, for i >= RootCount
    struct Group {
        std::uint32_t Start, End;  // members [Start, End)
        std::int64_t Lo = -1, Hi = -1;
        std::int64_t Ancestor = -1;
    };
    std::vector<Group> Groups;
};

}  // namespace

// Lists the fast forms cover: sorted, drive roots first, other paths with
// a backslash, at least four bytes and a non-zero key, each inside its
// key's index range (so descendants, which share the key, are candidates).
bool FastFormApplies(const TStringList& dirs, const TDirIndex& index) {
    const size_t n = dirs.size();
    size_t i = 0;
    while (i < n && !HasBackslash(dirs[i]))
        ++i;
    for (; i < n; ++i) {
        std::string_view d = dirs[i];
        if (!HasBackslash(d) || d.size() < 4 || d[3] == 0)
            return false;
        const unsigned char k = DirKey(d);
        const auto pos = static_cast<std::int64_t>(i);
        if (pos < index.First[k] || pos > index.Last[k])
            return false;
        if (i > 0 && CompareDirs(dirs[i - 1], d) > 0)
            return false;
    }
    return true;
}

namespace {

bool BuildNesting(const TStringList& dirs, Nesting& nest, const std::atomic<bool>* cancel) {
    const size_t n = dirs.size();
    size_t b = 0;
    while (b < n && !HasBackslash(dirs[b]))
        ++b;
    nest.RootCount = b;
    nest.GroupOf.assign(n, 0);
    std::vector<std::uint32_t> stack;
    for (size_t j = b; j < n; ++j) {
        if ((j & 4095) == 0 && cancel && cancel->load(std::memory_order_relaxed))
            return false;
        if (j > b && dirs[j] == dirs[j - 1]) {
            nest.GroupOf[j] = nest.GroupOf[j - 1];
            nest.Groups[nest.GroupOf[j]].End = static_cast<std::uint32_t>(j + 1);
            continue;
        }
        Relation rel = Relation::After;
        while (!stack.empty()) {
            Nesting::Group& top = nest.Groups[stack.back()];
            rel = Relate(dirs[top.Start], dirs[j]);
            if (rel != Relation::After)
                break;
            top.Hi = static_cast<std::int64_t>(j);
            stack.pop_back();
        }
        Nesting::Group g{static_cast<std::uint32_t>(j), static_cast<std::uint32_t>(j + 1)};
        if (!stack.empty()) {
            Nesting::Group& top = nest.Groups[stack.back()];
            if (rel == Relation::Inside) {
                g.Ancestor = stack.back();
                if (top.Lo < 0)
                    top.Lo = static_cast<std::int64_t>(j);
            } else {
                // J sorts between the top and the top's subfolders, so it
                // shares the top's ancestors.
                g.Ancestor = top.Ancestor;
            }
        }
        nest.GroupOf[j] = static_cast<std::uint32_t>(nest.Groups.size());
        stack.push_back(static_cast<std::uint32_t>(nest.Groups.size()));
        nest.Groups.push_back(g);
    }
    for (std::uint32_t g : stack)
        nest.Groups[g].Hi = static_cast<std::int64_t>(n);
    for (Nesting::Group& g : nest.Groups)
        if (g.Lo < 0)
            g.Lo = g.Hi;
    return true;
}

// The run of entries below a drive root R: paths from "R\" up to "R]"
// (']' follows '\' in byte order), among the sorted non-root entries.
void RootRun(const TStringList& dirs, size_t rootCount, std::string_view root, std::int64_t& lo,
             std::int64_t& hi) {
    auto less = [](std::string_view a, std::string_view b) { return a < b; };
    const auto first = dirs.begin() + static_cast<std::ptrdiff_t>(rootCount);
    lo = std::lower_bound(first, dirs.end(), std::string(root) + "\\", less) - dirs.begin();
    hi = std::lower_bound(first, dirs.end(), std::string(root) + "]", less) - dirs.begin();
}

}  // namespace

bool AggregateSizesPlain(const TStringList& dirs, TStringList& sizes, TDirIndex& index,
                         const std::atomic<bool>& cancel) {
    bool cancelled = false;
    for (size_t i = 0; i < dirs.size(); ++i) {
        std::int64_t own = 0;
        if (!TryTextToInt64(sizes[i], own))
            own = 0;
        std::int64_t sum = 0;
        std::int64_t lo, hi;
        CandidateRange(dirs, i, index, lo, hi);
        for (std::int64_t j = lo; j <= hi; ++j) {
            if (static_cast<size_t>(j) == i || !IsDescendant(dirs[j], dirs[i]))
                continue;
            std::int64_t v;
            if (!TryTextToInt64(sizes[j], v) || v == 0)
                continue;
            sum = WrapAdd(sum, v);
            if (cancel.load(std::memory_order_relaxed)) {
                cancelled = true;
                break;
            }
        }
        sizes.Set(i, Int64ToText(WrapAdd(own, sum)));
    }
    return !cancelled;
}

void ComputePercentsPlain(const TStringList& dirs, const TStringList& sizes, TStringList& percents,
                          TDirIndex& index) {
    for (size_t i = 0; i < dirs.size(); ++i) {
        std::int64_t lo, hi;
        CandidateRange(dirs, i, index, lo, hi);
        for (std::int64_t j = lo; j <= hi; ++j) {
            if (static_cast<size_t>(j) == i || !IsDescendant(dirs[j], dirs[i]))
                continue;
            std::int64_t child, parent;
            if (!TryTextToInt64(sizes[j], child) || !TryTextToInt64(sizes[i], parent) ||
                parent == 0)
                continue;
            percents.Set(j, PercentText(SharePercent(child, parent)));
        }
    }
}

namespace {

// Totals of a list the fast form covers, written into Sizes and returned
// in Totals. False when Cancel stopped it (Sizes then untouched).
bool FastTotals(const TStringList& dirs, const Nesting& nest, TStringList& sizes, TDirIndex& index,
                std::vector<std::int64_t>& totals) {
    const size_t n = dirs.size();
    // prefix[i]: the own sizes of entries before i.
    std::vector<std::int64_t> prefix(n + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        std::int64_t v = 0;
        if (!TryTextToInt64(sizes[i], v))
            v = 0;
        prefix[i + 1] = WrapAdd(prefix[i], v);
    }
    auto runSum = [&](std::int64_t lo, std::int64_t hi) { return WrapSub(prefix[hi], prefix[lo]); };
    auto own = [&](size_t i) { return WrapSub(prefix[i + 1], prefix[i]); };
    totals.resize(n);
    for (size_t i = 0; i < nest.RootCount; ++i) {
        std::int64_t lo, hi;
        RootRun(dirs, nest.RootCount, dirs[i], lo, hi);
        totals[i] = WrapAdd(own(i), runSum(lo, hi));
    }
    if (nest.RootCount > 0) {
        index.First[0] = 0;
        index.Last[0] = static_cast<std::int64_t>(n) - 1;
    }
    for (size_t i = nest.RootCount; i < n; ++i) {
        const Nesting::Group& g = nest.Groups[nest.GroupOf[i]];
        totals[i] = WrapAdd(own(i), runSum(g.Lo, g.Hi));
    }
    for (size_t i = 0; i < n; ++i)
        sizes.Set(i, Int64ToText(totals[i]));
    return true;
}

// Shares of a list the fast form covers, from sizes already read (Valid
// false where a text did not read as a number).
void FastPercents(const TStringList& dirs, const Nesting& nest,
                  const std::vector<std::int64_t>& value, const std::vector<bool>& valid,
                  TStringList& percents, TDirIndex& index) {
    const size_t n = dirs.size();
    auto canWrite = [&](size_t i) { return valid[i] && value[i] != 0; };

    // The last writer among drive roots of each name: the highest position.
    std::unordered_map<std::string_view, std::int64_t> rootWriter;
    for (size_t i = 0; i < nest.RootCount; ++i)
        if (canWrite(i))
            rootWriter[dirs[i]] = static_cast<std::int64_t>(i);
    if (nest.RootCount > 0) {
        index.First[0] = 0;
        index.Last[0] = static_cast<std::int64_t>(n) - 1;
    }
    auto rootWriterOf = [&](std::string_view path) -> std::int64_t {
        if (rootWriter.empty())
            return -1;
        const auto it = rootWriter.find(std::string_view(path).substr(0, path.find('\\')));
        return it == rootWriter.end() ? -1 : it->second;
    };

    // writer[g]: the entry whose value stays in the share of g's
    // descendants: the highest-placed ancestor that can write, which is
    // g's last member that can, else the writer of g's ancestors.
    std::vector<std::int64_t> writer(nest.Groups.size(), -1);
    std::vector<std::int64_t> aboveWriter(nest.Groups.size(), -1);
    for (size_t gi = 0; gi < nest.Groups.size(); ++gi) {
        const Nesting::Group& g = nest.Groups[gi];
        aboveWriter[gi] = g.Ancestor >= 0 ? writer[g.Ancestor] : rootWriterOf(dirs[g.Start]);
        writer[gi] = aboveWriter[gi];
        for (std::uint32_t m = g.End; m-- > g.Start;)
            if (canWrite(m)) {
                writer[gi] = m;
                break;
            }
    }
    for (size_t j = nest.RootCount; j < n; ++j) {
        const std::int64_t w = aboveWriter[nest.GroupOf[j]];
        if (w < 0 || !valid[j])
            continue;
        if (value[j] == 0)
            percents.Set(j, "0");
        else
            percents.Set(j, PercentText(SharePercent(value[j], value[w])));
    }
}

}  // namespace

bool AggregateSizes(const TStringList& dirs, TStringList& sizes, TDirIndex& index,
                    const std::atomic<bool>& cancel) {
    if (!FastFormApplies(dirs, index))
        return AggregateSizesPlain(dirs, sizes, index, cancel);
    Nesting nest;
    if (!BuildNesting(dirs, nest, &cancel) || cancel.load())
        return false;
    std::vector<std::int64_t> totals;
    return FastTotals(dirs, nest, sizes, index, totals);
}

void ComputePercents(const TStringList& dirs, const TStringList& sizes, TStringList& percents,
                     TDirIndex& index) {
    if (!FastFormApplies(dirs, index)) {
        ComputePercentsPlain(dirs, sizes, percents, index);
        return;
    }
    Nesting nest;
    BuildNesting(dirs, nest, nullptr);
    const size_t n = dirs.size();
    std::vector<std::int64_t> value(n, 0);
    std::vector<bool> valid(n);
    for (size_t i = 0; i < n; ++i)
        valid[i] = TryTextToInt64(sizes[i], value[i]);
    FastPercents(dirs, nest, value, valid, percents, index);
}

bool AggregateSizesAndPercents(const TStringList& dirs, TStringList& sizes, TStringList& percents,
                               TDirIndex& index, const std::atomic<bool>& cancel) {
    if (!FastFormApplies(dirs, index)) {
        if (!AggregateSizesPlain(dirs, sizes, index, cancel))
            return false;
        ComputePercentsPlain(dirs, sizes, percents, index);
        return true;
    }
    Nesting nest;
    if (!BuildNesting(dirs, nest, &cancel) || cancel.load())
        return false;
    std::vector<std::int64_t> totals;
    FastTotals(dirs, nest, sizes, index, totals);
    if (cancel.load())
        return false;
    // Every total was just written as a number, so all read back.
    FastPercents(dirs, nest, totals, std::vector<bool>(totals.size(), true), percents, index);
    return true;
}
