// Which name of a hard-linked file the largest files list: a scan and the
// import of the scan's own export must agree, whatever order the walk meets
// the names in, also when a folder holds several names of one file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/platform/TempDir.h"

namespace {

// The folders, in the order the lists sort them: "A" before "a" (byte
// order), a folder before its subfolders and before a longer name it starts.
const std::vector<std::string> kFolders = {"A", "a", "a b", "a/sub", "b"};
const std::vector<std::string> kNames = {"zz", "b1", "B0", "%5C", "m n", "a.b", "_"};

// The program's standard output, run with Args in a shell; fails the test
// when it does not succeed.
std::string RunScanner(const TTempDir& dir, const std::string& args) {
    const std::string out = dir / ".out";
    const int status =
        std::system((std::string(CQ_SCAN_BINARY) + " " + args + " >'" + out + "'").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args;
    std::ifstream in(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> LargestPaths(const std::string& json) {
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    std::vector<std::string> paths;
    for (const QJsonValue& file : report["largest_files"].toArray())
        paths.push_back(file.toObject()["path"].toString().toStdString());
    return paths;
}

}  // namespace

// Files of distinct sizes, each with names made in a random order in a few
// of the folders, at least two in the first of them: the name listed is the
// first in byte order in the folder that sorts first, in the scan and in the
// import of its export alike.
TEST(HardLinkName, ScanAndImportOfItsExportListTheSameName) {
    TTempDir dir;
    const std::string tree = dir / "tree";
    for (const std::string& folder : kFolders)
        std::filesystem::create_directories(tree + "/" + folder);
    std::mt19937 random(20261210);
    std::vector<std::string> expected;
    for (int file = 0; file < 8; ++file) {
        std::vector<std::string> folders = kFolders;
        std::shuffle(folders.begin(), folders.end(), random);
        folders.resize(1 + random() % 3);
        std::vector<std::string> names;  // relative paths, in the order they are made
        for (const std::string& folder : folders) {
            std::vector<std::string> here = kNames;
            std::shuffle(here.begin(), here.end(), random);
            here.resize(2 + random() % 4);
            for (const std::string& name : here)
                names.push_back(folder + "/" + name + std::to_string(file));
        }
        std::shuffle(names.begin(), names.end(), random);
        dir.MakeFile("tree/" + names[0], 100000 * (file + 1));
        for (std::size_t k = 1; k < names.size(); ++k)
            ASSERT_EQ(link((tree + "/" + names[0]).c_str(), (tree + "/" + names[k]).c_str()), 0);
        const std::string first =
            *std::min_element(folders.begin(), folders.end(), [](const auto& x, const auto& y) {
                return std::find(kFolders.begin(), kFolders.end(), x) <
                       std::find(kFolders.begin(), kFolders.end(), y);
            });
        std::string kept;
        for (const std::string& name : names)
            if (name.rfind(first + "/", 0) == 0 && name.find('/', first.size() + 1) == name.npos &&
                (kept.empty() || name < kept))
                kept = name;
        expected.push_back(tree + "/" + kept);
    }
    std::reverse(expected.begin(), expected.end());  // the largest first

    const std::string scanned = RunScanner(dir, "--json --largest 20 '" + tree + "'");
    RunScanner(dir, "--export '" + dir / "t.json" + "' '" + tree + "'");
    const std::string imported =
        RunScanner(dir, "--json --largest 20 --import '" + dir / "t.json" + "'");
    EXPECT_EQ(LargestPaths(scanned), expected);
    EXPECT_EQ(LargestPaths(imported), LargestPaths(scanned));
}
