#include "views/pie/LanczosScaler.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace {

struct TSwsDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
using TSwsContext = std::unique_ptr<SwsContext, TSwsDeleter>;

// One 8-bit plane per channel. Scaling the planes as grey pictures keeps
// swscale from passing RGB through a YUV representation, which would bleed
// colour across the slice edges and shift flat colours.
struct TPlanes {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Channel[3];  // red, green, blue

    TPlanes(int width, int height) : Width(width), Height(height) {
        for (auto& c : Channel) {
            c.resize(static_cast<std::size_t>(width) * height);
        }
    }
};

TPlanes SplitChannels(const QImage& image) {
    TPlanes planes(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        const std::size_t base = static_cast<std::size_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = row[x];
            planes.Channel[0][base + x] = static_cast<std::uint8_t>(p >> 16);
            planes.Channel[1][base + x] = static_cast<std::uint8_t>(p >> 8);
            planes.Channel[2][base + x] = static_cast<std::uint8_t>(p);
        }
    }
    return planes;
}

QImage JoinChannels(const TPlanes& planes) {
    QImage image(planes.Width, planes.Height, QImage::Format_RGB32);
    for (int y = 0; y < planes.Height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::size_t base = static_cast<std::size_t>(y) * planes.Width;
        for (int x = 0; x < planes.Width; ++x) {
            row[x] = 0xFF000000u | (std::uint32_t{planes.Channel[0][base + x]} << 16) |
                     (std::uint32_t{planes.Channel[1][base + x]} << 8) |
                     planes.Channel[2][base + x];
        }
    }
    return image;
}

}  // namespace

QImage ScaleLanczos(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty()) {
        return {};
    }
    const QImage words =
        source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
            ? source
            : source.convertToFormat(QImage::Format_ARGB32);
    TSwsContext context(sws_getContext(words.width(), words.height(), AV_PIX_FMT_GRAY8,
                                       size.width(), size.height(), AV_PIX_FMT_GRAY8,
                                       SWS_LANCZOS | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!context) {
        throw std::runtime_error("the Lanczos scaler cannot scale to this size");
    }
    const TPlanes in = SplitChannels(words);
    TPlanes out(size.width(), size.height());
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* src[4] = {in.Channel[c].data(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {in.Width, 0, 0, 0};
        std::uint8_t* dst[4] = {out.Channel[c].data(), nullptr, nullptr, nullptr};
        const int dstStride[4] = {out.Width, 0, 0, 0};
        sws_scale(context.get(), src, srcStride, 0, in.Height, dst, dstStride);
    }
    return JoinChannels(out);
}

QSize FitKeepingAspect(QSize source, QSize box) {
    if (source.isEmpty() || box.isEmpty()) {
        return {};
    }
    return source.scaled(box, Qt::KeepAspectRatio);
}
