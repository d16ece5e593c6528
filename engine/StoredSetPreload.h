#pragma once
// The stored set of a drive read on a thread of its own, so that it loads
// while the program has nothing else to do (behind the start-up picture)
// and is ready when the window asks for it.
#include <memory>
#include <string>
#include <string_view>
#include <thread>

class TResultStore;

class TStoredSetPreload {
  public:
    // Starts reading the set of path's drive in dataFolder.
    TStoredSetPreload(const std::string& dataFolder, std::string_view path);
    // Waits for the read.
    ~TStoredSetPreload();
    TStoredSetPreload(const TStoredSetPreload&) = delete;
    TStoredSetPreload& operator=(const TStoredSetPreload&) = delete;

    // Waits for the read and gives the store it loaded into; Loaded tells
    // whether the set loaded.
    TResultStore& Store();
    bool Loaded();

  private:
    void Wait();

    std::unique_ptr<TResultStore> store_;
    bool loaded_ = false;
    std::thread thread_;
};
