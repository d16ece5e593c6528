#pragma once
// A test whose data folder is a fresh temporary folder holding drive C:'s
// result files.
#include <gtest/gtest.h>

#include <string>

#include "engine/ResultStore.h"
#include "tests/store/TempFolder.h"

class TDriveCFolderTest : public ::testing::Test {
  protected:
    TTempFolder folder;

    std::string File(const std::string& name) const { return folder.Slash() + name; }

    TResultStore Store() const {
        TResultStore store(folder.Slash());
        store.SetFiles("C:\\");
        return store;
    }
};
