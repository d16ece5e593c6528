#pragma once
// What the window's Discover panel is given: the largest files and file
// types of the drive or opened scan shown (or why they are not known), and
// the file types of the kept results the change view compares with, so
// that the panel can tell which types are new.
class TChangeView;
class TDiscoverPanel;
class TOpenedScan;
class TResultStore;

class TDiscoverFeed {
  public:
    TDiscoverFeed(TDiscoverPanel& panel, const TResultStore& store, const TChangeView& changes);

    // The data of the opened scan, or of the store's drive when opened is null.
    void ShowData(const TOpenedScan* opened);
    // The kept results' types while the change view is on and a drive is
    // shown; nothing is done while the comparison stays the same one.
    void ShowKept(bool opened);

  private:
    TDiscoverPanel& panel_;
    const TResultStore& store_;
    const TChangeView& changes_;
    const void* kept_ = nullptr;  // the comparison the panel's types follow
};
