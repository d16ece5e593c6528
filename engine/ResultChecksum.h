#pragma once
// A 64-bit checksum of a result file's bytes, fed in pieces of any size (the
// same bytes give the same value however they are split). It tells a file
// that belongs to a saved set from one of another save or a torn one; it is
// not meant to resist deliberate forgery. Eight bytes at a time, so that it
// adds little to the time of reading a large file.
#include <cstdint>
#include <string_view>

class TResultChecksum {
  public:
    void Feed(std::string_view bytes);
    // The checksum of everything fed so far, the byte count included.
    std::uint64_t Value() const;
    std::uint64_t Bytes() const { return bytes_; }

  private:
    void Mix(std::uint64_t word) {
        state_ = (state_ ^ word) * 0xFF51AFD7ED558CCDull;
        state_ ^= state_ >> 29;
    }

    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
    std::uint64_t bytes_ = 0;
    unsigned char carry_[8] = {};
    unsigned carried_ = 0;
};
