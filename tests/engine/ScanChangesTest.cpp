// The parts of cobaltquarry-scan --changes that the window's test does not
// reach: --since picks kept sets by count and date, and the signed numbers.
// (The window's test runs --changes --json on the drive it scanned.)
#include <gtest/gtest.h>

#include "engine/ScanHistory.h"
#include "tools/scan/ScanChanges.h"
#include "views/bar/BarChanges.h"

namespace {

TEST(ChooseKeptSetTest, CountsAndDates) {
    std::vector<THistoryEntry> entries;
    for (const char* name : {"C-20261209T074010Z-1.zst", "C-20261209T074010Z.zst",
                             "C-20261201T120000Z.zst", "C-20261115T000000Z.zst"}) {
        THistoryEntry e;
        ASSERT_TRUE(TScanHistory::ParseName(name, e));
        entries.push_back(e);
    }
    std::string error;
    const struct {
        const char* since;
        int chosen;
    } cases[] = {{"", 0},
                 {"3", 2},
                 {"5", -1},
                 {"2026-12-09", 0},
                 {"2026-12-09T07:40", 2},
                 {"2026-12-09 07:40:10Z", 0},
                 {"2026-11-30", 3},
                 {"2026-11-14", -1},
                 {"2026-13-01", -1}};
    for (const auto& c : cases) {
        error.clear();
        EXPECT_EQ(ChooseKeptSet(entries, c.since, error), c.chosen) << c.since;
        EXPECT_EQ(error.empty(), c.chosen >= 0) << c.since << ": " << error;
    }
}

TEST(ChangesReportTest, SignedMegabytes) {
    EXPECT_EQ(SignedMB(1572864), "+1.5");
    EXPECT_EQ(SignedMB(-1572864), "-1.5");
    EXPECT_EQ(SignedMB(0), "0.0");
    EXPECT_EQ(SignedMB(-10), "-0.0");
}

}  // namespace
