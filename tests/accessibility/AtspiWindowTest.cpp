// The main window as a screen reader reads it: the test walks the window's
// accessible tree through the AT-SPI registry from another process (run by
// ctest inside dbus-run-session, xvfb-run and the accessibility bus) and
// holds what it reads against what the window draws.
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>

#include "app/pie/PieControl.h"
#include "app/pie/PieHolder.h"
#include "tests/window/WindowFixture.h"
#include "views/common/DisplayText.h"
#include "views/common/NumberText.h"
#include "views/pie/PieData.h"
#include "views/pie/PieLabelWidgets.h"
#include "views/pie/PieLabels.h"

namespace {

using TVisit = std::function<void(const QJsonObject&)>;

void Visit(const QJsonObject& node, const TVisit& visit) {
    visit(node);
    for (const QJsonValue& child : node["children"].toArray())
        Visit(child.toObject(), visit);
}

bool Has(const QJsonObject& node, const char* state) {
    return node["states"].toArray().contains(QString::fromLatin1(state));
}

QStringList ChildNames(const QJsonObject& node) {
    QStringList names;
    for (const QJsonValue& child : node["children"].toArray())
        names << child.toObject()["name"].toString();
    return names;
}

class AtspiWindowTest : public WindowFixture {
  protected:
    int walks = 0;
    // The whole tree of this process as the registry gives it; empty (and
    // a failure) when the registry or the program on it cannot be reached.
    QJsonObject Walk() {
        QProcess walker;
        walker.start(
            QStringLiteral(CQ_PYTHON),
            {QStringLiteral(CQ_ATSPI_WALK), QString::number(QCoreApplication::applicationPid())});
        // The window answers the walker's calls from this event loop.
        const bool ended =
            QTest::qWaitFor([&] { return walker.state() == QProcess::NotRunning; }, 120000);
        EXPECT_TRUE(ended) << "the walker did not finish";
        EXPECT_EQ(walker.exitCode(), 0) << walker.readAllStandardError().toStdString();
        const QByteArray json = walker.readAllStandardOutput();
        // Setting CQ_ATSPI_DUMP keeps what was read, for a look.
        const QString dump = qEnvironmentVariable("CQ_ATSPI_DUMP");
        if (!dump.isEmpty()) {
            QFile file(dump + QString::number(++walks));
            if (file.open(QIODevice::WriteOnly))
                file.write(json);
        }
        return QJsonDocument::fromJson(json).object();
    }

    static QJsonObject First(const QJsonObject& root,
                             const std::function<bool(const QJsonObject&)>& match) {
        QJsonObject found;
        Visit(root, [&](const QJsonObject& node) {
            if (found.isEmpty() && match(node))
                found = node;
        });
        return found;
    }

    static QJsonObject PieNode(const QJsonObject& root) {
        // The treemap panel's chart is there too, hidden until shown.
        return First(root, [](const QJsonObject& n) {
            return n["role"] == "chart" && !n["name"].toString().startsWith("Treemap of");
        });
    }

    // Slice j of the pie lists (1 the first): its name and its share as
    // the pie draws them.
    QString SliceName(int j) const {
        return DisplayText(form->PieData().PieNames[static_cast<size_t>(j)]);
    }
    QString SliceShare(int j) const {
        const auto& percents = form->PieData().PiePercents;
        return QString::fromStdString(FormatPercent(
                   static_cast<float>(StrToFloat(percents[static_cast<size_t>(j)])))) +
               " percent";
    }
};

TEST_F(AtspiWindowTest, BarRowsPieSlicesTreeAndFocusAsTheRegistryReadsThem) {
    OpenWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F4);  // the tree too
    Settle();
    // The colours stay as drawn until the next refresh: a picture before
    // and one after the whole window was read through the bus must match.
    const QImage before = form->grab().toImage();
    const QJsonObject root = Walk();
    ASSERT_FALSE(root.isEmpty()) << "nothing read from the accessibility bus";
    Settle();
    EXPECT_TRUE(before == form->grab().toImage()) << "reading the window changed its picture";

