#include "tests/pieui/PieWindowFixture.h"

#include <QDir>
#include <QFile>
#include <cmath>

#include "app/pie/PieControl.h"
#include "platform/desktop/ShellOpen.h"
#include "tests/pieui/TestApplication.h"
#include "views/common/NumberText.h"
#include "views/common/RandomColor.h"

namespace {

// The drive: 100 MiB in all. Folders with their stored sizes and percents,
// and one file of 10 MiB straight in the root.
struct TStoredFolder {
    const char* path;
    long long size;
    const char* percent;
};
constexpr long long kFixtureMiB = 1024 * 1024;
const TStoredFolder kFolders[] = {
    {"T:", 100 * kFixtureMiB, "0"},
    {"T:\\Data", 20 * kFixtureMiB, "20.0"},
    {"T:\\Documents", 25 * kFixtureMiB, "25.0"},
    {"T:\\Fifteen_chars_1", 12 * kFixtureMiB, "12.0"},
    {"T:\\Fourteen_chars", 12 * kFixtureMiB, "12.0"},
    {"T:\\data", 15 * kFixtureMiB, "15.0"},
    {"T:\\tiny", 2 * kFixtureMiB, "2.0"},
};

}  // namespace

PieWindowFixture::PieWindowFixture()
    : store(std::string()),
      barData(store, listing, folderChanged),
      pieData(store, listing, folderChanged),
      views(store, barData, pieData),
      barHolder(new QWidget(&window)),
      holder(new TPieHolder) {
    TestApplication();
    drive = std::make_unique<TScopedDriveTable>(
        TDriveTable({TDrive{'T', QFile::encodeName(dir.path()).toStdString()}}));
    QDir(dir.path()).mkpath(".share");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(".share")));
    for (const auto& folder : kFolders) {
        const QString path = QString::fromLatin1(folder.path);
        if (path.size() > 2)
            MakeFolder(path.mid(3));
    }
    MakeFile("Data/big.bin", 1000);
    MakeFile("video.mkv", 10 * kFixtureMiB);
    store.ReplaceGlobal(TStoredSet());

    window.resize(700, 520);
    barHolder->setGeometry(0, 0, 700, 520);
    holder->AttachToBarHolder(barHolder);
    TPieHolder::TLinks links;
    links.store = &store;
    links.pieData = &pieData;
    links.barData = &barData;
    links.bar = &listing;
    links.views = &views;
    links.owner = &window;
    links.barHolderVisible = [this] { return !barHolder->isHidden(); };
    links.treeVisible = [this] { return treeVisible; };
    links.expandTree = [this] { ++expands; };
    links.folderUp = [this] { ++folderUps; };
    holder->SetLinks(links);
    views.DrawPieMain = [this] {
        ++redraws;
        holder->DrawPieMain();
    };
    views.PieVisible = [this] { return !holder->isHidden(); };
    views.SetPieBackground = [this](TColor color) {
        const TColor rgb = ColorToRGB(color);
        holder->SetBackground(QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb)));
    };
    cq::desktop::SetShellOpenHook([this](const QUrl& url) { opened.push_back(url); });
    window.show();
}

PieWindowFixture::~PieWindowFixture() {
    cq::desktop::SetShellOpenHook({});
}

QString PieWindowFixture::Native(const QString& relative) const {
    return dir.filePath(relative);
}

void PieWindowFixture::MakeFolder(const QString& relative) const {
    QDir(dir.path()).mkpath(relative);
}

void PieWindowFixture::MakeFile(const QString& relative, qint64 size) const {
    QFile file(Native(relative));
    if (file.open(QIODevice::WriteOnly))
        file.resize(size);
}

void PieWindowFixture::LoadDrive() {
    TStoredSet drive = store.Global();
    for (const auto& folder : kFolders) {
        drive.Dirs.push_back(folder.path);
        drive.Sizes.push_back(std::to_string(folder.size));
        drive.Percents.push_back(folder.percent);
    }
    store.ReplaceGlobal(std::move(drive));
    ASSERT_TRUE(listing.SetRoot("T:\\"));
    holder->SetZoom(100);
    views.UpdateBarPie();
}

int PieWindowFixture::PieEntry(const std::string& path) const {
    for (size_t i = 0; i < pieData.PiePaths.size(); ++i) {
        if (pieData.PiePaths[i] == path)
            return static_cast<int>(i);
    }
    return -1;
}

QPoint PieWindowFixture::SlicePoint(int j, double radius) const {
    double start = 0;
    for (int i = 1; i < j; ++i)
        start += StrToFloat(pieData.PiePercents[i]) / 100.0 * 360.0;
    const double mid = start + StrToFloat(pieData.PiePercents[j]) / 100.0 * 360.0 / 2;
    const QWidget* pie = holder->Pie();
    const double cx = pie->width() / 2.0;
    const double cy = pie->height() / 2.0;
    const double rad = (mid - 90.0) * M_PI / 180.0;
    const double dx = std::sin(rad);
    const double dy = std::cos(rad);
    return QPoint(static_cast<int>(cx + radius * dx), static_cast<int>(cy + radius * dy));
}

int PieWindowFixture::RowOf(const std::string& path) const {
    return listing.IndexOfPath(path);
}
