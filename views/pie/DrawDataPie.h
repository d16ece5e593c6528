#pragma once
// The pie's drawing parameters: one record held by the main window, reset to
// its defaults before every redraw and handed to the drawing steps.
#include <QImage>
#include <cstdint>
#include <string>

#include "engine/StringList.h"
#include "views/common/Colors.h"

class TGradientPattern;

struct TDrawDataPie {
    QImage* Image = nullptr;  // the pie's 32-bit bitmap (ARGB32)
    std::int32_t D = 250;     // pie diameter on screen
    std::int32_t LeftMargin = 50;
    std::int32_t TopMargin = 50;
    std::int32_t BevelDepth = 3;
    std::int32_t FontSize = 7;  // kept for the labels
    std::int32_t LabelRadius = 140;
    bool UniformBevel = true;
    const TGradientPattern* Gradient = nullptr;  // the shading source (PieGradient)
    std::int32_t LightnessStep = 10;
    std::int32_t InsetPerPass = 1;
    const TStringList* Colors = nullptr;    // the pie colours list
    const TStringList* Percents = nullptr;  // the pie percents list
    const TStringList* Names = nullptr;     // the pie names list
    std::string Caption;                    // the current folder's total, "12.3 GB"
    std::string FontName = "Tahoma";
    float Supersampling = 3.0f;
    TColor OtherColor = clGray;     // the remainder's colour, chosen by the pie data
    std::string HoveredPath;        // last path shown in the hover hint
    std::int32_t CurrentSlice = 0;  // the slice being drawn
    bool FinalPassSlice = false;    // last bevel pass, not the remainder
    bool AngleOverflow = false;     // slice angles added up past 362 degrees
};

// The pie diameter for a zoom in percent: Trunc(zoom / 100 * 250).
std::int32_t PieDiameterForZoom(int zoomPercent);

// The pie's diameter in bitmap pixels: Trunc(D * supersampling).
std::int32_t PieBitmapDiameter(const TDrawDataPie& data);

// Writes the defaults of every field except OtherColor and HoveredPath, which
// outlive a redraw; the image, gradient and lists are the window's own.
void DefaultPieData(TDrawDataPie& data, int zoomPercent, QImage* image,
                    const TGradientPattern* gradient, const TStringList* colors,
                    const TStringList* percents, const TStringList* names);
