#pragma once
// The treemap of a scanned folder as a picture, drawn from the results as
// the window's treemap panel draws it: the folder's children as the bar
// list has them, the stored folders below them and the stored largest
// files. Needs a QGuiApplication.
#include <QImage>
#include <QSize>
#include <string>

#include "tools/scan/TreemapSize.h"

class TResultStore;

// The treemap of folder (drive form, "C:\" for a drive root). A null
// picture, with the reason in error, when the folder cannot be listed or
// has no results. A malformed number in the lists throws EConvertError.
QImage RenderScanTreemap(const TResultStore& store, const std::string& folder, QSize size,
                         std::string& error);

// RenderScanTreemap saved as PNG at file; false with the reason in error.
bool SaveScanTreemap(const TResultStore& store, const std::string& folder, QSize size,
                     const std::string& file, std::string& error);
