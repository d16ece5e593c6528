// The Duplicates tab in the real window: Analize > "Find duplicates..."
// searches below the current folder, a double click goes to a copy, and
// reclaiming copies moves the drive's numbers as the item command does. A
// reclaim runs on a worker while the window's events go on; a cancel midway
// leaves every file whole, and the result after a restart goes on from it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>

#include "app/discover/DuplicateReclaimDialog.h"
#include "app/discover/DuplicateTab.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "engine/DuplicateFinder.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

namespace {

// Answers the next modal windows in turn, each with its step; the timer
// ends itself after the last step.
QTimer* AnswerModals(std::vector<std::function<void(QWidget*)>> steps) {
    auto left = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps));
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, left] {
        QWidget* modal = QApplication::activeModalWidget();
        // A reclaim's progress box is no question: it goes by itself.
        if (!modal || left->empty() || qobject_cast<QProgressDialog*>(modal))
            return;
        auto step = left->front();
        left->erase(left->begin());
        step(modal);
        if (left->empty())
            timer->deleteLater();
    });
    timer->start(20);
    return timer;
}

// Answers the reclaim dialog with every copy but the oldest of each group,
// in the given way.
std::function<void(QWidget*)> AllButOldest(QRadioButton* (TDuplicateReclaimDialog::*way)() const) {
    return [way](QWidget* w) {
        auto* dialog = qobject_cast<TDuplicateReclaimDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->AllChoice()->setChecked(true);
        (dialog->*way)()->setChecked(true);
        dialog->accept();
    };
}

// Clicks Yes of a question box, its text kept.
std::function<void(QWidget*)> Yes(QString* text) {
    return [text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        box->button(QMessageBox::Yes)->click();
    };
}

QByteArray Content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class DuplicateWindow : public WindowFixture {
  protected:
    TDuplicateTab* Search() {
        form->findChild<QAction*>("menuFindDuplicates")->trigger();
        auto* tab = form->findChild<TDuplicateTab*>();
        EXPECT_TRUE(tab->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([tab] { return !tab->Running(); }, 20000));
        return tab;
    }
    // Scans the drive again in the window, as the user does.
    void ScanDrive() {
        form->Scan().SetAsker([](const QString&) { return true; });
        form->acDiskAnalize->trigger();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 60000));
        Settle();
    }
    void WaitForSaves() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 20000));
        Settle();
    }
    // Every row of the drive's top folder as the list shows it.
    QStringList Numbers() {
        QStringList rows;
        for (int i = 0; i < form->BarLV->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = form->BarLV->topLevelItem(i);
            QStringList cells;
            for (int c = 0; c < form->BarLV->columnCount(); ++c)
                cells << row->text(c);
            rows << cells.join('|');
        }
        return rows;
    }
};

TEST_F(DuplicateWindow, FoundCopiesAreListedAGoToReachesOneAndTrashingItMovesTheNumbers) {
    // The trash goes into the drive's data home.
    ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
    OpenWindow();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ASSERT_EQ(RowText("alpha", 2), "50.0");
    TDuplicateTab* tab = Search();
    // a.bin and inner/i.bin hold the same 250 000 bytes; the other sizes differ.
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.size(), 1u);
    EXPECT_EQ(tab->Result()->TotalWaste(), 250000);
    QTreeWidget* list = tab->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* group = list->topLevelItem(0);
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->child(0)->text(0), "a.bin");
    EXPECT_EQ(group->child(1)->text(0), "i.bin");
    EXPECT_TRUE(tab->Status()->text().contains("waste 0.2 MB"))
        << tab->Status()->text().toStdString();
    tab->grab().save(QDir::temp().filePath("cq-duplicates-tab.png"));
    // Properties of alpha tell the bytes its copies waste.
    TUiScript script;
    RightClickRow("alpha", script, {TUiScript::ChooseMenuItem("Properties")});
    auto* properties = form->findChild<TItemPropertiesDialog*>();
    ASSERT_NE(properties, nullptr);
    EXPECT_TRUE(properties->Field("Duplicated").startsWith("250,000 bytes"))
        << properties->Field("Duplicated").toStdString();
    properties->close();
    Settle();

    Q_EMIT list->itemActivated(group->child(1), 0);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha\\inner");

    group = list->topLevelItem(0);  // the rows may have been made again
    QString question;
    list->clearSelection();
    group->child(1)->setSelected(true);
    AnswerModals({[](QWidget* w) {
                      auto* dialog = qobject_cast<TDuplicateReclaimDialog*>(w);
                      ASSERT_NE(dialog, nullptr);
                      EXPECT_TRUE(dialog->ChosenChoice()->isChecked());
                      dialog->LinkChoice()->setChecked(true);
                      EXPECT_TRUE(dialog->Explanation()->text().contains(
                          "change made through one name shows in all"));
                      dialog->grab().save(QDir::temp().filePath("cq-duplicates-reclaim.png"));
                      dialog->TrashChoice()->setChecked(true);
                      dialog->accept();
                  },
                  Yes(&question)});
    tab->ReclaimButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();
    // One copy's name goes to the Trash as one item from the item menu.
    EXPECT_EQ(question, "Move \"i.bin\" to the Trash?");
    EXPECT_FALSE(QFile::exists(drive->path() + "/alpha/inner/i.bin"));
    EXPECT_TRUE(QFile::exists(drive->path() + "/alpha/a.bin"));
    EXPECT_TRUE(tab->Result()->Groups.empty());
    form->acFolderUP->trigger();
    form->acFolderUP->trigger();
    Settle();
    ASSERT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowText("alpha", 1), "0.2");  // 500 000 less the 250 000 trashed
    EXPECT_EQ(RowText("share", 1), "0.2");
    EXPECT_TRUE(QFile::exists(drive->path() + "/share/Trash/files/i.bin"));
}

