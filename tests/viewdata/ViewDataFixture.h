#pragma once
// A drive "T:" in a temporary folder, its stored analysis in a result store
// and the listing of one of its folders: what the bar and pie data read.
#include <gtest/gtest.h>

#include <string>

#include "engine/ResultStore.h"
#include "tests/viewdata/TempDrive.h"
#include "views/tree/ShellListModel.h"

class ViewDataFixture : public ::testing::Test {
  protected:
    ViewDataFixture() : store(std::string()) {
        store.GlobalDirs.clear();
        store.GlobalDirSizes.clear();
        store.GlobalPercents.clear();
    }

    // One stored folder; call in byte order of the paths.
    void Store(std::string_view path, std::string_view size, std::string_view percent) {
        store.GlobalDirs.push_back(path);
        store.GlobalDirSizes.push_back(size);
        store.GlobalPercents.push_back(percent);
    }

    void Enter(const std::string& root) { ASSERT_TRUE(listing.SetRoot(root)) << root; }

    TTempDrive drive;
    TResultStore store;
    TShellListModel listing;
    bool folderChanged = true;
};
