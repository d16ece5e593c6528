// Folders found at once in the stored lists of a drive of FOLDERS folders
// (default 1 000 000, synthetic, realistic names): the median wall time of
// each kind of pattern over ROUNDS runs, the processor time it took on all
// its threads (which a loaded machine does not inflate as it does the wall
// time), and how many folders it found.
// Usage: cq_folder_find_bench [FOLDERS [ROUNDS]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/SyntheticDrive.h"
#include "engine/FolderFind.h"
#include "engine/NameMatcher.h"

namespace {

struct TCase {
    const char* Title;
    TFindMode Mode;
    const char* Pattern;
    bool IgnoreCase;
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    const TSyntheticDrive drive = MakeSyntheticDrive(folders);
    const TCase cases[] = {
        {"wildcard *data 12*", TFindMode::Wildcard, "*data 12*", false},
        {"wildcard *data 1?7*", TFindMode::Wildcard, "*data 1?7*", false},
        {"wildcard, any case", TFindMode::Wildcard, "*DATA 1?7*", true},
        {"contains \"Report 12\"", TFindMode::Contains, "Report 12", false},
        {"contains, any case", TFindMode::Contains, "report 12", true},
        {"regex ^img \\d+7$", TFindMode::Regex, "^img \\d+7$", false},
        {"regex, any case", TFindMode::Regex, "^IMG \\d+7$", true},
    };
    std::printf("Folder find over %zu stored folders (median of %d runs)\n", drive.Dirs.size(),
                rounds);
    for (const TCase& c : cases) {
        TFindQuery query;
        query.Pattern = c.Pattern;
        query.Mode = c.Mode;
        query.IgnoreCase = c.IgnoreCase;
        query.Kinds = TFindKinds::Folders;
        query.Below = "C:";
        const TNameMatcher matcher(query);
        std::vector<double> seconds, cpu;
        std::size_t found = 0;
        for (int r = 0; r < rounds; ++r) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = CpuSeconds();
            found = FindStoredFolders(query, matcher, drive.Dirs, drive.Sizes, nullptr).size();
            cpu.push_back(CpuSeconds() - cpuStart);
            seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(seconds.begin(), seconds.end());
        std::sort(cpu.begin(), cpu.end());
        std::printf("  %-24s %8.4f s wall %8.4f s cpu  %zu found\n", c.Title,
                    seconds[seconds.size() / 2], cpu[cpu.size() / 2], found);
    }
    return 0;
}
