#pragma once
// The vocabulary of the gradient fills: the 24 pattern layouts, the 256-entry
// colour ramp and the handler that paints a custom pattern.
#include <QImage>
#include <array>
#include <cstdint>
#include <functional>

class QObject;

enum TGradientStyle {
    gsCustom,
    gsRadialC,
    gsRadialT,
    gsRadialB,
    gsRadialL,
    gsRadialR,
    gsRadialTL,
    gsRadialTR,
    gsRadialBL,
    gsRadialBR,
    gsLinearH,
    gsLinearV,
    gsReflectedH,
    gsReflectedV,
    gsDiagonalLF,
    gsDiagonalLB,
    gsDiagonalRF,
    gsDiagonalRB,
    gsArrowL,
    gsArrowR,
    gsArrowU,
    gsArrowD,
    gsDiamond,
    gsButterfly
};
constexpr int kGradientStyleCount = gsButterfly + 1;

// One ramp entry: a 24-bit colour as three bytes blue, green, red.
struct TGradientEntry {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;

    bool operator==(const TGradientEntry& other) const {
        return Blue == other.Blue && Green == other.Green && Red == other.Red;
    }
};

using TGradientColors = std::array<TGradientEntry, 256>;

// Paints the pattern of gsCustom: the handler sizes `pattern` and fills its
// pixels from the ramp. `sender` is the control (null for a bare pattern).
using TCustomGradientEvent =
    std::function<void(QObject* sender, const TGradientColors& colors, QImage& pattern)>;

// The picture format of patterns and renderings: 24 bits per pixel, each
// pixel the bytes blue, green, red.
constexpr QImage::Format kGradientImageFormat = QImage::Format_BGR888;
