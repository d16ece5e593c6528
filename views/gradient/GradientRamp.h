#pragma once
// The colour ramp of a gradient: two colours, moved toward each other by a
// shift and folded by a rotation, spread over 256 entries.
#include "views/common/Colors.h"
#include "views/gradient/GradientStyle.h"

// a * b / c with a 64-bit intermediate, rounded to the nearest integer with
// halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The ramp from c1 to c2 (24-bit colours) for a shift and a rotation, both
// taken as -100..100 (values outside are clamped).
TGradientColors BuildGradientRamp(TColor c1, TColor c2, int shift, int rotation);
