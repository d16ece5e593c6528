#pragma once
// Replaces a file as a whole: the new content goes to a temporary file in the
// same folder, is flushed to the disk and only then renamed over the old
// file. A save that fails or is interrupted leaves the earlier file intact.
#include <string>
#include <string_view>

class TAtomicFile {
  public:
    // The file to replace; nothing happens on disk before Open.
    explicit TAtomicFile(std::string path);
    // Removes the temporary file unless Commit has renamed it.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file, mode 0600, beside the target.
    bool Open();
    // Appends bytes (buffered); false once anything has failed.
    bool Write(std::string_view bytes);
    // Writes out the buffer, flushes the file to the disk and closes it.
    bool Finish();
    // Renames the finished temporary file over the target.
    bool Commit();

    const std::string& Path() const { return path_; }
    const std::string& TempPath() const { return tempPath_; }

  private:
    bool Flush();
    void Discard();

    std::string path_;
    std::string tempPath_;
    std::string buffer_;
    int fd_ = -1;
    bool failed_ = false;
    bool finished_ = false;
    bool committed_ = false;
};

// Open, Write, Finish and Commit in one step.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
