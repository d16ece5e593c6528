// Writes sample pictures of the pie and the gradient styles as PNG files, to
// look at after a change: picture_samples OUTPUT_FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

#include "views/gradient/GradientPattern.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/PiePicture.h"
#include "views/pie/PieRender.h"

namespace {

struct TSampleLists {
    TStringList Colors, Percents, Names, Paths;

    void Add(const std::string& name, const std::string& percent, TColor color) {
        Names.push_back(name);
        Percents.push_back(percent);
        Colors.push_back(ColorToString(color));
        Paths.push_back("C:\\data\\" + name);
    }
};

TSampleLists PlaceholderLists() {
    TSampleLists lists;
    lists.Names = {" "};
    lists.Paths = {" "};
    lists.Percents = {"100"};
    lists.Colors = {ColorToString(RGBColor(90, 140, 200))};
    return lists;
}

// Folders, plain files and the four kinds of special files.
TSampleLists MixedLists(TPieFileTable& probe) {
    TSampleLists lists;
    lists.Names.push_back("Data");
    lists.Percents.push_back("0.0");
    lists.Colors.push_back(ColorToString(clBlack));
    lists.Paths.push_back("C:\\data");
    lists.Add("Projects", "31.5", RGBColor(70, 130, 180));
    lists.Add("Music", "18.2", RGBColor(205, 92, 92));
    lists.Add("Photos", "9.7", RGBColor(60, 179, 113));
    lists.Add("video.mkv", "12.4", RGBColor(218, 165, 32));
    lists.Add("archive.zip", "7.3", RGBColor(147, 112, 219));
    lists.Add("locked.iso", "5.1", RGBColor(240, 128, 128));
    lists.Add("dump.tmp", "4.0", RGBColor(100, 149, 237));
    lists.Add("device", "3.0", RGBColor(244, 164, 96));
    lists.Add("Gone", "2.5", RGBColor(46, 139, 87));
    probe.AddEntry("C:\\data\\Projects", TPieEntryKind::Folder, kPieAttrDirectory);
    probe.AddEntry("C:\\data\\Music", TPieEntryKind::Folder, kPieAttrDirectory);
    probe.AddEntry("C:\\data\\Photos", TPieEntryKind::Folder, kPieAttrDirectory);
    probe.AddEntry("C:\\data\\video.mkv", TPieEntryKind::File);
    probe.AddEntry("C:\\data\\archive.zip", TPieEntryKind::File,
                   kPieAttrCompressed | kPieAttrReadOnly);
    probe.AddEntry("C:\\data\\locked.iso", TPieEntryKind::File, kPieAttrReadOnly);
    probe.AddEntry("C:\\data\\dump.tmp", TPieEntryKind::File, kPieAttrTemporary);
    probe.AddEntry("C:\\data\\device", TPieEntryKind::File, kPieAttrSystem);
    probe.AddVanished("C:\\data\\Gone", kPieAttrDirectory);
    return lists;
}

bool SavePie(const TSampleLists& lists, int zoom, const TPieFileProbe* probe, const QString& folder,
             const QString& name) {
    const QImage picture = RenderPiePicture(lists.Colors, lists.Percents, lists.Names, lists.Paths,
                                            RGBColor(170, 170, 170), zoom, probe);
    return picture.save(folder + "/" + name);
}

// The unscaled 3x bitmap, to look at single pixels.
bool SaveBitmap(const TSampleLists& lists, const TPieFileProbe* probe, const QString& path) {
    TGradientPattern gradient(true);
    SetPieGradientProperties(gradient);
    QImage bitmap;
    TDrawDataPie data;
    data.OtherColor = RGBColor(170, 170, 170);
    DefaultPieData(data, 100, &bitmap, &gradient, &lists.Colors, &lists.Percents, &lists.Names);
    DrawPie(data, TPieFiles{&lists.Paths, probe});
    return bitmap.save(path);
}

bool SaveGradientStyles(const QString& path) {
    const int cell = 120;
    const int label = 18;
    QImage sheet(6 * (cell + 8) + 8, 4 * (cell + label + 8) + 8, QImage::Format_RGB32);
    sheet.fill(Qt::lightGray);
    QPainter painter(&sheet);
    TGradientPattern gradient;
    gradient.SetColorBegin(RGBColor(20, 40, 160));
    gradient.SetColorEnd(RGBColor(250, 230, 120));
    const char* names[] = {"Custom",     "RadialC",    "RadialT",    "RadialB",    "RadialL",
                           "RadialR",    "RadialTL",   "RadialTR",   "RadialBL",   "RadialBR",
                           "LinearH",    "LinearV",    "ReflectedH", "ReflectedV", "DiagonalLF",
                           "DiagonalLB", "DiagonalRF", "DiagonalRB", "ArrowL",     "ArrowR",
                           "ArrowU",     "ArrowD",     "Diamond",    "Butterfly"};
    for (int style = 0; style < kGradientStyleCount; ++style) {
        gradient.SetStyle(static_cast<TGradientStyle>(style));
        const int x = 8 + (style % 6) * (cell + 8);
        const int y = 8 + (style / 6) * (cell + label + 8);
        painter.drawImage(QRect(x, y + label, cell, cell), gradient.Pattern());
        painter.drawText(QRect(x, y, cell, label), Qt::AlignCenter, names[style]);
    }
    painter.end();
    return sheet.save(path);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: picture_samples OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    TPieFileTable probe;
    const TSampleLists mixed = MixedLists(probe);
    const TSampleLists placeholder = PlaceholderLists();
    bool ok = SavePie(placeholder, 100, nullptr, folder, "pie-placeholder-100.png") &&
              SavePie(placeholder, 300, nullptr, folder, "pie-placeholder-300.png") &&
              SavePie(mixed, 100, &probe, folder, "pie-slices-100.png") &&
              SavePie(mixed, 300, &probe, folder, "pie-slices-300.png") &&
              SavePie(mixed, 20, &probe, folder, "pie-slices-20.png") &&
              SaveBitmap(mixed, &probe, folder + "/pie-slices-bitmap.png") &&
              SaveGradientStyles(folder + "/gradient-styles.png");
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
