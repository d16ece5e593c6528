#include "engine/NcduImport.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "engine/DiscoverCollector.h"
#include "engine/DiscoverSink.h"
#include "engine/DiskSizeList.h"
#include "engine/FolderTree.h"
#include "engine/LinkCount.h"
#include "platform/DriveForm.h"

namespace {

// The path texts of the lists repeat every folder's name in every path
// below it. A real tree's texts come to a few dozen times its names; a file
// made to blow up (thousands of folders inside each other) is refused
// rather than allowed to take the machine's memory.
constexpr std::uint64_t kPathBytesBase = 256ull << 20;
constexpr std::uint64_t kPathBytesPerNameByte = 64;

struct TImpFolder {
    std::uint32_t Parent;
    std::uint32_t NameLen;
    std::uint64_t NameOff;
    std::int64_t Own;
    std::uint64_t Dev;
    std::int64_t OwnDisk = 0;
};

// A name of a file with several links, offered to the Discover data once
// all its names are known (its device and inode are in its TLinkSeen).
struct TImpLinked {
    std::uint32_t Folder;
    std::string Name;
    std::int64_t Size, Allocated, MTime;
};

// A name a file or folder of a real file system can have.
bool UsableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

class TImportVisitor : public TNcduVisitor {
  public:
    void Meta(const TNcduMeta& meta) override {
        Result.Meta = meta;
        gdu_ = meta.ProgName == "gdu";
        // The old files are counted from the time the export was made, or
        // from now when it does not tell.
        discover_.SetScanTime(meta.Timestamp != 0 ? meta.Timestamp : TDiscoverSink::Clock());
    }

    void Enter(const TNcduItem& folder) override {
        if (progress_ != nullptr) {
            ++progress_->Items;
            const std::lock_guard<std::mutex> hold(progress_->Lock);
            progress_->Folder = folder.Name;
        }
        if (skipDepth_ > 0 || (folder.Excluded && !Folders.empty())) {
            if (skipDepth_++ == 0)  // nothing inside counts, or is listed
                KeepExcluded(folder);
            return;
        }
        if (Folders.empty()) {
            Result.RootName = folder.Name;
            Folders.push_back({0, 0, 0, 0, folder.HasDev ? folder.Dev : 0, 0});
            if (items_ != nullptr)
                items_->AddRoot(folder.MTime);
        } else {
            if (!UsableName(folder.Name)) {
                Refusal = "a folder named \"" + folder.Name + "\", which no folder can be called";
                return;
            }
            if (Folders.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
                Refusal = "more folders than one list can hold";
                return;
            }
            const std::uint32_t parent = open_.back();
            Folders.push_back({parent, static_cast<std::uint32_t>(folder.Name.size()), Names.size(),
                               0, folder.HasDev ? folder.Dev : Folders[parent].Dev, 0});
            Names += folder.Name;
            if (items_ != nullptr)
                items_->Add(parent, folder.Name, true, 0, folder.MTime, false);
        }
        open_.push_back(static_cast<std::uint32_t>(Folders.size() - 1));
    }

    void Item(const TNcduItem& item) override {
        if (progress_ != nullptr)
            ++progress_->Items;
        if (skipDepth_ > 0)
            return;
        if (item.Excluded) {
            KeepExcluded(item);
            return;
        }
        // A file is named in paths as a folder is: "a/b" or ".." would name
        // another place.
        if (!UsableName(item.Name)) {
            Refusal = "a file named \"" + item.Name + "\", which no file can be called";
            return;
        }
        const std::uint32_t in = open_.back();
        TImpFolder& folder = Folders[in];
        ++Result.Files;
        if (items_ != nullptr)
            items_->Add(in, item.Name, false, item.ASize, item.MTime, item.NotReg,
                        std::max<std::int64_t>(item.DSize, 0));
        // gdu marks only the names of a file after the one it counted, and
        // gives the inode only to those: their bytes are counted already.
        if (gdu_ && item.HardLinked)
            return;
        hasTimes_ = hasTimes_ || item.MTime != 0;
        if (item.HasIno && item.HardLinked)
            Linked.push_back({in, item.Name, item.ASize, item.DSize, item.MTime});
        else
            discover_.File(in, item.Name, item.ASize, item.DSize, item.MTime);
        // Every total is a part of the sum of all sizes: with that below
        // 2^63, no total or share can turn negative.
        if (item.ASize > std::numeric_limits<std::int64_t>::max() - counted_) {
            Refusal = "sizes that add up to 2^63 bytes or more";
            return;
        }
        counted_ += item.ASize;
        folder.Own += item.ASize;
        // Allocated bytes are at most what the walk could count: an export
        // cannot make them turn a total negative either.
        const std::int64_t disk = std::clamp<std::int64_t>(
            item.DSize, 0, std::numeric_limits<std::int64_t>::max() - countedDisk_);
        countedDisk_ += disk;
        folder.OwnDisk += disk;
        HasDiskSizes = HasDiskSizes || item.DSize > 0;
        if (item.HasIno && item.HardLinked)
            Links.push_back({item.HasDev ? item.Dev : folder.Dev, item.Ino, in, 0, item.ASize, disk,
                             false, static_cast<std::int64_t>(Linked.size()) - 1});
    }

