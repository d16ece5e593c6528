#pragma once
// A scan made elsewhere, read from an ncdu-format export into the lists a
// scan of this program makes: Dirs (drive-form paths), DirSizes (each
// folder's total) and Percents (its share of its parent), sorted the same
// way. The same numbers as a scan here of the same tree: a folder's own
// bytes are the logical sizes ("asize") of the items directly in it that are
// not folders; excluded items count nothing; a hard-linked file (same "dev"
// and "ino") counts once, in the folder whose path sorts first (gdu marks
// the names after the first it met, and those count nothing). The sizes
// that folders carry themselves are not used, so exports that put totals on
// folders (recent gdu) give the same result as those that do not.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "engine/ByteSource.h"
#include "engine/DiscoverData.h"
#include "engine/ExtraLists.h"
#include "engine/ImportedTree.h"
#include "engine/NcduReader.h"
#include "engine/StringList.h"

struct TNcduImport {
    TNcduMeta Meta;
    std::string RootName;  // the scanned folder's path, raw bytes
    TStringList Dirs, DirSizes, Percents;
    // The allocated bytes ("dsize") per folder, totalled the same way, as
    // DiskSizes (DiskSizeList.h); missing when no item of the export gives
    // one (an export without them).
    TExtraLists Extras;
    std::uint64_t Files = 0;  // items that are not folders and were measured
    std::uint64_t Folders = 0;
    // The largest files and file types of the export (it lists every
    // file); times unknown when no item carries one (ncdu writes them only
    // with -e).
    TDiscoverData Discover;
};

// How far a read has come, for a progress box on another thread.
struct TImportProgress {
    std::atomic<std::uint64_t> Items{0};  // folders and items read
    std::mutex Lock;                      // guards Folder
    std::string Folder;                   // the name of the folder read last, raw bytes
};

// RootText gives the text of the root in the lists ("C:", "C:\srv\data"),
// from the root's path as the export names it. With Items given, every
// folder and item that was measured is kept there as well.
bool ImportNcdu(TByteSource& source, const std::function<std::string(const std::string&)>& rootText,
                TNcduImport& result, std::string& error, TImportedTree* items = nullptr,
                TImportProgress* progress = nullptr);
