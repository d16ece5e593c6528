#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "views/common/RandomColor.h"

TEST(RandomColor, ComponentsCoverZeroTo254AndNever255) {
    SeedRandomColors(1);
    std::set<std::uint32_t> seen[3];
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t color = RandomColor();
        ASSERT_EQ(0u, color >> 24);
        for (int c = 0; c < 3; ++c) {
            seen[c].insert((color >> (8 * c)) & 0xFF);
        }
    }
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(255u, seen[c].size()) << "component " << c;
        EXPECT_EQ(0u, seen[c].count(255)) << "component " << c;
    }
}

TEST(RandomColor, SameSeedSameColorsAndReseedingChangesThem) {
    auto draw = [] {
        std::vector<std::uint32_t> colors;
        for (int i = 0; i < 50; ++i) {
            colors.push_back(RandomColor());
        }
        return colors;
    };
    SeedRandomColors(42);
    auto first = draw();
    SeedRandomColors(42);
    EXPECT_EQ(first, draw());
    RandomizeColors();
    EXPECT_NE(first, draw());
}

TEST(RandomLightColor, IsTheRandomColorLightenedBy100) {
    SeedRandomColors(5);
    std::vector<TColor> plain;
    for (int i = 0; i < 2000; ++i) {
        plain.push_back(RandomColor());
    }
    SeedRandomColors(5);
    int lowest = 255;
    for (TColor color : plain) {
        TColor light = RandomLightColor();
        // Each component c moves 100/256 of the way to 255, rounded down.
        auto lighter = [](int c) { return c + (255 - c) * 100 / 256; };
        ASSERT_EQ(RGBColor(lighter(RedOf(color)), lighter(GreenOf(color)), lighter(BlueOf(color))),
                  light);
        for (int component : {RedOf(light), GreenOf(light), BlueOf(light)}) {
            lowest = std::min(lowest, component);
            ASSERT_LE(component, 254);
        }
    }
    EXPECT_GE(lowest, 99);
}
