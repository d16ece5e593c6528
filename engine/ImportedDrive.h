#pragma once
// A scan read from an export, browsed as a drive of its own: the scan's root
// is "X:\" for the letter given, and every folder below it lists the folders
// and items the export recorded (see VirtualDrive.h).
#include <memory>

#include "engine/ImportedTree.h"
#include "platform/DriveTable.h"
#include "platform/VirtualDrive.h"

class TImportedDrive : public TVirtualDrive {
  public:
    TImportedDrive(std::shared_ptr<const TImportedTree> tree, char letter);
    char Letter() const override { return letter_; }
    bool Lookup(const std::string& driveForm, TDirEntry& entry) const override;
    bool List(const std::string& driveForm, std::vector<TDirEntry>& entries) const override;

  private:
    // The raw names of a drive-form path below the root; false for a path
    // of another letter.
    bool Names(const std::string& driveForm, std::vector<std::string>& names) const;
    TDirEntry EntryOf(const TImportedEntry& e) const;

    std::shared_ptr<const TImportedTree> tree_;
    char letter_;
    TDriveTable table_;  // the drive at "/", for reading its drive-form paths
};
