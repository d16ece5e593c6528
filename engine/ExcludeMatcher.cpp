#include "engine/ExcludeMatcher.h"

TExcludeMatcher::TExcludeMatcher(const TExcludeRules& rules) : rules_(rules) {
    Reset();
}

void TExcludeMatcher::Reset() {
    ids_.clear();
    states_.assign(1, TExcludeState());  // state 0: the trap, never interned
    accepting_.assign(1, -1);
    rows_.assign(256, 0);
}

void TExcludeMatcher::Enter(const TExcludeState& folder) {
    if (folder.empty()) {
        folder_ = -1;
        return;
    }
    if (states_.size() > kMostStates)
        Reset();
    folder_ = Intern(folder);
}

int TExcludeMatcher::Intern(const TExcludeState& state) {
    const auto found = ids_.find(state);
    if (found != ids_.end())
        return found->second;
    const int id = static_cast<int>(states_.size());
    ids_.emplace(state, id);
    states_.push_back(state);
    accepting_.push_back(rules_.Accepting(state));
    rows_.resize(rows_.size() + 256, 0);
    return id;
}

int TExcludeMatcher::Step(int s, unsigned char b) {
    const std::size_t at = static_cast<std::size_t>(s) * 256 + b;
    if (rows_[at] != 0)
        return rows_[at] >> 8;
    const int t = Intern(rules_.Next(states_[static_cast<std::size_t>(s)], b));
    rows_[at] = t << 8;  // interning may have moved the rows: written through the index
    return t;
}

int TExcludeMatcher::RunAfresh(std::string_view name) {
    int s = folder_;
    for (const char c : name)
        s = Step(s, static_cast<unsigned char>(c));
    return s;
}

TExcludeState TExcludeMatcher::ChildState(std::string_view name) {
    if (folder_ < 0)
        return {};
    return states_[static_cast<std::size_t>(Step(Run(name), '/'))];
}
