// The item context menu on a pie slice and on a bar row, chosen through the
// real menu: move to trash, rename, paste, properties, Escape, and the case
// twins "Data" and "data".
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "app/pie/PieControl.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "platform/desktop/ItemActions.h"
#include "tests/pieui/PieWindowFixture.h"
#include "tests/pieui/UiScript.h"

namespace {

// A pattern of a figure with the user's digit grouping: each "," stands for
// the locale's group separator and each "." for any one character (the
// decimal separator).
QString Grouped(QString pattern) {
    return pattern.replace(",", QRegularExpression::escape(QLocale::system().groupSeparator()));
}

// A step that only looks at the message box that is up: plain text or not.
TUiScript::TStep SeeMessageBoxFormat(Qt::TextFormat* format) {
    return [format] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return false;
        *format = box->textFormat();
        return true;
    };
}

class ContextMenu : public PieWindowFixture {
  protected:
    // Right-clicks the slice of path with the script running the menu.
    void RightClickSlice(const std::string& path, QList<TUiScript::TStep> steps) {
        const int entry = PieEntry(path);
        ASSERT_GT(entry, 0) << path;
        script.Start(std::move(steps));
        QTest::mouseClick(holder->Pie(), Qt::RightButton, {}, SlicePoint(entry));
        EXPECT_TRUE(script.Finished());
    }
    bool Listed(const std::string& path) const { return listing.IndexOfPath(path) >= 0; }
    QString Trashed(const QString& name) const {
        return dir.filePath(".share/Trash/files/" + name);
    }

    TUiScript script;
    QString menuItems;
    QString question;
};

}  // namespace

