#include "engine/DirOrder.h"

#include <cstring>
#include <numeric>
#include <vector>

std::string_view DirSortKey(std::string_view path) {
    if (path.find('\\') == std::string_view::npos)
        return "A";
    return path;
}

int CompareDirs(std::string_view a, std::string_view b) {
    a = DirSortKey(a);
    b = DirSortKey(b);
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

namespace {

// The quicksort works on positions, comparing precomputed keys; the lists
// are permuted once at the end (also after a cancel, so that the three
// lists stay parallel).
class QuickSorter {
  public:
    QuickSorter(std::vector<std::string_view>& keys, std::vector<std::uint32_t>& perm,
                const std::atomic<bool>& cancel)
        : keys_(keys), perm_(perm), cancel_(cancel) {}

    // Returns false when cancelled.
    bool Sort(std::int64_t l, std::int64_t r) {
        do {
            std::int64_t i = l, j = r, p = (l + r) / 2;
            do {
                if (cancel_.load(std::memory_order_relaxed))
                    return false;
                while (Less(i, p))
                    ++i;
                while (Less(p, j))
                    --j;
                if (i <= j) {
                    Exchange(i, j);
                    if (p == i)
                        p = j;
                    else if (p == j)
                        p = i;
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j && !Sort(l, j))
                return false;
            l = i;
        } while (l < r);
        return true;
    }

  private:
    bool Less(std::int64_t a, std::int64_t b) const {
        const std::string_view& x = keys_[a];
        const std::string_view& y = keys_[b];
        const size_t n = x.size() < y.size() ? x.size() : y.size();
        const int c = n ? std::memcmp(x.data(), y.data(), n) : 0;
        return c < 0 || (c == 0 && x.size() < y.size());
    }
    void Exchange(std::int64_t a, std::int64_t b) {
        std::swap(keys_[a], keys_[b]);
        std::swap(perm_[a], perm_[b]);
    }

    std::vector<std::string_view>& keys_;
    std::vector<std::uint32_t>& perm_;
    const std::atomic<bool>& cancel_;
};

void Permute(TStringList& list, const std::vector<std::uint32_t>& perm) {
    TStringList out;
    out.reserve(list.size());
    out.ReserveBytes(list.Bytes());
    for (size_t i = 0; i < perm.size(); ++i)
        out.push_back(list[perm[i]]);
    list.swap(out);
}

}  // namespace

bool SortDirLists(TStringList& dirs, TStringList& sizes, TStringList& percents,
                  const std::atomic<bool>& cancel, TStringList* beside) {
    const size_t n = dirs.size();
    if (n < 2)
        return true;
    std::vector<std::string_view> keys(n);
    for (size_t i = 0; i < n; ++i)
        keys[i] = DirSortKey(dirs[i]);
    std::vector<std::uint32_t> perm(n);
    std::iota(perm.begin(), perm.end(), 0u);
    QuickSorter sorter(keys, perm, cancel);
    const bool done = sorter.Sort(0, static_cast<std::int64_t>(n) - 1);
    keys.clear();
    Permute(dirs, perm);
    Permute(sizes, perm);
    Permute(percents, perm);
    if (beside != nullptr)
        Permute(*beside, perm);
    return done;
}

unsigned char DirKey(std::string_view path) {
    // Drive-form paths hold their first backslash at [2]: look no further.
    if (path.size() < 4 || (path[2] != '\\' && path.find('\\') == std::string_view::npos))
        return 0;
    return static_cast<unsigned char>(path[3]);
}

void BuildDirIndex(const TStringList& dirs, TDirIndex& index) {
    const auto n = static_cast<std::int64_t>(dirs.size());
    index.First.fill(n);
    index.Last.fill(0);
    for (std::int64_t i = 0; i < n; ++i) {
        const unsigned char k = DirKey(dirs[i]);
        if (i > index.Last[k])
            index.Last[k] = i;
        if (i < index.First[k])
            index.First[k] = i;
    }
}
