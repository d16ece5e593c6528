#pragma once
// Who draws the pictures --pie and --treemap ask for. Drawing needs the GUI
// libraries (fonts, image formats, the pie's scaler), whose loading would
// slow every start of the scanner, most of which draw nothing. So the
// command draws only through a TScanPictures it is given: the drawing
// program (cobaltquarry-scan-draw) and the tests give it TScanDrawing; the
// scanner itself gives none and hands a run that asks for a picture, whole,
// to the drawing program.
#include <string>

class TResultStore;
struct TScanOptions;

class TScanPictures {
  public:
    virtual ~TScanPictures() = default;
    // The picture of folder (drive form, "C:\" for a drive root) from the
    // store's global lists, saved as PNG at the file the options name;
    // false with the reason in error.
    virtual bool DrawPie(const TResultStore& store, const std::string& folder,
                         const TScanOptions& options, std::string& error) const = 0;
    virtual bool DrawTreemap(const TResultStore& store, const std::string& folder,
                             const TScanOptions& options, std::string& error) const = 0;
};
