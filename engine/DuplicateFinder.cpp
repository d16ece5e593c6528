#include "engine/DuplicateFinder.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/DuplicateCandidates.h"
#include "engine/DuplicateHasher.h"
#include "platform/DiskKind.h"
#include "platform/FileContent.h"
#include "platform/FileExtents.h"

namespace {

struct TWork {
    TDuplicateCandidate File;
    TContentHash Hash;
    bool Whole = false;  // Hash covers the whole content
    bool Dropped = false;
    std::uint64_t Physical = 0;
    std::vector<TFileExtent> Extents;
    bool HaveExtents = false;
};

// Runs job(i) for every i < count on threads threads, each taking the next
// index in turn, so that the reads go out in the order of the indices.
void ForEach(std::size_t count, int threads, const std::atomic<bool>& cancel,
             const std::function<void(std::size_t, TDuplicateHasher&)>& job) {
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        TDuplicateHasher hasher;
        for (std::size_t i; !cancel.load(std::memory_order_relaxed) && (i = next++) < count;)
            job(i, hasher);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads && std::size_t(t) < count; ++t)
        helpers.emplace_back(worker);
    worker();
    for (std::thread& t : helpers)
        t.join();
}

// Opens one of the file's names that still is the listed file.
bool OpenListed(const TDuplicateCandidate& c, std::unique_ptr<TFileContent>& file) {
    for (const std::string& name : c.Names) {
        file = std::make_unique<TFileContent>(name);
        if (file->IsOpen() && file->Identity().Device == c.Device &&
            file->Identity().Inode == c.Inode)
            return true;
    }
    return false;
}

bool Unchanged(const TFileContent& file, const TDuplicateCandidate& c) {
    TFileIdentity now;
    return file.IdentityNow(now) && now.Size == c.Size && now.WriteNanos == c.WriteNanos;
}

// Keeps the works that share (size, hash) with another, dropping the rest.
void KeepMatching(std::vector<TWork>& works) {
    std::sort(works.begin(), works.end(), [](const TWork& a, const TWork& b) {
        return std::tie(a.Dropped, a.File.Size, a.Hash) < std::tie(b.Dropped, b.File.Size, b.Hash);
    });
    std::vector<TWork> kept;
    for (std::size_t i = 0; i < works.size() && !works[i].Dropped;) {
        std::size_t end = i + 1;
        while (end < works.size() && !works[end].Dropped &&
               works[end].File.Size == works[i].File.Size && works[end].Hash == works[i].Hash)
            ++end;
        if (end - i > 1)
            std::move(works.begin() + i, works.begin() + end, std::back_inserter(kept));
        i = end;
    }
    works = std::move(kept);
}

// Numbers the shared sets of one group: copies with equal extents share one.
void MarkShared(std::vector<TWork>& works, std::size_t begin, std::size_t end,
                TDuplicateGroup& group) {
    for (std::size_t i = begin; i < end; ++i) {
        int set = int(i - begin);
        for (std::size_t j = begin; j < i; ++j)
            if (works[i].HaveExtents && works[j].HaveExtents &&
                works[i].Extents == works[j].Extents) {
                set = group.Copies[j - begin].SharedSet;
                break;
            }
        const TDuplicateCandidate& f = works[i].File;
        group.Copies.push_back({f.Names, f.Device, f.Inode, f.WriteNanos, set});
    }
}

}  // namespace

int TDuplicateFinder::ThreadsFor(const std::string& nativeRoot) const {
    if (options_.Threads > 0)
        return options_.Threads;
    if (DiskKindOf(nativeRoot) == TDiskKind::Rotational)
        return 1;
    // Reads of a solid-state or virtual disk overlap well, also beyond the
    // cores; from the page cache the threads share the copying.
    return 4;
}

