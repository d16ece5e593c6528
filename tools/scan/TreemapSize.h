#pragma once
// The size of the treemap picture the scanner draws (--size WxH). Apart
// from the drawing so that the options are read without the GUI libraries.
#include <QSize>
#include <string>

// The picture's size when none is asked for, and the limits of a side.
constexpr int kScanTreemapWidth = 800;
constexpr int kScanTreemapHeight = 600;
constexpr int kScanTreemapMinSide = 16;
constexpr int kScanTreemapMaxSide = 8192;

// Reads "WxH" (each side kScanTreemapMinSide to kScanTreemapMaxSide); false
// for anything else.
bool ParseTreemapSize(const std::string& text, QSize& size);
