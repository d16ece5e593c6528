// Links to folders followed to their end, each as seen from a working
// directory that holds look-alike folders: a relative target that counted
// from there would land in the wrong place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/DriveTable.h"
#include "platform/FolderLink.h"
#include "tests/platform/TempDir.h"

namespace {

using TPlace = TFolderLink::TPlace;

TEST(FolderLink, FollowsEachLinkFromItsOwnFolder) {
    TTempDir t;
    for (const char* dir : {"c", "c/sub", "c/sub/x", "d", "d/y", "e", "e/z", "outside", "cwd",
                            "cwd/sub", "cwd/sub/x"})
        t.MakeDir(dir);
    t.MakeFile("c/file", 10);
    const std::vector<std::pair<std::string, std::string>> links = {
        {"c/rel", "sub/x"},     {"c/sub/back", "../sub"}, {"c/abs", t / "d/y"},
        {"c/up", "../outside"}, {"c/chain", "rel"},       {"c/tofile", "file"},
        {"c/broken", "gone"},   {"c/loop", "loop"},       {"c/toe", t / "e/z"},
        {"elink", "e"},         {"c/droot", "../d"},
    };
    for (const auto& [link, target] : links)
        ASSERT_EQ(::symlink(target.c_str(), (t / link).c_str()), 0) << link;
    // Drive E: is named through a link to its folder.
    TScopedDriveTable table(TDriveTable({{'C', t / "c"}, {'D', t / "d"}, {'E', t / "elink"}}));
    const std::filesystem::path oldCwd = std::filesystem::current_path();
    std::filesystem::current_path(t / "cwd");

    const struct {
        std::string path;
        TPlace place;
        std::string target;
    } cases[] = {
        {"C:\\rel", TPlace::OnDrive, "C:\\sub\\x"},
        {"C:\\sub\\back", TPlace::OnDrive, "C:\\sub"},
        {"C:\\chain", TPlace::OnDrive, "C:\\sub\\x"},
        {"C:\\abs", TPlace::OnDrive, "D:\\y"},
        {"C:\\droot", TPlace::OnDrive, "D:"},
        {"C:\\toe", TPlace::OnDrive, "E:\\z"},
        {"C:\\up", TPlace::OffDrive, ""},
        {"C:\\tofile", TPlace::NoLink, ""},
        {"C:\\broken", TPlace::NoLink, ""},
        {"C:\\loop", TPlace::NoLink, ""},
        {"C:\\sub", TPlace::NoLink, ""},
        {"C:", TPlace::NoLink, ""},
        {"Q:\\rel", TPlace::NoLink, ""},
    };
    for (const auto& c : cases) {
        const TFolderLink link = ResolveFolderLink(c.path);
        EXPECT_EQ(link.Place, c.place) << c.path;
        EXPECT_EQ(link.Target, c.target) << c.path;
    }
    std::filesystem::current_path(oldCwd);
}

}  // namespace
