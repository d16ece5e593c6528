// Exclude rules: the compiled automaton against the plain reading (fnmatch
// on the whole path and on every tail after a "/"), on random patterns and
// paths full of the bytes patterns treat specially, and the limits of what
// a pattern may be.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/ExcludeMatcher.h"
#include "engine/ExcludeRules.h"

namespace {

// The plain reading: every pattern on the path and on each tail that starts
// right after a "/" not followed by another "/".
int Reference(const std::vector<std::string>& patterns, const std::string& path) {
    for (std::size_t k = 0; k < patterns.size(); ++k) {
        const char* p = patterns[k].c_str();
        if (fnmatch(p, path.c_str(), 0) == 0)
            return static_cast<int>(k);
        for (std::size_t i = 0; i < path.size(); ++i)
            if (path[i] == '/' && (i + 1 >= path.size() || path[i + 1] != '/') &&
                fnmatch(p, path.c_str() + i + 1, 0) == 0)
                return static_cast<int>(k);
    }
    return -1;
}

bool Any(int k) {
    return k >= 0;
}

// The patterns and a path as C string literals, for a failure's message.
std::string Shown(const std::vector<std::string>& patterns, const std::string& path) {
    std::string text;
    const auto add = [&text](const std::string& s) {
        text += '"';
        for (const char c : s) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
            text += std::isprint(static_cast<unsigned char>(c)) && c != '\\' ? std::string(1, c)
                                                                             : std::string(hex);
        }
        text += "\" ";
    };
    for (const std::string& p : patterns)
        add(p);
    text += "on ";
    add(path);
    return text;
}

std::string RandomText(std::mt19937& random, const std::vector<std::string>& pieces, int most) {
    std::string text;
    const int n = 1 + static_cast<int>(random() % static_cast<unsigned>(most));
    for (int i = 0; i < n; ++i)
        text += pieces[random() % pieces.size()];
    return text;
}

const std::vector<std::string> kPatternPieces = {"a",         "b",
                                                 "/",         "*",
                                                 "?",         "[",
                                                 "]",         "!",
                                                 "^",         "-",
                                                 "\\",        ".",
                                                 ":",         "=",
                                                 "\n",        "\xff",
                                                 "\xc3\xa9",  "[a-c]",
                                                 "[!a]",      "[]a]",
                                                 "[:alpha:]", "[[:digit:]x]",
                                                 "[[:foo:]]", "[=a=]",
                                                 "[.b.]",     "*.o",
                                                 "ab"};
const std::vector<std::string> kPathPieces = {"a",        "b", "/",  "//", "*",  "?",
                                              "[",        "]", "\\", ".",  "\n", "\xff",
                                              "\xc3\xa9", "1", "ab", "-",  ":"};

}  // namespace

// Whole paths and, incrementally, folder state then name: the same pattern
// as the reference on every path; patterns refused are few and only those
// with a bracket fnmatch reads by context.
TEST(ExcludeRules, CompiledMatchingEqualsFnmatchOnEveryTail) {
    std::mt19937 random(41);
    int refused = 0, sets = 0, excluded = 0, checked = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> patterns;
        const int count = 1 + static_cast<int>(random() % 20);
        for (int i = 0; i < count; ++i)
            patterns.push_back(RandomText(random, kPatternPieces, 6));
        TExcludeRules rules;
        std::string error;
        if (!rules.Set(patterns, false, error)) {
            ++refused;
            EXPECT_NE(error.find("never closed"), std::string::npos) << error;
            continue;
        }
        ++sets;
        TExcludeMatcher matcher(rules);
        for (int j = 0; j < 60; ++j) {
            const std::string folder = "/" + RandomText(random, kPathPieces, 12);
            std::string name = RandomText(random, kPathPieces, 5);
            for (char& c : name)
                if (c == '/')
                    c = 'n';  // names hold no "/"
            const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
            const int want = Reference(patterns, path);
            ASSERT_EQ(Any(rules.Match(path)), Any(want)) << Shown(patterns, path);
            matcher.Enter(rules.FolderState(folder));
            ASSERT_EQ(Any(matcher.Match(name)), Any(want)) << Shown(patterns, path);
            // A child's state carries on the same way.
            const std::string child = RandomText(random, kPathPieces, 3);
            if (child.find('/') == std::string::npos) {
                matcher.Enter(matcher.ChildState(name));
                const std::string deeper = path + "/" + child;
                ASSERT_EQ(Any(matcher.Match(child)), Any(Reference(patterns, deeper)))
                    << Shown(patterns, deeper);
            }
            excluded += Any(want);
            ++checked;
        }
    }
    EXPECT_GT(sets, 300);
    EXPECT_LT(refused, 100);
    EXPECT_GT(excluded, checked / 10);  // the patterns do exclude things
    EXPECT_LT(excluded, checked);
}

