#pragma once
// The pie as a finished picture: the supersampled bitmap drawn and shaded,
// then scaled with the Lanczos filter to the size of the pie control. The
// same steps serve the window, the tests and the command-line scanner.
#include <QImage>
#include <QSize>

#include "engine/StringList.h"
#include "views/common/Colors.h"
#include "views/pie/PieFileProbe.h"

class TGradientPattern;

// Gives a gradient the settings of the pie's shading source: reflected
// horizontal bands from black in the middle to white at the top and bottom.
void SetPieGradientProperties(TGradientPattern& gradient);

// The bitmap scaled to fit the control keeping its aspect ratio (Lanczos).
QImage ScalePieForDisplay(const QImage& bitmap, QSize controlSize);

// The shown pie for the pie lists at a zoom in percent (350 x 350 at 100 %),
// opaque RGB32, ready to be saved as PNG; a null picture when the lists are
// empty. `probe` answers for the slices' paths (null: all drawn as folders).
// Captions and legend labels are not part of the picture.
QImage RenderPiePicture(const TStringList& colors, const TStringList& percents,
                        const TStringList& names, const TStringList& paths, TColor otherColor,
                        int zoomPercent, const TPieFileProbe* probe);
