#pragma once
// The caption and legend labels laid over the pie control. Every redraw
// removes the old labels and makes new ones; a click on a name or size label
// is handed to the owner, which defers it (the label is gone after the
// redraw that the click causes). A label lies over slices of its own and its
// neighbours, so it keeps nothing else for itself: hovering, hints and other
// buttons reach the pie under it, which knows the slice at each point.
#include <QLabel>
#include <functional>
#include <string>

#include "engine/StringList.h"
#include "views/pie/PieHitTest.h"

class TPieLabel : public QLabel {
    Q_OBJECT

  public:
    TPieLabel(int tag, QWidget* parent);

    // 0 the caption, r + 1 the name of entry r, r + 20 its size.
    int Tag() const { return tag_; }

    // Called when the label was clicked with the left button (pressed and
    // released on it), with the point of the release in the coordinates of
    // the label's parent, the pie control.
    std::function<void(TPieLabel*, QPoint)> OnClick;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int tag_;
    bool pressed_ = false;
};

// What the legend is made from: the drawing parameters' geometry and label
// radius, the caption text and the pie lists.
struct TPieLabelInput {
    TPieGeometry geometry;
    int labelRadius = 140;
    std::string caption;
    const TStringList* names = nullptr;
    const TStringList* percents = nullptr;
    const TStringList* sizes = nullptr;
    bool placeholder = false;
};

// Creates the caption and the legend labels on pie (CreateLBLSC). Nothing
// when the lists are empty or hold the placeholder. onClick is given to every
// name and size label, not to the caption.
void CreateLBLSC(QWidget* pie, const TPieLabelInput& input,
                 const std::function<void(TPieLabel*, QPoint)>& onClick);

// Removes every label of an earlier drawing from pie. A label whose click is
// being handled is deleted later, by the event loop.
void RemovePieLabels(QWidget* pie);

// The labels on pie, in creation order.
QList<TPieLabel*> PieLabels(QWidget* pie);
