#include "views/pie/PieShading.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "views/common/Colors.h"

namespace {

// Lightens one channel by a gradient byte, clamped as Clamp does (kept
// inline: it runs for every pixel of the disc).
inline std::uint32_t Brighten(std::uint32_t channel, std::uint32_t amount) {
    const std::uint32_t v = channel + (((255 - channel) * amount) >> 8);
    return v > 255 ? 255 : v;
}

// The 24-bit gradient in its raw byte order (blue, green, red per pixel).
QImage RawGradientRows(const QImage& gradient) {
    if (gradient.format() == QImage::Format_BGR888) {
        return gradient;
    }
    return gradient.convertToFormat(QImage::Format_BGR888);
}

// The effects read and write 0xAARRGGBB words.
void EnsureWords(QImage& target) {
    const QImage::Format f = target.format();
    if (f != QImage::Format_ARGB32 && f != QImage::Format_RGB32) {
        target = target.convertToFormat(QImage::Format_ARGB32);
    }
}

}  // namespace

std::uint8_t Clamp(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

void GradientOverlay(QImage& target, const QImage& gradient, int marginX, int marginY, int radius) {
    const int gw = gradient.width();
    const int gh = gradient.height();
    const int w = target.width();
    const int h = target.height();
    const int areaW = w - 2 * marginX;
    const int areaH = h - 2 * marginY;
    if (gw == 0 || gh == 0 || w == 0 || h == 0 || areaW <= 0 || areaH <= 0) {
        return;
    }
    EnsureWords(target);
    const QImage rows = RawGradientRows(gradient);
    // Pie-area pixels per gradient pixel, in single precision.
    const float sy = static_cast<float>(areaH) / static_cast<float>(gh);
    const float sx = static_cast<float>(areaW) / static_cast<float>(gw);

    // Byte positions in a gradient row for each column, computed once. The
    // last valid byte bounds them, so float rounding never reads past a row.
    const int lastByte = 3 * gw - 1;
    std::vector<int> bytePos(3 * static_cast<std::size_t>(areaW));
    for (int x = 0; x < areaW; ++x) {
        for (int k = 0; k < 3; ++k) {
            const float pos = static_cast<float>(3 * x + k) / sx;
            bytePos[3 * x + k] = std::min(lastByte, static_cast<int>(pos));
        }
    }

    const int t0 = areaH / 2 - radius;
    const long long r2 = static_cast<long long>(radius) * radius;
    for (int y = t0; y <= areaH - 1 - t0; ++y) {
        const int row = y + marginY;
        if (row < 0 || row >= h) {
            continue;
        }
        const int gradientRow = std::clamp(static_cast<int>(static_cast<float>(y) / sy), 0, gh - 1);
        const long long dy = y - radius - t0;
        const int half = static_cast<int>(std::sqrt(static_cast<double>(std::llabs(r2 - dy * dy))));
        const int from = std::max(0, radius - half + t0);
        const int to = std::min(areaW - 1, half + radius + t0);
        const std::uint8_t* g = rows.constScanLine(gradientRow);
        auto* pixels = reinterpret_cast<std::uint32_t*>(target.scanLine(row)) + marginX;
        for (int x = from; x <= to; ++x) {
            const std::uint32_t p = pixels[x];
            const std::uint32_t red = Brighten((p >> 16) & 0xFF, g[bytePos[3 * x]]);
            const std::uint32_t green = Brighten((p >> 8) & 0xFF, g[bytePos[3 * x + 1]]);
            const std::uint32_t blue = Brighten(p & 0xFF, g[bytePos[3 * x + 2]]);
            pixels[x] = 0xFF000000u | (red << 16) | (green << 8) | blue;
        }
    }
}

void CentreLight(QImage& target, int amount, int radius) {
    if (amount == 0) {
        return;
    }
    EnsureWords(target);
    const auto table = LightnessTable(amount);
    const int w = target.width();
    const int h = target.height();
    const int top = h / 2 - radius;
    for (int y = top; y <= h - 1 - top; ++y) {
        if (y < 0 || y >= h) {
            continue;
        }
        const std::int32_t dy = y - radius - top;
        const std::int32_t inside = radius * radius - dy * dy;
        const int half = static_cast<int>(std::sqrt(static_cast<double>(std::abs(inside))));
        const int right = half + radius + top;
        const int left = radius - half + top;
        auto* pixels = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        const int from = std::max(0, left - 1);
        const int to = std::min(w - 1, right + 1);
        for (int x = from; x <= to; ++x) {
            const std::uint32_t p = pixels[x];
            pixels[x] = 0xFF000000u | (std::uint32_t{table[(p >> 16) & 0xFF]} << 16) |
                        (std::uint32_t{table[(p >> 8) & 0xFF]} << 8) | table[p & 0xFF];
        }
    }
}
