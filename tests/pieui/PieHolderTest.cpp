// The pie in its holder, driven like a user: labels, clicks, the deferred
// label click, hints, zoom and "New colors".
#include <gtest/gtest.h>

#include <QCursor>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "app/pie/PieControl.h"
#include "tests/pieui/PieWindowFixture.h"
#include "views/pie/PieHint.h"
#include "views/pie/PieLabelWidgets.h"
#include "views/pie/PieLabels.h"

namespace {

class PieHolder : public PieWindowFixture {
  protected:
    TPieLabel* Label(int tag) const {
        for (TPieLabel* label : PieLabels(holder->Pie())) {
            if (label->Tag() == tag)
                return label;
        }
        return nullptr;
    }
    QString NameText(const std::string& path) const {
        const TPieLabel* label = Label(NameLabelTag(PieEntry(path)));
        return label ? label->text() : QString("<no label>");
    }
    QToolButton* Button(const char* name) const {
        return holder->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    void Hover(QPoint at) {
        QTest::mouseMove(holder->Pie(), at);
        QCoreApplication::processEvents();
    }
    // Clicks a label the way a user does: the pointer is over it.
    void ClickLabel(TPieLabel* label, QPoint at) {
        QCursor::setPos(label->mapToGlobal(at));
        QTest::mouseClick(label, Qt::LeftButton, {}, at);
    }
};

}  // namespace

TEST_F(PieHolder, LabelsShowNamesSizesCaptionAndOther) {
    LoadDrive();
    EXPECT_EQ(NameText("T:\\Fifteen_chars_1"), QString("Fifteen_char..."));
    EXPECT_EQ(NameText("T:\\Fourteen_chars"), QString("Fourteen_chars"));
    EXPECT_EQ(NameText("T:\\video.mkv"), QString("Video.mkv"));
    const TPieLabel* size = Label(SizeLabelTag(PieEntry("T:\\Documents")));
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->text(), QString("25.0"));
    const TPieLabel* name = Label(NameLabelTag(PieEntry("T:\\Documents")));
    EXPECT_EQ(size->x(), name->x());
    EXPECT_EQ(size->y(), name->y() + size->height());
    // Folders 86 %, the file 10 %: the remainder of 14.4 degrees is "Other".
    const int n = static_cast<int>(pieData.PieNames.size());
    ASSERT_NE(Label(NameLabelTag(n)), nullptr);
    EXPECT_EQ(Label(NameLabelTag(n))->text(), QString("Other"));
    EXPECT_EQ(Label(SizeLabelTag(n)), nullptr);
    const TPieLabel* caption = Label(kCaptionTag);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), QString("0.1 GB"));
    EXPECT_EQ(caption->width(), 40);
    EXPECT_EQ(caption->x(), 175 - 20);
    // Every label: Tahoma 7 (the caption 8), grey 49, on top of the pie.
    for (const TPieLabel* label : PieLabels(holder->Pie())) {
        EXPECT_EQ(label->font().family(), QString("Tahoma"));
        EXPECT_EQ(label->font().pointSize(), label->Tag() == kCaptionTag ? 8 : 7);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(49, 49, 49));
        EXPECT_TRUE(label->isVisible());
        if (label->Tag() != kCaptionTag && label->Tag() < 20) {
            EXPECT_EQ(label->size(), QSize(65, 17));
        }
    }
}

TEST_F(PieHolder, NarrowSliceHasEmptyLabelsThatStillReact) {
    LoadDrive();
    // 2 % is 7.2 degrees.
    const int tiny = PieEntry("T:\\tiny");
    ASSERT_GT(tiny, 0);
    TPieLabel* name = Label(NameLabelTag(tiny));
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->text().isEmpty());
    ASSERT_NE(Label(SizeLabelTag(tiny)), nullptr);
    EXPECT_TRUE(Label(SizeLabelTag(tiny))->text().isEmpty());
    // The click acts on the slice in the pointer's direction.
    const QPoint at(10, 10);  // the label's point on its circle
    const QPoint onPie = name->mapTo(holder->Pie(), at);
    const int expected = holder->ClickedPiece(onPie.x(), onPie.y());
    ASSERT_GT(expected, 0);
    const std::string target(pieData.PiePaths[static_cast<size_t>(expected)]);
    ASSERT_NE(target, "T:\\video.mkv");  // a folder next to the narrow slice
    ClickLabel(name, at);
    QCoreApplication::processEvents();
    EXPECT_EQ(listing.Root(), target);
}

TEST_F(PieHolder, RedrawReplacesEveryLabel) {
    LoadDrive();
    const auto first = PieLabels(holder->Pie());
    ASSERT_FALSE(first.isEmpty());
    QPointer<TPieLabel> old = first.front();
    holder->DrawPieMain();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(PieLabels(holder->Pie()).size(), first.size());
}

