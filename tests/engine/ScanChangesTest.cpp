// The parts of cobaltquarry-scan --changes that the window's test does not
// reach: --since picks kept sets by count and date, and the signed numbers.
// (The window's test runs --changes --json on the drive it scanned.)
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

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

// Dates are UTC whatever the zone: where the local clock skips 02:30, a
// set kept then is still found, by its own time and by later ones.
TEST(ChooseKeptSetTest, DatesAreUtcInAnyZone) {
    std::vector<THistoryEntry> entries(2);
    ASSERT_TRUE(TScanHistory::ParseName("C-20260329T023000Z.zst", entries[0]));
    ASSERT_TRUE(TScanHistory::ParseName("C-20260308T021500Z.zst", entries[1]));
    const char* before = getenv("TZ");
    const std::string zoneBefore = before != nullptr ? before : "";
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        setenv("TZ", zone, 1);
        tzset();
        for (const auto& [since, chosen] :
             std::vector<std::pair<std::string, int>>{{"2026-03-29T02:30", 0},
                                                      {"2026-03-29 02:29:59Z", 1},
                                                      {"2026-03-08T02:15", 1},
                                                      {"2026-03-08T02:14", -1},
                                                      {"2026-03-08", 1},
                                                      {"2026-03-29T02:60", -1}}) {
            std::string error;
            EXPECT_EQ(ChooseKeptSet(entries, since, error), chosen) << zone << " " << since;
            EXPECT_EQ(error.empty(), chosen >= 0) << error;
        }
    }
    if (before != nullptr)
        setenv("TZ", zoneBefore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(ChangesReportTest, SignedMegabytes) {
    EXPECT_EQ(SignedMB(1572864), "+1.5");
    EXPECT_EQ(SignedMB(-1572864), "-1.5");
    EXPECT_EQ(SignedMB(0), "0.0");
    EXPECT_EQ(SignedMB(-10), "-0.0");
}

}  // namespace
