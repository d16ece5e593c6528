#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>

#include "engine/NumberText.h"

namespace {

std::string Share(std::int64_t child, std::int64_t parent) {
    return PercentText(SharePercent(child, parent));
}

}  // namespace

TEST(PercentText, StoredShareTexts) {
    EXPECT_EQ(Share(1, 2), "50");
    EXPECT_EQ(Share(1, 8), "12.5");
    EXPECT_EQ(Share(1, 3), "33.3333320617676");
    EXPECT_EQ(Share(2, 3), "66.6666641235352");
    EXPECT_EQ(Share(1, 7), "14.2857141494751");
    EXPECT_EQ(Share(0, 5), "0");
    EXPECT_EQ(Share(1, 100000000), "9.99999997475243E-7");
    EXPECT_EQ(Share(7, 7), "100");
    EXPECT_EQ(Share(1, 10), "10");
    EXPECT_EQ(Share(1, 1000), "0.100000001490116");
    // Sizes beyond 2^53 still divide in extended precision.
    EXPECT_EQ(Share(INT64_MAX / 4, INT64_MAX), "25");
    EXPECT_EQ(Share(-1, 4), "-25");
}

TEST(PercentText, GeneralFormatBoundaries) {
    EXPECT_EQ(FloatToGeneralText(0.0001L), "0.0001");
    EXPECT_EQ(FloatToGeneralText(0.00001L), "1E-5");
    EXPECT_EQ(FloatToGeneralText(0.000012345L), "1.2345E-5");
    EXPECT_EQ(FloatToGeneralText(-0.00001L), "-1E-5");
    EXPECT_EQ(FloatToGeneralText(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FloatToGeneralText(1e15L), "1E15");
    EXPECT_EQ(FloatToGeneralText(1234567890123456.0L), "1.23456789012346E15");
    EXPECT_EQ(FloatToGeneralText(2.5L), "2.5");
    EXPECT_EQ(FloatToGeneralText(0.5L), "0.5");
    EXPECT_EQ(FloatToGeneralText(-0.0L), "0");
    // Not a double: goes the long way and rounds to 15 digits all the same.
    EXPECT_EQ(FloatToGeneralText(1.0L / 3.0L), "0.333333333333333");
}

TEST(PercentText, DecimalPointWhateverTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    EXPECT_EQ(Share(1, 8), "12.5");
    EXPECT_EQ(FloatToGeneralText(1.0L / 3.0L), "0.333333333333333");
    EXPECT_EQ(Share(1, 100000000), "9.99999997475243E-7");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(SizeText, ReadsOnlyWholeDecimalNumbers) {
    std::int64_t v = 0;
    EXPECT_TRUE(TryTextToInt64("0", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(TryTextToInt64("1048576", v));
    EXPECT_EQ(v, 1048576);
    EXPECT_TRUE(TryTextToInt64("-42", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(TryTextToInt64("+7", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(TryTextToInt64("9223372036854775807", v));
    EXPECT_EQ(v, INT64_MAX);
    EXPECT_TRUE(TryTextToInt64("-9223372036854775808", v));
    EXPECT_EQ(v, INT64_MIN);
    v = 99;
    for (const char* bad : {"", "-", "+", " 5", "5 ", "1e3", "12x", "0x10", "9223372036854775808",
                            "-9223372036854775809", "1.5", "١"}) {
        EXPECT_FALSE(TryTextToInt64(bad, v)) << bad;
        EXPECT_EQ(v, 99) << bad;
    }
}

TEST(SizeText, WritesPlainDigits) {
    EXPECT_EQ(Int64ToText(0), "0");
    EXPECT_EQ(Int64ToText(1048576), "1048576");
    EXPECT_EQ(Int64ToText(-5), "-5");
    EXPECT_EQ(Int64ToText(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(Int64ToText(INT64_MIN), "-9223372036854775808");
}
