#pragma once
// The colours of treemap tiles before shading: every tile takes the colour
// of the bar-list row it lies in, so a glance pairs the picture with the
// list; files are drawn lighter than folders, a folder's own files lighter
// still, and the current folder's merged area grey. While the change view
// compares with kept results, a folder that grew is tinted red and one
// that shrank green, the more the larger its change is against its size.
#include <QColor>

struct TResultChanges;
struct TTreemapTile;
class TTreemapSource;

QRgb TreemapTileColour(const TTreemapSource& source, const TTreemapTile& tile,
                       const TResultChanges* changes = nullptr);
