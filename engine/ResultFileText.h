#pragma once
// The text form of a result file: one entry per line, CR LF after every line.
// A line ends at CR LF, at a lone CR or at a lone LF; a last line without a
// break still counts; no bytes, no lines. The bytes of a line are kept as
// they are.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/StringList.h"

// Marks the lines of the bytes in a list's raw buffer (TStringList::
// RawBuffer, a file read into it) as its texts, where they lie: nothing is
// copied. Marking can follow a read piece by piece, while the bytes just
// read are still in the processor's cache: Feed marks the lines that end
// within the first `filled` bytes (a line whose CR may be followed by an LF
// still to come waits), Finish the rest once the file is whole.
class TResultLineMarker {
  public:
    explicit TResultLineMarker(TStringList& lines) : lines_(lines) {}
    void Feed(std::size_t filled);
    void Finish();

  private:
    // Marks the lines ended by the breaks in mask (bit k: byte base + k);
    // bytes from limit on are not there yet.
    void Breaks(const char* bytes, std::size_t base, std::uint64_t mask, std::size_t limit);

    TStringList& lines_;
    std::size_t next_ = 0;                             // first byte not looked at yet
    std::size_t start_ = 0;                            // where the next line starts
    std::size_t skip_ = static_cast<std::size_t>(-1);  // the LF of a CR LF
};

// Counts the lines of bytes that arrive in pieces (a CR LF may be split
// between two pieces), as the marker finds them in the whole.
class TResultLineCount {
  public:
    void Feed(std::string_view bytes);
    std::size_t Lines() const { return lines_ + (open_ ? 1 : 0); }

  private:
    std::size_t lines_ = 0;
    bool open_ = false;
    bool afterCr_ = false;
};

// Replaces lines with the lines of bytes.
void SplitResultLines(std::string_view bytes, TStringList& lines);

// The lines as file bytes, each followed by CR LF.
std::string JoinResultLines(const TStringList& lines);
