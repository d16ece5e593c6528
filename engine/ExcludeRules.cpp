#include "engine/ExcludeRules.h"

#include <fnmatch.h>

#include <cstring>

namespace {

constexpr std::size_t kNone = std::string::npos;

void AddByte(std::array<std::uint64_t, 4>& set, unsigned char b) {
    set[b >> 6] |= std::uint64_t{1} << (b & 63);
}

bool HasByte(const std::array<std::uint64_t, 4>& set, unsigned char b) {
    return (set[b >> 6] >> (b & 63)) & 1;
}

// Where the bracket expression opening at p[i] ends (one past its "]"), read
// member by member the way fnmatch reads it: a "!" or "^" first negates, the
// first member may be "]", "\\" takes the next byte, "[:name:]", "[=c=]" and
// "[.c.]" are members, and a member followed by "-" and not "]" starts a
// range. kNone when it never ends ("[" is then a plain byte). Sets odd for an
// expression fnmatch reads differently depending on the byte it meets (a
// "\\", a range or a "[." running into the end).
std::size_t BracketEnd(const std::string& p, std::size_t i, bool& odd) {
    const std::size_t n = p.size();
    // One past the collating symbol "[.x.]" at j, or kNone (odd).
    const auto symbolEnd = [&p, &odd](std::size_t j) {
        const std::size_t k = p.find(".]", j + 2);
        odd = odd || k == kNone;
        return k == kNone ? kNone : k + 2;
    };
    std::size_t j = i + 1;
    if (j < n && (p[j] == '!' || p[j] == '^'))
        ++j;
    for (bool first = true;; first = false) {
        if (j >= n)
            return kNone;
        const char c = p[j];
        if (c == ']' && !first)
            return j + 1;
        if (c == '\\') {
            if (j + 1 >= n) {
                odd = true;
                return kNone;
            }
            j += 2;
        } else if (c == '[' && j + 1 < n && p[j + 1] == ':') {
            std::size_t k = j + 2;
            while (k < n && p[k] >= 'a' && p[k] < 'z')
                ++k;
            if (k + 1 < n && p[k] == ':' && p[k + 1] == ']') {
                j = k + 2;
                continue;  // a class is no end of a range
            }
            ++j;
        } else if (c == '[' && j + 4 < n && p[j + 1] == '=' && p[j + 3] == '=' && p[j + 4] == ']') {
            j += 5;
            continue;
        } else if (c == '[' && j + 1 < n && p[j + 1] == '.') {
            j = symbolEnd(j);
            if (odd)
                return kNone;
        } else {
            ++j;
        }
        if (j < n && p[j] == '-' && (j + 1 >= n || p[j + 1] != ']')) {
            // A range: its end is a byte, an escaped byte or a symbol.
            if (j + 1 >= n || (p[j + 1] == '\\' && j + 2 >= n)) {
                odd = true;
                return kNone;
            }
            if (p[j + 1] == '\\')
                j += 3;
            else if (p[j + 1] == '[' && j + 2 < n && p[j + 2] == '.')
                j = symbolEnd(j + 1);
            else
                j += 2;
            if (odd)
                return kNone;
        }
    }
}

}  // namespace

bool TExcludeRules::Compile(const std::string& p, std::vector<TItem>& items, std::string& error) {
    if (p.empty()) {
        error = "an empty pattern would exclude nothing; give a pattern";
        return false;
    }
    if (p.size() > kLongestPattern) {
        error = "a pattern of " + std::to_string(p.size()) + " characters is too long (at most " +
                std::to_string(kLongestPattern) + ")";
        return false;
    }
    if (p.find('\0') != kNone) {
        error = "a pattern cannot hold a zero byte";
        return false;
    }
    items.clear();
    for (std::size_t i = 0; i < p.size();) {
        TItem item;
        const char c = p[i];
        if (c == '*') {
            ++i;
            if (!items.empty() && items.back().Star)
                continue;
            item.Star = true;
        } else if (c == '?') {
            item.Set.fill(~std::uint64_t{0});
            ++i;
        } else if (c == '\\') {
            if (i + 1 < p.size())  // a last "\" takes nothing: the pattern never matches
                AddByte(item.Set, static_cast<unsigned char>(p[i + 1]));
            i += 2;
        } else if (c == '[') {
            bool odd = false;
            const std::size_t end = BracketEnd(p, i, odd);
            if (odd) {
                error = "the pattern \"" + p + "\" has a bracket expression that is never closed";
                return false;
            }
            if (end == kNone) {
                AddByte(item.Set, '[');
                ++i;
            } else {
                // fnmatch itself says which bytes the expression takes.
                const std::string bracket = p.substr(i, end - i);
                for (int b = 1; b < 256; ++b) {
                    const char one[2] = {static_cast<char>(b), '\0'};
                    if (fnmatch(bracket.c_str(), one, 0) == 0)
                        AddByte(item.Set, static_cast<unsigned char>(b));
                }
                i = end;
            }
        } else {
            AddByte(item.Set, static_cast<unsigned char>(c));
            ++i;
        }
        items.push_back(item);
    }
    return true;
}

