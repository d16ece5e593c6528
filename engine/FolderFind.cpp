#include "engine/FolderFind.h"

#include <algorithm>
#include <cstdint>

#include "engine/NameMatcher.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"
#include "platform/ParallelBlocks.h"

namespace {

// The raw name of a stored path's last part; unescaped only when it holds
// an escape, which few names do.
std::string_view RawName(std::string_view path, std::string& buffer) {
    const std::string_view name = path.substr(path.rfind('\\') + 1);
    if (name.find('%') == std::string_view::npos)
        return name;
    buffer = UnescapeName(name);
    return buffer;
}

bool IsFoundBelow(std::string_view path, std::string_view prefix) {
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TFoundItems FindStoredFolders(const TFindQuery& query, const TNameMatcher& matcher,
                              const TStringList& dirs, const TStringList& sizes,
                              const TStringList* diskSizes) {
    TFoundItems found;
    if (!matcher.Error().empty() || !query.WantsFolders())
        return found;
    const std::string prefix = query.Below + '\\';
    const std::size_t count = std::min(dirs.size(), sizes.size());
    std::vector<std::vector<std::uint32_t>> hits(BlockWorkers(count));
    std::vector<std::string> buffers(hits.size());
    ForEachBlock(count, [&](unsigned worker, std::size_t i) {
        const std::string_view path = dirs[i];
        if (!IsFoundBelow(path, prefix))
            return;
        // Sizes are read only when they decide: most finds ask for none.
        if (query.MinSize > 0 && StoredSizeOf(sizes[i]) < query.MinSize)
            return;
        if (matcher.Matches(RawName(path, buffers[worker])))
            hits[worker].push_back(static_cast<std::uint32_t>(i));
    });
    std::vector<std::uint32_t> all;
    for (const auto& part : hits)
        all.insert(all.end(), part.begin(), part.end());
    std::sort(all.begin(), all.end());
    const bool allocated = diskSizes && diskSizes->size() == dirs.size();
    found.reserve(all.size());
    for (const std::uint32_t i : all) {
        TFoundItem item;
        item.Path = std::string(dirs[i]);
        item.Folder = true;
        item.Size = StoredSizeOf(sizes[i]);
        item.Allocated = allocated ? StoredSizeOf((*diskSizes)[i]) : -1;
        found.push_back(std::move(item));
    }
    return found;
}
