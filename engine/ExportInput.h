#pragma once
// An export file read as a byte stream: plain, or compressed with zstd
// (recognised by its magic bytes, whatever the file is called). The bytes
// come from a file or from another source (a stream from ssh).
#include <QFile>
#include <memory>
#include <vector>

#include "engine/ByteSource.h"

struct ZSTD_DCtx_s;

class TExportInput : public TByteSource {
  public:
    TExportInput();
    ~TExportInput() override;
    TExportInput(const TExportInput&) = delete;
    TExportInput& operator=(const TExportInput&) = delete;

    // False with a message when the file cannot be opened.
    bool Open(const std::string& path, std::string& error);
    // Reads Raw, named Name in messages; Raw outlives this reader.
    bool Open(TByteSource& raw, const std::string& name, std::string& error);
    bool Next(std::string_view& bytes, std::string& error) override;
    bool Compressed() const { return zstd_ != nullptr; }

  private:
    bool ReadRaw(std::string& error);
    bool Start(std::string& error);
    bool NextCompressed(std::string_view& bytes, std::string& error);

    QFile file_;
    TByteSource* source_ = nullptr;  // instead of the file
    std::string path_;
    std::vector<char> raw_;  // bytes read from the file
    std::size_t rawPos_ = 0, rawEnd_ = 0;
    bool fileEnd_ = false;
    std::vector<char> plain_;  // decompressed bytes
    ZSTD_DCtx_s* zstd_ = nullptr;
    bool frameOpen_ = false;  // a zstd frame has begun and not ended
};
