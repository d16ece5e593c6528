#pragma once
// A gradient fill control: paints its pattern scaled to its whole area. It is
// opaque, so it serves as the background of a window.
#include <QWidget>

#include "views/gradient/GradientPattern.h"

using TGradientShift = int;     // -100..100
using TGradientRotation = int;  // -100..100

class TGradient : public QWidget {
    Q_OBJECT

  public:
    explicit TGradient(QWidget* parent = nullptr);

    TColor ColorBegin() const { return pattern_.ColorBegin(); }
    void SetColorBegin(TColor value) { pattern_.SetColorBegin(value); }
    TColor ColorEnd() const { return pattern_.ColorEnd(); }
    void SetColorEnd(TColor value) { pattern_.SetColorEnd(value); }
    TGradientStyle Style() const { return pattern_.Style(); }
    void SetStyle(TGradientStyle value) { pattern_.SetStyle(value); }
    TGradientShift Shift() const { return pattern_.Shift(); }
    void SetShift(TGradientShift value) { pattern_.SetShift(value); }
    TGradientRotation Rotation() const { return pattern_.Rotation(); }
    void SetRotation(TGradientRotation value) { pattern_.SetRotation(value); }
    bool Reverse() const { return pattern_.Reverse(); }
    void SetReverse(bool value) { pattern_.SetReverse(value); }
    void SetOnCustom(TCustomGradientEvent handler) { pattern_.SetOnCustom(std::move(handler)); }

    // Batch several settings into one rebuild.
    void BeginLoad() { pattern_.BeginLoad(); }
    void EndLoad() { pattern_.EndLoad(); }

    void UpdatePattern() { pattern_.UpdatePattern(); }
    const TGradientColors& Colors() const { return pattern_.Colors(); }
    const QImage& Pattern() const { return pattern_.Pattern(); }
    const TGradientPattern& Gradient() const { return pattern_; }

  Q_SIGNALS:
    void Click();
    void DblClick();

  protected:
    TGradient(bool keepRendered, QWidget* parent);
    TGradientPattern& MutableGradient() { return pattern_; }

    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    TGradientPattern pattern_;
};
