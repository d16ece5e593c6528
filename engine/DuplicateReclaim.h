#pragma once
// Reclaiming the space of duplicate copies, safely. Before anything is done
// to a copy, both it and the kept copy must still be the files the search
// hashed (same inode, size and last write) and must hold the same bytes,
// read side by side; a copy that fails either is left alone and reported.
// Each replacement is atomic (made beside the file, then renamed over it):
//   - Move to Trash: every name of the copy goes to the trash (nothing is
//     freed until the trash is emptied);
//   - Hard link: every name of the copy becomes a name of the kept file
//     (same file system only); the names then change together;
//   - Clone: every name of the copy becomes a reflink clone of the kept file
//     with the name's own mode, owner and times; the files stay independent.
// A reclaim runs on any thread and stops between copies when cancelled
// (also while a copy is being compared, before anything is done to it);
// the names of one copy are all dealt with once the first is changed.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/DuplicateKeepRule.h"
#include "engine/DuplicateReclaimProgress.h"
#include "platform/FileContent.h"

enum class TReclaimAction { kTrash, kHardLink, kClone };

struct TReclaimReport {
    std::vector<std::string> Changed;  // names replaced or trashed
    // Names left alone, each with why ("changed since the search", ...).
    std::vector<std::pair<std::string, std::string>> Left;
    std::int64_t Freed = 0;  // bytes freed by replacements (not by trashing)
    // Each name replaced by a clone with the clone's identity as made: a
    // clone is an inode of its own, so the name is a copy of its own.
    std::map<std::string, TFileIdentity> Clones;
    std::size_t NotReached = 0;  // copies not reached when cancelled or stopped
    // Why the reclaim stopped before its end other than by a cancel ("there
    // is not enough memory"); what was done before is in the lists above.
    std::string Failure;
};

class TDuplicateReclaim {
  public:
    // Moves one name to the trash; false with the reason in error.
    using TTrash = std::function<bool(const std::string& path, std::string& error)>;

    TDuplicateReclaim(TReclaimAction action, TTrash trash = {})
        : action_(action), trash_(std::move(trash)) {}

    // Takes the steps in turn; progress, when given, follows them.
    TReclaimReport Run(const std::vector<TReclaimStep>& steps,
                       const std::atomic<bool>* cancel = nullptr,
                       TDuplicateReclaimProgress* progress = nullptr) const;

  private:
    // Why the step cannot be taken, or nothing when it can; the bytes
    // compared are added to *compared.
    std::string Refusal(const TReclaimStep& step, std::string& keptName,
                        const std::atomic<bool>* cancel,
                        std::atomic<std::uint64_t>* compared) const;
    void Apply(const TReclaimStep& step, const std::string& keptName, TReclaimReport& report) const;

    TReclaimAction action_;
    TTrash trash_;
};
