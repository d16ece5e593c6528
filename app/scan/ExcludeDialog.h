#pragma once
// Analize > Exclude: the exclude rules of one drive as the user keeps them
// (ExcludeSettings.h): its patterns, added, edited and removed one at a
// time, and whether folders tagged as caches are left out. OK stores the
// rules for the drive's next scans; the drive's results keep the rules
// they were made with until the drive is analized again, which "Analize
// drive again now" does at once (offered when the rules differ from those
// of the drive's stored results).
#include <QDialog>
#include <string>

#include "engine/ExcludeSettings.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

class TExcludeDialog : public QDialog {
    Q_OBJECT
  public:
    // Letter: the drive; Stored: the rules of its stored results.
    TExcludeDialog(QWidget* parent, char letter, const TDriveExcludeRules& kept,
                   const TDriveExcludeRules& stored);

    TDriveExcludeRules Rules() const;
    // True when the dialog ended through "Analize drive again now".
    bool AnalizeNow() const { return analizeNow_; }

  private:
    void Add();
    void Edit();
    void Remove();
    void Changed();
    // Asks for a pattern; false when the user gave none or cancelled.
    bool AskPattern(const QString& title, QString& pattern);
    // Stores the rules; false (the user told why) when they cannot be.
    bool Store();

    char letter_;
    TDriveExcludeRules stored_;
    QListWidget* list_;
    QCheckBox* caches_;
    QPushButton* edit_;
    QPushButton* remove_;
    QPushButton* again_;
    QLabel* note_;
    bool analizeNow_ = false;
};
