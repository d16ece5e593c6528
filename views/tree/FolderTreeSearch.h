#pragma once

#include <QString>
#include <string>

class TBarShellTreeView;

// Finding folders among the folder tree's nodes.

// Absolute index of the node showing path; -1 when none does. Paths compare
// byte for byte, only the drive letter without case.
int FolderINTreeSLS(const TBarShellTreeView& tree, const std::string& path);

// Expands every node on the way from the drive root down to path.
void ExpandTreeTo(TBarShellTreeView& tree, std::string path);

// The root node's caption: the drive's display name, or the root itself
// when the drive table does not know it.
QString TreeRootCaption(const std::string& driveRoot);
