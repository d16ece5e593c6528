// The main window started without stored results, and a folder of many
// files: the rows the window shows when it has little or much to show.
#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <map>
#include <random>
#include <set>

#include "engine/ResultStore.h"
#include "tests/window/WindowFixture.h"
#include "views/bar/BarRows.h"
#include "views/common/NumberText.h"

namespace {

using ::testing::ElementsAre;

class NoResultsFixture : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        storeResults = false;
    }
};

TEST_F(NoResultsFixture, WithoutResultsTheTreeHasNoBarsAndRowsShowZero) {
    OpenWindow();
    // The first show asked whether to analyse the drive; the test said No.
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Analize drive \"C:\\\" ?       ");
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "gamma", "f.bin"}));
    EXPECT_EQ(RowText("alpha", 2), "0");
    EXPECT_EQ(RowText("f.bin", 2), "0");
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    EXPECT_EQ(form->Tree->indentation(), 23);
    QImage shot = form->Tree->viewport()->grab().toImage();
    int bar = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            bar += shot.pixelColor(x, y) == QColor(255, 215, 174);
        }
    }
    EXPECT_EQ(bar, 0);
}

TEST_F(NoResultsFixture, TheScanDecisionRunsAtTheFirstShowAndAScanLeavesItPending) {
    std::vector<bool> forced;
    TFormMainHooks hooks;
    hooks.Analize = [&](bool force) {
        forced.push_back(force);
        return true;  // a scan was started
    };
    OpenWindow(hooks);
    EXPECT_THAT(forced, ElementsAre(false));
    EXPECT_TRUE(form->FirstShowPending);
    EXPECT_FALSE(form->tbBar->isChecked());
    EXPECT_TRUE(form->BarLV->isVisible());
    QTest::keySequence(form.get(), QKeySequence("Ctrl+D"));
    EXPECT_THAT(forced, ElementsAre(false, true));
}

}  // namespace

// A folder of thousands of files: rows with one of a few numbers (files
// under 3 MB) beside more distinct ones than the list shares texts for.
// Every row shows its own item's name, the bar lists' numbers for it and
// its path, and the item names its place on the disk.
TEST_F(WindowFixture, EveryRowOfAFolderOfManyFilesShowsItsOwnNumbersAndPath) {
    constexpr int kFiles = 7200;
    QDir many(drive->path());
    ASSERT_TRUE(many.mkpath("many") && many.cd("many"));
    std::mt19937_64 random(11);
    std::int64_t total = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::int64_t size = i % 3 == 0
                                      ? static_cast<std::int64_t>(random() % 3'000'000)
                                      : i * 104'858LL + static_cast<std::int64_t>(random() % 9);
        QFile file(many.filePath(QStringLiteral("f%1.dat").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        total += size;
    }
    storeResults = false;
    TResultStore store;
    store.SetFiles("C:");
    const std::string size = std::to_string(total);
    ASSERT_TRUE(store.SaveAnalizeData({{"C:", "C:\\many"}, {size, size}, {"0", "100"}}));
    OpenWindow();
    form->EnterFolder("C:\\many");
    Settle();

    const TShellListModel& listing = form->Bar();
    const TBarData& bars = form->BarData();
    ASSERT_EQ(listing.Count(), kFiles);
    ASSERT_EQ(form->BarLV->topLevelItemCount(), kFiles);
    std::map<std::string, int> indexOf;
    for (int i = 0; i < kFiles; ++i) {
        indexOf[listing.Item(i).PathName()] = i;
    }
    const std::string folder = many.path().toStdString() + "/";
    std::set<QString> texts;
    for (int r = 0; r < kFiles; ++r) {
        const QTreeWidgetItem* row = form->BarLV->topLevelItem(r);
        const auto found = indexOf.find(TBarRows::RowPath(row));
        ASSERT_NE(found, indexOf.end()) << r;
        const int i = found->second;
        const TShellFolder& item = listing.Item(i);
        const auto index = static_cast<std::size_t>(i);
        EXPECT_EQ(row->text(0), item.DisplayName());
        EXPECT_EQ(row->text(1), QString::fromStdString(FormatMB(bars.BarSizes[index])));
        EXPECT_EQ(row->text(2), QString::fromStdString(std::string(bars.BarPercents[index])));
        EXPECT_EQ(item.NativePath(), folder + item.Name());
        texts.insert(row->text(1));
    }
    // Both kinds of rows were there: shared texts and more than are shared.
    EXPECT_GT(texts.size(), 4096u);
}
