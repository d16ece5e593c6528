#pragma once
// A test drive C: (a temporary folder with a known tree), its stored results
// in a temporary data folder, and the real main window over them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main/FormMain.h"
#include "app/pie/PieHolder.h"
#include "app/reporter/ExceptionReporter.h"
#include "platform/DriveTable.h"
#include "tests/pieui/UiScript.h"
#include "views/bar/BarData.h"
#include "views/bar/PBExListview.h"
#include "views/common/Colors.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/ShellListModel.h"

TCobaltApplication& WindowTestApp();

class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The tree of drive C: (sizes in bytes):
    //   alpha/        500000 (50 % of the drive): inner/ 250000 + a.bin 250000
    //   beta/         300000 (30 %): b.bin
    //   gamma/        0 (0 %)
    //   f.bin         200000 (20 %)
    void MakeDrive();
    void StoreResults();
    // Creates and shows the window (the first show loads the results).
    void OpenWindow(TFormMainHooks hooks = {});

    QStringList RowNames() const;
    QTreeWidgetItem* Row(const QString& name) const;
    QString RowText(const QString& name, int column) const;
    void DoubleClickRow(const QString& name);
    // Right-clicks the row and answers the menu and what it asks with the
    // script's steps; the script has run them all afterwards. Defined here:
    // only the programs that use it link the script.
    void RightClickRow(const QString& name, TUiScript& script, QList<TUiScript::TStep> steps) {
        QTreeWidgetItem* row = Row(name);
        ASSERT_NE(row, nullptr) << name.toStdString();
        const QRect r = form->BarLV->visualItemRect(row);
        script.Start(std::move(steps));
        QTest::mouseClick(form->BarLV->viewport(), Qt::RightButton, Qt::NoModifier,
                          QPoint(40, r.center().y()));
        Settle();
        EXPECT_TRUE(script.Finished());
    }
    void ClickHeader(int column);
    // Length of the bar drawn in a row: pixels on the bar's middle line that
    // are neither the list's background nor white.
    int BarLength(const QImage& shot, const QString& name) const;
    QImage ListShot() const { return form->BarLV->viewport()->grab().toImage(); }
    void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<QTemporaryDir> data;
    std::unique_ptr<QTemporaryDir> drive;
    std::unique_ptr<TScopedDriveTable> table;
    std::unique_ptr<TFormMain> form;
    bool storeResults = true;
    // The question boxes of the scan control, answered No.
    std::vector<QString> questions;
};
