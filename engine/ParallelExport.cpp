#include "engine/ParallelExport.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/ExcludeWalk.h"
#include "engine/ExportItemText.h"
#include "platform/KernelFileSystem.h"
#include "platform/OpenFolder.h"
#include "platform/WalkBounds.h"

namespace {

constexpr const char* kReadError = ",\"read_error\":true";
constexpr const char* kOtherFs = ",\"excluded\":\"othfs\"";
constexpr const char* kKernelFs = ",\"excluded\":\"kernfs\"";

// A listed folder kept open for its subfolders, counted while it lives.
struct TCountedFolder {
    TCountedFolder(int fd, std::atomic<int>& open) : Folder(fd), Open(open) { Open.fetch_add(1); }
    ~TCountedFolder() { Open.fetch_sub(1); }
    TCountedFolder(const TCountedFolder&) = delete;
    TCountedFolder& operator=(const TCountedFolder&) = delete;

    TOpenFolder Folder;
    std::atomic<int>& Open;
};

// One folder of the export: known from its parent's listing, then listed
// (by a lister or by the writer), then written.
struct TFolderJob {
    enum class TState { Pending, Listing, Listed };

    // Set with the parent's listing and never changed after.
    TFolderJob* Parent = nullptr;
    std::uint32_t Index = 0;  // among the parent's subfolders
    std::uint32_t Depth = 0;
    TDirEntry Entry;  // as the parent's listing describes it
    std::uint64_t ParentDevice = 0;
    std::shared_ptr<const TCountedFolder> ParentFolder;  // null: opened by path
    TExcludeState Exclude;  // with exclude rules: the state its entries are matched from

    // Guarded by the mutex of the export.
    TState State = TState::Pending;
    bool Ahead = false;  // listed by a lister: in the window until taken

    // Set by whoever lists the folder; read by the writer once Listed.
    std::string Native;
    // "[", the folder's own object, then ",\n" and the object of each
    // entry, the subfolders going in at Cuts; the closing "]" is the
    // writer's. A folder that cannot be read is "[" its object "]" alone.
    std::string Text;
    bool Opened = false;
    std::vector<std::unique_ptr<TFolderJob>> Children;
    std::vector<std::size_t> Cuts;
};

// Whether A is written before B: the order of the first differing
// ancestors among their siblings, or an ancestor first.
bool Before(const TFolderJob* a, const TFolderJob* b) {
    if (a == b)
        return false;
    while (a->Depth > b->Depth) {
        a = a->Parent;
        if (a == b)
            return false;
    }
    while (b->Depth > a->Depth) {
        b = b->Parent;
        if (a == b)
            return true;
    }
    while (a->Parent != b->Parent) {
        a = a->Parent;
        b = b->Parent;
    }
    return a->Index < b->Index;
}

struct TWrittenFirst {
    bool operator()(const TFolderJob* a, const TFolderJob* b) const { return Before(a, b); }
};
using TJobSet = std::set<TFolderJob*, TWrittenFirst>;

class TParallelExport {
  public:
    TParallelExport(const TExportSettings& s, TExportOutput& out) : s_(s), out_(out) {}
    ~TParallelExport() { StopListers(); }
    TParallelExport(const TParallelExport&) = delete;
    TParallelExport& operator=(const TParallelExport&) = delete;

    bool Run(const TDirEntry& root, std::unique_ptr<TDirListing> listing, std::string& error) {
        bounds_ =
            std::make_unique<TWalkBounds>(s_.NativeRoot, listing->Device(), listing->MountId());
        root_.Entry = root;
        root_.ParentDevice = root.Device + 1;  // the root always names its device
        root_.Native = s_.NativeRoot;
        if (s_.Exclude != nullptr && !s_.Exclude->Empty())
            root_.Exclude = s_.Exclude->FolderState(s_.NativeRoot);
        List(root_, std::move(listing));
        {
            std::lock_guard<std::mutex> guard(mutex_);
            Publish(root_);
        }
        try {
            for (int t = 0; t < s_.Threads; ++t)
                listers_.emplace_back([this] { CarryingLister(); });
        } catch (const std::system_error&) {
            // A machine out of threads: the writer lists what they do not.
        }
        if (!Write(error))
            return false;
        out_.Write("]\n");
        return true;
    }

  private:
    // Where the writer is in one folder.
    struct TWriting {
        TFolderJob* Job;
        std::size_t Next = 0;     // the next subfolder
        std::size_t Written = 0;  // of the folder's text
    };

