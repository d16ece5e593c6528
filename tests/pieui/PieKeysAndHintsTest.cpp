// The pie as a mouse and keyboard user meets it: the hint always names the
// slice under the pointer, also over a legend label; labels keep the name
// and the size line apart; the keyboard walks, opens and leaves slices; each
// slice is found in the middle of its own angles.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QMessageBox>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <random>

#include "app/pie/PieControl.h"
#include "platform/desktop/ShellOpen.h"
#include "tests/pieui/PieWindowFixture.h"
#include "views/common/DisplayText.h"
#include "views/pie/PieLabelWidgets.h"
#include "views/pie/PieLabels.h"

namespace {

// A file whose name holds a "%" (kept as %25 in the lists) and a tab.
const char kOddFile[] = "odd%\tname.bin";
const char kOddPath[] = "T:\\odd%25\tname.bin";
constexpr qint64 kMiB = 1024 * 1024;

class PieKeysAndHints : public PieWindowFixture {
  protected:
    void SetUp() override {
        MakeFile(QString::fromUtf8(kOddFile), 6 * kMiB);
        LoadDrive();
        QCoreApplication::processEvents();
    }
    void TearDown() override { QToolTip::hideText(); }

    // The hint that shows when the pointer rests at a point of widget: moves
    // there as the user does, then the help event arrives where it would.
    QString HintAt(QWidget* widget, QPoint at) {
        QTest::mouseMove(widget, at);
        QCoreApplication::processEvents();
        QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    // The first line a hint of the slice at a point of the pie must have.
    QString NameOfSliceAt(QPoint inPie) const {
        const int j = holder->ClickedPiece(inPie.x(), inPie.y());
        if (j < 0)
            return QString();
        return DisplayText(pieData.PiePaths[static_cast<size_t>(j)]);
    }
    QRect TextRect(const QLabel* label) const {
        const QRect inside =
            label->style()->itemTextRect(label->fontMetrics(), label->contentsRect(),
                                         static_cast<int>(label->alignment()), true, label->text());
        return inside.translated(label->pos());
    }
    void FocusPieByTab() {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        for (int i = 0; i < 10 && QApplication::focusWidget() != holder->Pie(); ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                            Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), holder->Pie());
    }
    void Key(int key) {
        QTest::keyClick(holder->Pie(), static_cast<Qt::Key>(key));
        QCoreApplication::processEvents();
    }
};

}  // namespace

TEST_F(PieKeysAndHints, HintOverALabelNamesTheSliceUnderThePointer) {
    int checked = 0;
    int otherSlice = 0;
    for (TPieLabel* label : PieLabels(holder->Pie())) {
        if (label->text().isEmpty() || label->Tag() == kCaptionTag)
            continue;
        for (int y = 2; y < label->height(); y += 5) {
            for (int x = 2; x < label->width(); x += 9) {
                const QPoint inPie = label->mapToParent(QPoint(x, y));
                const QString expected = NameOfSliceAt(inPie);
                const QString hint = HintAt(label, QPoint(x, y));
                if (expected.isEmpty()) {
                    // The remainder has no hint; none may be left showing.
                    EXPECT_TRUE(hint.isEmpty()) << hint.toStdString();
                    continue;
                }
                EXPECT_EQ(hint.section(QStringLiteral("\r\n"), 0, 0), expected)
                    << label->text().toStdString() << " at " << x << "," << y;
                otherSlice +=
                    NameLabelTag(holder->ClickedPiece(inPie.x(), inPie.y())) != label->Tag();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 50);
    // Labels reach over neighbouring slices; those points were part of it.
    EXPECT_GT(otherSlice, 0);
}

TEST_F(PieKeysAndHints, NamesAreShownNotEscapedAndControlsAreVisible) {
    const int entry = PieEntry(kOddPath);
    ASSERT_GT(entry, 0);
    const TPieLabel* name = nullptr;
    for (const TPieLabel* label : PieLabels(holder->Pie()))
        name = label->Tag() == NameLabelTag(entry) ? label : name;
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QString("Odd%?name.bin"));  // legend names start upper-case
    const QString hint = HintAt(holder->Pie(), SlicePoint(entry));
    EXPECT_TRUE(hint.startsWith("T:\\odd%?name.bin\r\nSize on disk: 6.0\r\n"))
        << hint.toStdString();
    EXPECT_FALSE(hint.contains("%25"));
}

TEST_F(PieKeysAndHints, NameAndSizeLinesNeverOverlapAtAnyZoom) {
    for (const int zoom : {100, 300}) {
        holder->SetZoom(zoom);
        pieData.FolderChanged = false;
        holder->DrawPieMain();
        QCoreApplication::processEvents();
        int pairs = 0;
        for (const TPieLabel* size : PieLabels(holder->Pie())) {
            if (size->Tag() < 20 || size->text().isEmpty())
                continue;
            const TPieLabel* name = nullptr;
            for (const TPieLabel* label : PieLabels(holder->Pie()))
                name = label->Tag() == size->Tag() - 19 ? label : name;
            ASSERT_NE(name, nullptr);
            const QRect nameText = TextRect(name);
            const QRect sizeText = TextRect(size);
            EXPECT_FALSE(nameText.intersects(sizeText))
                << name->text().toStdString() << " zoom " << zoom;
            EXPECT_LE(nameText.top(), sizeText.top());
            ++pairs;
        }
        EXPECT_GT(pairs, 3);
        const QByteArray folder = qgetenv("PIEUI_SHOTS");
        if (!folder.isEmpty())
            holder->Pie()->grab().save(
                QString::fromLocal8Bit(folder) +
                QString("/labels-zoom%1-x%2.png").arg(zoom).arg(holder->devicePixelRatioF()));
    }
}

TEST_F(PieKeysAndHints, EachSliceIsFoundInTheMiddleOfItsAngles) {
    const int n = static_cast<int>(pieData.PiePercents.size());
    ASSERT_GT(n, 5);
    for (int j = 1; j < n; ++j) {
        for (const double radius : {12.0, 40.0, 90.0, 140.0, 200.0})
            EXPECT_EQ(holder->ClickedPiece(SlicePoint(j, radius).x(), SlicePoint(j, radius).y()), j)
                << pieData.PiePaths[static_cast<size_t>(j)] << " radius " << radius;
    }
}

TEST_F(PieKeysAndHints, ArrowsWalkTheSlicesAsAPlainCounterDoes) {
    FocusPieByTab();
    const int slices = static_cast<int>(pieData.PiePercents.size()) - 1;
    ASSERT_GT(slices, 3);
    std::mt19937 random(7);
    int expected = 0;
    const int keys[] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};
    for (int step = 0; step < 60; ++step) {
        const int key = keys[std::uniform_int_distribution<int>(0, 3)(random)];
        const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
        if (expected == 0)
            expected = forward ? 1 : slices;
        else
            expected = forward ? expected % slices + 1 : (expected + slices - 2) % slices + 1;
        Key(key);
        ASSERT_EQ(holder->KeySlice(), expected) << "step " << step;
        // The chosen slice is outlined and its hint shows.
        ASSERT_TRUE(holder->Pie()->Outline().has_value());
        const std::string path(pieData.PiePaths[static_cast<size_t>(expected)]);
        EXPECT_EQ(QToolTip::text().section("\r\n", 0, 0), DisplayText(path));
        EXPECT_EQ(holder->ClickedPiece(holder->SliceMidPoint(expected).x(),
                                       holder->SliceMidPoint(expected).y()),
                  expected);
    }
    const QByteArray folder = qgetenv("PIEUI_SHOTS");
    if (!folder.isEmpty())
        holder->Pie()->grab().save(QString::fromLocal8Bit(folder) +
                                   QString("/keys-x%1.png").arg(holder->devicePixelRatioF()));
    // Walking changed no folder, and nothing was opened.
    EXPECT_EQ(listing.Root(), "T:\\");
    EXPECT_TRUE(opened.empty());
}

