#include "views/pie/PiePicture.h"

#include "views/gradient/GradientPattern.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/LanczosScaler.h"
#include "views/pie/PieRender.h"

void SetPieGradientProperties(TGradientPattern& gradient) {
    gradient.BeginLoad();
    gradient.SetStyle(gsReflectedH);
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    gradient.EndLoad();
}

QImage ScalePieForDisplay(const QImage& bitmap, QSize controlSize) {
    return ScaleLanczos(bitmap, FitKeepingAspect(bitmap.size(), controlSize));
}

QImage RenderPiePicture(const TStringList& colors, const TStringList& percents,
                        const TStringList& names, const TStringList& paths, TColor otherColor,
                        int zoomPercent, const TPieFileProbe* probe) {
    TGradientPattern gradient(true);
    SetPieGradientProperties(gradient);
    QImage bitmap;
    TDrawDataPie data;
    data.OtherColor = otherColor;
    DefaultPieData(data, zoomPercent, &bitmap, &gradient, &colors, &percents, &names);
    const QSize control = DrawPie(data, TPieFiles{&paths, probe});
    if (!control.isValid()) {
        return {};
    }
    return ScalePieForDisplay(bitmap, control);
}
