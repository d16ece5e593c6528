#pragma once

#include <QColor>
#include <QWidget>

// Stand-in for the shared gradient control while it is not available to this
// module: paints the diagonal style the progress window uses (begin colour at
// the top right, end colour at the bottom left, 256-step ramp on a 128 x 129
// pattern scaled to the widget). Replace with the gradient control once it is.
class TWaitGradient : public QWidget {
    Q_OBJECT
  public:
    explicit TWaitGradient(QWidget* parent = nullptr);

    void SetColors(const QColor& begin, const QColor& end);
    QColor ColorBegin() const { return begin_; }
    QColor ColorEnd() const { return end_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdatePattern();

    QColor begin_;
    QColor end_;
    QImage pattern_;
};
