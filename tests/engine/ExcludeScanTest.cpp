// cobaltquarry-scan with exclude rules, on a drive C: that is a temporary
// folder: what --save stores with and without rules, -X files read as ncdu
// reads them, and bad rules refused before anything is stored.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "engine/ExcludeKind.h"
#include "engine/ResultFileText.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ScanCommand.h"

namespace {

class ExcludeScanTest : public ::testing::Test {
  protected:
    ExcludeScanTest() : table_(TDriveTable({{'C', dir_ / "drive"}})) {
        dir_.MakeDir("drive");
        dir_.MakeDir("drive/src");
        dir_.MakeFile("drive/src/a.c", 6000);
        dir_.MakeFile("drive/src/a.o", 3000);
        dir_.MakeDir("drive/src/node_modules");
        dir_.MakeFile("drive/src/node_modules/big", 9000);
        dir_.MakeDir("drive/media");
        dir_.MakeFile("drive/media/c", 2000);
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            oldXdg_ = old;
    }
    ~ExcludeScanTest() override {
        if (oldXdg_)
            setenv("XDG_DATA_HOME", oldXdg_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    // One run of the program, storing into the data folder Data.
    int Scan(const std::string& data, std::vector<std::string> args) {
        setenv("XDG_DATA_HOME", (dir_ / data).c_str(), 1);
        out_.str("");
        err_.str("");
        args.push_back(dir_ / "drive");
        TScanCommand command;
        return command.Run(args, out_, err_);
    }
    std::string Bytes(const std::string& data, const std::string& name) const {
        std::ifstream f(dir_ / (data + "/cobaltquarry/" + name), std::ios::binary);
        std::stringstream bytes;
        bytes << f.rdbuf();
        return bytes.str();
    }
    bool Exists(const std::string& data, const std::string& name) const {
        struct stat st;
        return stat((dir_ / (data + "/cobaltquarry/" + name)).c_str(), &st) == 0;
    }
    std::string Total(const std::string& data, const std::string& folder) const {
        TStringList dirs, sizes;
        SplitResultLines(Bytes(data, "CDirs"), dirs);
        SplitResultLines(Bytes(data, "CDirSizes"), sizes);
        for (std::size_t i = 0; i < dirs.size() && i < sizes.size(); ++i)
            if (dirs[i] == folder)
                return std::string(sizes[i]);
        return "<missing>";
    }

    TTempDir dir_;
    TScopedDriveTable table_;
    std::optional<std::string> oldXdg_;
    std::ostringstream out_, err_;
};

}  // namespace

// Without rules a set has no rules file; rules that match nothing change no
// other file; rules that match leave out what they match and are stored.
TEST_F(ExcludeScanTest, RulesAreStoredOnlyWithTheSet) {
    ASSERT_EQ(Scan("plain", {"--save"}), 0) << err_.str();
    ASSERT_EQ(Scan("unmatched", {"--save", "--exclude", "no-such-name"}), 0) << err_.str();
    EXPECT_FALSE(Exists("plain", "CExclude"));
    for (const char* file : {"CDirs", "CDirSizes", "CPercents", "CDiskSizes"})
        EXPECT_EQ(Bytes("plain", file), Bytes("unmatched", file)) << file;
    // The Discover data ends with the time of the scan.
    const auto timeless = [](const std::string& text) {
        return text.substr(0, text.rfind("old "));
    };
    EXPECT_EQ(timeless(Bytes("plain", "CDiscover")), timeless(Bytes("unmatched", "CDiscover")));
    EXPECT_EQ(Bytes("unmatched", "CExclude"), "no caches\r\nno-such-name\r\n");

    ASSERT_EQ(Scan("rules", {"--save", "--exclude", "*.o", "--exclude", "node_modules", "--exclude",
                             "100%\rx"}),
              0)
        << err_.str();
    EXPECT_EQ(Total("plain", "C:\\src"), "18000");
    EXPECT_EQ(Total("rules", "C:\\src"), "6000");
    EXPECT_EQ(Total("rules", "C:\\src\\node_modules"), "<missing>");
    EXPECT_EQ(Bytes("rules", "CExclude"), "no caches\r\n*.o\r\nnode_modules\r\n100%25%0Dx\r\n");
    TStringList lines;
    SplitResultLines(Bytes("rules", "CExclude"), lines);
    TExcludeRules read;
    std::string error;
    ASSERT_TRUE(ExcludeFromLines(lines, read, error)) << error;
    EXPECT_EQ(read.Patterns(), (std::vector<std::string>{"*.o", "node_modules", "100%\rx"}));
}

// -X: carriage returns and line feeds ending a line cut, blank lines
// skipped, blanks inside kept; a second -X adds to the first.
TEST_F(ExcludeScanTest, ExcludeFilesAreReadAsNcduReadsThem) {
    std::ofstream(dir_ / "x1", std::ios::binary) << "\r\n*.o\r\r\n\n  \nmedia";
    std::ofstream(dir_ / "x2", std::ios::binary) << "node_modules\n";
    ASSERT_EQ(Scan("d", {"--save", "--exclude-from", dir_ / "x1", "--exclude-from", dir_ / "x2"}),
              0)
        << err_.str();
    EXPECT_EQ(Bytes("d", "CExclude"), "no caches\r\n*.o\r\n  \r\nmedia\r\nnode_modules\r\n");
    EXPECT_EQ(Total("d", "C:"), "6000");
}

// Refused with a message naming the fault, and nothing stored.
TEST_F(ExcludeScanTest, BadRulesAreRefusedAndNothingIsStored) {
    std::ofstream(dir_ / "long", std::ios::binary) << std::string(10000, 'x') << "\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--exclude", ""}, "empty"},
        {{"--exclude-from", dir_ / "missing"}, "cannot be read"},
        {{"--exclude-from", dir_.Path()}, "cannot be read"},
        {{"--exclude-from", dir_ / "long"}, "10000"},
        {{"--exclude", std::string(10000, 'y')}, "too long"},
        {{"--exclude", "[a-"}, "never closed"}};
    for (const auto& b : bad) {
        std::vector<std::string> args = {"--save"};
        args.insert(args.end(), b.first.begin(), b.first.end());
        EXPECT_EQ(Scan("bad", args), 2) << b.second;
        EXPECT_NE(err_.str().find(b.second), std::string::npos) << err_.str();
        EXPECT_FALSE(Exists("bad", "CDirs")) << b.second;
    }
    EXPECT_EQ(Scan("bad", {"--exclude-caches", "--stored", "--largest", "3"}), 2);
    EXPECT_NE(err_.str().find("go with a scan"), std::string::npos) << err_.str();
    // An unmatched "[" alone is a plain byte, as fnmatch reads it.
    EXPECT_EQ(Scan("ok", {"--save", "--exclude", "a[b"}), 0) << err_.str();
    EXPECT_EQ(Total("ok", "C:"), "20000");
}
