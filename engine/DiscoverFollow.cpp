#include "engine/DiscoverFollow.h"

#include <algorithm>
#include <limits>

#include "engine/AnalizeDisk.h"
#include "engine/DiscoverCollector.h"
#include "engine/DiscoverSink.h"
#include "engine/FileListEdit.h"
#include "platform/FileInfo.h"

namespace {

TTypeTotal* ListedType(TDiscoverData& d, std::string_view ext) {
    for (TTypeTotal& t : d.Types.Kept)
        if (t.Ext == ext)
            return &t;
    return nullptr;
}

void Subtract(TTypeTotal& t, const TTypeTotal& gone) {
    t.Files = t.Files > gone.Files ? t.Files - gone.Files : 0;
    t.Bytes = std::max<std::int64_t>(0, t.Bytes - gone.Bytes);
    t.Allocated = std::max<std::int64_t>(0, t.Allocated - gone.Allocated);
    if (t.Files == 0)
        t.Bytes = t.Allocated = 0;
}

// Takes a type's files out of the totals: from its listed entry, else from
// "no extension" or the types not listed.
void SubtractType(TDiscoverData& d, const TTypeTotal& gone) {
    if (gone.Ext.empty())
        Subtract(d.Types.NoExtension, gone);
    else if (TTypeTotal* t = ListedType(d, gone.Ext))
        Subtract(*t, gone);
    else
        Subtract(d.Types.Other, gone);
}

// Adds a type's files, with their list when known. A type not listed yet
// gets an entry of its own only while no type is hidden in "other": then
// no file of it was on the drive before, and its totals and list are exact.
void AddType(TDiscoverData& d, const TTypeTotal& came, const TFileList* list) {
    if (came.Ext.empty()) {
        d.Types.NoExtension.Add(came);
    } else if (TTypeTotal* t = ListedType(d, came.Ext)) {
        t->Add(came);
        const auto known = d.TypeFiles.find(came.Ext);
        if (known != d.TypeFiles.end() && list != nullptr)
            MergeFileLists(known->second, *list, kTypeFiles);
        else if (known != d.TypeFiles.end())
            d.TypeFiles.erase(known);  // files of it came that no list holds
    } else if (d.Types.Other.Files == 0) {
        d.Types.Kept.push_back(came);
        if (d.TypeFilesKnown && list != nullptr)
            d.TypeFiles[came.Ext] = *list;
    } else {
        d.Types.Other.Add(came);
    }
}

// The listed types as a scan lists them: none without files, largest
// first (equal bytes by name), at most kKeptTypes, the rest in "other".
void TidyTypes(TDiscoverData& d) {
    std::vector<TTypeTotal>& kept = d.Types.Kept;
    for (auto it = kept.begin(); it != kept.end();) {
        if (it->Files != 0) {
            ++it;
            continue;
        }
        d.TypeFiles.erase(it->Ext);
        it = kept.erase(it);
    }
    std::sort(kept.begin(), kept.end(), [](const TTypeTotal& a, const TTypeTotal& b) {
        return a.Bytes != b.Bytes ? a.Bytes > b.Bytes : a.Ext < b.Ext;
    });
    while (kept.size() > kKeptTypes) {
        d.Types.Other.Add(kept.back());
        d.TypeFiles.erase(kept.back().Ext);
        kept.pop_back();
    }
}

void EditLargest(TDiscoverData& d, const std::function<void(TFileList&)>& edit) {
    TFileList largest{std::move(d.Largest), d.Floor};
    edit(largest);
    d.Largest = std::move(largest.Files);
    d.Floor = largest.Floor;
}

// A renamed file whose extension changed leaves its old type for its new.
void ChangeType(TDiscoverData& d, std::string_view from, const TLargeFile& file) {
    TTypeTotal one{FileTypeOf(from), 1, file.Size, file.Allocated};
    SubtractType(d, one);
    const auto was = d.TypeFiles.find(one.Ext);
    if (was != d.TypeFiles.end())
        DropFilesAt(was->second, from, kTypeFiles);
    one.Ext = FileTypeOf(file.Path);
    const TFileList alone{{file}, -1};
    AddType(d, one, &alone);
    TidyTypes(d);
}

}  // namespace

