// Kept result sets read back exactly as written, for names of any bytes and
// sizes of any value; a damaged file is refused and never read as other data.
#include <gtest/gtest.h>
#include <zstd.h>

#include <memory>

#include "engine/HistorySnapshot.h"
#include "tests/history/HistoryLists.h"
#include "tests/store/TempFolder.h"

namespace {

std::vector<std::int64_t> Values(const TFolderSizes& drive) {
    std::vector<std::int64_t> values;
    for (const auto& entry : drive) {
        values.push_back(entry.second);
    }
    return values;
}

TEST(HistorySnapshotTest, RandomSetsReadBackAsWritten) {
    TTempFolder folder;
    std::mt19937_64 random(17);
    for (int trial = 0; trial < 40; ++trial) {
        const TFolderSizes drive = RandomDrive(random, 1 + random() % 3000);
        TStringList dirs, sizes;
        ToLists(drive, dirs, sizes);
        const std::string path = folder.Slash() + "C-" + std::to_string(trial) + ".zst";
        const std::int64_t time = static_cast<std::int64_t>(random() % 4'000'000'000ULL);
        std::string error;
        ASSERT_TRUE(WriteHistorySnapshot(path, 'C', time, dirs, sizes, error)) << error;
        EXPECT_EQ(ModeOf(path), 0600u);

        THistorySnapshot read;
        ASSERT_TRUE(ReadHistorySnapshot(path, read, error)) << error;
        EXPECT_EQ(read.Drive, 'C');
        EXPECT_EQ(read.Time, time);
        EXPECT_EQ(read.Dirs, dirs);
        EXPECT_EQ(read.Sizes, Values(drive));
    }
}

// Any single damage (a changed byte, a cut, bytes added) is either refused
// with a reason or, where it touched nothing that carries data, reads as
// written: never as different folders or sizes.
TEST(HistorySnapshotTest, DamageIsRefusedOrHarmless) {
    TTempFolder folder;
    std::mt19937_64 random(23);
    const TFolderSizes drive = RandomDrive(random, 500);
    TStringList dirs, sizes;
    ToLists(drive, dirs, sizes);
    const std::string path = folder.Slash() + "C.zst";
    std::string error;
    ASSERT_TRUE(WriteHistorySnapshot(path, 'C', 1234, dirs, sizes, error));
    const std::string whole = ReadBytes(path);

    int refused = 0;
    for (int trial = 0; trial < 300; ++trial) {
        std::string damaged = whole;
        switch (trial % 3) {
            case 0:
                damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
                break;
            case 1:
                damaged.resize(random() % damaged.size());
                break;
            default:
                damaged += std::string(1 + random() % 8, static_cast<char>(random()));
                break;
        }
        WriteBytes(path, damaged);
        THistorySnapshot read;
        error.clear();
        if (ReadHistorySnapshot(path, read, error)) {
            EXPECT_EQ(read.Dirs, dirs) << "trial " << trial;
            EXPECT_EQ(read.Sizes, Values(drive)) << "trial " << trial;
        } else {
            EXPECT_FALSE(error.empty());
            ++refused;
        }
    }
    // Cuts and additions are always refused, so most trials are.
    EXPECT_GE(refused, 200);

    THistorySnapshot read;
    WriteBytes(path, "CDirs\r\nC:\r\n");
    EXPECT_FALSE(ReadHistorySnapshot(path, read, error));
    EXPECT_FALSE(ReadHistorySnapshot(folder.Slash() + "missing.zst", read, error));
}

// A number in ten bytes, the most one can take (seven bits each).
std::string LongNumber(std::uint64_t value) {
    std::string out;
    for (int i = 0; i < 9; ++i, value >>= 7)
        out += static_cast<char>((value & 0x7F) | 0x80);
    return out + static_cast<char>(value & 0x7F);
}

// head, then zeros zero bytes, then tail, in one zstd frame; the zeros are
// never held whole, so a file of gigabytes costs the test little.
void WritePacked(const std::string& path, const std::string& head, std::uint64_t zeros,
                 const std::string& tail) {
    std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> zstd(ZSTD_createCCtx(), &ZSTD_freeCCtx);
    ZSTD_CCtx_setParameter(zstd.get(), ZSTD_c_compressionLevel, 1);
    std::string packed, piece(ZSTD_CStreamOutSize(), '\0');
    const std::string block(1 << 20, '\0');
    auto pack = [&](std::string_view plain, ZSTD_EndDirective mode) {
        ZSTD_inBuffer in{plain.data(), plain.size(), 0};
        std::size_t left;
        do {
            ZSTD_outBuffer out{piece.data(), piece.size(), 0};
            left = ZSTD_compressStream2(zstd.get(), &out, &in, mode);
            ASSERT_FALSE(ZSTD_isError(left));
            packed.append(piece.data(), out.pos);
        } while (mode == ZSTD_e_end ? left != 0 : in.pos < in.size);
    };
    pack(head, ZSTD_e_continue);
    for (; zeros > 0; zeros -= std::min<std::uint64_t>(zeros, block.size()))
        pack(std::string_view(block).substr(0, std::min<std::uint64_t>(zeros, block.size())),
             ZSTD_e_continue);
    pack(tail, ZSTD_e_end);
    WriteBytes(path, packed);
}

// A set can inflate to no more than its folder count allows (each folder's
// two lengths, path and size at their longest), nor past a fixed size;
// beyond either it is refused before its bytes are kept. At the bound it
// loads; a byte over and it is refused for its size.
TEST(HistorySnapshotTest, SetsLargerThanTheirCountAllowsAreRefused) {
    TTempFolder folder;
    const std::string path = folder.Slash() + "C.zst";
    constexpr std::uint64_t kPath = 1 << 20;
    const std::string magic = "cobaltquarry history 1\n";
    std::string plain = magic + "C 5 2\n";
    for (const char last : {'a', 'b'})
        plain += LongNumber(0) + LongNumber(kPath) + "C:\\" + std::string(kPath - 4, 'x') + last;
    plain += LongNumber(0) + LongNumber(14);  // zigzag 7
    for (const std::string& tail : {std::string("end\n"), std::string("end\n\n")}) {
        WritePacked(path, plain + tail, 0, "");
        THistorySnapshot read;
        std::string error;
        if (tail.size() == 4) {
            ASSERT_TRUE(ReadHistorySnapshot(path, read, error)) << error;
            EXPECT_EQ(read.Dirs.size(), 2u);
            EXPECT_EQ(read.Sizes, (std::vector<std::int64_t>{0, 7}));
        } else {
            EXPECT_FALSE(ReadHistorySnapshot(path, read, error));
            EXPECT_EQ(error, "it is larger than its folder count allows");
        }
    }
    // A path longer than any kept set holds is refused when written.
    TStringList dirs{"C:", "C:\\" + std::string(kPath, 'y')}, sizes{"1", "2"};
    std::string error;
    EXPECT_FALSE(WriteHistorySnapshot(path, 'C', 5, dirs, sizes, error));
    EXPECT_NE(error.find("longer than"), std::string::npos) << error;

    // Bombs: a few kilobytes that inflate to 256 MiB for ten folders, and to
    // just over 4 GiB for a header claiming four thousand million.
    const struct {
        std::string Header;
        std::uint64_t Zeros;
        const char* Why;
    } bombs[] = {{"C 5 10\n", 256ull << 20, "it is larger than its folder count allows"},
                 {"C 5 4294967296\n", (4ull << 30) + 1, "it is larger than any kept set"}};
    for (const auto& bomb : bombs) {
        WritePacked(path, magic + bomb.Header, bomb.Zeros, "");
        THistorySnapshot read;
        EXPECT_FALSE(ReadHistorySnapshot(path, read, error));
        EXPECT_EQ(error, bomb.Why);
        EXPECT_TRUE(read.Dirs.empty());
    }
}

}  // namespace