    void Leave() override {
        if (skipDepth_ > 0)
            --skipDepth_;
        else
            open_.pop_back();
    }

    // An excluded item stays an entry of its folder, marked with its
    // reason, as a scan here keeps it. A name no item can have is passed
    // over, as before: it counted nothing.
    void KeepExcluded(const TNcduItem& item) {
        if (items_ != nullptr && UsableName(item.Name))
            items_->AddExcluded(open_.back(), item.Name,
                                item.ExcludedWhy.empty() ? TExcludedReason::Unnamed
                                                         : ExcludedReasonOf(item.ExcludedWhy),
                                item.MTime);
    }

    TNcduImport& Result;
    std::vector<TImpFolder> Folders;
    std::string Names;
    std::vector<TLinkSeen> Links;  // Node: an index into Folders until the tree is built
    bool HasDiskSizes = false;     // an item gave its allocated bytes

    std::vector<TImpLinked> Linked;

    TImportVisitor(TNcduImport& result, TImportedTree* items,
                   const std::function<std::string(const std::string&)>& rootText)
        : Result(result), items_(items), rootText_(rootText) {}
    void SetProgress(TImportProgress* progress) { progress_ = progress; }

    // A folder's drive-form path, as the lists will name it.
    std::string DrivePath(std::uint32_t folder) {
        if (!hasRoot_) {
            root_ = rootText_(Result.RootName);
            hasRoot_ = true;
        }
        std::vector<std::string_view> names;
        for (; folder != 0; folder = Folders[folder].Parent)
            names.push_back(
                std::string_view(Names).substr(Folders[folder].NameOff, Folders[folder].NameLen));
        std::string path = root_;
        for (auto name = names.rbegin(); name != names.rend(); ++name)
            path.append("\\").append(EscapeName(*name));
        return path;
    }

    // The name of a hard-linked file's sighting (Links), for the rule of
    // which name counts.
    std::string_view LinkedName(const TLinkSeen& link) const {
        return Linked[static_cast<std::size_t>(link.Detail)].Name;
    }

    // The Discover data, each hard-linked file offered once: at the name
    // whose bytes count, once CountLinksOnce has marked it.
    TDiscoverData FinishDiscover() {
        for (const TLinkSeen& link : Links) {
            if (!link.Kept)
                continue;
            const TImpLinked& f = Linked[static_cast<std::size_t>(link.Detail)];
            discover_.File(f.Folder, f.Name, f.Size, f.Allocated, f.MTime);
        }
        return discover_.Finish([this](std::uint32_t folder) { return DrivePath(folder); },
                                hasTimes_);
    }

  private:
    TImportedTree* items_;
    TImportProgress* progress_ = nullptr;
    std::vector<std::uint32_t> open_;
    std::size_t skipDepth_ = 0;
    bool gdu_ = false;
    const std::function<std::string(const std::string&)>& rootText_;
    bool hasRoot_ = false;
    std::string root_;
    bool hasTimes_ = false;
    TDiscoverCollector discover_;
    std::int64_t counted_ = 0;      // the sizes counted so far
    std::int64_t countedDisk_ = 0;  // and the allocated bytes
};

// The folders' children, grouped by parent in the order the export gave them
// (the order lists folders 1.., the root having no parent).
TGrouping ChildrenOf(const std::vector<TImpFolder>& folders) {
    std::vector<std::uint32_t> parentOf;
    parentOf.reserve(folders.size() - 1);
    for (std::size_t i = 1; i < folders.size(); ++i)
        parentOf.push_back(folders[i].Parent);
    TGrouping children = GroupByParent(parentOf, folders.size());
    for (std::uint32_t& child : children.Order)
        ++child;
    return children;
}

// A folder's path as the export names it: the root's path, then the names.
std::string ExportPath(const TImportVisitor& v, std::uint32_t folder) {
    std::vector<std::string_view> names;
    for (; folder != 0; folder = v.Folders[folder].Parent)
        names.push_back(
            std::string_view(v.Names).substr(v.Folders[folder].NameOff, v.Folders[folder].NameLen));
    std::string path = v.Result.RootName;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path.append(*name);
    }
    return path;
}

