#pragma once
// Which pie entry lies under a point of the pie control. The test looks only
// at the direction from the pie's centre, so a click anywhere on the control,
// inside or outside the disc, picks the slice in that direction.
#include <string>
#include <string_view>

#include "engine/StringList.h"

// Where the pie sits on its control: its diameter D and the margins around it.
struct TPieGeometry {
    int D = 250;
    int leftMargin = 50;
    int topMargin = 50;

    int CentreX() const { return D / 2 + leftMargin; }
    int CentreY() const { return D / 2 + topMargin; }
};

// The sweep of one slice in degrees, from its percent text, in single
// precision as the drawing computes it. A malformed text throws EConvertError.
float PieSweep(std::string_view percentText);

// The whole-degree direction (0..360, 0 at nine o'clock, counterclockwise on
// the screen) whose sample point on the circle of radius D lies closest to
// (x, y), that is the nearest whole degree; on equal distances the smaller
// angle wins, so the centre gives 0.
int PieDirection(int x, int y, const TPieGeometry& geometry);

// Index of the pie entry under (x, y): a slice 1..n-1, 0 when the pie holds
// only the current folder's own entry, -1 over the remainder or when
// listsEmpty (global or pie lists empty).
int ClickedPiece(int x, int y, const TPieGeometry& geometry, const TStringList& percents,
                 bool listsEmpty);
