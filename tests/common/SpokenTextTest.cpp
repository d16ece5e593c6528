#include <gtest/gtest.h>

#include "views/common/ConvertError.h"
#include "views/common/SpokenText.h"

TEST(SpokenText, UnitsFollowTheDrawnNumbersAndMissingPartsAreNotSpoken) {
    EXPECT_EQ(SpokenBytesAsMB("1572864"), "1.5 MB");
    EXPECT_EQ(SpokenBytesAsMB("0"), "0.0 MB");
    EXPECT_THROW(SpokenBytesAsMB("12a"), EConvertError);
    EXPECT_EQ(SpokenShare("51.8"), "51.8 percent");
    EXPECT_EQ(SpokenItem("usr", SpokenMB("8700.3"), SpokenShare("51.8")),
              "usr, 8700.3 MB, 51.8 percent");
    EXPECT_EQ(SpokenItem("usr", std::nullopt, SpokenShare("5.0")), "usr, 5.0 percent");
    EXPECT_EQ(SpokenItem("usr", SpokenMB("1.0"), std::nullopt), "usr, 1.0 MB");
    EXPECT_EQ(SpokenItem("usr", std::nullopt, std::nullopt), "usr");
}

TEST(SpokenText, ChangesKeepTheirSignAndWordAfterTheUnit) {
    EXPECT_EQ(SpokenChange("+1.5 new"), "+1.5 MB new");
    EXPECT_EQ(SpokenChange("-0.2 gone"), "-0.2 MB gone");
    EXPECT_EQ(SpokenChange("-3.0"), "-3.0 MB");
    EXPECT_EQ(SpokenChange("0.0"), "0.0 MB");
    EXPECT_EQ(SpokenChange(""), "");
}
