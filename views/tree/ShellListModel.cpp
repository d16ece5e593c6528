#include "views/tree/ShellListModel.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <numeric>
#include <optional>

#include "platform/DirListing.h"
#include "platform/DriveForm.h"
#include "platform/FileInfo.h"
#include "platform/ParallelBlocks.h"
#include "platform/VirtualDrive.h"

namespace {

bool IsFolderKind(TShellFolder::TKind kind) {
    return kind == TShellFolder::TKind::Folder || kind == TShellFolder::TKind::FolderLink;
}

bool IsShellDriveRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

std::string ChildPath(const std::string& folder, const std::string& rawName) {
    return JoinedPath(folder, '\\', EscapeName(rawName));
}

std::string ChildNative(const std::string& folder, const std::string& rawName) {
    return JoinedPath(folder, '/', rawName);
}

// A link is entered like a folder when what it points to is one. The listing
// never follows links, so this is asked for links only.
bool LinkLeadsToFolder(const std::string& nativePath) {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(nativePath))).isDir();
}

TShellFolder::TKind KindOf(const TDirEntry& entry, const std::string& nativePath) {
    if (entry.IsLink) {
        return LinkLeadsToFolder(nativePath) ? TShellFolder::TKind::FolderLink
                                             : TShellFolder::TKind::File;
    }
    if (entry.Attr & faDirectory) {
        return TShellFolder::TKind::Folder;
    }
    if (entry.Attr & faSysFile) {
        return TShellFolder::TKind::Other;
    }
    return TShellFolder::TKind::File;
}

// The name decoded as QFile::decodeName does, without a copy of its bytes
// first.
QString DisplayName(const std::string& rawName) {
    return QString::fromLocal8Bit(
        QByteArrayView(rawName.data(), static_cast<qsizetype>(rawName.size())));
}

// The item's name and what the listing saw of it; the name moves.
void FillFromEntry(TDirEntry& entry, TShellFolder::TData& data) {
    data.name = std::move(entry.Name);
    data.attributes = entry.Attr;
    data.size = entry.Size;
    data.allocated = (entry.Attr & faDirectory) ? 0 : entry.DiskBytes;
    data.lastWrite = entry.LastWriteSeconds;
    data.link = entry.IsLink;
    data.excluded = entry.Excluded;
}

TShellFolder::TData DataOf(TDirEntry& entry, std::string path, const std::string& nativePath) {
    TShellFolder::TData data;
    data.kind = KindOf(entry, nativePath);
    data.path = std::move(path);
    if (!nativePath.empty()) {
        data.nativeFolder = std::make_shared<const std::string>(nativePath);
        data.nativeIsFolder = true;
    }
    data.displayName = DisplayName(entry.Name);
    FillFromEntry(entry, data);
    return data;
}

// One folder as it was listed.
struct TFolderListing {
    TDirEntry Self;          // the folder's own entry
    bool SelfKnown = false;  // Self could be read
    std::vector<TDirEntry> Entries;
    std::string Native;  // where it lies on the file system; empty when nowhere
};

// About as many entries as a folder of statSize bytes holds, or a few more:
// the folder's size on ext4, XFS and tmpfs grows by 12 to 24 bytes or so an
// entry (two bytes a name character on btrfs). Room reserved for them
// spares a large listing the copies of its entries at each growth, and
// room never filled is never touched.
std::size_t LikelyEntries(std::int64_t statSize) {
    constexpr std::int64_t kBytesAnEntry = 16;
    constexpr std::int64_t kMostReserved = 1 << 20;
    return static_cast<std::size_t>(
        std::clamp<std::int64_t>(statSize / kBytesAnEntry, 0, kMostReserved));
}

// The folder as the file system lists it, or as a virtual drive does (its
// folders lie nowhere on this machine: no native paths).
bool ListFolder(const std::string& root, TFolderListing& listing) {
    if (const TVirtualDrive* drive = VirtualDriveFor(root)) {
        listing.SelfKnown = drive->Lookup(root, listing.Self);
        return listing.SelfKnown && drive->List(root, listing.Entries);
    }
    const std::optional<std::string> native = DriveFormToNative(root);
    if (!native)
        return false;
    listing.SelfKnown = LookupNative(*native, listing.Self);
    if (listing.SelfKnown)
        listing.Entries.reserve(LikelyEntries(listing.Self.StatSize));
    if (!ListFolderNative(*native, listing.Entries))
        return false;
    listing.Native = *native;
    if (!listing.SelfKnown)
        listing.Self.Attr = faDirectory;
    return true;
}

}  // namespace

// What the order of a listed entry depends on, worked out before the item
// itself is made.
struct TShellListModel::TSortEntry {
    TShellFolder::TKind kind = TShellFolder::TKind::Other;
    QString displayName;
    std::optional<QCollatorSortKey> key;
};

TShellListModel::TShellListModel(TIconCache* icons)
    : icons_(icons), items_(std::make_shared<const TShellItems>()) {}

std::string TShellListModel::NormalRoot(std::string_view path) {
    if (path.size() < 2 || path[1] != ':' || DriveLetterOf(path) == 0) {
        return std::string();
    }
    std::string root(path);
    root[0] = DriveLetterOf(path);
    if (root.size() == 2) {
        root += '\\';
    }
    while (root.size() > 3 && root.back() == '\\') {
        root.pop_back();
    }
    if (root[2] != '\\') {
        return std::string();
    }
    return root;
}

