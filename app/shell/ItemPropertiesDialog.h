#pragma once
// A small window with what the file system says about one item: name, kind,
// place, size, modification time, owner and permissions. It changes nothing.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QFormLayout;
class TResultStore;
class TShellFolder;

class TItemPropertiesDialog : public QDialog {
    Q_OBJECT

  public:
    TItemPropertiesDialog(const TShellFolder& item, QWidget* parent);

    // The text shown for a field ("Name", "Type", "Location", "Size",
    // "Modified", "Owner", "Permissions"); empty for an unknown field.
    QString Field(const QString& caption) const;

  private:
    void AddField(const QString& caption, const QString& value);

    QFormLayout* form_;
};

// The analysed size of a folder (everything below it) by its drive-form
// path, from the stored results; none when the folder was not analysed.
using TAnalysedSizeLookup = std::function<std::optional<std::int64_t>(const std::string&)>;
// Set by the window that holds the results; a folder's "Size" shows it.
void SetAnalysedSizeLookup(TAnalysedSizeLookup lookup);
// The lookup in a store's global lists (the store must outlive its use).
TAnalysedSizeLookup StoredSizeLookup(const TResultStore& store);

// "1,234,567 bytes (1.2 MB)": the exact count with the locale's digit
// grouping and a rounded figure with its unit.
QString BytesText(std::int64_t bytes);

// Shows the properties of item without blocking; the window deletes itself
// when closed.
TItemPropertiesDialog* ShowItemProperties(QWidget* owner, const TShellFolder& item);
