#include "app/pie/PieDrawing.h"

#include "app/pie/PieListingProbe.h"
#include "views/gradient/GradientPattern.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/PieData.h"
#include "views/pie/PiePicture.h"
#include "views/pie/PieRender.h"

int PieLabelRadius() {
    return TDrawDataPie().LabelRadius;
}

TPieGeometry PieGeometryForZoom(int zoom) {
    const TDrawDataPie defaults;
    return TPieGeometry{PieDiameterForZoom(zoom), defaults.LeftMargin, defaults.TopMargin};
}

double PieShownRadius(int zoom) {
    TDrawDataPie data;
    data.D = PieDiameterForZoom(zoom);
    const double bitmap = PieBitmapDiameter(data);
    const double scale = (data.D + 2.0 * data.LeftMargin) / (bitmap + 2.0 * data.LeftMargin);
    return bitmap / 2.0 * scale;
}

bool PieDrawable(const TPieData& data) {
    return !data.PieSLSEmpty();
}

QImage DrawPieImage(const TPieData& data, int zoom, const TShellListModel* bar,
                    qreal devicePixelRatio) {
    TGradientPattern gradient(true);
    SetPieGradientProperties(gradient);
    QImage bitmap;
    TDrawDataPie drawData;
    drawData.OtherColor = data.OtherColor;
    DefaultPieData(drawData, zoom, &bitmap, &gradient, &data.PieColors, &data.PiePercents,
                   &data.PieNames);
    const TPieListingProbe probe(bar);
    const QSize control = DrawPie(drawData, TPieFiles{&data.PiePaths, &probe});
    if (!control.isValid())
        return {};
    // The bitmap is drawn at three times the size, so even at 200 % the
    // Lanczos filter only scales it down.
    const qreal ratio = devicePixelRatio > 1.0 ? devicePixelRatio : 1.0;
    QImage picture = ScalePieForDisplay(bitmap, control * ratio);
    picture.setDevicePixelRatio(ratio);
    return picture;
}