TEST_F(PieKeysAndHints, EnterOpensOrEntersAndBackspaceClimbs) {
    FocusPieByTab();
    const int file = PieEntry("T:\\video.mkv");
    const int folder = PieEntry("T:\\Documents");
    ASSERT_GT(file, 0);
    ASSERT_GT(folder, 0);
    while (holder->KeySlice() != file)
        Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("/video.mkv"));
    EXPECT_EQ(listing.Root(), "T:\\");
    while (holder->KeySlice() != folder)
        Key(Qt::Key_Left);
    Key(Qt::Key_Enter);
    EXPECT_EQ(listing.Root(), "T:\\Documents");
    // In the new folder nothing is chosen until an arrow is pressed.
    EXPECT_EQ(holder->KeySlice(), 0);
    EXPECT_FALSE(holder->Pie()->Outline().has_value());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(folderUps, 1);
    // A click never gives the pie the keyboard's outline.
    holder->Pie()->clearFocus();
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_NE(QApplication::focusWidget(), holder->Pie());
}

TEST_F(PieKeysAndHints, RightClickOnALabelReachesTheSliceUnderIt) {
    // A right press on a label is not the label's: it goes on to the pie,
    // whose handler shows the item's menu (here: the point it got).
    std::vector<QPoint> presses;
    holder->Pie()->OnMouseDown = [&](Qt::MouseButton button, QPoint at) {
        if (button == Qt::RightButton)
            presses.push_back(at);
    };
    for (TPieLabel* label : PieLabels(holder->Pie())) {
        if (label->text().isEmpty())
            continue;
        QTest::mousePress(label, Qt::RightButton, {}, QPoint(3, 4));
        QTest::mouseRelease(label, Qt::RightButton, {}, QPoint(3, 4));
        ASSERT_FALSE(presses.empty());
        EXPECT_EQ(presses.back(), label->mapToParent(QPoint(3, 4)));
        presses.clear();
    }
}

// A file for which the desktop has no program: the opener says so (xdg-open
// exits with 3) and the user is told, instead of nothing happening.
TEST_F(PieKeysAndHints, OpeningAFileWithoutAProgramIsTold) {
    const QString opener = dir.filePath("no-handler-opener");
    {
        QFile script(opener);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 3\n");
    }
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner);
    cq::desktop::SetShellOpenHook({});
    const QString previous = cq::desktop::SetOpenerProgram(opener);
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, SlicePoint(PieEntry("T:\\video.mkv")));
    QMessageBox* box = nullptr;
    for (int i = 0; i < 500 && !box; ++i) {
        QTest::qWait(10);
        for (QWidget* top : QApplication::topLevelWidgets())
            box = top->isVisible() && qobject_cast<QMessageBox*>(top)
                      ? qobject_cast<QMessageBox*>(top)
                      : box;
    }
    cq::desktop::SetOpenerProgram(previous);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QString("\"%1\" could not be opened. No program is set up to open files "
                                   "of this type.")
                               .arg(Native("video.mkv")));
    box->close();
    EXPECT_EQ(listing.Root(), "T:\\");
}
