#pragma once
// The text form of a result file: one entry per line, CR LF after every line.
// A line ends at CR LF, at a lone CR or at a lone LF; a last line without a
// break still counts; no bytes, no lines. The bytes of a line are kept as
// they are.
#include <string>
#include <string_view>

#include "engine/StringList.h"

// Marks the lines of the bytes in the list's raw buffer (TStringList::
// RawBuffer, a file read into it) as its texts, where they lie: nothing is
// copied.
void MarkResultLines(TStringList& lines);

// Counts the lines of bytes that arrive in pieces (a CR LF may be split
// between two pieces), as MarkResultLines would find them in the whole.
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
