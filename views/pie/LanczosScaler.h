#pragma once
// Scales a picture with a real Lanczos filter (libswscale), channel by
// channel, so colours pass unchanged where the picture is flat and edges stay
// sharp when the supersampled pie is shrunk for the screen.
#include <QImage>
#include <QSize>

// `source` scaled to exactly `size`, as an opaque Format_RGB32 picture (the
// source's alpha is ignored). A null picture when either is empty.
QImage ScaleLanczos(const QImage& source, QSize size);

// The size that fits `source` into `box` keeping its aspect ratio.
QSize FitKeepingAspect(QSize source, QSize box);
