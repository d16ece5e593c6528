#pragma once
// An export file written as a byte stream: plain, or compressed with zstd
// when its name ends in ".zst" or when asked. Nothing appears under the
// file's name until Commit: an export that fails or is abandoned leaves no
// half-written file and keeps an older file of that name whole. The name
// "-" is standard output, written piece by piece as the export goes (a
// reader at the other end of a pipe or of ssh sees it arrive).
#include <QFile>
#include <QSaveFile>
#include <string>
#include <string_view>
#include <vector>

struct ZSTD_CCtx_s;

class TExportOutput {
  public:
    TExportOutput();
    ~TExportOutput();
    TExportOutput(const TExportOutput&) = delete;
    TExportOutput& operator=(const TExportOutput&) = delete;

    // Compress: zstd whatever the name (a ".zst" name compresses anyway).
    bool Open(const std::string& path, std::string& error, bool compress = false);
    void Write(std::string_view bytes);
    // Writes what is buffered, ends the compressed stream and puts the file
    // in place. False with a message when any write failed.
    bool Commit(std::string& error);
    bool Compressed() const { return zstd_ != nullptr; }

  private:
    void Flush(bool last);
    void Put(const char* data, std::size_t size);

    QSaveFile file_;
    QFile stdout_;
    QIODevice* device_ = nullptr;  // file_ or stdout_
    std::string path_;
    std::string buffer_;
    std::vector<char> packed_;
    ZSTD_CCtx_s* zstd_ = nullptr;
    bool failed_ = false;
};
