#include "views/common/Colors.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "views/common/ConvertError.h"

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// The standard colour names, in the order a value is matched (the first
// name of a value wins when writing).
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clWindow, "clWindow"},
    {clWindowText, "clWindowText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnText, "clBtnText"},
};

struct TSystemColor {
    TColor Value;
    QPalette::ColorRole Role;
    TColor Fallback;  // the classic desktop value, used without an application
};

constexpr TSystemColor kSystemColors[] = {
    {clWindow, QPalette::Base, RGBColor(255, 255, 255)},
    {clWindowText, QPalette::Text, RGBColor(0, 0, 0)},
    {clHighlight, QPalette::Highlight, RGBColor(0, 120, 215)},
    {clHighlightText, QPalette::HighlightedText, RGBColor(255, 255, 255)},
    {clBtnFace, QPalette::Button, RGBColor(240, 240, 240)},
    {clBtnText, QPalette::ButtonText, RGBColor(0, 0, 0)},
};

bool SameTextAscii(std::string_view a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

[[noreturn]] void ThrowNotAColor(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid colour");
}

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// A 32-bit integer text: optional sign, then "$" or "0x" and up to eight
// hexadecimal digits, or decimal digits within the signed 32-bit range.
TColor ParseColorNumber(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) {
        ThrowNotAColor(text);
    }
    std::uint64_t value = 0;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
    for (; i < text.size(); ++i) {
        int digit = DigitValue(text[i], base);
        if (digit < 0) {
            ThrowNotAColor(text);
        }
        value = value * base + digit;
        if (value > limit) {
            ThrowNotAColor(text);
        }
    }
    if (base == 10 && !negative && value == limit) {
        ThrowNotAColor(text);
    }
    auto bits = static_cast<std::uint32_t>(value);
    return negative ? static_cast<TColor>(0u - bits) : static_cast<TColor>(bits);
}

}  // namespace

TColor ColorToRGB(TColor color) {
    if ((color & 0xFF000000u) != clSystemColor) {
        return color & 0x00FFFFFFu;
    }
    for (const TSystemColor& system : kSystemColors) {
        if (system.Value != color) {
            continue;
        }
        if (qGuiApp == nullptr) {
            return system.Fallback;
        }
        QColor c = QGuiApplication::palette().color(QPalette::Active, system.Role);
        return RGBColor(c.red(), c.green(), c.blue());
    }
    return clBlack;  // an unknown system colour index has no value
}

std::array<std::uint8_t, 256> LightnessTable(int amount) {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        long long v;
        if (amount >= 0) {
            v = i + (((255LL - i) * amount) >> 8);
        } else {
            v = i - ((-static_cast<long long>(amount) * i) >> 8);
        }
        table[i] = static_cast<std::uint8_t>(std::clamp(v, 0LL, 255LL));
    }
    return table;
}

TColor ChangeLightness(TColor color, int amount) {
    const auto table = LightnessTable(std::clamp(amount, -255, 255));
    TColor rgb = ColorToRGB(color);
    return RGBColor(table[RedOf(rgb)], table[GreenOf(rgb)], table[BlueOf(rgb)]);
}

std::string ColorToString(TColor color) {
    for (const TColorName& entry : kColorNames) {
        if (entry.Value == color) {
            return entry.Name;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
    return text;
}

TColor StringToColor(std::string_view text) {
    for (const TColorName& entry : kColorNames) {
        if (SameTextAscii(text, entry.Name)) {
            return entry.Value;
        }
    }
    return ParseColorNumber(text);
}
