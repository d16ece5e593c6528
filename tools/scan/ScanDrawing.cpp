#include "tools/scan/ScanDrawing.h"

#include <QGuiApplication>
#include <memory>

#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanPie.h"
#include "tools/scan/ScanTreemap.h"

namespace {

std::unique_ptr<QGuiApplication> PictureApplication() {
    if (QCoreApplication::instance() != nullptr)
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "cobaltquarry-scan";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool TScanDrawing::DrawPie(const TResultStore& store, const std::string& folder,
                           const TScanOptions& options, std::string& error) const {
    const std::unique_ptr<QGuiApplication> app = PictureApplication();
    return SaveScanPie(store, folder, options.PieFile, error);
}

bool TScanDrawing::DrawTreemap(const TResultStore& store, const std::string& folder,
                               const TScanOptions& options, std::string& error) const {
    const std::unique_ptr<QGuiApplication> app = PictureApplication();
    return SaveScanTreemap(store, folder, QSize(options.TreemapWidth, options.TreemapHeight),
                           options.TreemapFile, error);
}
