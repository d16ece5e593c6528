#pragma once
// What the item commands did to the file system, in order: the folders the
// trash made, the items that appeared whole (a finished copy, a trash info
// file) and the items that moved (a rename, a cut and paste, a move to the
// trash). The stored analysis follows a command by replaying its log.
//
// An item that appeared and then moved again (a copy renamed from its
// temporary name, a half-made copy moved to the trash) is logged once, as
// appearing where it ended up, at the place of its last move; a move that
// is undone again (a cut and paste rolled back) leaves nothing.
#include <string>
#include <vector>

namespace cq::desktop {

struct TFileEvent {
    enum class TKind {
        FolderMade,  // an empty folder was made at To
        Appeared,    // a whole new item is at To (to be measured there)
        Moved,       // the item at From is now at To
        Deleted      // the item at From is gone for good
    };
    TKind Kind;
    std::string From;  // native paths
    std::string To;
    bool Folder = false;  // Deleted: the item was a folder
};

class TFileEventLog {
  public:
    void FolderMade(const std::string& path);
    void Appeared(const std::string& path);
    void Moved(const std::string& from, const std::string& to);
    void Deleted(const std::string& path, bool folder);

    const std::vector<TFileEvent>& Events() const { return events_; }
    bool Empty() const { return events_.empty(); }

  private:
    std::vector<TFileEvent> events_;
};

}  // namespace cq::desktop
