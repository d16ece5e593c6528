#include "views/gradient/GradientPainters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Distance of a position from the two middle positions of a 362-long axis:
// 180 and 181 both lie at distance 0.
int MiddleDistance(int p) {
    return p <= 180 ? 180 - p : p - 181;
}

bool IsRadial(TGradientStyle style) {
    return style >= gsRadialC && style <= gsRadialBR;
}

// The per-axis distances of the radial styles.
int RadialDx(TGradientStyle style, int x) {
    switch (style) {
        case gsRadialC:
        case gsRadialT:
        case gsRadialB:
            return MiddleDistance(x);
        case gsRadialR:
        case gsRadialTR:
        case gsRadialBR:
            return 180 - x;
        default:
            return x;
    }
}

int RadialDy(TGradientStyle style, int y) {
    switch (style) {
        case gsRadialL:
        case gsRadialR:
            return MiddleDistance(y);
        case gsRadialC:
        case gsRadialB:
        case gsRadialBL:
        case gsRadialBR:
            return 180 - y;
        default:
            return y;
    }
}

// Largest squared distance of a radial pattern: 181^2 + 181^2.
constexpr int kMaxSquaredDistance = 2 * 181 * 181;

// The ramp index of a squared distance: its root rounded to the nearest
// integer, at most 255. Kept in a table, as every pixel needs one.
int RoundedRoot(int squared) {
    static const std::vector<std::uint8_t> roots = [] {
        std::vector<std::uint8_t> table(kMaxSquaredDistance + 1);
        for (int i = 0; i <= kMaxSquaredDistance; ++i) {
            const long root = std::lround(std::sqrt(static_cast<double>(i)));
            table[i] = static_cast<std::uint8_t>(std::min(255L, root));
        }
        return table;
    }();
    if (squared > kMaxSquaredDistance) {
        return 255;
    }
    return roots[squared];
}

int LinearIndex(TGradientStyle style, int x, int y) {
    switch (style) {
        case gsLinearH:
            return y;
        case gsLinearV:
            return x;
        case gsReflectedH:
            return y <= 255 ? 255 - y : y - 256;
        case gsReflectedV:
            return x <= 255 ? 255 - x : x - 256;
        case gsDiagonalLF:
            return y - x + 127;
        case gsDiagonalLB:
            return x + y;
        case gsDiagonalRF:
            return std::abs(x - y);
        case gsDiagonalRB:
            return std::abs(x + y - 255);
        case gsArrowL:
            return y <= 127 ? 255 - x - y : y - x;
        case gsArrowR:
            return y <= 127 ? x - y + 127 : x + y - 128;
        case gsArrowU:
            return x <= 127 ? 255 - x - y : x - y;
        case gsArrowD:
            return x <= 127 ? y - x + 127 : x + y - 128;
        case gsDiamond:
            if (y <= 127) {
                return x <= 127 ? 255 - x - y : x - y;
            }
            return x <= 127 ? y - x : x + y - 255;
        case gsButterfly:
            if (y <= 127) {
                return x <= 127 ? x - y + 128 : 383 - x - y;
            }
            return x <= 127 ? x + y - 128 : y - x + 128;
        default:
            return 0;
    }
}

void PutEntry(std::uint8_t* pixel, const TGradientEntry& entry) {
    pixel[0] = entry.Blue;
    pixel[1] = entry.Green;
    pixel[2] = entry.Red;
}

void PaintRadial(TGradientStyle style, const TGradientColors& ramp, QImage& pattern) {
    const int w = pattern.width();
    const int h = pattern.height();
    // Squared distances of one axis each; one root per pixel.
    std::vector<int> dx2(w);
    for (int x = 0; x < w; ++x) {
        int d = RadialDx(style, x);
        dx2[x] = d * d;
    }
    for (int y = 0; y < h; ++y) {
        const int dy = RadialDy(style, y);
        const int dy2 = dy * dy;
        std::uint8_t* row = pattern.bits() + y * pattern.bytesPerLine();
        for (int x = 0; x < w; ++x) {
            PutEntry(row + 3 * x, ramp[RoundedRoot(dx2[x] + dy2)]);
        }
    }
}

void PaintLinear(TGradientStyle style, const TGradientColors& ramp, QImage& pattern) {
    const int w = pattern.width();
    const int h = pattern.height();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = pattern.scanLine(y);
        for (int x = 0; x < w; ++x) {
            PutEntry(row + 3 * x, ramp[std::clamp(LinearIndex(style, x, y), 0, 255)]);
        }
    }
}

