#pragma once
// The `Logos` image list: seven 30 x 30 pictures on white that mark the pie
// slices of special files. Drawn by views/pie/logos/make_logos.py.
#include <QImage>
#include <vector>

constexpr int kLogoSize = 30;
constexpr int kLogoCount = 7;
constexpr int kLogoSystem = 0;      // a four-colour gear
constexpr int kLogoCompressed = 1;  // a zipped folder
constexpr int kLogoReadOnly = 3;    // a red prohibition sign
constexpr int kLogoTemporary = 5;   // an outlined empty folder

// The seven logos in index order, 30 x 30, 24 bits; loaded once.
const std::vector<QImage>& Logos();
