// The scanner's pictures and machine-readable output, run as the real
// program: the pie as PNG (drawn by the drawing program the scanner hands
// the run to), JSON names kept byte for byte, a folder on no drive scanned
// but not stored.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <filesystem>
#include <sstream>

#include "platform/DirListing.h"
#include "tests/engine/ScanToolRun.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ScanCommand.h"

namespace {

bool IsWhite(QRgb c) {
    return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255;
}

int ColourDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

}  // namespace

// The pie of a folder, drawn by the real program with no display platform
// chosen: it must pick the offscreen one itself and write nothing else.
TEST(ScanTool, DrawsThePieOfTheFolderAsPng) {
    TTempDir dir;
    dir.MakeDir("tree");
    dir.MakeDir("tree/big");
    dir.MakeFile("tree/big/f", 3 << 20);
    dir.MakeDir("tree/small");
    dir.MakeFile("tree/small/f", 1 << 20);
    const std::string png = dir / "pie.png";
    const RunResult r = RunScan("--pie '" + png + "' '" + dir.Path() + "/tree'", dir,
                                "env -u QT_QPA_PLATFORM XDG_DATA_HOME='" + dir.Path() + "/data' ");
    ASSERT_EQ(r.Status, 0) << r.Err;
    // (Qt may warn about the session's set-up; the program itself says nothing.)
    EXPECT_EQ(r.Err.find("cobaltquarry-scan"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("Total: 4.0 MB (4194304 bytes) in 3 folders"), std::string::npos) << r.Out;
    struct stat st;
    EXPECT_NE(stat((dir / "data").c_str(), &st), 0) << "a pie alone must not touch the data folder";

    QImage pie;
    ASSERT_TRUE(pie.load(QString::fromStdString(png), "PNG"));
    ASSERT_EQ(pie.size(), QSize(350, 350));
    // Outside the disc the control's white background.
    for (const QPoint p : {QPoint(2, 2), QPoint(347, 2), QPoint(2, 347), QPoint(347, 347)})
        EXPECT_TRUE(IsWhite(pie.pixel(p))) << p.x() << "," << p.y();
    // The two slices: 270 degrees for big from nine o'clock counterclockwise
    // on the screen (through the bottom and the right), 90 for small (the
    // upper-left quarter). The shading depends only on the height and the
    // distance from the centre, so mirrored points of one slice look alike
    // and mirrored points of the two slices do not.
    const QPoint centre(175, 175);
    const QRgb bigLeft = pie.pixel(centre + QPoint(-50, 60));
    const QRgb bigRight = pie.pixel(centre + QPoint(50, 60));
    const QRgb small = pie.pixel(centre + QPoint(-50, -60));
    const QRgb bigTop = pie.pixel(centre + QPoint(50, -60));
    EXPECT_FALSE(IsWhite(bigLeft));
    EXPECT_FALSE(IsWhite(small));
    EXPECT_LE(ColourDistance(bigLeft, bigRight), 6);
    EXPECT_GT(ColourDistance(small, bigTop), 6);

    // The caption, the folder's total, is dark text on the pie's lit centre.
    int dark = 0;
    for (int y = 160; y < 190; ++y)
        for (int x = 150; x < 200; ++x)
            dark += qGray(pie.pixel(x, y)) < 110;
    EXPECT_GT(dark, 15) << "no caption text in the middle of the pie";
}

TEST(ScanTool, PieThatCannotBeWrittenFailsTheRun) {
    TTempDir dir;
    dir.MakeDir("tree");
    const RunResult r =
        RunScan("--pie '" + dir.Path() + "/missing/pie.png' '" + dir.Path() + "/tree'", dir);
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("cannot write the picture"), std::string::npos) << r.Err;
}

