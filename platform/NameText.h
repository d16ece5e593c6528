#pragma once
// Name bytes as a user reads them: decoded with the locale like every file
// name, each control character (C0, DEL, C1) shown as "?" so that a name
// holding a line break or a tab cannot break or bend the line it is in.
#include <QString>
#include <string_view>

QString VisibleName(std::string_view rawBytes);

// text with every control character replaced by "?".
QString VisibleControls(const QString& text);
