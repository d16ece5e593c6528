#include "engine/ExportInput.h"

#include <zstd.h>

#include <cstring>

namespace {
constexpr std::size_t kPiece = 1 << 18;
constexpr unsigned char kZstdMagic[4] = {0x28, 0xB5, 0x2F, 0xFD};
}  // namespace

TExportInput::TExportInput() = default;

TExportInput::~TExportInput() {
    if (zstd_ != nullptr)
        ZSTD_freeDCtx(zstd_);
}

bool TExportInput::Open(const std::string& path, std::string& error) {
    path_ = path;
    file_.setFileName(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file_.open(QIODevice::ReadOnly)) {
        error = path + ": " + file_.errorString().toStdString();
        return false;
    }
    return Start(error);
}

bool TExportInput::Open(TByteSource& raw, const std::string& name, std::string& error) {
    path_ = name;
    source_ = &raw;
    return Start(error);
}

bool TExportInput::Start(std::string& error) {
    raw_.resize(kPiece);
    if (!ReadRaw(error))
        return false;
    if (rawEnd_ >= sizeof kZstdMagic && std::memcmp(raw_.data(), kZstdMagic, 4) == 0) {
        zstd_ = ZSTD_createDCtx();
        plain_.resize(ZSTD_DStreamOutSize());
    }
    return true;
}

bool TExportInput::ReadRaw(std::string& error) {
    if (source_ != nullptr) {
        // A stream's first piece may be shorter than the magic; later
        // pieces go through as they come.
        std::size_t filled = 0;
        do {
            std::string_view piece;
            if (!source_->Next(piece, error)) {
                error = path_ + ": " + error;
                return false;
            }
            if (piece.empty())
                break;
            if (filled + piece.size() > raw_.size())
                raw_.resize(filled + piece.size());
            std::memcpy(raw_.data() + filled, piece.data(), piece.size());
            filled += piece.size();
        } while (filled < sizeof kZstdMagic);
        rawPos_ = 0;
        rawEnd_ = filled;
        fileEnd_ = filled == 0;
        return true;
    }
    const qint64 got = file_.read(raw_.data(), static_cast<qint64>(raw_.size()));
    if (got < 0) {
        error = path_ + ": " + file_.errorString().toStdString();
        return false;
    }
    rawPos_ = 0;
    rawEnd_ = static_cast<std::size_t>(got);
    fileEnd_ = got == 0;
    return true;
}

bool TExportInput::Next(std::string_view& bytes, std::string& error) {
    if (zstd_ != nullptr)
        return NextCompressed(bytes, error);
    if (rawPos_ == rawEnd_ && !ReadRaw(error))
        return false;
    bytes = std::string_view(raw_.data() + rawPos_, rawEnd_ - rawPos_);
    rawPos_ = rawEnd_;
    return true;
}

bool TExportInput::NextCompressed(std::string_view& bytes, std::string& error) {
    for (;;) {
        if (rawPos_ == rawEnd_ && !fileEnd_ && !ReadRaw(error))
            return false;
        // Called with no new input too: output held back for lack of room
        // comes out first.
        ZSTD_inBuffer in{raw_.data(), rawEnd_, rawPos_};
        ZSTD_outBuffer out{plain_.data(), plain_.size(), 0};
        const std::size_t rc = ZSTD_decompressStream(zstd_, &out, &in);
        const bool moved = in.pos != rawPos_ || out.pos > 0;
        rawPos_ = in.pos;
        if (ZSTD_isError(rc)) {
            error = path_ + ": damaged compressed data (" + ZSTD_getErrorName(rc) + ")";
            return false;
        }
        // A call that takes and gives nothing after a frame has ended says
        // how much a next frame's header would need: no frame is open.
        if (moved)
            frameOpen_ = rc != 0;
        if (out.pos > 0) {
            bytes = std::string_view(plain_.data(), out.pos);
            return true;
        }
        if (rawPos_ == rawEnd_ && fileEnd_) {
            if (frameOpen_) {
                error = path_ + ": the compressed data ends early (truncated file)";
                return false;
            }
            bytes = {};
            return true;
        }
    }
}
