#pragma once
// A stream of bytes read piece by piece, so that a reader never needs the
// whole input in memory (an export of a large drive is gigabytes of text).
#include <string>
#include <string_view>

class TByteSource {
  public:
    virtual ~TByteSource() = default;
    // The next piece in Bytes, valid until the next call; an empty piece at
    // the end. False with a message when the input cannot be read.
    virtual bool Next(std::string_view& bytes, std::string& error) = 0;
};

// Bytes already in memory, handed over in pieces of at most PieceSize (a
// reader must not depend on where pieces end).
class TMemorySource : public TByteSource {
  public:
    explicit TMemorySource(std::string_view bytes, std::size_t pieceSize = 1 << 16)
        : rest_(bytes), pieceSize_(pieceSize == 0 ? 1 : pieceSize) {}
    bool Next(std::string_view& bytes, std::string&) override {
        bytes = rest_.substr(0, pieceSize_);
        rest_.remove_prefix(bytes.size());
        return true;
    }

  private:
    std::string_view rest_;
    std::size_t pieceSize_;
};
