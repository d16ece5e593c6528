#pragma once
// The pie's image control ("Pie"): shows the drawn pie scaled to fit while
// keeping its aspect ratio, with the hand cursor and a hint, and hands its
// mouse presses and moves to the pie holder in its own pixel coordinates.
// The legend labels are its children.
#include <QImage>
#include <QWidget>
#include <functional>

class TPieControl : public QWidget {
    Q_OBJECT

  public:
    explicit TPieControl(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

    std::function<void(Qt::MouseButton, QPoint)> OnMouseDown;
    std::function<void(QPoint)> OnMouseMove;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
};