TEST_F(DuplicateWindow,
       TheLastResultIsKeptWithTheDriveMarkedAsOfAfterAChangeInsideUntilTheNextScan) {
    OpenWindow();
    Search();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    // The program started again over what it stored.
    form.reset();
    storeResults = false;
    OpenWindow();
    auto* tab = form->findChild<TDuplicateTab*>();
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.size(), 1u);
    EXPECT_EQ(tab->List()->topLevelItem(0)->childCount(), 2);
    EXPECT_FALSE(tab->Status()->text().contains("As of"));

    // An item command inside the searched folder (the whole drive).
    ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    TUiScript script;
    QString question;
    RightClickRow("f.bin", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();
    ASSERT_TRUE(tab->Result());
    EXPECT_TRUE(tab->Status()->text().contains("As of")) << tab->Status()->text().toStdString();

    // The next drive scan replaces the set, and the result with it.
    form->Scan().SetAsker([](const QString&) { return true; });
    form->acDiskAnalize->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
    Settle();
    EXPECT_FALSE(tab->Result());
}

// Many large copies found by a search in the window are replaced by hard
// links on a worker: the window's events go on meanwhile, the box tells the
// copies and bytes done, and a cancel midway leaves each copy whole, either
// a name of the kept file or untouched. The numbers then are a fresh
// scan's; after a restart the tab goes on from what was done, and moving
// the rest to the Trash asks as moving many chosen items does.
TEST_F(DuplicateWindow,
       AReclaimOnTheWorkerCancelledMidwayLeavesEveryFileWholeAndGoesOnAfterARestart) {
    constexpr int kCopies = 60;
    const QByteArray data = [] {
        QByteArray d(12 << 20, 0);
        quint32 x = 12345;
        for (char& c : d)
            c = char((x = x * 1103515245u + 12345u) >> 24);
        return d;
    }();
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("copies"));
    std::vector<QString> names;
    std::map<QString, quint64> inodes;
    for (int i = 0; i < kCopies; ++i) {
        names.push_back(root.filePath(QString("copies/c%1.bin").arg(i, 2, 10, QChar('0'))));
        QFile f(names.back());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(data), data.size());
    }
    auto inode = [](const QString& path) {
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return quint64(st.st_ino);
    };
    for (const QString& n : names)
        inodes[n] = inode(n);
    OpenWindow();
    ScanDrive();
    ASSERT_TRUE(Row("copies"));
    TDuplicateTab* tab = Search();
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.front().Copies.size(), std::size_t(kCopies));
    // The copies read from the disk, as after a while: a reclaim of them
    // takes long enough to be cancelled midway.
    for (const QString& n : names) {
        const int fd = ::open(QFile::encodeName(n).constData(), O_RDONLY);
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }

    // While the box lives: the window's timers run, and the box is told
    // how far the reclaim is; a copy in, the user cancels.
    int ticks = 0;
    int shareAtCancel = -1;
    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = form->findChild<QProgressDialog*>("DuplicateReclaimProgress");
        if (!box)
            return;
        ++ticks;
        seen << box->labelText();
        static const QRegularExpression done(
            "^Reclaiming duplicates: (\\d+) of (\\d+) copies, "
            "[0-9.]+ of [0-9.]+ MB compared$");
        const auto m = done.match(box->labelText());
        if (m.hasMatch() && m.captured(1).toInt() >= 1 && !box->wasCanceled()) {
            box->grab().save(QDir::temp().filePath("cq-duplicates-reclaim-progress.png"));
            shareAtCancel = box->value() * 1000 / std::max(1, box->maximum());
            box->findChild<QPushButton*>()->click();
        }
    });
    watch.start(5);
    QString question, told;
    AnswerModals(
        {AllButOldest(&TDuplicateReclaimDialog::LinkChoice), Yes(&question), [&told](QWidget* w) {
             auto* box = qobject_cast<QMessageBox*>(w);
             ASSERT_NE(box, nullptr);
             told = box->text();
             box->accept();
         }});
    tab->ReclaimButton()->click();
    watch.stop();
    WaitForSaves();
    EXPECT_GE(ticks, 3);
    // A copy or more of 60 compared: the bar shows a share, not only motion.
    EXPECT_GT(shareAtCancel, 0);
    EXPECT_LT(shareAtCancel, 1000);
    EXPECT_TRUE(seen.filter(QRegularExpression(" of 60 copies, .* MB compared$")).size() > 0)
        << seen.join('\n').toStdString();
    // The copies, and i.bin of the drive's own two equal files.
    EXPECT_TRUE(question.startsWith("Reclaim 60 copies")) << question.toStdString();
    EXPECT_TRUE(told.startsWith("The reclaim was cancelled: ")) << told.toStdString();

    // Each copy whole: a name of the kept file, or the file it was.
    const quint64 kept = inodes.at(names.front());
    int replaced = 0;
    for (const QString& n : names) {
        const quint64 now = inode(n);
        EXPECT_TRUE(now == inodes.at(n) || now == kept) << n.toStdString();
        replaced += now != inodes.at(n);
        ASSERT_EQ(Content(n), data) << n.toStdString();
    }
    EXPECT_GE(replaced, 1);
    EXPECT_LT(replaced, kCopies - 1);
    ASSERT_EQ(tab->Result()->Groups.size(), 2u);
    EXPECT_EQ(tab->Result()->Groups.front().Copies.size(), std::size_t(kCopies - replaced));
    const QStringList followed = Numbers();

    // Started again: the tab shows what was done, and the numbers are a
    // fresh scan's.
    form.reset();
    storeResults = false;
    OpenWindow();
    EXPECT_EQ(Numbers(), followed);
    tab = form->findChild<TDuplicateTab*>();
    ASSERT_TRUE(tab->Result());
    EXPECT_EQ(tab->Result()->Groups.front().Copies.size(), std::size_t(kCopies - replaced));
    // The result follows the reclaim: it is not "as of" an older state.
    EXPECT_FALSE(tab->Status()->text().contains("As of")) << tab->Status()->text().toStdString();
    ScanDrive();
    EXPECT_EQ(Numbers(), followed);

    // A new search, and the rest goes to the Trash.
    tab = Search();
    ASSERT_TRUE(tab->Result());
    ASSERT_TRUE(root.mkpath("share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("share")));
    AnswerModals({AllButOldest(&TDuplicateReclaimDialog::TrashChoice), Yes(&question)});
    tab->ReclaimButton()->click();
    WaitForSaves();
    EXPECT_TRUE(question.startsWith(QString("Move these %1 items (").arg(kCopies - replaced)))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith(") and everything in them to the Trash?"));
    EXPECT_TRUE(tab->Result()->Groups.empty());
    for (const QString& n : names)
        EXPECT_EQ(QFile::exists(n), inode(n) == kept) << n.toStdString();
    const QStringList trashed = Numbers();
    EXPECT_NE(trashed, followed);
    ScanDrive();
    EXPECT_EQ(Numbers(), trashed);
}

