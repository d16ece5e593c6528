#pragma once
// One thing a treemap tile can stand for, as the layout gets it from its
// source: a stored folder, a file, the files of a folder not known one by
// one, or the area left to a folder where the items too small to see are
// merged.
#include <cstdint>

enum class TTileKind : std::uint8_t {
    Folder,    // Ref: the folder's position in the stored folder list, or -1
    File,      // Ref: the file's position in the source's file list (-1: a file
               // of the current folder, known by its row)
    OwnFiles,  // a folder's files not known one by one; Ref: its folder's
    Rest,      // the parent's area that holds items merged into it
};

struct TTreemapItem {
    TTileKind Kind = TTileKind::Folder;
    std::int64_t Size = 0;
    int Ref = -1;
};
