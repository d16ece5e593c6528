#pragma once
// The treemap panel of the main window: a dock at the window's right,
// beside the bar list, holding the treemap view; the user makes it wider or
// narrower by its edge, or floats it. Its View menu item is off at every
// start, so that the window without it is the window as ever.
#include <QDockWidget>

class QAction;
class TTreemapView;

class TTreemapPanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit TTreemapPanel(QWidget* parent = nullptr);

    // The View menu's "Treemap" item, checkable.
    QAction* miTreemap() const { return miTreemap_; }
    TTreemapView* View() const { return view_; }

  private:
    QAction* miTreemap_ = nullptr;
    TTreemapView* view_ = nullptr;
};
