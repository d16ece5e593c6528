#pragma once
// A throwaway sshd on 127.0.0.1 for the remote-scan tests: a host key, a
// user key it accepts and one it does not, a known_hosts that names it, and
// the PATH of every remote command set to a folder of the test's own. All of
// it lives in a folder the test gives; the server ends with this object.
// Up() is false where sshd could not start, and the tests then skip.
#include <QProcess>
#include <memory>
#include <string>
#include <vector>

class TTestSshd {
  public:
    // Keys, known_hosts and sshd_config written into Folder; Path is the
    // remote commands' PATH.
    TTestSshd(const std::string& folder, const std::string& path);
    ~TTestSshd();
    TTestSshd(const TTestSshd&) = delete;
    TTestSshd& operator=(const TTestSshd&) = delete;

    // Starts sshd in the foreground and waits until it accepts connections.
    // Launcher's words, when given, run first and are handed sshd's own
    // command line (an unshare that then execs "$@", say).
    bool Start(const std::vector<std::string>& launcher = {});

    bool Up() const { return up_; }
    int Port() const { return port_; }
    // What sshd wrote: the reason a login was refused.
    std::string Log() const;

    // The ssh command that logs in as User with Key (a file in the folder:
    // "user_key" or "other_key") and trusts the hosts of Known.
    std::string Ssh(const std::string& user = "root", const std::string& key = "user_key",
                    const std::string& known = "known_hosts") const;

  private:
    std::string folder_;
    std::unique_ptr<QProcess> sshd_;
    int port_ = 0;
    bool keys_ = false;
    bool up_ = false;
};
