#include "views/pie/PieLabels.h"

#include <QList>
#include <algorithm>
#include <cmath>

#include "views/common/DisplayText.h"

namespace {

constexpr double kRadiansPerDegree = M_PI / 180.0;
constexpr int kLegendRadiusMin = 40;
constexpr int kLegendRadiusMax = 300;
// The label's corner sits this far up and left of its point on the circle.
constexpr int kLabelOffset = 10;

void PlaceAt(TPieLegendEntry& label, const TPieGeometry& g, int radius, float mid) {
    const double rad = (static_cast<double>(mid) - 90.0) * kRadiansPerDegree;
    label.nameLeft =
        g.CentreX() + static_cast<int>(std::trunc(radius * std::sin(rad))) - kLabelOffset;
    label.nameTop =
        g.CentreY() + static_cast<int>(std::trunc(radius * std::cos(rad))) - kLabelOffset;
}

}  // namespace

QString LegendNameText(std::string_view name) {
    // Slice names are taken from drive-form paths, where a few bytes are
    // escaped ("%25" for "%"); the legend shows the name as the user knows it.
    const QString text = DisplayText(name);
    // Count characters, not UTF-16 units, so a cut never splits a character.
    const QList<uint> chars = text.toUcs4();
    if (chars.size() <= kLegendNameMax)
        return text;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), kLegendNameCut) +
           QStringLiteral("...");
}

int LegendRadius(int labelRadius) {
    return std::clamp(labelRadius, kLegendRadiusMin, kLegendRadiusMax);
}

std::vector<TPieLegendEntry> LayoutPieLegend(const TPieGeometry& geometry, int labelRadius,
                                             const TStringList& names,
                                             const TStringList& percents) {
    const int radius = LegendRadius(labelRadius);
    const int n = static_cast<int>(names.size());
    std::vector<TPieLegendEntry> legend;
    float sum = 0.0f;
    float prev = 0.0f;
    // An empty remainder label keeps the direction of the last slice.
    float mid = 0.0f;
    for (int r = 1; r <= n; ++r) {
        TPieLegendEntry label;
        label.entry = r;
        bool wide = false;
        if (r < n) {
            const float sweep = PieSweep(r < static_cast<int>(percents.size()) ? percents[r] : "0");
            sum += sweep;
            wide = !(sum - prev < kLegendMinSweep);
            if (wide)
                label.nameText = LegendNameText(names[r]);
            mid = sum - sweep / 2.0f;
        } else if (sum < kLegendOtherBelow) {
            label.nameText = QStringLiteral("Other");
            mid = sum + (360.0f - sum) / 2.0f;
        }
        PlaceAt(label, geometry, radius, mid);
        if (r < n) {
            label.hasSizeLabel = true;
            label.sizeShown = wide;
            prev = sum;
        }
        legend.push_back(label);
    }
    return legend;
}

int CaptionLeft(const TPieGeometry& geometry, int width) {
    return geometry.CentreX() - width / 2;
}

int CaptionTop(const TPieGeometry& geometry, int height) {
    return geometry.CentreY() - height / 2;
}
