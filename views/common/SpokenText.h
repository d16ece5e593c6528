#pragma once
// What a screen reader speaks for a row of the bar list, a slice of the pie
// or a node of the tree: the same number texts that are drawn, joined into
// one sentence ("usr, 8700.3 MB, 51.8 percent"), so what is heard is what
// is seen.
#include <QString>
#include <optional>
#include <string_view>

// A drawn megabyte text with its unit: "1.5" gives "1.5 MB".
QString SpokenMB(const QString& mbText);

// A size text in bytes as it is drawn in megabytes, with its unit:
// "1572864" gives "1.5 MB". A malformed size throws EConvertError.
QString SpokenBytesAsMB(std::string_view sizeText);

// A drawn percent text with its unit: "51.8" gives "51.8 percent".
QString SpokenShare(const QString& percentText);

// A drawn signed change in megabytes with its unit after the number:
// "+1.5 new" gives "+1.5 MB new", "-0.2" gives "-0.2 MB"; empty stays empty.
QString SpokenChange(const QString& changeText);

// Name, size and share joined with commas; a part left out is not spoken.
QString SpokenItem(const QString& name, const std::optional<QString>& size,
                   const std::optional<QString>& share);
