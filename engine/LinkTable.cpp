#include "engine/LinkTable.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "engine/FileTypeTable.h"

namespace {

// Wrapping like the totals do.
void TakeBackLinked(std::int64_t& own, std::int64_t bytes) {
    own = static_cast<std::int64_t>(static_cast<std::uint64_t>(own) -
                                    static_cast<std::uint64_t>(bytes));
}

std::uint32_t Depth(const TFolderTree& tree, std::uint32_t node) {
    std::uint32_t depth = 0;
    for (; node != 0; node = tree.Nodes[node].Parent)
        ++depth;
    return depth;
}

std::uint64_t Mix(std::uint64_t device, std::uint64_t inode, int part) {
    std::uint64_t h = inode * 0x9E3779B97F4A7C15ull ^ (device + static_cast<std::uint64_t>(part));
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

}  // namespace

int CompareFolders(const TFolderTree& tree, std::uint32_t a, std::uint32_t b) {
    if (a == b)
        return 0;
    // Every path below a folder extends the folder's path (the root's too:
    // "C:" sorts as "A", before any "C:\..."), so an ancestor comes first.
    std::uint32_t da = Depth(tree, a), db = Depth(tree, b);
    bool aBelow = false, bBelow = false;  // the path goes on below the step
    for (; da > db; --da, aBelow = true)
        a = tree.Nodes[a].Parent;
    for (; db > da; --db, bBelow = true)
        b = tree.Nodes[b].Parent;
    if (a == b)
        return aBelow ? 1 : -1;
    while (tree.Nodes[a].Parent != tree.Nodes[b].Parent) {
        a = tree.Nodes[a].Parent;
        b = tree.Nodes[b].Parent;
        aBelow = bBelow = true;
    }
    // Siblings: their names, then what follows each ("\" or the end).
    const std::string_view na = tree.NameOf(a), nb = tree.NameOf(b);
    const std::size_t n = std::min(na.size(), nb.size());
    if (const int c = n ? std::memcmp(na.data(), nb.data(), n) : 0)
        return c;
    auto next = [](std::string_view name, std::size_t at, bool below) {
        return at < name.size() ? static_cast<unsigned char>(name[at]) : below ? '\\' : -1;
    };
    return next(na, n, aBelow) - next(nb, n, bBelow);
}

std::string ExtensionStandIn(std::string_view rawName) {
    const std::string_view ext = FileExtension(rawName);
    return ext.empty() ? std::string("*") : "*." + std::string(ext);
}

void TLinkTable::ResolveFolder(std::vector<TLinkSighting>& sightings, std::int64_t* own,
                               std::int64_t* ownDisk) {
    if (sightings.size() > 1)
        Settle(sightings, own, ownDisk);
    // Only now, with the folder's names compared, may a name that no sink
    // wants give way to its extension.
    for (TLinkSighting& s : sightings)
        if (!s.Named)
            s.Name = ExtensionStandIn(s.Name);
}

void TLinkTable::Settle(std::vector<TLinkSighting>& sightings, std::int64_t* own,
                        std::int64_t* ownDisk) {
    // A name whose first part is another (whose name a sink never hears)
    // comes first in its folder, as a sighting without a name does in
    // CountLinksOnce.
    std::sort(sightings.begin(), sightings.end(),
              [](const TLinkSighting& x, const TLinkSighting& y) {
                  return std::tie(x.Device, x.Inode, x.Part, x.First, x.Name) <
                         std::tie(y.Device, y.Inode, y.Part, y.First, y.Name);
              });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < sightings.size(); ++i) {
        TLinkSighting& s = sightings[i];
        TLinkSighting& k = sightings[kept];
        if (i > 0 && s.Device == k.Device && s.Inode == k.Inode && s.Part == k.Part) {
            TakeBackLinked(own[s.Part], s.Size);
            TakeBackLinked(ownDisk[s.Part], s.Disk);
            k.Names += s.Names;
            k.FirstNames += s.FirstNames;
            continue;
        }
        if (i > 0)
            ++kept;
        if (kept != i)
            sightings[kept] = std::move(s);
    }
    sightings.resize(kept + 1);
}

std::uint32_t* TLinkTable::Find(std::uint16_t device, std::uint64_t inode, int part) {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = Mix(device, inode, part) & mask;; i = (i + 1) & mask) {
        std::uint32_t& slot = index_[i];
        if (slot == 0)
            return &slot;
        const Entry& e = entries_[slot - 1];
        if (e.Inode == inode && e.Device == device && e.Part == part)
            return &slot;
    }
}

