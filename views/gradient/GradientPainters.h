#pragma once
// The pattern painters: each style lays the ramp out in a small picture of a
// fixed size, which the controls then scale to wherever it is shown.
#include <QImage>
#include <QSize>

#include "views/common/Colors.h"
#include "views/gradient/GradientStyle.h"

// The pattern size of a style (an empty size for gsCustom).
QSize GradientPatternSize(TGradientStyle style);

// The ramp index of a style at column x, row y of its pattern (0..255).
int GradientRampIndex(TGradientStyle style, int x, int y);

// Sizes `pattern` for the style and paints it from the ramp (BGR888).
// gsCustom paints nothing; it is the handler's or the fallback's job. The
// picture is reused when it already has the right size and format.
void PaintGradientPattern(TGradientStyle style, const TGradientColors& ramp, QImage& pattern);

// The 2 x 2 checker shown for gsCustom without a handler: c1 at (0, 0) and
// (1, 1), c2 at (1, 0) and (0, 1).
void PaintCustomFallback(TColor c1, TColor c2, QImage& pattern);

// Scales `source` over the whole of `target` (nearest pixel, sampled at pixel
// centres), making target width x height BGR888 first.
void StretchGradientImage(const QImage& source, int width, int height, QImage& target);
