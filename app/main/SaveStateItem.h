#pragma once
// What the tool bar says of a scan's save: that it runs, with a busy
// indicator, or that the results shown are not stored. One tool bar item,
// left of the path, made when first there is something to say; it gives up
// room first, so a long path or note never pushes it out of sight. Its
// parts come and go inside it.
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;
class QToolBar;
class QWidget;

class TSaveStateItem {
  public:
    // The item goes into bar, left of the widget before.
    TSaveStateItem(QToolBar& bar, QWidget* before);

    // Text (empty: nothing to say) with the tip read only for a text; the
    // busy indicator while saving.
    void Show(const QString& text, const std::function<QString()>& tip, bool saving);
    // Null until first made.
    QLabel* Label() const { return label_; }
    QProgressBar* Busy() const { return busy_; }

  private:
    void Make();

    QToolBar& bar_;
    QWidget* before_;
    QLabel* label_ = nullptr;
    QProgressBar* busy_ = nullptr;
};
