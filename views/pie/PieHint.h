#pragma once
// The hint of the pie: the hovered item's path, its size and its last-write
// time, e.g.
//   C:\home\ann\video.mkv
//   Size on disk: 12.5
//   Modified: Wed, 7 Dec 2005 14:03:22 -0100
#include <QDateTime>
#include <optional>
#include <string>

// Minutes that UTC is ahead of local time now (negative east of UTC).
int CurrentZoneBias();

// The zone part of a hint date: "+" for a bias of zero or more, "-" for a
// negative one, then the bias's hours and minutes as HHMM without sign.
std::string HintZonePart(int biasMinutes);

// "%s, %d %s %d %s %s": English day and month names, the day without a
// leading zero, the four-digit year, HH:MM:SS taken down to an even second,
// and the zone part. No time (unreadable) gives the zero of the date count,
// Sat, 30 Dec 1899 00:00:00.
std::string HintDateText(const std::optional<QDateTime>& localTime, int biasMinutes);

// "Modified: " and the date.
std::string HintDateLine(const std::optional<QDateTime>& localTime, int biasMinutes);

// "Size on disk: " lines: a file's megabytes are shown without a unit, an
// analysed folder's with "MB". Under Disk usage the label says the bytes
// are the allocated ones.
constexpr const char* kSizeOnDiskLabel = "Size on disk: ";
constexpr const char* kAllocatedLabel = "Allocated on disk: ";
std::string FileSizeLine(const std::string& megabytes, const char* label = kSizeOnDiskLabel);
std::string FolderSizeLine(const std::string& megabytes, const char* label = kSizeOnDiskLabel);

// The whole hint: path, size line and date line; no size line, no hint.
std::string PieHintText(const std::string& path, const std::optional<std::string>& sizeLine,
                        const std::string& dateLine);