std::uint16_t TLinkTable::DeviceIndex(std::uint64_t device) {
    // A walk stays on one file system, or a few (subvolumes).
    for (std::size_t i = devices_.size(); i-- > 0;)
        if (devices_[i] == device)
            return static_cast<std::uint16_t>(i);
    if (devices_.size() > 0xFFFF)
        throw std::length_error("too many devices in one walk");
    devices_.push_back(device);
    return static_cast<std::uint16_t>(devices_.size() - 1);
}

void TLinkTable::Grow() {
    std::vector<std::uint32_t> old(std::max<std::size_t>(1024, index_.size() * 2));
    old.swap(index_);
    for (std::uint32_t slot : old)
        if (slot != 0) {
            const Entry& e = entries_[slot - 1];
            *Find(e.Device, e.Inode, e.Part) = slot;
        }
}

std::uint32_t TLinkTable::KeepName(const TLinkSighting& s) {
    if (s.Named)
        return names_.Keep(s.Name);
    const auto known = standIns_.find(s.Name);
    if (known != standIns_.end())
        return known->second;
    const std::uint32_t at = names_.Keep(s.Name);
    standIns_.emplace(s.Name, at);
    return at;
}

void TLinkTable::Commit(TFolderTree& tree, std::uint32_t node,
                        std::vector<TLinkSighting>& sightings, std::int64_t* own,
                        std::int64_t* ownDisk) {
    for (TLinkSighting& s : sightings) {
        if ((entries_.size() + 1) * 2 > index_.size())
            Grow();
        const std::uint16_t device = DeviceIndex(s.Device);
        std::uint32_t* slot = Find(device, s.Inode, s.Part);
        if (*slot == 0) {
            Entry& e = entries_.emplace_back();
            e.Inode = s.Inode;
            e.Device = device;
            e.Part = static_cast<std::uint16_t>(s.Part);
            e.FirstNames = s.FirstNames;
            Take(e, s, node);
            *slot = static_cast<std::uint32_t>(entries_.size());
            continue;
        }
        Entry& e = entries_[*slot - 1];
        e.FirstNames += s.FirstNames;
        if (CompareFolders(tree, node, e.Node) > 0) {
            TakeBackLinked(own[s.Part], s.Size);
            TakeBackLinked(ownDisk[s.Part], s.Disk);
            continue;
        }
        // This folder sorts first: the bytes move here.
        const std::size_t at = static_cast<std::size_t>(e.Node) * tree.Parts + e.Part;
        TakeBackLinked(tree.Own[at], e.Size);
        TakeBackLinked(tree.OwnDisk[at], e.Disk);
        Take(e, s, node);
    }
}

void TLinkTable::Take(Entry& e, const TLinkSighting& s, std::uint32_t node) {
    e.Node = node;
    e.Size = s.Size;
    e.Disk = s.Disk;
    e.MTime = s.MTime;
    e.Nanos = s.Nanos;
    e.Links = s.Links;
    e.First = s.First;
    e.Named = s.Named;
    e.Name = s.First ? KeepName(s) : 0;
}

void TLinkTable::Deliver(TFileSink& sink) const {
    std::vector<std::uint32_t> order;
    order.reserve(entries_.size());
    for (std::uint32_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].FirstNames > 0)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [this](std::uint32_t x, std::uint32_t y) {
        const Entry& a = entries_[x];
        const Entry& b = entries_[y];
        return std::make_tuple(devices_[a.Device], a.Inode, a.Part) <
               std::make_tuple(devices_[b.Device], b.Inode, b.Part);
    });
    for (std::uint32_t i : order) {
        const Entry& e = entries_[i];
        TWalkFile file;
        file.Folder = e.Node;
        file.Name = e.First ? names_.Name(e.Name) : std::string_view();
        file.Size = e.Size;
        file.Allocated = e.Disk;
        file.LastWriteSeconds = e.MTime;
        file.LastWriteNanos = e.Nanos;
        file.Counted = e.First;
        file.Links = e.Links;
        file.Device = devices_[e.Device];
        file.Inode = e.Inode;
        file.Names = e.FirstNames;
        file.Named = e.Named;
        sink.File(file);
    }
}
