#pragma once
// A drive "T:" in a temporary folder, its stored analysis in a result store
// and the listing of one of its folders: what the bar and pie data read.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/ResultStore.h"
#include "tests/viewdata/TempDrive.h"
#include "views/tree/ShellListModel.h"

class ViewDataFixture : public ::testing::Test {
  protected:
    ViewDataFixture() : store(std::string()) { store.ReplaceGlobal(lists); }

    // One stored folder; call in byte order of the paths.
    void Store(std::string_view path, std::string_view size, std::string_view percent) {
        lists.Dirs.push_back(path);
        lists.Sizes.push_back(size);
        lists.Percents.push_back(percent);
        store.ReplaceGlobal(lists);
    }

    // The stored folders edited, or all removed.
    void Edit(const std::function<void(TStoredSet&)>& edit) {
        edit(lists);
        store.ReplaceGlobal(lists);
    }
    void Clear() {
        Edit([](TStoredSet& set) { set = TStoredSet(); });
    }

    void Enter(const std::string& root) { ASSERT_TRUE(listing.SetRoot(root)) << root; }

    TTempDrive drive;
    TResultStore store;
    TStoredSet lists;  // what Store added, copied into the store's global set
    TShellListModel listing;
    bool folderChanged = true;
};
