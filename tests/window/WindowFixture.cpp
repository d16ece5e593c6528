#include "tests/window/WindowFixture.h"

#include "app/scan/ScanControl.h"
#include "engine/ResultStore.h"
#include "views/common/Colors.h"

TCobaltApplication& WindowTestApp() {
    static int argc = 1;
    static char name[] = "cobaltquarry-test";
    static char* argv[] = {name, nullptr};
    static TCobaltApplication* app = new TCobaltApplication(argc, argv);
    return *app;
}

namespace {

void WriteFile(const QString& path, qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size));
}

}  // namespace

void WindowFixture::SetUp() {
    data = std::make_unique<QTemporaryDir>();
    drive = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(data->isValid() && drive->isValid());
    qputenv("XDG_DATA_HOME", data->path().toLocal8Bit());
    WindowTestApp();
    table = std::make_unique<TScopedDriveTable>(
        TDriveTable({TDrive{'C', drive->path().toStdString()}}));
    MakeDrive();
}

void WindowFixture::TearDown() {
    form.reset();
    table.reset();
}

void WindowFixture::MakeDrive() {
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("alpha/inner"));
    ASSERT_TRUE(root.mkpath("beta"));
    ASSERT_TRUE(root.mkpath("gamma"));
    WriteFile(root.filePath("alpha/inner/i.bin"), 250000);
    WriteFile(root.filePath("alpha/a.bin"), 250000);
    WriteFile(root.filePath("beta/b.bin"), 300000);
    WriteFile(root.filePath("f.bin"), 200000);
}

void WindowFixture::StoreResults() {
    TResultStore store;
    store.SetFiles("C:");
    ASSERT_TRUE(
        store.SaveAnalizeData({{"C:", "C:\\alpha", "C:\\alpha\\inner", "C:\\beta", "C:\\gamma"},
                               {"1000000", "500000", "250000", "300000", "0"},
                               {"0", "50", "50", "30", "0"}}));
}

void WindowFixture::OpenWindow(TFormMainHooks hooks) {
    if (storeResults) {
        StoreResults();
    }
    form = std::make_unique<TFormMain>(std::move(hooks));
    form->Scan().SetAsker([this](const QString& text) {
        questions.push_back(text);
        return false;
    });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Settle();
}

QStringList WindowFixture::RowNames() const {
    QStringList names;
    for (int i = 0; i < form->BarLV->topLevelItemCount(); ++i) {
        names << form->BarLV->topLevelItem(i)->text(0);
    }
    return names;
}

QTreeWidgetItem* WindowFixture::Row(const QString& name) const {
    for (int i = 0; i < form->BarLV->topLevelItemCount(); ++i) {
        if (form->BarLV->topLevelItem(i)->text(0) == name) {
            return form->BarLV->topLevelItem(i);
        }
    }
    return nullptr;
}

QString WindowFixture::RowText(const QString& name, int column) const {
    QTreeWidgetItem* row = Row(name);
    return row ? row->text(column) : QString("<no row %1>").arg(name);
}

void WindowFixture::DoubleClickRow(const QString& name) {
    QTreeWidgetItem* row = Row(name);
    ASSERT_NE(row, nullptr) << name.toStdString();
    QRect r = form->BarLV->visualItemRect(row);
    QPoint at(r.left() + 30, r.center().y());
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(form->BarLV->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    Settle();
}

void WindowFixture::ClickHeader(int column) {
    QHeaderView* header = form->BarLV->header();
    int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, header->height() / 2));
    Settle();
}

int WindowFixture::BarLength(const QImage& shot, const QString& name) const {
    QTreeWidgetItem* row = Row(name);
    if (!row) {
        return -1;
    }
    // The bar's frame is drawn in the row's colour; its two sides on the
    // middle line give the length (the shadow lies further right).
    int position = form->BarLV->indexOfTopLevelItem(row);
    TColor rgb =
        ColorToRGB(StringToColor(form->BarData().BarColors[static_cast<size_t>(position)]));
    QColor colour(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    QRect r = form->BarLV->RowRect(row);
    int y = r.top() + 3 + (r.height() - 6) / 2;
    int left =
        form->BarLV->ColumnWidth(0) + form->BarLV->ColumnWidth(1) + form->BarLV->ColumnWidth(2);
    int first = -1, last = -1;
    for (int x = left; x < left + form->BarLV->ColumnWidth(3) + 4 && x < shot.width(); ++x) {
        if (shot.pixelColor(x, y) == colour) {
            if (first < 0) {
                first = x;
            }
            last = x;
        }
    }
    return first < 0 ? 0 : last - first + 1;
}