TEST_F(PieHolder, LeftClickEntersAFolderAndOpensAFile) {
    LoadDrive();
    treeVisible = true;
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, SlicePoint(PieEntry("T:\\video.mkv")));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(Native("video.mkv")));
    EXPECT_EQ(listing.Root(), "T:\\");
    EXPECT_EQ(expands, 0);

    const int before = redraws;
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, SlicePoint(PieEntry("T:\\Documents")));
    EXPECT_EQ(listing.Root(), "T:\\Documents");
    EXPECT_EQ(redraws, before + 1);
    EXPECT_EQ(expands, 1);
}

TEST_F(PieHolder, ClickOverTheRemainderDoesNothing) {
    LoadDrive();
    const int before = redraws;
    // Straight up and a little left: 350 degrees, inside the remainder.
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, QPoint(6, 154));
    EXPECT_EQ(redraws, before);
    EXPECT_EQ(listing.Root(), "T:\\");
    EXPECT_TRUE(opened.empty());
}

TEST_F(PieHolder, LabelClickActsOnlyAfterItsHandlerReturned) {
    LoadDrive();
    TPieLabel* name = Label(NameLabelTag(PieEntry("T:\\Documents")));
    ASSERT_NE(name, nullptr);
    QPointer<TPieLabel> guard = name;
    ClickLabel(name, QPoint(10, 10));
    // Nothing yet: the click went into the window's queue.
    EXPECT_EQ(listing.Root(), "T:\\");
    EXPECT_FALSE(guard.isNull());
    QCoreApplication::processEvents();
    EXPECT_EQ(listing.Root(), "T:\\Documents");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(PieHolder, HintOfAFileHasMegabytesWithoutUnit) {
    LoadDrive();
    Hover(SlicePoint(PieEntry("T:\\video.mkv")));
    const QString hint = holder->Pie()->toolTip();
    const QDateTime modified = QFileInfo(Native("video.mkv")).lastModified();
    const std::string date = HintDateText(modified, CurrentZoneBias());
    EXPECT_EQ(hint.toStdString(), "T:\\video.mkv\r\nSize on disk: 10.0\r\nModified: " + date);
    EXPECT_EQ(holder->HoveredPath(), "T:\\video.mkv");
}

TEST_F(PieHolder, HintOfAnAnalysedFolderHasMegabytesWithUnit) {
    LoadDrive();
    Hover(SlicePoint(PieEntry("T:\\Documents")));
    const QString hint = holder->Pie()->toolTip();
    EXPECT_EQ(holder->HoveredPath(), "T:\\Documents");
    EXPECT_TRUE(hint.startsWith("T:\\Documents\r\nSize on disk: 25.0MB\r\nModified: "))
        << hint.toStdString();
    EXPECT_TRUE(
        QRegularExpression("Modified: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [1-9][0-9]? [A-Z][a-z]{2} "
                           "[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} [+-][0-9]{4}$")
            .match(hint)
            .hasMatch())
        << hint.toStdString();
    // The same slice again leaves the hint as it is.
    holder->Pie()->setToolTip("kept");
    Hover(SlicePoint(PieEntry("T:\\Documents")) + QPoint(0, -1));
    EXPECT_EQ(holder->Pie()->toolTip(), QString("kept"));
}

TEST_F(PieHolder, HintOfAFolderThatWentAwayShowsTheZeroDate) {
    LoadDrive();
    ASSERT_TRUE(QDir(Native("Fourteen_chars")).removeRecursively());
    Hover(SlicePoint(PieEntry("T:\\Fourteen_chars")));
    EXPECT_EQ(holder->Pie()->toolTip().toStdString(),
              "T:\\Fourteen_chars\r\nSize on disk: 12.0MB\r\nModified: Sat, 30 Dec 1899 00:00:00 " +
                  HintZonePart(CurrentZoneBias()));
}

TEST_F(PieHolder, ZoomOutStopsAt20AfterFourStepsKeepingColours) {
    LoadDrive();
    const TStringList colours = pieData.PieColors;
    const TColor other = pieData.OtherColor;
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(Button("btnZOut"), Qt::LeftButton);
    EXPECT_EQ(holder->Zoom(), 20);
    EXPECT_EQ(holder->Pie()->size(), QSize(150, 150));
    QTest::mouseClick(Button("btnZOut"), Qt::LeftButton);
    EXPECT_EQ(holder->Zoom(), 20);
    EXPECT_EQ(holder->Pie()->size(), QSize(150, 150));
    EXPECT_EQ(pieData.PieColors, colours);
    EXPECT_EQ(pieData.OtherColor, other);
}

TEST_F(PieHolder, ZoomInByKeyReaches300AfterTenStepsKeepingColours) {
    LoadDrive();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const TStringList colours = pieData.PieColors;
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(holder->Zoom(), 280);
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(holder->Zoom(), 300);
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(holder->Zoom(), 300);
    EXPECT_EQ(holder->Pie()->size(), QSize(850, 850));
    EXPECT_EQ(pieData.PieColors, colours);
    // The pie now overflows its box: the box scrolls.
    EXPECT_GT(holder->horizontalScrollBar()->maximum(), 0);
    // Clicks follow the zoomed centre: the file slice is still the file.
    QTest::mouseClick(holder->Pie(), Qt::LeftButton, {}, SlicePoint(PieEntry("T:\\video.mkv")));
    EXPECT_EQ(opened.size(), 1u);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(holder->Zoom(), 280);
}

TEST_F(PieHolder, NewColorsChangesTheSliceColours) {
    LoadDrive();
    const TStringList colours = pieData.PieColors;
    const TStringList bars = barData.BarColors;
    const TStringList slices = pieData.PiePaths;
    QTest::mouseClick(Button("btnNewCols"), Qt::LeftButton);
    // Same slices, other colours.
    EXPECT_EQ(pieData.PiePaths, slices);
    EXPECT_NE(pieData.PieColors, colours);
    EXPECT_NE(barData.BarColors, bars);
}

TEST_F(PieHolder, ButtonStripAndHolderPlace) {
    LoadDrive();
    const char* names[] = {"btnZIn", "btnZOut", "btnNewCols", "btnSave"};
    const char* hints[] = {"Zoom in", "Zoom out", "New colors", ""};
    for (int i = 0; i < 4; ++i) {
        QToolButton* button = Button(names[i]);
        ASSERT_NE(button, nullptr) << names[i];
        EXPECT_EQ(button->geometry(), QRect(i * 20, 0, 21, 21)) << names[i];
        EXPECT_EQ(button->toolTip(), QString(hints[i])) << names[i];
        EXPECT_TRUE(button->autoRaise());
    }
    EXPECT_TRUE(Button("btnSave")->isHidden());
    EXPECT_EQ(holder->ButtonHolder()->geometry(), QRect(4, 0, 93, 25));
    EXPECT_EQ(holder->Pie()->pos(), QPoint(4, 12));
    EXPECT_EQ(holder->geometry(), QRect(404, 158, 700 - 404, 520 - 158));
    barHolder->resize(900, 700);
    EXPECT_EQ(holder->geometry(), QRect(404, 158, 496, 542));
    EXPECT_EQ(holder->acZoomIN()->shortcut(), QKeySequence("Ctrl+I"));
    EXPECT_EQ(holder->acZoomOUT()->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(holder->acChangeColors()->shortcut(), QKeySequence("Ctrl+C"));
}

TEST_F(PieHolder, PictureShowsSlicesUnderTheLabelsAtTheScreensScale) {
    LoadDrive();
    QCoreApplication::processEvents();
    const QImage shot = holder->grab().toImage();
    const qreal ratio = holder->devicePixelRatioF();
    EXPECT_EQ(shot.size(), holder->size() * ratio);
    // The picture is made for the screen's pixels, not stretched to them.
    EXPECT_EQ(holder->Pie()->Picture().size(), holder->Pie()->size() * ratio);
    // Where to look: PIEUI_SHOTS names a folder for the screenshot.
    const QByteArray folder = qgetenv("PIEUI_SHOTS");
    if (!folder.isEmpty())
        shot.save(QString::fromLocal8Bit(folder) + QString("/pie-%1.png").arg(qRound(ratio * 100)));
    // Inside the Documents slice the pie's colour shows; the caption's text
    // is dark grey on the pie's light centre.
    const QPoint inSlice = holder->Pie()->mapTo(holder, SlicePoint(PieEntry("T:\\Documents"), 80));
    const QColor slice = shot.pixelColor(inSlice * ratio);
    EXPECT_NE(slice, QColor(Qt::white));
    const TPieLabel* caption = Label(kCaptionTag);
    ASSERT_NE(caption, nullptr);
    const QRect captionArea(caption->mapTo(holder, QPoint(0, 0)) * ratio, caption->size() * ratio);
    int dark = 0;
    for (int y = captionArea.top(); y <= captionArea.bottom(); ++y) {
        for (int x = captionArea.left(); x <= captionArea.right(); ++x)
            dark += qGray(shot.pixel(x, y)) < 110 ? 1 : 0;
    }
    EXPECT_GT(dark, 5);
}