// The tree of folders, breadth first as a walk builds it. False with a
// message for two folders of the same name in one folder, or paths too
// long to hold.
bool BuildTree(const TImportVisitor& v, TFolderTree& tree, std::vector<std::uint32_t>& nodeOf,
               std::string& error) {
    const TGrouping children = ChildrenOf(v.Folders);
    nodeOf.assign(v.Folders.size(), 0);
    std::vector<std::uint64_t> pathLen(v.Folders.size(), 0);
    pathLen[0] = tree.RootText.size();
    const std::uint64_t pathLimit = kPathBytesBase + kPathBytesPerNameByte * v.Names.size();
    std::uint64_t pathBytes = pathLen[0];
    std::vector<std::uint32_t> queue{0};
    std::vector<std::string> names, sorted;
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const std::uint32_t folder = queue[q];
        names.clear();
        for (std::uint32_t c = children.Start[folder]; c < children.Start[folder + 1]; ++c) {
            const TImpFolder& child = v.Folders[children.Order[c]];
            names.push_back(
                EscapeName(std::string_view(v.Names).substr(child.NameOff, child.NameLen)));
        }
        sorted = names;
        std::sort(sorted.begin(), sorted.end());
        const auto twin = std::adjacent_find(sorted.begin(), sorted.end());
        if (twin != sorted.end()) {
            error = "two folders named \"" + UnescapeName(*twin) + "\" in " + ExportPath(v, folder);
            return false;
        }
        const std::uint32_t first = tree.AddChildren(nodeOf[folder], names);
        for (std::uint32_t k = 0; k < names.size(); ++k) {
            const std::uint32_t child = children.Order[children.Start[folder] + k];
            nodeOf[child] = first + k;
            pathLen[child] = pathLen[folder] + 1 + names[k].size();
            pathBytes += pathLen[child];
            queue.push_back(child);
        }
        if (pathBytes > pathLimit) {
            error = "the folders are nested too deeply to list (over " +
                    std::to_string(pathLimit >> 20) + " MB of paths)";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ImportNcdu(TByteSource& source, const std::function<std::string(const std::string&)>& rootText,
                TNcduImport& result, std::string& error, TImportedTree* items,
                TImportProgress* progress) {
    result = TNcduImport{};
    TImportVisitor visitor(result, items, rootText);
    visitor.SetProgress(progress);
    if (!ReadNcduExport(source, visitor, error))
        return false;
    TFolderTree tree;
    tree.Reset(rootText(result.RootName), 1);
    std::vector<std::uint32_t> nodeOf;
    if (!BuildTree(visitor, tree, nodeOf, error))
        return false;
    for (std::size_t i = 0; i < visitor.Folders.size(); ++i)
        tree.SetListed(nodeOf[i], &visitor.Folders[i].Own, &visitor.Folders[i].OwnDisk);
    for (TLinkSeen& link : visitor.Links)
        link.Node = nodeOf[link.Node];
    CountLinksOnce(visitor.Links, tree,
                   [&visitor](const TLinkSeen& link) { return visitor.LinkedName(link); });
    if (items != nullptr)
        items->Finish();
    result.Folders = visitor.Folders.size();
    result.Discover = visitor.FinishDiscover();
    const std::atomic<bool> never{false};
    TStringList disk;
    tree.EmitSorted(result.Dirs, result.DirSizes, result.Percents, never, true, nullptr,
                    visitor.HasDiskSizes ? &disk : nullptr);
    if (visitor.HasDiskSizes)
        result.Extras.emplace(std::string(kDiskSizesRole), std::move(disk));
    return true;
}
