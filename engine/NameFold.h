#pragma once
// A name's bytes read as UTF-8 for the finds that compare characters, not
// bytes: a regular expression sees the name decoded, and "contains" with
// "ignore case" compares names folded to one case.
//
// Names need not be valid UTF-8. Every maximal part of a broken sequence
// (a lead byte with the continuation bytes that may follow it, or one stray
// byte) reads as one U+FFFD, the substitution Unicode recommends and
// Python's "replace" makes, so a pattern of "\x{FFFD}" finds exactly those
// names. Folding keeps such bytes as they are and folds only ASCII letters
// and valid characters (simple case folding), so that a folded name is
// still the name's bytes where nothing was folded. Buffers handed in keep
// their room from call to call: a find reads a million names.
#include <string>
#include <string_view>

// Whether every byte of the name is part of a valid UTF-8 character.
bool IsValidUtf8(std::string_view name);
// The name as valid UTF-8: each broken part replaced by U+FFFD's bytes
// (EF BF BD), the rest kept; into a buffer whose room is kept.
void ReplaceBrokenUtf8Into(std::string_view name, std::string& valid);
// The name with every ASCII letter and every valid UTF-8 character in its
// folded case, other bytes kept.
std::string FoldNameCase(std::string_view name);
// The same into a buffer whose room is kept from call to call.
void FoldNameCaseInto(std::string_view name, std::string& folded);
