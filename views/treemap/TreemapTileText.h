#pragma once
// What a treemap tile says of itself: the path it stands for, its name, and
// the hint and spoken text made of them (path or name, size in MB, share of
// the current folder), the same numbers the bar list shows for its rows.
#include <QString>
#include <cstdint>
#include <string>

struct TTreemapTile;
class TTreemapSource;

// The drive-form path of the tile's item; for the files of a folder not
// known one by one, the folder's path.
std::string TilePath(const TTreemapSource& source, const TTreemapTile& tile);
// The name the user reads: the last part of the path, "Files" for a
// folder's files.
QString TileName(const TTreemapSource& source, const TTreemapTile& tile);
// The share of the current folder in percent, one decimal ("12.5").
QString TileShare(const TTreemapSource& source, const TTreemapTile& tile);
// "path\nSize: 12.5 MB\nShare: 3.1 %", of a folder's own files
// "Files in path\n...".
QString TileHint(const TTreemapSource& source, const TTreemapTile& tile);
// Whether the tile can be entered (a stored folder) or opened (a file).
bool TileIsFolder(const TTreemapTile& tile);
