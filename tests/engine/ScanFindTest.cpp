// cobaltquarry-scan --find: what its options take and refuse, and the real
// program's JSON on a tree of hostile names against find -name itself, names
// that are not UTF-8 included (exact in "path_base64").
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/platform/TempDir.h"
#include "tools/scan/ScanOptions.h"

namespace {

std::string ReadFindOutput(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::set<std::string> FindPrint0(const std::string& command) {
    std::set<std::string> paths;
    FILE* pipe = popen(command.c_str(), "r");
    std::string item;
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) {
        if (c == 0)
            paths.insert(std::exchange(item, std::string()));
        else
            item += static_cast<char>(c);
    }
    if (pipe)
        pclose(pipe);
    return paths;
}

}  // namespace

TEST(ScanFindOptions, TakesWhatGoesWithFindAndRefusesTheRest) {
    const std::vector<std::pair<std::vector<std::string>, bool>> table = {
        {{"--find", "*.o", "/a"}, true},
        {{"--find", "x", "--contains", "--ignore-case", "--type", "f", "/a"}, true},
        {{"--find", "^x", "--regex", "--type", "d", "--min-size", "10M", "/a"}, true},
        {{"--find", "x", "--older-than", "0", "--json", "/a"}, true},
        {{"--find", "x", "--older-than", "999999", "/a"}, true},
        {{"--find", "", "/a"}, false},
        {{"--contains", "/a"}, false},
        {{"--find", "x", "--contains", "--regex", "/a"}, false},
        {{"--find", "x", "--type", "l", "/a"}, false},
        {{"--find", "x", "--min-size", "10X", "/a"}, false},
        {{"--find", "x", "--older-than", "-1", "/a"}, false},
        {{"--find", "x", "--older-than", "1000000", "/a"}, false},
        {{"--find", "x", "--type", "d", "--older-than", "3", "/a"}, false},
        {{"--find", "x", "--save", "/a"}, false},
        {{"--find", "x", "--largest", "3", "/a"}, false},
        {{"--find", "x"}, false},
    };
    for (const auto& [args, taken] : table) {
        TScanOptions options;
        std::string error;
        std::string joined;
        for (const std::string& a : args)
            joined += "'" + a + "' ";
        EXPECT_EQ(ParseScanOptions(args, options, error), taken) << joined << error;
        EXPECT_EQ(error.empty(), taken) << joined;
    }
    TScanOptions options;
    std::string error;
    ASSERT_TRUE(ParseScanOptions({"--find", "a\xe9*", "--min-size", "2K", "/a"}, options, error));
    EXPECT_EQ(options.Find.Pattern, "a\xe9*") << "the pattern's bytes as given";
    EXPECT_EQ(options.Find.MinSize, 2048);
}

TEST(ScanFind, JsonListsWhatFindNameFinds) {
    TTempDir dir;
    const std::string tree = dir / "tree";
    for (const std::string folder : {"", "/a.o", "/a.o/b\\c", "/caf\xe9.o", "/new\nline"})
        ASSERT_EQ(mkdir((tree + folder).c_str(), 0755), 0) << folder;
    for (const std::string file : {"/x.o", "/a.o/y.O", "/a.o/b\\c/%25.o", "/caf\xe9.o/z\xff.o",
                                   "/new\nline/w\n.o", "/new\nline/keep.c"})
        std::ofstream(tree + file) << std::string(file.size() * 100, 'x');
    for (const std::string type : {"", " --type f", " --type d"}) {
        const std::string out = dir / "found.json";
        const std::string command = std::string(CQ_SCAN_BINARY) + " --find '*.o' --json" + type +
                                    " '" + tree + "' >'" + out + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
        const QJsonObject report =
            QJsonDocument::fromJson(QByteArray::fromStdString(ReadFindOutput(out))).object();
        std::set<std::string> found;
        for (const QJsonValue& item : report["found"].toArray()) {
            const QJsonObject o = item.toObject();
            found.insert(
                o.contains("path_base64")
                    ? QByteArray::fromBase64(o["path_base64"].toString().toLatin1()).toStdString()
                    : o["path"].toString().toStdString());
        }
        const std::string kind = type.empty()          ? ""
                                 : type == " --type f" ? " ! -type d"
                                                       : " -type d";
        EXPECT_EQ(found,
                  FindPrint0("find '" + tree + "' -mindepth 1" + kind + " -name '*.o' -print0"))
            << type;
    }
}
