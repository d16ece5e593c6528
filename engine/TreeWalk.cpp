#include "engine/TreeWalk.h"

#include <fnmatch.h>

#include <QCollator>
#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/ExcludeWalk.h"
#include "engine/LinkTable.h"
#include "engine/WalkHelpers.h"
#include "engine/WalkPaths.h"
#include "platform/DirListing.h"
#include "platform/OpenFolder.h"
#include "platform/ProcessDiskReads.h"
#include "platform/WalkBounds.h"

namespace {

// What one listing of a folder gives.
struct FolderScan {
    bool Opened = false;
    std::vector<std::string> Subfolders;   // raw names
    std::vector<std::int64_t> Own;         // per filter part
    std::vector<std::int64_t> OwnDisk;     // allocated bytes, per filter part
    std::vector<TLinkSighting> Links;      // one per file and part once resolved
    std::uint64_t Files = 0;               // entries that take part, not folders
    std::uint64_t Bytes = 0;               // their sizes
    std::vector<TExcludeState> SubStates;  // with exclude rules, one per subfolder
};

// Adds a listed folder to the walk's running counts.
void CountListed(TWalkCounters* progress, const FolderScan& scan) {
    if (!progress)
        return;
    const std::uint64_t folders = progress->Folders.fetch_add(1, std::memory_order_relaxed) + 1;
    if (progress->Listed)
        progress->Listed(folders);
    if (scan.Files == 0)
        return;
    progress->Files.fetch_add(scan.Files, std::memory_order_relaxed);
    progress->Bytes.fetch_add(scan.Bytes, std::memory_order_relaxed);
}

class FolderScanner {
  public:
    FolderScanner(const TWalkSettings& s, TFileSink* sink) : s_(s), sink_(sink) {
        for (const std::string& p : s.Patterns)
            matchAll_.push_back(p == "*" || p == "*.*");
        onlyAll_ = matchAll_.size() == 1 && matchAll_[0];
        // The read-only bit costs a lookup per folder; only StrictRO needs it.
        wantReadOnly_ = s.StrictRO && !(s.Mask & faReadOnly);
        if (s.Exclude != nullptr && !s.Exclude->Empty())
            exclude_ = std::make_unique<TExcludeWalk>(*s.Exclude);
    }

    // The exclude state of the folder Read lists next.
    void Enter(const TExcludeState& state) {
        if (exclude_)
            exclude_->Enter(state);
    }

    void Scan(const std::string& native, std::uint32_t node, bool wantSubfolders, FolderScan& out) {
        TDirListing listing(native, Options());
        if (!bounds_)  // the first folder listed is the walk's root
            bounds_ = std::make_unique<TWalkBounds>(native, listing.Device(), listing.MountId());
        Read(listing, node, wantSubfolders, out);
    }

    // The listing of Name inside an open folder, or of a whole path.
    // Subfolders are not looked at one by one: the walk compares the
    // mount of each folder it opens with the walk's own.
    std::unique_ptr<TDirListing> Open(int parentFd, const std::string& name) const {
        return std::make_unique<TDirListing>(parentFd, name, Options() | LazyFolders());
    }
    std::unique_ptr<TDirListing> OpenPath(const std::string& native) const {
        return std::make_unique<TDirListing>(native, Options() | LazyFolders());
    }

    void Read(TDirListing& listing, std::uint32_t node, bool wantSubfolders, FolderScan& out) {
        out.Subfolders.clear();
        out.Links.clear();
        out.Own.assign(s_.Patterns.size(), 0);
        out.OwnDisk.assign(s_.Patterns.size(), 0);
        out.Files = 0;
        out.Bytes = 0;
        out.SubStates.clear();
        out.Opened = listing.IsOpen();
        std::string_view name;
        while (listing.NextRaw(entry_, name)) {
            const bool folder = entry_.Attr & faDirectory;
            if (exclude_ && exclude_->Skips(listing.Fd(), name, folder))
                continue;
            if (wantSubfolders && folder && (!entry_.OtherMount || EntersMount(listing, name))) {
                out.Subfolders.emplace_back(name);
                if (exclude_)
                    out.SubStates.push_back(exclude_->ChildState(name));
            }
            if (!TakesPart(entry_))
                continue;
            // A folder's own blocks count nowhere, as its size does not
            // (a lazily listed folder has no allocated bytes read at all).
            const std::int64_t disk = folder ? 0 : entry_.DiskBytes;
            const bool linked = entry_.Links > 1 && !folder;
            if (!onlyAll_ || linked) {
                if (!MatchParts(name, disk, linked, out))
                    continue;
            } else {
                // One part that takes every name (the usual "*.*"): no loop.
                out.Own[0] += entry_.Size;
                out.OwnDisk[0] += disk;
            }
            if (folder)
                continue;
            ++out.Files;
            out.Bytes += static_cast<std::uint64_t>(entry_.Size);
            if (sink_ && !linked)
                sink_->File({node, name, entry_.Size, disk, entry_.LastWriteSeconds,
                             entry_.LastWriteNanos, true, entry_.Links, entry_.Device,
                             entry_.Inode});
        }
        TLinkTable::ResolveFolder(out.Links, out.Own.data(), out.OwnDisk.data());
    }

