#pragma once
// The content hashes of the duplicate search (XXH3 with 128 bits, whose
// chance of two different files meeting is negligible beside the byte
// check that precedes any action): the first and last blocks of a file,
// which tell most different files of one size apart for the price of two
// small reads, and its whole content. One hasher per thread (it owns its
// reading buffer).
#include <atomic>
#include <cstdint>
#include <memory>

class TFileContent;

struct TContentHash {
    std::uint64_t Low = 0, High = 0;
    bool operator==(const TContentHash& o) const { return Low == o.Low && High == o.High; }
    bool operator<(const TContentHash& o) const {
        return High != o.High ? High < o.High : Low < o.Low;
    }
};

class TDuplicateHasher {
  public:
    // Files up to this size are hashed whole at once: two end blocks would
    // read nearly as much.
    static constexpr std::int64_t kWholeAtOnce = 64 * 1024;
    static constexpr std::int64_t kEndBlock = 4096;

    TDuplicateHasher();
    ~TDuplicateHasher();
    // The hash of the first and last kEndBlock bytes of a file of size bytes
    // (more than kWholeAtOnce). False when the file cannot be read or
    // turns out shorter.
    bool HashEnds(TFileContent& file, std::int64_t size, TContentHash& hash);
    // The hash of all size bytes; bytes read are added to *counted as they
    // go. False when the file cannot be read, is shorter, or cancel is set
    // (a file grown meanwhile is told by its changed size and time).
    bool HashWhole(TFileContent& file, std::int64_t size, TContentHash& hash,
                   std::atomic<std::uint64_t>* counted, const std::atomic<bool>* cancel);

  private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// Whether two open files hold the same bytes, read side by side; false too
// when either cannot be read. cancel stops it (false); the bytes of a
// compared so far are added to *counted as they go.
bool SameBytes(TFileContent& a, TFileContent& b, const std::atomic<bool>* cancel = nullptr,
               std::atomic<std::uint64_t>* counted = nullptr);
