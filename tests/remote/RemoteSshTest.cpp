// Remote scans through a real sshd on 127.0.0.1: a host key, a user key and
// a known_hosts of the test's own, the built scanner (and ncdu, gdu, sh, and
// touch for a name that would run it) on the PATH of the remote command.
// Skipped only where sshd cannot start.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <future>

#include "engine/RemoteScan.h"
#include "tests/engine/RandomTree.h"
#include "tests/platform/TempDir.h"
#include "tests/remote/TestSshd.h"

namespace {

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

// A process's command line, empty when it ended. Read with read(2): a
// stream throws when the read fails, as it does (ESRCH) for a process that
// ends while its command line is read.
std::string CommandLine(const std::filesystem::path& process) {
    std::string line;
    const int fd = open((process / "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return line;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        line.append(buffer, static_cast<std::size_t>(got));
    close(fd);
    return line;
}

// Whether a process whose command line (its words joined by blanks) holds
// Text runs; Text names the test's own folder, so no one else's.
// Processes come and go while /proc is read, so its listing is read with
// error codes: a process that ended mid-listing is simply not running.
bool Running(const std::string& text) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string line = CommandLine(it->path());
        std::replace(line.begin(), line.end(), '\0', ' ');
        if (line.find(text) != std::string::npos && it->path().filename() != "self")
            return true;
    }
    return false;
}

class RemoteSsh : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TTempDir>();
        TTempDir& d = *dir_;
        d.MakeDir("bin");
        d.MakeDir("trees");
        for (const std::string& tool :
             {std::string(CQ_SCAN_BINARY), std::string("/usr/bin/ncdu"),
              std::string("/usr/bin/gdu"), std::string("/bin/sh"), std::string("/usr/bin/touch")})
            symlink(tool.c_str(),
                    (d / "bin/" + std::filesystem::path(tool).filename().string()).c_str());
        sshd_ = std::make_unique<TTestSshd>(d.Path(), d / "bin");
        sshd_->Start();
    }
    static void TearDownTestSuite() {
        sshd_.reset();
        dir_.reset();
    }
    void SetUp() override {
        if (!sshd_->Up())
            GTEST_SKIP() << "sshd cannot start here";
    }

    static std::string Ssh(const std::string& key = "user_key",
                           const std::string& known = "known_hosts") {
        return sshd_->Ssh("root", key, known);
    }
    static TRemoteRequest Request(const std::string& folder, TRemoteTool tool) {
        return {"127.0.0.1", sshd_->Port(), folder, tool};
    }
    struct TOutcome {
        bool Ok = false;
        std::string Error;
        TImportedScan Scan;
    };
    static TOutcome Scan(const TRemoteRequest& request, const std::string& ssh = Ssh()) {
        TOutcome o;
        TRemoteSettings settings;
        settings.SshCommand = ssh;
        o.Ok = ReadRemoteScan(request, settings, 'R', o.Scan, o.Error, nullptr);
        return o;
    }
    // The lists of a local export of Folder by our scanner.
    static TImportedScan Local(const std::string& folder) {
        TImportedScan scan;
        std::string error;
        const std::string file = *dir_ / "local.json";
        EXPECT_EQ(QProcess::execute(CQ_SCAN_BINARY, {"--export", QString::fromStdString(file), "--",
                                                     QString::fromStdString(folder)}),
                  0);
        EXPECT_TRUE(ReadImportedScan(file, 'R', scan, error)) << error;
        return scan;
    }

    static std::unique_ptr<TTempDir> dir_;
    static std::unique_ptr<TTestSshd> sshd_;
};

std::unique_ptr<TTempDir> RemoteSsh::dir_;
std::unique_ptr<TTestSshd> RemoteSsh::sshd_;

}  // namespace

