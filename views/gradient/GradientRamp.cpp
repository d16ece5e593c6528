#include "views/gradient/GradientRamp.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<std::int64_t>(c))) {
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    }
    return static_cast<int>(quotient);
}

namespace {

// One channel of the ramp; `rotation` is R = MulDiv(255, Rotation, 100).
void FillChannel(int from, int to, int rotation, std::uint8_t TGradientEntry::*channel,
                 TGradientColors& ramp) {
    const int delta = to - from;
    if (rotation == 0) {
        for (int i = 0; i < 256; ++i) {
            ramp[i].*channel = static_cast<std::uint8_t>(from + i * delta / 255);
        }
    } else if (rotation > 0) {
        // Climbs from `from` to `to` at k and falls back to `from` at 255.
        const int k = 255 - rotation;
        for (int i = 0; i < 256; ++i) {
            int v = i < k ? from + i * delta / k : from + (255 - i) * delta / (255 - k);
            ramp[i].*channel = static_cast<std::uint8_t>(v);
        }
    } else {
        // Falls from `to` to `from` at m and climbs back to `to` at 255.
        const int m = -rotation;
        for (int i = 0; i < 256; ++i) {
            int v = i <= m ? to - i * delta / m : to - (255 - i) * delta / (255 - m);
            ramp[i].*channel = static_cast<std::uint8_t>(v);
        }
    }
}

}  // namespace

TGradientColors BuildGradientRamp(TColor c1, TColor c2, int shift, int rotation) {
    shift = std::clamp(shift, -100, 100);
    rotation = std::clamp(rotation, -100, 100);
    int begin[3] = {RedOf(c1), GreenOf(c1), BlueOf(c1)};
    int end[3] = {RedOf(c2), GreenOf(c2), BlueOf(c2)};
    for (int k = 0; k < 3; ++k) {
        if (shift > 0) {
            begin[k] += MulDiv(end[k] - begin[k], shift, 100);
        } else if (shift < 0) {
            end[k] += MulDiv(end[k] - begin[k], shift, 100);
        }
    }
    const int r = MulDiv(255, rotation, 100);
    TGradientColors ramp;
    FillChannel(begin[0], end[0], r, &TGradientEntry::Red, ramp);
    FillChannel(begin[1], end[1], r, &TGradientEntry::Green, ramp);
    FillChannel(begin[2], end[2], r, &TGradientEntry::Blue, ramp);
    return ramp;
}
