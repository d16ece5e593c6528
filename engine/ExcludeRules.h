#pragma once
// Exclude rules: shell patterns that leave items out of a scan, and the
// option to leave out folders tagged as caches (CACHEDIR.TAG).
//
// A pattern excludes an item when fnmatch(3) with no flags accepts the
// item's absolute path or any tail of it that starts right after a "/"
// (not at a second "/" in a row): "*" and "?" cross "/", so "tmp" excludes
// every item called tmp and "/home/*/.cache" the caches of every home. The
// rules the user keeps for ncdu's -X therefore work unchanged. Patterns are
// matched byte by byte, as fnmatch does in the C locale; a scan's root
// itself is never matched (the walk's business).
//
// Matching every tail of every path with every pattern costs depth times
// patterns per item. Instead the patterns are compiled into one automaton
// over bytes whose states are bit sets (one bit per pattern position), with
// every pattern's start put back after each "/": the state reached after a
// folder's path (a TExcludeState) is computed once per folder and each item
// in it costs only the bytes of its name (see TExcludeMatcher).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The automaton's state after a folder's path and its "/": what an item's
// name is matched from. Opaque bytes; empty when there are no patterns.
using TExcludeState = std::string;

class TExcludeRules {
  public:
    // Longer patterns are refused: no path a walk meets is that long.
    static constexpr std::size_t kLongestPattern = 4096;
    // What a cache folder's CACHEDIR.TAG starts with.
    static constexpr std::string_view kCacheSignature =
        "Signature: 8a477f597d28d172789f06886806bc55";

    // Sets the rules; false, the rules left as they were, with a message
    // for the user when a pattern is empty, too long or holds a bracket
    // expression fnmatch cannot read the same way in every context.
    bool Set(const std::vector<std::string>& patterns, bool caches, std::string& error);
    // Checks one pattern alone (the dialog's and the command line's test).
    static bool Check(const std::string& pattern, std::string& error);

    bool Empty() const { return patterns_.empty() && !caches_; }
    bool Caches() const { return caches_; }
    const std::vector<std::string>& Patterns() const { return patterns_; }

    // The first pattern excluding the absolute path, or -1.
    int Match(std::string_view path) const;
    // The state for the items of the folder at the absolute path.
    TExcludeState FolderState(std::string_view path) const;

    // The automaton, for TExcludeMatcher. A state is Words() bit words
    // followed by one byte: 1 when the last byte read was "/".
    std::size_t Words() const { return words_; }
    TExcludeState Start() const;
    TExcludeState Next(const TExcludeState& state, unsigned char byte) const;
    // The first pattern accepting where the state stands, or -1.
    int Accepting(const TExcludeState& state) const;

  private:
    using TBits = std::vector<std::uint64_t>;
    struct TItem {
        bool Star = false;
        std::array<std::uint64_t, 4> Set{};  // bytes an item that is no star takes
    };
    static bool Compile(const std::string& pattern, std::vector<TItem>& items, std::string& error);
    void Build(const std::vector<std::vector<TItem>>& compiled);
    void Close(TBits& bits) const;

    std::vector<std::string> patterns_;
    bool caches_ = false;
    std::size_t words_ = 0;
    std::vector<TBits> advance_;  // per byte: positions whose item takes it
    TBits stars_, starts_, accepts_;
    std::vector<std::size_t> acceptBit_;  // per pattern
};
