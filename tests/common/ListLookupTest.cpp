#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "views/common/ConvertError.h"
#include "views/common/ListLookup.h"

TEST(FindStrINSL, EmptyListHasNothing) {
    EXPECT_EQ(-1, FindStrINSL({}, "C:"));
}

TEST(FindStrINSL, FindsEachEntryOfASortedFolderList) {
    // Byte order: "\\" (0x5C) sorts after "2", capitals before small letters.
    TStringList dirs = {"C:", "C:\\Data", "C:\\Data2", "C:\\Data\\x", "C:\\caf\xe9", "C:\\data"};
    ASSERT_TRUE(std::is_sorted(dirs.begin(), dirs.end()));
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i), FindStrINSL(dirs, dirs[i])) << dirs[i];
    }
    EXPECT_EQ(-1, FindStrINSL(dirs, "C:\\DATA"));  // case-sensitive
    EXPECT_EQ(-1, FindStrINSL(dirs, "C:\\Dat"));
    EXPECT_EQ(-1, FindStrINSL(dirs, "D:"));
    EXPECT_EQ(-1, FindStrINSL(dirs, "B:"));
}

TEST(FindStrINSL, ReturnsTheFirstOfEqualEntries) {
    EXPECT_EQ(1, FindStrINSL({"A", "B", "B", "C"}, "B"));
    EXPECT_EQ(0, FindStrINSL({"B", "B", "B", "B", "B"}, "B"));
    EXPECT_EQ(3, FindStrINSL({"A", "A", "A", "B", "B", "B", "B", "B"}, "B"));
}

TEST(FindStrINSL, AgreesWithLowerBoundOnRandomSortedLists) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> texts(random() % 40);
        for (auto& entry : texts) {
            // Few distinct short texts over high and low bytes: many duplicates.
            entry.assign(1 + random() % 3, ' ');
            for (auto& c : entry) {
                c = static_cast<char>("a\xe9Z"[random() % 3]);
            }
        }
        std::sort(texts.begin(), texts.end());
        const TStringList list(texts.begin(), texts.end());
        for (const char* probe : {"a", "Z", "\xe9", "aa", "Za", "\xe9\xe9\xe9", "zz"}) {
            auto it = std::lower_bound(list.begin(), list.end(), std::string(probe));
            int expected = (it != list.end() && *it == probe) ? int(it - list.begin()) : -1;
            ASSERT_EQ(expected, FindStrINSL(list, probe)) << probe;
        }
    }
}

TEST(GetFloat, ReadsEntriesAndZeroOutsideTheList) {
    TStringList percents = {"0", "12.5", "1.5E-5"};
    EXPECT_DOUBLE_EQ(12.5, GetFloat(percents, 1));
    EXPECT_DOUBLE_EQ(1.5e-5, GetFloat(percents, 2));
    EXPECT_DOUBLE_EQ(0.0, GetFloat(percents, 3));
    EXPECT_DOUBLE_EQ(0.0, GetFloat(percents, -1));
    EXPECT_THROW(GetFloat({"12,5"}, 0), EConvertError);
}

TEST(IntValFromSL, ReadsEntriesAndZeroOutsideTheList) {
    TStringList sizes = {"100", "9000000000"};
    EXPECT_EQ(9000000000LL, IntValFromSL(sizes, 1));
    EXPECT_EQ(0, IntValFromSL(sizes, 2));
    EXPECT_EQ(0, IntValFromSL(sizes, -1));
    EXPECT_THROW(IntValFromSL({"1 000"}, 0), EConvertError);
}

TEST(GetPercent, ClampsWhatNoShareCanBe) {
    const TStringList list{"12.5", "1e38", "-1e300", "1e300", "x"};
    EXPECT_EQ(12.5f, GetPercent(list, 0));
    EXPECT_EQ(static_cast<float>(kStoredPercentLimit), GetPercent(list, 1));
    EXPECT_EQ(static_cast<float>(-kStoredPercentLimit), GetPercent(list, 2));
    EXPECT_EQ(static_cast<float>(kStoredPercentLimit), GetPercent(list, 3));
    EXPECT_EQ(0.0f, GetPercent(list, 5));  // past the end
    EXPECT_THROW(GetPercent(list, 4), EConvertError);
}
