#pragma once

#include <QString>
#include <vector>

namespace cq::help {

// One entry of a contents (.hhc) or index (.hhk) file.
struct SiteMapEntry {
    QString name;
    QString local;  // page inside the help file, as written ("Html/Tree.html")
    std::vector<SiteMapEntry> children;
};

// Reads the sitemap HTML of contents and index files: nested <UL> lists of
// <OBJECT type="text/sitemap"> items with "Name" and "Local" parameters.
// Tolerates the loose HTML these files are usually written in (unclosed
// <LI>, any letter case, quoted or bare attribute values).
std::vector<SiteMapEntry> ParseSiteMap(const QString& html);

}  // namespace cq::help
