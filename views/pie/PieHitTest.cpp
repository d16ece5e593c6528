#include "views/pie/PieHitTest.h"

#include <cmath>

#include "views/common/NumberText.h"

namespace {

constexpr double kDegree = M_PI / 180.0;
// Larger than any distance on a control of the largest zoom, so the first
// sample always wins the first comparison.
constexpr int kNoDistance = 65000;

}  // namespace

float PieSweep(const std::string& percentText) {
    const float percent = static_cast<float>(StrToFloat(percentText));
    return percent / 100.0f * 360.0f;
}

int PieDirection(int x, int y, const TPieGeometry& geometry) {
    const int cx = geometry.CentreX();
    const int cy = geometry.CentreY();
    int best = kNoDistance;
    int bestAngle = 0;
    for (int a = 0; a <= 360; ++a) {
        const double rad = (a - 90) * kDegree;
        const int px = cx + static_cast<int>(std::trunc(geometry.D * std::sin(rad)));
        const int py = cy + static_cast<int>(std::trunc(geometry.D * std::cos(rad)));
        const long long dx = px - x;
        const long long dy = py - y;
        const int dist =
            static_cast<int>(std::trunc(std::sqrt(static_cast<double>(dx * dx + dy * dy))));
        if (dist < best) {
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
