#pragma once
// The pictures drawn in this process: the pie and the treemap, each in a
// GUI application made for it when the process has none (fonts and image
// plug-ins need one; without a display platform chosen it draws offscreen).
#include "tools/scan/ScanPictures.h"

class TScanDrawing : public TScanPictures {
  public:
    bool DrawPie(const TResultStore& store, const std::string& folder, const TScanOptions& options,
                 std::string& error) const override;
    bool DrawTreemap(const TResultStore& store, const std::string& folder,
                     const TScanOptions& options, std::string& error) const override;
};
