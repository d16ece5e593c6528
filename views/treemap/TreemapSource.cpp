#include "views/treemap/TreemapSource.h"

#include <algorithm>
#include <charconv>

#include "views/common/ListLookup.h"

namespace {

void SortLargestFirst(std::vector<TTreemapItem>& items) {
    std::sort(items.begin(), items.end(), [](const TTreemapItem& a, const TTreemapItem& b) {
        if (a.Size != b.Size)
            return a.Size > b.Size;
        if (a.Kind != b.Kind)
            return a.Kind < b.Kind;
        return a.Ref < b.Ref;
    });
}

// The folder of a drive-form file path as the stored list writes it:
// "C:\a\f" in "C:\a", "C:\f" in "C:".
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

TTreemapSource::TTreemapSource(const TStringList& dirs, const TStringList& sizes)
    : dirs_(dirs), sizes_(sizes) {
    while (sortedFrom_ < dirs_.size() && dirs_[sortedFrom_].find('\\') == std::string_view::npos)
        ++sortedFrom_;
}

void TTreemapSource::SetFiles(const std::vector<TLargeFile>& files, bool allocated) {
    files_ = files;
    allocated_ = allocated;
    filesIn_.clear();
    for (std::size_t i = 0; i < files_.size(); ++i)
        filesIn_[FolderOf(files_[i].Path)].push_back(static_cast<int>(i));
}

void TTreemapSource::SetFileLister(TFileLister lister, bool allocated) {
    files_.clear();
    filesIn_.clear();
    allocated_ = allocated;
    lister_ = std::move(lister);
}

void TTreemapSource::SetTop(std::string path, int stored, std::int64_t total,
                            std::vector<TTreemapTop> top) {
    topPath_ = std::move(path);
    topStored_ = stored;
    topTotal_ = total;
    top_ = std::move(top);
}

std::vector<TTreemapItem> TTreemapSource::TopItems() const {
    std::vector<TTreemapItem> items;
    items.reserve(top_.size());
    for (std::size_t i = 0; i < top_.size(); ++i)
        if (top_[i].Size > 0)
            items.push_back({top_[i].Folder ? TTileKind::Folder : TTileKind::File, top_[i].Size,
                             static_cast<int>(i)});
    SortLargestFirst(items);
    return items;
}

std::int64_t TTreemapSource::FolderSize(int stored) const {
    // Read directly where the text is plain digits, as a scan writes it;
    // anything else goes the checked way (and may throw).
    const auto at = static_cast<std::size_t>(stored);
    if (at < sizes_.size()) {
        const std::string_view text = sizes_[at];
        std::int64_t value = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
        if (read.ec == std::errc() && read.ptr == text.data() + text.size() && !text.empty() &&
            text[0] != '-')
            return value;
    }
    return std::max<std::int64_t>(0, IntValFromSL(sizes_, stored));
}

std::int64_t TTreemapSource::FileSize(int ref) const {
    const TLargeFile& file = File(ref);
    return std::max<std::int64_t>(0, allocated_ ? file.Allocated : file.Size);
}

// The first position in [from, to) whose path, past its first skip bytes
// (the same in every path of the range), is not before key: steps of
// growing length, then bisection, as a folder's subtree is mostly short.
std::size_t TTreemapSource::RunEnd(std::string_view key, std::size_t skip, std::size_t from,
                                   std::size_t to) const {
    auto before = [this, skip](std::size_t at, std::string_view than) {
        return dirs_[at].substr(skip) < than;
    };
    std::size_t step = 1;
    std::size_t lo = from;
    while (lo + step < to && before(lo + step, key)) {
        lo += step;
        step *= 2;
    }
    std::size_t hi = std::min(to, lo + step + 1);
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (before(mid, key))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void TTreemapSource::Children(int stored, std::vector<TTreemapItem>& out, double minSize) const {
    TKnownChildren& known = children_[stored];
    if (known.Items.empty() || minSize < known.Cutoff) {
        known.Cutoff = minSize / 4;
        // Read into a vector kept for the purpose: the list kept has the
        // length of what it holds, not of all the children read.
        ReadChildren(stored, scratch_, known.Cutoff);
        known.Items.assign(scratch_.begin(), scratch_.end());
    }
    const std::vector<TTreemapItem>& all = known.Items;
    out.clear();
    for (const TTreemapItem& item : all) {
        if (static_cast<double>(item.Size) < minSize)
            break;  // the rest is smaller still
        out.push_back(item);
    }
}

void TTreemapSource::ReadChildren(int stored, std::vector<TTreemapItem>& out, double keep) const {
    out.clear();
    const std::string folder(dirs_[static_cast<std::size_t>(stored)]);
    const std::string prefix = folder + '\\';
    std::string upper = folder + ']';  // ']' follows '\' in byte order
    const std::size_t from = std::max(sortedFrom_, static_cast<std::size_t>(stored) + 1);
    const auto begin = dirs_.begin();
    std::size_t j = static_cast<std::size_t>(
        std::lower_bound(begin + static_cast<std::ptrdiff_t>(std::min(from, dirs_.size())),
                         dirs_.end(), std::string_view(prefix)) -
        begin);
    const std::size_t end = RunEnd(upper, 0, j, dirs_.size());
    // Every path of [j, end) begins with prefix: only what follows it is
    // compared.
    const std::size_t skip = prefix.size();
    std::int64_t known = 0;
    std::string key;
    while (j < end) {
        const std::string_view rest = dirs_[j].substr(skip);
        const std::size_t slash = rest.find('\\');
        if (slash == std::string_view::npos) {
            const std::int64_t size = FolderSize(static_cast<int>(j));
            known += size;
            if (static_cast<double>(size) >= keep)
                out.push_back({TTileKind::Folder, size, static_cast<int>(j)});
        }
        key.assign(rest.substr(0, slash));
        key += ']';
        j = RunEnd(key, skip, j + 1, end);
    }
    known += ReadFiles(folder, out, keep);
    const std::int64_t own = FolderSize(stored) - known;
    if (own > 0)
        out.push_back({TTileKind::OwnFiles, own, stored});
    out.erase(std::remove_if(out.begin(), out.end(),
                             [keep](const TTreemapItem& item) {
                                 return static_cast<double>(item.Size) < keep;
                             }),
              out.end());
    SortLargestFirst(out);
}

std::int64_t TTreemapSource::ReadFiles(const std::string& folder, std::vector<TTreemapItem>& out,
                                       double keep) const {
    std::int64_t sum = 0;
    if (!lister_) {
        const auto files = filesIn_.find(folder);
        if (files != filesIn_.end())
            for (const int f : files->second) {
                const std::int64_t size = FileSize(f);
                sum += size;
                out.push_back({TTileKind::File, size, f});
            }
        return sum;
    }
    listed_.clear();
    lister_(folder, listed_);
    for (TLargeFile& file : listed_) {
        const std::int64_t size =
            std::max<std::int64_t>(0, allocated_ ? file.Allocated : file.Size);
        sum += size;
        if (static_cast<double>(size) < keep)
            continue;  // never drawn: not kept either
        files_.push_back(std::move(file));
        out.push_back({TTileKind::File, size, static_cast<int>(files_.size() - 1)});
    }
    return sum;
}
