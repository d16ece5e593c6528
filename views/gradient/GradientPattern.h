#pragma once
// The state behind a gradient control, without any widget: the properties,
// the ramp, the pattern picture and, when asked for, the 200 x 200 rendering
// that other code scales into bars and the pie's shading. Every setter
// rebuilds only when the value really changes.
#include <QImage>
#include <functional>

#include "views/common/Colors.h"
#include "views/gradient/GradientStyle.h"

class TGradientPattern {
  public:
    static constexpr int kRenderedSize = 200;

    // keepRendered: also keep RenderedBitmap current (the bitmap gradient).
    explicit TGradientPattern(bool keepRendered = false);
    virtual ~TGradientPattern() = default;

    TColor ColorBegin() const { return colorBegin_; }
    void SetColorBegin(TColor value);
    TColor ColorEnd() const { return colorEnd_; }
    void SetColorEnd(TColor value);
    TGradientStyle Style() const { return style_; }
    void SetStyle(TGradientStyle value);
    int Shift() const { return shift_; }
    void SetShift(int value);  // clamped to -100..100
    int Rotation() const { return rotation_; }
    void SetRotation(int value);  // clamped to -100..100
    bool Reverse() const { return reverse_; }
    void SetReverse(bool value);
    const TCustomGradientEvent& OnCustom() const { return onCustom_; }
    void SetOnCustom(TCustomGradientEvent handler);

    // The control handed to OnCustom as its sender.
    void SetSender(QObject* sender) { sender_ = sender; }
    // Called after every rebuild, so the control can repaint.
    void SetOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

    // Loading: while set, rebuilds wait; ending the load rebuilds once.
    void BeginLoad() { loading_ = true; }
    void EndLoad();
    bool Loading() const { return loading_; }

    // Rebuilds ramp, pattern and (when kept) RenderedBitmap from the
    // properties. An error of OnCustom propagates after `building` is cleared.
    virtual void UpdatePattern();

    const TGradientColors& Colors() const { return colors_; }
    const QImage& Pattern() const { return pattern_; }
    // 200 x 200, 24 bits (bytes blue, green, red); null unless kept.
    const QImage& RenderedBitmap() const { return rendered_; }
    bool KeepsRendered() const { return keepRendered_; }
    bool Building() const { return building_; }
    // How many rebuilds have run, for callers that cache what they drew.
    unsigned long long RebuildCount() const { return rebuilds_; }

  private:
    void PaintPattern(TColor c1, TColor c2);

    TColor colorBegin_ = clWhite;
    TColor colorEnd_ = clBtnFace;
    TGradientStyle style_ = gsRadialC;
    int shift_ = 0;
    int rotation_ = 0;
    bool reverse_ = false;
    TCustomGradientEvent onCustom_;
    QObject* sender_ = nullptr;
    std::function<void()> onChanged_;
    bool keepRendered_;
    bool loading_ = false;
    bool building_ = false;
    unsigned long long rebuilds_ = 0;
    TGradientColors colors_{};
    QImage pattern_;
    QImage rendered_;
};
