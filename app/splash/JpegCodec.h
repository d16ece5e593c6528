#pragma once

#include <QByteArray>
#include <QImage>

namespace cq::app {

// JPEG through libjpeg itself. Damaged data never ends the process (the
// library's default error handler would call exit()): it gives a null image.
QImage DecodeJpeg(const QByteArray& data);

// Baseline JPEG of an image, quality 1..100; empty on failure.
QByteArray EncodeJpeg(const QImage& image, int quality);

}  // namespace cq::app
