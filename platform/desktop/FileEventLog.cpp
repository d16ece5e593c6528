#include "platform/desktop/FileEventLog.h"

namespace cq::desktop {

void TFileEventLog::FolderMade(const std::string& path) {
    events_.push_back({TFileEvent::TKind::FolderMade, {}, path});
}

void TFileEventLog::Appeared(const std::string& path) {
    events_.push_back({TFileEvent::TKind::Appeared, {}, path});
}

void TFileEventLog::Deleted(const std::string& path, bool folder) {
    events_.push_back({TFileEvent::TKind::Deleted, path, {}, folder});
}

void TFileEventLog::Moved(const std::string& from, const std::string& to) {
    // The item logged last at From takes its new place, moved to the end:
    // the folders a later event made (the trash's) then come before it.
    for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
        if (it->Kind == TFileEvent::TKind::FolderMade || it->To != from)
            continue;
        TFileEvent event = *it;
        events_.erase(std::next(it).base());
        event.To = to;
        if (event.Kind == TFileEvent::TKind::Moved && event.From == event.To)
            return;
        events_.push_back(std::move(event));
        return;
    }
    events_.push_back({TFileEvent::TKind::Moved, from, to});
}

}  // namespace cq::desktop
