#pragma once
// The picture of the pie for the holder, from the pie lists at a zoom.
#include <QImage>

#include "views/pie/PieHitTest.h"

class TPieData;
class TShellListModel;

// The label radius of the drawing parameters' defaults.
int PieLabelRadius();

// Diameter Trunc(zoom / 100 * 250) and the default margins around it.
TPieGeometry PieGeometryForZoom(int zoom);

// The radius in control pixels at which the disc shows: the bitmap, drawn
// supersampled with unscaled margins, is fitted to the control.
double PieShownRadius(int zoom);

// The lists can be drawn (none of them is empty).
bool PieDrawable(const TPieData& data);

// The pie for a control of 2 * margin + D pixels square, scaled for the
// screen's device pixel ratio so that it stays sharp at 200 %. Null when the
// lists are empty.
QImage DrawPieImage(const TPieData& data, int zoom, const TShellListModel* bar,
                    qreal devicePixelRatio);
