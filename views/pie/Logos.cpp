#include "views/pie/Logos.h"

#include <QString>

namespace {

std::vector<QImage> LoadLogos() {
    std::vector<QImage> logos;
    for (int i = 0; i < kLogoCount; ++i) {
        QImage logo(QStringLiteral(":/pie/logos/logo%1.png").arg(i));
        if (logo.isNull()) {
            // A missing picture shows as white, the list's blend colour.
            logo = QImage(kLogoSize, kLogoSize, QImage::Format_RGB32);
            logo.fill(Qt::white);
        }
        logos.push_back(logo.convertToFormat(QImage::Format_RGB32));
    }
    return logos;
}

}  // namespace

// The resource initialiser is declared by the macro, so it must be called
// from the global namespace; it also keeps the pictures linked in.
static void InitLogoResources() {
    Q_INIT_RESOURCE(logos);
}

const std::vector<QImage>& Logos() {
    static const std::vector<QImage> logos = [] {
        InitLogoResources();
        return LoadLogos();
    }();
    return logos;
}
