#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/drives/CurrentFolder.h"

class QAction;
class QIcon;
class QMenu;
class QWidget;

// The drive button of the tool bar and its menu of fixed drives. The owner
// (the main window) puts btnDrives() on its tool bar and follows the
// signals; the selector rebuilds the menu from a fresh drive table each time
// it opens, so a disk mounted or unmounted meanwhile is seen, and reports a
// chosen drive.
class TDriveSelector : public QObject {
    Q_OBJECT
  public:
    struct THooks {
        // shDrives: the display names of the computer's drives, in the drive
        // table's order ("/ (C:)", "/home (D:)"). Default: the drive table.
        std::function<std::vector<std::string>()> DriveNames;
        // True for a fixed drive; given the drive text "X:" in upper case.
        // Default: the drive table's FixedDrive.
        std::function<bool(const std::string&)> FixedDrive;
        // Reads the drive table again before the menu shows. Default: the
        // drive table's Refresh.
        std::function<void()> Refresh;
        // Tells the user that a chosen drive ("D:") is no longer mounted.
        // Default: a message box.
        std::function<void(const std::string& driveText)> NotMounted;
    };

    static constexpr int kInitialWidth = 77;
    static constexpr int kHeight = 22;
    static constexpr int kWidthPadding = 20;

    // Drives the given tool button, or a button of its own when none is
    // given (the owner then puts btnDrives() on its tool bar). folder: the
    // owner, asked for the current folder; it outlives the selector.
    explicit TDriveSelector(const TCurrentFolder& folder, THooks hooks = {},
                            QToolButton* button = nullptr);
    ~TDriveSelector() override;

    // The display names of the current drive table, in letter order.
    static std::vector<std::string> TableDriveNames();

    QToolButton* btnDrives() const { return btnDrives_; }
    QMenu* pmDrives() const { return pmDrives_.get(); }

    // The icon of every drive item (the tool bar's drive image).
    void SetDriveIcon(const QIcon& icon);

    // Rebuilds pmDrives from shDrives and sets the button's caption; run
    // once at start-up, after the current folder became C:\.
    void SetDrivesList();
    // Opens pmDrives below the button, at its left edge.
    void btnDrivesClick();
    // Switches to the drive of the chosen item; a drive unmounted since the
    // menu opened is reported instead.
    void menuDriveClick(QAction* item);
    // Switches to the drive of a folder ("D:\data") as choosing the drive
    // does, landing on that folder instead of the drive's root (a link that
    // leads there was entered).
    void EnterDriveAt(const std::string& folder);

    std::string Drive() const;
    bool FixedDrive(const std::string& driveText) const;

    // Enabled while no scan runs: choosing a drive during a scan would
    // change the drive whose result files the scan is about to write.
    void SetEnabled(bool enabled);

    // The width that shows the whole caption beside the glyph (at least the
    // design width).
    int FittingWidth() const;

  Q_SIGNALS:
    // A drive was chosen, in this order: its root ("X:\"), or the folder a
    // link led to, is to become the current folder; then the analysis decision runs for it, without
    // forcing and with its stored results read again; then the views of the
    // current folder are rebuilt.
    void FolderChosen(const std::string& root);
    void DriveChosen();
    void DriveSwitched();

  private:
    // Sets the caption and widens or narrows the button to show all of it.
    void SetCaption(const QString& caption);
    // The caption, then the signals of a drive change to folder.
    void SwitchTo(const QString& caption, const std::string& folder);

    const TCurrentFolder& folder_;
    THooks hooks_;
    QPointer<QToolButton> btnDrives_;
    std::unique_ptr<QMenu> pmDrives_;
    std::unique_ptr<QIcon> driveIcon_;
    bool ownsButton_ = false;
};
