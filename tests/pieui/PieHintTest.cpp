// The hover hint's text to the character.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "views/pie/PieHint.h"

TEST(HintZonePart, SignFollowsTheBiasNotTheOffset) {
    // One hour east of UTC: UTC is 60 minutes behind, the bias is -60.
    EXPECT_EQ(HintZonePart(-60), "-0100");
    // Five hours west of UTC.
    EXPECT_EQ(HintZonePart(300), "+0500");
    EXPECT_EQ(HintZonePart(0), "+0000");
    // India, five and a half hours east.
    EXPECT_EQ(HintZonePart(-330), "-0530");
}

TEST(HintDateText, WritesDayDateEvenSecondsAndZone) {
    const QDateTime when(QDate(2005, 12, 7), QTime(14, 3, 23));
    EXPECT_EQ(HintDateText(when, -60), "Wed, 7 Dec 2005 14:03:22 -0100");
    const QDateTime morning(QDate(2024, 3, 31), QTime(8, 5, 0));
    EXPECT_EQ(HintDateText(morning, 300), "Sun, 31 Mar 2024 08:05:00 +0500");
}

TEST(HintDateText, UnreadableTimeIsTheZeroDate) {
    EXPECT_EQ(HintDateText(std::nullopt, 0), "Sat, 30 Dec 1899 00:00:00 +0000");
    EXPECT_EQ(HintDateText(QDateTime(), -120), "Sat, 30 Dec 1899 00:00:00 -0200");
}

TEST(CurrentZoneBias, IsMinutesThatUtcIsAhead) {
    // Zones given as POSIX rules, without daylight saving: no zone files
    // needed and the same answer all year.
    struct Zone {
        const char* rule;
        int bias;
    };
    const char* saved = std::getenv("TZ");
    const std::string before = saved ? saved : "";
    for (const Zone zone : {Zone{"IST-5:30", -330}, Zone{"EST5", 300}, Zone{"UTC0", 0}}) {
        setenv("TZ", zone.rule, 1);
        tzset();
        EXPECT_EQ(CurrentZoneBias(), zone.bias) << zone.rule;
    }
    if (saved)
        setenv("TZ", before.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(PieHintText, FileHasMegabytesWithoutUnit) {
    const std::string hint =
        PieHintText("C:\\home\\ann\\film.mkv", FileSizeLine("12.5"),
                    HintDateLine(QDateTime(QDate(2005, 12, 7), QTime(14, 3, 22)), -60));
    EXPECT_EQ(hint,
              "C:\\home\\ann\\film.mkv\r\nSize on disk: 12.5\r\n"
              "Modified: Wed, 7 Dec 2005 14:03:22 -0100");
}

TEST(PieHintText, AnalysedFolderHasMegabytesWithUnit) {
    const std::string hint =
        PieHintText("C:\\usr", FolderSizeLine("1024.0"), HintDateLine(std::nullopt, 0));
    EXPECT_EQ(hint,
              "C:\\usr\r\nSize on disk: 1024.0MB\r\nModified: Sat, 30 Dec 1899 00:00:00 +0000");
}

TEST(PieHintText, NoSizeLineClearsTheHint) {
    EXPECT_EQ(PieHintText("C:\\usr", std::nullopt, HintDateLine(std::nullopt, 0)), "");
}
