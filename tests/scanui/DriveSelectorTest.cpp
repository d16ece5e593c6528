#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <random>

#include "app/drives/DriveSelector.h"
#include "app/drives/DriveText.h"
#include "platform/DriveTable.h"
#include "tests/scanui/TestApp.h"

TEST(DriveTextRules, DriveTextOfNamesAndPaths) {
    EXPECT_EQ(DriveText("Local Disk (C:)"), "C:");
    EXPECT_EQ(DriveText("/home (D:)"), "D:");
    EXPECT_EQ(DriveText("C:\\"), "C:");
    EXPECT_EQ(DriveText("Trash").find(':'), std::string::npos);
    EXPECT_EQ(DriveText("").find(':'), std::string::npos);
    // A mount point may hold a colon itself; the letter is the one in the tag.
    EXPECT_EQ(DriveText("/mnt/a:b (E:)"), "E:");
    EXPECT_EQ(DriveText("/mnt/x: (F:)"), "F:");
}

TEST(DriveTextRules, MenuCaptionFoldsOnlyAsciiLetters) {
    EXPECT_EQ(DriveMenuCaption("Local Disk (C:)"), "Local disk (c:)");
    EXPECT_EQ(DriveMenuCaption("/home (D:)"), "/home (d:)");
    EXPECT_EQ(DriveMenuCaption("data (E:)"), "Data (e:)");
    EXPECT_EQ(DriveMenuCaption("/media/\xC3\x89T\xC3\x89 (G:)"), "/media/\xC3\x89t\xC3\x89 (g:)");
    EXPECT_EQ(DriveMenuCaption(""), "");
}

// Two fixed drives on temporary folders; the display name list also holds a
// drive that is not fixed and an item that is no drive at all.
class DriveSelectorTest : public ::testing::Test, public TCurrentFolder {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(c_.isValid() && d_.isValid());
        table_ = std::make_unique<TScopedDriveTable>(
            TDriveTable({{'C', c_.path().toStdString()}, {'D', d_.path().toStdString()}}));
        hooks_.DriveNames = [] {
            std::vector<std::string> names = TDriveSelector::TableDriveNames();
            names.insert(names.begin() + 1, "/media/cdrom (E:)");
            names.push_back("Trash");
            return names;
        };
    }

    std::string CurrentFolder() const override { return current_; }

    // Follows the selector's signals as the main window does, logging them.
    void Follow(TDriveSelector& selector) {
        QObject::connect(&selector, &TDriveSelector::FolderChosen, &selector,
                         [this](const std::string& path) {
                             log_.push_back("SetFolder " + path);
                             current_ = path;
                         });
        QObject::connect(&selector, &TDriveSelector::DriveChosen, &selector,
                         [this] { log_.push_back("DriveChosen " + current_); });
        QObject::connect(&selector, &TDriveSelector::DriveSwitched, &selector,
                         [this] { log_.push_back("UpdateBarPie"); });
    }

    std::string Caption(char letter) const {
        const QTemporaryDir& dir = letter == 'c' ? c_ : d_;
        return QString(dir.path().toLower() + " (" + letter + ":)").toStdString();
    }

    // Opens the menu with the button and clicks the item with the caption.
    void ChooseFromMenu(TDriveSelector& selector, const std::string& caption) {
        QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
        ASSERT_TRUE(selector.pmDrives()->isVisible());
        QAction* target = nullptr;
        for (QAction* item : selector.pmDrives()->actions())
            if (item->text().toStdString() == caption)
                target = item;
        ASSERT_NE(target, nullptr) << caption;
        QTest::mouseClick(selector.pmDrives(), Qt::LeftButton, {},
                          selector.pmDrives()->actionGeometry(target).center());
    }

    QTemporaryDir c_, d_;
    std::unique_ptr<TScopedDriveTable> table_;
    TDriveSelector::THooks hooks_;
    std::string current_ = "C:\\";
    std::vector<std::string> log_;
};

