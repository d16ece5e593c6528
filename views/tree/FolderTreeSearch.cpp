#include "views/tree/FolderTreeSearch.h"

#include <QFile>

#include "platform/DriveLetter.h"
#include "platform/DriveTable.h"
#include "views/common/PathText.h"
#include "views/tree/BarShellTreeView.h"

namespace {

// Paths compare byte for byte; only the drive letter ignores case.
bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a.size() >= 2 && a[1] == ':') {
        return UpperDriveLetter(a[0]) == UpperDriveLetter(b[0]) &&
               a.compare(1, std::string::npos, b, 1, std::string::npos) == 0;
    }
    return a == b;
}

}  // namespace

int FolderINTreeSLS(const TBarShellTreeView& tree, const std::string& path) {
    const std::vector<QTreeWidgetItem*> nodes = tree.Nodes();
    for (size_t k = 0; k < nodes.size(); ++k) {
        if (SamePath(TBarShellTreeView::NodePath(nodes[k]), path)) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

void ExpandTreeTo(TBarShellTreeView& tree, std::string path) {
    do {
        int k = FolderINTreeSLS(tree, path);
        if (k >= 0) {
            tree.ExpandNode(tree.Node(k));
        }
        path = GetParentDir(path);
    } while (path.find('\\') != std::string::npos);
}

QString TreeRootCaption(const std::string& driveRoot) {
    std::string name;
    if (!driveRoot.empty()) {
        name = TDriveTable::Current()->DisplayName(driveRoot[0]);
    }
    return name.empty() ? QString::fromStdString(driveRoot)
                        : QFile::decodeName(QByteArray::fromStdString(name));
}
