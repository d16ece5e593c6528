#pragma once
// A small window with what the file system says about one item: name, kind,
// place, size, modification time, owner and permissions. It changes nothing.
#include <QDialog>

class QFormLayout;
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

// Shows the properties of item without blocking; the window deletes itself
// when closed.
TItemPropertiesDialog* ShowItemProperties(QWidget* owner, const TShellFolder& item);
