#pragma once
// One ssh connection shared by the many scans of a test: a fresh login each
// costs a key exchange, while every scan through it still runs its own
// command line through the login shell. Closed with this object, or 20 s
// after its last scan when the test was killed.
#include <cstdlib>
#include <string>

class TSharedConnection {
  public:
    // Ssh logs in to 127.0.0.1 at Port; Socket is the connection's own file.
    TSharedConnection(const std::string& ssh, int port, const std::string& socket)
        : ssh_(ssh + " -p " + std::to_string(port) + " -o 'ControlPath=" + socket + "'") {}
    ~TSharedConnection() { Run(" -O exit 127.0.0.1"); }
    // Logs in once, and leaves the connection in the background.
    bool Open() const {
        return Run(" -o ControlMaster=yes -o ControlPersist=20 -N -f 127.0.0.1") == 0;
    }
    // The ssh command for the scans: through the connection, or a login of
    // its own should the connection be gone.
    std::string Ssh() const { return ssh_ + " -o ControlMaster=no"; }

  private:
    int Run(const std::string& rest) const {
        return std::system((ssh_ + rest + " </dev/null >/dev/null 2>&1").c_str());
    }
    std::string ssh_;
};
