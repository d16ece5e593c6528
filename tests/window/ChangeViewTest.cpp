// The change view in the real window: two real scans of the test drive with
// one folder grown, one added and one deleted between them; "Changes" from
// the View menu then shows exactly those three, as the scanner's --changes
// does, with bars for growth and loss; sorting, entering folders, choosing
// other kept results, a damaged kept set and switching off.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <map>
#include <sstream>

#include "app/changes/ChangeView.h"
#include "app/main/MenuRow.h"
#include "app/scan/ScanControl.h"
#include "engine/ScanHistory.h"
#include "tests/window/WindowFixture.h"
#include "tools/scan/ScanCommand.h"
#include "views/bar/BarChanges.h"
#include "views/bar/ChangeBarDrawing.h"

namespace {

constexpr qint64 kGrowth = 400000, kAdded = 700000, kDeleted = 300000;

// Setting CQ_SCREENSHOT_DIR keeps the pictures for a look.
void Keep(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("CQ_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        image.save(QDir(folder).filePath(name));
    }
}

struct TShown {
    std::string Kind;
    qint64 Change = 0;
    bool operator==(const TShown& o) const { return Kind == o.Kind && Change == o.Change; }
};

std::ostream& operator<<(std::ostream& out, const TShown& s) {
    return out << s.Kind << " " << s.Change;
}

class ChangeViewTest : public WindowFixture {
  protected:
    void ScanDrive() {
        form->Scan().SetAsker([](const QString&) { return true; });
        // The tool button: after a scan the progress window may still hold
        // the activation that window shortcuts need.
        QTest::mouseClick(form->tbDiskAn, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
        Settle();
    }
    void WriteFile(const QString& rel, qint64 size) {
        QFile file(QDir(drive->path()).filePath(rel));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    // Chooses "Changes" in the View menu, as the user does.
    void ClickChanges() {
        form->menuView->popup(form->mapToGlobal(QPoint(40, 20)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form->menuView));
        auto* cell = form->menuView->findChild<TMenuCell*>("miChangesCell");
        ASSERT_NE(cell, nullptr);
        Keep(form->menuView->grab().toImage(), "changes-menu.png");
        QTest::mouseClick(cell, Qt::LeftButton);
        Settle();
    }
    // Every row the view marks as changed, by name.
    std::map<std::string, TShown> ShownChanges() const {
        static const char* kinds[] = {"none", "same", "grown", "shrunk", "new", "gone"};
        std::map<std::string, TShown> shown;
        for (int i = 0; i < form->BarLV->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = form->BarLV->topLevelItem(i);
            const int kind = row->data(2, Qt::UserRole + 2).toInt();
            if (kind > 1) {
                shown[row->text(0).toStdString()] =
                    TShown{kinds[kind], row->data(2, Qt::UserRole + 1).toLongLong()};
            }
        }
        return shown;
    }
    // cobaltquarry-scan --changes --json on the same drive and data folder;
    // its messages in err.
    std::map<std::string, TShown> ScannerChanges(const std::string& path,
                                                 std::string* err = nullptr) {
        std::ostringstream out, messages;
        TScanCommand command;
        EXPECT_EQ(command.Run({"--changes", "--json", path}, out, messages), 0) << messages.str();
        if (err != nullptr) {
            *err = messages.str();
        }
        std::map<std::string, TShown> found;
        const QJsonObject o =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
        for (const char* list : {"grown", "shrunk"}) {
            for (const QJsonValue& v : o[list].toArray()) {
                const QJsonObject e = v.toObject();
                found[e["name"].toString().toStdString()] =
                    TShown{e["state"].toString().toStdString(), e["change"].toInteger()};
            }
        }
        return found;
    }
    // Pixels of colour on the middle line of a row's bar cell.
    int BarPixels(const QImage& shot, const QString& name, const QColor& colour) const {
        QTreeWidgetItem* row = Row(name);
        if (row == nullptr) {
            return -1;
        }
        const QRect r = form->BarLV->RowRect(row);
        const int y = r.top() + 3 + (r.height() - 6) / 2;
        const int left =
            form->BarLV->ColumnWidth(0) + form->BarLV->ColumnWidth(1) + form->BarLV->ColumnWidth(2);
        int first = -1, last = -1;
        for (int x = left; x < left + form->BarLV->ColumnWidth(3) && x < shot.width(); ++x) {
            if (shot.pixelColor(x, y) == colour) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        return first < 0 ? 0 : last - first + 1;
    }
    std::vector<QString> told;
};

TEST_F(ChangeViewTest, ShowsExactlyWhatChangedBetweenTwoScans) {
    storeResults = false;
    OpenWindow();
    form->Changes().SetTeller([this](const QString& text) { told.push_back(text); });
    ScanDrive();
    // Off by default: the list is the plain bar list.
    EXPECT_FALSE(form->miChanges->isChecked());
    EXPECT_FALSE(form->Changes().cbSince()->isVisible());
    EXPECT_EQ(form->BarLV->headerItem()->text(2), "Size, %");
    const QStringList plainRows = RowNames();

    WriteFile("alpha/more.bin", kGrowth);
    ASSERT_TRUE(QDir(drive->path()).mkpath("delta"));
    WriteFile("delta/d.bin", kAdded);
    ASSERT_TRUE(QDir(drive->filePath("beta")).removeRecursively());
    ScanDrive();
    EXPECT_EQ(form->BarLV->headerItem()->text(2), "Size, %");

    ClickChanges();
    ASSERT_TRUE(form->miChanges->isChecked());
    EXPECT_TRUE(form->Changes().cbSince()->isVisible());
    EXPECT_EQ(form->Changes().cbSince()->count(), 1);
    EXPECT_TRUE(form->Changes().cbSince()->currentText().startsWith("Since "));
    EXPECT_EQ(form->BarLV->headerItem()->text(2), "Change, MB");
    const std::map<std::string, TShown> expected = {
        {"alpha", {"grown", kGrowth}}, {"delta", {"new", kAdded}}, {"beta", {"gone", -kDeleted}}};
    EXPECT_EQ(ShownChanges(), expected);
    EXPECT_EQ(ScannerChanges("C:\\"), expected);
    EXPECT_EQ(RowText("alpha", 2).toStdString(), SignedMB(kGrowth));
    EXPECT_EQ(RowText("delta", 2).toStdString(), SignedMB(kAdded) + " new");
    EXPECT_EQ(RowText("beta", 2).toStdString(), SignedMB(-kDeleted) + " gone");
    EXPECT_EQ(RowText("beta", 1), "0.3");  // the size it had
    EXPECT_EQ(RowText("gamma", 2), "0.0");
    EXPECT_EQ(RowText("f.bin", 2), "");
    // A reader hears each row's signed change where the share was.
    const auto spoken = [this](const QString& name, int column) {
        return Row(name)->data(column, Qt::AccessibleTextRole).toString().toStdString();
    };
    EXPECT_EQ(spoken("delta", 2), SignedMB(kAdded) + " MB new");
    EXPECT_EQ(spoken("beta", 0), "beta, 0.3 MB, " + SignedMB(-kDeleted) + " MB gone");
    EXPECT_EQ(spoken("alpha", 0),
              "alpha, " + RowText("alpha", 1).toStdString() + " MB, " + SignedMB(kGrowth) + " MB");
    EXPECT_EQ(spoken("f.bin", 0), "f.bin, " + RowText("f.bin", 1).toStdString() + " MB");
    // The gone folder is greyed and cannot be selected or entered.
    EXPECT_FALSE(Row("beta")->flags() & Qt::ItemIsEnabled);
    DoubleClickRow("beta");
    EXPECT_EQ(form->Bar().Root(), "C:\\");

    // Bars: the largest change fills the column, the others in proportion;
    // loss in its own colour, no bar without a change.
    const QImage shot = ListShot();
    Keep(form->grab().toImage(), "changes-window.png");
    const int width = form->BarLV->ColumnWidth(3);
    EXPECT_EQ(BarPixels(shot, "delta", GrowthColor()), width);
    EXPECT_EQ(BarPixels(shot, "alpha", GrowthColor()),
              TBarChanges::BarLength(kGrowth, kAdded, width));
    EXPECT_EQ(BarPixels(shot, "beta", ShrinkColor()),
              TBarChanges::BarLength(-kDeleted, kAdded, width));
    EXPECT_EQ(BarPixels(shot, "beta", GrowthColor()), 0);
    EXPECT_EQ(BarPixels(shot, "gamma", GrowthColor()) + BarPixels(shot, "gamma", ShrinkColor()), 0);

    // Sorted by the change: a click reverses (largest loss first), another
    // puts the largest growth first.
    ClickHeader(2);
    EXPECT_EQ(RowNames().front(), "beta");
    EXPECT_EQ(RowNames().back(), "delta");
    ClickHeader(2);
    EXPECT_EQ(RowNames().mid(0, 2), (QStringList{"delta", "alpha"}));
    EXPECT_EQ(RowNames().back(), "beta");

    // Entering a folder: its rows' changes, nothing gone inside it.
    DoubleClickRow("alpha");
    ASSERT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_TRUE(ShownChanges().empty());
    EXPECT_EQ(RowText("inner", 2), "0.0");
    EXPECT_EQ(RowText("more.bin", 2), "");
    Keep(form->grab().toImage(), "changes-alpha.png");
    QTest::mouseClick(form->TB6, Qt::LeftButton);  // "Folder up"
    Settle();
    ASSERT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(ShownChanges(), expected);
    EXPECT_TRUE(told.empty());
}

TEST_F(ChangeViewTest, ChoosesKeptResultsSkipsDamagedOnesAndSwitchesOff) {
    storeResults = false;
    OpenWindow();
    form->Changes().SetTeller([this](const QString& text) { told.push_back(text); });
    ScanDrive();
    WriteFile("alpha/more.bin", kGrowth);
    ScanDrive();
    ScanDrive();  // nothing changed since the one before

    ClickChanges();
    QComboBox* since = form->Changes().cbSince();
    ASSERT_EQ(since->count(), 2);
    // The newest kept results are those of the scan just before: no change.
    EXPECT_TRUE(ShownChanges().empty());
    since->showPopup();
    QTest::keyClick(since->view(), Qt::Key_Down);
    QTest::keyClick(since->view(), Qt::Key_Return);
    Settle();
    ASSERT_EQ(since->currentIndex(), 1);
    EXPECT_EQ(ShownChanges(), (std::map<std::string, TShown>{{"alpha", {"grown", kGrowth}}}));

    // The newest kept set damaged: told once, left out, the older one used.
    const std::vector<THistoryEntry> kept = TScanHistory(form->Store.DataFolder).Entries('C');
    ASSERT_EQ(kept.size(), 2u);
    QFile damaged(QString::fromStdString(kept[0].Path));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not a kept set");
    damaged.close();
    since->setCurrentIndex(0);
    Q_EMIT since->activated(0);
    Settle();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(QString::fromStdString(kept[0].Path))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains("skipped"));
    EXPECT_EQ(since->count(), 1);
    EXPECT_EQ(ShownChanges(), (std::map<std::string, TShown>{{"alpha", {"grown", kGrowth}}}));
    // The current results are untouched: the pie and the sizes are of now.
    EXPECT_EQ(RowText("alpha", 1), "0.9");
    // The scanner tells the damage too, and falls back alike; with every
    // kept set damaged it has nothing to compare with and says so.
    std::string err;
    EXPECT_EQ(ScannerChanges("C:\\", &err),
              (std::map<std::string, TShown>{{"alpha", {"grown", kGrowth}}}));
    EXPECT_NE(err.find(kept[0].Path), std::string::npos) << err;
    QFile older(QString::fromStdString(kept[1].Path));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly | QIODevice::Truncate));
    older.close();
    std::ostringstream out, messages;
    // Kept sets are its input: none usable is status 2.
    EXPECT_EQ(TScanCommand().Run({"--changes", "C:\\"}, out, messages), TScanCommand::kBadUsage);
    EXPECT_NE(messages.str().find("no usable kept results"), std::string::npos);

    // Off again: the plain bar list, the chooser hidden.
    ClickChanges();
    EXPECT_FALSE(form->miChanges->isChecked());
    EXPECT_FALSE(since->isVisible());
    EXPECT_EQ(form->BarLV->headerItem()->text(2), "Size, %");
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "gamma", "f.bin"}));
    EXPECT_EQ(RowText("alpha", 2),
              QString::fromStdString(std::string(form->BarData().BarPercents[0])));
    EXPECT_EQ(Row("alpha")->data(0, Qt::AccessibleTextRole).toString(),
              "alpha, " + RowText("alpha", 1) + " MB, " + RowText("alpha", 2) + " percent");
    EXPECT_EQ(told.size(), 1u);
}

}  // namespace
