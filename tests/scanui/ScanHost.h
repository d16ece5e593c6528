#pragma once

#include <QCloseEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <atomic>
#include <memory>
#include <string>

#include "app/drives/DriveSelector.h"
#include "app/scan/ScanControl.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"

// A small main window wired to the scan control and the drive selector the
// way the program's main window is: it owns the result store and the tree's
// lists, keeps the current folder, runs the analysis decision when first
// shown and lists the current folder's subfolders from the global lists
// ("name size percent"), standing in for the bar view.
class TScanHost : public QMainWindow, public TCurrentFolder {
  public:
    TScanHost() {
        scan = std::make_unique<TScanControl>(store, tree, this, *this);
        QObject::connect(scan.get(), &TScanControl::TreeRootChanged, this,
                         [this](const std::string& path) { treeRoot = path; });
        QObject::connect(scan.get(), &TScanControl::ListsReloading, this,
                         [this] { ++barPropertiesRuns; });
        QObject::connect(scan.get(), &TScanControl::ScanEnded, this, [this](bool stored) {
            ++scanEnds;
            if (stored)
                UpdateBar();
        });
        QObject::connect(scan.get(), &TScanControl::StoredSetShown, this, [this] {
            ++shownAgain;
            UpdateBar();
        });

        drives = std::make_unique<TDriveSelector>(*this);
        QObject::connect(drives.get(), &TDriveSelector::FolderChosen, this,
                         [this](const std::string& path) { SetFolder(path); });
        QObject::connect(drives.get(), &TDriveSelector::DriveChosen, this, [this] {
            scan->SetReloadPending();
            scan->Analize(false);
        });
        QObject::connect(drives.get(), &TDriveSelector::DriveSwitched, this,
                         [this] { UpdateBar(); });

        analizeMenu = menuBar()->addMenu("Analize");
        analizeMenu->addAction(scan->menuDisk());
        analizeMenu->addAction(scan->menuFolder());
        QToolBar* bar = addToolBar("tools");
        bar->addAction(scan->acDiskAnalize());
        bar->addAction(scan->acFolderAnalize());
        bar->addWidget(drives->btnDrives());
        QObject::connect(scan.get(), &TScanControl::ScanningChanged, drives.get(),
                         [this](bool scanning) { drives->SetEnabled(!scanning); });
        list = new QListWidget(this);
        setCentralWidget(list);
        resize(500, 300);
        drives->SetDrivesList();
    }

    ~TScanHost() override {
        scan.reset();  // waits for a running scan before the lists go
    }

    std::string CurrentFolder() const override { return root; }

    void SetFolder(const std::string& path) {
        root = path;
        UpdateBar();
    }

    // The rows of the current folder: each stored direct subfolder.
    void UpdateBar() {
        list->clear();
        std::string prefix = root;
        if (!prefix.empty() && prefix.back() != '\\')
            prefix += '\\';
        const TStringList& dirs = store.GlobalDirs();
        for (std::size_t i = 0; i < dirs.size(); ++i) {
            const std::string d(dirs[i]);
            if (d.size() <= prefix.size() || d.compare(0, prefix.size(), prefix) != 0 ||
                d.find('\\', prefix.size()) != std::string::npos)
                continue;
            const std::string size(i < store.GlobalDirSizes().size() ? store.GlobalDirSizes()[i]
                                                                     : "");
            const std::string pct(i < store.GlobalPercents().size() ? store.GlobalPercents()[i]
                                                                    : "");
            list->addItem(QString::fromStdString(d.substr(prefix.size()) + " " + size + " " + pct));
        }
    }

    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        return rows;
    }

    TResultStore store;
    TTreeLists tree;
    std::string root = "C:\\";
    std::string treeRoot;
    int barPropertiesRuns = 0;
    int scanEnds = 0;
    int shownAgain = 0;  // lists replaced by what a save stored
    bool firstShowPending = true;
    bool closed = false;
    std::unique_ptr<TScanControl> scan;
    std::unique_ptr<TDriveSelector> drives;
    QListWidget* list = nullptr;
    QMenu* analizeMenu = nullptr;

  protected:
    void showEvent(QShowEvent* event) override {
        QMainWindow::showEvent(event);
        if (!firstShowPending)
            return;
        if (scan->Analize(false))
            return;  // the views are filled when the scan ends
        UpdateBar();
        firstShowPending = false;
    }

    void closeEvent(QCloseEvent* event) override {
        scan->CancelAndWait();
        store.FreeSLs();
        tree = TTreeLists();
        list->clear();
        closed = true;
        event->accept();
    }
};

// Holds every scan at its first folder until released (or cancelled), so
// that a test can act while a scan is certainly running.
class TScanGate {
  public:
    void Install(TScanControl& scan) {
        scan.SetAnalyzerSetup([this](TAnalizeDisk& analyzer) {
            analyzer.OnNewPath = [this](TAnalizeDisk* sender, const std::string&, bool&) {
                entered = true;
                while (!released && !sender->Cancel.load())
                    QThread::msleep(1);
            };
        });
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> released{false};
};
