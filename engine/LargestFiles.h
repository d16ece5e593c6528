#pragma once
// The largest files of a walk, in memory of bounded size whatever the tree.
//
// The list's order is larger size first and equal sizes by path (byte by
// byte). A walk does not know its paths: folders are numbers in its tree
// until it ends. So the files are kept by size alone, with their folder's
// number and their name, and ordered by path only at the end: every file of
// a size that may still make the list is kept, which for equal sizes at the
// list's end means all of them. A file that cannot make the list costs one
// comparison of sizes.
//
// The bound: at most Capacity files plus Tied (kTiedFiles unless given) of
// equal size at the list's end. A tree with more files of that one size than that (a folder
// of a million empty files on a drive of few others) gives up that size:
// the list then holds every file larger than it, fewer than Capacity, and
// says so through its floor (see TDiscoverData::Floor).
//
// The lists of one walk's threads share one list (Join): a file that may
// make it takes a lock, and whether it may is read without one, from the
// smallest size the list still takes. Few files ever make the list (about
// Capacity * ln(files / Capacity) of them in a tree in no order of size),
// so the walking threads rarely wait, and the list is filled once instead
// of once per thread. The shared list sees the files in the order the
// threads offer them, as one thread's list would in some order of the
// walk: the same files make it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The most largest files kept per drive.
inline constexpr std::size_t kLargestFiles = 1000;
// The most files of the list's smallest size kept beyond Capacity.
inline constexpr std::size_t kTiedFiles = 4 * kLargestFiles;
// A modification time that is not known (an export written without them).
inline constexpr std::int64_t kNoTime = INT64_MIN;

struct TLargeFile {
    std::string Path;  // drive form, names escaped ("C:\Data\big.iso")
    std::int64_t Size = 0;
    std::int64_t Allocated = 0;    // bytes the file takes on the disk
    std::int64_t MTime = kNoTime;  // last change, seconds since 1970

    bool operator==(const TLargeFile& o) const {
        return Path == o.Path && Size == o.Size && Allocated == o.Allocated && MTime == o.MTime;
    }
};

// True when a comes before b in the list's order.
bool LargerFile(const TLargeFile& a, const TLargeFile& b);

// A finished list: its files in the list's order and its floor, -1 or the
// size at or below which it does not know every file (see
// TDiscoverData::Floor).
struct TFileList {
    std::vector<TLargeFile> Files;
    std::int64_t Floor = -1;

    bool operator==(const TFileList& o) const { return Files == o.Files && Floor == o.Floor; }
};

class TLargestFiles {
  public:
    // A drive-form folder path by the number the walk gave the folder.
    using TFolderPath = std::function<std::string(std::uint32_t folder)>;

    explicit TLargestFiles(std::size_t capacity = kLargestFiles, std::size_t tied = kTiedFiles)
        : core_{capacity, tied} {}

    // False when a file of this size cannot make the list.
    bool Wants(std::int64_t size) const {
        return shared_ ? size >= shared_->Least.load(std::memory_order_relaxed) : core_.Wants(size);
    }
    // Shares first's list (another walking thread's list of the same walk);
    // called before any file arrives.
    void Join(TLargestFiles& first);
    void Add(std::int64_t size, std::int64_t allocated, std::int64_t mtime, std::uint32_t folder,
             std::string_view rawName);
    // Takes in another walking thread's files (none when it shares this
    // list).
    void Merge(TLargestFiles&& other);
    // The list, in its order, with paths; Floor is -1, or the size at or
    // below which files were given up.
    std::vector<TLargeFile> Finish(const TFolderPath& folderPath, std::int64_t& floor) const;

  private:
    struct Pending {
        std::int64_t Allocated, MTime;
        std::uint32_t Folder;
        std::string Name;  // raw
    };
    // The list itself, of one thread or shared.
    struct Core {
        Core(std::size_t capacity, std::size_t tied) : Capacity(capacity), Tied(tied) {}
        std::size_t Capacity;
        std::size_t Tied;
        std::size_t Count = 0;
        std::int64_t Floor = -1;
        std::map<std::int64_t, std::vector<Pending>> Groups;  // by size, smallest first

        bool Wants(std::int64_t size) const {
            return size > Floor && (Count < Capacity || size >= Groups.begin()->first);
        }
        // The smallest size Wants takes.
        std::int64_t Least() const;
        void Add(std::int64_t size, Pending file);
        void Prune();
        void Merge(Core&& other);
    };
    struct Shared {
        explicit Shared(Core core) : List(std::move(core)) {}
        std::mutex Lock;
        Core List;
        std::atomic<std::int64_t> Least{0};
    };
    const Core& List() const { return shared_ ? shared_->List : core_; }

    Core core_;
    std::shared_ptr<Shared> shared_;  // none until joined
};