bool TDuplicateFinder::Run(const std::string& nativeRoot, TDuplicateResult& result) {
    result = TDuplicateResult{nativeRoot, std::max<std::int64_t>(options_.MinSize, 1), 0, {}};
    std::vector<TDuplicateCandidate> candidates;
    if (!ListDuplicateCandidates(nativeRoot, options_.MinSize, candidates, Progress, Cancel))
        return false;
    std::vector<TWork> works(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i)
        works[i].File = std::move(candidates[i]);
    candidates = {};
    const int threads = ThreadsFor(nativeRoot);
    // Only one thread reads a spinning disk: there the order of places on
    // the disk is worth an ioctl per file.
    const bool byPlace = threads == 1;

    // The ends (small files whole), in inode order.
    Progress.HashingStart = std::chrono::steady_clock::now();
    for (const TWork& w : works)
        Progress.BytesToHash +=
            std::uint64_t(std::min<std::int64_t>(w.File.Size, 2 * TDuplicateHasher::kEndBlock));
    std::sort(works.begin(), works.end(), [](const TWork& a, const TWork& b) {
        return std::tie(a.File.Device, a.File.Inode) < std::tie(b.File.Device, b.File.Inode);
    });
    Progress.Step = TDuplicateProgress::kComparingEnds;
    ForEach(works.size(), threads, Cancel, [&](std::size_t i, TDuplicateHasher& hasher) {
        TWork& w = works[i];
        std::unique_ptr<TFileContent> file;
        w.Whole = w.File.Size <= TDuplicateHasher::kWholeAtOnce;
        bool ok = OpenListed(w.File, file);
        if (ok && w.Whole)
            ok = hasher.HashWhole(*file, w.File.Size, w.Hash, nullptr, &Cancel);
        else if (ok) {
            ok = hasher.HashEnds(*file, w.File.Size, w.Hash);
            if (byPlace)
                w.Physical = FirstPhysicalOffset(file->Fd());
        }
        Progress.BytesHashed +=
            std::uint64_t(std::min<std::int64_t>(w.File.Size, 2 * TDuplicateHasher::kEndBlock));
        ++Progress.FilesHashed;
        w.Dropped = !ok || !Unchanged(*file, w.File);
        if (w.Dropped)
            ++(file && file->IsOpen() ? Progress.Changed : Progress.Unreadable);
    });
    if (Cancel)
        return false;
    KeepMatching(works);

    // The whole content of the larger files left, in the order of the disk.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < works.size(); ++i)
        if (!works[i].Whole) {
            order.push_back(i);
            Progress.BytesToHash += std::uint64_t(works[i].File.Size);
        }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(works[a].File.Device, works[a].Physical, works[a].File.Inode) <
               std::tie(works[b].File.Device, works[b].Physical, works[b].File.Inode);
    });
    Progress.Step = TDuplicateProgress::kHashing;
    ForEach(order.size(), threads, Cancel, [&](std::size_t k, TDuplicateHasher& hasher) {
        TWork& w = works[order[k]];
        std::unique_ptr<TFileContent> file;
        bool ok = OpenListed(w.File, file);
        if (ok) {
            file->AdviseStreaming();
            ok = hasher.HashWhole(*file, w.File.Size, w.Hash, &Progress.BytesHashed, &Cancel);
        }
        ++Progress.FilesHashed;
        w.Dropped = !ok || !Unchanged(*file, w.File);
        if (w.Dropped && !Cancel)
            ++(file && file->IsOpen() ? Progress.Changed : Progress.Unreadable);
    });
    if (Cancel)
        return false;
    KeepMatching(works);

    // Where the copies' data lies, to tell clones that share it.
    Progress.Step = TDuplicateProgress::kExtents;
    const bool mayShare = MayShareExtents(nativeRoot);
    ForEach(mayShare ? works.size() : 0, threads, Cancel, [&](std::size_t i, TDuplicateHasher&) {
        std::unique_ptr<TFileContent> file;
        if (OpenListed(works[i].File, file))
            works[i].HaveExtents = ReadFileExtents(file->Fd(), works[i].Extents);
    });
    if (Cancel)
        return false;
    for (std::size_t i = 0; i < works.size();) {
        std::size_t end = i + 1;
        while (end < works.size() && works[end].File.Size == works[i].File.Size &&
               works[end].Hash == works[i].Hash)
            ++end;
        TDuplicateGroup group{works[i].File.Size, {}};
        MarkShared(works, i, end, group);
        result.Groups.push_back(std::move(group));
        i = end;
    }
    result.Sort();
    result.Time = std::time(nullptr);
    result.FilesListed = Progress.FilesListed;
    result.Candidates = Progress.Candidates;
    Progress.Step = TDuplicateProgress::kDone;
    return true;
}
