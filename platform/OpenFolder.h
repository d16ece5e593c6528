#pragma once
// An open folder kept after its listing has been read, so that folders
// inside it can be opened by name alone. Shared by whoever still has names
// to open in it; closed when the last owner lets go.
class TOpenFolder {
  public:
    // Takes ownership of Fd (closed on destruction; -1 holds nothing).
    explicit TOpenFolder(int fd) : fd_(fd) {}
    ~TOpenFolder();
    TOpenFolder(const TOpenFolder&) = delete;
    TOpenFolder& operator=(const TOpenFolder&) = delete;

    int Fd() const { return fd_; }

  private:
    int fd_;
};

// Opens a folder by a native path of any length: a path too long for one
// open is resolved in pieces, each from the folder the previous piece
// reached, following links on the way exactly as one open would. Flags as
// for openat (the last name gets them all). -1 with errno on failure.
int OpenFolderPath(int dirFd, const char* path, int flags);