bool TExcludeRules::Check(const std::string& pattern, std::string& error) {
    std::vector<TItem> items;
    return Compile(pattern, items, error);
}

bool TExcludeRules::Set(const std::vector<std::string>& patterns, bool caches, std::string& error) {
    std::vector<std::vector<TItem>> compiled(patterns.size());
    for (std::size_t i = 0; i < patterns.size(); ++i)
        if (!Compile(patterns[i], compiled[i], error))
            return false;
    patterns_ = patterns;
    caches_ = caches;
    Build(compiled);
    return true;
}

// Pattern k takes positions off..off+len: position off+i means its first
// i items matched, off+len that it matched whole.
void TExcludeRules::Build(const std::vector<std::vector<TItem>>& compiled) {
    std::size_t bits = 0;
    for (const auto& items : compiled)
        bits += items.size() + 1;
    words_ = (bits + 63) / 64;
    advance_.assign(256, TBits(words_, 0));
    stars_.assign(words_, 0);
    starts_.assign(words_, 0);
    accepts_.assign(words_, 0);
    acceptBit_.clear();
    const auto set = [](TBits& v, std::size_t bit) {
        v[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    };
    std::size_t off = 0;
    for (const auto& items : compiled) {
        set(starts_, off);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].Star) {
                set(stars_, off + i);
                continue;
            }
            for (int b = 0; b < 256; ++b)
                if (HasByte(items[i].Set, static_cast<unsigned char>(b)))
                    set(advance_[static_cast<std::size_t>(b)], off + i);
        }
        set(accepts_, off + items.size());
        acceptBit_.push_back(off + items.size());
        off += items.size() + 1;
    }
    Close(starts_);
}

// A star at a position may match nothing: being there is being past it too
// (stars never follow each other, so one shift closes the set).
void TExcludeRules::Close(TBits& bits) const {
    std::uint64_t carry = 0;
    for (std::size_t w = 0; w < words_; ++w) {
        const std::uint64_t s = bits[w] & stars_[w];
        const std::uint64_t shifted = (s << 1) | carry;
        carry = s >> 63;
        bits[w] |= shifted;
    }
}

TExcludeState TExcludeRules::Start() const {
    if (patterns_.empty())
        return {};
    TExcludeState state(words_ * 8 + 1, '\0');
    std::memcpy(state.data(), starts_.data(), words_ * 8);
    return state;
}

TExcludeState TExcludeRules::Next(const TExcludeState& state, unsigned char byte) const {
    if (state.empty())
        return state;
    TBits cur(words_), next(words_, 0);
    std::memcpy(cur.data(), state.data(), words_ * 8);
    // A new tail starts after a "/" unless another "/" follows.
    if (state.back() != 0 && byte != '/')
        for (std::size_t w = 0; w < words_; ++w)
            cur[w] |= starts_[w];
    const TBits& adv = advance_[byte];
    std::uint64_t carry = 0;
    for (std::size_t w = 0; w < words_; ++w) {
        const std::uint64_t moved = cur[w] & adv[w];
        next[w] = (moved << 1) | carry | (cur[w] & stars_[w]);
        carry = moved >> 63;
    }
    Close(next);
    TExcludeState out(words_ * 8 + 1, '\0');
    std::memcpy(out.data(), next.data(), words_ * 8);
    out.back() = byte == '/' ? 1 : 0;
    return out;
}

int TExcludeRules::Accepting(const TExcludeState& state) const {
    if (state.empty())
        return -1;
    TBits cur(words_);
    std::memcpy(cur.data(), state.data(), words_ * 8);
    if (state.back() != 0)  // a path ending in "/" has an empty tail
        for (std::size_t w = 0; w < words_; ++w)
            cur[w] |= starts_[w];
    for (std::size_t k = 0; k < acceptBit_.size(); ++k)
        if ((cur[acceptBit_[k] >> 6] >> (acceptBit_[k] & 63)) & 1)
            return static_cast<int>(k);
    return -1;
}

int TExcludeRules::Match(std::string_view path) const {
    TExcludeState state = Start();
    if (state.empty())
        return -1;
    for (const char c : path)
        state = Next(state, static_cast<unsigned char>(c));
    return Accepting(state);
}

TExcludeState TExcludeRules::FolderState(std::string_view path) const {
    TExcludeState state = Start();
    if (state.empty())
        return state;
    for (const char c : path)
        state = Next(state, static_cast<unsigned char>(c));
    if (path.empty() || path.back() != '/')
        state = Next(state, '/');
    return state;
}
