#pragma once
// The glyphs of the pie's button strip, drawn by the program so that they
// look the same with or without an icon theme.
#include <QIcon>

QIcon ZoomInGlyph();
QIcon ZoomOutGlyph();
QIcon NewColorsGlyph();
