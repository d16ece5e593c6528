#include "engine/FileTypeTable.h"

#include <algorithm>
#include <cstring>

#include "platform/AsciiLower.h"

TTypeTotal TFileTypes::All() const {
    TTypeTotal all = NoExtension;
    all.Add(Other);
    for (const TTypeTotal& t : Kept)
        all.Add(t);
    return all;
}

std::string_view FileExtension(std::string_view rawName) {
    const std::size_t dot = rawName.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return rawName.substr(dot + 1);
}

TFileTypeTable::TFileTypeTable(std::size_t slots) : slots_(slots), marks_(kMarkBits / 64, 0) {}

TFileTypeTable& TFileTypeTable::operator=(const TFileTypeTable& other) {
    slots_ = other.slots_;
    types_ = other.types_;
    none_ = other.none_;
    turnedAway_ = other.turnedAway_;
    marks_ = other.marks_;
    index_.clear();
    indexed_ = 0;
    return *this;
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

std::uint64_t Load8(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    return word;
}

// The last 16 bytes of a name as two little-endian words, right-aligned
// (its last byte is the most significant of High), zero in front of a
// shorter name: names hold no zero byte. A name of 8 bytes or more takes
// two loads whatever its length, not a copy of a length known only now.
void LoadTail16(std::string_view name, std::uint64_t& low, std::uint64_t& high) {
    const std::size_t n = name.size();
    const char* end = name.data() + n;
    if (n >= 16) {
        low = Load8(end - 16);
        high = Load8(end - 8);
    } else if (n >= 8) {
        high = Load8(end - 8);
        low = n == 8 ? 0 : Load8(name.data()) << (8 * (16 - n));
    } else {
        unsigned char bytes[8] = {};
        std::memcpy(bytes + 8 - n, name.data(), n);
        std::memcpy(&high, bytes, 8);
        low = 0;
    }
}

// The high bit of each byte of Word that is a dot; exact for every byte
// (the plain zero-byte test may mark a byte above a true one).
std::uint64_t DotBytes(std::uint64_t word) {
    const std::uint64_t t = word ^ (kOnes * '.');
    return ~(((t & kLow7) + kLow7) | t | kLow7);
}

}  // namespace

TFileTypeTable::TKey TFileTypeTable::KeyOf(std::string_view rawName, std::uint64_t& low,
                                           std::uint64_t& high, std::size_t& extSize) {
    LoadTail16(rawName, low, high);
    // The last dot: the most significant marked byte, in High first.
    std::size_t dotFromEnd = 0;  // bytes after the dot
    if (const std::uint64_t dots = DotBytes(high)) {
        dotFromEnd = 7 - static_cast<std::size_t>(63 - __builtin_clzll(dots)) / 8;
    } else if (const std::uint64_t lowDots = DotBytes(low)) {
        dotFromEnd = 15 - static_cast<std::size_t>(63 - __builtin_clzll(lowDots)) / 8;
    } else {
        const std::size_t n = rawName.size();
        if (n <= kPackedBytes)
            return TKey::None;  // no dot at all
        // The dot is further in front, or there is none.
        if (rawName[n - 17] != '.')
            return FileExtension(rawName).empty() ? TKey::None : TKey::Long;
        dotFromEnd = 16;
    }
    // A dot that starts the name, or ends it, leaves none.
    if (dotFromEnd == 0 || dotFromEnd + 1 == rawName.size())
        return TKey::None;
    extSize = dotFromEnd;
    // Only the extension's bytes stay.
    if (extSize <= 8) {
        low = 0;
        high &= ~std::uint64_t{0} << (8 * (8 - extSize));
    } else {
        low &= ~std::uint64_t{0} << (8 * (16 - extSize));
        low = AsciiLower8(low);
    }
    high = AsciiLower8(high);
    return TKey::Packed;
}

std::size_t TFileTypeTable::Home(std::uint64_t low, std::uint64_t high) const {
    // A short extension has only High's top bytes: each step brings the
    // high bits down as well as up.
    std::uint64_t h = high ^ low * 0x9E3779B97F4A7C15ull;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h & (index_.size() - 1);
}

TFileTypeTable::IndexSlot& TFileTypeTable::Probe(std::uint64_t low, std::uint64_t high) {
    const std::size_t mask = index_.size() - 1;
    std::size_t i = Home(low, high);
    while (index_[i].Total != nullptr && (index_[i].Low != low || index_[i].High != high))
        i = (i + 1) & mask;
    return index_[i];
}

void TFileTypeTable::Index(std::uint64_t low, std::uint64_t high, Entry* total) {
    if ((indexed_ + 1) * 2 > index_.size()) {
        std::vector<IndexSlot> old(std::max<std::size_t>(64, index_.size() * 2));
        old.swap(index_);
        for (const IndexSlot& slot : old)
            if (slot.Total != nullptr)
                Probe(slot.Low, slot.High) = slot;
    }
    Probe(low, high) = {low, high, total};
    ++indexed_;
}

