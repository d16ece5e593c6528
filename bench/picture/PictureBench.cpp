// Speed of the picture code against simpler peers measured in the same run:
// - the full pie redraw (bevel passes, both shadings, Lanczos) at 100 % and
//   300 %, and its parts, against an anti-aliased pie painted straight at
//   display size and against Qt's smooth (bilinear) scaling;
// - gradient rebuilds of the bar style against a QLinearGradient fill of the
//   same 200 x 200 picture.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

#include "views/gradient/GradientPattern.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/LanczosScaler.h"
#include "views/pie/PiePicture.h"
#include "views/pie/PieRender.h"
#include "views/pie/PieShading.h"

namespace {

struct TBenchPie {
    TStringList Colors, Percents, Names, Paths;
    TPieFileTable Probe;
    TGradientPattern Gradient{true};

    TBenchPie() {
        SetPieGradientProperties(Gradient);
        Add("C:\\data", "0.0", clBlack, TPieEntryKind::Folder, 0);
        const char* percents[] = {"22.5", "14.1", "9.8", "7.7", "6.0", "5.5", "4.4",
                                  "3.9",  "3.1",  "2.6", "2.2", "1.8", "1.5", "1.2"};
        for (int i = 0; i < 14; ++i) {
            const std::string path = "C:\\data\\item" + std::to_string(i);
            // Folders, plain files (hatched) and special files (logo tiles).
            const TPieEntryKind kind = i % 3 == 0 ? TPieEntryKind::Folder : TPieEntryKind::File;
            const std::uint32_t attributes = i % 3 == 2 ? kPieAttrReadOnly : 0;
            Add(path, percents[i], RGBColor(40 + 13 * i, 200 - 9 * i, 90 + 11 * i), kind,
                attributes);
        }
    }

    void Add(const std::string& path, const char* percent, TColor color, TPieEntryKind kind,
             std::uint32_t attributes) {
        Paths.push_back(path);
        Names.push_back(path);
        Percents.push_back(percent);
        Colors.push_back(ColorToString(color));
        Probe.AddEntry(path, kind, attributes);
    }

    QSize Draw(QImage& bitmap, int zoom) {
        TDrawDataPie data;
        DefaultPieData(data, zoom, &bitmap, &Gradient, &Colors, &Percents, &Names);
        return DrawPie(data, TPieFiles{&Paths, &Probe});
    }
};

TBenchPie& Pie() {
    static TBenchPie pie;
    return pie;
}

void BM_PieFullRedraw(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    QImage bitmap;
    for (auto _ : state) {
        const QSize control = Pie().Draw(bitmap, zoom);
        QImage shown = ScalePieForDisplay(bitmap, control);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["bitmap_px"] = bitmap.width();
}
BENCHMARK(BM_PieFullRedraw)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_PieSlicesAndShading(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    QImage bitmap;
    for (auto _ : state) {
        Pie().Draw(bitmap, zoom);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}
BENCHMARK(BM_PieSlicesAndShading)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_PieLanczosScale(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    QImage bitmap;
    const QSize control = Pie().Draw(bitmap, zoom);
    for (auto _ : state) {
        QImage shown = ScaleLanczos(bitmap, control);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_PieLanczosScale)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// Peer: Qt's own smooth scaling of the same bitmap (bilinear, softer edges).
void BM_PeerQtSmoothScale(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    QImage bitmap;
    const QSize control = Pie().Draw(bitmap, zoom);
    for (auto _ : state) {
        QImage shown = bitmap.scaled(control, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_PeerQtSmoothScale)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// Peer: a flat pie painted anti-aliased straight at display size, no
// supersampling, bevel or shading: the cheapest picture of the same slices.
void BM_PeerAntialiasedPie(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    const int d = PieDiameterForZoom(zoom);
    QImage shown(d + 100, d + 100, QImage::Format_RGB32);
    for (auto _ : state) {
        shown.fill(Qt::white);
        QPainter painter(&shown);
        painter.setRenderHint(QPainter::Antialiasing, true);
        int start = 180 * 16;
        for (std::size_t j = 1; j < Pie().Percents.size(); ++j) {
            const int span = static_cast<int>(std::stod(std::string(Pie().Percents[j])) * 3.6 * 16);
            const TColor c = StringToColor(Pie().Colors[j]);
            painter.setBrush(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
            painter.setPen(Qt::NoPen);
            painter.drawPie(QRect(50, 50, d, d), start, span);
            start += span;
        }
        painter.end();
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_PeerAntialiasedPie)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// The bar list rebuilds its gradient for nearly every bar it draws.
void BM_GradientRebuildBarStyle(benchmark::State& state) {
    TGradientPattern gradient(true);
    gradient.SetStyle(gsLinearH);
    gradient.SetReverse(true);
    gradient.SetColorEnd(clWhite);
    std::uint32_t colour = 0x102030;
    for (auto _ : state) {
        colour = (colour * 1103515245u + 12345u) & 0x00FEFEFEu;
        gradient.SetColorBegin(colour);
        benchmark::DoNotOptimize(gradient.RenderedBitmap().constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GradientRebuildBarStyle)->Unit(benchmark::kMicrosecond);

// Peer: Qt's linear gradient painted into the same 200 x 200 picture.
void BM_PeerQLinearGradientFill(benchmark::State& state) {
    QImage target(200, 200, QImage::Format_RGB32);
    std::uint32_t colour = 0x102030;
    for (auto _ : state) {
        colour = (colour * 1103515245u + 12345u) & 0x00FEFEFEu;
        QLinearGradient ramp(0, 0, 0, 200);
        ramp.setColorAt(0, Qt::white);
        ramp.setColorAt(1, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
        QPainter painter(&target);
        painter.fillRect(target.rect(), ramp);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PeerQLinearGradientFill)->Unit(benchmark::kMicrosecond);

// The radial style is the largest pattern (362 x 362).
void BM_GradientRebuildRadial(benchmark::State& state) {
    TGradientPattern gradient(true);
    std::uint32_t colour = 0x102030;
    for (auto _ : state) {
        colour = (colour * 1103515245u + 12345u) & 0x00FEFEFEu;
        gradient.SetColorBegin(colour);
        benchmark::DoNotOptimize(gradient.RenderedBitmap().constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GradientRebuildRadial)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