  private:
    // Adds the entry to every filter part whose pattern its name matches
    // (name ends in a zero byte); false when none does.
    bool MatchParts(std::string_view name, std::int64_t disk, bool linked, FolderScan& out) {
        bool matched = false;
        for (size_t p = 0; p < s_.Patterns.size(); ++p) {
            if (!matchAll_[p] && fnmatch(s_.Patterns[p].c_str(), name.data(), 0) != 0)
                continue;
            out.Own[p] += entry_.Size;
            out.OwnDisk[p] += disk;
            if (linked)
                AddSighting(name, disk, static_cast<int>(p), !matched, out);
            matched = true;
        }
        return matched;
    }

    // A name of a file with several links; its name is kept when the
    // folder has another name of the file, or a sink may list the file.
    void AddSighting(std::string_view name, std::int64_t disk, int part, bool first,
                     FolderScan& out) const {
        TLinkSighting& s = out.Links.emplace_back();
        s.Device = entry_.Device;
        s.Inode = entry_.Inode;
        s.Size = entry_.Size;
        s.Disk = disk;
        s.MTime = entry_.LastWriteSeconds;
        s.Nanos = entry_.LastWriteNanos;
        s.Links = entry_.Links;
        s.Part = part;
        s.First = first;
        s.FirstNames = first ? 1 : 0;
        s.Name.assign(name);
        s.Named = !first || !sink_ ||
                  sink_->WantsName(
                      {0, name, s.Size, disk, s.MTime, s.Nanos, true, s.Links, s.Device, s.Inode});
    }

    // A subfolder that is the root of another mount: looked at by its name.
    bool EntersMount(const TDirListing& listing, std::string_view name) {
        if (!bounds_)
            return false;
        entry_.Name.assign(name);
        return bounds_->EntersEntry(listing.Fd(), entry_);
    }

    unsigned Options() const { return wantReadOnly_ ? 0u : unsigned{TDirListing::kNoReadOnly}; }
    static unsigned LazyFolders() { return TDirListing::kLazyFolders; }

    bool TakesPart(const TDirEntry& e) const {
        constexpr std::uint32_t kTested = faHidden | faSysFile | faVolumeID | faDirectory;
        if (e.Attr & kTested & ~s_.Mask)
            return false;
        return !(s_.StrictRO && !(s_.Mask & faReadOnly) && (e.Attr & faReadOnly));
    }

    const TWalkSettings& s_;
    TFileSink* sink_;
    std::vector<bool> matchAll_;
    bool onlyAll_ = false;  // one part, and it takes every name
    bool wantReadOnly_ = false;
    TDirEntry entry_;
    std::unique_ptr<TWalkBounds> bounds_;
    std::unique_ptr<TExcludeWalk> exclude_;
};

// The exclude state of the walk's root (none without rules).
TExcludeState RootExcludeState(const TWalkSettings& s, const std::string& native) {
    return s.Exclude != nullptr ? s.Exclude->FolderState(native) : TExcludeState();
}

// The exclude state of subfolder i of a listing (none without rules).
TExcludeState SubState(FolderScan& scan, size_t i) {
    return i < scan.SubStates.size() ? std::move(scan.SubStates[i]) : TExcludeState();
}

// Sequential walk, in the order the result lists are defined by: breadth
// first, or by the sorted queue with Sorted on (an OnNewPath handler sees
// the folders in exactly this order).
class SequentialWalk {
  public:
    SequentialWalk(const TWalkSettings& s, TFolderTree& tree, TLinkTable& links, TFileSink* sink,
                   bool& abort)
        : s_(s), tree_(tree), links_(links), abort_(abort), scanner_(s, sink) {
        collator_.setCaseSensitivity(Qt::CaseInsensitive);
    }

