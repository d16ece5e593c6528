#include "views/pie/PieHitTest.h"

#include <cmath>
#include <limits>

#include "views/common/NumberText.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
// Squared distances closer than this count as equal (rounding of the sines).
constexpr double kSameDistance = 1e-6;

}  // namespace

float PieSweep(std::string_view percentText) {
    const float percent = static_cast<float>(StrToFloat(percentText));
    return percent / 100.0f * 360.0f;
}

int PieDirection(int x, int y, const TPieGeometry& geometry) {
    const int cx = geometry.CentreX();
    const int cy = geometry.CentreY();
    // The samples lie exactly on the circle and distances are compared
    // unrounded: whole-pixel samples and distances would tie over several
    // degrees near the centre, and the smallest angle of a tie would pick the
    // slice before the one under the pointer.
    double best = std::numeric_limits<double>::max();
    int bestAngle = 0;
    for (int a = 0; a <= 360; ++a) {
        const double rad = (a - 90) * kDegree;
        const double dx = cx + geometry.D * std::sin(rad) - x;
        const double dy = cy + geometry.D * std::cos(rad) - y;
        const double dist = dx * dx + dy * dy;
        // At the centre every sample is equally far; the first one wins.
        if (dist < best - kSameDistance) {
            best = dist;
            bestAngle = a;
        }
    }
    return bestAngle;
}

int ClickedPiece(int x, int y, const TPieGeometry& geometry, const TStringList& percents,
                 bool listsEmpty) {
    if (listsEmpty)
        return -1;
    const int angle = PieDirection(x, y, geometry);
    const int n = static_cast<int>(percents.size());
    if (n <= 1)
        return 0;
    float sum = 0.0f;
    for (int j = 1; j < n; ++j) {
        const float sweep = PieSweep(percents[j]);
        if (sum <= angle && angle < sum + sweep)
            return j;
        sum += sweep;
    }
    return -1;
}
