#pragma once
// A pie holder in a small window over a real drive "T:" in a temporary
// folder, with its stored analysis, the listing of the drive's root and the
// bar and pie data the main window would lend it. The trash of the test
// lives in the same temporary folder.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "app/pie/PieHolder.h"
#include "engine/ResultStore.h"
#include "platform/DriveTable.h"
#include "views/bar/BarData.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/ShellListModel.h"

class PieWindowFixture : public ::testing::Test {
  protected:
    PieWindowFixture();
    ~PieWindowFixture() override;

    // Native path of a path below the drive's root.
    QString Native(const QString& relative) const;
    void MakeFolder(const QString& relative) const;
    void MakeFile(const QString& relative, qint64 size) const;

    // Stores the drive's analysis (folders in byte order) and shows its root.
    void LoadDrive();
    // Index of a pie entry by path, -1 when the pie has none.
    int PieEntry(const std::string& path) const;
    // A point of the pie control in the middle direction of entry j, at the
    // given distance from the centre (inside the disc and clear of the
    // labels by default).
    QPoint SlicePoint(int j, double radius = 100) const;
    int RowOf(const std::string& path) const;

    QTemporaryDir dir;
    std::unique_ptr<TScopedDriveTable> drive;
    TResultStore store;
    TShellListModel listing;
    bool folderChanged = true;
    TBarData barData;
    TPieData pieData;
    TViewRefresh views;
    QWidget window;
    QWidget* barHolder;
    TPieHolder* holder;
    int redraws = 0;
    int expands = 0;
    int folderUps = 0;
    bool treeVisible = false;
    std::vector<QUrl> opened;
};
