#pragma once
// A small window with what the file system says about one item: name, kind,
// place, size, modification time, owner and permissions. It changes nothing.
#include <QDialog>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine/SpaceFacts.h"

class QFormLayout;
class QLabel;
class TAnalizeDisk;
class TResultStore;
class TShellFolder;

class TItemPropertiesDialog : public QDialog {
    Q_OBJECT

  public:
    TItemPropertiesDialog(const TShellFolder& item, QWidget* parent);
    ~TItemPropertiesDialog() override;

    // The text shown for a field ("Name", "Type", "Location", "Size",
    // "Modified", "Owner", "Permissions"; under Disk usage also
    // "Allocated", and "Shared" and "Sparse"; for an item the results left
    // out "Excluded by"); empty for an unknown field.
    QString Field(const QString& caption) const;
    // Whether the count of a folder's shared and sparse bytes is over.
    bool Counted() const { return counted_; }

  private:
    QLabel* AddField(const QString& caption, const QString& value);
    void AddDiskFields(const TShellFolder& item);
    // Walks the folder on a thread of its own for what the stored results
    // do not hold: the bytes shared with hard links outside it, and what
    // its sparse files leave out.
    void CountSpace(const std::string& driveForm);
    // Puts the count's outcome into its fields from the window's thread:
    // the facts, or the failure text when there are none.
    void ShowCounted(QLabel* shared, QLabel* sparse, std::optional<TSpaceFacts> facts,
                     const char* failure);

    QFormLayout* form_;
    std::unique_ptr<TAnalizeDisk> counter_;
    std::thread counting_;
    bool counted_ = true;
};

// The analysed size of a folder (everything below it) by its drive-form
// path, from the stored results; none when the folder was not analysed.
using TAnalysedSizeLookup = std::function<std::optional<std::int64_t>(const std::string&)>;
// Set by the window that holds the results; a folder's "Size" shows it.
void SetAnalysedSizeLookup(TAnalysedSizeLookup lookup);
// The lookup in a store's global lists (the store must outlive its use).
TAnalysedSizeLookup StoredSizeLookup(const TResultStore& store);
// Under Disk usage: the allocated bytes of an analysed folder; the lookup
// is not called, and the dialog shows no disk fields, while it is off.
struct TDiskUsageLookup {
    std::function<bool()> On;
    TAnalysedSizeLookup Allocated;
};
void SetDiskUsageLookup(TDiskUsageLookup lookup);
TDiskUsageLookup StoredDiskUsageLookup(const TResultStore& store);

// After a duplicate search: the bytes its copies inside a folder (drive
// form) waste, which reclaiming them would free; none when the folder was
// not searched. A folder's "Duplicated" field shows it.
void SetDuplicateBytesLookup(TAnalysedSizeLookup lookup);

// Why the stored results left the item out ("the pattern *.o", "a cache
// folder ...", an imported scan's reason); "" when they did not. An item
// left out shows an "Excluded by" field.
using TExclusionLookup = std::function<std::string(const TShellFolder&)>;
void SetExclusionLookup(TExclusionLookup lookup);
TExclusionLookup StoredExclusionLookup(const TResultStore& store);

// "1,234,567 bytes (1.2 MB)": the exact count with the locale's digit
// grouping and a rounded figure with its unit.
QString BytesText(std::int64_t bytes);

// Shows the properties of item without blocking; the window deletes itself
// when closed.
TItemPropertiesDialog* ShowItemProperties(QWidget* owner, const TShellFolder& item);
