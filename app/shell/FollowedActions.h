#pragma once
// The item commands that change a drive's content, each with the plan by
// which the stored analysis follows it. The context menu runs these after
// its questions; they ask nothing themselves.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/FollowPlan.h"
#include "platform/desktop/ItemActions.h"

class TResultStore;
struct TStoredSet;

struct TFollowedAction {
    cq::desktop::TActionResult Result;
    // What was done, also when the command failed part way (a half-made
    // copy the trash took back).
    TFollowPlan Plan;
};

TFollowedAction TrashFollowed(const std::string& nativePath);
TFollowedAction RenameFollowed(const std::string& nativePath, const QString& newName);
// Copies or moves, then measures the copies made: run it off the
// user-interface thread.
TFollowedAction PasteFollowed(const cq::desktop::TClipboardItems& items,
                              const std::string& folderNativePath,
                              cq::desktop::TCopyProgress* progress = nullptr);

// What became of the stored set after a command.
enum class TStoreFollow {
    Untouched,  // the store holds no analysis the command touched
    Stored,     // the set follows the command and is stored
    NotStored,  // it should have, but the save failed (SaveError says why)
};

// Whether the store holds the analysis of a drive the plan touches: its
// lists and the names of its files.
bool PlanTouchesStore(const TResultStore& store, const TFollowPlan& plan);
// The change by which a stored set follows the plan: the three lists and
// the allocated bytes edited alike (the allocated bytes dropped when an
// added folder's were not measured); the Discover data's lists and types
// follow the items, measured where they are now (engine/DiscoverFollow.h;
// folders are walked, so make the change off the window's thread). Each
// time the change is made, moved receives the bytes the plan's moves
// carried.
std::function<void(TStoredSet&)> FollowChange(TFollowPlan plan,
                                              std::shared_ptr<std::optional<std::int64_t>> moved);
// Makes a change of the stored set and stores it behind the views (the
// window's saves): applied runs once the lists shown have it (when its save
// ended), ended right after (stored, or why not).
using TFollowBehind =
    std::function<void(std::function<void(TStoredSet&)> change, std::function<void()> applied,
                       std::function<void(bool stored, const std::string& error)> ended)>;
// Follows the plan in the store's set at once, on the calling thread, when
// the store holds the analysis of a drive the plan touches, once a save of
// the store's lists running behind the views has ended (tools, tests; the
// window stores the change behind its views). When it is stored, moved
// holds the bytes the plan's moves carried.
TStoreFollow FollowInStore(TResultStore& store, const TFollowPlan& plan,
                           std::optional<std::int64_t>& moved);

// The note after a move to the trash, which frees no space: "3.8 MB moved
// to the Trash; ...", or without the size when it is not known.
QString TrashedNote(std::optional<std::int64_t> bytes);
