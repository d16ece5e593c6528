#pragma once
// Drawing the pie: the slices of the pie lists drawn in bevel passes at three
// times the display size into the 32-bit bitmap (ARGB32), each slice filled
// by what it stands for (folder, ordinary file, special file, remainder),
// then shaded. Angles are degrees, 0 at nine o'clock, growing
// counterclockwise on the screen (90 points down).
#include <QBrush>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <string>

#include "engine/StringList.h"
#include "views/common/Colors.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/PieFileProbe.h"

class QPainter;

// One slice on one bevel pass: its square, its angles and its colour.
struct TPiePiece {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    float StartAngle = 0.0f;
    float EndAngle = 0.0f;
    TColor Color = clBlack;
};

// What the final pass asks about each slice's path: the pie paths list and
// the file system. Without a probe every slice is filled as a folder.
struct TPieFiles {
    const TStringList* Paths = nullptr;
    const TPieFileProbe* Probe = nullptr;
};

// End point of the radial for `angle` on the circle inscribed in the square
// of side `side` at (left, top).
QPoint PieRadialEnd(float angle, int left, int top, int side);

// The pie lists hold something to draw (colours, percents and names).
bool PieOK(const TDrawDataPie& data);

// Sizes the bitmap to the pie plus its margins and clears it to white
// (0x00FFFFFF).
void BeforePieDraw(TDrawDataPie& data);

// Draws every slice and the remainder in the bevel passes. Sets
// AngleOverflow when the slices add up past 362 degrees. A malformed percent
// or colour text throws EConvertError.
void DrawBeveledPie(TDrawDataPie& data, int bitmapDiameter, const TPieFiles& files);

// Draws one piece, choosing the fill by the slice's kind on the final pass.
// Leaves the canvas brush empty.
void DrawPiePiece(QPainter& canvas, const TPiePiece& piece, const TDrawDataPie& data,
                  const TPieFiles& files);

// Folders, earlier passes, the remainder: solid in the slice colour.
void DrawOrdFolderPiePiece(QPainter& canvas, const TPiePiece& piece);
// Plain files: solid, then a white outline and white 45-degree cross-hatch.
void DrawOrdFilePiePiece(QPainter& canvas, const TPiePiece& piece);
// Special files: outline in the slice colour, inside tiled with `tile`.
void DrawNotOrdFileFolderPiePiece(QPainter& canvas, const TPiePiece& piece, const QImage& tile);

// The logo of a special file: -1, then system 0, temporary 5, read-only 3
// (attribute or listing), compressed 1, each later rule winning.
int LogoIMGInd(const std::string& path, const TPieFileProbe& probe);

// The tile of a logo: a white square of side Trunc(30 * factor) with the
// logo stretched into it, a sixth of the side left white around it. Index -1
// gives a white tile.
QImage ChooseBrushImage(int logoIndex, float factor);

// A brush that tiles `tile` from the bitmap's origin.
QBrush BitmapBrush(const QImage& tile);

// The whole bitmap: clear, slices, gradient overlay, centre light. Returns
// the size the pie control takes (D plus the margins), or an invalid size
// when the lists are empty (nothing drawn).
QSize DrawPie(TDrawDataPie& data, const TPieFiles& files);
