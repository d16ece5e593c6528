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

int TExcludeMatcher::Run(std::string_view name) {
    // Every byte is one look-up, with no test: a step never taken before
    // leads to the trap, whose row leads back to itself. Only a name that
    // fell into it is run again, working out the steps it lacks.
    const std::int32_t* known = rows_.data();
    std::int32_t row = folder_ << 8;
    const auto* byte = reinterpret_cast<const unsigned char*>(name.data());
    const unsigned char* end = byte + name.size();
    const auto step = [known](std::int32_t at, unsigned char b) {
        return known[static_cast<std::uint32_t>(at) + b];
    };
    for (; end - byte >= 4; byte += 4)  // four at a time: a name's bytes are most of the cost
        row = step(step(step(step(row, byte[0]), byte[1]), byte[2]), byte[3]);
    for (; byte != end; ++byte)
        row = step(row, *byte);
    if (row != 0)
        return row >> 8;
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
