#include "engine/ResultFileText.h"

#include <cstring>

void TResultLineCollector::Emit(const char* data, std::size_t size) {
    if (count_ == lines_.size()) {
        lines_.emplace_back();
    }
    std::string& line = lines_[count_++];
    if (partial_.empty()) {
        line.assign(data, size);
    } else {
        line.assign(partial_).append(data, size);
        partial_.clear();
    }
    open_ = false;
}

void TResultLineCollector::ReserveExpected() {
    if (fed_ == 0 || count_ == 0 || expected_ <= fed_) {
        return;
    }
    // Lines expected at the density of the first piece, with a margin; room
    // that stays unused is never touched and costs no memory.
    double perByte = static_cast<double>(count_) / static_cast<double>(fed_);
    auto estimate = static_cast<std::size_t>(perByte * static_cast<double>(expected_) * 1.05) + 16;
    if (lines_.capacity() < estimate) {
        lines_.reserve(estimate);
    }
}

void TResultLineCollector::Feed(std::string_view bytes) {
    bool first = fed_ == 0;
    fed_ += bytes.size();
    const char* pos = bytes.data();
    const char* end = pos + bytes.size();
    if (pos == end) {
        return;  // an empty piece must not forget a CR that ended the last one
    }
    if (afterCr_ && *pos == '\n') {
        ++pos;
    }
    afterCr_ = false;
    // The next LF is remembered, so that a file of lone CRs is not searched
    // to its end once per line.
    const char* nextLf = nullptr;
    while (pos < end) {
        if (nextLf == nullptr || nextLf < pos) {
            const void* found = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
            nextLf = found != nullptr ? static_cast<const char*>(found) : end;
        }
        const void* cr = std::memchr(pos, '\r', static_cast<std::size_t>(nextLf - pos));
        const char* stop = cr != nullptr ? static_cast<const char*>(cr) : nextLf;
        if (stop == end) {
            partial_.append(pos, static_cast<std::size_t>(end - pos));
            open_ = true;
            break;
        }
        Emit(pos, static_cast<std::size_t>(stop - pos));
        pos = stop + 1;
        if (*stop == '\r') {
            if (pos == end) {
                afterCr_ = true;
            } else if (*pos == '\n') {
                ++pos;
            }
        }
    }
    if (first) {
        ReserveExpected();
    }
}

void TResultLineCollector::Finish() {
    if (open_) {
        Emit(partial_.data(), 0);
    }
    lines_.resize(count_);
    count_ = 0;
}

void TResultLineCount::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\n') {
            lines_ += afterCr_ ? 0 : 1;
            afterCr_ = false;
            open_ = false;
        } else if (c == '\r') {
            ++lines_;
            afterCr_ = true;
            open_ = false;
        } else {
            afterCr_ = false;
            open_ = true;
        }
    }
}

void SplitResultLines(std::string_view bytes, TStringList& lines) {
    TResultLineCollector collector(lines);
    collector.Feed(bytes);
    collector.Finish();
}

std::string JoinResultLines(const TStringList& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}