// A random tree scanned through ssh gives the lists of a local scan with
// ours and with ncdu; gdu (no hard-link or sparse details in its export)
// gives the same folders and total; "first found" takes ours.
TEST_F(RemoteSsh, EachScannerGivesTheLocalLists) {
    const std::string tree = *dir_ / "trees/random";
    MakeRandomTree(tree, 31, 80, 300);
    const TImportedScan local = Local(tree);
    for (const TRemoteTool tool :
         {TRemoteTool::Ours, TRemoteTool::Ncdu, TRemoteTool::FirstFound, TRemoteTool::Gdu}) {
        SCOPED_TRACE(static_cast<int>(tool));
        const TOutcome remote = Scan(Request(tree, tool));
        ASSERT_TRUE(remote.Ok) << remote.Error;
        EXPECT_EQ(remote.Scan.Result.RootName, tree);
        ASSERT_EQ(remote.Scan.Result.Dirs.size(), local.Result.Dirs.size());
        if (tool == TRemoteTool::Gdu) {
            EXPECT_EQ(std::string(remote.Scan.Result.DirSizes[0]),
                      std::string(local.Result.DirSizes[0]));
            continue;
        }
        for (std::size_t i = 0; i < local.Result.Dirs.size(); ++i) {
            EXPECT_EQ(std::string(remote.Scan.Result.Dirs[i]), std::string(local.Result.Dirs[i]));
            EXPECT_EQ(std::string(remote.Scan.Result.DirSizes[i]),
                      std::string(local.Result.DirSizes[i]));
            EXPECT_EQ(std::string(remote.Scan.Result.Percents[i]),
                      std::string(local.Result.Percents[i]));
        }
        EXPECT_EQ(remote.Scan.Result.Meta.ProgName,
                  tool == TRemoteTool::Ncdu ? "ncdu" : "cobaltquarry-scan");
    }
}

// A folder named with quotes, $(), ";", blanks and a line break is that
// folder on the server and nothing else.
TEST_F(RemoteSsh, StrangeFolderNamesAreOnlyNames) {
    const std::string tree = *dir_ / "trees/it's \"$(touch pwned)\"; touch pwned `x`\n!end";
    MakeRandomTree(tree, 7, 5, 20);
    const TOutcome remote = Scan(Request(tree, TRemoteTool::Ours));
    ASSERT_TRUE(remote.Ok) << remote.Error;
    EXPECT_EQ(remote.Scan.Result.RootName, tree);
    EXPECT_EQ(remote.Scan.Result.Dirs.size(), Local(tree).Result.Dirs.size());
    for (const std::string& where : {std::string("/root"), std::string("/"), *dir_ / "trees"})
        EXPECT_FALSE(std::filesystem::exists(where + "/pwned")) << where;
}

// Each failure in one clear message, none accepted silently.
TEST_F(RemoteSsh, FailuresSayWhatWentWrong) {
    const std::string tree = *dir_ / "trees/small";
    MakeRandomTree(tree, 3, 3, 10);
    std::ofstream(*dir_ / "empty_known_hosts").flush();
    const struct {
        TRemoteRequest Request;
        std::string Ssh, Expected;
    } cases[] = {
        {Request(tree, TRemoteTool::Ours), Ssh("other_key"), "ssh-add"},
        {Request(tree, TRemoteTool::Ours), Ssh("user_key", "empty_known_hosts"), "never accepted"},
        {Request(tree + "/missing", TRemoteTool::Ncdu), Ssh(), "does not exist"},
        {Request(tree, TRemoteTool::Ours), "/nonexistent/ssh", "/nonexistent/ssh"},
    };
    for (const auto& c : cases) {
        const TOutcome remote = Scan(c.Request, c.Ssh);
        EXPECT_FALSE(remote.Ok);
        EXPECT_NE(remote.Error.find(c.Expected), std::string::npos) << remote.Error;
    }
    // No gdu on the server; then a stand-in that stops half-way through an
    // export: the reader's own message.
    const std::string gdu = *dir_ / "bin/gdu";
    unlink(gdu.c_str());
    TOutcome remote = Scan(Request(tree, TRemoteTool::Gdu));
    EXPECT_FALSE(remote.Ok);
    EXPECT_NE(remote.Error.find("No scanner found on 127.0.0.1"), std::string::npos)
        << remote.Error;
    EXPECT_NE(remote.Error.find("ssh: " + std::string(kNoScannerMark)), std::string::npos)
        << remote.Error;
    const std::string half = *dir_ / "half.json";
    ASSERT_EQ(Shell("ncdu -x -e -o- '" + tree + "' | head -c 700 >'" + half + "'"), 0);
    std::ofstream(gdu) << "#!/bin/sh\n/bin/cat '" << half << "'\n";
    chmod(gdu.c_str(), 0755);
    remote = Scan(Request(tree, TRemoteTool::Gdu));
    EXPECT_FALSE(remote.Ok);
    EXPECT_EQ(remote.Error.rfind("127.0.0.1:" + tree + ": ", 0), 0u) << remote.Error;
    EXPECT_NE(remote.Error.find("end"), std::string::npos) << remote.Error;
    unlink(gdu.c_str());
    symlink("/usr/bin/gdu", gdu.c_str());
}

