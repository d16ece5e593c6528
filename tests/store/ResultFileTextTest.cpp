#include <gtest/gtest.h>

#include "engine/ResultFileText.h"

TEST(SplitResultLines, AcceptsEveryLineEnding) {
    TStringList lines;
    SplitResultLines("a\r\nb\rc\nd", lines);
    EXPECT_EQ((TStringList{"a", "b", "c", "d"}), lines);
    SplitResultLines("a\r\nb\r\n", lines);
    EXPECT_EQ((TStringList{"a", "b"}), lines);
    SplitResultLines("a\n\nb\r\r\n", lines);
    EXPECT_EQ((TStringList{"a", "", "b", ""}), lines);
}

TEST(SplitResultLines, EmptyBytesHaveNoLinesAndABreakAloneHasOne) {
    TStringList lines{"old"};
    SplitResultLines("", lines);
    EXPECT_TRUE(lines.empty());
    SplitResultLines("\r\n", lines);
    EXPECT_EQ(TStringList{""}, lines);
    SplitResultLines("\n\r", lines);  // LF, then a lone CR: two empty lines
    EXPECT_EQ((TStringList{"", ""}), lines);
}

TEST(SplitResultLines, KeepsRawBytes) {
    std::string odd("C:\\caf\xe9\\ a\tb ", 14);
    std::string withNul("x\0y", 3);
    TStringList lines;
    SplitResultLines(odd + "\r\n" + withNul + "\r\n", lines);
    EXPECT_EQ((TStringList{odd, withNul}), lines);
}

TEST(JoinResultLines, EndsEveryLineWithCrLfAndSplitsBack) {
    TStringList lines{"C:", "", "C:\\Data %25"};
    std::string bytes = JoinResultLines(lines);
    EXPECT_EQ("C:\r\n\r\nC:\\Data %25\r\n", bytes);
    TStringList back;
    SplitResultLines(bytes, back);
    EXPECT_EQ(lines, back);
    EXPECT_EQ("", JoinResultLines({}));
}
