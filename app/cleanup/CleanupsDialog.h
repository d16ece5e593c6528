#pragma once
// "Cleanups...": the list of cleanup actions (a check mark enables one) and
// the fields of the chosen one: title, the program or the shell command,
// its arguments one a line (%p path, %n name, %d folder), what it applies
// to, whether it asks first and what is measured again afterwards. "OK"
// stores the list (engine/CleanupAction.h); a list that cannot be stored
// is told and the dialog stays open.
#include <QDialog>
#include <functional>
#include <vector>

#include "engine/CleanupAction.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

class TCleanupsDialog : public QDialog {
  public:
    explicit TCleanupsDialog(QWidget* parent);

    // The actions as edited so far.
    const std::vector<TCleanupAction>& Actions();
    // Tells a problem (tests replace it); by default a message box.
    std::function<void(const QString& text)> Tell;

    QListWidget* List() const { return list_; }
    QLineEdit* TitleField() const { return title_; }
    QLineEdit* ProgramField() const { return program_; }
    QPlainTextEdit* ArgumentsField() const { return arguments_; }
    QCheckBox* ShellBox() const { return shell_; }
    void AddAction();
    void RemoveAction();
    void accept() override;

  private:
    void ShowAction(int row);
    void KeepFields();
    void FillList();

    std::vector<TCleanupAction> actions_;
    int shown_ = -1;
    bool filling_ = false;
    QListWidget* list_ = nullptr;
    QLineEdit* title_ = nullptr;
    QCheckBox* shell_ = nullptr;
    QLineEdit* program_ = nullptr;
    QPlainTextEdit* arguments_ = nullptr;
    QComboBox* applies_ = nullptr;
    QCheckBox* confirm_ = nullptr;
    QComboBox* rescan_ = nullptr;
};
