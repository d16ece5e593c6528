// Saving and loading the result files of a drive of 1 000 000 folders, next
// to `cat` reading the same files and to a bare read of them into fresh
// lists, and the merge of a rescan of 100 000 folders into them (sizes
// carried up, shares recomputed, new folders put in place), next to a plain
// search from the first entry that only updates the stored folders in place.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "bench/BenchRun.h"
#include "bench/SyntheticDrive.h"
#include "engine/ResultStore.h"
#include "engine/ResultStoreIndex.h"
#include "platform/DataFolder.h"

extern char** environ;

namespace {

constexpr std::size_t kFolders = 1'000'000;
constexpr std::size_t kRescan = 100'000;
// The plain search costs one pass over the stored list per rescanned folder;
// it is timed on this many folders and scaled up to the whole rescan.
constexpr std::size_t kPlainSample = 100;

using TDrive = TSyntheticDrive;

const TDrive& Drive() {
    static const TDrive drive = MakeSyntheticDrive(kFolders);
    return drive;
}

// The same drive as one stored set, made once outside every timing.
const TStoredSet& DriveSet() {
    static const TStoredSet set{Drive().Dirs, Drive().Sizes, Drive().Percents, {}};
    return set;
}

std::string BenchFolder() {
    static const std::string folder = MakeBenchFolder("store");
    return folder;
}

TResultStore SavedStore() {
    TResultStore store(BenchFolder());
    store.SetFiles("C:");
    if (!store.AnalizeFiExists()) {
        store.SaveAnalizeData(DriveSet());
    }
    return store;
}

std::int64_t BytesOfFiles(const TResultStore& store) {
    std::int64_t bytes = 0;
    for (const auto* file : {&store.PercentsFile, &store.DirsFile, &store.DirSizesFile}) {
        bytes += static_cast<std::int64_t>(std::filesystem::file_size(*file));
    }
    return bytes;
}

void BM_SaveAnalizeData(benchmark::State& state) {
    TResultStore store(BenchFolder());
    store.SetFiles("S:");
    for (auto _ : state) {
        if (!store.SaveAnalizeData(DriveSet())) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * BytesOfFiles(store));
    state.counters["folders"] = static_cast<double>(Drive().Dirs.size());
}

// Reloading the lists of a drive (after a scan or a rescan of it): the
// entries of the earlier load are reused.
void BM_LoadGlobal(benchmark::State& state) {
    TResultStore store = SavedStore();
    store.LoadGlobal();
    for (auto _ : state) {
        store.LoadGlobal();
        benchmark::DoNotOptimize(store.GlobalDirs().RawBytes().data());
    }
    if (store.GlobalDirs() != Drive().Dirs || store.GlobalPercents() != Drive().Percents) {
        state.SkipWithError("loaded lists differ from the saved ones");
    }
    state.SetBytesProcessed(state.iterations() * BytesOfFiles(store));
}

// The first load of a drive, into lists that hold their initial entries.
void BM_LoadGlobalFirst(benchmark::State& state) {
    std::int64_t bytes = BytesOfFiles(SavedStore());
    for (auto _ : state) {
        state.PauseTiming();
        {
            TResultStore store = SavedStore();
            state.ResumeTiming();
            store.LoadGlobal();
            benchmark::DoNotOptimize(store.GlobalDirs().RawBytes().data());
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// What a first load cannot do without: the three files read into fresh
// lists, nothing summed, split or checked (the memory a first load must be
// given, and the copy out of the page cache).
void BM_ReadIntoFreshLists(benchmark::State& state) {
    TResultStore store = SavedStore();
    const std::array<std::string, 3> files = {store.PercentsFile, store.DirsFile,
                                              store.DirSizesFile};
    for (auto _ : state) {
        for (const std::string& file : files) {
            TStringList list;
            ReadDataFileInto(
                file, [&list](std::size_t size) { return list.ResizeRaw(size); },
                [](std::size_t, std::size_t) {});
            benchmark::DoNotOptimize(list.RawBytes().data());
        }
    }
    state.SetBytesProcessed(state.iterations() * BytesOfFiles(store));
}

// The peer: cat reading the same three files into /dev/null.
void BM_CatFiles(benchmark::State& state) {
    TResultStore store = SavedStore();
    std::string percents = store.PercentsFile, dirs = store.DirsFile, sizes = store.DirSizesFile;
    char* argv[] = {const_cast<char*>("cat"), percents.data(), dirs.data(), sizes.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    double childCpu = 0;
    for (auto _ : state) {
        pid_t child;
        int status = 0;
        rusage usage{};
        if (posix_spawnp(&child, "cat", &actions, nullptr, argv, environ) != 0 ||
            wait4(child, &status, 0, &usage) < 0 || status != 0) {
            state.SkipWithError("cat failed");
            break;
        }
        childCpu += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                    usage.ru_stime.tv_usec / 1e6;
    }
    posix_spawn_file_actions_destroy(&actions);
    // cat works in a child process: its processor time is counted here.
    state.counters["child_cpu_s"] = childCpu / static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * BytesOfFiles(store));
}

// A rescan of one top-level folder from the middle of the drive, finding
// kRescan folders below it in a tree of its own (sorted as a scan leaves it).
TDrive Rescan() {
    const TDrive& drive = Drive();
    std::size_t at = drive.Dirs.size() / 3;
    while (std::count(drive.Dirs[at].begin(), drive.Dirs[at].end(), '\\') != 1) {
        ++at;
    }
    std::mt19937_64 random(5);
    TDrive rescan;
    std::vector<std::string> below;
    std::vector<std::string> stack = {std::string(drive.Dirs[at])};
    while (below.size() < kRescan) {
        std::size_t depth = 1 + random() % 6;
        if (stack.size() > depth) {
            stack.resize(depth);
        }
        stack.push_back(stack.back() + "\\sub " + std::to_string(below.size() + 1));
        below.push_back(stack.back());
    }
    std::sort(below.begin(), below.end());
    rescan.Dirs.push_back(drive.Dirs[at]);
    for (const std::string& dir : below)
        rescan.Dirs.push_back(dir);
    for (std::size_t k = 0; k < rescan.Dirs.size(); ++k) {
        rescan.Sizes.push_back(std::to_string(random() % 5'000'000'000ULL));
        rescan.Percents.push_back(k == 0 ? "0" : "12.5");
    }
    return rescan;
}

// The rescan with other sizes, as a second rescan of the same folder finds.
TDrive Regrown(TDrive rescan) {
    std::mt19937_64 random(7);
    for (std::size_t i = 0; i < rescan.Sizes.size(); ++i) {
        rescan.Sizes.Set(i, std::to_string(random() % 5'000'000'000ULL));
    }
    return rescan;
}

// The merge of kRescan folders that are all new to the stored lists: they
// go in at their sorted place, the folder's old subfolders go, the ancestors'
// sizes and the shares below them follow.
void BM_AppendAnalizeInfoNewFolders(benchmark::State& state) {
    const TDrive rescan = Rescan();
    const TStoredSet rescanSet{rescan.Dirs, rescan.Sizes, rescan.Percents, {}};
    TResultStore store("");
    for (auto _ : state) {
        state.PauseTiming();
        store.ReplaceGlobal(DriveSet());
        state.ResumeTiming();
        store.AppendAnalizeInfo(rescanSet);
    }
    if (store.GlobalDirs().size() < Drive().Dirs.size() + kRescan - 100) {
        state.SkipWithError("the rescanned folders were not merged in");
    }
    state.counters["rescanned"] = static_cast<double>(kRescan);
}

// The merge of a second rescan of the same folder: the same kRescan folders,
// new sizes.
void BM_AppendAnalizeInfo(benchmark::State& state) {
    TDrive rescan = Rescan();
    TDrive again = Regrown(rescan);
    TResultStore merged("");
    merged.ReplaceGlobal(DriveSet());
    merged.AppendAnalizeInfo({rescan.Dirs, rescan.Sizes, rescan.Percents});
    const TStoredSet againSet{again.Dirs, again.Sizes, again.Percents, {}};
    TResultStore store("");
    for (auto _ : state) {
        state.PauseTiming();
        store = merged;
        state.ResumeTiming();
        store.AppendAnalizeInfo(againSet);
    }
    if (store.GlobalDirs() != merged.GlobalDirs()) {
        state.SkipWithError("the same folders should stay");
    }
    state.counters["rescanned"] = static_cast<double>(kRescan);
}

// The plain merge, timed on kPlainSample folders; the time is reported per
// whole rescan (scaled by kRescan / kPlainSample).
void BM_PlainFirstMatchMerge(benchmark::State& state) {
    TDrive rescan = Rescan();
    TStringList sizes = Drive().Sizes;
    const TStringList& dirs = Drive().Dirs;
    std::size_t step = kRescan / kPlainSample;
    for (auto _ : state) {
        for (std::size_t k = 0; k < kRescan; k += step) {
            for (std::size_t m = 0; m < dirs.size(); ++m) {
                if (TResultStoreIndex::ComparePaths(dirs[m], rescan.Dirs[k]) == 0) {
                    sizes.Set(m, rescan.Sizes[k]);
                    break;
                }
            }
        }
        benchmark::ClobberMemory();
    }
    state.counters["scale"] = static_cast<double>(step);
}

// Console output plus a summary of the ratios against the peers.
class TRatioReporter : public TSummaryReporter {
  public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        double save = Seconds("BM_SaveAnalizeData"), load = Seconds("BM_LoadGlobal");
        double first = Seconds("BM_LoadGlobalFirst");
        double cat = Seconds("BM_CatFiles"), merge = Seconds("BM_AppendAnalizeInfo");
        double mergeNew = Seconds("BM_AppendAnalizeInfoNewFolders");
        double plain = Seconds("BM_PlainFirstMatchMerge") * (kRescan / kPlainSample);
        auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("\nResult files of %zu folders\n", Drive().Dirs.size());
        double catCpu = CpuSeconds("BM_CatFiles");
        double loadCpu = CpuSeconds("BM_LoadGlobal"), firstCpu = CpuSeconds("BM_LoadGlobalFirst");
        std::printf(
            "                                      wall          cpu     wall ratio  cpu ratio\n");
        std::printf("  save (3 files, flushed to disk) %8.3f s  %8.3f s\n", save,
                    CpuSeconds("BM_SaveAnalizeData"));
        std::printf("  cat of the same files           %8.3f s  %8.3f s\n", cat, catCpu);
        const double readOnly = Seconds("BM_ReadIntoFreshLists");
        std::printf("  read into fresh lists only      %8.3f s  %8.3f s  %8.2f  %8.2f  (x cat)\n",
                    readOnly, CpuSeconds("BM_ReadIntoFreshLists"), ratio(readOnly, cat),
                    ratio(CpuSeconds("BM_ReadIntoFreshLists"), catCpu));
        std::printf("  reload (lists of the drive)     %8.3f s  %8.3f s  %8.2f  %8.2f  (x cat)\n",
                    load, loadCpu, ratio(load, cat), ratio(loadCpu, catCpu));
        std::printf("  first load (fresh lists)        %8.3f s  %8.3f s  %8.2f  %8.2f  (x cat)\n",
                    first, firstCpu, ratio(first, cat), ratio(firstCpu, catCpu));
        std::printf("Rescan merge of %zu folders into %zu\n", kRescan, Drive().Dirs.size());
        std::printf("  same folders, new sizes         %8.3f s\n", merge);
        std::printf("  all of them new folders         %8.3f s\n", mergeNew);
        std::printf(
            "  plain first-match search        %8.1f s (scaled from %zu folders)   "
            "plain / merge = %.0f\n",
            plain, kPlainSample, ratio(plain, merge));
        std::fflush(stdout);
    }
};

}  // namespace

BENCHMARK(BM_SaveAnalizeData)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LoadGlobal)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LoadGlobalFirst)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CatFiles)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ReadIntoFreshLists)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_AppendAnalizeInfo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_AppendAnalizeInfoNewFolders)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_PlainFirstMatchMerge)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv) {
    TRatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter, BenchFolder());
}
