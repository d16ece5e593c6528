#pragma once
// The text form of a result file: one entry per line, CR LF after every line.
// A line ends at CR LF, at a lone CR or at a lone LF; a last line without a
// break still counts; no bytes, no lines. The bytes of a line are kept as
// they are.
#include <string>
#include <string_view>

#include "engine/StringList.h"

// Collects the lines of bytes that arrive in pieces (a line or a CR LF may
// be split between two pieces) into a list, replacing its content. The
// list's existing entries are reused, so reloading a list of about the same
// size allocates next to nothing.
class TResultLineCollector {
  public:
    explicit TResultLineCollector(TStringList& lines) : lines_(lines) {}
    // The size of all the bytes to come, when known: after the first piece the
    // list reserves room for the lines it expects, so that a first load does
    // not copy a growing list again and again.
    void ExpectBytes(std::size_t total) { expected_ = total; }
    void Feed(std::string_view bytes);
    // Takes the last line without a break and trims the list to the lines.
    void Finish();

  private:
    void Emit(const char* data, std::size_t size);
    void ReserveExpected();

    TStringList& lines_;
    std::size_t count_ = 0;
    std::string partial_;
    std::size_t expected_ = 0;
    std::size_t fed_ = 0;
    bool open_ = false;     // bytes of an unfinished line have arrived
    bool afterCr_ = false;  // the last piece ended with CR: skip a leading LF
};

// Counts the lines of bytes that arrive in pieces, as TResultLineCollector
// would collect them, without keeping them.
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
