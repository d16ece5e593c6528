#pragma once
// The refresh of the two views of the current folder after a navigation, a
// finished scan or "New colors": rebuilds the bar rows and the pie lists and
// lets the main window refill its controls through the hooks it fills in.
// Without hooks it is a plain data refresh, as the tests and benchmarks use it.
#include <functional>

#include "views/common/Colors.h"

class TBarData;
class TPieData;
class TResultStore;

class TViewRefresh {
  public:
    TViewRefresh(const TResultStore& store, TBarData& barData, TPieData& pieData);

    // Hooks of the main window; every one may stay empty.
    std::function<void(TColor)> SetPieBackground;  // the pie holder's background
    std::function<void()> BarToBarlv;              // refill the bar list from the bar lists
    std::function<bool()> PieVisible;              // empty means visible
    // Redraws the pie; its drawing rebuilds the pie lists first. Empty means
    // CreatePieData alone.
    std::function<void()> DrawPieMain;

    // Nothing while the global lists are empty; otherwise new colours from
    // the clock, then UpdateBar and UpdatePie.
    void UpdateBarPie();
    // Marks the folder changed, rebuilds the bar rows, refills the bar list.
    void UpdateBar();
    // When the pie is visible: marks the folder changed and redraws it.
    void UpdatePie();

  private:
    const TResultStore& store_;
    TBarData& barData_;
    TPieData& pieData_;
};
