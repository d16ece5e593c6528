#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/ResultFileText.h"
#include "tests/store/PlainLines.h"

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

// Breaks on both sides of the 64-byte blocks the splitter reads at once,
// lines marked as their bytes arrive, and counts of pieces split anywhere
// (CR LF cut in two included).
TEST(ResultLines, SplitAndCountInPiecesAgreeWithAPlainReading) {
    std::mt19937 random(5);
    TStringList lines = {"stale", "entries", "of", "an", "earlier", "load", "x", "y", "z"};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 200, ' ');
        const unsigned sparse = round % 3 == 0 ? 40 : 4;  // long lines now and then
        for (auto& c : bytes) {
            const unsigned r = random() % sparse;
            c = r < 2 ? "\r\n"[r] : "ab"[r % 2];
        }
        SplitResultLines(bytes, lines);
        ASSERT_EQ(PlainLines(bytes), lines) << "round " << round;
        // Marked while arriving in pieces, as a load reads a file: bytes not
        // yet read are line breaks here, so looking at them would show.
        TStringList read;
        char* buffer = read.RawBuffer(bytes.size());
        std::fill(buffer, buffer + bytes.size(), '\n');
        TResultLineMarker marker(read);
        for (std::size_t filled = 0; filled < bytes.size();) {
            const std::size_t to = std::min(bytes.size(), filled + 1 + random() % 90);
            std::copy(bytes.begin() + filled, bytes.begin() + to, buffer + filled);
            marker.Feed(filled = to);
        }
        marker.Finish();
        ASSERT_EQ(PlainLines(bytes), read) << "round " << round;
        TResultLineCount count;
        for (std::size_t pos = 0; pos < bytes.size();) {
            std::size_t piece = std::min<std::size_t>(random() % 70, bytes.size() - pos);
            count.Feed(std::string_view(bytes).substr(pos, piece));
            pos += piece;
        }
        ASSERT_EQ(lines.size(), count.Lines()) << "round " << round;
    }
}
