// The slice under a point: every point in a slice's direction finds it, the
// remainder finds nothing, a pie of only its own entry always finds entry 0.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "views/common/ConvertError.h"
#include "views/pie/PieHitTest.h"

namespace {

const TPieGeometry kPie{250, 50, 50};  // zoom 100 %: centre (175, 175)

// A point at distance radius from the centre in the direction angle
// (0 at nine o'clock, counterclockwise on the screen: 90 is straight down).
std::pair<int, int> PointAt(const TPieGeometry& g, double angle, double radius) {
    const double rad = (angle - 90.0) * M_PI / 180.0;
    return {g.CentreX() + static_cast<int>(std::lround(radius * std::sin(rad))),
            g.CentreY() + static_cast<int>(std::lround(radius * std::cos(rad)))};
}

// The sample point of a whole angle on the circle of radius D, where the
// direction is exact.
std::pair<int, int> SamplePoint(const TPieGeometry& g, int angle) {
    const double rad = (angle - 90) * M_PI / 180.0;
    return {g.CentreX() + static_cast<int>(std::trunc(g.D * std::sin(rad))),
            g.CentreY() + static_cast<int>(std::trunc(g.D * std::cos(rad)))};
}

int PieceAtSample(const TStringList& percents, int angle) {
    const auto [x, y] = SamplePoint(kPie, angle);
    return ClickedPiece(x, y, kPie, percents, false);
}

// Points far from the centre find their direction to the degree; near the
// centre the whole-pixel distances tie over several degrees and the smallest
// angle of a tie wins, so those points are tested only well inside a slice.
int PieceAt(const TStringList& percents, double angle, double radius = 240) {
    const auto [x, y] = PointAt(kPie, angle, radius);
    return ClickedPiece(x, y, kPie, percents, false);
}

// Entry 0 is the folder itself; slices of 90, 45 and 36 degrees; the
// remainder covers 171..360.
const TStringList kPercents{"40.0", "25", "12.5", "10"};

}  // namespace

TEST(ClickedPiece, FindsEachSliceInItsDirection) {
    EXPECT_EQ(PieceAt(kPercents, 3), 1);
    EXPECT_EQ(PieceAt(kPercents, 45), 1);
    EXPECT_EQ(PieceAt(kPercents, 85), 1);
    EXPECT_EQ(PieceAt(kPercents, 95), 2);
    EXPECT_EQ(PieceAt(kPercents, 130), 2);
    EXPECT_EQ(PieceAt(kPercents, 140), 3);
    EXPECT_EQ(PieceAt(kPercents, 166), 3);
}

TEST(ClickedPiece, SliceStartBelongsToTheSliceAndItsEndToTheNext) {
    EXPECT_EQ(PieDirection(SamplePoint(kPie, 90).first, SamplePoint(kPie, 90).second, kPie), 90);
    EXPECT_EQ(PieceAtSample(kPercents, 0), 1);
    EXPECT_EQ(PieceAtSample(kPercents, 89), 1);
    EXPECT_EQ(PieceAtSample(kPercents, 90), 2);
    EXPECT_EQ(PieceAtSample(kPercents, 135), 3);
    EXPECT_EQ(PieceAtSample(kPercents, 170), 3);
    EXPECT_EQ(PieceAtSample(kPercents, 171), -1);
    // 360 is the same point as 0, and the smaller angle wins.
    EXPECT_EQ(PieceAtSample(kPercents, 360), 1);
}

TEST(ClickedPiece, OnlyTheDirectionCountsNotTheDistance) {
    // Just outside the centre, on the rim and in the control's far corner.
    EXPECT_EQ(PieceAt(kPercents, 60, 20), 1);
    EXPECT_EQ(PieceAt(kPercents, 60, 125), 1);
    EXPECT_EQ(PieceAt(kPercents, 110, 240), 2);
    // Straight left: angle 0, first slice.
    EXPECT_EQ(ClickedPiece(0, kPie.CentreY(), kPie, kPercents, false), 1);
}

TEST(ClickedPiece, RemainderAndEmptyListsFindNothing) {
    EXPECT_EQ(PieceAt(kPercents, 180), -1);
    EXPECT_EQ(PieceAt(kPercents, 270), -1);
    EXPECT_EQ(PieceAt(kPercents, 350), -1);
    EXPECT_EQ(ClickedPiece(100, 100, kPie, kPercents, true), -1);
}

