#pragma once
// The per-user folder that holds the result files, and the plain file access
// the result files need. Paths here are native paths, not drive forms.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// $XDG_DATA_HOME/cobaltquarry/ (by default ~/.local/share/cobaltquarry/),
// with a trailing "/", created with mode 0700 when missing. The folder lists
// every folder name of the user's drives, so an existing one is made 0700 if
// it is open to others, and a link is followed to its target, which must be
// a folder of the user's own; the answer is then the target's path. The empty
// string, with the reason in problem, when no such folder can be had: the
// result files are then not written at all (never anywhere else).
std::string DataFolder(std::string* problem = nullptr);

// $XDG_CACHE_HOME/cobaltquarry/ (by default ~/.cache/cobaltquarry/), made and
// checked the same way: copies kept only while the program runs (a remote
// scan's export as it arrived), which may be large, so not in /tmp (often
// held in memory) and not among the results.
std::string CacheFolder(std::string* problem = nullptr);

// True when path names a regular file whose modification time can be read
// (a present, readable directory entry; a folder does not count).
bool DataFileExists(const std::string& path);

// Every read below opens its file without following a link and reads it only
// when it is a regular file of the user's own: a FIFO put in a file's place
// would block the reader for ever (while it holds the data folder's lock), a
// link to a device could be read without end. At most limit bytes are read;
// kFileSize stands for the file's size when it was opened. A file that has
// more is a failure (EFBIG; one that has more when opened is not read at
// all), as is any other kind of file (EISDIR for a
// folder, EINVAL otherwise, ELOOP for a link, EACCES for another's file).
constexpr std::uint64_t kFileSize = ~std::uint64_t{0};

// Why path could not be read, for the user: "path: is a link, which is not
// followed" and the like, or the text of error.
std::string DataFileProblem(const std::string& path, int error);

// What tells one version of a file from another without reading it: a save
// replaces a file by another (a new inode), an edit in place changes its
// time or size. Links are not followed.
struct TDataFileStamp {
    bool Exists = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::uint64_t Size = 0;
    std::int64_t Modified = 0;  // nanoseconds since 1970
    bool operator==(const TDataFileStamp& o) const {
        return Exists == o.Exists && Device == o.Device && Inode == o.Inode && Size == o.Size &&
               Modified == o.Modified;
    }
    bool operator!=(const TDataFileStamp& o) const { return !(*this == o); }
};
TDataFileStamp DataFileStampOf(const std::string& path);
// The clock the file system takes modification times from, in nanoseconds
// since 1970. A file whose time is not before it now may still be changed
// within the same tick without its time changing.
std::int64_t DataFileClock();

// $XDG_CONFIG_HOME/cobaltquarry/ (by default ~/.config/cobaltquarry/), made
// and checked the same way: what the user sets (exclude rules, cleanup
// actions), small files a user may also edit by hand.
std::string ConfigFolder(std::string* problem = nullptr);

// The size of a file in bytes; 0 when it cannot be read.
std::size_t DataFileSize(const std::string& path);

// Reads the whole file into bytes; false (bytes empty) when it cannot be read.
bool ReadDataFile(const std::string& path, std::string& bytes, std::uint64_t limit = kFileSize);

// Reads the whole file straight into a buffer of the caller's: resize(n)
// makes that buffer n bytes long, keeping its first bytes, and returns its
// first byte. Sized from the file's size, grown when the file turns out
// longer, trimmed to what was read. It is read in pieces of 256 KiB, small
// enough to stay in the processor's cache, and filled(from, to) is told of
// each piece as it arrives, so that the caller can work on it there. False
// when the file cannot be read.
bool ReadDataFileInto(const std::string& path, const std::function<char*(std::size_t)>& resize,
                      const std::function<void(std::size_t, std::size_t)>& filled,
                      std::uint64_t limit = kFileSize);

// Reads the file piece by piece through one small buffer, handing each piece
// to take, so that a large file needs no memory of its size; false when it
// cannot be opened or a read fails.
bool ReadDataFileChunks(const std::string& path, const std::function<void(std::string_view)>& take,
                        std::uint64_t limit = kFileSize);

// Removes every file of folder whose name matches; true when all of them
// could be removed.
bool RemoveDataFiles(const std::string& folder,
                     const std::function<bool(std::string_view)>& matches);

// Makes to a second name of the file from (a hard link; a copy where the file
// system has no links), replacing what to named before (a file, a link or a
// FIFO; not a folder) in one rename, so that to never goes missing. False
// with errno set when neither could be made.
bool KeepDataFileAs(const std::string& from, const std::string& to);

// Makes renames and removals in folder durable.
void SyncDataFolder(const std::string& folder);