TEST_F(ContextMenu, MoveToTrashOnASliceRemovesSliceAndRowKeepsStoredSizes) {
    LoadDrive();
    const TStringList dirs = store.GlobalDirs();
    const TStringList sizes = store.GlobalDirSizes();
    const TStringList percents = store.GlobalPercents();
    const int before = redraws;
    RightClickSlice("T:\\Data", {TUiScript::ChooseMenuItem("Move to Trash", &menuItems),
                                 TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    EXPECT_EQ(menuItems,
              QString("Open|Copy path|Cut|Copy|Paste(off)|Rename\u2026|Move to Trash|Properties|"));
    EXPECT_EQ(question, QString("?|Move the folder \"Data\" and everything in it to the Trash?"));
    // Gone from the folder, in the trash with its content.
    EXPECT_FALSE(QFileInfo::exists(Native("Data")));
    EXPECT_TRUE(QFileInfo::exists(Trashed("Data/big.bin")));
    // The row and the slice are gone; the case twin stays.
    EXPECT_FALSE(Listed("T:\\Data"));
    EXPECT_TRUE(Listed("T:\\data"));
    EXPECT_EQ(PieEntry("T:\\Data"), -1);
    EXPECT_GT(PieEntry("T:\\data"), 0);
    EXPECT_EQ(barData.BarSizes.size(), static_cast<size_t>(listing.Count()));
    EXPECT_EQ(redraws, before + 1);
    // This store has no data folder, so no changed set could be stored: the
    // lists stay as they were rather than differ from the files.
    EXPECT_EQ(store.GlobalDirs(), dirs);
    EXPECT_EQ(store.GlobalDirSizes(), sizes);
    EXPECT_EQ(store.GlobalPercents(), percents);
}

TEST_F(ContextMenu, MoveToTrashOfTheLowerCaseTwinLeavesTheOtherOne) {
    LoadDrive();
    RightClickSlice("T:\\data", {TUiScript::ChooseMenuItem("Move to Trash"),
                                 TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    EXPECT_TRUE(question.contains("\"data\""));
    EXPECT_FALSE(QFileInfo::exists(Native("data")));
    EXPECT_TRUE(QFileInfo::exists(Native("Data/big.bin")));
    EXPECT_TRUE(QFileInfo::exists(Trashed("data")));
    EXPECT_FALSE(Listed("T:\\data"));
    EXPECT_TRUE(Listed("T:\\Data"));
}

TEST_F(ContextMenu, DecliningTheTrashKeepsTheItemButRereadsTheFolder) {
    LoadDrive();
    const int before = redraws;
    RightClickSlice("T:\\video.mkv",
                    {TUiScript::ChooseMenuItem("Move to Trash"),
                     TUiScript::ClickMessageBoxButton(QMessageBox::No, &question)});
    EXPECT_EQ(question, QString("?|Move \"video.mkv\" to the Trash?"));
    EXPECT_TRUE(QFileInfo::exists(Native("video.mkv")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(".share/Trash")));
    EXPECT_TRUE(Listed("T:\\video.mkv"));
    EXPECT_EQ(redraws, before + 1);
}

TEST_F(ContextMenu, EscapeRunsNothing) {
    LoadDrive();
    const int before = redraws;
    const TStringList colours = pieData.PieColors;
    RightClickSlice("T:\\Documents", {TUiScript::PressKeyInMenu(Qt::Key_Escape)});
    EXPECT_EQ(redraws, before);
    EXPECT_EQ(pieData.PieColors, colours);
    EXPECT_TRUE(QFileInfo::exists(Native("Documents")));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ContextMenu, RenameRebuildsOnce) {
    LoadDrive();
    const int before = redraws;
    RightClickSlice("T:\\Documents", {TUiScript::ChooseMenuItem("Rename\u2026"),
                                      TUiScript::TypeIntoInputDialog("Papers", true)});
    EXPECT_TRUE(QFileInfo::exists(Native("Papers")));
    EXPECT_FALSE(QFileInfo::exists(Native("Documents")));
    EXPECT_EQ(redraws, before + 1);
    EXPECT_TRUE(Listed("T:\\Papers"));
    EXPECT_FALSE(Listed("T:\\Documents"));
    // The stored results know no "Papers": it gets no slice.
    EXPECT_EQ(PieEntry("T:\\Papers"), -1);
    EXPECT_EQ(PieEntry("T:\\Documents"), -1);
}

TEST_F(ContextMenu, RenameToTheTwinsNameIsRefusedWithAReason) {
    LoadDrive();
    QString message;
    RightClickSlice("T:\\data", {TUiScript::ChooseMenuItem("Rename\u2026"),
                                 TUiScript::TypeIntoInputDialog("Data", true),
                                 TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &message)});
    EXPECT_TRUE(message.contains("already exists")) << message.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Native("data")));
    EXPECT_TRUE(QFileInfo::exists(Native("Data/big.bin")));
    EXPECT_TRUE(Listed("T:\\data"));
}

TEST_F(ContextMenu, CancelledRenameChangesNothing) {
    LoadDrive();
    RightClickSlice("T:\\Documents", {TUiScript::ChooseMenuItem("Rename\u2026"),
                                      TUiScript::TypeIntoInputDialog("Other name", false)});
    EXPECT_TRUE(QFileInfo::exists(Native("Documents")));
    EXPECT_FALSE(QFileInfo::exists(Native("Other name")));
}

TEST_F(ContextMenu, CopyThenPasteIntoAFolder) {
    LoadDrive();
    RightClickSlice("T:\\video.mkv", {TUiScript::ChooseMenuItem("Copy")});
    const int before = redraws;
    RightClickSlice("T:\\Documents", {TUiScript::ChooseMenuItem("Paste", &menuItems)});
    EXPECT_TRUE(menuItems.contains("|Paste|")) << menuItems.toStdString();
    EXPECT_EQ(QFileInfo(Native("Documents/video.mkv")).size(), 10 * 1024 * 1024);
    EXPECT_TRUE(QFileInfo::exists(Native("video.mkv")));
    EXPECT_EQ(redraws, before + 1);
}

TEST_F(ContextMenu, CopyPathPutsTheNativePathOnTheClipboard) {
    LoadDrive();
    const int before = redraws;
    RightClickSlice("T:\\Fourteen_chars", {TUiScript::ChooseMenuItem("Copy path")});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Native("Fourteen_chars"));
    EXPECT_EQ(redraws, before);
}

TEST_F(ContextMenu, OpenAndPropertiesChangeNothingInTheProgram) {
    LoadDrive();
    const int before = redraws;
    RightClickSlice("T:\\video.mkv", {TUiScript::ChooseMenuItem("Open")});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(Native("video.mkv")));
    RightClickSlice("T:\\video.mkv", {TUiScript::ChooseMenuItem("Properties")});
    auto* properties = window.findChild<TItemPropertiesDialog*>();
    ASSERT_NE(properties, nullptr);
    EXPECT_TRUE(properties->isVisible());
    EXPECT_EQ(properties->Field("Name"), QString("video.mkv"));
    EXPECT_EQ(properties->Field("Location"), dir.path());
    EXPECT_TRUE(QRegularExpression(Grouped("^10,485,760 bytes \\(10.0 MB\\)$"))
                    .match(properties->Field("Size"))
                    .hasMatch())
        << properties->Field("Size").toStdString();
    properties->close();
    EXPECT_EQ(redraws, before);
}

