#pragma once
// Whether three loaded result lists can be trusted: the views find folders by
// bisection and read entry i of every list for the same folder, so lists of
// unequal length, folders out of byte order or numbers that do not read would
// show wrong numbers beside the wrong names.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/StringList.h"

struct TResultListNames {
    std::string Percents;
    std::string Dirs;
    std::string DirSizes;
};

// The first fault of one list taken alone (a line that is not a folder in
// order, not a whole number of bytes, not a number), so that the lists of a
// set can be checked each on a thread of its own, as their files are read:
// Check looks at the lines added since the last call, until it has found a
// fault.
enum class TResultRole { Percents, Dirs, DirSizes };
struct TListFault {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t Line = kNone;  // index; kNone when the list has no fault
    std::string Why;           // "is out of order"
};
class TListChecker {
  public:
    explicit TListChecker(TResultRole role) : role_(role) {}
    void Check(const TStringList& list);
    const TListFault& Fault() const { return fault_; }

  private:
    TResultRole role_;
    std::size_t next_ = 0;
    TListFault fault_;
};

// The fault CheckResultLists reports, from the faults of the lists in the
// order Percents, Dirs, DirSizes.
std::string ResultListsFault(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes, const std::array<TListFault, 3>& faults,
                             const TResultListNames& names);

// Empty when the lists can be trusted; otherwise the first fault found,
// naming the file and, where it is one line, the line (counted from 1).
std::string CheckResultLists(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes, const TResultListNames& names);

// A share as the lists store it: an optional sign, digits with an optional
// "." fraction, an optional exponent, and a finite value.
bool IsPercentText(std::string_view text);
