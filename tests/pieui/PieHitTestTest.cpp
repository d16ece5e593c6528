// The slice under a point: every point in a slice's direction finds it, the
// remainder finds nothing, a pie of only its own entry always finds entry 0.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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
    // Every sample lies about D from the centre; the whole-pixel samples make
    // some a pixel nearer, and the first of those wins.
    int first = -1;
    int best = 65000;
    for (int a = 0; a <= 360; ++a) {
        const auto [x, y] = SamplePoint(kPie, a);
        const int dx = x - kPie.CentreX();
        const int dy = y - kPie.CentreY();
        const int dist = static_cast<int>(std::sqrt(double(dx * dx + dy * dy)));
        if (dist < best) {
            best = dist;
            first = a;
        }
    }
    EXPECT_EQ(PieDirection(kPie.CentreX(), kPie.CentreY(), kPie), first);
    EXPECT_LT(first, 90);
    EXPECT_EQ(ClickedPiece(kPie.CentreX(), kPie.CentreY(), kPie, kPercents, false), 1);
    // With a first slice that is not there (0 %), the centre finds no slice
    // of its own and falls to the next one that covers angle 0.
    const TStringList zeroFirst{"50", "0", "20"};
    EXPECT_EQ(ClickedPiece(kPie.CentreX(), kPie.CentreY(), kPie, zeroFirst, false), 2);
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
