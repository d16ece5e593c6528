#pragma once
// A lock on the data folder for the time of one save (exclusive) or one load
// (shared), taken with flock on the folder itself. The window and the
// command-line scanner may save the same drive at the same time: the lock
// keeps one save's files from being mixed with another's, keeps a load from
// reading a set while it is replaced, and lets a save remove the temporary
// files that killed saves left behind without touching a live save's.
#include <string>

class TDataFolderLock {
  public:
    enum class TMode { Shared, Exclusive };

    // Waits for the lock; Locked() tells whether it was taken.
    TDataFolderLock(const std::string& folder, TMode mode);
    ~TDataFolderLock();
    TDataFolderLock(const TDataFolderLock&) = delete;
    TDataFolderLock& operator=(const TDataFolderLock&) = delete;

    bool Locked() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};
