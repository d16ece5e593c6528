// cobaltquarry-scan --changes on a drive C: that is a temporary folder,
// scanned with --save (the window's test drives the same comparison through
// a grown, an added and a deleted folder): a damaged kept set is told and the
// older one used; --since picks kept sets by count and date.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "engine/ScanHistory.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ChangesReport.h"
#include "tools/scan/ScanChanges.h"
#include "tools/scan/ScanCommand.h"
#include "views/bar/BarChanges.h"

namespace {

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

    // The changes the report holds, keyed by name.
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

    TTempDir dir_;
    TScopedDriveTable table_;
    std::optional<std::string> oldXdg_;
    std::ostringstream out_, err_;
};

TEST_F(ScanChangesTest, ADamagedKeptSetIsToldAndTheOlderOneUsed) {
    dir_.MakeDir("drive/a");
    dir_.MakeFile("drive/a/first", 1'000'000);
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
    } cases[] = {{"", 0},          {"3", 2},           {"5", -1},
                 {"2026-12-09", 0}, {"2026-12-09T07:40", 2}, {"2026-12-09 07:40:10Z", 0},
                 {"2026-11-30", 3}, {"2026-11-14", -1},      {"2026-13-01", -1}};
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
