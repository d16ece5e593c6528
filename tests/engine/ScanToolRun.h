#pragma once
// Runs the real command-line scanner of this build (CQ_SCAN_BINARY) with its
// output and messages captured, for the tests of the program end to end.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/platform/TempDir.h"

struct RunResult {
    int Status = -1;
    std::string Out, Err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Runs the real program with its output captured in files.
// Prefix goes before the program (e.g. "env VAR=x ").
inline RunResult RunScan(const std::string& args, const TTempDir& dir,
                         const std::string& prefix = "") {
    const std::string out = dir / ".out", err = dir / ".err";
    const std::string cmd =
        prefix + std::string(CQ_SCAN_BINARY) + " " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    RunResult r;
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.Out = ReadAll(out);
    r.Err = ReadAll(err);
    unlink(out.c_str());
    unlink(err.c_str());
    return r;
}