// A picture is drawn by the program the command is handed to, before
// anything is read or written: here the new --out folder is never made.
// Without anything to draw or hand to, the run fails and says so.
TEST(ScanTool, PictureRunIsHandedOffBeforeAnything) {
    TTempDir dir;
    dir.MakeDir("tree");
    const std::vector<std::string> args = {"--pie", dir / "p.png", "--out", dir / "out",
                                           dir / "tree"};
    int handOffs = 0;
    TScanCommand handing;
    handing.SetPictureHandOff([&] { return ++handOffs, 42; });
    std::ostringstream out, err;
    EXPECT_EQ(handing.Run(args, out, err), 42);
    EXPECT_EQ(handOffs, 1);
    TScanCommand alone;
    EXPECT_EQ(alone.Run(args, out, err), TScanCommand::kFailed);
    EXPECT_EQ(err.str(), "cobaltquarry-scan: this program draws no pictures\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
    EXPECT_FALSE(std::filesystem::exists(dir / "p.png"));
    // Bad usage is still told by the scanner itself.
    EXPECT_EQ(handing.Run({"--pie", dir / "p.jpg", dir / "tree"}, out, err),
              TScanCommand::kBadUsage);
    EXPECT_EQ(handOffs, 1);
}

// The real scanner copied away from its drawing program: a picture run
// names the program it could not run and leaves nothing behind.
TEST(ScanTool, PictureWithoutTheDrawingProgramFails) {
    TTempDir dir;
    dir.MakeDir("bin");
    dir.MakeDir("tree");
    std::filesystem::copy_file(CQ_SCAN_BINARY, dir / "bin/cobaltquarry-scan");
    const std::string cmd = "'" + dir.Path() + "/bin/cobaltquarry-scan' --pie '" + dir.Path() +
                            "/p.png' '" + dir.Path() + "/tree' 2>'" + dir.Path() + "/err'";
    const int raw = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    EXPECT_EQ(ReadAll(dir / "err"), "cobaltquarry-scan: cannot run " + dir.Path() +
                                        "/bin/cobaltquarry-scan-draw: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "p.png"));
}

TEST(ScanTool, JsonKeepsNamesThatAreNotUtf8Exactly) {
    TTempDir dir;
    const std::string odd = "caf\xE9-\x80";
    dir.MakeDir("t");
    dir.MakeDir("t/" + odd);
    dir.MakeFile("t/" + odd + "/f", 1234);
    dir.MakeDir("t/plain");
    dir.MakeFile("t/plain/g", 10);
    const RunResult r = RunScan("--json '" + dir.Path() + "/t'", dir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object();
    std::map<std::string, std::int64_t> found;
    for (const QJsonValue& v : o["largest"].toArray()) {
        const QJsonObject e = v.toObject();
        // Valid UTF-8 is the text itself; anything else has its bytes beside.
        const std::string name =
            e.contains("name_base64")
                ? QByteArray::fromBase64(e["name_base64"].toString().toLatin1()).toStdString()
                : e["name"].toString().toStdString();
        found[name] = e["bytes"].toInteger();
    }
    EXPECT_EQ(found, (std::map<std::string, std::int64_t>{{odd, 1234}, {"plain", 10}}));
    EXPECT_FALSE(o["path"].toString().isEmpty());
}

TEST(ScanTool, FolderOnNoDriveIsScannedButNotStored) {
    if (geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0) {
        GTEST_SKIP() << "needs a private mount namespace (unshare -m) for a folder on no drive";
    }
    TTempDir dir;
    dir.MakeDir("stick");
    // A tmpfs is on no drive, like a USB stick or a network share.
    const std::string stick = dir / "stick";
    const std::string prepare = "mount -t tmpfs cqstick '" + stick + "' && mkdir '" + stick +
                                "/photos' && head -c 5000 /dev/zero > '" + stick + "/photos/p' && ";
    const std::string data = dir / "data";
    auto inNamespace = [&](const std::string& args) {
        // The whole run, mount included, in one private namespace.
        const std::string out = dir / ".out", err = dir / ".err";
        const std::string script =
            prepare + "XDG_DATA_HOME='" + data + "' " + std::string(CQ_SCAN_BINARY) + " " + args;
        const int raw = std::system(
            ("unshare -m sh -c \"" + script + "\" >'" + out + "' 2>'" + err + "'").c_str());
        RunResult r;
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.Out = ReadAll(out);
        r.Err = ReadAll(err);
        return r;
    };
    RunResult r = inNamespace("--json '" + stick + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out)).object();
    EXPECT_EQ(o["total_bytes"].toInteger(), 5000);
    EXPECT_TRUE(o["drive_form"].isNull());
    EXPECT_EQ(o["largest"].toArray().at(0).toObject()["name"].toString(), "photos");
    r = inNamespace("'" + stick + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind(stick + "\n", 0), 0u) << r.Out;
    // Storing needs a drive: refused before any scan, nothing written.
    for (const char* option : {"--save", "--out '/tmp'"}) {
        r = inNamespace(std::string(option) + " '" + stick + "'");
        EXPECT_EQ(r.Status, 2) << option;
        EXPECT_NE(r.Err.find("need a drive"), std::string::npos) << r.Err;
        EXPECT_TRUE(r.Out.empty());
    }
    struct stat st;
    EXPECT_NE(stat(data.c_str(), &st), 0);
}
