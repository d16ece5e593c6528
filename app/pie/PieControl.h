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
#include <vector>

// The outline of one slice in control pixels; angles in degrees, 0 at nine
// o'clock, counterclockwise on the screen.
struct TPieOutline {
    QPointF centre;
    double radius = 0;
    double startAngle = 0;
    double sweep = 0;
};

// One slice as a screen reader knows it: its name, what is said of it
// (name, size and share as the views draw them) and its place.
struct TPieSlice {
    QString name;
    QString spoken;
    TPieOutline shape;
};

// The pie control's accessible side is TPieAccessible (its factory installed
// by the pie holder): a chart whose children are the slices given here, in
// angle order.
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

    // What a screen reader is told of the pie: the slices, the chart's name
    // and its description (the caption, the folder's total).
    void SetSlices(std::vector<TPieSlice> slices, const QString& name, const QString& description);
    const std::vector<TPieSlice>& Slices() const { return slices_; }
    // The slice the keys chose, as an index into Slices(); -1 for none. It
    // is the focused child while the pie has the focus.
    void SetFocusSlice(int index);
    int FocusSlice() const { return focusSlice_; }
    // The slice under a point of the control; -1 off the slices.
    int SliceAt(QPoint at) const;

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
    void TellFocusSlice();

    QImage picture_;
    std::optional<TPieOutline> outline_;
    std::vector<TPieSlice> slices_;
    int focusSlice_ = -1;
};