void EnsureImage(QImage& image, int width, int height) {
    if (image.width() != width || image.height() != height ||
        image.format() != kGradientImageFormat) {
        image = QImage(width, height, kGradientImageFormat);
    }
}

}  // namespace

QSize GradientPatternSize(TGradientStyle style) {
    switch (style) {
        case gsRadialC:
            return {362, 362};
        case gsRadialT:
        case gsRadialB:
            return {362, 181};
        case gsRadialL:
        case gsRadialR:
            return {181, 362};
        case gsRadialTL:
        case gsRadialTR:
        case gsRadialBL:
        case gsRadialBR:
            return {181, 181};
        case gsLinearH:
            return {1, 256};
        case gsLinearV:
            return {256, 1};
        case gsReflectedH:
            return {1, 512};
        case gsReflectedV:
            return {512, 1};
        case gsDiagonalLF:
        case gsDiagonalLB:
            return {128, 129};
        case gsDiagonalRF:
        case gsDiagonalRB:
        case gsDiamond:
        case gsButterfly:
            return {256, 256};
        case gsArrowL:
        case gsArrowR:
            return {129, 256};
        case gsArrowU:
        case gsArrowD:
            return {256, 129};
        default:
            return {};
    }
}

int GradientRampIndex(TGradientStyle style, int x, int y) {
    if (IsRadial(style)) {
        int dx = RadialDx(style, x);
        int dy = RadialDy(style, y);
        return RoundedRoot(dx * dx + dy * dy);
    }
    return std::clamp(LinearIndex(style, x, y), 0, 255);
}

void PaintGradientPattern(TGradientStyle style, const TGradientColors& ramp, QImage& pattern) {
    const QSize size = GradientPatternSize(style);
    if (size.isEmpty()) {
        return;
    }
    EnsureImage(pattern, size.width(), size.height());
    if (IsRadial(style)) {
        PaintRadial(style, ramp, pattern);
    } else {
        PaintLinear(style, ramp, pattern);
    }
}

void PaintCustomFallback(TColor c1, TColor c2, QImage& pattern) {
    EnsureImage(pattern, 2, 2);
    const TGradientEntry first{static_cast<std::uint8_t>(BlueOf(c1)),
                               static_cast<std::uint8_t>(GreenOf(c1)),
                               static_cast<std::uint8_t>(RedOf(c1))};
    const TGradientEntry second{static_cast<std::uint8_t>(BlueOf(c2)),
                                static_cast<std::uint8_t>(GreenOf(c2)),
                                static_cast<std::uint8_t>(RedOf(c2))};
    PutEntry(pattern.scanLine(0), first);
    PutEntry(pattern.scanLine(0) + 3, second);
    PutEntry(pattern.scanLine(1), second);
    PutEntry(pattern.scanLine(1) + 3, first);
}

void StretchGradientImage(const QImage& source, int width, int height, QImage& target) {
    EnsureImage(target, width, height);
    if (width <= 0 || height <= 0) {
        return;
    }
    if (source.isNull()) {
        target.fill(0);  // a handler that painted nothing leaves black, not garbage
        return;
    }
    const QImage src = source.format() == kGradientImageFormat
                           ? source
                           : source.convertToFormat(kGradientImageFormat);
    const int sw = src.width();
    const int sh = src.height();
    std::vector<int> column(width);
    for (int x = 0; x < width; ++x) {
        column[x] = 3 * static_cast<int>((2LL * x + 1) * sw / (2LL * width));
    }
    // Row pointers taken once: scanLine() checks for sharing on every call.
    std::uint8_t* const outBase = target.bits();
    const qsizetype outStride = target.bytesPerLine();
    const std::uint8_t* const inBase = src.constBits();
    const qsizetype inStride = src.bytesPerLine();
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    int previousRow = -1;
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((2LL * y + 1) * sh / (2LL * height));
        std::uint8_t* out = outBase + y * outStride;
        if (sy == previousRow) {
            std::memcpy(out, out - outStride, rowBytes);
            continue;
        }
        const std::uint8_t* in = inBase + sy * inStride;
        if (sw == 1) {
            // A one-column pattern (the bar style) gives rows of one colour:
            // one pixel, then copies that double the filled part each time.
            std::memcpy(out, in, 3);
            for (std::size_t filled = 3; filled < rowBytes; filled *= 2) {
                std::memcpy(out + filled, out, std::min(filled, rowBytes - filled));
            }
        } else {
            for (int x = 0; x < width; ++x) {
                std::memcpy(out + 3 * x, in + column[x], 3);
            }
        }
        previousRow = sy;
    }
}
