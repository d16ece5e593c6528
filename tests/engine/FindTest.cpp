// Find against plain references on a random tree of hostile names: the
// wildcard against find -name itself, "contains" and regular expressions
// against Python's bytes and re on the same tree; the stored-folder find
// against the walk's; the limits (size, age, below a folder) on both sides.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/AnalizeDisk.h"
#include "engine/FolderFind.h"
#include "engine/NameFold.h"
#include "engine/NameMatcher.h"
#include "engine/WalkFind.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"

namespace {

// Pieces of names: case pairs in ASCII and UTF-8, bytes a drive-form path
// escapes, wildcard characters, a newline, broken and overlong UTF-8.
const std::vector<std::string> kPieces = {"a",
                                          "B",
                                          "b",
                                          "o",
                                          ".",
                                          "-",
                                          " ",
                                          "%",
                                          "%25",
                                          "\\",
                                          "\n",
                                          "\r",
                                          "*",
                                          "?",
                                          "[x]",
                                          "$(id)",
                                          "'",
                                          "\"",
                                          "\xc3\x89",
                                          "\xc3\xa9",
                                          "\xd0\x96",
                                          "\xd0\xb6",
                                          "\xce\xa9",
                                          "\xcf\x89",
                                          "7",
                                          "42",
                                          "\xe9",
                                          "\xe2\x82",
                                          "\xc0\xaf",
                                          "\xed\xa0\x80",
                                          "\xf0\x9f\x98",
                                          "\xff"};

std::string RandomName(std::mt19937& random) {
    std::string name;
    const int pieces = 1 + static_cast<int>(random() % 5);
    for (int i = 0; i < pieces; ++i)
        name += kPieces[random() % kPieces.size()];
    if (random() % 3 == 0)
        name += random() % 2 ? ".o" : ".O";
    return name == "." || name == ".." ? name + "x" : name;
}

// A tree of Folders folders and Files files with random names and sizes,
// some changed long ago. Names that exist already are skipped.
void MakeHostileTree(const std::string& root, unsigned seed, int folders, int files) {
    std::mt19937 random(seed);
    std::vector<std::string> dirs{root};
    for (int i = 0; i < folders; ++i) {
        const std::string path = dirs[random() % dirs.size()] + "/" + RandomName(random);
        if (mkdir(path.c_str(), 0755) == 0)
            dirs.push_back(path);
    }
    for (int i = 0; i < files; ++i) {
        const std::string path = dirs[random() % dirs.size()] + "/" + RandomName(random);
        std::ofstream(path, std::ios::binary) << std::string(random() % 3000, 'x');
        if (random() % 2) {
            const timeval old[2] = {{0, 0},
                                    {std::time(nullptr) - 86400 * time_t(random() % 60), 0}};
            utimes(path.c_str(), old);
        }
    }
}

// Runs a command and splits what it prints at NUL bytes.
std::set<std::string> NulSeparated(const std::string& command) {
    std::set<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    std::string item;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == 0) {
            lines.insert(item);
            item.clear();
        } else {
            item += static_cast<char>(c);
        }
    }
    pclose(pipe);
    return lines;
}

std::string QuotedName(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Python's reading of the same tree: every path below root whose name
// matches, by bytes ("contains", folded with lower() on valid UTF-8 when
// ignoring case) or by re.search on the name decoded with "replace".
const char* const kReference = R"(
import os, re, sys
root, mode, pattern, fold = os.fsencode(sys.argv[1]), sys.argv[2], os.fsencode(sys.argv[3]), sys.argv[4] == '1'
def folded(b):
    s = b.decode('utf-8', 'surrogateescape')
    return ''.join(c if '\udc80' <= c <= '\udcff' else c.lower() for c in s).encode('utf-8', 'surrogateescape')
rx = re.compile(pattern.decode('utf-8'), re.I if fold else 0) if mode == 'regex' else None
for d, subdirs, files in os.walk(root):
    for n in subdirs + files:
        if mode == 'regex':
            hit = rx.search(n.decode('utf-8', 'replace')) is not None
        else:
            hit = (folded(pattern) in folded(n)) if fold else pattern in n
        if hit:
            sys.stdout.buffer.write(os.path.join(d, n) + b'\0')
)";

class FindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The programs take their locale from the environment, as find
        // does: "?" then takes one UTF-8 character, and -iname folds in it.
        std::setlocale(LC_ALL, "");
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString() + "/t";
        ASSERT_EQ(mkdir(root_.c_str(), 0755), 0);
        MakeHostileTree(root_, 20261210, 150, 700);
        script_ = dir_.path().toStdString() + "/reference.py";
        std::ofstream(script_) << kReference;
    }

    // The native paths a find below the tree's root gives.
    std::set<std::string> Found(TFindQuery query) {
        TScopedDriveTable table(TDriveTable({TDrive{'C', root_}}));
        query.Below = "C:";
        if (query.Now == 0)
            query.Now = std::time(nullptr);
        const TNameMatcher matcher(query);
        EXPECT_EQ(matcher.Error(), "");
        TAnalizeDisk analyzer;
        std::set<std::string> paths;
        for (const TFoundItem& item : FindByWalk(query, matcher, analyzer)) {
            const auto native = DriveFormToNative(item.Path);
            EXPECT_TRUE(native) << item.Path;
            if (native)
                paths.insert(*native);
        }
        return paths;
    }

    std::set<std::string> Reference(const std::string& mode, const std::string& pattern,
                                    bool fold) {
        return NulSeparated(std::string(CQ_SYSTEM_PYTHON) + " " + QuotedName(script_) + " " +
                            QuotedName(root_) + " " + mode + " " + QuotedName(pattern) +
                            (fold ? " 1" : " 0"));
    }

    void TearDown() override {
        // Names that are not UTF-8 are beyond QDir's removal.
        std::system(("rm -rf " + QuotedName(root_)).c_str());
    }

    QTemporaryDir dir_;
    std::string root_, script_;
};

TEST_F(FindTest, WildcardsFindWhatFindNameFinds) {
    for (const std::string pattern :
         {"*.o", "*", "?", "*[aB]*", "*\\**", "*%25*", "*\\\\*", "*\n*", "\xc3\x89*", "*\xe9*",
          "[!a-z]*", "*.[oO]", ".*", "*?*?*?*?*?*"}) {
        TFindQuery query;
        query.Pattern = pattern;
        const std::set<std::string> expected = NulSeparated(
            "find " + QuotedName(root_) + " -mindepth 1 -name " + QuotedName(pattern) + " -print0");
        EXPECT_EQ(Found(query), expected) << "pattern " << pattern;
        query.IgnoreCase = true;
        EXPECT_EQ(Found(query), NulSeparated("find " + QuotedName(root_) + " -mindepth 1 -iname " +
                                             QuotedName(pattern) + " -print0"))
            << "pattern " << pattern << " ignoring case";
    }
}

TEST_F(FindTest, ContainsAndRegexFindWhatPythonFinds) {
    struct TCase {
        TFindMode Mode;
        std::string Pattern;
    };
    const std::vector<TCase> cases = {
        {TFindMode::Contains, "b"},
        {TFindMode::Contains, "\xc3\xa9"},
        {TFindMode::Contains, "%"},
        {TFindMode::Contains, "\\"},
        {TFindMode::Contains, "\xd0\x96"},
        {TFindMode::Contains, "\xe9"},
        {TFindMode::Contains, "\n"},
        {TFindMode::Contains, "Bo"},
        {TFindMode::Regex, "^[ab].*\\.o$"},
        {TFindMode::Regex, "\xef\xbf\xbd"},
        {TFindMode::Regex, "\\d{2}"},
        {TFindMode::Regex, "(\xc3\x89|\xd0\x96)+b"},
        {TFindMode::Regex, "[%\\\\]"},
        {TFindMode::Regex, "^\\."},
        {TFindMode::Regex, "\xef\xbf\xbd{2}"},
        {TFindMode::Regex, "\\n|\\r"},
        {TFindMode::Regex, "^.{3}$"},
    };
    for (const TCase& c : cases) {
        for (const bool fold : {false, true}) {
            TFindQuery query;
            query.Mode = c.Mode;
            query.Pattern = c.Pattern;
            query.IgnoreCase = fold;
            const std::string mode = c.Mode == TFindMode::Regex ? "regex" : "contains";
            const std::set<std::string> expected = Reference(mode, c.Pattern, fold);
            EXPECT_FALSE(expected.empty()) << "a case that proves nothing: " << c.Pattern;
            EXPECT_EQ(Found(query), expected) << mode << " " << c.Pattern << " fold " << fold;
        }
    }
}

// Kinds, size and age limits, each on both sides of its bound, against
// find's own -type, -size and -mtime.
TEST_F(FindTest, LimitsAgreeWithFind) {
    const std::string root = QuotedName(root_);
    TFindQuery query;
    query.Pattern = "*";
    query.Kinds = TFindKinds::Folders;
    EXPECT_EQ(Found(query), NulSeparated("find " + root + " -mindepth 1 -type d -print0"));
    query.Kinds = TFindKinds::Files;
    query.MinSize = 1500;
    const std::set<std::string> large = Found(query);
    EXPECT_EQ(large, NulSeparated("find " + root + " -mindepth 1 ! -type d -size +1499c -print0"));
    query.MinSize = 1501;
    EXPECT_EQ(Found(query),
              NulSeparated("find " + root + " -mindepth 1 ! -type d -size +1500c -print0"));
    query.MinSize = 0;
    // A file changed exactly 30 days ago is not over 30 days old; one a
    // second earlier is.
    const std::string edge = root_ + "/edge";
    std::ofstream(edge) << "x";
    query.Now = std::time(nullptr);
    query.OlderThanDays = 30;
    for (const int extra : {0, 1}) {
        const timeval at[2] = {{0, 0}, {query.Now - 30 * 86400 - extra, 0}};
        utimes(edge.c_str(), at);
        EXPECT_EQ(Found(query).count(edge), std::size_t(extra)) << "a second past: " << extra;
    }
    const std::set<std::string> old = Found(query);
    std::set<std::string> expected =
        NulSeparated("find " + root + " -mindepth 1 ! -type d ! -newermt @" +
                     std::to_string(query.ChangedBefore() - 1) + " -print0");
    EXPECT_EQ(old, expected);
}