TEST_F(DriveSelectorTest, MenuListsOnlyFixedDrivesAndButtonNamesTheCurrentOne) {
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    EXPECT_EQ(selector.btnDrives()->width(), 77);
    EXPECT_EQ(selector.btnDrives()->text(), "");
    selector.SetDrivesList();
    QStringList captions;
    for (QAction* item : selector.pmDrives()->actions())
        captions << item->text();
    EXPECT_EQ(captions, QStringList({QString::fromStdString(Caption('c')),
                                     QString::fromStdString(Caption('d'))}));
    EXPECT_EQ(selector.btnDrives()->text().toStdString(), Caption('c'));
    for (QAction* item : selector.pmDrives()->actions())
        EXPECT_FALSE(item->icon().isNull());

    // Built once: running it again does not duplicate the items.
    selector.SetDrivesList();
    EXPECT_EQ(selector.pmDrives()->actions().size(), 2);
}

TEST_F(DriveSelectorTest, NoMatchingDriveKeepsTheEmptyCaption) {
    current_ = "X:\\";  // a drive the table does not know
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    EXPECT_EQ(selector.btnDrives()->text(), "");
}

TEST_F(DriveSelectorTest, ButtonDropsTheMenuBelowItsLeftEdge) {
    QWidget bar;
    // A button the tool bar already has is taken over.
    auto* button = new QToolButton(&bar);
    TDriveSelector selector(*this, hooks_, button);
    Follow(selector);
    EXPECT_EQ(selector.btnDrives(), button);
    selector.btnDrives()->move(40, 3);
    bar.resize(300, 29);
    bar.show();
    selector.SetDrivesList();
    QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
    ASSERT_TRUE(selector.pmDrives()->isVisible());
    const QPoint below = selector.btnDrives()->mapToGlobal(QPoint(0, 22));
    EXPECT_EQ(selector.pmDrives()->pos(), below);
    SaveShot(selector.pmDrives()->grab().toImage(), "pmdrives.png");
    selector.pmDrives()->hide();
}

TEST_F(DriveSelectorTest, ChoosingADriveSwitchesFolderThenAnalysesThenRedraws) {
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    ChooseFromMenu(selector, Caption('d'));
    EXPECT_EQ(log_,
              (std::vector<std::string>{"SetFolder D:\\", "DriveChosen D:\\", "UpdateBarPie"}));
    const QString caption = QString::fromStdString(Caption('d'));
    EXPECT_EQ(selector.btnDrives()->text(), caption);
    // Wide enough for the caption plus a margin of 20 pixels.
    const QFontMetricsF metrics(selector.btnDrives()->font());
    EXPECT_GE(selector.btnDrives()->width(), metrics.horizontalAdvance(caption) + 20);
    EXPECT_FALSE(selector.pmDrives()->isVisible());
    SaveShot(selector.btnDrives()->grab().toImage(), "btndrives.png");
}

// Mount points of every length, with blanks and ampersands: the button
// always shows the whole caption (the style needs no more room than it has,
// the text gets its 20-pixel margin beside the glyph), is never narrower
// than its design width, and is no wider than that needs.
TEST_F(DriveSelectorTest, ButtonGrowsAndShrinksToShowTheWholeCaption) {
    std::mt19937 random(20261209);
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz/ &_-.0123456789";
    QWidget bar;
    auto* button = new QToolButton(&bar);
    button->setIcon(bar.style()->standardIcon(QStyle::SP_DriveHDIcon));
    button->setIconSize(QSize(16, 16));
    std::vector<std::string> names;
    hooks_.DriveNames = [&names] { return names; };
    hooks_.FixedDrive = [](const std::string&) { return true; };
    TDriveSelector selector(*this, hooks_, button);
    Follow(selector);
    for (int round = 0; round < 40; ++round) {
        std::string mount = "/";
        const int length = std::uniform_int_distribution<int>(0, 60)(random);
        for (int i = 0; i < length; ++i) {
            mount +=
                alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
        }
        names = {mount + " (C:)", "/other (D:)"};
        current_ = round % 2 ? "C:\\" : "D:\\";
        selector.SetDrivesList();
        if (round % 3 == 0) {
            // Chosen from the menu instead of set at start-up.
            current_ = "X:\\";
            selector.menuDriveClick(selector.pmDrives()->actions()[0]);
        }
        const QString shown = button->text().replace("&&", "&");
        const std::string expected =
            DriveMenuCaption(round % 3 == 0 || round % 2 ? names[0] : names[1]);
        EXPECT_EQ(shown.toStdString(), expected);
        const int text = button->fontMetrics().horizontalAdvance(shown);
        EXPECT_GE(button->width(), 77);
        EXPECT_GE(button->width(), button->sizeHint().width()) << expected;
        EXPECT_GE(button->width(), text + 20 + 16) << expected;
        EXPECT_LE(button->width(),
                  std::max(77, std::max(button->sizeHint().width(), text + 40 + 16)))
            << expected;
    }
}