// The usual rules of -X files, and which pattern is told.
TEST(ExcludeRules, TailsStarsAndTheFirstPatternTold) {
    TExcludeRules rules;
    std::string error;
    ASSERT_TRUE(rules.Set({"node_modules", "*.o", "/home/*/.cache", "b/c"}, false, error));
    EXPECT_EQ(rules.Match("/src/node_modules"), 0);
    EXPECT_EQ(rules.Match("/src/node_modules2"), -1);
    EXPECT_EQ(rules.Match("/src/x.o"), 1);
    EXPECT_EQ(rules.Match("/x.o/y"), -1);
    EXPECT_EQ(rules.Match("/home/u/v/.cache"), 2);  // "*" crosses "/"
    EXPECT_EQ(rules.Match("/a/b/c"), 3);
    EXPECT_EQ(rules.Match("/a/xb/c"), -1);
    TExcludeRules none;
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.Match("/anything"), -1);
}

// Limits on both sides; a refused set leaves the rules as they were.
TEST(ExcludeRules, RefusesEmptyLongAndUnclosedPatterns) {
    TExcludeRules rules;
    std::string error;
    ASSERT_TRUE(rules.Set({"keep"}, true, error));
    EXPECT_FALSE(rules.Set({"a", ""}, false, error));
    EXPECT_NE(error.find("empty"), std::string::npos);
    EXPECT_TRUE(TExcludeRules::Check(std::string(TExcludeRules::kLongestPattern, 'x'), error));
    EXPECT_FALSE(rules.Set({std::string(10000, 'x')}, false, error));
    EXPECT_NE(error.find("10000"), std::string::npos);
    EXPECT_FALSE(rules.Set({"[a\\"}, false, error));
    EXPECT_EQ(rules.Patterns(), std::vector<std::string>{"keep"});
    EXPECT_TRUE(rules.Caches());
    // An unmatched "[" is a plain byte, as fnmatch reads it.
    ASSERT_TRUE(rules.Set({"a[b"}, false, error));
    EXPECT_EQ(rules.Match("/x/a[b"), 0);
    EXPECT_EQ(rules.Match("/x/ab"), -1);
}

// One matcher kept across a whole walk's worth of folders, as a walking
// thread keeps it: it meets far more states than it keeps (so it starts
// afresh many times), names run from steps never taken before and from
// steps known already, and every answer is still the rules' own.
TEST(ExcludeRules, OneMatcherAcrossManyFoldersAgreesWithTheRules) {
    std::mt19937 random(7);
    TExcludeRules rules;
    std::string error;
    // "*a" and a dozen "?" alone need thousands of states: which of the
    // last 13 bytes were an "a".
    ASSERT_TRUE(rules.Set(
        {"*a*b*a*", "*/ab/*", "*.o", "b?a", "*[ab]1*", "/a*", "*\xff*", "*a????????????b"}, false,
        error))
        << error;
    TExcludeMatcher matcher(rules);
    int excluded = 0;
    const int entries = 40000;
    for (int k = 0; k < entries; ++k) {
        const std::string folder = "/" + RandomText(random, kPathPieces, 30);
        std::string name = RandomText(random, kPathPieces, 8);
        for (char& c : name)
            if (c == '/')
                c = 'b';
        const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
        matcher.Enter(rules.FolderState(folder));
        // Twice: the second run takes only steps the first made known.
        for (int twice = 0; twice < 2; ++twice)
            ASSERT_EQ(matcher.Match(name), rules.Match(path)) << Shown(rules.Patterns(), path);
        matcher.Enter(matcher.ChildState(name));
        ASSERT_EQ(matcher.Match("x.o"), rules.Match(path + "/x.o"))
            << Shown(rules.Patterns(), path);
        excluded += rules.Match(path) >= 0;
    }
    EXPECT_GT(excluded, entries / 10);
    EXPECT_LT(excluded, entries * 9 / 10);
}
