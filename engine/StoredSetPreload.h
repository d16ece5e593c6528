#pragma once
// The stored set of a drive read on a thread of its own, so that it loads
// while the program has nothing else to do (behind the start-up picture)
// and is ready when the window asks for it. It knows no store: it hands over
// the set it read with its origin (StoredSetLoad.h), which a store takes
// when the set on disk is still that one.
#include <string>
#include <string_view>
#include <thread>

#include "engine/StoredSetLoad.h"

class TStoredSetPreload {
  public:
    // Starts reading the set of path's drive in dataFolder.
    TStoredSetPreload(const std::string& dataFolder, std::string_view path);
    // Waits for the read.
    ~TStoredSetPreload();
    TStoredSetPreload(const TStoredSetPreload&) = delete;
    TStoredSetPreload& operator=(const TStoredSetPreload&) = delete;

    // Waits for the read; the set it loaded (to be moved from), or null
    // when it did not load.
    TLoadedSet* Loaded();

  private:
    void Wait();

    TLoadedSet loaded_;
    bool ok_ = false;
    std::thread thread_;
};
