// Row order of the bar list.
#include <gtest/gtest.h>

#include <stdexcept>

#include "views/bar/BarSort.h"

namespace {

double Number(const QString& text) {
    bool ok = false;
    double v = text.toDouble(&ok);
    if (!ok) {
        throw std::invalid_argument(text.toStdString());
    }
    return v;
}

TBarSortKey Row(const QString& name, const QString& mb, const QString& pc) {
    return {name, mb, pc};
}

TEST(BarCompare, NumberColumnsPutTheLargestFirstAndNeverSayEqual) {
    TBarSortKey big = Row("a", "10.0", "60.0"), small = Row("b", "2.0", "5.0");
    EXPECT_LT(BarCompare(2, false, big, small, Number), 0);
    EXPECT_GT(BarCompare(2, false, small, big, Number), 0);
    EXPECT_LT(BarCompare(1, false, big, small, Number), 0);
    EXPECT_EQ(BarCompare(2, false, big, big, Number), -1);
    // Reverse: smallest first.
    EXPECT_GT(BarCompare(2, true, big, small, Number), 0);
    EXPECT_EQ(BarCompare(2, true, big, big, Number), 1);
}

TEST(BarCompare, NumberTextsAreTrimmedAndCompareAsNumbers) {
    EXPECT_LT(BarCompare(1, false, Row("a", " 100.0 ", "0"), Row("b", "9.0", "0"), Number), 0);
}

TEST(BarCompare, NameColumnIgnoresCaseOfAtoZOnly) {
    EXPECT_LT(BarCompare(0, false, Row("apple", "", ""), Row("Banana", "", ""), Number), 0);
    EXPECT_EQ(BarCompare(0, false, Row("ABC", "", ""), Row("abc", "", ""), Number), 0);
    EXPECT_LT(BarCompare(0, false, Row("ab", "", ""), Row("abc", "", ""), Number), 0);
    // '_' (95) sorts after the upper-cased letters (65..90).
    EXPECT_GT(BarCompare(0, false, Row("_x", "", ""), Row("ax", "", ""), Number), 0);
    // Reverse with the name: Z to A.
    EXPECT_GT(BarCompare(0, true, Row("apple", "", ""), Row("zebra", "", ""), Number), 0);
}

TEST(BarCompare, MalformedNumberReachesTheCaller) {
    EXPECT_THROW(BarCompare(2, false, Row("a", "1", "12a"), Row("b", "1", "3"), Number),
                 std::invalid_argument);
    // The name column never reads numbers.
    EXPECT_NO_THROW(BarCompare(0, false, Row("a", "x", "y"), Row("b", "x", "y"), Number));
}

}  // namespace
