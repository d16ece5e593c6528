#include "engine/HistorySnapshot.h"

#include <zstd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <string_view>

#include "engine/NumberText.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"

namespace {

constexpr std::string_view kMagic = "cobaltquarry history 1\n";
constexpr std::string_view kEnd = "end\n";
constexpr std::string_view kExtra = "extra ";
// zstd's default level: level 9 saves only 3 % more on a drive of a million
// folders and takes three times as long at the end of every drive scan.
constexpr int kSnapshotZstdLevel = 3;
constexpr std::size_t kSnapshotPiece = 1 << 18;
// No drive holds a set this large; a damaged header claiming more is refused
// before anything is allocated for it.
constexpr std::uint64_t kMostFolders = 1ULL << 32;
// The plain bytes of any set, whatever its header says: 4 GiB is over a
// hundred million folders.
constexpr std::uint64_t kMostPlainBytes = 1ULL << 32;
// The longest folder path a set keeps (a name's longest is 255 bytes: this
// is thousands of folders inside each other).
constexpr std::uint64_t kMostPathBytes = 1ULL << 20;
// A number takes at most ten bytes: seven bits each.
constexpr std::uint64_t kMostNumberBytes = 10;
// The magic and the header line fit in this many bytes.
constexpr std::size_t kHeadBytes = 128;

void PutNumber(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

// Sizes are never negative in a scan's lists, but a stored text may say so;
// the zigzag form keeps such a value short and exact.
std::uint64_t ZigZag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::int64_t UnZigZag(std::uint64_t value) {
    return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

// The plain bytes of a snapshot, compressed as they come, into a file that
// appears under its name only when everything was written.
class TPackedFile {
  public:
    explicit TPackedFile(const std::string& path) : file_(path), zstd_(ZSTD_createCCtx()) {
        ZSTD_CCtx_setParameter(zstd_, ZSTD_c_compressionLevel, kSnapshotZstdLevel);
        ZSTD_CCtx_setParameter(zstd_, ZSTD_c_checksumFlag, 1);
        packed_.resize(ZSTD_CStreamOutSize());
        plain_.reserve(kSnapshotPiece + 64);
    }
    ~TPackedFile() { ZSTD_freeCCtx(zstd_); }
    TPackedFile(const TPackedFile&) = delete;
    TPackedFile& operator=(const TPackedFile&) = delete;

    bool Open() { return file_.Open(); }
    std::string& Plain() { return plain_; }
    // Compresses what Plain holds once it is large enough.
    void Spill() {
        if (plain_.size() >= kSnapshotPiece) {
            Pack(false);
        }
    }
    bool Commit() {
        Pack(true);
        return ok_ && file_.Finish() && file_.Commit();
    }

  private:
    void Pack(bool last) {
        ZSTD_inBuffer in{plain_.data(), plain_.size(), 0};
        for (;;) {
            ZSTD_outBuffer out{packed_.data(), packed_.size(), 0};
            const std::size_t left =
                ZSTD_compressStream2(zstd_, &out, &in, last ? ZSTD_e_end : ZSTD_e_continue);
            if (ZSTD_isError(left)) {
                ok_ = false;
                break;
            }
            ok_ = file_.Write(std::string_view(packed_.data(), out.pos)) && ok_;
            if (last ? left == 0 : in.pos == in.size) {
                break;
            }
        }
        plain_.clear();
    }

    TAtomicFile file_;
    ZSTD_CCtx* zstd_;
    std::string plain_;
    std::string packed_;
    bool ok_ = true;
};

std::string ExtraHead(const std::string& role, const TStringList& lines) {
    return std::string(kExtra) + role + " " + Int64ToText(static_cast<std::int64_t>(lines.size())) +
           "\n";
}

std::uint64_t NumberBytes(std::uint64_t value) {
    std::uint64_t bytes = 1;
    for (; value >= 0x80; value >>= 7) {
        ++bytes;
    }
    return bytes;
}

// The plain bytes the extra lists take in a snapshot.
std::uint64_t ExtraBytes(const TExtraLists& extras) {
    std::uint64_t bytes = 0;
    for (const auto& [role, lines] : extras) {
        bytes += ExtraHead(role, lines).size();
        for (std::string_view line : lines) {
            bytes += NumberBytes(line.size()) + line.size();
        }
    }
    return bytes;
}

// Reads the plain bytes front to back; every read is checked against the end.
class TPlainReader {
  public:
    explicit TPlainReader(std::string_view bytes) : bytes_(bytes) {}

    bool Number(std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= bytes_.size()) {
                return false;
            }
            const auto byte = static_cast<unsigned char>(bytes_[pos_++]);
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                return true;
            }
        }
        return false;
    }
    bool Bytes(std::size_t count, std::string_view& out) {
        if (count > bytes_.size() - pos_) {
            return false;
        }
        out = bytes_.substr(pos_, count);
        pos_ += count;
        return true;
    }
    bool Line(std::string_view& out) {
        const std::size_t end = bytes_.find('\n', pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        out = bytes_.substr(pos_, end + 1 - pos_);
        pos_ = end + 1;
        return true;
    }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    // The same bytes, read again from position at.
    TPlainReader(const TPlainReader& other, std::size_t at) : bytes_(other.bytes_), pos_(at) {}
    std::size_t Position() const { return pos_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

bool ParseHeader(std::string_view line, THistorySnapshot& snapshot, std::uint64_t& count) {
    // "C 1765262410 1000000\n", with the bytes of the extra lists after the
    // count when the set has any: "C 1765262410 1000000 7000000\n".
    if (line.size() < 6 || line[0] < 'A' || line[0] > 'Z' || line[1] != ' ') {
        return false;
    }
    snapshot.Drive = line[0];
    line.remove_prefix(2);
    line.remove_suffix(1);
    const std::size_t blank = line.find(' ');
    const std::size_t third = blank == std::string_view::npos ? blank : line.find(' ', blank + 1);
    std::int64_t time = 0, folders = 0, extra = 0;
    if (blank == std::string_view::npos || !TryTextToInt64(line.substr(0, blank), time) ||
        !TryTextToInt64(line.substr(blank + 1, third - blank - 1), folders) || folders < 0 ||
        static_cast<std::uint64_t>(folders) > kMostFolders) {
        return false;
    }
    if (third != std::string_view::npos &&
        (!TryTextToInt64(line.substr(third + 1), extra) || extra <= 0 ||
         static_cast<std::uint64_t>(extra) > kMostPlainBytes)) {
        return false;
    }
    snapshot.Time = time;
    snapshot.ExtraBytes = static_cast<std::uint64_t>(extra);
    count = static_cast<std::uint64_t>(folders);
    return true;
}

// The magic line and the header of a set, and its folder count.
bool ReadHead(TPlainReader& reader, THistorySnapshot& snapshot, std::uint64_t& count,
              std::string& error) {
    std::string_view magic, header;
    if (!reader.Line(magic) || magic != kMagic) {
        error = "it is not a kept result set";
        return false;
    }
    if (!reader.Line(header) || !ParseHeader(header, snapshot, count)) {
        error = "its header is damaged";
        return false;
    }
    return true;
}

// Inflates packed a piece at a time, handing each piece to take, which may
// stop the inflation by returning false (with the reason in error).
bool Inflate(const std::string& packed,
             const std::function<bool(std::string_view, std::string&)>& take, std::string& error) {
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> zstd(ZSTD_createDCtx(), &ZSTD_freeDCtx);
    std::string piece(ZSTD_DStreamOutSize(), '\0');
    ZSTD_inBuffer in{packed.data(), packed.size(), 0};
    std::size_t left = 1;
    while (in.pos < in.size) {
        ZSTD_outBuffer out{piece.data(), piece.size(), 0};
        left = ZSTD_decompressStream(zstd.get(), &out, &in);
        if (ZSTD_isError(left)) {
            error = std::string("its compressed data is damaged (") + ZSTD_getErrorName(left) + ")";
            return false;
        }
        if (!take(std::string_view(piece.data(), out.pos), error)) {
            return false;
        }
        if (left == 0 && in.pos < in.size) {
            error = "it has bytes after its end";
            return false;
        }
    }
    if (left != 0) {
        error = "it is cut off";
        return false;
    }
    return true;
}

// The plain size of a packed set, found without keeping its bytes, or false
// when the set is refused: its header must be sound, and the set no larger
// than its folder count allows (each folder's two lengths, path and size)
// nor than any set can be. A damaged or hostile file of a few kilobytes
// that would inflate to gigabytes is refused as it inflates, without any of
// its bytes being kept.
bool PlainSize(const std::string& packed, std::uint64_t& size, std::string& error) {
    std::string head;
    std::uint64_t most = 0;  // 0 until the head is read
    size = 0;
    const auto bound = [&](bool atEnd) {
        if (most == 0 && (std::count(head.begin(), head.end(), '\n') >= 2 ||
                          head.size() == kHeadBytes || atEnd)) {
            TPlainReader reader(head);
            THistorySnapshot snapshot;
            std::uint64_t count = 0;
            if (!ReadHead(reader, snapshot, count, error)) {
                return false;
            }
            constexpr std::uint64_t kMostEntry = 3 * kMostNumberBytes + kMostPathBytes;
            most = std::min(kMostPlainBytes, reader.Position() + count * kMostEntry +
                                                 snapshot.ExtraBytes + kEnd.size());
        }
        if (most != 0 && size > most) {
            error = size > kMostPlainBytes ? "it is larger than any kept set"
                                           : "it is larger than its folder count allows";
            return false;
        }
        return true;
    };
    const auto take = [&](std::string_view piece, std::string&) {
        head.append(piece.substr(0, kHeadBytes - head.size()));
        size += piece.size();
        return bound(false);
    };
    return Inflate(packed, take, error) && bound(true);
}

bool Unpack(const std::string& packed, std::string& plain, std::string& error) {
    std::uint64_t size = 0;
    if (!PlainSize(packed, size, error)) {
        return false;
    }
    plain.reserve(size);
    return Inflate(
        packed,
        [&plain](std::string_view piece, std::string&) {
            plain.append(piece);
            return true;
        },
        error);
}

bool ParsePaths(TPlainReader& reader, std::uint64_t count, TStringList& dirs) {
    dirs.clear();
    dirs.reserve(count);
    std::string previous;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t shared = 0, length = 0;
        std::string_view rest;
        if (!reader.Number(shared) || !reader.Number(length) || shared > previous.size() ||
            length > kMostPathBytes - shared || !reader.Bytes(length, rest)) {
            return false;
        }
        std::string path = previous.substr(0, shared);
        path.append(rest);
        // The order the result files keep, strictly: a damaged entry that
        // broke it would put sizes beside the wrong folders in a comparison.
        if (path.empty() || (i > 0 && std::string_view(previous).compare(path) >= 0)) {
            return false;
        }
        previous = path;
        dirs.push_back(std::move(path));
    }
    return true;
}

}  // namespace

bool WriteHistorySnapshot(const std::string& path, char drive, std::int64_t time,
                          const TStringList& dirs, const TStringList& sizes, std::string& error,
                          const TExtraLists& extras) {
    if (dirs.size() != sizes.size()) {
        error = "the result lists have different lengths";
        return false;
    }
    std::vector<std::int64_t> values(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (!TryTextToInt64(sizes[i], values[i])) {
            error = "a stored size is not a whole number";
            return false;
        }
    }
    TPackedFile file(path);
    if (!file.Open()) {
        error = path + " cannot be written";
        return false;
    }
    std::string& plain = file.Plain();
    plain.append(kMagic);
    plain += std::string(1, drive) + " " + Int64ToText(time) + " " +
             Int64ToText(static_cast<std::int64_t>(dirs.size()));
    if (const std::uint64_t extraBytes = ExtraBytes(extras); extraBytes > 0) {
        plain += " " + Int64ToText(static_cast<std::int64_t>(extraBytes));
    }
    plain += "\n";
    std::string_view previous;
    for (std::string_view dir : dirs) {
        if (dir.size() > kMostPathBytes) {
            error = "a folder path is longer than " + std::to_string(kMostPathBytes) + " bytes";
            return false;
        }
        std::size_t shared = 0;
        while (shared < previous.size() && shared < dir.size() && previous[shared] == dir[shared]) {
            ++shared;
        }
        PutNumber(plain, shared);
        PutNumber(plain, dir.size() - shared);
        plain.append(dir, shared, std::string::npos);
        previous = dir;
        file.Spill();
    }
    // The sizes apart from the names: numbers next to numbers compress better.
    for (std::int64_t value : values) {
        PutNumber(plain, ZigZag(value));
        file.Spill();
    }
    for (const auto& [role, lines] : extras) {
        plain.append(ExtraHead(role, lines));
        for (std::string_view line : lines) {
            PutNumber(plain, line.size());
            plain.append(line);
            file.Spill();
        }
    }
    plain.append(kEnd);
    if (!file.Commit()) {
        error = path + " cannot be written";
        return false;
    }
    return true;
}

namespace {

// The extra lists before the end line: "extra <role> <count>\n", then each
// line as its length and bytes. Every line takes at least one byte, which
// bounds what a damaged count can make this allocate.
bool ParseExtras(TPlainReader& reader, std::size_t plainBytes, TExtraLists& extras) {
    extras.clear();
    std::string_view head;
    for (;;) {
        const std::size_t at = reader.Position();
        if (!reader.Bytes(kExtra.size(), head) || head != kExtra) {
            reader = TPlainReader(reader, at);
            return true;
        }
        std::string_view line;
        if (!reader.Line(line)) {
            return false;
        }
        line.remove_suffix(1);
        const std::size_t blank = line.find(' ');
        std::int64_t count = 0;
        if (blank == std::string_view::npos || !TryTextToInt64(line.substr(blank + 1), count) ||
            count < 0 || static_cast<std::uint64_t>(count) > plainBytes) {
            return false;
        }
        TStringList lines;
        lines.reserve(static_cast<std::size_t>(count));
        for (std::int64_t i = 0; i < count; ++i) {
            std::uint64_t length = 0;
            std::string_view text;
            if (!reader.Number(length) || length > kMostPathBytes ||
                !reader.Bytes(static_cast<std::size_t>(length), text)) {
                return false;
            }
            lines.push_back(text);
        }
        if (!extras.emplace(std::string(line.substr(0, blank)), std::move(lines)).second) {
            return false;
        }
    }
}

bool ReadSnapshot(const std::string& path, THistorySnapshot& snapshot, std::string& error) {
    std::string packed, plain;
    if (!ReadDataFile(path, packed)) {
        error = "it cannot be read";
        return false;
    }
    if (!Unpack(packed, plain, error)) {
        return false;
    }
    packed = std::string();
    TPlainReader reader(plain);
    std::string_view end;
    std::uint64_t count = 0;
    if (!ReadHead(reader, snapshot, count, error)) {
        return false;
    }
    // Every folder takes at least three bytes, which bounds what a damaged
    // count can make this allocate.
    if (count > plain.size() / 3) {
        error = "its header is damaged";
        return false;
    }
    if (!ParsePaths(reader, count, snapshot.Dirs)) {
        error = "its folder list is damaged";
        return false;
    }
    snapshot.Sizes.assign(count, 0);
    for (std::int64_t& size : snapshot.Sizes) {
        std::uint64_t value = 0;
        if (!reader.Number(value)) {
            error = "its sizes are damaged";
            return false;
        }
        size = UnZigZag(value);
    }
    if (!ParseExtras(reader, plain.size(), snapshot.Extras)) {
        error = "its extra lists are damaged";
        return false;
    }
    if (!reader.Bytes(kEnd.size(), end) || end != kEnd || !reader.AtEnd()) {
        error = "its end is damaged";
        return false;
    }
    return true;
}

}  // namespace

bool ReadHistorySnapshot(const std::string& path, THistorySnapshot& snapshot, std::string& error) {
    // Within every bound a set can still hold more than this machine's
    // memory: its paths in full take far more than their shared prefixes.
    try {
        return ReadSnapshot(path, snapshot, error);
    } catch (const std::bad_alloc&) {
        snapshot = THistorySnapshot();
        error = "it is too large for the memory left";
        return false;
    }
}
