#pragma once

#include <QImage>

namespace cq::app {

// The program's icon, drawn at any size: a shaded pie on a cobalt tile.
// Transparent outside the tile's rounded corners.
QImage ProgramIconImage(int size);

}  // namespace cq::app
