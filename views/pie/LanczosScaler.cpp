#include "views/pie/LanczosScaler.h"

#include <cstdint>
#include <stdexcept>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

// The channels are scaled as separate grey planes: that keeps swscale from
// passing RGB through a YUV representation, which would bleed colour across
// the slice edges and shift flat colours.

void TLanczosScaler::TSwsDeleter::operator()(SwsContext* context) const {
    sws_freeContext(context);
}

TLanczosScaler::TLanczosScaler() = default;
TLanczosScaler::~TLanczosScaler() = default;

void TLanczosScaler::Prepare(QSize from, QSize to) {
    if (context_ && from == from_ && to == to_) {
        return;
    }
    context_.reset(sws_getContext(from.width(), from.height(), AV_PIX_FMT_GRAY8, to.width(),
                                  to.height(), AV_PIX_FMT_GRAY8, SWS_LANCZOS | SWS_ACCURATE_RND,
                                  nullptr, nullptr, nullptr));
    if (!context_) {
        throw std::runtime_error("the Lanczos scaler cannot scale to this size");
    }
    from_ = from;
    to_ = to;
    for (int c = 0; c < 3; ++c) {
        in_[c].resize(static_cast<std::size_t>(from.width()) * from.height());
        out_[c].resize(static_cast<std::size_t>(to.width()) * to.height());
    }
}

QImage TLanczosScaler::Scale(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty()) {
        return {};
    }
    const QImage words =
        source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
            ? source
            : source.convertToFormat(QImage::Format_ARGB32);
    const int sw = words.width();
    const int sh = words.height();
    Prepare(words.size(), size);

    const std::uint8_t* bits = words.constBits();
    const qsizetype stride = words.bytesPerLine();
    for (int y = 0; y < sh; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(bits + y * stride);
        const std::size_t base = static_cast<std::size_t>(y) * sw;
        for (int x = 0; x < sw; ++x) {
            const std::uint32_t p = row[x];
            in_[0][base + x] = static_cast<std::uint8_t>(p >> 16);
            in_[1][base + x] = static_cast<std::uint8_t>(p >> 8);
            in_[2][base + x] = static_cast<std::uint8_t>(p);
        }
    }
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* src[4] = {in_[c].data(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {sw, 0, 0, 0};
        std::uint8_t* dst[4] = {out_[c].data(), nullptr, nullptr, nullptr};
        const int dstStride[4] = {size.width(), 0, 0, 0};
        sws_scale(context_.get(), src, srcStride, 0, sh, dst, dstStride);
    }

    // Reuses the last result's memory unless a caller still holds it (then
    // a fresh picture beats copying the old one only to overwrite it).
    if (result_.size() != size || !result_.isDetached()) {
        result_ = QImage(size, QImage::Format_RGB32);
    }
    std::uint8_t* outBits = result_.bits();
    const qsizetype outStride = result_.bytesPerLine();
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(outBits + y * outStride);
        const std::size_t base = static_cast<std::size_t>(y) * size.width();
        for (int x = 0; x < size.width(); ++x) {
            row[x] = 0xFF000000u | (std::uint32_t{out_[0][base + x]} << 16) |
                     (std::uint32_t{out_[1][base + x]} << 8) | out_[2][base + x];
        }
    }
    return result_;
}

QImage ScaleLanczos(const QImage& source, QSize size) {
    thread_local TLanczosScaler scaler;
    return scaler.Scale(source, size);
}

QSize FitKeepingAspect(QSize source, QSize box) {
    if (source.isEmpty() || box.isEmpty()) {
        return {};
    }
    return source.scaled(box, Qt::KeepAspectRatio);
}