    void Run() {
        const std::string root = WalkNativeRoot(s_.Directory);
        queue_.push_back({0, root, tree_.RootText, RootExcludeState(s_, root)});
        if (!s_.Recurse) {
            WalkOne(queue_.front(), false);
            return;
        }
        while (!queue_.empty()) {
            Queued item = std::move(queue_.front());
            queue_.pop_front();
            scanner_.Enter(item.Exclude);
            scanner_.Scan(item.Native, item.Node, true, scan_);
            CountListed(s_.Progress, scan_);
            QueueSubfolders(item);
            if (s_.Cancel && s_.Cancel->load())
                return;
            Commit(item);
            if (s_.Sorted)
                SortQueue();
            if (abort_)
                return;
        }
    }

  private:
    struct Queued {
        std::uint32_t Node;
        std::string Native;
        std::string Path;  // drive form, no trailing backslash
        TExcludeState Exclude;
    };

    void WalkOne(const Queued& item, bool scanned) {
        if (!scanned) {
            scanner_.Enter(item.Exclude);
            scanner_.Scan(item.Native, item.Node, false, scan_);
            CountListed(s_.Progress, scan_);
        }
        Commit(item);
    }

    void QueueSubfolders(const Queued& item) {
        if (scan_.Subfolders.empty())
            return;
        const std::vector<std::string> names = EscapedNames(scan_.Subfolders);
        const std::uint32_t first = tree_.AddChildren(item.Node, names);
        std::vector<Queued> found;
        for (size_t i = 0; i < names.size(); ++i)
            found.push_back({first + static_cast<std::uint32_t>(i),
                             WalkChildNative(item.Native, names[i]), item.Path + "\\" + names[i],
                             SubState(scan_, i)});
        if (s_.Sorted) {
            // Inserted at the front in the order found; the sort reorders.
            for (auto it = found.rbegin(); it != found.rend(); ++it)
                queue_.push_front(std::move(*it));
        } else {
            for (Queued& q : found)
                queue_.push_back(std::move(q));
        }
    }

    void Commit(const Queued& item) {
        if (s_.OnNewPath) {
            s_.OnNewPath(item.Path + "\\", abort_);
            if (abort_)
                return;
        }
        links_.Commit(tree_, item.Node, scan_.Links, scan_.Own.data(), scan_.OwnDisk.data());
        tree_.SetListed(item.Node, scan_.Own.data(), scan_.OwnDisk.data());
        tree_.WalkOrder.push_back(item.Node);
    }

    // The queue in the locale's case-insensitive order of its paths.
    void SortQueue() {
        std::vector<std::pair<QString, Queued>> keyed;
        keyed.reserve(queue_.size());
        for (Queued& q : queue_)
            keyed.emplace_back(QFile::decodeName(QByteArray::fromStdString(q.Path)), std::move(q));
        std::stable_sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
            return collator_.compare(a.first, b.first) < 0;
        });
        queue_.clear();
        for (auto& k : keyed)
            queue_.push_back(std::move(k.second));
    }

    const TWalkSettings& s_;
    TFolderTree& tree_;
    TLinkTable& links_;
    bool& abort_;
    FolderScanner scanner_;
    FolderScan scan_;
    std::deque<Queued> queue_;
    QCollator collator_;
};

// Walk with several threads. Each thread walks depth-first from the folder
// it took, opening every subfolder by its name inside its open parent, so no
// path is ever resolved as a whole and any depth can be reached; when
// another thread runs out of work, the pending subfolders of the shallowest
// open folder are handed over together with that open folder. The tree
// keeps every folder's children in listing order, so the sequential order
// is recovered afterwards.
class ParallelWalk {
  public:
    ParallelWalk(const TWalkSettings& s, TFolderTree& tree, TLinkTable& links)
        : s_(s), tree_(tree), links_(links) {
        // Every thread keeps its open folders below a depth that keeps the
        // walk's descriptors well inside the usual limit of 1024.
        maxOpenDepth_ = std::clamp<size_t>(kOpenBudget / std::max(1, s.Threads), 2, 48);
    }

    // Walks the tree; the first exception that ended any thread's part
    // (memory running out, say) is thrown again here once every thread has
    // ended: on a helper it would end the program.
    void Run() {
        const std::string root = WalkNativeRoot(s_.Directory);
        work_.push_back({0, nullptr, root, RootExcludeState(s_, root)});
        MakeSinks();
        // The disk's reads are only watched when there is something to start.
        std::optional<TProcessDiskReads> reads;
        if (s_.WarmThreads > 0 && s_.WarmThreads < s_.Threads)
            reads.emplace();
        TWalkHelpers helpers(
            reads ? s_.WarmThreads : s_.Threads, s_.Threads, [this](int t) { CarryingWork(t); },
            [&reads]() -> std::optional<std::uint64_t> {
                return reads ? reads->Bytes() : std::nullopt;
            });
        helpers_ = &helpers;
        helpers.Start();
        CarryingWork(0);
        helpers.Join();
        helpers_ = nullptr;
        if (failure_)
            std::rethrow_exception(failure_);
        tree_.WalkOrder = tree_.BreadthFirstOrder();
    }

    // Every thread's sink merged into one; none without MakeSink.
    std::unique_ptr<TFileSink> MergedSink() {
        if (sinks_.empty())
            return nullptr;
        std::unique_ptr<TFileSink> merged = std::move(sinks_.front());
        for (size_t i = 1; i < sinks_.size(); ++i)
            merged->Merge(*sinks_[i]);
        sinks_.clear();
        return merged;
    }

  private:
    static constexpr size_t kOpenBudget = 512;

    // A folder to list: a name inside an open folder, or (the walk's root,
    // without a parent) a whole native path.
    struct Job {
        std::uint32_t Node;
        std::shared_ptr<const TOpenFolder> Parent;
        std::string Name;
        TExcludeState Exclude;
    };
    // An open folder whose subfolders this thread is walking.
    struct Frame {
        std::shared_ptr<const TOpenFolder> Folder;
        std::uint32_t FirstChild = 0;
        std::vector<std::string> Raw;  // subfolder names
        size_t Next = 0;
        std::vector<TExcludeState> Exclude;  // with exclude rules, one per name
    };

    // One sink per thread, made before any thread starts; the later ones
    // join the first, so that they may share what lets a thread pass over
    // a file early.
    void MakeSinks() {
        if (!s_.MakeSink)
            return;
        for (int t = 0; t < s_.Threads; ++t) {
            sinks_.push_back(s_.MakeSink());
            if (t > 0)
                sinks_.back()->Join(*sinks_.front());
        }
    }
    TFileSink* Sink(int thread) const {
        return sinks_.empty() ? nullptr : sinks_[static_cast<size_t>(thread)].get();
    }

    // One thread's part of the walk. What ends it early is kept for Run and
    // stops the other threads, which then take no more folders.
    void CarryingWork(int thread) {
        try {
            WorkWith(Sink(thread));
        } catch (...) {
            std::lock_guard<std::mutex> guard(mutex_);
            if (!failure_)
                failure_ = std::current_exception();
            failed_.store(true, std::memory_order_relaxed);
            stop_ = true;
            wake_.notify_all();
        }
    }

