#pragma once
// A drive "T:" mapped to a fresh temporary folder for the length of a test,
// with helpers that build folders, files and links in it.
#include <QTemporaryDir>
#include <string>

#include "platform/DriveTable.h"

class TTempDrive {
  public:
    TTempDrive();

    bool IsValid() const { return dir_.isValid(); }
    // Native path of a path below the drive's root ("a/b" -> "/tmp/x/a/b").
    std::string Native(const std::string& relative = std::string()) const;

    void MakeFolder(const std::string& relative) const;
    void MakeFile(const std::string& relative, long long size) const;
    void MakeLink(const std::string& target, const std::string& relative) const;
    void Remove(const std::string& relative) const;

  private:
    QTemporaryDir dir_;
    TScopedDriveTable table_;
};
