#pragma once
// Matches the items of one folder at a time against exclude rules, at the
// cost of the bytes of each name: the rules' automaton is made
// deterministic as it goes, each state met once becoming a row of 256
// next states. One matcher per thread (it changes as it matches); the
// rules are shared. A matcher that has met too many states starts afresh
// when it enters the next folder, so its memory stays bounded.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ExcludeRules.h"

class TExcludeMatcher {
  public:
    explicit TExcludeMatcher(const TExcludeRules& rules);

    // The folder whose items come next (its state from FolderState, or
    // from ChildState of its parent's matcher).
    void Enter(const TExcludeState& folder);
    // The first pattern that excludes the item called name in the folder,
    // or -1.
    int Match(std::string_view name) {
        return folder_ < 0 ? -1 : accepting_[static_cast<std::size_t>(Run(name))];
    }
    // The state for the items of the folder called name in the entered
    // folder.
    TExcludeState ChildState(std::string_view name);

  private:
    static constexpr std::size_t kMostStates = 4096;
    void Reset();
    int Intern(const TExcludeState& state);
    int Step(int state, unsigned char byte);
    // The state after the name, from the entered folder's. Every byte is
    // one look-up, with no test: a step never taken before leads to the
    // trap, whose row leads back to itself. Only a name that fell into it
    // is run again (RunAfresh), working out the steps it lacks. Inline: a
    // walk asks it of every name.
    int Run(std::string_view name) {
        const std::int32_t* known = rows_.data();
        std::int32_t row = folder_ << 8;
        const auto* byte = reinterpret_cast<const unsigned char*>(name.data());
        const unsigned char* end = byte + name.size();
        const auto step = [known](std::int32_t at, unsigned char b) {
            return known[static_cast<std::uint32_t>(at) + b];
        };
        for (; end - byte >= 4; byte += 4)  // four at a time
            row = step(step(step(step(row, byte[0]), byte[1]), byte[2]), byte[3]);
        for (; byte != end; ++byte)
            row = step(row, *byte);
        return row != 0 ? row >> 8 : RunAfresh(name);
    }
    int RunAfresh(std::string_view name);

    const TExcludeRules& rules_;
    std::unordered_map<TExcludeState, int> ids_;
    std::vector<TExcludeState> states_;
    std::vector<int> accepting_;  // per state
    // 256 per state: the next state's row (its number times 256), 0 (the
    // trap's row) while not yet known; the walk's loop then needs neither
    // a multiplication nor a test.
    std::vector<std::int32_t> rows_;
    int folder_ = -1;
};
