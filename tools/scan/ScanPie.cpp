#include "tools/scan/ScanPie.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include "engine/ResultStore.h"
#include "views/bar/BarData.h"
#include "views/common/ConvertError.h"
#include "views/common/NumberText.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/PieData.h"
#include "views/pie/PieLabels.h"
#include "views/pie/PieListingProbe.h"
#include "views/pie/PiePicture.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/ShellListModel.h"

namespace {

// The labels' look on the pie control: Tahoma (or what the font system
// puts in its place) in the labels' grey.
void SetLabelStyle(QPainter& painter, int pointSize) {
    painter.setFont(QFont(QStringLiteral("Tahoma"), pointSize));
    painter.setPen(QColor(kLabelGrey, kLabelGrey, kLabelGrey));
}

TPieGeometry ScanPieGeometry() {
    const TDrawDataPie defaults;
    return TPieGeometry{PieDiameterForZoom(kScanPieZoom), defaults.LeftMargin, defaults.TopMargin};
}

// The caption: centred on the pie, wrapped to the caption's width.
void DrawCaption(QPainter& painter, const TPieGeometry& geometry, const QString& text) {
    SetLabelStyle(painter, kCaptionPointSize);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const int height =
        painter.fontMetrics().boundingRect(QRect(0, 0, kCaptionWidth, 1000), flags, text).height();
    const QRect box(CaptionLeft(geometry, kCaptionWidth), CaptionTop(geometry, height),
                    kCaptionWidth, height);
    painter.drawText(box, flags, text);
}

// Every slice's name and, under it, its size in MB, where the control puts
// its legend labels.
void DrawLegend(QPainter& painter, const TPieGeometry& geometry, const TPieData& pie) {
    SetLabelStyle(painter, kLegendPointSize);
    const int lineHeight = painter.fontMetrics().height();
    const auto legend =
        LayoutPieLegend(geometry, TDrawDataPie().LabelRadius, pie.PieNames, pie.PiePercents);
    for (const TPieLegendEntry& entry : legend) {
        const QRect name(entry.nameLeft, entry.nameTop, kNameLabelWidth, kNameLabelHeight);
        painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, entry.nameText);
        const auto r = static_cast<size_t>(entry.entry);
        if (entry.hasSizeLabel && entry.sizeShown && r < pie.PieSizes.size())
            painter.drawText(
                QRect(name.left(), name.top() + lineHeight, kNameLabelWidth, lineHeight),
                Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(FormatMB(pie.PieSizes[r])));
    }
}

}  // namespace

QImage RenderScanPie(const TResultStore& store, const std::string& folder, std::string& error) {
    TShellListModel listing;
    if (!listing.SetRoot(folder)) {
        error = listing.LastError().toStdString();
        return {};
    }
    // The refresh a finished scan triggers in the window, without the window.
    bool folderChanged = true;
    TBarData bar(store, listing, folderChanged);
    TPieData pie(store, listing, folderChanged);
    TViewRefresh(store, bar, pie).UpdateBarPie();
    if (pie.PieSLSEmpty()) {
        error = folder + ": no results to draw a pie of";
        return {};
    }
    const TPieListingProbe probe(listing);
    QImage picture = RenderPiePicture(pie.PieColors, pie.PiePercents, pie.PieNames, pie.PiePaths,
                                      pie.OtherColor, kScanPieZoom, &probe);
    if (picture.isNull()) {
        error = folder + ": the pie cannot be drawn";
        return {};
    }
    if (!pie.PiePlaceholder) {
        QPainter painter(&picture);
        const TPieGeometry geometry = ScanPieGeometry();
        DrawCaption(painter, geometry, QString::fromStdString(FormatGB(pie.PieSizes[0])));
        DrawLegend(painter, geometry, pie);
    }
    return picture;
}

bool SaveScanPie(const TResultStore& store, const std::string& folder, const std::string& file,
                 std::string& error) {
    QImage picture;
    try {
        picture = RenderScanPie(store, folder, error);
    } catch (const EConvertError& e) {
        // Stored results edited by hand can hold anything.
        error = folder + ": " + e.what();
        return false;
    }
    if (picture.isNull())
        return false;
    if (!picture.save(QFile::decodeName(QByteArray::fromStdString(file)), "PNG")) {
        error = file + ": cannot write the picture";
        return false;
    }
    return true;
}
