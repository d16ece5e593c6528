#include "engine/ResultChecksum.h"

#include <cstring>

namespace {

std::uint64_t Load(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

}  // namespace

void TResultChecksum::Feed(std::string_view bytes) {
    bytes_ += bytes.size();
    auto* pos = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = pos + bytes.size();
    // Bytes left over from the last piece are completed to a word first.
    while (carried_ > 0 && carried_ < 8 && pos < end) {
        carry_[carried_++] = *pos++;
    }
    if (carried_ == 8) {
        Mix(Load(carry_));
        carried_ = 0;
    }
    for (; end - pos >= 8; pos += 8) {
        Mix(Load(pos));
    }
    while (pos < end) {
        carry_[carried_++] = *pos++;
    }
}

std::uint64_t TResultChecksum::Value() const {
    TResultChecksum last = *this;
    // The tail is padded with zeros; the byte count tells "ab" from "ab\0".
    unsigned char tail[8] = {};
    std::memcpy(tail, carry_, carried_);
    if (carried_ > 0) {
        last.Mix(Load(tail));
    }
    last.Mix(bytes_);
    return last.state_;
}
