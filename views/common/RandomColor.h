#pragma once
// Random colours for bar rows and pie slices. Colours are 24-bit values
// 0x00BBGGRR (red in the low byte).
#include <cstdint>

#include "views/common/Colors.h"

// Red, green and blue each uniform in 0..254 (never 255).
TColor RandomColor();

// A random colour lightened by 100 (ChangeLightness): each component in 99..254.
TColor RandomLightColor();

// Re-seeds the colour generator from the clock; every refresh of the views
// does this, so each refresh draws its colours afresh.
void RandomizeColors();
// The colours of the last RandomizeColors once more, in the same order: a
// view redrawn with other numbers keeps its colours.
void RepeatColors();

// Re-seeds the colour generator with a fixed seed (repeatable colours).
void SeedRandomColors(std::uint32_t seed);