// The folders found in stored lists are those a walk finds, below a folder
// too, and never that folder itself; sizes are the stored totals.
TEST_F(FindTest, StoredFoldersMatchTheWalk) {
    TScopedDriveTable table(TDriveTable({TDrive{'C', root_}}));
    TAnalizeDisk analyzer;
    analyzer.Directory = "C:\\";
    analyzer.Recurse = true;
    analyzer.Execute();
    for (const std::string pattern : {"*", "*%*", "*\\\\*", "*\n*", "*\xe9*"}) {
        TFindQuery query;
        query.Pattern = pattern;
        query.Kinds = TFindKinds::Folders;
        query.Below = "C:";
        const TNameMatcher matcher(query);
        const TFoundItems stored = FindStoredFolders(query, matcher, analyzer.Dirs(),
                                                     analyzer.DirSizes(), &analyzer.DiskSizes());
        std::set<std::string> paths;
        for (const TFoundItem& item : stored)
            paths.insert(*DriveFormToNative(item.Path));
        EXPECT_EQ(paths, Found(query)) << pattern;
        if (stored.empty())
            continue;
        // Below the first folder found: what lies below it, nothing else.
        query.Below = stored.front().Path;
        for (const TFoundItem& item :
             FindStoredFolders(query, matcher, analyzer.Dirs(), analyzer.DirSizes(), nullptr)) {
            EXPECT_EQ(item.Path.compare(0, query.Below.size() + 1, query.Below + "\\"), 0);
            EXPECT_EQ(item.Allocated, -1);
        }
    }
    // A folder's minimum size is its total, on both sides.
    TFindQuery query;
    query.Pattern = "*";
    query.Kinds = TFindKinds::Folders;
    query.Below = "C:";
    const TNameMatcher matcher(query);
    const TFoundItems all =
        FindStoredFolders(query, matcher, analyzer.Dirs(), analyzer.DirSizes(), nullptr);
    ASSERT_FALSE(all.empty());
    query.MinSize = all.front().Size;
    const auto has = [&](const TFoundItems& items) {
        for (const TFoundItem& item : items)
            if (item.Path == all.front().Path)
                return true;
        return false;
    };
    EXPECT_TRUE(
        has(FindStoredFolders(query, matcher, analyzer.Dirs(), analyzer.DirSizes(), nullptr)));
    query.MinSize = all.front().Size + 1;
    EXPECT_FALSE(
        has(FindStoredFolders(query, matcher, analyzer.Dirs(), analyzer.DirSizes(), nullptr)));
}

TEST(NameFold, BrokenPartsReadAsOneReplacementEach) {
    // Python: b'a\xe2\x82b\xc0\xaf\xed\xa0\x80\xf0\x9f\x98'.decode('utf-8', 'replace')
    const std::string r = "\xef\xbf\xbd";
    std::string valid;
    ReplaceBrokenUtf8Into(
        "a\xe2\x82"
        "b\xc0\xaf\xed\xa0\x80\xf0\x9f\x98",
        valid);
    EXPECT_EQ(valid, "a" + r + "b" + r + r + r + r + r + r);
    EXPECT_FALSE(IsValidUtf8("a\xe2\x82"));
    ReplaceBrokenUtf8Into("\xf0\x9f\x98\x80\xc3\xa9", valid);
    EXPECT_EQ(valid, "\xf0\x9f\x98\x80\xc3\xa9");
    EXPECT_TRUE(IsValidUtf8(valid));
    EXPECT_EQ(FoldNameCase("AB\xc3\x89\xe9\xd0\x96\xc3"), "ab\xc3\xa9\xe9\xd0\xb6\xc3");
}

TEST(NameMatcher, RefusesWhatItCannotUse) {
    TFindQuery query;
    EXPECT_NE(TNameMatcher(query).Error(), "");
    query.Mode = TFindMode::Regex;
    query.Pattern = "(";
    EXPECT_NE(TNameMatcher(query).Error(), "");
    query.Pattern = "(a)";
    EXPECT_EQ(TNameMatcher(query).Error(), "");
}

}  // namespace
