// The stored text of a duplicate search's result: any result with any
// name bytes reads back the same; a damaged text is refused; the "as of"
// mark is set by changes inside the searched folder and by no others.
#include <gtest/gtest.h>

#include <random>

#include "engine/DuplicateKind.h"
#include "engine/DuplicateText.h"
#include "engine/StoredSet.h"
#include "platform/DriveTable.h"

namespace {

TDuplicateResult RandomResult(std::mt19937& rng) {
    auto name = [&] {
        std::string n = "/";
        for (int i = 0, len = 1 + int(rng() % 12); i < len; ++i)
            n += char(1 + rng() % 255);  // every byte but NUL: %, CR, LF, TAB too
        return n;
    };
    TDuplicateResult r{name(), std::int64_t(rng() % 5000), std::int64_t(rng()), {}};
    r.FilesListed = rng();
    r.Candidates = rng() % 1000;
    for (int g = 0, groups = int(rng() % 5); g < groups; ++g) {
        TDuplicateGroup group{1 + std::int64_t(rng()), {}};
        for (int c = 0, copies = 2 + int(rng() % 3); c < copies; ++c) {
            TDuplicateCopy copy{
                {}, rng(), std::uint64_t(rng()) << 20, std::int64_t(rng()), int(rng() % 3)};
            for (int n = 0, names = 1 + int(rng() % 2); n < names; ++n)
                copy.Names.push_back(name());
            group.Copies.push_back(copy);
        }
        r.Groups.push_back(group);
    }
    return r;
}

void ExpectSame(const TDuplicateResult& a, const TDuplicateResult& b) {
    EXPECT_EQ(a.Root, b.Root);
    EXPECT_EQ(a.MinSize, b.MinSize);
    EXPECT_EQ(a.Time, b.Time);
    EXPECT_EQ(a.FilesListed, b.FilesListed);
    EXPECT_EQ(a.Candidates, b.Candidates);
    ASSERT_EQ(a.Groups.size(), b.Groups.size());
    for (std::size_t g = 0; g < a.Groups.size(); ++g) {
        EXPECT_EQ(a.Groups[g].Size, b.Groups[g].Size);
        ASSERT_EQ(a.Groups[g].Copies.size(), b.Groups[g].Copies.size());
        for (std::size_t c = 0; c < a.Groups[g].Copies.size(); ++c) {
            const TDuplicateCopy &x = a.Groups[g].Copies[c], &y = b.Groups[g].Copies[c];
            EXPECT_EQ(x.Names, y.Names);
            EXPECT_EQ(std::tie(x.Device, x.Inode, x.WriteNanos, x.SharedSet),
                      std::tie(y.Device, y.Inode, y.WriteNanos, y.SharedSet));
        }
    }
}

}  // namespace

TEST(DuplicateText, AnyResultReadsBackTheSameAndADamagedOneIsRefused) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 200; ++trial) {
        const TDuplicateResult r = RandomResult(rng);
        const bool asOf = trial % 2;
        const TStringList lines = DuplicateLines(r, asOf);
        for (const std::string_view line : lines)
            ASSERT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
        TDuplicateResult back;
        bool backAsOf = !asOf;
        std::string error;
        ASSERT_TRUE(ReadDuplicateLines(lines, back, backAsOf, error)) << error;
        EXPECT_EQ(backAsOf, asOf);
        ExpectSame(r, back);
        if (lines.size() > 2) {  // cut short: a group's copies or a copy's names missing
            TStringList cut;
            for (std::size_t i = 0; i + 1 < lines.size(); ++i)
                cut.push_back(lines[i]);
            EXPECT_FALSE(ReadDuplicateLines(cut, back, backAsOf, error));
            EXPECT_NE(error.find("line"), std::string::npos);
        }
    }
    TStringList bad;
    bad.push_back("Duplicates 1");
    bad.push_back("/root\t1\t0\t2\t0\t0");  // "as of" is 0 or 1
    TDuplicateResult back;
    bool asOf = false;
    std::string error;
    EXPECT_FALSE(ReadDuplicateLines(bad, back, asOf, error));
}

TEST(DuplicateText, OnlyAChangeInsideOrAboveTheSearchedFolderMarksTheResultAsOf) {
    const TScopedDriveTable table(TDriveTable({TDrive{'C', "/data"}}));
    TDuplicateResult r{"/data/photos", 1, 100, {}};
    auto marked = [&](const std::string& folder) {
        TStoredSet set;
        set.Extras[std::string(kDuplicatesRole)] = DuplicateLines(r, false);
        MarkDuplicatesAsOf(set, {folder});
        TDuplicateResult back;
        bool asOf = false;
        std::string error;
        EXPECT_TRUE(
            ReadDuplicateLines(set.Extras[std::string(kDuplicatesRole)], back, asOf, error));
        return asOf;
    };
    EXPECT_TRUE(marked("C:\\photos"));
    EXPECT_TRUE(marked("C:\\photos\\2024"));
    EXPECT_TRUE(marked("C:"));
    EXPECT_FALSE(marked("C:\\photos2"));
    EXPECT_FALSE(marked("C:\\music"));
}
