#pragma once
// Files, bytes and allocated bytes per file type, in a table of bounded size.
//
// A file's type is its extension: the text after the last dot of its name
// where that dot is not the name's first character, ASCII letters in lower
// case ("a.tar.GZ" is "gz"; ".bashrc", "README" and "notes." have none).
// Files without one are summed apart.
//
// The cap, and why the kept totals are exact: a table takes a new type only
// while it holds fewer than kTypeSlots types; a file of a type it has no
// room for is added to "other" and the type's hash is marked. A type that
// got its entry at its first file counts every later file of it, so its
// totals are exact unless some table (of another walking thread, merged in)
// turned a file of it away; at the end every type whose hash is marked, by
// any table, is moved whole into "other". What is left is exact, and when a
// drive has at most kTypeSlots types nothing is ever turned away. Of those
// exact types the kKeptTypes largest by bytes (equal bytes: by name) are
// kept, and the rest are added to "other". So "other" is what the list does
// not show, and the list plus "other" plus "no extension" is the drive.
//
// Each type the table holds also keeps its largest files (a TLargestFiles of
// Capacity kTypeFiles and as many tied files, see LargestFiles.h): which
// types will be listed is known only at the end, so every held type keeps
// them, and a file that cannot make its type's list costs one comparison.
// At most kTypeSlots * 2 * kTypeFiles files are held, fewer than 700 000
// and in practice a few thousand; only the listed types' lists are kept.
// The tables of one walk's threads (Join) share each type's list, as the
// threads share the list of the largest files (see LargestFiles.h): a
// type's list is filled once, not once per thread.
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/LargestFiles.h"

// The most types a stored table lists by name.
inline constexpr std::size_t kKeptTypes = 500;
// The most types one table holds while counting (about 3 MB at most,
// besides the files their lists hold).
inline constexpr std::size_t kTypeSlots = 16384;
// The most largest files listed per type.
inline constexpr std::size_t kTypeFiles = 20;

struct TTypeTotal {
    std::string Ext;  // lower case, raw bytes; empty for "no extension" and "other"
    std::uint64_t Files = 0;
    std::int64_t Bytes = 0;
    std::int64_t Allocated = 0;

    void Add(std::int64_t bytes, std::int64_t allocated) {
        ++Files;
        Bytes = Sum(Bytes, bytes);
        Allocated = Sum(Allocated, allocated);
    }
    void Add(const TTypeTotal& o) {
        Files += o.Files;
        Bytes = Sum(Bytes, o.Bytes);
        Allocated = Sum(Allocated, o.Allocated);
    }
    // Totals stop at the largest byte count instead of wrapping round: an
    // import refuses sizes that add up that far only after it has counted
    // them, and a wrapped total would list a huge type as a negative one.
    static std::int64_t Sum(std::int64_t a, std::int64_t b) {
        std::int64_t sum = 0;
        return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<std::int64_t>::max() : sum;
    }
    bool operator==(const TTypeTotal& o) const {
        return Ext == o.Ext && Files == o.Files && Bytes == o.Bytes && Allocated == o.Allocated;
    }
};

// The table as it is stored: the kept types, largest first, and the rest.
struct TFileTypes {
    std::vector<TTypeTotal> Kept;
    TTypeTotal NoExtension;
    TTypeTotal Other;

    bool operator==(const TFileTypes& o) const {
        return Kept == o.Kept && NoExtension == o.NoExtension && Other == o.Other;
    }
    // Every file counted.
    TTypeTotal All() const;
};

// The extension of a raw name as it is written (not lower-cased); empty
// when the name has none.
std::string_view FileExtension(std::string_view rawName);

class TFileTypeTable {
  public:
    explicit TFileTypeTable(std::size_t slots = kTypeSlots);
    // A copy builds its own index (the original's points into its table).
    TFileTypeTable(const TFileTypeTable& other) { *this = other; }
    TFileTypeTable& operator=(const TFileTypeTable& other);
    TFileTypeTable(TFileTypeTable&&) = default;
    TFileTypeTable& operator=(TFileTypeTable&&) = default;

    // Counts a file; returns its type's list of largest files, which the
    // caller offers the file to, or null when the file has no extension or
    // its type was turned away.
    TLargestFiles* Add(std::string_view rawName, std::int64_t bytes, std::int64_t allocated);
    // Whether a file of this name and size could make its type's list of
    // largest files now (a type not yet held could get one).
    bool MayList(std::string_view rawName, std::int64_t bytes) const;
    // Shares first's lists of files per type (another walking thread's
    // table of the same walk); called before any file arrives.
    void Join(TFileTypeTable& first);
    // Adds another table's counts (another walking thread's).
    void Merge(TFileTypeTable&& other);
    // The stored form: the Kept largest exact types, the rest as "other".
    TFileTypes Finish(std::size_t kept = kKeptTypes) const;
    // The largest files of each type Types lists (Finish's result), by
    // extension.
    std::map<std::string, TFileList> FinishFiles(
        const TFileTypes& types, const TLargestFiles::TFolderPath& folderPath) const;

  private:
    // The index in front of types_: an extension of up to 16 bytes, lower
    // case and zero-padded in front (names hold no zero byte), is two words that
    // find its entry with one probe or a few, where a look-up in types_
    // hashes a string and follows a node per step. A drive can have
    // thousands of extensions in no order, so most files miss a cache of
    // the last one.
    struct Entry {
        TTypeTotal Total;
        TLargestFiles Files{kTypeFiles, kTypeFiles};
    };
    struct IndexSlot {
        std::uint64_t Low = 0, High = 0;
        Entry* Total = nullptr;  // null: free
    };
    static constexpr std::size_t kPackedBytes = 16;
    // How a name's type is looked up.
    enum class TKey {
        None,    // the name has no extension
        Packed,  // Low and High hold it, ExtSize its length
        Long     // longer than kPackedBytes: by name alone
    };
    // The key of a name's extension, from the name's last 16 bytes read as
    // two words: the dot is found in them, not byte by byte, and a name of
    // any length costs a load or two.
    static TKey KeyOf(std::string_view rawName, std::uint64_t& low, std::uint64_t& high,
                      std::size_t& extSize);
    std::size_t Home(std::uint64_t low, std::uint64_t high) const;
    IndexSlot& Probe(std::uint64_t low, std::uint64_t high);
    void Index(std::uint64_t low, std::uint64_t high, Entry* total);
    // The slow way: by name in types_, adding or turning away.
    Entry* Find(std::string_view ext, std::int64_t bytes, std::int64_t allocated);

    static constexpr std::size_t kMarkBits = 1 << 16;
    void Mark(std::size_t hash) { marks_[(hash % kMarkBits) / 64] |= 1ull << (hash % 64); }
    bool Marked(std::size_t hash) const {
        return marks_[(hash % kMarkBits) / 64] >> (hash % 64) & 1;
    }

    // The lists of the joined tables, by type.
    struct SharedLists {
        std::mutex Lock;
        std::unordered_map<std::string, TLargestFiles> Lists;
    };

    std::size_t slots_;
    std::unordered_map<std::string, Entry> types_;
    std::shared_ptr<SharedLists> shared_;  // none until joined
    TTypeTotal none_, turnedAway_;
    std::vector<std::uint64_t> marks_;
    std::string key_;               // reused for the lower-cased extension
    std::vector<IndexSlot> index_;  // a power of two slots, at most half in use
    std::size_t indexed_ = 0;
};
