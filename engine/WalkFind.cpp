#include "engine/WalkFind.h"

#include "engine/AnalizeDisk.h"
#include "engine/FindSink.h"
#include "engine/FolderFind.h"
#include "engine/NameMatcher.h"

TFoundItems FindByWalk(const TFindQuery& query, const TNameMatcher& matcher,
                       TAnalizeDisk& analyzer) {
    if (!matcher.Error().empty())
        return {};
    // A drive's root is walked as "C:\\"; its lists still name it "C:".
    analyzer.Directory =
        query.Below.find('\\') == std::string::npos ? query.Below + '\\' : query.Below;
    analyzer.Recurse = true;
    // No collector at all when only folders are wanted: the walk then
    // passes files over as a scan does.
    analyzer.MakeFileSink = nullptr;
    if (query.WantsFiles())
        analyzer.MakeFileSink = [&query, &matcher]() -> std::unique_ptr<TFileSink> {
            return std::make_unique<TFindSink>(query, matcher);
        };
    analyzer.Execute();
    if (analyzer.Cancel.load())
        return {};
    TFoundItems found = FindStoredFolders(query, matcher, analyzer.Dirs(), analyzer.DirSizes(),
                                          &analyzer.DiskSizes());
    if (std::unique_ptr<TFileSink> sink = analyzer.TakeFileSink()) {
        TFoundItems& files = static_cast<TFindSink&>(*sink).Found();
        found.insert(found.end(), std::make_move_iterator(files.begin()),
                     std::make_move_iterator(files.end()));
    }
    return found;
}
