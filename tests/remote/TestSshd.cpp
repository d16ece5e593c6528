#include "tests/remote/TestSshd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
    close(s);
    return ntohs(a.sin_port);
}

bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

std::string SlurpSshdFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TTestSshd::TTestSshd(const std::string& folder, const std::string& path) : folder_(folder) {
    const std::string keygen = "ssh-keygen -q -t ed25519 -N '' -f '" + folder + "/";
    for (const char* key : {"host_key", "user_key", "other_key"})
        if (std::system((keygen + key + "'").c_str()) != 0)
            return;
    // Read by sshd as the user logging in, who may not be root.
    std::filesystem::copy_file(folder + "/user_key.pub", folder + "/authorized_keys");
    chmod((folder + "/authorized_keys").c_str(), 0644);
    port_ = FreePort();
    std::ofstream(folder + "/sshd_config")
        << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << folder << "/host_key"
        << "\nAuthorizedKeysFile " << folder << "/authorized_keys"
        << "\nStrictModes no\nPermitRootLogin yes\nPasswordAuthentication no\n"
        << "KbdInteractiveAuthentication no\nUsePAM no\nPidFile none\n"
        << "SetEnv PATH=" << path << "\n";
    std::ofstream(folder + "/known_hosts")
        << "[127.0.0.1]:" << port_ << " " << SlurpSshdFile(folder + "/host_key.pub");
    keys_ = true;
}

TTestSshd::~TTestSshd() {
    if (sshd_) {
        sshd_->kill();
        sshd_->waitForFinished(5000);
    }
}

bool TTestSshd::Start(const std::vector<std::string>& launcher) {
    if (!keys_ || access("/usr/sbin/sshd", X_OK) != 0)
        return false;
    mkdir("/run/sshd", 0755);  // sshd's privilege separation wants it
    QStringList words;
    for (const std::string& word : launcher)
        words << QString::fromStdString(word);
    words << "/usr/sbin/sshd"
          << "-D"
          << "-e"
          << "-f" << QString::fromStdString(folder_ + "/sshd_config");
    sshd_ = std::make_unique<QProcess>();
    sshd_->setStandardErrorFile(QString::fromStdString(folder_ + "/sshd.log"));
    // Ends with the test even when the test is killed: no server is left
    // listening on a port of a folder that is gone.
    sshd_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    sshd_->start(words.takeFirst(), words);
    if (!sshd_->waitForStarted(5000))
        return false;
    // Waits up to 5 s for the port; a server that ended has failed.
    for (int i = 0; i < 100 && !Accepts(port_); ++i)
        if (sshd_->waitForFinished(50))
            return false;
    up_ = Accepts(port_);
    return up_;
}

std::string TTestSshd::Log() const {
    return SlurpSshdFile(folder_ + "/sshd.log");
}

std::string TTestSshd::Ssh(const std::string& user, const std::string& key,
                           const std::string& known) const {
    return "ssh -F /dev/null -l " + user + " -o IdentitiesOnly=yes -o IdentityAgent=none -i '" +
           folder_ + "/" + key + "' -o 'UserKnownHostsFile=" + folder_ + "/" + known +
           "' -o GlobalKnownHostsFile=/dev/null -o StrictHostKeyChecking=yes";
}
