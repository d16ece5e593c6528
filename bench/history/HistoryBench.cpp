// A kept result set of a drive of 1 000 000 folders: writing it, reading it
// back, and comparing it with the drive's current results, in which 2 % of
// the folders changed size, 0.5 % are new and 0.5 % have gone. Sizes are
// printed next to the plain result files and to zstd of the plain files, to
// show what the shared-prefix form of the paths saves.
#include <benchmark/benchmark.h>
#include <zstd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "bench/BenchRun.h"
#include "bench/SyntheticDrive.h"
#include "engine/HistorySnapshot.h"
#include "engine/ResultChanges.h"
#include "engine/ResultStore.h"

namespace {

constexpr std::size_t kFolders = 1'000'000;

using TDrive = TSyntheticDrive;

const TDrive& Drive() {
    static const TDrive drive = MakeSyntheticDrive(kFolders);
    return drive;
}

// The same drive a while later.
const TDrive& Later() {
    static TDrive later = [] {
        std::mt19937_64 random(11);
        const TDrive& d = Drive();
        std::vector<std::pair<std::string, std::string>> rows;
        for (std::size_t i = 0; i < d.Dirs.size(); ++i) {
            const auto dice = random() % 1000;
            if (i > 0 && dice < 5) {
                continue;  // gone
            }
            std::string size(d.Sizes[i]);
            if (dice < 25) {
                size = std::to_string(random() % 50'000'000'000ULL);
            }
            rows.emplace_back(d.Dirs[i], size);
            if (dice >= 995) {
                rows.emplace_back(std::string(d.Dirs[i]) + "\\new " + std::to_string(i), "4096");
            }
        }
        std::sort(rows.begin(), rows.end());
        TDrive l;
        for (auto& [dir, size] : rows) {
            l.Dirs.push_back(dir);
            l.Sizes.push_back(size);
            l.Percents.push_back("1.5");
        }
        return l;
    }();
    return later;
}

std::string BenchFolder() {
    static const std::string folder = MakeBenchFolder("history");
    return folder;
}

std::string SnapshotFile() {
    return BenchFolder() + "C-20261209T074010Z.zst";
}

std::int64_t FileBytes(const std::string& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

void WriteSnapshot() {
    std::string error;
    if (!WriteHistorySnapshot(SnapshotFile(), 'C', 1765266010, Drive().Dirs, Drive().Sizes,
                              error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
}

const THistorySnapshot& Kept() {
    static THistorySnapshot kept = [] {
        WriteSnapshot();
        THistorySnapshot s;
        std::string error;
        ReadHistorySnapshot(SnapshotFile(), s, error);
        return s;
    }();
    return kept;
}

void BM_WriteSnapshot(benchmark::State& state) {
    for (auto _ : state) {
        WriteSnapshot();
    }
    state.counters["folders"] = static_cast<double>(Drive().Dirs.size());
}

void BM_ReadSnapshot(benchmark::State& state) {
    WriteSnapshot();
    THistorySnapshot snapshot;
    for (auto _ : state) {
        std::string error;
        if (!ReadHistorySnapshot(SnapshotFile(), snapshot, error)) {
            state.SkipWithError(error.c_str());
        }
    }
    if (snapshot.Dirs != Drive().Dirs) {
        state.SkipWithError("the kept set reads back differently");
    }
}

// The pairing alone: both sides in memory, as when another snapshot of the
// same drive is chosen again.
void BM_CompareResults(benchmark::State& state) {
    const THistorySnapshot& kept = Kept();
    const TDrive& later = Later();
    std::size_t gone = 0;
    for (auto _ : state) {
        TResultChanges changes = CompareResults(later.Dirs, later.Sizes, kept);
        gone = changes.GoneDirs.size();
        benchmark::DoNotOptimize(changes.Before.data());
    }
    state.counters["gone"] = static_cast<double>(gone);
    state.counters["current"] = static_cast<double>(later.Dirs.size());
}

// What choosing a snapshot costs: reading it from its file and pairing.
void BM_ReadAndCompare(benchmark::State& state) {
    Kept();
    const TDrive& later = Later();
    for (auto _ : state) {
        THistorySnapshot snapshot;
        std::string error;
        ReadHistorySnapshot(SnapshotFile(), snapshot, error);
        TResultChanges changes = CompareResults(later.Dirs, later.Sizes, snapshot);
        benchmark::DoNotOptimize(changes.Before.data());
    }
}

std::string PlainFile(const TStringList& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::size_t ZstdBytes(const std::string& plain, int level) {
    std::string packed(ZSTD_compressBound(plain.size()), '\0');
    return ZSTD_compress(packed.data(), packed.size(), plain.data(), plain.size(), level);
}

class TSizeReporter : public TSummaryReporter {
  public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        TResultStore store(BenchFolder());
        store.SetFiles("C:");
        store.SaveAnalizeData({Drive().Dirs, Drive().Sizes, Drive().Percents});
        const double files =
            static_cast<double>(FileBytes(store.DirsFile) + FileBytes(store.DirSizesFile) +
                                FileBytes(store.PercentsFile));
        const std::string dirs = PlainFile(Drive().Dirs), sizes = PlainFile(Drive().Sizes);
        const double plainTwo = static_cast<double>(dirs.size() + sizes.size());
        const double zstd3 = static_cast<double>(ZstdBytes(dirs, 3) + ZstdBytes(sizes, 3));
        const double zstd9 = static_cast<double>(ZstdBytes(dirs, 9) + ZstdBytes(sizes, 9));
        WriteSnapshot();
        const double snapshot = static_cast<double>(FileBytes(SnapshotFile()));
        auto mb = [](double bytes) { return bytes / 1e6; };
        std::printf("\nKept set of %zu folders\n", Drive().Dirs.size());
        std::printf("  result files (Dirs, DirSizes, Percents) %9.1f MB\n", mb(files));
        std::printf("  plain Dirs + DirSizes                   %9.1f MB\n", mb(plainTwo));
        std::printf("  zstd -3 of Dirs + DirSizes              %9.1f MB\n", mb(zstd3));
        std::printf("  zstd -9 of Dirs + DirSizes              %9.1f MB\n", mb(zstd9));
        std::printf(
            "  kept set (shared prefixes, zstd -3)     %9.1f MB  = %.3f of the result files\n",
            mb(snapshot), snapshot / files);
        std::printf("Times\n");
        std::printf("  write the kept set                      %9.3f s\n",
                    Seconds("BM_WriteSnapshot"));
        std::printf("  read it back                            %9.3f s\n",
                    Seconds("BM_ReadSnapshot"));
        std::printf("  compare with %zu current folders     %9.3f s\n", Later().Dirs.size(),
                    Seconds("BM_CompareResults"));
        std::printf("  read and compare                        %9.3f s\n",
                    Seconds("BM_ReadAndCompare"));
        std::fflush(stdout);
    }
};

}  // namespace

BENCHMARK(BM_WriteSnapshot)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadSnapshot)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CompareResults)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ReadAndCompare)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    TSizeReporter reporter;
    return RunBenchmarks(argc, argv, reporter, BenchFolder());
}
