#pragma once
// Where the pie's legend goes: one name label per slice in the slice's
// direction, a size label under it, and an "Other" label for the remainder.
// Pure geometry and text, so the rules hold the same in the window and in
// tests; the label widgets themselves are made by PieLabelWidgets.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "engine/StringList.h"
#include "views/pie/PieHitTest.h"

// Tags that identify the labels on the pie control.
constexpr int kCaptionTag = 0;
inline int NameLabelTag(int entry) {
    return entry + 1;
}
inline int SizeLabelTag(int entry) {
    return entry + 20;
}

// Sizes and fonts of the labels.
constexpr int kCaptionWidth = 40;
constexpr int kNameLabelWidth = 65;
constexpr int kNameLabelHeight = 17;
constexpr int kCaptionPointSize = 8;
constexpr int kLegendPointSize = 7;
// ChangeLightness of black by 50: the grey of every label's text.
constexpr int kLabelGrey = 49;

// Names longer than this many characters are cut ...
constexpr int kLegendNameMax = 14;
// ... to this many characters followed by "...".
constexpr int kLegendNameCut = 12;
// Slices narrower than this (degrees) get empty labels.
constexpr float kLegendMinSweep = 10.0f;
// The remainder gets an "Other" label only when the slices cover less.
constexpr float kLegendOtherBelow = 359.0f;

// The legend text of a slice's display name (raw bytes, decoded for display):
// whole up to 14 characters, else its first 12 characters and "...".
QString LegendNameText(std::string_view name);

// The label radius of the drawing parameters limited to 40..300.
int LegendRadius(int labelRadius);

// One slice's (or the remainder's) legend place.
struct TPieLegendEntry {
    int entry = 0;     // r: the index in the pie lists (n for the remainder)
    QString nameText;  // empty for slices under 10 degrees
    int nameLeft = 0;  // top-left corner of the name label
    int nameTop = 0;
    bool hasSizeLabel = false;  // every slice has one; the remainder has none
    bool sizeShown = false;     // false: the size label exists but is empty
};

// The legend of entries 1..n (n = names.size()), in order. A malformed
// percent throws EConvertError.
std::vector<TPieLegendEntry> LayoutPieLegend(const TPieGeometry& geometry, int labelRadius,
                                             const TStringList& names, const TStringList& percents);

// Top-left corner of the caption of the given size, centred on the pie.
int CaptionLeft(const TPieGeometry& geometry, int width);
int CaptionTop(const TPieGeometry& geometry, int height);