// Copies in three folders replaced by hard links to the oldest, in
// alpha/inner: the file then counts once, where a scan counts it (in
// alpha, whose path sorts first), so every folder's numbers are a fresh
// scan's.
TEST_F(DuplicateWindow, HardLinksAcrossFoldersCountOnceWhereAScanCountsThem) {
    QDir root(drive->path());
    ASSERT_TRUE(QFile::copy(root.filePath("alpha/a.bin"), root.filePath("beta/b2.bin")));
    OpenWindow();
    ScanDrive();
    TDuplicateTab* tab = Search();
    ASSERT_EQ(tab->Result()->Groups.size(), 1u);
    ASSERT_EQ(tab->Result()->Groups.front().Copies.size(), 3u);
    QString question;
    AnswerModals({AllButOldest(&TDuplicateReclaimDialog::LinkChoice), Yes(&question)});
    tab->ReclaimButton()->click();
    WaitForSaves();
    EXPECT_TRUE(question.startsWith("Reclaim 2 copies")) << question.toStdString();
    EXPECT_TRUE(tab->Result()->Groups.empty());
    struct stat kept {
    }, copy{};
    ::lstat(QFile::encodeName(root.filePath("alpha/inner/i.bin")).constData(), &kept);
    ::lstat(QFile::encodeName(root.filePath("beta/b2.bin")).constData(), &copy);
    EXPECT_EQ(kept.st_ino, copy.st_ino);
    EXPECT_EQ(kept.st_nlink, 3u);
    const QStringList top = Numbers();
    DoubleClickRow("alpha");
    const QStringList alpha = Numbers();
    form->acFolderUP->trigger();
    Settle();
    ScanDrive();
    EXPECT_EQ(Numbers(), top);
    DoubleClickRow("alpha");
    EXPECT_EQ(Numbers(), alpha);
}

