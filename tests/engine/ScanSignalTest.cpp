// Every long step of the real scanner ends on Ctrl+C (SIGINT) and on
// SIGTERM with status 130, soon, and leaves nothing half-written: reading an
// endless export, loading a huge stored set (--stored, --changes), and
// exporting to a file or to a pipe nobody reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/TempDir.h"

namespace {

struct TStep {
    const char* Name;
    std::vector<std::string> Args;
    bool EndlessInput;  // standard input: an export that never ends
};

// Runs the scanner with args, its standard output a pipe nobody reads;
// returns its pid. With endless, a writer process feeds its standard input.
pid_t Start(const std::vector<std::string>& args, const std::string& data, bool endless,
            int& outPipe, pid_t& writer) {
    int out[2], in[2];
    if (pipe(out) != 0 || pipe(in) != 0)
        return -1;
    writer = -1;
    if (endless) {
        writer = fork();
        if (writer == 0) {
            dup2(in[1], STDOUT_FILENO);
            close(in[0]);
            close(in[1]);
            execl("/usr/bin/python3", "python3", "-c",
                  "import sys\n"
                  "o = sys.stdout\n"
                  "o.write('[1,0,{\"progname\":\"x\",\"progver\":\"1\",\"timestamp\":1},"
                  "[{\"name\":\"/r\"}')\n"
                  "n = 0\n"
                  "while True:\n"
                  "    o.write(''.join(',{\"name\":\"f%d\",\"asize\":1}' % (n + i) for i in "
                  "range(1000)))\n"
                  "    n += 1000\n",
                  nullptr);
            _exit(127);
        }
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(in[0], STDIN_FILENO);
        for (int fd : {out[0], out[1], in[0], in[1]})
            close(fd);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(CQ_SCAN_BINARY)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(CQ_SCAN_BINARY, argv.data());
        _exit(127);
    }
    for (int fd : {out[1], in[0], in[1]})
        close(fd);
    outPipe = out[0];
    return pid;
}

// Waits up to limit for pid; its wait status, or -1 (then it is killed).
int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

}  // namespace

TEST(ScanSignals, EveryLongStepEndsOnInterruptAndTermWith130AndLeavesNothingHalf) {
    TTempDir dir;
    // A stored set of drive C: whose folder list is a 4 GiB sparse file:
    // loading it reads zeros for a long time.
    const std::string data = dir / "data";
    std::filesystem::create_directories(data + "/cobaltquarry");
    chmod((data + "/cobaltquarry").c_str(), 0700);
    for (const char* name : {"CDirSizes", "CPercents"})
        std::ofstream(data + "/cobaltquarry/" + name) << "0\r\n";
    { std::ofstream dirs(data + "/cobaltquarry/CDirs"); }
    std::filesystem::resize_file(data + "/cobaltquarry/CDirs", std::uintmax_t{4} << 30);
    const std::string exported = dir / "out/usr.json";
    std::filesystem::create_directories(dir / "out");

    const std::vector<TStep> steps = {
        {"import of an endless export", {"--import", "/dev/stdin"}, true},
        {"stored set", {"--stored", "--types", "/"}, false},
        {"changes", {"--changes", "/"}, false},
        // The whole root file system: far more than the wait before the signal.
        {"export to a file", {"--export", exported, "--", "/"}, false},
        {"export to a pipe nobody reads", {"--export", "-", "--", "/"}, false},
    };
    double slowest = 0;
    for (const TStep& step : steps) {
        for (const int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(step.Name) + (signal == SIGINT ? ", SIGINT" : ", SIGTERM"));
            int out = -1;
            pid_t writer = -1;
            const pid_t pid = Start(step.Args, data, step.EndlessInput, out, writer);
            ASSERT_GT(pid, 0);
            // Well inside the step: each runs for seconds unless stopped.
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            const auto sent = std::chrono::steady_clock::now();
            kill(pid, signal);
            const int status = WaitFor(pid, std::chrono::seconds(5));
            const double took =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
            slowest = std::max(slowest, took);
            std::printf("%s, %s: ended %.3f s after the signal\n", step.Name,
                        signal == SIGINT ? "SIGINT" : "SIGTERM", took);
            close(out);
            if (writer > 0) {
                kill(writer, SIGKILL);
                waitpid(writer, nullptr, 0);
            }
            ASSERT_NE(status, -1) << "still running 5 s after the signal";
            ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 130);
            // The export file is not there, nor a piece of it under another name.
            EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
        }
    }
    std::printf("slowest end after the signal: %.3f s\n", slowest);
}