    void WorkWith(TFileSink* sink) {
        FolderScanner scanner(s_, sink);
        FolderScan scan;
        std::vector<Frame> stack;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            ++idle_;
            wake_.wait(lock, [this] { return !work_.empty() || busy_ == 0 || stop_; });
            --idle_;
            if (stop_ || work_.empty())
                break;
            Job job = std::move(work_.back());
            work_.pop_back();
            ++busy_;
            lock.unlock();
            scanner.Enter(job.Exclude);
            const bool going = Visit(scanner, scan, stack, job.Parent.get(), job.Node, job.Name);
            job.Parent.reset();
            helpers_->Look();
            if (!going) {
                lock.lock();
                Stop();
                break;
            }
            while (!stack.empty()) {
                Frame& top = stack.back();
                if (top.Next == top.Raw.size()) {
                    stack.pop_back();
                    continue;
                }
                if (idle_.load(std::memory_order_relaxed) > 0)
                    Share(stack);
                if (top.Next == top.Raw.size())
                    continue;
                const size_t i = top.Next++;
                const std::uint32_t node = top.FirstChild + static_cast<std::uint32_t>(i);
                if (i < top.Exclude.size())
                    scanner.Enter(top.Exclude[i]);
                if (!Visit(scanner, scan, stack, top.Folder.get(), node, top.Raw[i])) {
                    stack.clear();
                    lock.lock();
                    Stop();
                    return;
                }
                helpers_->Look();
            }
            lock.lock();
            --busy_;
            wake_.notify_all();
        }
    }

    // Lists one folder (Name inside Parent when given, else the whole path
    // Name) and records it; its subfolders become a new frame. False on
    // cancel, and once another thread has failed.
    bool Visit(FolderScanner& scanner, FolderScan& scan, std::vector<Frame>& stack,
               const TOpenFolder* parent, std::uint32_t node, const std::string& name) {
        if ((s_.Cancel && s_.Cancel->load(std::memory_order_relaxed)) ||
            failed_.load(std::memory_order_relaxed))
            return false;
        std::unique_ptr<TDirListing> listing =
            parent ? scanner.Open(parent->Fd(), name) : scanner.OpenPath(name);
        if (node == 0) {
            bounds_ = std::make_unique<TWalkBounds>(name, listing->Device(), listing->MountId());
        } else if (listing->IsOpen() &&
                   !bounds_->Enters(listing->Device(), listing->MountId(), listing->Fd())) {
            return true;  // another file system, a snapshot, or covered elsewhere: no entry
        }
        scanner.Read(*listing, node, true, scan);
        CountListed(s_.Progress, scan);
        const std::vector<std::string> names = EscapedNames(scan.Subfolders);
        std::uint32_t first = 0;
        std::shared_ptr<const TOpenFolder> folder;
        if (!names.empty())
            folder = std::make_shared<const TOpenFolder>(listing->ReleaseFd());
        listing.reset();
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (!names.empty())
                first = tree_.AddChildren(node, names);
            links_.Commit(tree_, node, scan.Links, scan.Own.data(), scan.OwnDisk.data());
            tree_.SetListed(node, scan.Own.data(), scan.OwnDisk.data());
            if (!names.empty() && stack.size() >= maxOpenDepth_) {
                for (size_t i = 0; i < names.size(); ++i)
                    work_.push_back({first + static_cast<std::uint32_t>(i), folder,
                                     std::move(scan.Subfolders[i]), SubState(scan, i)});
                wake_.notify_all();
                return true;
            }
        }
        // The names move into the frame: the next Read starts the list afresh.
        if (!names.empty())
            stack.push_back({std::move(folder), first, std::move(scan.Subfolders), 0,
                             std::move(scan.SubStates)});
        return true;
    }

    // Hands the pending subfolders of the shallowest open folder, with the
    // folder itself, to the shared stack, where an idle thread picks them up.
    void Share(std::vector<Frame>& stack) {
        for (Frame& f : stack) {
            if (f.Next >= f.Raw.size())
                continue;
            std::lock_guard<std::mutex> guard(mutex_);
            for (size_t i = f.Next; i < f.Raw.size(); ++i)
                work_.push_back({f.FirstChild + static_cast<std::uint32_t>(i), f.Folder,
                                 std::move(f.Raw[i]),
                                 i < f.Exclude.size() ? std::move(f.Exclude[i]) : TExcludeState()});
            f.Next = f.Raw.size();
            wake_.notify_all();
            return;
        }
    }

    // Under the lock.
    void Stop() {
        --busy_;
        stop_ = true;
        wake_.notify_all();
    }

    const TWalkSettings& s_;
    TFolderTree& tree_;
    TLinkTable& links_;
    std::vector<std::unique_ptr<TFileSink>> sinks_;  // one per thread, by its number
    TWalkHelpers* helpers_ = nullptr;                // while Run runs
    size_t maxOpenDepth_ = 48;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Job> work_;
    int busy_ = 0;
    std::atomic<int> idle_{0};
    bool stop_ = false;
    std::exception_ptr failure_;       // what ended a thread, under the mutex
    std::atomic<bool> failed_{false};  // read by the threads between folders
    // The folders the walk enters; set by node 0, listed before any other.
    std::unique_ptr<TWalkBounds> bounds_;
};

}  // namespace

void WalkFolders(const TWalkSettings& settings, TFolderTree& tree, bool& abort) {
    tree.Reset(WalkRootText(settings.Directory), static_cast<int>(settings.Patterns.size()));
    TLinkTable links;
    std::unique_ptr<TFileSink> sink;
    const bool parallel =
        settings.Threads > 1 && settings.Recurse && !settings.OnNewPath && !settings.Sorted;
    if (parallel) {
        ParallelWalk walk(settings, tree, links);
        walk.Run();
        sink = walk.MergedSink();
    } else {
        if (settings.MakeSink)
            sink = settings.MakeSink();
        SequentialWalk(settings, tree, links, sink.get(), abort).Run();
    }
    if (!sink)
        return;
    // Every file with several links, now that it is known where it counts.
    links.Deliver(*sink);
    sink->Finish(tree);
    if (settings.MergedSink != nullptr)
        *settings.MergedSink = std::move(sink);
}