TFileTypeTable::Entry* TFileTypeTable::Find(std::string_view ext, std::int64_t bytes,
                                            std::int64_t allocated) {
    key_.assign(ext);
    for (char& c : key_)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    auto it = types_.find(key_);
    if (it == types_.end()) {
        if (types_.size() >= slots_) {
            Mark(std::hash<std::string>{}(key_));
            turnedAway_.Add(bytes, allocated);
            return nullptr;
        }
        it = types_.emplace(key_, Entry{}).first;
        it->second.Total.Ext = key_;
        if (shared_) {
            std::lock_guard<std::mutex> guard(shared_->Lock);
            it->second.Files.Join(
                shared_->Lists.try_emplace(key_, kTypeFiles, kTypeFiles).first->second);
        }
    }
    return &it->second;
}

TLargestFiles* TFileTypeTable::Add(std::string_view rawName, std::int64_t bytes,
                                   std::int64_t allocated) {
    std::uint64_t low = 0, high = 0;
    std::size_t extSize = 0;
    const TKey key = KeyOf(rawName, low, high, extSize);
    if (key == TKey::None) {
        none_.Add(bytes, allocated);
        return nullptr;
    }
    const bool packed = key == TKey::Packed;
    if (packed && !index_.empty()) {
        // Entries never move (types_ keeps its nodes), so the index's
        // pointers stay good while the table grows.
        if (Entry* entry = Probe(low, high).Total) {
            entry->Total.Add(bytes, allocated);
            return &entry->Files;
        }
    }
    const std::string_view ext =
        packed ? rawName.substr(rawName.size() - extSize) : FileExtension(rawName);
    Entry* entry = Find(ext, bytes, allocated);
    if (entry == nullptr)
        return nullptr;  // turned away, and counted as such
    entry->Total.Add(bytes, allocated);
    if (packed)
        Index(low, high, entry);
    return &entry->Files;
}

bool TFileTypeTable::MayList(std::string_view rawName, std::int64_t bytes) const {
    std::uint64_t low = 0, high = 0;
    std::size_t extSize = 0;
    const TKey key = KeyOf(rawName, low, high, extSize);
    if (key == TKey::None)
        return false;
    if (key == TKey::Long || index_.empty())
        return true;  // not looked up here: the safe answer
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = Home(low, high); index_[i].Total != nullptr; i = (i + 1) & mask)
        if (index_[i].Low == low && index_[i].High == high)
            return index_[i].Total->Files.Wants(bytes);
    return true;
}

void TFileTypeTable::Join(TFileTypeTable& first) {
    if (!first.shared_)
        first.shared_ = std::make_shared<SharedLists>();
    shared_ = first.shared_;
}

void TFileTypeTable::Merge(TFileTypeTable&& other) {
    none_.Add(other.none_);
    turnedAway_.Add(other.turnedAway_);
    for (std::size_t i = 0; i < marks_.size(); ++i)
        marks_[i] |= other.marks_[i];
    // Merged tables may together hold more than slots_ types: the bound is
    // per table, and there is one table per walking thread.
    for (auto& [ext, entry] : other.types_) {
        auto [it, added] = types_.try_emplace(ext, std::move(entry));
        if (!added) {
            it->second.Total.Add(entry.Total);
            it->second.Files.Merge(std::move(entry.Files));
        }
    }
    other.types_.clear();
    other.index_.clear();
    other.indexed_ = 0;
}

TFileTypes TFileTypeTable::Finish(std::size_t kept) const {
    TFileTypes out;
    out.NoExtension = none_;
    out.Other = turnedAway_;
    std::vector<const TTypeTotal*> exact;
    exact.reserve(types_.size());
    for (const auto& [ext, entry] : types_) {
        if (Marked(std::hash<std::string>{}(ext)))
            out.Other.Add(entry.Total);
        else
            exact.push_back(&entry.Total);
    }
    std::sort(exact.begin(), exact.end(), [](const TTypeTotal* a, const TTypeTotal* b) {
        return a->Bytes != b->Bytes ? a->Bytes > b->Bytes : a->Ext < b->Ext;
    });
    for (std::size_t i = 0; i < exact.size(); ++i) {
        if (i < kept)
            out.Kept.push_back(*exact[i]);
        else
            out.Other.Add(*exact[i]);
    }
    return out;
}

std::map<std::string, TFileList> TFileTypeTable::FinishFiles(
    const TFileTypes& types, const TLargestFiles::TFolderPath& folderPath) const {
    std::map<std::string, TFileList> lists;
    for (const TTypeTotal& t : types.Kept) {
        const auto it = types_.find(t.Ext);
        if (it == types_.end())
            continue;
        TFileList& list = lists[t.Ext];
        list.Files = it->second.Files.Finish(folderPath, list.Floor);
    }
    return lists;
}
