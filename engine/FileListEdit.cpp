#include "engine/FileListEdit.h"

#include <algorithm>
#include <string>

#include "platform/DriveLetter.h"

namespace {

bool Full(const TFileList& list, std::size_t capacity) {
    return !list.Files.empty() && list.Files.size() >= capacity;
}

// Whether some path below Folder sorts before Path: every path below it
// starts with Folder and a backslash, and sorts after that text alone.
bool SomePathBelowSortsBefore(std::string_view folder, std::string_view path) {
    std::string start(folder);
    start += '\\';
    return !(path < start);
}

// A full list of which a file of its smallest size moved (the file at its
// new place): the list still knows its end when the file now sorts before
// it; a file that was left out then comes in and the last one goes.
void SettleMovedFile(TFileList& list, const TLargeFile& moved, bool listed) {
    const TLargeFile& last = list.Files.back();
    if (!listed && LargerFile(moved, last)) {
        list.Files.back() = moved;
        std::sort(list.Files.begin(), list.Files.end(), LargerFile);
    } else if (listed && last.Path == moved.Path) {
        // Files left out may sort between the one before it and it.
        RaiseFloor(list, last.Size);
    }
}

}  // namespace

bool PathIsBelow(std::string_view path, std::string_view folder) {
    if (path.size() <= folder.size() + 1 || path[folder.size()] != '\\' || folder.empty())
        return false;
    return UpperDriveLetter(path[0]) == UpperDriveLetter(folder[0]) &&
           path.substr(1, folder.size() - 1) == folder.substr(1);
}

bool PathIsAtOrBelow(std::string_view path, std::string_view item) {
    if (path.size() == item.size())
        return !item.empty() && UpperDriveLetter(path[0]) == UpperDriveLetter(item[0]) &&
               path.substr(1) == item.substr(1);
    return PathIsBelow(path, item);
}

std::int64_t CertainFloor(const TFileList& list, std::size_t capacity) {
    return Full(list, capacity) ? std::max(list.Floor, list.Files.back().Size) : list.Floor;
}

void RaiseFloor(TFileList& list, std::int64_t floor) {
    list.Floor = std::max(list.Floor, floor);
    const std::int64_t f = list.Floor;
    list.Files.erase(std::remove_if(list.Files.begin(), list.Files.end(),
                                    [f](const TLargeFile& file) { return file.Size <= f; }),
                     list.Files.end());
}

void MergeFileLists(TFileList& list, const TFileList& other, std::size_t capacity) {
    std::int64_t floor = std::max(list.Floor, other.Floor);
    std::vector<TLargeFile> all = list.Files;
    all.insert(all.end(), other.Files.begin(), other.Files.end());
    std::sort(all.begin(), all.end(), LargerFile);
    std::vector<TLargeFile> kept;
    for (TLargeFile& f : all) {
        if (kept.size() >= capacity || f.Size <= floor)
            break;
        // Past a full list's end lie files it left out.
        bool past = false;
        const TFileList* parts[] = {&list, &other};
        for (const TFileList* part : parts)
            if (Full(*part, capacity) && LargerFile(part->Files.back(), f)) {
                floor = std::max(floor, part->Files.back().Size);
                past = true;
            }
        if (past)
            break;
        kept.push_back(std::move(f));
    }
    list.Files = std::move(kept);
    RaiseFloor(list, floor);
}

void DropFilesAt(TFileList& list, std::string_view path, std::size_t capacity) {
    const bool full = Full(list, capacity);
    const std::int64_t smallest = full ? list.Files.back().Size : -1;
    const auto kept =
        std::remove_if(list.Files.begin(), list.Files.end(),
                       [path](const TLargeFile& f) { return PathIsAtOrBelow(f.Path, path); });
    if (kept == list.Files.end())
        return;
    list.Files.erase(kept, list.Files.end());
    if (full)
        RaiseFloor(list, smallest);
}

void RenameFiles(TFileList& list, std::string_view from, std::string_view to, std::size_t capacity,
                 const TLargeFile* moved) {
    const bool full = Full(list, capacity);
    const std::int64_t smallest = full ? list.Files.back().Size : -1;
    bool renamed = false, smallestRenamed = false;
    for (TLargeFile& f : list.Files) {
        if (!PathIsAtOrBelow(f.Path, from))
            continue;
        f.Path = std::string(to) + f.Path.substr(from.size());
        renamed = true;
        smallestRenamed = smallestRenamed || f.Size == smallest;
    }
    if (renamed)
        std::sort(list.Files.begin(), list.Files.end(), LargerFile);
    if (!full)
        return;  // it holds every file larger than its floor, in any place
    if (moved != nullptr) {
        if (moved->Size == smallest)
            SettleMovedFile(list, *moved, renamed);
        return;
    }
    if (smallestRenamed || SomePathBelowSortsBefore(to, list.Files.back().Path))
        RaiseFloor(list, smallest);
}
