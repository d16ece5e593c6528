#pragma once
// Colours of the views: 24-bit values 0x00BBGGRR (red in the low byte), the
// form the bar and pie lists keep as text. A value with the top byte 0xFF is a
// system colour (0xFF000000 | index), resolved to RGB when it is drawn.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// System colours: follow the desktop's palette when drawn.
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnText = clSystemColor | 18;

constexpr TColor RGBColor(int red, int green, int blue) {
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(TColor color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(TColor color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(TColor color) {
    return static_cast<int>((color >> 16) & 0xFF);
}

// The 24-bit value of a colour: system colours take the current palette's
// value (Qt's application palette when there is one, else the classic
// desktop defaults); every other colour keeps its low 24 bits.
TColor ColorToRGB(TColor color);

// Table of one lightness change: amount > 0 moves each channel toward 255 by
// (255 - i) * amount >> 8, amount < 0 toward 0 by i * -amount >> 8; every
// entry is clamped to 0..255. The amount is used as given.
std::array<std::uint8_t, 256> LightnessTable(int amount);

// The colour with each channel mapped through LightnessTable of the amount
// limited to -255..255: positive amounts lighten, negative darken, 0 keeps.
TColor ChangeLightness(TColor color, int amount);

// The colour's text: the name of a standard colour when it equals one
// ("clRed", "clBtnFace"), else "$" and eight upper-case hexadecimal digits.
std::string ColorToString(TColor color);

// The inverse of ColorToString: a colour name (letter case ignored), "$" and
// hexadecimal digits, or a decimal integer. Anything else throws
// EConvertError.
TColor StringToColor(std::string_view text);
