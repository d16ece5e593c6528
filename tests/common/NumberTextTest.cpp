#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <locale>

#include "views/common/ConvertError.h"
#include "views/common/NumberText.h"

namespace {

// Runs the number texts under a locale whose decimal separator is a comma, the
// way the desktop program runs once Qt has applied the user's locale.
class DecimalCommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
        }
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

TEST(StrToInt64, ReadsSignedDecimalIntegersOverTheFullRange) {
    EXPECT_EQ(0, StrToInt64("0"));
    EXPECT_EQ(-5, StrToInt64("-5"));
    EXPECT_EQ(7, StrToInt64("+7"));
    EXPECT_EQ(1572864, StrToInt64("1572864"));
    EXPECT_EQ(INT64_MAX, StrToInt64("9223372036854775807"));
    EXPECT_EQ(INT64_MIN, StrToInt64("-9223372036854775808"));
}

TEST(StrToInt64, RejectsEveryMalformedTextWithTheConversionError) {
    for (const char* text : {"", "12a", " 12", "12 ", "1.5", "+", "-", "+-1", "0x10", "1e3",
                             "9223372036854775808", "-9223372036854775809"}) {
        EXPECT_THROW(StrToInt64(text), EConvertError) << "'" << text << "'";
    }
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
    // Sizes beyond 2^53 still divide in extended precision.
    EXPECT_EQ(50.0f, CalcPercent(INT64_MAX / 2, INT64_MAX - 1));
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
