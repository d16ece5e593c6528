#pragma once
// The two light effects that shade the flat pie. Both work on the rows of the
// 32-bit pie bitmap (ARGB32), change only pixels inside a circle computed row
// by row, and make every pixel they change opaque.
#include <QImage>
#include <cstdint>

// Values above 255 become 255, below 0 become 0.
std::uint8_t Clamp(int value);

// Brightens the disc of radius `radius` centred on the pie area (the bitmap
// less the margins) by the grey gradient image, stretched over that area.
// The gradient is 24 bits per pixel (bytes blue, green, red); its bytes pair
// with red, green and blue of the pie in their raw order. Nothing happens
// when either picture is empty.
void GradientOverlay(QImage& target, const QImage& gradient, int marginX, int marginY, int radius);

// Lightens by `amount` (any sign, not limited) the disc of radius `radius`
// about (H div 2, H div 2), one pixel wider on each side; amount 0 does
// nothing.
void CentreLight(QImage& target, int amount, int radius);
