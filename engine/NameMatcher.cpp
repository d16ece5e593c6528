#include "engine/NameMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "engine/NameFold.h"
#include "platform/NamePattern.h"

TNameMatcher::TNameMatcher(const TFindQuery& query)
    : mode_(query.Mode), ignoreCase_(query.IgnoreCase), pattern_(query.Pattern) {
    if (pattern_.empty()) {
        error_ = "The pattern is empty.";
        return;
    }
    if (mode_ == TFindMode::Contains && ignoreCase_)
        pattern_ = FoldNameCase(pattern_);
    plainGlob_ = mode_ == TFindMode::Wildcard && !ignoreCase_ && PlainGlob(pattern_);
    if (mode_ != TFindMode::Regex)
        return;
    int code = 0;
    PCRE2_SIZE offset = 0;
    regex_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(),
                               PCRE2_UTF | PCRE2_UCP | (ignoreCase_ ? PCRE2_CASELESS : 0), &code,
                               &offset, nullptr));
    if (!regex_) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(code, message, sizeof message);
        error_ = "The regular expression is not valid: " +
                 std::string(reinterpret_cast<const char*>(message)) + " at " +
                 std::to_string(offset) + ".";
        return;
    }
    // Without the machine code (a build without it) it is interpreted.
    pcre2_jit_compile(static_cast<pcre2_code*>(regex_.get()), PCRE2_JIT_COMPLETE);
}

void TNameMatcher::TCodeFree::operator()(void* code) const {
    pcre2_code_free(static_cast<pcre2_code*>(code));
}

namespace {

// One match block per thread: a match only asks whether there is one.
struct TMatchData {
    pcre2_match_data* Data = pcre2_match_data_create(1, nullptr);
    ~TMatchData() { pcre2_match_data_free(Data); }
};

bool RegexFinds(const pcre2_code* code, std::string_view name) {
    thread_local TMatchData match;
    thread_local std::string replaced;
    if (!IsValidUtf8(name)) {
        ReplaceBrokenUtf8Into(name, replaced);
        name = replaced;
    }
    // rc 0: matched, with more groups than the block holds.
    return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(name.data()), name.size(), 0,
                       PCRE2_NO_UTF_CHECK, match.Data, nullptr) >= 0;
}

}  // namespace

bool TNameMatcher::PlainGlob(const std::string& pattern) {
    for (const char c : pattern)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '?' || c == '[' || c == '\\')
            return false;
    return true;
}

bool TNameMatcher::GlobMatches(std::string_view pattern, std::string_view name) {
    // The classic walk with one star to return to: linear for one star,
    // never worse than the product of the lengths.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p, ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool TNameMatcher::Matches(std::string_view rawName) const {
    // A buffer kept per thread: a find matches a million names.
    thread_local std::string folded;
    switch (mode_) {
        case TFindMode::Wildcard:
            return plainGlob_ ? GlobMatches(pattern_, rawName)
                              : NameMatchesWildcard(pattern_, rawName, ignoreCase_);
        case TFindMode::Contains:
            if (!ignoreCase_)
                return rawName.find(pattern_) != std::string_view::npos;
            FoldNameCaseInto(rawName, folded);
            return folded.find(pattern_) != std::string::npos;
        case TFindMode::Regex:
            return RegexFinds(static_cast<const pcre2_code*>(regex_.get()), rawName);
    }
    return false;
}
