#pragma once
// Draws laid-out treemap tiles as cushions: every tile is a bump whose
// surface adds a ridge per level (lower with each level, so a folder's
// tiles stand on its own bump), lit from the top left. Each pixel is drawn
// once: the tiles without children are filled, a folder with children gets
// its one-pixel frame in a darker tone, and the areas where too small
// items are merged take their folder's colour and surface.
#include <QColor>
#include <QImage>
#include <functional>

#include "views/treemap/TreemapLayout.h"

// The colour of a tile before shading.
using TTileColour = std::function<QRgb(const TTreemapTile& tile)>;

// The picture of layout (its size, opaque RGB32); a null picture for an
// empty size.
QImage RenderTreemap(const TTreemapLayout& layout, const TTileColour& colour);

// The light on a surface of slopes (dx, dy), 0 to 1: ambient light and the
// light from the top left; exposed for the tests of its direction.
double CushionLight(double dx, double dy);
