#include "engine/FindSink.h"

#include <algorithm>

#include "engine/FolderTree.h"
#include "engine/NameMatcher.h"
#include "platform/DriveForm.h"

TFindSink::TFindSink(const TFindQuery& query, const TNameMatcher& matcher)
    : query_(query), matcher_(matcher), changedBefore_(query.ChangedBefore()) {}

void TFindSink::File(const TWalkFile& file) {
    // The cheap tests first: most files of a drive fail the size or age.
    if (file.Size < query_.MinSize)
        return;
    if (query_.OlderThanDays && file.LastWriteSeconds >= changedBefore_)
        return;
    if (!matcher_.Matches(file.Name))
        return;
    hits_.push_back(
        {file.Folder, std::string(file.Name), file.Size, file.Allocated, file.LastWriteSeconds});
}

void TFindSink::Merge(TFileSink& other) {
    auto& theirs = static_cast<TFindSink&>(other).hits_;
    hits_.insert(hits_.end(), std::make_move_iterator(theirs.begin()),
                 std::make_move_iterator(theirs.end()));
    theirs.clear();
}

void TFindSink::Finish(const TFolderTree& tree) {
    found_.reserve(hits_.size());
    for (const THit& hit : hits_) {
        TFoundItem item;
        item.Path = tree.PathOf(hit.Folder) + '\\' + EscapeName(hit.Name);
        item.Size = hit.Size;
        item.Allocated = hit.Allocated;
        item.MTime = hit.MTime;
        found_.push_back(std::move(item));
    }
    hits_.clear();
    std::sort(found_.begin(), found_.end(),
              [](const TFoundItem& a, const TFoundItem& b) { return a.Path < b.Path; });
}
