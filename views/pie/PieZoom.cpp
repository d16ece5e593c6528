#include "views/pie/PieZoom.h"

#include <algorithm>

int RangeZoom(int zoom) {
    return std::clamp(zoom, kPieZoomMin, kPieZoomMax);
}

int ZoomedIn(int zoom) {
    return RangeZoom(zoom + kPieZoomStep);
}

int ZoomedOut(int zoom) {
    return RangeZoom(zoom - kPieZoomStep);
}
