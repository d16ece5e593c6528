#pragma once
// A gradient control that also keeps its pattern rendered at 200 x 200
// pixels, for code that scales the gradient into rectangles of its own (the
// bars of the bar list, the shading of the pie).
#include "views/gradient/Gradient.h"

using TBitmapGradientStyle = TGradientStyle;
using TBitmapGradientColors = TGradientColors;
using TBitmapGradientShift = int;
using TBitmapGradientRotation = int;

class TBitmapGradient : public TGradient {
    Q_OBJECT

  public:
    explicit TBitmapGradient(QWidget* parent = nullptr);

    // 200 x 200, 24 bits per pixel (bytes blue, green, red), whatever the
    // control's size; current after every property change.
    const QImage& RenderedBitmap() const { return Gradient().RenderedBitmap(); }
};
