// The pie drawn over a real folder: the listing and the file system decide
// each slice's fill (folder, plain file, temporary file, vanished file).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "platform/DriveTable.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/Logos.h"
#include "views/pie/PieListingProbe.h"
#include "views/pie/PieRender.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void WriteFile(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("some bytes");
}

class PieOverAFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        const QString root = dir_.path();
        ASSERT_TRUE(QDir(root).mkdir("sub"));
        WriteFile(root + "/plain.txt");
        WriteFile(root + "/scratch.tmp");
        WriteFile(root + "/gone.txt");
        drives_ = std::make_unique<TScopedDriveTable>(
            TDriveTable({TDrive{'T', dir_.path().toStdString()}}));
        ASSERT_TRUE(listing_.SetRoot("T:\\"));
    }

    QColor Pixel(double angle, double radius) const {
        const double centre = 424.5;
        const double a = angle * kPi / 180.0;
        return QColor::fromRgb(
            bitmap_.pixel(static_cast<int>(std::lround(centre - radius * std::cos(a))),
                          static_cast<int>(std::lround(centre + radius * std::sin(a)))));
    }

    QTemporaryDir dir_;
    std::unique_ptr<TScopedDriveTable> drives_;
    TShellListModel listing_;
    QImage bitmap_;
};

QColor Q(TColor c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

TEST_F(PieOverAFolder, ProbeSeesKindsAttributesAndVanishedEntries) {
    const TPieListingProbe probe(listing_);
    EXPECT_TRUE(probe.ListingHasItems());
    EXPECT_EQ(probe.Probe("T:\\sub").Kind, TPieEntryKind::Folder);
    EXPECT_EQ(probe.Probe("T:\\plain.txt").Kind, TPieEntryKind::File);
    EXPECT_NE(probe.Probe("T:\\scratch.tmp").Attributes & kPieAttrTemporary, 0u);
    EXPECT_EQ(LogoIMGInd("T:\\scratch.tmp", probe), kLogoTemporary);
    ASSERT_TRUE(QFile::remove(dir_.path() + "/gone.txt"));
    EXPECT_EQ(probe.Probe("T:\\gone.txt").Kind, TPieEntryKind::Missing);
    EXPECT_TRUE(probe.ListedItem("T:\\gone.txt").has_value());   // the listing is older
    EXPECT_FALSE(probe.ListedItem("T:\\GONE.TXT").has_value());  // names compare exactly
}

TEST_F(PieOverAFolder, EachSliceIsFilledByWhatItsPathIsNow) {
    const TColor folder = RGBColor(40, 120, 200);
    const TColor plain = RGBColor(200, 60, 60);
    const TColor scratch = RGBColor(60, 160, 60);
    const TColor gone = RGBColor(150, 90, 30);
    TStringList paths = {"T:", "T:\\sub", "T:\\plain.txt", "T:\\scratch.tmp", "T:\\gone.txt"};
    TStringList percents = {"0.0", "25", "25", "25", "25"};
    TStringList colors = {"clBlack", ColorToString(folder), ColorToString(plain),
                          ColorToString(scratch), ColorToString(gone)};
    TStringList names = paths;
    ASSERT_TRUE(QFile::remove(dir_.path() + "/gone.txt"));
    const TPieListingProbe probe(listing_);

    TDrawDataPie data;
    DefaultPieData(data, 100, &bitmap_, nullptr, &colors, &percents, &names);
    BeforePieDraw(data);
    DrawBeveledPie(data, PieBitmapDiameter(data), TPieFiles{&paths, &probe});

    EXPECT_EQ(Pixel(45, 200), Q(folder));
    // The plain file (lower right): its colour crossed by white lines.
    int white = 0;
    int coloured = 0;
    for (int x = 530; x < 570; ++x) {
        const QColor p = QColor::fromRgb(bitmap_.pixel(x, 550));
        white += p == Qt::white;
        coloured += p == Q(plain);
    }
    EXPECT_GT(white, 0);
    EXPECT_EQ(white + coloured, 40);
    EXPECT_GT(coloured, white);
    // The temporary file: the empty-folder tile, repeated from the origin.
    const QImage tile = ChooseBrushImage(kLogoTemporary, 3.0f);
    for (int y = 260; y < 300; ++y) {  // upper right, well inside the slice
        for (int x = 520; x < 560; ++x) {
            ASSERT_EQ(bitmap_.pixel(x, y) & 0xFFFFFFu, tile.pixel(x % 90, y % 90) & 0xFFFFFFu)
                << x << "," << y;
        }
    }
    EXPECT_EQ(Pixel(315, 200), Q(ChangeLightness(gone, 10)));
}