TEST_F(DriveSelectorTest, ChoosingTheCurrentDriveGoesBackToItsRoot) {
    current_ = "C:\\Some\\Folder";
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    ChooseFromMenu(selector, Caption('c'));
    EXPECT_EQ(current_, "C:\\");
    EXPECT_EQ(log_.size(), 3u);
}

TEST_F(DriveSelectorTest, MenuFollowsTheDriveTableEachTimeItOpens) {
    std::vector<std::string> told;
    int refreshes = 0;
    hooks_.Refresh = [&] { ++refreshes; };
    hooks_.NotMounted = [&](const std::string& text) { told.push_back(text); };
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    auto captions = [&] {
        std::vector<std::string> texts;
        for (QAction* item : selector.pmDrives()->actions())
            texts.push_back(item->text().toStdString());
        return texts;
    };
    // D: is unmounted while the program runs: the next opening of the menu
    // reads the table again and leaves it out.
    {
        TScopedDriveTable onlyC(TDriveTable({{'C', c_.path().toStdString()}}));
        QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(captions(), std::vector<std::string>{Caption('c')});
        selector.pmDrives()->hide();
    }
    // Mounted again: back in the menu.
    QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(captions(), (std::vector<std::string>{Caption('c'), Caption('d')}));
    // Unmounted while the menu is open: choosing it says so, once, and
    // changes nothing.
    QAction* d = selector.pmDrives()->actions().at(1);
    const QString before = selector.btnDrives()->text();
    TScopedDriveTable onlyC(TDriveTable({{'C', c_.path().toStdString()}}));
    selector.menuDriveClick(d);
    EXPECT_EQ(told, std::vector<std::string>{"D:"});
    EXPECT_EQ(DriveNotMountedText('d'),
              "Drive \"D:\\\" is not mounted. Its stored results are kept.");
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(selector.btnDrives()->text(), before);
    EXPECT_EQ(current_, "C:\\");
}

// Without a hook of its own the selector says so in a message box that shows
// its text as plain text, never as markup.
TEST_F(DriveSelectorTest, NotMountedIsToldInAPlainTextBox) {
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
    QAction* d = selector.pmDrives()->actions().at(1);
    selector.pmDrives()->hide();
    TScopedDriveTable onlyC(TDriveTable({{'C', c_.path().toStdString()}}));
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        format = box->textFormat();
        box->accept();
    });
    selector.menuDriveClick(d);
    EXPECT_EQ(shown.toStdString(), DriveNotMountedText('D'));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(current_, "C:\\");
}

TEST_F(DriveSelectorTest, FixedDriveAcceptsEitherCaseAndOnlyADriveText) {
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    EXPECT_TRUE(selector.FixedDrive("c:"));
    EXPECT_TRUE(selector.FixedDrive("D:"));
    EXPECT_FALSE(selector.FixedDrive("E:"));
    EXPECT_FALSE(selector.FixedDrive("C"));
    EXPECT_FALSE(selector.FixedDrive("C:\\Data"));
}

TEST_F(DriveSelectorTest, DisabledButtonOpensNothing) {
    TDriveSelector selector(*this, hooks_);
    Follow(selector);
    selector.SetDrivesList();
    selector.SetEnabled(false);
    QTest::mouseClick(selector.btnDrives(), Qt::LeftButton);
    EXPECT_FALSE(selector.pmDrives()->isVisible());
    EXPECT_TRUE(log_.empty());
}