    // Writes the folders depth first; false when cancelled.
    bool Write(std::string& error) {
        std::vector<TWriting> stack{{&root_}};
        while (!stack.empty()) {
            if (s_.Cancel != nullptr && s_.Cancel->load()) {
                error = "cancelled";
                return false;
            }
            TWriting& top = stack.back();
            TFolderJob& job = *top.Job;
            if (top.Next == job.Children.size()) {
                Put(job.Text, top.Written, job.Text.size());
                if (job.Opened)
                    out_.Write("]");
                stack.pop_back();
                // Written whole: nothing refers to it any more.
                if (!stack.empty())
                    stack.back().Job->Children[stack.back().Next - 1].reset();
                continue;
            }
            const std::size_t cut = job.Cuts[top.Next];
            Put(job.Text, top.Written, cut);
            top.Written = cut;
            TFolderJob& child = *job.Children[top.Next++];
            Take(child);
            stack.push_back({&child});
        }
        return true;
    }

    void Put(const std::string& text, std::size_t from, std::size_t to) {
        out_.Write(std::string_view(text).substr(from, to - from));
    }

    // Waits for Job to be listed, or lists it here when nobody has begun.
    // What ended a lister (memory running out, say) is thrown here.
    void Take(TFolderJob& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (failure_)
            std::rethrow_exception(failure_);
        if (job.State == TFolderJob::TState::Pending) {
            pending_.erase(&job);
            job.State = TFolderJob::TState::Listing;
            lock.unlock();
            List(job, nullptr);
            lock.lock();
            Publish(job);
            return;
        }
        waiting_ = &job;
        listed_.wait(lock,
                     [this, &job] { return job.State == TFolderJob::TState::Listed || failure_; });
        waiting_ = nullptr;
        if (failure_)
            std::rethrow_exception(failure_);
        ahead_.erase(&job);
        aheadBytes_ -= job.Text.size();
        work_.notify_one();
    }

    // A lister's thread: what ends it early is kept for the writer, which
    // fails with it, and stops the other listers.
    void CarryingLister() {
        try {
            Lister();
        } catch (...) {
            {
                std::lock_guard<std::mutex> guard(mutex_);
                if (!failure_)
                    failure_ = std::current_exception();
                stop_ = true;
            }
            work_.notify_all();
            listed_.notify_all();
        }
    }

