#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <random>
#include <string>

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
    // (25 * 2^56 + 2^36 + 1) / (25 * 2^58) * 100 is 25 + 2^-20 + 2^-56, just
    // above the midpoint between 25 and the next float; in double it would
    // round to 25.
    EXPECT_EQ(Share(1801439919667675137, 7205759403792793600), "25.0000019073486");
    EXPECT_EQ(Share(-1, 4), "-25");
}

// The general format made another way: printf's "%.15Lg" (the C locale's
// point, exponent "e-05"), with the exponent rewritten as "E-5".
std::string GeneralByPrintf(long double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15Lg", value);
    std::string text = buf;
    if (text == "-0")
        return "0";
    const std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text;
    return text.substr(0, e) + "E" + std::to_string(std::stoi(text.substr(e + 1)));
}

TEST(PercentText, GeneralFormatEqualsPrintfsOnRandomValues) {
    // Fixed notation from 0.0001 up to below 10^15, exponents without zeros.
    EXPECT_EQ(FloatToGeneralText(0.0001L), "0.0001");
    EXPECT_EQ(FloatToGeneralText(-0.000012345L), "-1.2345E-5");
    EXPECT_EQ(FloatToGeneralText(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FloatToGeneralText(999999999999999.9L), "1E15");
    EXPECT_EQ(FloatToGeneralText(-0.0L), "0");
    std::mt19937_64 random(15);
    std::uniform_int_distribution<int> exponent(-60, 70);
    for (int round = 0; round < 20000; ++round) {
        long double value;
        switch (round % 4) {
            case 0: {  // a stored share: any finite float
                std::uint32_t bits = static_cast<std::uint32_t>(random());
                float f;
                std::memcpy(&f, &bits, sizeof f);
                value = std::isfinite(f) ? f : 1.5f;
                break;
            }
            case 1:  // a double of any magnitude the lists may meet
                value = std::ldexp(static_cast<double>(random() >> 11), exponent(random) - 53);
                break;
            case 2:  // an extended value that no double holds
                value = std::ldexp(static_cast<long double>(random() | 1), exponent(random) - 64);
                break;
            default:  // 15 nines and a bit: rounds up into the next power of ten
                value = std::pow(10.0L, exponent(random) / 4) * (1 - 1e-16L * (random() % 20));
                break;
        }
        if (random() % 2)
            value = -value;
        SCOPED_TRACE(::testing::Message() << std::setprecision(21) << value);
        ASSERT_EQ(FloatToGeneralText(value), GeneralByPrintf(value));
    }
}

// The shares a scan writes, every folder's, take a path of their own that
// rounds on integers: it must give printf's digits for every float of its
// range and those beside it (ties to even included, which a float of many
// digits meets).
TEST(PercentText, SharesOfEveryMagnitudeEqualPrintfs) {
    auto bitsOf = [](float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return bits;
    };
    std::mt19937 random(40);
    std::uniform_int_distribution<std::uint32_t> bits(bitsOf(std::ldexp(1.0f, -13)),
                                                      bitsOf(std::ldexp(1.0f, 26)));
    for (int round = 0; round < 50000; ++round) {
        const std::uint32_t drawn = bits(random);
        float f;
        std::memcpy(&f, &drawn, sizeof f);
        const float value = round % 8 == 0 ? -f : f;
        SCOPED_TRACE(::testing::Message() << std::setprecision(12) << value);
        ASSERT_EQ(PercentText(value), GeneralByPrintf(value));
    }
}

TEST(PercentText, DecimalPointWhateverTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    // scripts/install-deps.sh makes this locale; without it the test fails.
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr)
        << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(Share(1, 8), "12.5");
    EXPECT_EQ(FloatToGeneralText(1.0L / 3.0L), "0.333333333333333");
    EXPECT_EQ(Share(1, 100000000), "9.99999997475243E-7");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(SizeText, WritesPlainDigits) {
    EXPECT_EQ(Int64ToText(0), "0");
    EXPECT_EQ(Int64ToText(1048576), "1048576");
    EXPECT_EQ(Int64ToText(-5), "-5");
    EXPECT_EQ(Int64ToText(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(Int64ToText(INT64_MIN), "-9223372036854775808");
}
