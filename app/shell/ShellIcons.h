#pragma once
// The small icons of the bar list rows: the program's icon list (one entry
// per file type, shared by every listing) becomes the list's source of
// 16-pixel icons. Icons come from the desktop theme; where no theme is
// installed the style's standard folder and file icons stand in, so a row
// never lacks its icon.
#include <QIcon>
#include <QString>

class QAbstractItemView;

// The icon of a type key: the theme's, else the style's standard one.
QIcon ShellIconForKey(const QString& key);

// Sets the view's icon size to the small-icon size and makes the program's
// icon list hand out icons with the style fallback. Called once at start-up.
void AttachShellIcons(QAbstractItemView* view);