bool TShellListModel::SetRoot(std::string_view path) {
    const std::string root = NormalRoot(path);
    if (root.empty()) {
        Fail(QStringLiteral("'%1' is not a folder path")
                 .arg(QString::fromStdString(std::string(path))));
        return false;
    }
    return List(root);
}

bool TShellListModel::Refresh() {
    if (Root().empty()) {
        return false;
    }
    const std::string root = Root();
    if (List(root)) {
        return true;
    }
    items_ = std::make_shared<const TShellItems>();
    folderCount_ = 0;
    if (OnChange) {
        OnChange();
    }
    return false;
}

bool TShellListModel::List(const std::string& root) {
    TFolderListing listing;
    if (!ListFolder(root, listing)) {
        Fail(QStringLiteral("The folder '%1' cannot be opened")
                 .arg(QFile::decodeName(QByteArray::fromStdString(root))));
        return false;
    }
    TDirEntry& self = listing.Self;
    self.Name = IsShellDriveRoot(root) ? root : UnescapeName(root.substr(root.rfind('\\') + 1));
    TShellFolder::TData rootData = DataOf(self, root, listing.Native);
    if (rootData.kind != TShellFolder::TKind::FolderLink) {
        rootData.kind = TShellFolder::TKind::Folder;
    }
    rootData.exists = listing.SelfKnown;

    root_ = TShellFolder(std::move(rootData), icons_);
    std::vector<TSortEntry> sorting = SortEntries(listing.Entries, listing.Native);
    const std::vector<std::size_t> order = SortedOrder(listing.Entries, sorting);
    // The keys' memory goes back before the items take more, freed in the
    // order it was taken.
    ForEachBlock(sorting.size(), [&](unsigned, std::size_t i) { sorting[i].key.reset(); });
    // The items name their place on the file system through the folder's
    // one copy of its path; a folder of an imported scan lies nowhere.
    const std::shared_ptr<const std::string> nativeFolder =
        listing.Native.empty() ? nullptr : std::make_shared<const std::string>(listing.Native);
    // The items are made in their order, on a few threads for a large folder.
    auto items = std::make_shared<const TShellItems>(order.size(), [&](std::size_t k) {
        TDirEntry& entry = listing.Entries[order[k]];
        TSortEntry& sorted = sorting[order[k]];
        TShellFolder::TData data;
        data.kind = sorted.kind;
        data.path = ChildPath(root, entry.Name);
        data.nativeFolder = nativeFolder;
        data.displayName = std::move(sorted.displayName);
        FillFromEntry(entry, data);
        return TShellFolder(std::move(data), icons_);
    });
    folderCount_ = static_cast<int>(std::count_if(
        items->begin(), items->end(), [](const TShellFolder& item) { return item.IsFolder(); }));
    items_ = std::move(items);
    lastError_.clear();
    if (OnChange) {
        OnChange();
    }
    return true;
}

std::vector<TShellListModel::TSortEntry> TShellListModel::SortEntries(
    const std::vector<TDirEntry>& entries, const std::string& native) {
    // A thread of the listing's own uses a collator of its own.
    while (extraOrders_.size() + 1 < BlockWorkers(entries.size())) {
        extraOrders_.push_back(order_.Separate());
    }
    std::vector<TSortEntry> sorting(entries.size());
    ForEachBlock(entries.size(), [&](unsigned worker, std::size_t i) {
        const TDirEntry& entry = entries[i];
        TSortEntry& sorted = sorting[i];
        // Only a link needs its native path (to see where it leads).
        sorted.kind =
            KindOf(entry, entry.IsLink && !native.empty() ? ChildNative(native, entry.Name)
                                                          : std::string());
        sorted.displayName = DisplayName(entry.Name);
        const TShellNameOrder& order = worker == 0 ? order_ : extraOrders_[worker - 1];
        sorted.key.emplace(order.Key(sorted.displayName));
    });
    return sorting;
}

std::vector<std::size_t> TShellListModel::SortedOrder(const std::vector<TDirEntry>& entries,
                                                      const std::vector<TSortEntry>& sorting) {
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    ParallelSort(order, [&](std::size_t a, std::size_t b) {
        const TSortEntry& first = sorting[a];
        const TSortEntry& second = sorting[b];
        const bool firstFolder = IsFolderKind(first.kind);
        if (firstFolder != IsFolderKind(second.kind)) {
            return firstFolder;
        }
        const int byName = first.key->compare(*second.key);
        if (byName != 0) {
            return byName < 0;
        }
        // Names equal but for case ("Data" and "data" are two folders here):
        // the raw bytes decide, so the order never depends on the listing's.
        return entries[a].Name < entries[b].Name;
    });
    return order;
}

int TShellListModel::IndexOfPath(std::string_view path) const {
    for (int i = 0; i < Count(); ++i) {
        if ((*items_)[static_cast<size_t>(i)].PathName() == path) {
            return i;
        }
    }
    return -1;
}

void TShellListModel::Fail(const QString& message) {
    lastError_ = message;
    if (OnError) {
        OnError(message);
    }
}
