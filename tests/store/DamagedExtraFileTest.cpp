// Extra files that are not as saved: edited by hand, cut short, replaced by
// what is no regular file, swollen, or forged with their manifest's sums
// redone to hold numbers no walk finds. Each is told by a message of its
// own (damaged, missing, changed outside the program), never read without
// bound, and the rest of the set loads as saved.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "engine/ResultSetManifest.h"
#include "engine/ResultStore.h"
#include "platform/DataFolder.h"
#include "tests/store/DriveCFolderTest.h"
#include "tests/store/ExtraTrialSets.h"

namespace {

const std::string kDiskRoleName(kDiskSizesRole), kDiscoverRoleName(kDiscoverRole);
constexpr std::uint64_t kFourGiB = std::uint64_t{4} << 30;

class DamagedExtraFileTest : public TDriveCFolderTest {
  public:
    // The manifest made to record sum for role's file, as a forger would.
    void Record(const std::string& role, const TResultFileSum& sum) {
        TResultSetManifest manifest;
        ASSERT_TRUE(TResultSetManifest::Parse(ReadBytes(File("CSet")), manifest));
        manifest.Current.Extras[role] = sum;
        WriteBytes(File("CSet"), manifest.Text());
    }
    // The manifest's sums of role's file redone for what it holds now.
    void RedoSums(const std::string& role) {
        TResultChecksum checksum;
        TResultLineCount lines;
        ASSERT_TRUE(ReadDataFileChunks(File("C" + role), [&](std::string_view piece) {
            checksum.Feed(piece);
            lines.Feed(piece);
        }));
        Record(role, {lines.Lines(), checksum.Bytes(), checksum.Value()});
    }
    // Role's file as the lines given, with the manifest's sums redone.
    void Forge(const std::string& role, const TStringList& lines) {
        std::string bytes;
        for (std::string_view line : lines)
            bytes.append(line).append("\r\n");
        WriteBytes(File("C" + role), bytes);
        RedoSums(role);
    }
    // The path line of the Discover file made length bytes long: the file
    // is sparse where the path is, so that it costs no disk.
    void LongPath(std::uint64_t length) {
        const TStringList saved = trial::DriveSet(5).Extras.at(kDiscoverRoleName);
        const std::string path = File("C" + kDiscoverRoleName);
        std::string head, tail;
        for (std::size_t i = 0; i < saved.size(); ++i)
            (i < 3 ? head : tail).append(saved[i]).append("\r\n");
        head.resize(head.size() - 2);  // the path of line 3 goes on
        const int fd = open(path.c_str(), O_WRONLY | O_TRUNC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
        tail = "\r\n" + tail;
        ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(head.size() + length)),
                  static_cast<ssize_t>(tail.size()));
        close(fd);
        RedoSums(kDiscoverRoleName);
    }
};

struct TCase {
    std::string Role;
    std::string What;
    std::function<void(DamagedExtraFileTest&, const std::string& file)> Damage;
    std::string Told;         // what the notice says after the file's path
    bool UsedAsItIs = false;  // the file changed outside the program passes the checks
};

