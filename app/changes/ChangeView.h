#pragma once
// The change view of the main window: while "Changes" is on, the bar list
// shows for each row how much it grew or shrank since kept earlier results
// of the drive (chosen by date, newest first), with bars for growth and loss
// and the folders gone since as greyed rows with the size they had. The
// rows, the tree, the pie and navigation stay as they are; off, nothing of
// this shows. The window calls in at three points: after the bar list is
// refilled, when it sorts, and when it draws a bar.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/ResultChanges.h"
#include "engine/ScanHistory.h"

class QAction;
class QComboBox;
class QPainter;
class QToolBar;
class QTreeWidgetItem;
class QWidget;
class TPBExListview;
class TResultStore;
class TShellListModel;

class TChangeView : public QObject {
    Q_OBJECT
  public:
    // Shows a message: kept results that are damaged. Replaceable in tests.
    using TTeller = std::function<void(const QString& text)>;

    TChangeView(const TResultStore& store, QWidget* window);
    ~TChangeView() override;

    // The View menu's "Changes" item, checkable, off at start.
    QAction* miChanges() const { return miChanges_; }
    // The chooser of the kept results, by date, newest first.
    QComboBox* cbSince() const { return cbSince_; }
    // Puts the chooser on the tool bar, shown only while the view is on.
    void AttachTo(QToolBar* bar);
    bool On() const;
    void SetTeller(TTeller teller) { teller_ = std::move(teller); }

    // After the bar list has been refilled from the listing of bar, before
    // it is sorted: while on, the change column and the gone rows; while
    // off, the column's own caption again.
    void DecorateRows(TPBExListview& list, const TShellListModel& bar);
    // The order of two rows while on and sorted by the change column
    // (largest growth first, reverse negates); none otherwise.
    std::optional<int> Compare(const QTreeWidgetItem* a, const QTreeWidgetItem* b, int sortColumn,
                               bool reverse) const;
    // Draws the bar cell of a row while on; false when the window draws it.
    bool DrawCell(QPainter& canvas, const TPBExListview& list, QTreeWidgetItem* row,
                  int cellIndex) const;

    // The sizes shown changed (Disk usage switched): the comparison is made
    // again, of allocated bytes under Disk usage; kept results without them
    // then have no comparison.
    void SizesChanged();

    // The comparison now shown; null while off or without kept results.
    const TResultChanges* Changes() const { return changes_.get(); }
    // The extra lists of the kept results compared with (empty for results
    // kept without them); null while there is no comparison.
    const TExtraLists* KeptExtras() const { return changes_ ? &keptExtras_ : nullptr; }
    // True when the kept results compared with were made with other exclude
    // rules than the results shown (the chooser's and the column's tips say
    // so: part of a change may be what the rules leave out).
    bool KeptWithOtherRules() const { return changes_ && otherRules_; }
    static constexpr const char* kOtherRulesTip =
        "The earlier results were made with other exclude rules: part of a change may be what "
        "the rules leave out";

    static constexpr const char* kCaption = "Change, MB";

  Q_SIGNALS:
    // The rows must be refilled: switched on or off, other results chosen.
    void RowsChanged();

  private:
    void Toggled(bool on);
    // Notes whether the kept extras' exclude rules differ from the shown set's.
    void NoteRules();
    bool otherRules_ = false;
    // The chooser's entries and the comparison follow the store and the
    // history folder.
    void Refresh();
    void FillChooser(const std::vector<THistoryEntry>& entries);
    void Compare();

    const TResultStore& store_;
    QWidget* window_;
    TTeller teller_;
    QAction* miChanges_ = nullptr;
    QComboBox* cbSince_ = nullptr;
    QAction* chooserOnBar_ = nullptr;

    char drive_ = 0;
    std::vector<THistoryEntry> entries_;  // as the chooser lists them
    std::set<std::string> damaged_;       // paths told once and left out
    std::unique_ptr<TResultChanges> changes_;
    TExtraLists keptExtras_;
    std::string comparedPath_;
    std::uint64_t comparedGeneration_ = 0;
    std::int64_t largest_ = 0;  // of the rows now shown
    QString sizeCaption_;       // the column's caption while off
};
