#include "app/shell/ShellIcons.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStyle>

#include "views/tree/IconCache.h"

namespace {
constexpr int kSmallIcon = 16;
}

QIcon ShellIconForKey(const QString& key) {
    const QIcon theme = TIconCache::ThemeIcon(key);
    if (!theme.isNull())
        return theme;
    const auto standard = key == TIconCache::kFolderKey ? QStyle::SP_DirIcon : QStyle::SP_FileIcon;
    return QApplication::style()->standardIcon(standard);
}

void AttachShellIcons(QAbstractItemView* view) {
    TIconCache::System().SetProvider(&ShellIconForKey);
    if (view)
        view->setIconSize(QSize(kSmallIcon, kSmallIcon));
}