// A cancel mid-way ends ssh and the scanner on the server at once, and
// leaves no received file behind.
TEST_F(RemoteSsh, CancelEndsBothSides) {
    const std::string tree = *dir_ / "trees/large";
    MakeRandomTree(tree, 11, 2000, 60000);
    TRemoteSettings settings;
    settings.SshCommand = Ssh();
    settings.KeepFile = *dir_ / "received.zst";
    // Cancelled once the scanner runs on the server. On a busy machine a
    // scan may end before it is seen: then it is tried again, up to three
    // times, as a scan cut short is what is tested.
    const std::string scanner = "cobaltquarry-scan --export - --zstd -- " + tree;
    bool seen = false;
    for (int attempt = 0; attempt < 3 && !seen; ++attempt) {
        std::atomic<bool> cancel{false};
        TRemoteProgress progress;
        TImportedScan scan;
        std::string error = "untouched";
        bool ok = true;
        std::atomic<bool> finished{false};
        // An exception must fail the test, not end the test program; the
        // future waits for the reader even when the test body throws.
        auto reader = std::async(std::launch::async, [&] {
            try {
                ok = ReadRemoteScan(Request(tree, TRemoteTool::Ours), settings, 'R', scan, error,
                                    &cancel, &progress);
            } catch (const std::exception& e) {
                ok = false;
                error = std::string("exception: ") + e.what();
            }
            finished = true;
        });
        while (!finished && !seen)
            seen = Running(scanner);
        cancel = true;
        const auto start = std::chrono::steady_clock::now();
        reader.wait();
        if (!seen)
            continue;
        bool gone = false;
        while (!gone && std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
            gone = !Running(tree);
        EXPECT_TRUE(gone) << "ssh or the scanner still runs 1 s after the cancel";
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "");
        EXPECT_FALSE(std::filesystem::exists(settings.KeepFile));
    }
    EXPECT_TRUE(seen) << "the scan ended before the cancel, three times";
}

// A copy of the export that cannot be kept costs the copy, not the scan:
// the scan is read whole and the reason is given back.
TEST_F(RemoteSsh, ACopyThatCannotBeKeptLeavesTheScan) {
    const std::string tree = *dir_ / "trees/kept";
    MakeRandomTree(tree, 5, 5, 20);
    TRemoteSettings settings;
    settings.SshCommand = Ssh();
    settings.KeepFile = *dir_ / "no such folder/received";
    TImportedScan scan;
    std::string error, keepProblem;
    ASSERT_TRUE(ReadRemoteScan(Request(tree, TRemoteTool::Ours), settings, 'R', scan, error,
                               nullptr, nullptr, &keepProblem))
        << error;
    EXPECT_EQ(scan.Result.Dirs.size(), Local(tree).Result.Dirs.size());
    EXPECT_EQ(keepProblem.rfind(settings.KeepFile + ": ", 0), 0u) << keepProblem;
}
