#pragma once
// The pie's zoom: a percentage that sets the pie's diameter. It moves in steps
// of 20 and stays within 20..300, so the diameter runs from 50 to 750 pixels.

constexpr int kPieZoomStart = 100;
constexpr int kPieZoomStep = 20;
constexpr int kPieZoomMin = 20;
constexpr int kPieZoomMax = 300;

// zoom limited to 20..300.
int RangeZoom(int zoom);

// One step in or out, limited; zooming at a limit keeps the zoom.
int ZoomedIn(int zoom);
int ZoomedOut(int zoom);
