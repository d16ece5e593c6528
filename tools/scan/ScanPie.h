#pragma once
// The pie of a scanned folder as a picture: the program's own pie data
// built from the results and the folder's listing, rendered as the pie
// control shows it, with the caption (the folder's total) and the legend
// written over it. Needs a QGuiApplication for the fonts.
#include <QImage>
#include <string>

class TResultStore;

// The zoom the scanner draws at: 350 x 350 pixels, the pie control's size.
constexpr int kScanPieZoom = 100;

// The pie of folder (drive form, "C:\" for a drive root) from the store's
// global lists. A null picture, with the reason in error, when the folder
// cannot be listed or the pie cannot be drawn. A malformed number in the
// lists throws EConvertError.
QImage RenderScanPie(const TResultStore& store, const std::string& folder, std::string& error);

// RenderScanPie, saved as PNG at file. False with the reason in error, also
// for a malformed number in the lists.
bool SaveScanPie(const TResultStore& store, const std::string& folder, const std::string& file,
                 std::string& error);
