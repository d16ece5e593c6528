#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <locale>
#include <optional>
#include <random>
#include <string>

#include "engine/NumberText.h"
#include "views/common/ConvertError.h"
#include "views/common/NumberText.h"

namespace {

// Runs the number texts under a locale whose decimal separator is a comma, the
// way the desktop program runs once Qt has applied the user's locale.
class DecimalCommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        // scripts/install-deps.sh makes this locale; without it the test fails.
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
        std::locale::global(std::locale("de_DE.UTF-8"));
        ASSERT_STREQ(",", std::localeconv()->decimal_point);
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
};

std::string ConvertErrorText(void (*convert)()) {
    try {
        convert();
    } catch (const EConvertError& error) {
        return error.what();
    }
    return "no error";
}

}  // namespace

namespace {

// What a whole-number text is, written out plainly: one optional sign, then
// one or more ASCII digits whose value fits in 64 bits.
std::optional<std::int64_t> PlainInteger(const std::string& text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        i = 1;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    __int128 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = std::min<__int128>(value * 10 + (text[i] - '0'), __int128(1) << 70);
    }
    value = negative ? -value : value;
    if (value < INT64_MIN || value > INT64_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
}

// Texts near the accepted ones: signs, leading zeros, the 64-bit limits and
// one past them, stray blanks, points, letters and non-ASCII digits.
std::string RandomIntegerText(std::mt19937_64& random) {
    const char* const signs[] = {"", "", "+", "-", "+-", "--"};
    const char* const magnitudes[] = {"9223372036854775807", "9223372036854775808",
                                      "9223372036854775809", "18446744073709551616"};
    const char* const strays[] = {" ", ".", "x", "e", "+", "-", "a", "\xd9\xa1", "\0"};
    std::string text = signs[random() % std::size(signs)];
    text.append(random() % 4 == 0 ? random() % 3 : 0, '0');
    switch (random() % 3) {
        case 0:
            text += magnitudes[random() % std::size(magnitudes)];
            break;
        case 1:
            text += std::to_string(random() >> (random() % 64));
            break;
        default:
            break;
    }
    if (random() % 3 == 0) {
        const char* stray = strays[random() % std::size(strays)];
        text.insert(random() % (text.size() + 1), stray,
                    std::max<std::size_t>(1, std::strlen(stray)));
    }
    return text;
}

}  // namespace

TEST(IntegerTexts, BothReadersAcceptExactlyThePlainIntegers) {
    std::mt19937_64 random(20);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomIntegerText(random);
        SCOPED_TRACE("'" + text + "'");
        const std::optional<std::int64_t> expected = PlainInteger(text);
        std::int64_t engineValue = 99;
        ASSERT_EQ(TryTextToInt64(text, engineValue), expected.has_value());
        ASSERT_EQ(engineValue, expected.value_or(99));
        if (expected) {
            ++accepted;
            ASSERT_EQ(StrToInt64(text), *expected);
        } else {
            ASSERT_THROW(StrToInt64(text), EConvertError);
        }
    }
    // Both outcomes are well represented.
    EXPECT_GT(accepted, 4000);
    EXPECT_LT(accepted, 16000);
}

TEST(StrToInt64, ErrorMessageNamesTheText) {
    EXPECT_EQ("'12a' is not a valid integer value", ConvertErrorText([] { StrToInt64("12a"); }));
}

TEST(StrToFloat, ReadsPlainAndExponentForms) {
    EXPECT_DOUBLE_EQ(1.5, StrToFloat("1.5"));
    EXPECT_DOUBLE_EQ(-0.25, StrToFloat("-0.25"));
    EXPECT_DOUBLE_EQ(1.5e-5, StrToFloat("1.5E-5"));
    EXPECT_DOUBLE_EQ(2e10, StrToFloat("+2e+10"));
    EXPECT_DOUBLE_EQ(12.0, StrToFloat("12"));
    EXPECT_DOUBLE_EQ(0.5, StrToFloat(".5"));
    EXPECT_DOUBLE_EQ(5.0, StrToFloat("5."));
    EXPECT_DOUBLE_EQ(33.3333320617676, StrToFloat("33.3333320617676"));
}

