#include "engine/ExportOutput.h"

#include <zstd.h>

#include <QFile>
#include <algorithm>

namespace {
constexpr std::size_t kBuffer = 1 << 18;
// zstd's default level: several times faster than the walk that feeds it.
constexpr int kZstdLevel = 3;

bool EndsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

TExportOutput::TExportOutput() = default;

TExportOutput::~TExportOutput() {
    if (zstd_ != nullptr)
        ZSTD_freeCCtx(zstd_);
    // Without a commit QSaveFile throws the temporary file away.
}

bool TExportOutput::Open(const std::string& path, std::string& error, bool compress) {
    path_ = path;
    if (path == "-") {
        path_ = "standard output";
        // Unbuffered: every piece goes out when it is written.
        if (!stdout_.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            error = path_ + ": " + stdout_.errorString().toStdString();
            return false;
        }
        device_ = &stdout_;
    } else {
        file_.setFileName(QFile::decodeName(QByteArray::fromStdString(path)));
        if (!file_.open(QIODevice::WriteOnly)) {
            error = path + ": " + file_.errorString().toStdString();
            return false;
        }
        device_ = &file_;
    }
    if (compress || EndsWith(path, ".zst")) {
        zstd_ = ZSTD_createCCtx();
        ZSTD_CCtx_setParameter(zstd_, ZSTD_c_compressionLevel, kZstdLevel);
        packed_.resize(ZSTD_CStreamOutSize());
    }
    buffer_.reserve(kBuffer);
    return true;
}

void TExportOutput::Write(std::string_view bytes) {
    // Handed on in pieces of one size whatever the writes were, so that
    // the compressed bytes depend on the text alone.
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), kBuffer - buffer_.size());
        buffer_.append(bytes.data(), take);
        bytes.remove_prefix(take);
        if (buffer_.size() == kBuffer)
            Flush(false);
    }
}

void TExportOutput::Put(const char* data, std::size_t size) {
    if (!failed_ && device_->write(data, static_cast<qint64>(size)) != static_cast<qint64>(size))
        failed_ = true;
}

void TExportOutput::Flush(bool last) {
    if (zstd_ == nullptr) {
        Put(buffer_.data(), buffer_.size());
        buffer_.clear();
        return;
    }
    ZSTD_inBuffer in{buffer_.data(), buffer_.size(), 0};
    // On standard output every piece is flushed through the compressor, so
    // that a reader gets it now and not when zstd's window fills.
    const bool flush = last || device_ == &stdout_;
    const ZSTD_EndDirective mode =
        last ? ZSTD_e_end : (device_ == &stdout_ ? ZSTD_e_flush : ZSTD_e_continue);
    for (;;) {
        ZSTD_outBuffer out{packed_.data(), packed_.size(), 0};
        const std::size_t left = ZSTD_compressStream2(zstd_, &out, &in, mode);
        if (ZSTD_isError(left)) {
            failed_ = true;
            break;
        }
        Put(packed_.data(), out.pos);
        const bool done = flush ? left == 0 : in.pos == in.size;
        if (done)
            break;
    }
    buffer_.clear();
}

bool TExportOutput::Commit(std::string& error) {
    Flush(true);
    if (device_ == &stdout_) {
        if (failed_)
            error = path_ + ": " + stdout_.errorString().toStdString();
        return !failed_;
    }
    if (failed_)
        file_.cancelWriting();
    if (failed_ || !file_.commit()) {
        const QString why = file_.errorString();
        error = path_ + ": " +
                (why.isEmpty() ? std::string("cannot write the file") : why.toStdString());
        return false;
    }
    return true;
}
