#include <gtest/gtest.h>

#include "platform/RemoteCommand.h"
#include "platform/SshProcess.h"
#include "tests/platform/TempDir.h"
#include "tests/remote/HostileNames.h"

namespace {

// The login shell's program, empty when it is not installed.
std::string ShellPath(const std::string& shell) {
    for (const char* folder : {"/usr/bin/", "/bin/"})
        if (access((folder + shell).c_str(), X_OK) == 0)
            return folder + shell;
    return {};
}

class LoginShell : public ::testing::TestWithParam<const char*> {};

}  // namespace

// Whatever bytes a folder's name holds, the line ssh runs reaches the
// scanner with exactly that name as one argument after "--", and nothing
// in it runs, whichever shell the server's user logs in with: checked by
// running the line through that shell with -c as sshd does, with a
// stand-in scanner that writes its arguments.
TEST_P(LoginShell, FolderNamesArriveAsOneWord) {
    const std::string shell = ShellPath(GetParam());
    if (shell.empty())
        GTEST_SKIP() << GetParam() << " is not installed";
    TTempDir dir;
    dir.MakeDir("bin");
    dir.MakeDir("home");
    const std::string fake = dir / "bin/cobaltquarry-scan";
    std::ofstream(fake) << "#!/bin/sh\nfor a; do printf '%s\\0' \"$a\"; done\n";
    chmod(fake.c_str(), 0755);
    for (const std::string& name : HostileNames(dir.Path())) {
        const std::string folder = dir / name;
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << name;
        const std::string line = RemoteShellLine(TRemoteTool::Ours, folder);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(line.find('!'), std::string::npos);
        std::atomic<bool> cancel{false};
        TSshProcess run({"env", "PATH=" + dir / "bin" + ":/usr/bin:/bin", "HOME=" + dir / "home",
                         shell, "-c", line},
                        &cancel, nullptr);
        std::string error, out;
        ASSERT_TRUE(run.Start(error)) << error;
        std::string_view piece;
        do {
            ASSERT_TRUE(run.Read(piece, error)) << error;
            out += piece;
        } while (!piece.empty());
        EXPECT_EQ(run.ExitStatus(), 0) << name << ": " << run.ErrorText();
        EXPECT_EQ(out, std::string("--export\0-\0--zstd\0--\0", 21) + folder + '\0') << name;
        EXPECT_FALSE(std::filesystem::exists(dir / "pwned")) << name;
        EXPECT_FALSE(std::filesystem::exists("pwned")) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(RemoteCommand, LoginShell,
                         ::testing::Values("dash", "bash", "zsh", "ksh", "csh", "tcsh", "fish"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

// The options come before "--" and the destination, the port only when
// given, and COBALTQUARRY_SSH's words (quotes kept together) lead.
TEST(RemoteCommand, SshGetsItsOptionsThenTheHostAfterDashes) {
    TRemoteRequest request{"-oProxyCommand=x", 0, "/srv", TRemoteTool::Gdu};
    std::vector<std::string> args = SshArguments(request, "");
    ASSERT_GE(args.size(), 4u);
    EXPECT_EQ(args[0], "ssh");
    EXPECT_EQ(args[args.size() - 3], "--");
    EXPECT_EQ(args[args.size() - 2], "-oProxyCommand=x");
    EXPECT_EQ(std::count(args.begin(), args.end(), "-p"), 0);
    EXPECT_NE(std::find(args.begin(), args.end(), "BatchMode=yes"), args.end());
    request.Port = 2222;
    args = SshArguments(request, "/opt/ssh -F '/my config' -i \"k\\\"y\" \\ ");
    EXPECT_EQ(std::vector<std::string>(args.begin(), args.begin() + 5),
              (std::vector<std::string>{"/opt/ssh", "-F", "/my config", "-i", "k\"y"}));
    EXPECT_EQ(args[5], " ");
    const auto p = std::find(args.begin(), args.end(), "-p");
    ASSERT_NE(p, args.end());
    EXPECT_EQ(*(p + 1), "2222");
    EXPECT_NE(args.back().find("gdu -n -x -o- -- "), std::string::npos) << args.back();
}

// Each kind of failure has its own message with ssh's last line; a clean
// exit is no failure.
TEST(RemoteCommand, FailuresAreToldApart) {
    const TRemoteRequest request{"srv", 0, "/data", TRemoteTool::Ours};
    const struct {
        int Status;
        std::string Text, Expected;
    } cases[] = {
        {255, "ssh: Could not resolve hostname srv: Name or service not known\n", "unknown"},
        {255, "ssh: connect to host srv port 22: Connection refused\n", "cannot be reached"},
        {255, "root@srv: Permission denied (publickey).\n", "ssh-add"},
        {255, "No ED25519 host key is known for srv\nHost key verification failed.\n",
         "never accepted"},
        {3, std::string(kNoFolderMark) + "\n", "does not exist"},
        {4, std::string(kNoScannerMark) + "\n", "No scanner"},
        {1, "scan: broke\n", "exit status 1"},
    };
    for (const auto& c : cases) {
        const std::string message = RemoteFailure(request, c.Status, c.Text);
        EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
        const std::size_t end = c.Text.find_last_not_of('\n');
        const std::string last = c.Text.substr(c.Text.rfind('\n', end - 1) + 1);
        if (c.Status == 255) {
            EXPECT_NE(message.find("ssh: " + last.substr(0, last.size() - 1)), std::string::npos)
                << message;
        }
    }
    EXPECT_EQ(RemoteFailure(request, 0, "Warning: Permanently added 'srv'\n"), "");
}