    // Every bar-list row is read with its name and its MB text as drawn.
    ASSERT_GT(form->BarLV->topLevelItemCount(), 2);
    for (int i = 0; i < form->BarLV->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = form->BarLV->topLevelItem(i);
        const QString expected =
            row->text(0) + ", " + row->text(1) + " MB, " + row->text(2) + " percent";
        const QJsonObject cell =
            First(root, [&](const QJsonObject& n) { return n["name"] == expected; });
        EXPECT_FALSE(cell.isEmpty()) << "no row read as " << expected.toStdString();
    }

    // The pie: a chart whose children are its slices, in angle order, with
    // their names and shares; the caption is its description.
    const QJsonObject pie = PieNode(root);
    ASSERT_FALSE(pie.isEmpty());
    const int slices = static_cast<int>(form->PieData().PiePercents.size()) - 1;
    ASSERT_GE(slices, 3);
    const QStringList children = ChildNames(pie);
    ASSERT_EQ(children.size(), slices) << children.join(" | ").toStdString();
    for (int j = 1; j <= slices; ++j) {
        EXPECT_TRUE(children[j - 1].startsWith(SliceName(j) + ", "))
            << children[j - 1].toStdString();
        EXPECT_TRUE(children[j - 1].endsWith(", " + SliceShare(j)))
            << children[j - 1].toStdString();
    }
    const QList<TPieLabel*> labels = PieLabels(form->Pie);
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.front()->Tag(), kCaptionTag);
    EXPECT_EQ(pie["description"].toString(), labels.front()->text());

    // A node of the folder tree reads its name and analysed size.
    ASSERT_TRUE(form->Tree->isVisible());
    const QJsonObject tree = First(root, [](const QJsonObject& n) {
        return n["role"] == "tree" && n["name"] == "Folder tree";
    });
    const QJsonObject alpha = First(
        tree, [](const QJsonObject& n) { return n["name"].toString().startsWith("alpha, "); });
    EXPECT_EQ(alpha["name"].toString(), "alpha, 0.5 MB, 50 percent");
    const QJsonObject drive =
        First(tree, [](const QJsonObject& n) { return n["role"] == "table cell"; });
    EXPECT_TRUE(drive["name"].toString().endsWith("(C:), 1.0 MB"))
        << drive["name"].toString().toStdString();

    // No control is without a name, shown or not: the rows of the menus
    // (listed before a menu opens) and the tool bar's buttons included.
    QStringList unnamed;
    Visit(root, [&](const QJsonObject& n) {
        static const QStringList controls{"menu item",       "check box",       "push button",
                                          "check menu item", "radio menu item", "toggle button"};
        if ((Has(n, "focusable") || controls.contains(n["role"].toString())) &&
            n["name"].toString().isEmpty())
            unnamed << n["role"].toString();
    });
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    int menuRows = 0;
    Visit(root, [&](const QJsonObject& n) {
        menuRows += n["role"] == "menu item" && n["name"] == "Disk usage" ? 1 : 0;
    });
    EXPECT_EQ(menuRows, 1) << "the View menu's rows are read before it opens";

    // Two keys on the focused pie: the outlined slice is the focused child.
    form->Pie->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(form->Pie->hasFocus());
    QTest::keyClick(form->Pie, Qt::Key_Right);
    QTest::keyClick(form->Pie, Qt::Key_Right);
    Settle();
    const int chosen = form->pieHolder->KeySlice();
    ASSERT_EQ(chosen, 2);
    ASSERT_TRUE(static_cast<TPieControl*>(form->Pie)->Outline().has_value());
    const QJsonObject moved = PieNode(Walk());
    QStringList focused;
    for (const QJsonValue& child : moved["children"].toArray()) {
        if (Has(child.toObject(), "focused"))
            focused << child.toObject()["name"].toString();
    }
    ASSERT_EQ(focused.size(), 1) << focused.join(" | ").toStdString();
    EXPECT_TRUE(focused.front().startsWith(SliceName(chosen) + ", "))
        << focused.front().toStdString();
}

}  // namespace
