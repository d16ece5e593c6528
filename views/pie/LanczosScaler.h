#pragma once
// Scales a picture with a real Lanczos filter (libswscale), channel by
// channel, so colours pass unchanged where the picture is flat and edges stay
// sharp when the supersampled pie is shrunk for the screen.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

struct SwsContext;

// Keeps the filter and its working planes between calls, so redraws at the
// same zoom neither recompute the filter nor fault in fresh memory.
class TLanczosScaler {
  public:
    TLanczosScaler();
    ~TLanczosScaler();
    TLanczosScaler(const TLanczosScaler&) = delete;
    TLanczosScaler& operator=(const TLanczosScaler&) = delete;

    // `source` scaled to exactly `size`, as an opaque Format_RGB32 picture
    // (the source's alpha is ignored). A null picture when either is empty.
    QImage Scale(const QImage& source, QSize size);

  private:
    struct TSwsDeleter {
        void operator()(SwsContext* context) const;
    };

    void Prepare(QSize from, QSize to);

    std::unique_ptr<SwsContext, TSwsDeleter> context_;
    QSize from_;
    QSize to_;
    std::vector<std::uint8_t> in_[3];   // red, green, blue planes of the source
    std::vector<std::uint8_t> out_[3];  // the same, scaled
    QImage result_;
};

// Scales with one scaler per thread (see TLanczosScaler::Scale).
QImage ScaleLanczos(const QImage& source, QSize size);

// The size that fits `source` into `box` keeping its aspect ratio.
QSize FitKeepingAspect(QSize source, QSize box);
