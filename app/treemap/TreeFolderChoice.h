#pragma once
// Selects a folder's node in the folder tree, opening the nodes above it
// from the root down (nodes are made as they are opened), without the
// tree's selection entering the folder.
#include <string>

class TBarShellTreeView;

// folder: drive form ("C:\home\ann"); a folder below no node of the tree
// selects nothing.
void ChooseTreeFolder(TBarShellTreeView& tree, const std::string& folder);