void DiscoverFollowMove(TDiscoverData& d, std::string_view from, std::string_view to,
                        const TLargeFile* file) {
    if (from == to)
        return;
    EditLargest(d, [&](TFileList& l) { RenameFiles(l, from, to, kLargestFiles, file); });
    // A file not changed for a year is old wherever it is; others never are.
    if (d.OldKnown() &&
        (file == nullptr || (file->MTime != kNoTime && file->MTime < d.OldBefore())))
        RenameFiles(d.Old, from, to, kOldFiles, file);
    if (file == nullptr) {
        for (auto& [ext, list] : d.TypeFiles)
            RenameFiles(list, from, to, kTypeFiles, nullptr);
        return;
    }
    const std::string type = FileTypeOf(from);
    if (type != FileTypeOf(to)) {
        ChangeType(d, from, *file);
        return;
    }
    const auto list = d.TypeFiles.find(type);
    if (list != d.TypeFiles.end())
        RenameFiles(list->second, from, to, kTypeFiles, file);
}

void DiscoverFollowLeave(TDiscoverData& d, std::string_view from) {
    EditLargest(d, [&](TFileList& l) { DropFilesAt(l, from, kLargestFiles); });
    DropFilesAt(d.Old, from, kOldFiles);
    for (auto& [ext, list] : d.TypeFiles)
        DropFilesAt(list, from, kTypeFiles);
    d.TypesAsOfDriveScan = true;
}

void DiscoverFollowLeave(TDiscoverData& d, std::string_view from, const TDiscoverData& item) {
    const bool asOfDriveScan = d.TypesAsOfDriveScan;
    DiscoverFollowLeave(d, from);
    d.TypesAsOfDriveScan = asOfDriveScan;
    for (const TTypeTotal& t : item.Types.Kept)
        SubtractType(d, t);
    Subtract(d.Types.NoExtension, item.Types.NoExtension);
    Subtract(d.Types.Other, item.Types.Other);
    TidyTypes(d);
}

void DiscoverFollowArrive(TDiscoverData& d, const TDiscoverData& item) {
    EditLargest(d, [&](TFileList& l) {
        MergeFileLists(l, {item.Largest, item.Floor}, kLargestFiles);
    });
    if (d.OldKnown() && item.OldKnown() && item.ScanTime >= d.ScanTime) {
        MergeFileLists(d.Old, item.OldFilesAsOf(d.ScanTime), kOldFiles);
    } else {
        d.Old = {};
        d.ScanTime = kNoTime;
    }
    if (!item.TypeFilesKnown) {
        d.TypeFiles.clear();
        d.TypeFilesKnown = false;
    } else if (item.Types.Other.Files != 0) {
        // Types the item did not list may have files that no list holds.
        for (auto it = d.TypeFiles.begin(); it != d.TypeFiles.end();)
            it = item.TypeFiles.count(it->first) ? std::next(it) : d.TypeFiles.erase(it);
    }
    for (const TTypeTotal& t : item.Types.Kept) {
        const auto list = item.TypeFiles.find(t.Ext);
        AddType(d, t, list == item.TypeFiles.end() ? nullptr : &list->second);
    }
    d.Types.NoExtension.Add(item.Types.NoExtension);
    if (item.Types.Other.Files != 0)
        d.Types.Other.Add(item.Types.Other);
    TidyTypes(d);
}

bool CollectItemDiscover(const std::string& driveForm, std::int64_t scanTime, TDiscoverData& item) {
    TDirEntry entry;
    if (!LookupEntry(driveForm, entry))
        return false;
    constexpr std::size_t kEveryType = std::numeric_limits<std::size_t>::max();
    if (!(entry.Attr & faDirectory)) {
        const std::string folder = driveForm.substr(0, driveForm.rfind('\\'));
        TDiscoverCollector collector(kLargestFiles, scanTime);
        collector.File(0, entry.Name, entry.Size, entry.DiskBytes, entry.LastWriteSeconds);
        item = collector.Finish([&folder](std::uint32_t) { return folder; }, true, kEveryType);
        return true;
    }
    TAnalizeDisk analyzer;
    analyzer.Directory = driveForm;
    analyzer.Recurse = true;
    analyzer.MakeFileSink = TDiscoverSink::MakerAt(scanTime, kEveryType);
    analyzer.Execute();
    std::unique_ptr<TFileSink> sink = analyzer.TakeFileSink();
    if (!sink)
        return false;
    item = std::move(static_cast<TDiscoverSink&>(*sink).Data());
    return true;
}