TEST_F(ContextMenu, RemainderAndUnlistedItemsGetNoMenu) {
    LoadDrive();
    script.Start({TUiScript::ChooseMenuItem("Open")});
    // The remainder, straight left and a little up.
    QTest::mouseClick(holder->Pie(), Qt::RightButton, {}, QPoint(6, 154));
    EXPECT_EQ(script.StepsDone(), 0);
    // A slice whose item has left the listing (made elsewhere since).
    ASSERT_TRUE(QDir(Native("Fourteen_chars")).removeRecursively());
    ASSERT_TRUE(listing.Refresh());
    QTest::mouseClick(holder->Pie(), Qt::RightButton, {},
                      SlicePoint(PieEntry("T:\\Fourteen_chars")));
    EXPECT_EQ(script.StepsDone(), 0);
    EXPECT_EQ(ShownMenu(), nullptr);
}

TEST_F(ContextMenu, RowMenuMovesTheRowsItemToTheTrash) {
    LoadDrive();
    // A bar list whose rows are the listing's items, with the window's
    // right-click handling.
    QTreeWidget rows(&window);
    rows.setGeometry(0, 0, 400, 400);
    for (const TShellFolder& item : listing.Items())
        new QTreeWidgetItem(&rows, {item.DisplayName(), QString::fromStdString(item.PathName())});
    rows.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&rows, &QWidget::customContextMenuRequested, [&](const QPoint& pos) {
        const QTreeWidgetItem* row = rows.itemAt(pos);
        if (!row)
            return;
        InvokeContextMenuForPath(&window, listing, row->text(1).toStdString(), rows.viewport(), pos,
                                 [this] { holder->RereadAndRebuild(); });
    });
    rows.show();
    const int index = listing.IndexOfPath("T:\\data");
    ASSERT_GE(index, 0);
    const QRect rect = rows.visualItemRect(rows.topLevelItem(index));
    script.Start({TUiScript::ChooseMenuItem("Move to Trash"),
                  TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    // Through the window, as the desktop delivers a right click: the press
    // turns into the list's context-menu request.
    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {},
                      rows.viewport()->mapTo(&window, rect.center()));
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(question.contains("\"data\""));
    EXPECT_FALSE(Listed("T:\\data"));
    EXPECT_TRUE(Listed("T:\\Data"));
    EXPECT_EQ(PieEntry("T:\\data"), -1);
    EXPECT_TRUE(QFileInfo::exists(Trashed("data")));
}

TEST_F(ContextMenu, PasteOfAFifoIsRefusedWithAMessage) {
    LoadDrive();
    const std::string fifo = QFile::encodeName(Native("pipe")).toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cq::desktop::PutItemsOnClipboard({false, {fifo}});
    RightClickSlice("T:\\Documents",
                    {TUiScript::ChooseMenuItem("Paste"),
                     TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &question)});
    EXPECT_TRUE(question.startsWith("Paste|")) << question.toStdString();
    EXPECT_TRUE(question.contains("named pipe")) << question.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Native("Documents/pipe")));
    EXPECT_EQ(QDir(Native("Documents"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(ContextMenu, NamesAreNeverMarkupAndFoldersShowTheirAnalysedSize) {
    MakeFile("<b>bold.bin", 5 * 1024 * 1024);
    LoadDrive();
    SetAnalysedSizeLookup(StoredSizeLookup(store));
    RightClickSlice("T:\\Documents", {TUiScript::ChooseMenuItem("Properties")});
    auto* properties = window.findChild<TItemPropertiesDialog*>();
    ASSERT_NE(properties, nullptr);
    // 25 MiB stored for the folder (its own listing says nothing of it).
    EXPECT_TRUE(QRegularExpression(Grouped("^26,214,400 bytes \\(25.0 MB\\), as analysed$"))
                    .match(properties->Field("Size"))
                    .hasMatch())
        << properties->Field("Size").toStdString();
    properties->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetAnalysedSizeLookup({});

    Qt::TextFormat format = Qt::AutoText;
    RightClickSlice("T:\\<b>bold.bin",
                    {TUiScript::ChooseMenuItem("Move to Trash"), SeeMessageBoxFormat(&format),
                     TUiScript::ClickMessageBoxButton(QMessageBox::No, &question)});
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(question, QString("?|Move \"<b>bold.bin\" to the Trash?"));
}
