#include "views/gradient/GradientPattern.h"

#include <algorithm>
#include <utility>

#include "views/gradient/GradientPainters.h"
#include "views/gradient/GradientRamp.h"

namespace {

// Clears a flag when the scope ends, also when a handler throws.
class TFlagGuard {
  public:
    explicit TFlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagGuard() { flag_ = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

TGradientPattern::TGradientPattern(bool keepRendered) : keepRendered_(keepRendered) {
    UpdatePattern();
}

void TGradientPattern::SetColorBegin(TColor value) {
    if (value != colorBegin_) {
        colorBegin_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetColorEnd(TColor value) {
    if (value != colorEnd_) {
        colorEnd_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetStyle(TGradientStyle value) {
    if (value != style_) {
        style_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetShift(int value) {
    value = std::clamp(value, -100, 100);
    if (value != shift_) {
        shift_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetRotation(int value) {
    value = std::clamp(value, -100, 100);
    if (value != rotation_) {
        rotation_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetReverse(bool value) {
    if (value != reverse_) {
        reverse_ = value;
        UpdatePattern();
    }
}

void TGradientPattern::SetOnCustom(TCustomGradientEvent handler) {
    onCustom_ = std::move(handler);
    // Only the custom style shows what the handler paints.
    if (style_ == gsCustom) {
        UpdatePattern();
    }
}

void TGradientPattern::EndLoad() {
    if (loading_) {
        loading_ = false;
        UpdatePattern();
    }
}

void TGradientPattern::UpdatePattern() {
    if (loading_) {
        return;
    }
    TColor c1 = ColorToRGB(reverse_ ? colorEnd_ : colorBegin_);
    TColor c2 = ColorToRGB(reverse_ ? colorBegin_ : colorEnd_);
    colors_ = BuildGradientRamp(c1, c2, shift_, rotation_);
    PaintPattern(c1, c2);
    ++rebuilds_;
    if (keepRendered_) {
        StretchGradientImage(pattern_, kRenderedSize, kRenderedSize, rendered_);
    }
    if (onChanged_) {
        onChanged_();
    }
}

void TGradientPattern::PaintPattern(TColor c1, TColor c2) {
    TFlagGuard building(building_);
    if (style_ != gsCustom) {
        PaintGradientPattern(style_, colors_, pattern_);
    } else if (onCustom_) {
        onCustom_(sender_, colors_, pattern_);
    } else {
        PaintCustomFallback(c1, c2, pattern_);
    }
}