    // Lists folders ahead of the writer until stopped.
    void Lister() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            work_.wait(lock, [this] { return stop_ || MayListAhead(); });
            if (stop_)
                return;
            TFolderJob* job = *pending_.begin();
            pending_.erase(pending_.begin());
            job->State = TFolderJob::TState::Listing;
            job->Ahead = true;
            ahead_.insert(job);
            lock.unlock();
            List(*job, nullptr);
            lock.lock();
            Publish(*job);
        }
    }

    // Under the lock: whether the first pending folder may be listed now.
    // Past the window, only one the writer needs before all that waits in
    // it (the subfolders of a folder that took long to list, say).
    bool MayListAhead() const {
        if (pending_.empty())
            return false;
        const TExportWindow& w = s_.Window;
        if (ahead_.size() < w.Folders && aheadBytes_ < w.Bytes)
            return true;
        return ahead_.size() < 2 * w.Folders && aheadBytes_ < 2 * w.Bytes &&
               Before(*pending_.begin(), *ahead_.begin());
    }

    // Under the lock: Job is listed and its subfolders can be taken.
    void Publish(TFolderJob& job) {
        for (const auto& child : job.Children)
            pending_.insert(child.get());
        job.State = TFolderJob::TState::Listed;
        if (job.Ahead)
            aheadBytes_ += job.Text.size();
        if (waiting_ == &job)
            listed_.notify_one();
        if (job.Children.size() == 1)
            work_.notify_one();
        else if (!job.Children.empty())
            work_.notify_all();
    }

    // Lists Job (opening it unless Listing is given) into its text and
    // subfolders.
    void List(TFolderJob& job, std::unique_ptr<TDirListing> listing) {
        if (!listing)
            listing = OpenListing(job);
        job.Text = "[";
        if (!listing->IsOpen()) {
            AppendExportItem(job.Text, job.Entry, job.ParentDevice, kReadError);
            job.Text += "]";
            return;
        }
        job.Opened = true;
        AppendExportItem(job.Text, job.Entry, job.ParentDevice);
        if (s_.Progress != nullptr)
            s_.Progress->Folders.fetch_add(1, std::memory_order_relaxed);
        ReadEntries(job, *listing);
        if (!job.Children.empty() &&
            open_.load(std::memory_order_relaxed) < s_.Window.OpenFolders) {
            const auto folder = std::make_shared<const TCountedFolder>(listing->ReleaseFd(), open_);
            for (const auto& child : job.Children)
                child->ParentFolder = folder;
        }
    }

    // Opens Job by its name inside its open parent, else by its path.
    std::unique_ptr<TDirListing> OpenListing(TFolderJob& job) const {
        job.Native = job.Parent->Native;
        if (job.Native.back() != '/')
            job.Native += '/';
        job.Native += job.Entry.Name;
        std::unique_ptr<TDirListing> listing =
            job.ParentFolder
                ? std::make_unique<TDirListing>(job.ParentFolder->Folder.Fd(), job.Entry.Name,
                                                TDirListing::kNoReadOnly)
                : std::make_unique<TDirListing>(job.Native, TDirListing::kNoReadOnly);
        job.ParentFolder.reset();
        return listing;
    }

    void ReadEntries(TFolderJob& job, TDirListing& listing) {
        const std::uint64_t device = job.Entry.Device;
        std::uint64_t files = 0;
        std::uint64_t bytes = 0;
        TDirEntry e;
        std::unique_ptr<TExcludeWalk> exclude = TakeExcludeWalk();
        if (exclude)
            exclude->Enter(job.Exclude);
        while (listing.Next(e)) {
            job.Text += ",\n";
            const int why =
                exclude ? exclude->Reason(listing.Fd(), e.Name, e.Attr & faDirectory) : -1;
            if (why != -1) {
                AppendExcludedItem(job.Text, e.Name, why == TExcludeWalk::kCache);
            } else if (!(e.Attr & faDirectory)) {
                AppendExportItem(job.Text, e, device);
                ++files;
                bytes += static_cast<std::uint64_t>(e.StatSize);
            } else if (e.OtherMount && !bounds_->EntersEntry(listing.Fd(), e)) {
                AppendExportItem(job.Text, e, device,
                                 IsKernelFileSystem(listing.Fd(), e.Name) ? kKernelFs : kOtherFs);
            } else {
                AddChild(job, e);
                if (exclude)
                    job.Children.back()->Exclude = exclude->ChildState(e.Name);
            }
        }
        GiveBack(std::move(exclude));
        if (s_.Progress != nullptr && files > 0) {
            s_.Progress->Files.fetch_add(files, std::memory_order_relaxed);
            s_.Progress->Bytes.fetch_add(bytes, std::memory_order_relaxed);
        }
    }

    // A matcher of the exclude rules for one listing (none without rules):
    // kept between listings, as its states are worth keeping.
    std::unique_ptr<TExcludeWalk> TakeExcludeWalk() {
        if (s_.Exclude == nullptr || s_.Exclude->Empty())
            return nullptr;
        std::lock_guard<std::mutex> guard(excludeMutex_);
        if (excludeWalks_.empty())
            return std::make_unique<TExcludeWalk>(*s_.Exclude);
        std::unique_ptr<TExcludeWalk> walk = std::move(excludeWalks_.back());
        excludeWalks_.pop_back();
        return walk;
    }
    void GiveBack(std::unique_ptr<TExcludeWalk> walk) {
        if (!walk)
            return;
        std::lock_guard<std::mutex> guard(excludeMutex_);
        excludeWalks_.push_back(std::move(walk));
    }

    static void AddChild(TFolderJob& job, const TDirEntry& e) {
        auto child = std::make_unique<TFolderJob>();
        child->Parent = &job;
        child->Index = static_cast<std::uint32_t>(job.Children.size());
        child->Depth = job.Depth + 1;
        child->Entry = e;
        child->ParentDevice = job.Entry.Device;
        job.Cuts.push_back(job.Text.size());
        job.Children.push_back(std::move(child));
    }

    void StopListers() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stop_ = true;
        }
        work_.notify_all();
        for (std::thread& t : listers_)
            t.join();
        listers_.clear();
    }

    const TExportSettings& s_;
    TExportOutput& out_;
    std::unique_ptr<TWalkBounds> bounds_;
    std::atomic<int> open_{0};
    TFolderJob root_;

    std::mutex mutex_;
    std::mutex excludeMutex_;
    std::vector<std::unique_ptr<TExcludeWalk>> excludeWalks_;
    std::condition_variable work_;    // for listers: a folder to list, or stop
    std::condition_variable listed_;  // for the writer: the folder it waits for
    TJobSet pending_;                 // known, nobody listing them yet
    TJobSet ahead_;                   // taken by listers, not yet by the writer
    std::size_t aheadBytes_ = 0;      // the text of those listed
    const TFolderJob* waiting_ = nullptr;
    bool stop_ = false;
    std::exception_ptr failure_;  // what ended a lister
    std::vector<std::thread> listers_;
};

}  // namespace

bool ExportNcduParallel(const TExportSettings& settings, const TDirEntry& root,
                        std::unique_ptr<TDirListing> listing, TExportOutput& out,
                        std::string& error) {
    return TParallelExport(settings, out).Run(root, std::move(listing), error);
}
