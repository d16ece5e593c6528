#include "engine/SpaceFacts.h"

void TSpaceFactsSink::File(const TWalkFile& file) {
    if (file.Links > 1) {
        TLinked& l = linked_[{file.Device, file.Inode}];
        l.Seen += file.Names;
        l.Links = file.Links;
        l.Allocated = file.Allocated;
    }
    if (!file.Counted)
        return;
    facts_.FileBytes += file.Size;
    facts_.Allocated += file.Allocated;
    if (file.Size > file.Allocated)
        facts_.Sparse += file.Size - file.Allocated;
}

void TSpaceFactsSink::Merge(TFileSink& other) {
    auto& o = static_cast<TSpaceFactsSink&>(other);
    facts_.FileBytes += o.facts_.FileBytes;
    facts_.Allocated += o.facts_.Allocated;
    facts_.Sparse += o.facts_.Sparse;
    for (const auto& [key, l] : o.linked_) {
        TLinked& mine = linked_[key];
        mine.Seen += l.Seen;
        mine.Links = l.Links;
        mine.Allocated = l.Allocated;
    }
}

void TSpaceFactsSink::Finish(const TFolderTree&) {
    // Only now are all names of a file seen: the walking threads each saw
    // some, and the hard-linked ones arrive last.
    for (const auto& [key, l] : linked_)
        if (l.Seen < l.Links)
            facts_.Shared += l.Allocated;
}
