#pragma once
// Where entering a folder of the listing leads. A link to a folder takes the
// user to the folder it leads to, so that its analysed numbers, the tree and
// the path label all speak of that folder: on the current drive it becomes
// the current folder; on another drive the window switches to that drive
// and lands on it. A link to a folder on no drive is entered under its own
// path (nothing below it is analysed), and so is every other folder.
#include <string>

struct TFolderEntry {
    std::string Folder;       // drive form of the folder to make current
    bool OtherDrive = false;  // Folder lies on another drive than the current one
};

TFolderEntry FolderToEnter(const std::string& path, const std::string& currentFolder);