TEST(ClickedPiece, OnlyEntryZeroFindsTheFolderItselfEverywhere) {
    const TStringList own{"37.5"};
    EXPECT_EQ(PieceAt(own, 0), 0);
    EXPECT_EQ(PieceAt(own, 200), 0);
    EXPECT_EQ(ClickedPiece(kPie.CentreX(), kPie.CentreY(), kPie, own, false), 0);
}

TEST(ClickedPiece, CentreTakesTheFirstAngleOfTheSmallestDistance) {
    // Every sample lies exactly D from the centre: the first angle wins.
    EXPECT_EQ(PieDirection(kPie.CentreX(), kPie.CentreY(), kPie), 0);
    EXPECT_EQ(ClickedPiece(kPie.CentreX(), kPie.CentreY(), kPie, kPercents, false), 1);
    // With a first slice that is not there (0 %), the centre finds no slice
    // of its own and falls to the next one that covers angle 0.
    const TStringList zeroFirst{"50", "0", "20"};
    EXPECT_EQ(ClickedPiece(kPie.CentreX(), kPie.CentreY(), kPie, zeroFirst, false), 2);
}

// Against a plain reference: the exact direction of the pixel (atan2) and the
// slice whose angles hold it. Points within half a degree of a boundary may
// go either way (the test works in whole degrees); every other point, at any
// distance from the centre and any zoom, must find the slice it lies in.
TEST(ClickedPiece, AgreesWithTheExactDirectionOfEveryPoint) {
    std::mt19937 random(20261209);
    int checked = 0;
    for (int round = 0; round < 200; ++round) {
        const TPieGeometry g{std::uniform_int_distribution<int>(50, 750)(random), 50, 50};
        // Entry 0, then slices of 0.5 % to 30 % until the pie is nearly full.
        TStringList percents{"0"};
        double sum = 0;
        for (;;) {
            const double p = std::uniform_int_distribution<int>(5, 300)(random) / 10.0;
            if ((sum + p) / 100.0 * 360.0 > 355.0)
                break;
            percents.push_back(std::to_string(p));
            sum += p;
        }
        float edge = 0.0f;
        std::vector<float> edges{0.0f};
        for (size_t j = 1; j < percents.size(); ++j) {
            edge += PieSweep(percents[j]);
            edges.push_back(edge);
        }
        for (int k = 0; k < 50; ++k) {
            const int x = std::uniform_int_distribution<int>(0, g.D + 100)(random);
            const int y = std::uniform_int_distribution<int>(0, g.D + 100)(random);
            const double dx = x - g.CentreX();
            const double dy = y - g.CentreY();
            if (dx == 0 && dy == 0)
                continue;
            // dx = -r cos(a), dy = r sin(a) in this angle convention.
            double angle = std::atan2(dy, -dx) * 180.0 / M_PI;
            if (angle < 0)
                angle += 360.0;
            int expected = -1;
            bool nearEdge = false;
            for (size_t j = 1; j < edges.size(); ++j) {
                nearEdge = nearEdge || std::abs(angle - edges[j]) < 0.5 + 1e-9 ||
                           std::abs(angle - 360.0) < 0.5;
                if (angle >= edges[j - 1] && angle < edges[j])
                    expected = static_cast<int>(j);
            }
            nearEdge = nearEdge || angle < 0.5;
            if (nearEdge)
                continue;
            EXPECT_EQ(ClickedPiece(x, y, g, percents, false), expected)
                << "D " << g.D << " point " << x << "," << y << " angle " << angle;
            ++checked;
        }
    }
    EXPECT_GT(checked, 8000);
}

TEST(ClickedPiece, FollowsTheZoomedCentre) {
    const TPieGeometry big{750, 50, 50};  // 300 %: centre (425, 425)
    const TStringList percents{"10", "25", "25"};
    // Straight up from the zoomed centre is 270 degrees: the remainder.
    EXPECT_EQ(ClickedPiece(425, 60, big, percents, false), -1);
    // Down-left of the zoomed centre is inside the first 90 degrees; the same
    // point lies down and right of the unzoomed centre, in the second slice.
    EXPECT_EQ(ClickedPiece(300, 500, big, percents, false), 1);
    EXPECT_EQ(ClickedPiece(300, 500, kPie, percents, false), 2);
}

TEST(ClickedPiece, MalformedPercentIsAConversionError) {
    const TStringList bad{"50", "1,5"};
    EXPECT_THROW(PieceAt(bad, 10), EConvertError);
}
