#pragma once
// The dialog of Analize > Find: the name pattern and how it is read
// (wildcard, contains, regular expression), ignore case, files, folders or
// both, below the current folder or on the whole drive, a minimum size and
// an age for files. It refuses to close with a pattern or size that cannot
// be used, saying why; it starts with the last find's choices.
#include <QDialog>
#include <string>

#include "engine/FindQuery.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class TFindDialog : public QDialog {
  public:
    // folder: the current folder (drive form, "C:" for a root).
    TFindDialog(QWidget* parent, const TFindQuery& last, const std::string& folder);

    // The find asked for, Below set by the choice of place; valid after
    // the dialog was accepted.
    TFindQuery Query() const;

    void accept() override;

    QLineEdit* Pattern() const { return pattern_; }
    QComboBox* Mode() const { return mode_; }
    QComboBox* Kinds() const { return kinds_; }
    QRadioButton* WholeDrive() const { return wholeDrive_; }
    QLineEdit* MinSize() const { return minSize_; }

  private:
    std::string folder_;
    QLineEdit* pattern_ = nullptr;
    QComboBox* mode_ = nullptr;
    QCheckBox* ignoreCase_ = nullptr;
    QComboBox* kinds_ = nullptr;
    QRadioButton* below_ = nullptr;
    QRadioButton* wholeDrive_ = nullptr;
    QLineEdit* minSize_ = nullptr;
    QCheckBox* old_ = nullptr;
    QSpinBox* days_ = nullptr;
};
