#pragma once
// Names kept in blocks of bytes, each behind its length: no string object
// and no allocation per name, for tables that keep many short names and
// drop few (a dropped name's bytes stay until the arena goes).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

class TNameArena {
  public:
    // Keeps Name (at most 65535 bytes; a file name has at most 255) and
    // returns its number.
    std::uint32_t Keep(std::string_view name) {
        const std::size_t need = 2 + name.size();
        if (blocks_.empty() || used_ + need > kBlock) {
            blocks_.push_back(std::make_unique<char[]>(kBlock));
            used_ = 0;
        }
        char* at = blocks_.back().get() + used_;
        at[0] = static_cast<char>(name.size() & 0xFF);
        at[1] = static_cast<char>(name.size() >> 8);
        std::memcpy(at + 2, name.data(), name.size());
        const auto number = static_cast<std::uint32_t>((blocks_.size() - 1) << 16 | used_);
        used_ += need;
        return number;
    }
    std::string_view Name(std::uint32_t number) const {
        const char* at = blocks_[number >> 16].get() + (number & 0xFFFF);
        const std::size_t size = static_cast<unsigned char>(at[0]) |
                                 static_cast<std::size_t>(static_cast<unsigned char>(at[1])) << 8;
        return std::string_view(at + 2, size);
    }

  private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0;
};