TEST_F(DamagedExtraFileTest, EachDamageIsToldByItsOwnMessageAndTheRestOfTheSetLoads) {
    using T = DamagedExtraFileTest;
    const TStoredSet set = trial::DriveSet(5);
    auto edited = [&set](const std::string& role, std::size_t line, std::string text) {
        TStringList lines = set.Extras.at(role);
        lines.Set(line, text);
        return lines;
    };
    auto rewrite = [](const std::string& file, const TStringList& lines) {
        std::string bytes;
        for (std::string_view line : lines)
            bytes.append(line).append("\r\n");
        WriteBytes(file, bytes);
    };
    const std::string discoverLine3(set.Extras.at(kDiscoverRoleName)[2]);
    const std::string kMost = "9223372036854775807";
    const std::vector<TCase> cases = {
        // Edited, still sound: used, and the user told.
        {kDiskRoleName, "edited by hand",
         [&](T&, const std::string& f) { rewrite(f, edited(kDiskRoleName, 2, "12288")); },
         " was changed outside the program since it was last saved; it is used as it is now.",
         true},
        {kDiscoverRoleName, "edited by hand",
         [&](T&, const std::string& f) {
             rewrite(f,
                     edited(kDiscoverRoleName, 2, std::string(discoverLine3).replace(0, 2, "41")));
         },
         " was changed outside the program since it was last saved; it is used as it is now.",
         true},
        // Cut short, or no regular file at all.
        {kDiskRoleName, "cut short", [](T&, const std::string& f) { truncate(f.c_str(), 8); },
         " is damaged (it has 2 lines for the 4 folders of the set)"},
        {kDiscoverRoleName, "cut short", [](T&, const std::string& f) { truncate(f.c_str(), 44); },
         " is damaged (line 3: not a file's line)"},
        {kDiscoverRoleName, "a FIFO",
         [](T&, const std::string& f) { unlink(f.c_str()), mkfifo(f.c_str(), 0600); },
         " was changed outside the program and cannot be read (is not a regular file)"},
        {kDiskRoleName, "a link to /dev/zero",
         [](T&, const std::string& f) { unlink(f.c_str()), symlink("/dev/zero", f.c_str()); },
         " was changed outside the program and cannot be read (is a link, which is not "
         "followed)"},
        {kDiscoverRoleName, "a folder",
         [](T&, const std::string& f) { unlink(f.c_str()), mkdir(f.c_str(), 0700); },
         " was changed outside the program and cannot be read (Is a directory)"},
        {kDiskRoleName, "missing", [](T&, const std::string& f) { unlink(f.c_str()); },
         " is missing"},
        // Swollen to 4 GiB (sparse), once as the manifest still says, once
        // with the manifest made to record that size: never read whole.
        {kDiscoverRoleName, "4 GiB",
         [](T&, const std::string& f) { truncate(f.c_str(), static_cast<off_t>(kFourGiB)); },
         " was changed outside the program and cannot be read (is larger than it may be)"},
        {kDiskRoleName, "4 GiB as recorded",
         [](T& t, const std::string& f) {
             truncate(f.c_str(), static_cast<off_t>(kFourGiB));
             t.Record(kDiskRoleName, {4, kFourGiB, 0x1234});
         },
         " is damaged (it is larger than 84 bytes)"},
        // Forged with the sums redone.
        {kDiskRoleName, "a line too many",
         [&](T& t, const std::string&) {
             TStringList lines = set.Extras.at(kDiskRoleName);
             lines.push_back("0");
             t.Forge(kDiskRoleName, lines);
         },
         " is damaged (it has 5 lines for the 4 folders of the set)"},
        {kDiskRoleName, "negative",
         [&](T& t, const std::string&) { t.Forge(kDiskRoleName, edited(kDiskRoleName, 1, "-8")); },
         " is damaged (line 2 is negative)"},
        {kDiskRoleName, "a number of 30 digits",
         [&](T& t, const std::string&) {
             t.Forge(kDiskRoleName, edited(kDiskRoleName, 3, "000000000000000000000000000008"));
         },
         " is damaged (line 4 is not a whole number of bytes)"},
        {kDiscoverRoleName, "negative allocated bytes",
         [&](T& t, const std::string&) {
             t.Forge(kDiscoverRoleName,
                     edited(kDiscoverRoleName, 2, "45 -4096 1700000005 C:\\c\\big"));
         },
         " is damaged (line 3: a negative size)"},
        {kDiscoverRoleName, "a type of negative bytes",
         [&](T& t, const std::string&) {
             const std::size_t last = set.Extras.at(kDiscoverRoleName).size() - 1;
             t.Forge(kDiscoverRoleName, edited(kDiscoverRoleName, last, "1 -10 4096 txt"));
         },
         " is damaged (line 9: a negative total)"},
        {kDiscoverRoleName, "two types of 2^63-1 bytes",
         [&](T& t, const std::string&) {
             TStringList lines = edited(kDiscoverRoleName, 7, "2 " + kMost + " 4096 iso");
             lines.Set(8, "1 " + kMost + " 4096 txt");
             t.Forge(kDiscoverRoleName, lines);
         },
         " is damaged (line 8: totals that add up past the largest number)"},
        {kDiscoverRoleName, "a count of 2^63-1 files",
         [&](T& t, const std::string&) {
             t.Forge(kDiscoverRoleName, edited(kDiscoverRoleName, 8, kMost + " 10 4096 txt"));
         },
         " is damaged (line 9: totals that add up past the largest number)"},
        {kDiscoverRoleName, "a path of 100 KiB",
         [](T& t, const std::string&) { t.LongPath(100 << 10); },
         " is damaged (line 3: longer than 65536 bytes)"},
        {kDiscoverRoleName, "a path of 200 MB",
         [](T& t, const std::string&) { t.LongPath(200'000'000); },
         " is damaged (it is larger than 134217728 bytes)"},
        {kDiscoverRoleName, "a file on another drive",
         [&](T& t, const std::string&) {
             t.Forge(kDiscoverRoleName,
                     edited(kDiscoverRoleName, 2, "45 4096 1700000005 D:\\c\\big"));
         },
         " is damaged (line 3: a file on another drive)"},
    };
    std::set<std::string> notices;
    for (const TCase& c : cases) {
        const std::string what = c.Role + ", " + c.What;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            std::filesystem::remove_all(entry.path());
        ASSERT_TRUE(Store().SaveAnalizeData(set)) << what;
        const std::string file = File("C" + c.Role);
        const std::string other = c.Role == kDiskRoleName ? kDiscoverRoleName : kDiskRoleName;
        c.Damage(*this, file);
        if (HasFatalFailure())
            return;
        TStoredSet edited = set;
        if (c.UsedAsItIs) {
            edited.Extras[c.Role].clear();
            SplitResultLines(ReadBytes(file), edited.Extras[c.Role]);
        } else {
            edited.Extras.erase(c.Role);
        }

        TResultStore store = Store();
        ASSERT_TRUE(store.LoadGlobal()) << what << ": " << store.LoadNotice;
        EXPECT_EQ(store.LoadNotice, file + c.Told +
                                        (c.UsedAsItIs ? ""
                                                      : "; it is left out until drive C: "
                                                        "is scanned again."))
            << what;
        EXPECT_EQ(store.GlobalDirs(), set.Dirs) << what;
        EXPECT_EQ(store.GlobalDirSizes(), set.Sizes) << what;
        EXPECT_EQ(store.GlobalExtras(), edited.Extras) << what;
        EXPECT_EQ(store.GlobalExtras().at(other), set.Extras.at(other)) << what;
        const std::string told =
            store.LoadNotice.substr(std::min(file.size(), store.LoadNotice.size()));
        EXPECT_TRUE(notices.insert(c.Role + told).second) << what << " is told as another case is";
        // The next save stores the set as loaded, and it loads without a word.
        ASSERT_TRUE(store.SaveGlobalSLS()) << what << ": " << store.SaveError;
        TResultStore again = Store();
        ASSERT_TRUE(again.LoadGlobal()) << what;
        EXPECT_EQ(again.LoadNotice, "") << what;
        EXPECT_EQ(again.GlobalExtras(), edited.Extras) << what;
    }
}

}  // namespace
