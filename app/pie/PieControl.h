#pragma once
// The pie's image control ("Pie"): shows the drawn pie scaled to fit while
// keeping its aspect ratio, with the hand cursor and a hint, and hands its
// mouse presses and moves to the pie holder in its own pixel coordinates.
// The legend labels are its children. It takes the keyboard focus with Tab,
// hands its keys to the holder and outlines the slice the keys chose.
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

// The outline of one slice in control pixels; angles in degrees, 0 at nine
// o'clock, counterclockwise on the screen.
struct TPieOutline {
    QPointF centre;
    double radius = 0;
    double startAngle = 0;
    double sweep = 0;
};

class TPieControl : public QWidget {
    Q_OBJECT

  public:
    explicit TPieControl(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

    std::function<void(Qt::MouseButton, QPoint)> OnMouseDown;
    std::function<void(QPoint)> OnMouseMove;
    // The hint for a point, asked for when the hint is about to show.
    std::function<QString(QPoint)> OnHint;
    // A key pressed while the pie has the focus; true when it was used.
    std::function<bool(int key)> OnKey;

    void SetOutline(const std::optional<TPieOutline>& outline);
    const std::optional<TPieOutline>& Outline() const { return outline_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void PaintOutline(QPainter& painter) const;

    QImage picture_;
    std::optional<TPieOutline> outline_;
};
