// cobaltquarry-scan --changes on a drive C: that is a temporary folder: a
// random tree is scanned with --save, one top-level folder grows, one is
// added and one deleted, and after the second scan the report names exactly
// those three, with the byte changes a plain walk of the tree finds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "engine/ScanHistory.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ChangesReport.h"
#include "tools/scan/ScanChanges.h"
#include "tools/scan/ScanCommand.h"
#include "views/bar/BarChanges.h"

namespace {

// The reference: every entry below path that is not a folder, counted with
// its own size (links not followed), as a scan counts it.
long long TreeBytes(const std::string& path) {
    long long bytes = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(path)) {
        struct stat info;
        if (lstat(e.path().c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
            bytes += info.st_size;
        }
    }
    return bytes;
}

struct TChange {
    std::string State;
    long long Change = 0;
    bool operator==(const TChange& o) const { return State == o.State && Change == o.Change; }
};

std::ostream& operator<<(std::ostream& out, const TChange& c) {
    return out << c.State << " " << c.Change;
}

class ScanChangesTest : public ::testing::Test {
  protected:
    ScanChangesTest() : table_(TDriveTable({{'C', dir_ / "drive"}})) {
        dir_.MakeDir("drive");
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            oldXdg_ = old;
        }
        setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    }
    ~ScanChangesTest() override {
        if (oldXdg_) {
            setenv("XDG_DATA_HOME", oldXdg_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        TScanCommand command;
        return command.Run(args, out_, err_);
    }

    // A folder with a few files and subfolders of random sizes.
    void Fill(const std::string& rel, int depth) {
        dir_.MakeDir(rel);
        for (int f = 0, n = static_cast<int>(random_() % 4); f < n; ++f) {
            dir_.MakeFile(rel + "/f" + std::to_string(f),
                          static_cast<long long>(random_() % 5'000'000));
        }
        for (int d = 0, n = depth > 0 ? static_cast<int>(random_() % 3) : 0; d < n; ++d) {
            Fill(rel + "/d" + std::to_string(d), depth - 1);
        }
    }

    // The three changes the report should hold, keyed by name.
    std::map<std::string, TChange> Reported() const {
        std::map<std::string, TChange> found;
        const QJsonObject o =
            QJsonDocument::fromJson(QByteArray::fromStdString(out_.str())).object();
        for (const char* list : {"grown", "shrunk"}) {
            for (const QJsonValue& v : o[list].toArray()) {
                const QJsonObject e = v.toObject();
                found[e["name"].toString().toStdString()] =
                    TChange{e["state"].toString().toStdString(), e["change"].toInteger()};
            }
        }
        return found;
    }

    std::string History() const { return dir_ / "data/cobaltquarry/history/"; }

    TTempDir dir_;
    TScopedDriveTable table_;
    std::optional<std::string> oldXdg_;
    std::mt19937_64 random_{41};
    std::ostringstream out_, err_;
};

TEST_F(ScanChangesTest, ReportsExactlyWhatGrewAppearedAndWent) {
    for (int trial = 0; trial < 4; ++trial) {
        const std::string top = "drive/t" + std::to_string(trial);
        const int folders = 3 + static_cast<int>(random_() % 4);
        dir_.MakeDir(top);
        for (int i = 0; i < folders; ++i) {
            Fill(top + "/top" + std::to_string(i), 2);
        }
        ASSERT_EQ(Run({"--save", dir_ / "drive"}), 0) << err_.str();

        const int grown = static_cast<int>(random_() % folders);
        const int gone = (grown + 1 + static_cast<int>(random_() % (folders - 1))) % folders;
        const std::string grownPath = dir_ / (top + "/top" + std::to_string(grown));
        const std::string gonePath = dir_ / (top + "/top" + std::to_string(gone));
        const long long grownBefore = TreeBytes(grownPath), goneBefore = TreeBytes(gonePath);
        dir_.MakeFile(top + "/top" + std::to_string(grown) + "/added",
                      1 + static_cast<long long>(random_() % 9'000'000));
        std::filesystem::remove_all(gonePath);
        Fill(top + "/fresh", 2);
        ASSERT_EQ(Run({"--save", dir_ / "drive"}), 0) << err_.str();

        ASSERT_EQ(Run({"--changes", "--json", dir_ / top}), 0) << err_.str();
        const std::map<std::string, TChange> expected = {
            {"top" + std::to_string(grown), {"grown", TreeBytes(grownPath) - grownBefore}},
            {"fresh", {"new", TreeBytes(dir_ / (top + "/fresh"))}},
            {"top" + std::to_string(gone), {"gone", -goneBefore}},
        };
        EXPECT_EQ(Reported(), expected) << out_.str();

        // The text report says the same.
        ASSERT_EQ(Run({"--changes", dir_ / top}), 0) << err_.str();
        EXPECT_NE(out_.str().find("fresh  (new)"), std::string::npos) << out_.str();
        EXPECT_NE(out_.str().find("top" + std::to_string(gone) + "  (gone)"), std::string::npos);
    }
    // Every scan but the first kept the results before it.
    EXPECT_EQ(TScanHistory(dir_ / "data/cobaltquarry/").Entries('C').size(), 7u);
}

TEST_F(ScanChangesTest, ADamagedKeptSetIsToldAndTheOlderOneUsed) {
    Fill("drive/a", 1);
    ASSERT_EQ(Run({"--save", dir_ / "drive"}), 0);
    dir_.MakeFile("drive/a/more", 3'000'000);
    ASSERT_EQ(Run({"--save", dir_ / "drive"}), 0);
    ASSERT_EQ(Run({"--save", dir_ / "drive"}), 0);  // nothing changed in this one

    TScanHistory history(dir_ / "data/cobaltquarry/");
    std::vector<THistoryEntry> kept = history.Entries('C');
    ASSERT_EQ(kept.size(), 2u);
    ASSERT_EQ(Run({"--changes", "--json", dir_ / "drive"}), 0) << err_.str();
    EXPECT_TRUE(Reported().empty()) << out_.str();

    std::ofstream(kept[0].Path, std::ios::binary | std::ios::trunc) << "damaged";
    ASSERT_EQ(Run({"--changes", "--json", dir_ / "drive"}), 0) << err_.str();
    EXPECT_NE(err_.str().find(kept[0].Path), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("skipped"), std::string::npos) << err_.str();
    // The older set is from before "more" was added.
    const std::map<std::string, TChange> expected = {{"a", {"grown", 3'000'000}}};
    EXPECT_EQ(Reported(), expected) << out_.str();

    // With every kept set damaged there is nothing to fall back on: the run
    // fails and says why.
    std::ofstream(kept[1].Path, std::ios::binary | std::ios::trunc) << "damaged too";
    EXPECT_EQ(Run({"--changes", dir_ / "drive"}), TScanCommand::kFailed);
    EXPECT_NE(err_.str().find("no usable kept results"), std::string::npos) << err_.str();
    // A count past the kept sets is a usage error.
    EXPECT_EQ(Run({"--changes", "--since", "3", dir_ / "drive"}), TScanCommand::kBadUsage);
}

TEST(ChooseKeptSetTest, CountsAndDates) {
    std::vector<THistoryEntry> entries;
    for (const char* name : {"C-20261209T074010Z-1.zst", "C-20261209T074010Z.zst",
                             "C-20261201T120000Z.zst", "C-20261115T000000Z.zst"}) {
        THistoryEntry e;
        ASSERT_TRUE(TScanHistory::ParseName(name, e));
        entries.push_back(e);
    }
    std::string error;
    const struct {
        const char* since;
        int chosen;
    } cases[] = {{"", 0},
                 {"1", 0},
                 {"3", 2},
                 {"4", 3},
                 {"5", -1},
                 {"0", -1},
                 {"2026-12-09", 0},
                 {"2026-12-09T07:40", 2},
                 {"2026-12-09 07:40:10", 0},
                 {"2026-12-09T07:40:09Z", 2},
                 {"2026-12-01", 2},
                 {"2026-11-30", 3},
                 {"2026-11-14", -1},
                 {"yesterday", -1},
                 {"2026-13-01", -1}};
    for (const auto& c : cases) {
        error.clear();
        EXPECT_EQ(ChooseKeptSet(entries, c.since, error), c.chosen) << c.since;
        EXPECT_EQ(error.empty(), c.chosen >= 0) << c.since << ": " << error;
    }
}

TEST(ChangesReportTest, SignedMegabytes) {
    EXPECT_EQ(SignedMB(1572864), "+1.5");
    EXPECT_EQ(SignedMB(-1572864), "-1.5");
    EXPECT_EQ(SignedMB(0), "0.0");
    EXPECT_EQ(SignedMB(-10), "-0.0");
}

}  // namespace