// On btrfs (tests/dupes/on_btrfs.sh, with the drive made there): copies
// replaced by clones are copies of their own, with their own inodes, that
// share the kept copy's data: marked already shared and wasting nothing,
// as a new search finds them. After a restart the stored result still
// knows each clone, so the clones can be reclaimed in turn.
TEST_F(DuplicateWindow, ClonesAreMarkedAlreadySharedAndStayReclaimableAfterARestart) {
    if (!qEnvironmentVariableIsSet("CQ_BTRFS_DIR"))
        GTEST_SKIP() << "runs inside tests/dupes/on_btrfs.sh";
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("dup"));
    QByteArray data(1 << 20, 0);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7919) >> 5);
    const QStringList names{"dup/one.bin", "dup/three.bin", "dup/two.bin"};
    for (const QString& n : names) {
        QFile f(root.filePath(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    ::sync();  // settled extents, which clones share
    OpenWindow();
    ScanDrive();
    TDuplicateTab* tab = Search();
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.front().Size, data.size());
    tab->List()->clearSelection();
    tab->List()->topLevelItem(0)->setSelected(true);  // all its copies but the first
    QString question;
    AnswerModals({[](QWidget* w) {
                      auto* dialog = qobject_cast<TDuplicateReclaimDialog*>(w);
                      ASSERT_NE(dialog, nullptr);
                      dialog->CloneChoice()->setChecked(true);
                      dialog->accept();
                  },
                  Yes(&question)});
    tab->ReclaimButton()->click();
    WaitForSaves();
    EXPECT_TRUE(question.startsWith("Reclaim 2 copies")) << question.toStdString();

    // The group of the copies (a group wasting nothing sorts after
    // alpha's two equal files).
    auto copiesGroup = [&](const TDuplicateResult& r) {
        std::size_t g = 0;
        while (g + 1 < r.Groups.size() && r.Groups[g].Size != data.size())
            ++g;
        return g;
    };
    // Each copy as it is on the disk, all sharing one place.
    auto expectFollowed = [&](TDuplicateTab* shown) {
        ASSERT_TRUE(shown->Result());
        const std::size_t g = copiesGroup(*shown->Result());
        const TDuplicateGroup& group = shown->Result()->Groups[g];
        ASSERT_EQ(group.Size, data.size());
        ASSERT_EQ(group.Copies.size(), 3u);
        EXPECT_EQ(group.Waste(), 0);
        for (std::size_t c = 0; c < group.Copies.size(); ++c) {
            struct stat st {};
            ::lstat(group.Copies[c].Names.front().c_str(), &st);
            EXPECT_EQ(group.Copies[c].Inode, st.st_ino) << group.Copies[c].Names.front();
            EXPECT_EQ(group.Copies[c].WriteNanos,
                      st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec);
            EXPECT_EQ(shown->List()->topLevelItem(int(g))->child(int(c))->text(5),
                      "already shared");
        }
    };
    expectFollowed(tab);
    ::sync();
    TDuplicateResult fresh;
    ASSERT_TRUE(TDuplicateFinder().Run(tab->Result()->Root, fresh));
    ASSERT_EQ(fresh.Groups[copiesGroup(fresh)].Size, data.size());
    EXPECT_EQ(fresh.Groups[copiesGroup(fresh)].Places(), 1);

    form.reset();
    storeResults = false;
    OpenWindow();
    tab = form->findChild<TDuplicateTab*>();
    expectFollowed(tab);
    // The clones are reclaimed in turn from the stored result: none is
    // refused as changed.
    QString told;
    QPointer<QTimer> answers = AnswerModals(
        {AllButOldest(&TDuplicateReclaimDialog::TrashChoice), Yes(&question), [&told](QWidget* w) {
             told = qobject_cast<QMessageBox*>(w)->text();
             w->close();
         }});
    ASSERT_TRUE(root.mkpath("share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("share")));
    tab->ReclaimButton()->click();
    WaitForSaves();
    delete answers.data();  // no report of copies left alone came
    EXPECT_TRUE(told.isEmpty()) << told.toStdString();
    EXPECT_EQ(QDir(root.filePath("dup")).entryList(QDir::Files).size(), 1);
    const QStringList trashed = Numbers();
    ScanDrive();
    EXPECT_EQ(Numbers(), trashed);
}
