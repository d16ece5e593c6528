#pragma once
// Lookups of one drive-form path ("X:\a\b"), read exactly as the folder
// listing would read that entry. Links are never followed. A path on an
// installed virtual drive is looked up there.
#include <string>

#include "platform/DirListing.h"

// True for an existing entry that is not a folder (files, links, devices).
bool FileExists(const std::string& driveForm);
// True when the entry can be described and carries the directory bit.
bool FolderExists(const std::string& driveForm);
// Size, last-write time and attributes of one entry; false when the path
// has no native form or the entry cannot be described. Entry.Name is the
// last name of the path (raw bytes), empty for a drive root.
bool LookupEntry(const std::string& driveForm, TDirEntry& entry);
// The same for a native path: LookupNative (DirListing.h).
