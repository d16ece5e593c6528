// Kept result sets read back exactly as written, for names of any bytes and
// sizes of any value; a damaged file is refused and never read as other data.
#include <gtest/gtest.h>

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

}  // namespace