TEST(StrToFloat, RejectsCommasWordsAndOverflow) {
    for (const char* text : {"", "1,5", "abc", "inf", "nan", "0x1p3", ".", "e5", "1e", "1e+",
                             "1.5.2", " 1", "1e999"}) {
        EXPECT_THROW(StrToFloat(text), EConvertError) << "'" << text << "'";
    }
    EXPECT_EQ("'1,5' is not a valid floating point value",
              ConvertErrorText([] { StrToFloat("1,5"); }));
}

TEST(CalcPercent, IsZeroForAnEmptyOrNegativeWhole) {
    EXPECT_EQ(0.0f, CalcPercent(5, 0));
    EXPECT_EQ(0.0f, CalcPercent(5, -10));
    EXPECT_EQ(0.0f, CalcPercent(0, 10));
}

TEST(CalcPercent, RoundsTheShareToSinglePrecision) {
    EXPECT_EQ(25.0f, CalcPercent(1, 4));
    EXPECT_EQ(static_cast<float>(100.0L / 3.0L), CalcPercent(1, 3));
    // (25 * 2^56 + 2^36 + 1) / (25 * 2^58) * 100 is 25 + 2^-20 + 2^-56: just
    // above the midpoint between 25 and the next float, 25 + 2^-19. In double
    // the part loses its last 1 and the tie goes to 25.
    EXPECT_EQ(25.0000019073486328125f, CalcPercent(1801439919667675137, 7205759403792793600));
}

TEST(FormatPercent, OneDecimalWithHalvesAwayFromZero) {
    EXPECT_EQ("12.5", FormatPercent(12.46f));
    EXPECT_EQ("0.0", FormatPercent(0.04f));
    EXPECT_EQ("0.3", FormatPercent(0.25f));
    EXPECT_EQ("0.8", FormatPercent(0.75f));
    EXPECT_EQ("100.0", FormatPercent(100.0f));
    // 12.45 is stored as 12.4499998..., just below the half.
    EXPECT_EQ("12.4", FormatPercent(12.45f));
    EXPECT_EQ("-0.3", FormatPercent(-0.25f));
    EXPECT_EQ("0.0", FormatPercent(-0.04f));
}

TEST(FormatOneDecimal, ExactHalvesOfLargeValuesStillRoundAway) {
    EXPECT_EQ("1125899906842624.3", FormatOneDecimal(1125899906842624.25));
    EXPECT_EQ("2.8", FormatOneDecimal(2.75));
    EXPECT_EQ("0.1", FormatOneDecimal(0.05));  // 0.05 is stored a little above
    EXPECT_EQ("0.1", FormatOneDecimal(0.15));  // 0.15 is stored a little below
}

TEST(FormatMB, MegabytesWithoutUnit) {
    EXPECT_EQ("1.5", FormatMB("1572864"));
    EXPECT_EQ("0.0", FormatMB("0"));
    EXPECT_EQ("1.0", FormatMB("1048576"));
    EXPECT_EQ("0.3", FormatMB("262144"));  // exactly 0.25 MB
    EXPECT_EQ("1048576.0", FormatMB("1099511627776"));
    EXPECT_THROW(FormatMB("15a"), EConvertError);
}

TEST(FormatGB, GigabytesWithUnit) {
    EXPECT_EQ("3.0 GB", FormatGB("3221225472"));
    EXPECT_EQ("0.0 GB", FormatGB("0"));
    EXPECT_EQ("1.5 GB", FormatGB("1610612736"));
    EXPECT_THROW(FormatGB(""), EConvertError);
}

TEST_F(DecimalCommaLocale, NumberTextsStillUseAFullStop) {
    EXPECT_EQ("1.5", FormatMB("1572864"));
    EXPECT_EQ("3.0 GB", FormatGB("3221225472"));
    EXPECT_EQ("12.5", FormatPercent(12.46f));
    EXPECT_DOUBLE_EQ(1.5, StrToFloat("1.5"));
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}
