#pragma once
// Edits of a finished list of largest files (TFileList) that keep it true:
// after each, the list holds, in the list's order, the largest files of its
// part of the drive that are larger than its floor, and no more than
// Capacity of them. Whatever a list cannot know for certain after an edit
// (a file left out of a full list by path, one beyond a full list's end
// after a file left) is given up by raising the floor, so the list equals
// what a fresh scan would list down to that floor.
//
// Paths are drive form ("C:\a\b"); "at or below" a path means the path
// itself and every path below it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/LargestFiles.h"

// The size at or below which List may not know every file: its floor, or,
// when it holds Capacity files, its smallest size (another file of that
// size may have been left out by its path).
std::int64_t CertainFloor(const TFileList& list, std::size_t capacity);

// Gives up every file at or below Floor (the floor only rises).
void RaiseFloor(TFileList& list, std::int64_t floor);

// Takes in Other, the list of a part of the drive that shares no file with
// List's part (a rescanned folder, an item that arrived): the files of both
// in order, as long as no file either left out could come before them,
// cut to Capacity. A full list's end stays where it was when the other
// brings nothing larger, so a paste of small files changes nothing.
void MergeFileLists(TFileList& list, const TFileList& other, std::size_t capacity);

// Drops the files at or below Path (an item that left the drive or a
// folder about to be rescanned). A full list that lost a file no longer
// knows what came after its end: its floor rises to its smallest size.
void DropFilesAt(TFileList& list, std::string_view path, std::size_t capacity);

// Renames the files at or below From to the same place below To, then puts
// the list in order again. Equal sizes are ordered by path, so a full list
// whose smallest size the moved item may hold (MovedSize: a moved file's
// size; negative for a folder, which may hold any size) may now leave out
// a file it should hold: that size is then given up, unless the moved file
// itself (Moved, not null for a file) settles it.
void RenameFiles(TFileList& list, std::string_view from, std::string_view to, std::size_t capacity,
                 const TLargeFile* moved);

// True when Path lies below Folder (drive letters in either case).
bool PathIsBelow(std::string_view path, std::string_view folder);
// True when Path is Item or lies below it (drive letters in either case).
bool PathIsAtOrBelow(std::string_view path, std::string_view item);
