#pragma once
// The text of one entry of an export in ncdu's JSON format, as both the
// sequential and the parallel export write it, so that their bytes agree.
#include <cstdint>
#include <string>
#include <string_view>

struct TDirEntry;

// A name as a JSON string of the export: raw bytes, with '"', '\' and the
// control bytes escaped.
void AppendExportString(std::string& out, std::string_view name);

// The object of one entry; "dev" is written when the entry's device is not
// ParentDevice. Flag is appended inside the object as it is.
void AppendExportItem(std::string& out, const TDirEntry& entry, std::uint64_t parentDevice,
                      const char* flag = nullptr);

// An item exclude rules left out, as ncdu writes one: a file or a folder a
// pattern matched as an item with no sizes ("dev" 0: it was never looked
// at), a folder tagged as a cache as an empty folder; both marked
// "excluded":"pattern".
void AppendExcludedItem(std::string& out, std::string_view name, bool cacheFolder);
