// The remote line end to end through each login shell a server's user may
// have: a real sshd on 127.0.0.1 logs in one user per shell and runs the
// line as sshd always does, through that user's shell with -c. The users
// exist only for this server: it runs in a mount namespace of its own, over
// whose /etc/passwd, /etc/shadow and /etc/group copies with the users added
// are bind-mounted (or, where no such namespace may be made, under
// nss_wrapper reading those copies), so the machine's own files are never
// touched. Skipped where that cannot be made (not root, no sshd, neither way).
#include <glob.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "engine/RemoteScan.h"
#include "platform/RemoteCommand.h"
#include "tests/platform/TempDir.h"
#include "tests/remote/HostileNames.h"
#include "tests/remote/SharedConnection.h"
#include "tests/remote/TestSshd.h"

namespace {

const char* const kShells[] = {"dash", "bash", "zsh", "ksh", "csh", "tcsh", "fish"};

// The login shell's program, empty when it is not installed.
std::string LoginShellPath(const std::string& shell) {
    for (const char* folder : {"/usr/bin/", "/bin/"})
        if (access((folder + shell).c_str(), X_OK) == 0)
            return folder + shell;
    return {};
}

std::string SlurpLoginFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Whether this process may make a mount namespace of its own (root with
// CAP_SYS_ADMIN), asked once.
bool PrivateMountNamespace() {
    static const bool allowed = std::system("unshare -m true 2>/dev/null") == 0;
    return allowed;
}

// nss_wrapper's library, empty when it is not installed.
std::string NssWrapper() {
    glob_t found{};
    std::string path;
    if (glob("/usr/lib/*/libnss_wrapper.so", 0, nullptr, &found) == 0)
        path = found.gl_pathv[0];
    globfree(&found);
    return path;
}

// Path grown by names of bytes from Pick (never "/" or NUL) to exactly Size
// bytes, none longer than 200 bytes (NAME_MAX is 255).
void GrowPath(std::string& path, std::size_t size, char (*pick)(std::size_t)) {
    for (std::size_t i = 0; path.size() + 1 < size;) {
        path += '/';
        std::size_t n = std::min<std::size_t>(200, size - path.size());
        if (size - path.size() - n == 1)
            --n;  // the next name must have a byte after its "/"
        while (n-- > 0)
            path += pick(i++);
    }
}

// Bytes that each take an escape on the remote line: above ASCII, the quote,
// the backslash, "!" and the line break.
char EscapedByte(std::size_t i) {
    static const std::string bytes = std::string("\x80\xff\xe9'\\!\n", 7);
    return i % 2 == 0 ? bytes[i / 2 % bytes.size()] : static_cast<char>(0x80 + i % 0x7F);
}

char PlainByte(std::size_t) {
    return 'a';
}

// A user and group id that neither the machine's passwd nor its group
// knows, from Start on.
unsigned FreeId(unsigned start) {
    while (getpwuid(start) != nullptr || getgrgid(start) != nullptr)
        ++start;
    return start;
}

class RemoteLoginShell : public ::testing::TestWithParam<const char*> {
  protected:
    static void SetUpTestSuite() {
        if (geteuid() != 0) {
            skip_ = "needs root: sshd changes to each shell's user";
        } else if (access("/usr/sbin/sshd", X_OK) != 0) {
            skip_ = "sshd is not installed (openssh-server, deps/debian-packages.txt)";
        } else if (!PrivateMountNamespace() && NssWrapper().empty()) {
            skip_ =
                "this machine allows no private mount namespace (unshare -m), and "
                "nss_wrapper (libnss-wrapper, deps/debian-packages.txt) is not installed";
        } else {
            StartServer();
            if (skip_.empty() && !sshd_->Up())
                skip_ = "sshd did not start with the test's users:\n" + sshd_->Log();
        }
    }
    static void TearDownTestSuite() {
        sshd_.reset();
        dir_.reset();
    }
    void SetUp() override {
        if (!skip_.empty())
            GTEST_SKIP() << skip_;
        if (homes_.count(GetParam()) == 0)
            GTEST_SKIP() << GetParam() << " is not installed (deps/debian-packages.txt)";
    }

    // One user "cq-<shell>" per installed shell, with a home and a folder of
    // hostile names of its own (so that a command run by the shell could
    // leave its marker there), and the server that knows them.
    static void StartServer() {
        dir_ = std::make_unique<TTempDir>();
        TTempDir& d = *dir_;
        d.MakeDir("bin");
        // Copied: the build folder may be out of the users' reach.
        std::filesystem::copy_file(CQ_SCAN_BINARY, d / "bin/cobaltquarry-scan");
        symlink("/bin/sh", (d / "bin/sh").c_str());
        std::filesystem::copy_file("/etc/passwd", d / "passwd");
        std::filesystem::copy_file("/etc/group", d / "group");
        // The shadow holds the test's users alone: no one else logs in here,
        // and the machine's password hashes are not copied anywhere.
        std::ofstream passwd(d / "passwd", std::ios::app), shadow(d / "shadow"),
            group(d / "group", std::ios::app);
        chmod((d / "shadow").c_str(), 0600);
        unsigned id = 47000;
        for (const char* shell : kShells) {
            const std::string path = LoginShellPath(shell);
            if (path.empty())
                continue;
            id = FreeId(id + 1);
            const std::string user = std::string("cq-") + shell, home = d / "home-" + shell;
            for (const std::string& folder : {home, d / "names-" + shell}) {
                mkdir(folder.c_str(), 0755);
                if (chown(folder.c_str(), id, id) != 0)
                    skip_ = "cannot give " + folder + " to " + user;
            }
            passwd << user << ":x:" << id << ":" << id << "::" << home << ":" << path << "\n";
            shadow << user << ":*:19000:0:99999:7:::\n";  // no password, not locked
            group << user << ":x:" << id << ":\n";
            homes_[shell] = home;
        }
        passwd.close();
        shadow.close();
        group.close();
        // The system's programs too: a name that did run a command must
        // find "touch" to leave its marker.
        sshd_ = std::make_unique<TTestSshd>(d.Path(), d / "bin:/usr/bin:/bin");
        sshd_->Start(UsersLauncher(d));
    }

    // The words that start sshd with the test's users. Where a private
    // mount namespace can be made, they are bind-mounted over the real
    // files there, and sshd reads them as it always does; elsewhere (a
    // container without CAP_SYS_ADMIN) nss_wrapper answers sshd's look-ups
    // from them instead.
    static std::vector<std::string> UsersLauncher(const TTempDir& d) {
        const char* bind =
            "mount --bind \"$1\" /etc/passwd && mount --bind \"$2\" /etc/shadow && "
            "mount --bind \"$3\" /etc/group && shift 3 && exec \"$@\"";
        if (PrivateMountNamespace())
            return {"unshare", "-m", "--propagation", "private",    "--",       "/bin/sh", "-c",
                    bind,      "sh", d / "passwd",    d / "shadow", d / "group"};
        return {"env", "LD_PRELOAD=" + NssWrapper(), "NSS_WRAPPER_PASSWD=" + d / "passwd",
                "NSS_WRAPPER_GROUP=" + d / "group"};
    }

    static std::string User() { return std::string("cq-") + GetParam(); }
    static std::string Names() { return *dir_ / "names-" + GetParam(); }

    // Runs Command on the server as the shell's user (through ssh's own
    // quoting: one word, which sshd hands to the login shell).
    static int RunRemote(const std::string& command) {
        return QProcess::execute("/bin/sh", {"-c",
                                             QString::fromStdString(sshd_->Ssh(User()) + " -p " +
                                                                    std::to_string(sshd_->Port()) +
                                                                    " 127.0.0.1 \"$1\" </dev/null"),
                                             "sh", QString::fromStdString(command)});
    }

    // Scans Folder as the shell's user: its root name, or the error.
    static std::string RemoteRoot(const TRemoteSettings& settings, const std::string& folder) {
        TImportedScan scan;
        std::string error;
        if (!ReadRemoteScan({"127.0.0.1", sshd_->Port(), folder, TRemoteTool::Ours}, settings, 'R',
                            scan, error, nullptr))
            return "error: " + error;
        return scan.Result.RootName;
    }

    static std::unique_ptr<TTempDir> dir_;
    static std::unique_ptr<TTestSshd> sshd_;
    static std::map<std::string, std::string> homes_;
    static std::string skip_;
};

std::unique_ptr<TTempDir> RemoteLoginShell::dir_;
std::unique_ptr<TTestSshd> RemoteLoginShell::sshd_;
std::map<std::string, std::string> RemoteLoginShell::homes_;
std::string RemoteLoginShell::skip_;

}  // namespace

// Every hostile name, scanned as that shell's user, is the scan's root byte
// for byte, and nothing in it runs: no marker in the names' folder (which
// the user may write, as the control shows) nor in the user's home (where
// the shell's relative "touch pwned" would land).
TEST_P(RemoteLoginShell, NamesArriveByteExactAndNothingRuns) {
    // Control: the login really runs this shell, and a command it ran could
    // leave a marker in the names' folder and in the home (its working
    // folder), so their absence below means something.
    const std::string probe = Names() + "/probe", homeProbe = homes_[GetParam()] + "/probe";
    ASSERT_EQ(RunRemote("/bin/sh -c '/bin/cat /proc/$PPID/comm' >" + probe + "; touch probe"), 0)
        << sshd_->Log();
    EXPECT_EQ(SlurpLoginFile(probe), std::string(GetParam()) + "\n");
    EXPECT_TRUE(std::filesystem::remove(probe));
    EXPECT_TRUE(std::filesystem::remove(homeProbe));

    const TSharedConnection connection(sshd_->Ssh(User()), sshd_->Port(),
                                       *dir_ / "ssh-" + GetParam());
    ASSERT_TRUE(connection.Open()) << sshd_->Log();
    TRemoteSettings settings;
    settings.SshCommand = connection.Ssh();
    const std::string pwned = Names() + "/pwned", homePwned = homes_[GetParam()] + "/pwned";
    for (const std::string& name : HostileNames(Names())) {
        const std::string folder = Names() + "/" + name;
        std::filesystem::create_directories(folder);
        EXPECT_EQ(RemoteRoot(settings, folder), folder) << name;
        // Removed when found, so that each name that runs is told.
        EXPECT_FALSE(std::filesystem::remove(pwned)) << name;
        EXPECT_FALSE(std::filesystem::remove(homePwned)) << name;
    }
}

// How long a folder's name may be. Linux takes paths of up to 4 095 bytes
// (PATH_MAX less its NUL); the remote line spends at most five bytes on each
// of them (an octal escape), far below the 128 KiB an argument may have (ssh's, and
// the login shell's -c that sshd starts). The one shorter limit is csh's
// (Debian's bsd-csh): it takes no word over 8 KiB, and the line is one word
// to it, so its users cannot scan a folder whose line is longer. Both sides
// of that limit, and the longest path, in every shell: the folder arrives
// whole, or csh's refusal is told, never another folder.
TEST_P(RemoteLoginShell, TheLongestNamesArriveOrCshsWordLimitIsTold) {
    constexpr std::size_t kPathMax = 4095, kArgumentMax = 128 * 1024;
    constexpr std::size_t kCshLongestLine = 8193;
    const bool csh = std::string(GetParam()) == "csh";
    const TSharedConnection connection(sshd_->Ssh(User()), sshd_->Port(),
                                       *dir_ / "ssh-" + GetParam());
    ASSERT_TRUE(connection.Open()) << sshd_->Log();
    TRemoteSettings settings;
    settings.SshCommand = connection.Ssh();

    std::string longest = Names() + "/longest";
    GrowPath(longest, kPathMax, EscapedByte);
    ASSERT_EQ(longest.size(), kPathMax);
    ASSERT_TRUE(std::filesystem::create_directories(longest));
    EXPECT_LT(RemoteShellLine(TRemoteTool::Ours, longest).size(), kArgumentMax);
    const std::string root = RemoteRoot(settings, longest);
    if (csh)
        EXPECT_NE(root.find("is too long for the login shell"), std::string::npos) << root;
    else
        EXPECT_EQ(root, longest);

    // Escaped bytes up to just below the limit, plain ones to reach it.
    for (const std::size_t lineSize : {kCshLongestLine, kCshLongestLine + 1}) {
        const std::string start = Names() + "/at-" + std::to_string(lineSize);
        std::string folder = start;
        for (std::size_t size = start.size() + 2;; ++size) {
            std::string next = start;
            GrowPath(next, size, EscapedByte);
            if (RemoteShellLine(TRemoteTool::Ours, next).size() + 2 > lineSize)
                break;
            folder = next;
        }
        GrowPath(folder,
                 folder.size() + lineSize - RemoteShellLine(TRemoteTool::Ours, folder).size(),
                 PlainByte);
        ASSERT_EQ(RemoteShellLine(TRemoteTool::Ours, folder).size(), lineSize);
        ASSERT_TRUE(std::filesystem::create_directories(folder));
        const std::string root = RemoteRoot(settings, folder);
        if (csh && lineSize > kCshLongestLine)
            EXPECT_NE(root.find("is too long for the login shell"), std::string::npos) << root;
        else
            EXPECT_EQ(root, folder) << lineSize;
    }
}

INSTANTIATE_TEST_SUITE_P(Sshd, RemoteLoginShell, ::testing::ValuesIn(kShells),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });
