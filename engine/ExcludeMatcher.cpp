#include "engine/ExcludeMatcher.h"

void TExcludeMatcher::Enter(const TExcludeState& folder) {
    if (folder.empty()) {
        folder_ = -1;
        return;
    }
    if (states_.size() > kMostStates) {
        ids_.clear();
        states_.clear();
        accepting_.clear();
        next_.clear();
    }
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
    next_.resize(next_.size() + 256, -1);
    return id;
}

int TExcludeMatcher::Step(int s, unsigned char b) {
    const std::size_t at = static_cast<std::size_t>(s) * 256 + b;
    if (next_[at] >= 0)
        return next_[at];
    const int t = Intern(rules_.Next(states_[static_cast<std::size_t>(s)], b));
    next_[at] = t;  // interning may have moved the rows: written through the index
    return t;
}

int TExcludeMatcher::Run(std::string_view name) {
    int s = folder_;
    for (const char c : name)
        s = Step(s, static_cast<unsigned char>(c));
    return s;
}

int TExcludeMatcher::Match(std::string_view name) {
    if (folder_ < 0)
        return -1;
    return accepting_[static_cast<std::size_t>(Run(name))];
}

TExcludeState TExcludeMatcher::ChildState(std::string_view name) {
    if (folder_ < 0)
        return {};
    return states_[static_cast<std::size_t>(Step(Run(name), '/'))];
}
