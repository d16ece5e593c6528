#include "views/pie/DrawDataPie.h"

#include <algorithm>
#include <cmath>

std::int32_t PieDiameterForZoom(int zoomPercent) {
    // Exact integer arithmetic: no zoom lands a pixel short through rounding.
    // A zoom below 0 would make a bitmap narrower than its margins.
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(0, std::int64_t{zoomPercent} * 250 / 100));
}

std::int32_t PieBitmapDiameter(const TDrawDataPie& data) {
    return static_cast<std::int32_t>(std::trunc(static_cast<float>(data.D) * data.Supersampling));
}

void DefaultPieData(TDrawDataPie& data, int zoomPercent, QImage* image,
                    const TGradientPattern* gradient, const TStringList* colors,
                    const TStringList* percents, const TStringList* names) {
    const TColor otherColor = data.OtherColor;
    std::string hoveredPath = std::move(data.HoveredPath);
    data = TDrawDataPie{};
    data.Image = image;
    data.D = PieDiameterForZoom(zoomPercent);
    data.Gradient = gradient;
    data.Colors = colors;
    data.Percents = percents;
    data.Names = names;
    data.OtherColor = otherColor;
    data.HoveredPath = std::move(hoveredPath);
}
