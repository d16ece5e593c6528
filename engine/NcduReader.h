#pragma once
// A reader of the JSON export format that ncdu writes and reads (`ncdu -o`,
// `ncdu -f`), and that gdu and this program's scanner write too:
//
//     [1, MINOR, {"progname":..., "progver":..., "timestamp":...}, DIR, ...]
//     DIR = [INFO, CHILD, ...]   a folder child is a nested DIR, any other
//                                child a bare INFO object
//
// INFO holds "name" (the root's is the full path, every other a single name,
// raw bytes), "asize" and "dsize" (left out when 0), "dev" where it differs
// from the parent's, "ino"/"nlink"/"hlnkc" for hard-linked files, and the
// flags "read_error", "notreg" and "excluded". Unknown keys and extra
// top-level elements are skipped; only major version 1 is read. The JSON
// must be strict: no text after the closing bracket, no leading zeros, no
// raw control characters in strings. A time past the 64-bit range is held
// to its end.
//
// The input is read piece by piece and the nesting is followed with an
// explicit stack: a file of any size or depth costs memory for one name and
// one entry per open folder, never the call stack. Anything malformed ends
// the read with a message naming the byte offset.
#include <cstdint>
#include <string>

#include "engine/ByteSource.h"

struct TNcduMeta {
    std::int64_t Minor = 0;
    std::string ProgName, ProgVer;
    std::int64_t Timestamp = 0;  // seconds since 1970, 0 when not given
};

struct TNcduItem {
    std::string Name;  // raw bytes
    std::int64_t ASize = 0, DSize = 0;
    std::int64_t MTime = 0;  // last change, seconds since 1970; 0 when not given
    bool HasDev = false;
    std::uint64_t Dev = 0;
    bool HasIno = false;
    std::uint64_t Ino = 0;
    std::uint64_t NLink = 0;
    bool HardLinked = false;  // "hlnkc", or "nlink" above 1
    bool ReadError = false;
    bool NotReg = false;
    bool Excluded = false;    // any "excluded" reason: the item was not measured
    std::string ExcludedWhy;  // the reason as written ("pattern", "othfs", ...)
};

class TNcduVisitor {
  public:
    virtual ~TNcduVisitor() = default;
    virtual void Meta(const TNcduMeta& meta) = 0;
    // A folder begins (the first call is the root); its children follow
    // until the matching Leave.
    virtual void Enter(const TNcduItem& folder) = 0;
    virtual void Item(const TNcduItem& item) = 0;
    virtual void Leave() = 0;
    // Set by the visitor to stop the read with a message of its own.
    std::string Refusal;
};

// Limits that keep a hostile file from taking the machine: no real folder
// tree comes near them.
constexpr std::size_t kNcduMaxName = 1 << 20;  // bytes of one name (the root's is a path)
constexpr std::size_t kNcduMaxDepth = 4096;    // folders inside each other

// Reads one export; false with a message for anything it cannot read.
bool ReadNcduExport(TByteSource& source, TNcduVisitor& visitor, std::string& error);
